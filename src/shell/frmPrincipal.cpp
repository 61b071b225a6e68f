#include "shell/frmPrincipal.h"

#include "common/Interrupcao.h"
#include "common/Modulo.h"
#include "compose/frmMontaMsg.h"
#include "directory/frmCadastraGrupo.h"
#include "directory/frmCadastraUsuarios.h"
#include "directory/frmPlanilhas.h"
#include "directory/frmUsuariosGrupo.h"
#include "directory/frmVisualizaUsuarios.h"
#include "fila/frmFilaDeEnvio.h"
#include "history/frmHistorico.h"
#include "modem/PortaPerdida.h"
#include "settings/frmAvancada.h"
#include "settings/frmConfigModem.h"
#include "shell/frmInicializa.h"
#include "shell/frmSobre.h"
#include "store/BancoDeDados.h"
#include "tap/Envio.h"
#include "ui/frmControles.h"
#include "ui/frmMensagem.h"
#include "ui/frmMoldura.h"
#include "ui/frmReativacao.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLibraryInfo>
#include <QMdiArea>
#include <QMenuBar>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>
#include <QToolButton>
#include <QTranslator>
#include <QVBoxLayout>
#include <cstdlib>

namespace {
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
    ReativacaoDeJanelas reativacao;
    app.installEventFilter(&reativacao);
    frmPrincipal janela;
    // SIGTERM, SIGHUP (and Ctrl+C): a send under way ends itself cleanly first; then the program
    // leaves through the normal way out, which closes the port (restoring its settings) and
    // releases the lock.
    Interrupcao::Instala();
    QSocketNotifier aviso(Interrupcao::Aviso(), QSocketNotifier::Read);
    QObject::connect(&aviso, &QSocketNotifier::activated, &janela, [] { Interrupcao::Drena(); });
    Interrupcao::AoPedir(&janela, [&janela] { janela.EncerraPorSinal(); });
    if (!janela.MDIForm_Load())
        return 1;
    if (Interrupcao::Pedidos() > 0)
        return SaidaPorSinal;
    // The person may have closed the main window during the pauses of start-up.
    if (!janela.isVisible())
        return 0;
    return app.exec();
}

void frmPrincipal::EncerraPorSinal() {
    if (Interrupcao::Pedidos() == 0)
        return;
    // The send's own wind-down runs first; the program ends after it.
    if (EnvioEmCurso()) {
        QTimer::singleShot(100, this, &frmPrincipal::EncerraPorSinal);
        return;
    }
    FechaBanco();
    QApplication::exit(SaidaPorSinal);
}

frmPrincipal::frmPrincipal(PortaSerial* porta, Relogio* relogio, QWidget* pai)
    : QMainWindow(pai), m_relogioProprio(relogio ? nullptr : std::make_unique<RelogioReal>()),
      m_portaPropria(porta ? nullptr
                           : std::make_unique<PortaSerialQt>(relogio ? *relogio : *m_relogioProprio)),
      m_ctx{relogio ? *relogio : *m_relogioProprio, porta ? *porta : *m_portaPropria, *this} {
    setObjectName(QStringLiteral("frmPrincipal"));
    encerraPrograma = [](int codigo) { std::exit(codigo); };
    if (m_portaPropria) {
        m_portaPropria->AoPerder([this] { m_ctx.operador.Status(StatusPortaPerdida); });
        m_portaPropria->AoVoltar([this] { m_ctx.operador.Status(StatusPortaReaberta); });
    }

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
    // Read by its current text; what it is goes in the description.
    m_pnlStatus->setAccessibleDescription(QStringLiteral("Linha de status"));
    m_pnlStatus->setGeometry(TwipsParaPixels(this, 45), 3, 100, 20);

    setCentralWidget(central);
    MontaMenus();

    m_tmpAjustaJanela = new QTimer(this);
    m_tmpAjustaJanela->setObjectName(QStringLiteral("tmpAjustaJanela"));
    m_tmpAjustaJanela->setInterval(100);
    connect(m_tmpAjustaJanela, &QTimer::timeout, this, &frmPrincipal::tmpAjustaJanela_Timer);
    m_tmpAjustaJanela->start();

    resize(800, 560);
    CabeNaTela(this);
}

frmPrincipal::~frmPrincipal() = default;

QAction* frmPrincipal::ItemDeMenu(QMenu* menu, const QString& nome, const QString& texto, Comando comando) {
    QAction* item = menu->addAction(texto);
    item->setObjectName(nome);
    connect(item, &QAction::triggered, this, comando);
    return item;
}

