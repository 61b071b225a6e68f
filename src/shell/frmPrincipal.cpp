#include "shell/frmPrincipal.h"

#include "common/Modulo.h"
#include "compose/frmMontaMsg.h"
#include "directory/frmCadastraGrupo.h"
#include "directory/frmUsuariosGrupo.h"
#include "settings/frmConfigModem.h"
#include "shell/frmInicializa.h"
#include "store/BancoDeDados.h"
#include "ui/frmFigura.h"
#include "ui/frmMensagem.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLibraryInfo>
#include <QMdiArea>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QTranslator>
#include <QVBoxLayout>
#include <cstdlib>

namespace {
// Twips to pixels at the screen's resolution (1440 twips an inch; 15 a pixel at 96 dpi).
int TwipsParaPixels(const QWidget* janela, int twips) {
    return twips * janela->logicalDpiX() / 1440;
}

void InstalaTraducao(QApplication& app) {
    auto* traducao = new QTranslator(&app);
    if (traducao->load(QLocale(QLocale::Portuguese, QLocale::Brazil), QStringLiteral("qtbase"),
                       QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(traducao);
}
} // namespace

int frmPrincipal::Executa(QApplication& app) {
    InstalaTraducao(app);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    frmPrincipal janela;
    if (!janela.MDIForm_Load())
        return 1;
    // The person may have closed the main window during the pauses of start-up.
    if (!janela.isVisible())
        return 0;
    return app.exec();
}

frmPrincipal::frmPrincipal(PortaSerial* porta, Relogio* relogio, QWidget* pai)
    : QMainWindow(pai), m_relogioProprio(relogio ? nullptr : std::make_unique<RelogioReal>()),
      m_portaPropria(porta ? nullptr
                           : std::make_unique<PortaSerialQt>(relogio ? *relogio : *m_relogioProprio)),
      m_ctx{relogio ? *relogio : *m_relogioProprio, porta ? *porta : *m_portaPropria, *this} {
    setObjectName(QStringLiteral("frmPrincipal"));
    encerraPrograma = [](int codigo) { std::exit(codigo); };

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_pnlToolBar = new QFrame(central);
    m_pnlToolBar->setObjectName(QStringLiteral("pnlToolBar"));
    m_pnlToolBar->setFrameShape(QFrame::StyledPanel);
    m_pnlToolBar->setLayout(new QHBoxLayout);
    m_pnlToolBar->layout()->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(m_pnlToolBar);
    MontaBarraDeFerramentas();

    m_area = new QMdiArea(central);
    m_area->setObjectName(QStringLiteral("mdiArea"));
    layout->addWidget(m_area, 1);

    m_pnlFooterBar = new QFrame(central);
    m_pnlFooterBar->setObjectName(QStringLiteral("pnlFooterBar"));
    m_pnlFooterBar->setFrameShape(QFrame::StyledPanel);
    m_pnlFooterBar->setFixedHeight(26);
    layout->addWidget(m_pnlFooterBar);

    // Placed by hand, not by a layout: the timer keeps it 90 twips narrower than the footer bar.
    m_pnlStatus = new QLabel(QStringLiteral(" Pronto"), m_pnlFooterBar);
    m_pnlStatus->setObjectName(QStringLiteral("pnlStatus"));
    m_pnlStatus->setFrameShape(QFrame::Panel);
    m_pnlStatus->setFrameShadow(QFrame::Sunken);
    m_pnlStatus->setAccessibleName(QStringLiteral("Status"));
    m_pnlStatus->setGeometry(TwipsParaPixels(this, 45), 3, 100, 20);

    setCentralWidget(central);
    MontaMenus();

    m_tmpAjustaJanela = new QTimer(this);
    m_tmpAjustaJanela->setObjectName(QStringLiteral("tmpAjustaJanela"));
    m_tmpAjustaJanela->setInterval(100);
    connect(m_tmpAjustaJanela, &QTimer::timeout, this, &frmPrincipal::tmpAjustaJanela_Timer);
    m_tmpAjustaJanela->start();

    resize(800, 560);
}

frmPrincipal::~frmPrincipal() = default;

void frmPrincipal::MontaMenus() {
    QMenu* mnuArquivo = menuBar()->addMenu(QStringLiteral("&Arquivo"));
    mnuArquivo->setObjectName(QStringLiteral("mnuArquivo"));
    QAction* mnuConfigurarModem = mnuArquivo->addAction(QStringLiteral("&Configurar Modem"));
    mnuConfigurarModem->setObjectName(QStringLiteral("mnuConfigurarModem"));
    connect(mnuConfigurarModem, &QAction::triggered, this, &frmPrincipal::mnuConfigurarModem_Click);
    QAction* mnuNulo = mnuArquivo->addSeparator();
    mnuNulo->setObjectName(QStringLiteral("mnuNulo"));
    QAction* mnuSair = mnuArquivo->addAction(QStringLiteral("Sai&r"));
    mnuSair->setObjectName(QStringLiteral("mnuSair"));
    connect(mnuSair, &QAction::triggered, this, &frmPrincipal::mnuSair_Click);

    QMenu* mnuGrupos = menuBar()->addMenu(QStringLiteral("&Grupos"));
    mnuGrupos->setObjectName(QStringLiteral("mnuGrupos"));
    QAction* mnuGruposCadastro = mnuGrupos->addAction(QStringLiteral("&Cadastro de Grupos"));
    mnuGruposCadastro->setObjectName(QStringLiteral("mnuGruposCadastro"));
    connect(mnuGruposCadastro, &QAction::triggered, this, &frmPrincipal::mnuGruposCadastro_Click);
    QAction* mnuGruposExibirUsuarioGrupo = mnuGrupos->addAction(QStringLiteral("E&xibir Usuarios do Grupo"));
    mnuGruposExibirUsuarioGrupo->setObjectName(QStringLiteral("mnuGruposExibirUsuarioGrupo"));
    connect(mnuGruposExibirUsuarioGrupo, &QAction::triggered, this,
            &frmPrincipal::mnuGruposExibirUsuarioGrupo_Click);

    QMenu* mnuMensagem = menuBar()->addMenu(QStringLiteral("&Mensagem"));
    mnuMensagem->setObjectName(QStringLiteral("mnuMensagem"));
    QAction* mnuDigitaEnviaMsg = mnuMensagem->addAction(QStringLiteral("Digitar + Enviar"));
    mnuDigitaEnviaMsg->setObjectName(QStringLiteral("mnuDigitaEnviaMsg"));
    connect(mnuDigitaEnviaMsg, &QAction::triggered, this, &frmPrincipal::mnuDigitaEnviaMsg_Click);
}

void frmPrincipal::MontaBarraDeFerramentas() {
    auto* cmdDiscarEnviar = new QToolButton(m_pnlToolBar);
    cmdDiscarEnviar->setObjectName(QStringLiteral("cmdDiscarEnviar"));
    cmdDiscarEnviar->setIcon(IconeSvg(QStringLiteral(":/compose/imagens/digitar.svg"), QSize(32, 32)));
    cmdDiscarEnviar->setIconSize(QSize(32, 32));
    cmdDiscarEnviar->setToolTip(QStringLiteral("Digitar e Enviar Mensagens"));
    cmdDiscarEnviar->setAccessibleName(cmdDiscarEnviar->toolTip());
    connect(cmdDiscarEnviar, &QToolButton::clicked, this, &frmPrincipal::cmdDiscarEnviar_Click);
    auto* cmdGrupos = new QToolButton(m_pnlToolBar);
    cmdGrupos->setObjectName(QStringLiteral("cmdGrupos"));
    cmdGrupos->setIcon(IconeSvg(QStringLiteral(":/directory/imagens/grupos.svg"), QSize(32, 32)));
    cmdGrupos->setIconSize(QSize(32, 32));
    cmdGrupos->setToolTip(QStringLiteral("Visualisar Cadastro de Grupos"));
    cmdGrupos->setAccessibleName(cmdGrupos->toolTip());
    connect(cmdGrupos, &QToolButton::clicked, this, &frmPrincipal::cmdGrupos_Click);
    auto* barra = static_cast<QHBoxLayout*>(m_pnlToolBar->layout());
    barra->addWidget(cmdGrupos);
    barra->addWidget(cmdDiscarEnviar);
    barra->addStretch(1);
}

bool frmPrincipal::MDIForm_Load(const QString& diretorioDoBanco) {
    const FimDaInicializacao fim = ExecutaInicializacao(m_ctx, *this, diretorioDoBanco);
    FechaSplash();
    return fim == FimDaInicializacao::Pronto;
}

void frmPrincipal::Status(const QString& texto) {
    m_pnlStatus->setText(texto);
    // Shown at once: many status texts precede waits that let no events run.
    m_pnlStatus->repaint();
}

QString frmPrincipal::StatusAtual() const {
    return m_pnlStatus->text();
}

Resposta frmPrincipal::Mensagem(const QString& texto, const QString& titulo, Icone icone, Botoes botoes) {
    QWidget* pai = QApplication::activeModalWidget();
    return MostraMensagem(pai ? pai : this, texto, titulo, icone, botoes);
}

void frmPrincipal::Ampulheta(bool ligada) {
    if (ligada)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void frmPrincipal::MostraSplash() {
    m_splash = std::make_unique<frmInicializa>(m_ctx.relogio);
    m_splash->Form_Load();
}

void frmPrincipal::FechaSplash() {
    m_splash.reset();
}

void frmPrincipal::MostraPrincipal() {
    setWindowTitle(Modulo::NomeDoPrograma + QLatin1Char(' ') + Modulo::VersaoDoPrograma);
    show();
    tmpAjustaJanela_Timer();
}

void frmPrincipal::MostraConfigModem() {
    frmConfigModem dialogo(this);
    dialogo.exec();
}

void frmPrincipal::MostraMontaMsg() {
    frmMontaMsg janela(m_ctx, this);
    janela.exec();
}

void frmPrincipal::AbreMontaMsgComAmpulheta() {
    setCursor(Qt::WaitCursor);
    MostraMontaMsg();
    unsetCursor();
}

void frmPrincipal::cmdDiscarEnviar_Click() {
    AbreMontaMsgComAmpulheta();
}

void frmPrincipal::mnuDigitaEnviaMsg_Click() {
    AbreMontaMsgComAmpulheta();
}

template <class Janela> void frmPrincipal::AbreComAmpulheta() {
    setCursor(Qt::WaitCursor);
    {
        Janela janela(*this, this);
        janela.exec();
    }
    unsetCursor();
}

void frmPrincipal::cmdGrupos_Click() {
    AbreComAmpulheta<frmCadastraGrupo>();
}

void frmPrincipal::mnuGruposCadastro_Click() {
    AbreComAmpulheta<frmCadastraGrupo>();
}

void frmPrincipal::mnuGruposExibirUsuarioGrupo_Click() {
    AbreComAmpulheta<frmUsuariosGrupo>();
}

void frmPrincipal::mnuConfigurarModem_Click() {
    Status(QStringLiteral(" Lendo configurações do modem, aguarde ..."));
    {
        frmConfigModem dialogo(this);
        dialogo.PreencheDoArquivo();
        Status(QStringLiteral(" Configurando modem."));
        dialogo.exec();
    }
    Status(QStringLiteral(" Inicializando variáveis, aguarde ..."));
    LacoDaPorta laco;
    laco.antesDeAbrir = [this] { m_ctx.porta.setPortOpen(false); };
    laco.mostraConfigModem = [this] { MostraConfigModem(); };
    if (!ExecutaLacoDaPorta(m_ctx, laco)) {
        FechaBanco();
        encerraPrograma(1);
        return;
    }
    InicializaModemComAmpulheta(m_ctx);
}

void frmPrincipal::FechaBanco() {
    if (m_bancoFechado)
        return;
    m_bancoFechado = true;
    FechaBancoDeDados();
}

void frmPrincipal::mnuSair_Click() {
    FechaBanco();
    encerraPrograma(0);
}

void frmPrincipal::closeEvent(QCloseEvent* evento) {
    FechaBanco();
    evento->accept();
}

void frmPrincipal::tmpAjustaJanela_Timer() {
    const int largura = m_pnlFooterBar->width() - TwipsParaPixels(this, 90);
    if (m_pnlStatus->width() != largura)
        m_pnlStatus->resize(std::max(largura, 0), m_pnlStatus->height());
}
