#include "tap/frmShowDoEnvio.h"

#include "common/Modulo.h"
#include "modem/Enlace.h"
#include "tap/LogOn.h"
#include "ui/frmFigura.h"
#include "ui/frmMoldura.h"

#include <QCloseEvent>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {
const QSize TamanhoDoQuadro(32, 32);
const QSize TamanhoDaFaixa(391, 76);
} // namespace

frmShowDoEnvio::frmShowDoEnvio(Contexto& ctx, PedidoDeEnvio& pedido, QWidget* pai)
    : QDialog(pai), m_ctx(ctx), m_pedido(pedido) {
    setObjectName(QStringLiteral("frmShowDoEnvio"));
    TornaSemMoldura(this);
    setModal(true);

    auto* raiz = new QVBoxLayout(this);
    raiz->setContentsMargins(2, 2, 2, 2);
    QFrame* pnlFundo = CriaPainelDeFundo(this);
    raiz->addWidget(pnlFundo);
    auto* fundo = new QVBoxLayout(pnlFundo);

    m_pnlTitulo = CriaPainelDeTitulo(this, TituloDaAbertura(LeTipoDeConexao()), QStringLiteral("pnlTitulo"));
    // Read by its current stage text, not the first one.
    m_pnlTitulo->setAccessibleDescription(QStringLiteral("Situação do envio"));
    setAccessibleName(m_pnlTitulo->text());
    fundo->addWidget(m_pnlTitulo);

    auto* pnlFundoLogo = new QFrame(pnlFundo);
    pnlFundoLogo->setObjectName(QStringLiteral("pnlFundoLogo"));
    pnlFundoLogo->setFrameShape(QFrame::Panel);
    pnlFundoLogo->setFrameShadow(QFrame::Sunken);
    auto* logo = new QHBoxLayout(pnlFundoLogo);
    logo->setContentsMargins(2, 2, 2, 2);
    auto* pnlImg = new QLabel(pnlFundoLogo);
    pnlImg->setObjectName(QStringLiteral("pnlImg"));
    pnlImg->setPixmap(FiguraSvg(QStringLiteral(":/tap/imagens/banner.svg"), TamanhoDaFaixa));
    pnlImg->setFixedSize(TamanhoDaFaixa);
    logo->addWidget(pnlImg);
    fundo->addWidget(pnlFundoLogo);

    for (std::size_t i = 0; i < m_imgFig.size(); ++i)
        m_imgFig[i] = FiguraSvg(QStringLiteral(":/tap/imagens/fig%1.svg").arg(i), TamanhoDoQuadro);

    auto* andamento = new QHBoxLayout;
    m_imgFigura = new QLabel(pnlFundo);
    m_imgFigura->setObjectName(QStringLiteral("imgFigura"));
    m_imgFigura->setFixedSize(TamanhoDoQuadro);
    m_imgFigura->setPixmap(FiguraSvg(QStringLiteral(":/tap/imagens/figura.svg"), TamanhoDoQuadro));
    andamento->addWidget(m_imgFigura);
    m_valStatus = new QProgressBar(pnlFundo);
    m_valStatus->setObjectName(QStringLiteral("valStatus"));
    m_valStatus->setAccessibleName(QStringLiteral("Andamento do envio"));
    m_valStatus->setRange(0, 100);
    m_valStatus->setValue(0);
    // Its place is kept, so showing it for a group moves nothing.
    QSizePolicy politica = m_valStatus->sizePolicy();
    politica.setRetainSizeWhenHidden(true);
    m_valStatus->setSizePolicy(politica);
    m_valStatus->hide();
    andamento->addWidget(m_valStatus, 1);
    // Only while waiting for a modem another Bipvox program holds: gives the wait up.
    m_cmdRetornar = new QPushButton(QStringLiteral("Retornar"), pnlFundo);
    m_cmdRetornar->setObjectName(QStringLiteral("cmdRetornar"));
    m_cmdRetornar->hide();
    connect(m_cmdRetornar, &QPushButton::clicked, this, [this] { m_esperaCancelada = true; });
    andamento->addWidget(m_cmdRetornar);
    fundo->addLayout(andamento);

    m_tmpTemporizador = new QTimer(this);
    m_tmpTemporizador->setObjectName(QStringLiteral("tmpTemporizador"));
    m_tmpTemporizador->setInterval(500);
    connect(m_tmpTemporizador, &QTimer::timeout, this, &frmShowDoEnvio::tmpTemporizador_Timer);
    m_tmpTemporizador->start();

    CentralizaSobre(this, pai);
}