void frmPrincipal::MontaMenus() {
    const auto menu = [this](const QString& nome, const QString& titulo) {
        QMenu* m = menuBar()->addMenu(titulo);
        m->setObjectName(nome);
        return m;
    };
    const auto separador = [](QMenu* m, const QString& nome) { m->addSeparator()->setObjectName(nome); };

    QMenu* mnuArquivo = menu(QStringLiteral("mnuArquivo"), QStringLiteral("&Arquivo"));
    ItemDeMenu(mnuArquivo, QStringLiteral("mnuConfigurarModem"), QStringLiteral("&Configurar Modem"),
               &frmPrincipal::mnuConfigurarModem_Click);
    ItemDeMenu(mnuArquivo, QStringLiteral("mnuOpcoesAvancadas"), QStringLiteral("&Opções Avançadas"),
               &frmPrincipal::mnuOpcoesAvancadas_Click);
    separador(mnuArquivo, QStringLiteral("mnuNuloCsv"));
    const Planilha planilhas[] = {Planilha::Usuarios, Planilha::Grupos, Planilha::Participacoes,
                                  Planilha::Historico};
    const char* const exportacoes[][2] = {{"mnuExportarUsuarios", "Exportar &Usuários para CSV..."},
                                          {"mnuExportarGrupos", "Exportar &Grupos para CSV..."},
                                          {"mnuExportarParticipacoes", "Exportar &Participações para CSV..."},
                                          {"mnuExportarHistorico", "Exportar &Histórico para CSV..."}};
    for (int i = 0; i < 4; ++i) {
        QAction* item = mnuArquivo->addAction(QString::fromUtf8(exportacoes[i][1]));
        item->setObjectName(QLatin1String(exportacoes[i][0]));
        connect(item, &QAction::triggered, this,
                [this, planilha = planilhas[i]] { ExportaParaCsv(this, *this, planilha); });
    }
    ItemDeMenu(mnuArquivo, QStringLiteral("mnuImportarCsv"), QStringLiteral("&Importar de CSV..."),
               &frmPrincipal::mnuImportarCsv_Click);
    separador(mnuArquivo, QStringLiteral("mnuNulo"));
    ItemDeMenu(mnuArquivo, QStringLiteral("mnuSair"), QStringLiteral("Sai&r"), &frmPrincipal::mnuSair_Click);

    QMenu* mnuGrupos = menu(QStringLiteral("mnuGrupos"), QStringLiteral("&Grupos"));
    ItemDeMenu(mnuGrupos, QStringLiteral("mnuGruposCadastro"), QStringLiteral("&Cadastro de Grupos"),
               &frmPrincipal::mnuGruposCadastro_Click);
    ItemDeMenu(mnuGrupos, QStringLiteral("mnuGruposExibirUsuarioGrupo"),
               QStringLiteral("E&xibir Usuarios do Grupo"), &frmPrincipal::mnuGruposExibirUsuarioGrupo_Click);

    QMenu* mnuUsuarios = menu(QStringLiteral("mnuUsuarios"), QStringLiteral("&Usuários"));
    ItemDeMenu(mnuUsuarios, QStringLiteral("mnuUsuariosCadastraNovo"), QStringLiteral("&Cadastrar Novo"),
               &frmPrincipal::mnuUsuariosCadastraNovo_Click);
    ItemDeMenu(mnuUsuarios, QStringLiteral("mnuUsuariosVisualizaCadastro"),
               QStringLiteral("&Visualizar Cadastro"), &frmPrincipal::mnuUsuariosVisualizaCadastro_Click);

    QMenu* mnuMensagem = menu(QStringLiteral("mnuMensagem"), QStringLiteral("&Mensagem"));
    ItemDeMenu(mnuMensagem, QStringLiteral("mnuDigitaEnviaMsg"), QStringLiteral("Digitar + Enviar"),
               &frmPrincipal::mnuDigitaEnviaMsg_Click);
    ItemDeMenu(mnuMensagem, QStringLiteral("mnuMensagemExibirHistorico"), QStringLiteral("E&xibir Histórico"),
               &frmPrincipal::mnuMensagemExibirHistorico_Click);
    ItemDeMenu(mnuMensagem, QStringLiteral("mnuMensagemFilaDeEnvio"), QStringLiteral("&Fila de Envio"),
               &frmPrincipal::mnuMensagemFilaDeEnvio_Click);

    QMenu* mnuAjuda = menu(QStringLiteral("mnuAjuda"), QStringLiteral("A&juda"));
    ItemDeMenu(mnuAjuda, QStringLiteral("mnuExibirAjuda"), QStringLiteral("E&xibir a Ajuda"),
               &frmPrincipal::mnuExibirAjuda_Click);
    separador(mnuAjuda, QStringLiteral("mnuNulo1"));
    ItemDeMenu(mnuAjuda, QStringLiteral("mnuAjudaSobre"), QStringLiteral("So&bre o Programa"),
               &frmPrincipal::mnuAjudaSobre_Click);
}

