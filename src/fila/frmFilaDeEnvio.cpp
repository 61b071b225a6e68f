#include "fila/frmFilaDeEnvio.h"

#include "fila/ModeloDaFila.h"
#include "store/BancoDeDados.h"
#include "ui/frmControles.h"
#include "ui/frmMoldura.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

frmFilaDeEnvio::frmFilaDeEnvio(Operador& operador, QWidget* pai) : QDialog(pai), m_operador(operador) {
    setObjectName(QStringLiteral("frmFilaDeEnvio"));
    TornaSemMoldura(this);
    setModal(true);

    auto* raiz = new QVBoxLayout(this);
    raiz->setContentsMargins(2, 2, 2, 2);
    raiz->addWidget(CriaPainelDeTitulo(this, QStringLiteral("Fila de Envio"), QStringLiteral("pnlTitulo")));
    QFrame* pnlFundo = CriaPainelDeFundo(this);
    raiz->addWidget(pnlFundo, 1);
    auto* fundo = new QVBoxLayout(pnlFundo);

    m_modelo = new ModeloDaFila(this);
    m_grdFila = new QTableView(pnlFundo);
    m_grdFila->setObjectName(QStringLiteral("grdFila"));
    m_grdFila->setModel(m_modelo);
    m_grdFila->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grdFila->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grdFila->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grdFila->setTabKeyNavigation(false);
    m_grdFila->verticalHeader()->hide();
    m_grdFila->horizontalHeader()->setStretchLastSection(true);
    m_grdFila->installEventFilter(this);

    m_pnlResumo = CriaPainelDeTexto(pnlFundo, QString(), QStringLiteral("pnlResumo"));
    fundo->addWidget(
        CriaRotulo(pnlFundo, QStringLiteral("&Páginas na fila:"), QStringLiteral("pnlMsg"), m_grdFila));
    fundo->addWidget(m_grdFila, 1);
    fundo->addWidget(m_pnlResumo);

    auto* botoes = new QHBoxLayout;
    QToolButton* cmdCancelarPagina = CriaBotaoDeFigura(
        pnlFundo, QStringLiteral("cmdCancelarPagina"), QStringLiteral(":/directory/imagens/excluir.svg"),
        QStringLiteral("Cancelar a página selecionada (Delete)"));
    QToolButton* cmdRetornar =
        CriaBotaoDeFigura(pnlFundo, QStringLiteral("cmdRetornar"),
                          QStringLiteral(":/compose/imagens/retornar.svg"), QStringLiteral("Retornar"));
    connect(cmdCancelarPagina, &QToolButton::clicked, this, &frmFilaDeEnvio::cmdCancelarPagina_Click);
    connect(cmdRetornar, &QToolButton::clicked, this, &frmFilaDeEnvio::cmdRetornar_Click);
    botoes->addStretch(1);
    botoes->addWidget(cmdCancelarPagina);
    botoes->addWidget(cmdRetornar);
    fundo->addLayout(botoes);
    setTabOrder(m_grdFila, cmdCancelarPagina);
    setTabOrder(cmdCancelarPagina, cmdRetornar);

    m_tmpAtualiza = new QTimer(this);
    m_tmpAtualiza->setObjectName(QStringLiteral("tmpAtualiza"));
    m_tmpAtualiza->setInterval(2000);
    connect(m_tmpAtualiza, &QTimer::timeout, this, &frmFilaDeEnvio::tmpAtualiza_Timer);
    m_tmpAtualiza->start();

    Preenche(true);
    m_grdFila->setFocus();
    // Room for every column of a few pages; a smaller screen shrinks it.
    m_grdFila->setMinimumSize(TwipsParaPixels(this, 11500), TwipsParaPixels(this, 3600));
    CentralizaSobre(this, pai);
}