void frmShowDoEnvio::Titulo(const QString& texto) {
    if (m_pnlTitulo->text() == texto)
        return;
    m_pnlTitulo->setText(texto);
    // Each stage is announced: the window is named by what it is doing now.
    setAccessibleName(texto);
    setAccessibleDescription(texto);
    // A new stage is painted at once: the wait that follows may let no events run.
    m_pnlTitulo->repaint();
}

bool frmShowDoEnvio::AguardandoPorta(const QString& emUsoPor) {
    m_aguardandoPorta = !emUsoPor.isEmpty();
    m_cmdRetornar->setVisible(m_aguardandoPorta);
    if (m_aguardandoPorta)
        Titulo(QStringLiteral("Aguardando o modem, ") + emUsoPor);
    return !m_esperaCancelada;
}

void frmShowDoEnvio::MedidorMaximo(int maximo) {
    // Nothing on the bar moves until the next value.
    m_valStatus->setMaximum(maximo);
}

void frmShowDoEnvio::MedidorValor(int valor) {
    // The bar repaints itself, at once, only when the change shows (a chunk or a percent more);
    // a forced repaint per page cost more than the page's own work.
    m_valStatus->setValue(valor);
}

void frmShowDoEnvio::MedidorVisivel(bool visivel) {
    if (m_valStatus->isHidden() != visivel)
        return;
    m_valStatus->setVisible(visivel);
    m_valStatus->repaint();
}

bool frmShowDoEnvio::EnviarUsuario() {
    return ::EnviarUsuario(m_ctx, m_pedido, *this);
}

bool frmShowDoEnvio::EnviarGrupo() {
    return ::EnviarGrupo(m_ctx, m_pedido, *this);
}

bool frmShowDoEnvio::AguardaIDeInicializaModoAutomatico() {
    return ::AguardaIDeInicializaModoAutomatico(m_ctx);
}

void frmShowDoEnvio::Form_Activate() {
    if (Modulo::EnvioIniciado || m_enviando)
        return;
    IniciaProcesso();
    done(QDialog::Accepted);
}

void frmShowDoEnvio::IniciaProcesso() {
    m_enviando = true;
    repaint();
    ::IniciaProcesso(m_ctx, m_pedido, *this);
    m_enviando = false;
}

void frmShowDoEnvio::tmpTemporizador_Timer() {
    if (++m_contador == 8)
        m_contador = 1;
    m_imgFigura->setPixmap(imgFig(m_contador - 1));
}

void frmShowDoEnvio::AtivaDepois() {
    // Queued, so the window is on the screen and painted before the send holds the thread.
    QMetaObject::invokeMethod(this, &frmShowDoEnvio::Form_Activate, Qt::QueuedConnection);
}

void frmShowDoEnvio::showEvent(QShowEvent* evento) {
    QDialog::showEvent(evento);
    if (!m_mostrada) {
        m_mostrada = true;
        AtivaDepois();
    }
}

bool frmShowDoEnvio::event(QEvent* evento) {
    if (evento->type() == QEvent::WindowActivate)
        AtivaDepois();
    return QDialog::event(evento);
}

void frmShowDoEnvio::closeEvent(QCloseEvent* evento) {
    if (m_aguardandoPorta)
        m_esperaCancelada = true;
    if (m_enviando) {
        evento->ignore();
        return;
    }
    QDialog::closeEvent(evento);
}

void frmShowDoEnvio::reject() {
    // Escape gives up only the wait for the modem: nothing has been dialled yet.
    if (m_aguardandoPorta)
        m_esperaCancelada = true;
    if (!m_enviando)
        QDialog::reject();
}