void frmPrincipal::BotaoDaBarra(const QString& nome, const QString& figura, const QString& dica,
                                Comando comando) {
    QToolButton* botao = CriaBotaoDeFigura(m_pnlToolBar, nome, figura, dica);
    connect(botao, &QToolButton::clicked, this, comando);
    static_cast<QHBoxLayout*>(m_pnlToolBar->layout())->addWidget(botao);
}

void frmPrincipal::MontaBarraDeFerramentas() {
    BotaoDaBarra(QStringLiteral("cmdExibirHistorico"), QStringLiteral(":/history/imagens/historico.svg"),
                 QStringLiteral("Exibir Histórico de Todas as Mensagens Enviadas"),
                 &frmPrincipal::cmdExibirHistorico_Click);
    BotaoDaBarra(QStringLiteral("cmdVisualizaUsuarios"), QStringLiteral(":/directory/imagens/usuarios.svg"),
                 QStringLiteral("Exibir o Cadastro de Usuários"), &frmPrincipal::cmdVisualizaUsuarios_Click);
    BotaoDaBarra(QStringLiteral("cmdGrupos"), QStringLiteral(":/directory/imagens/grupos.svg"),
                 QStringLiteral("Visualisar Cadastro de Grupos"), &frmPrincipal::cmdGrupos_Click);
    BotaoDaBarra(QStringLiteral("cmdDiscarEnviar"), QStringLiteral(":/compose/imagens/digitar.svg"),
                 QStringLiteral("Digitar e Enviar Mensagens"), &frmPrincipal::cmdDiscarEnviar_Click);
    static_cast<QHBoxLayout*>(m_pnlToolBar->layout())->addStretch(1);
}

bool frmPrincipal::MDIForm_Load(const QString& diretorioDoBanco) {
    const FimDaInicializacao fim = ExecutaInicializacao(m_ctx, *this, diretorioDoBanco);
    FechaSplash();
    return fim == FimDaInicializacao::Pronto;
}

void frmPrincipal::Status(const QString& texto) {
    // A group send repeats its text for every page: only a change is painted.
    if (m_pnlStatus->text() == texto)
        return;
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

template <class Janela, class... Argumentos> void frmPrincipal::AbreComAmpulheta(Argumentos&&... argumentos) {
    setCursor(Qt::WaitCursor);
    {
        Janela janela(*this, std::forward<Argumentos>(argumentos)..., this);
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

void frmPrincipal::mnuUsuariosCadastraNovo_Click() {
    AbreComAmpulheta<frmCadastraUsuarios>();
}

void frmPrincipal::cmdVisualizaUsuarios_Click() {
    AbreComAmpulheta<frmVisualizaUsuarios>(m_area);
}

void frmPrincipal::mnuUsuariosVisualizaCadastro_Click() {
    AbreComAmpulheta<frmVisualizaUsuarios>(m_area);
}

void frmPrincipal::ExibeHistoricoCompleto() {
    ExibeHistorico(m_area, *this, QString(), 0);
}

void frmPrincipal::cmdExibirHistorico_Click() {
    ExibeHistoricoCompleto();
}

void frmPrincipal::mnuMensagemExibirHistorico_Click() {
    ExibeHistoricoCompleto();
}

void frmPrincipal::mnuMensagemFilaDeEnvio_Click() {
    AbreComAmpulheta<frmFilaDeEnvio>();
}

void frmPrincipal::mnuImportarCsv_Click() {
    ImportaDeCsv(this, *this);
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

void frmPrincipal::mnuOpcoesAvancadas_Click() {
    frmAvancada dialogo(this);
    dialogo.exec();
}

void frmPrincipal::mnuExibirAjuda_Click() {
    Mensagem(QStringLiteral("Ajuda ainda não disponível"), Modulo::NomeDoPrograma, Icone::Nenhum, Botoes::OK);
}

void frmPrincipal::mnuAjudaSobre_Click() {
    frmSobre dialogo(this);
    dialogo.exec();
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