void frmFilaDeEnvio::Preenche(bool sempre) {
    const QModelIndex atual = m_grdFila->currentIndex();
    const Fila::Pagina* antes = m_modelo->PaginaNaLinha(atual.row());
    const qint64 selecionada = antes ? antes->id : 0;
    if (sempre)
        m_modelo->Atualiza();
    else if (!m_modelo->AtualizaSeMudou())
        return;
    if (!m_modelo->Erro().isEmpty()) {
        m_pnlResumo->setText(QStringLiteral("A fila não pôde ser lida: %1").arg(m_modelo->Erro()));
        // Said once, not every two seconds while the file stays unreadable.
        if (m_modelo->Erro() != m_erroMostrado)
            m_operador.Mensagem(QStringLiteral("Não foi possível ler a fila de envio %1.\n\n(%2)")
                                    .arg(NoBancoDeDados(), m_modelo->Erro()),
                                QStringLiteral("Erro:"), Icone::Informacao);
        m_erroMostrado = m_modelo->Erro();
        return;
    }
    m_erroMostrado.clear();
    const int linhas = m_modelo->rowCount();
    m_pnlResumo->setText(
        linhas == 0
            ? QStringLiteral("Nenhuma página aguardando, em envio, incerta ou com falha nos últimos %1 dias.")
                  .arg(ModeloDaFila::DiasDasFalhas)
            : QStringLiteral("%1 página(s) aguardando, em envio, incertas ou com falha nos últimos %2 dias.")
                  .arg(linhas)
                  .arg(ModeloDaFila::DiasDasFalhas));
    m_grdFila->resizeColumnsToContents();
    // A full page of text would push every other column out of sight; its tool tip has it whole.
    const int larguraDaMensagem = m_grdFila->fontMetrics().averageCharWidth() * 40;
    if (m_grdFila->columnWidth(ModeloDaFila::ColMensagem) > larguraDaMensagem)
        m_grdFila->setColumnWidth(ModeloDaFila::ColMensagem, larguraDaMensagem);
    if (linhas == 0)
        return;
    int linha = selecionada ? m_modelo->LinhaDaPagina(selecionada) : -1;
    if (linha < 0)
        linha = std::clamp(atual.row(), 0, linhas - 1);
    m_grdFila->setCurrentIndex(m_modelo->index(linha, 0));
}

void frmFilaDeEnvio::tmpAtualiza_Timer() {
    Preenche(false);
}

void frmFilaDeEnvio::cmdCancelarPagina_Click() {
    const Fila::Pagina* selecionada = m_modelo->PaginaNaLinha(m_grdFila->currentIndex().row());
    if (!selecionada) {
        m_operador.Mensagem(QStringLiteral("Não há nenhuma página selecionada para cancelar."),
                            QStringLiteral("Advertência:"), Icone::Informacao);
        return;
    }
    const Fila::Pagina p = *selecionada;
    const QString quem =
        m_modelo->index(m_grdFila->currentIndex().row(), ModeloDaFila::ColDestinatario).data().toString();
    if (p.situacao != Fila::Situacao::Aguardando && p.situacao != Fila::Situacao::Incerta) {
        m_operador.Mensagem(QStringLiteral("A página %1 para %2 está \"%3\": só uma página que aguarda ou "
                                           "que está incerta pode ser cancelada.")
                                .arg(p.id)
                                .arg(quem, Fila::NomeDaSituacao(p.situacao)),
                            QStringLiteral("Informação:"), Icone::Informacao);
        return;
    }
    if (m_operador.Mensagem(QStringLiteral("Cancelar a página %1 para %2?\r\n\r\n\"%3\"\r\n\r\nEla não será "
                                           "enviada.")
                                .arg(p.id)
                                .arg(quem, p.mensagem),
                            QStringLiteral("Atenção:"), Icone::Pergunta, Botoes::SimNao) != Resposta::Sim)
        return;
    QString erro;
    if (Fila::Cancela(p.id, &erro))
        m_operador.Status(QStringLiteral(" Página %1 cancelada.").arg(p.id));
    else
        // Most often the service took it into a call meanwhile.
        m_operador.Mensagem(QStringLiteral("A página %1 não pôde ser cancelada: %2.").arg(p.id).arg(erro),
                            QStringLiteral("Erro:"), Icone::Informacao);
    Preenche(true);
    m_grdFila->setFocus();
}

void frmFilaDeEnvio::cmdRetornar_Click() {
    accept();
}

bool frmFilaDeEnvio::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == m_grdFila && evento->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(evento)->key() == Qt::Key_Delete) {
        cmdCancelarPagina_Click();
        return true;
    }
    return QDialog::eventFilter(objeto, evento);
}
