#include "history/frmHistorico.h"

#include "common/Modulo.h"
#include "common/Numero.h"
#include "history/ModeloDoHistorico.h"
#include "store/BancoDeDados.h"
#include "store/Consultas.h"
#include "store/Snapshot.h"
#include "ui/frmControles.h"
#include "ui/frmMoldura.h"

#include <QDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {
// No window for a user without messages, but the operator learns why nothing opened.
void AvisaSemMensagens(Operador& operador, qint32 idUsuario) {
    Snapshot usuario(Consultas::PagerDoUsuario, {idUsuario});
    if (usuario.Valido() && !usuario.Eof())
        operador.Status(QStringLiteral(" Nenhuma mensagem enviada para %1.")
                            .arg(usuario.Campo(QStringLiteral("Nome_Usuario")).toString()));
}
} // namespace

namespace {
// The filled history window, or none (the operator told why) when there is nothing to show.
frmHistorico* CriaHistorico(Operador& operador, const QString& texto, qint16 modo) {
    const bool umUsuario = modo == 1;
    const QString titulo = umUsuario
                               ? QStringLiteral("Histórico: Lista de mensagens enviadas para o usuário...")
                               : QStringLiteral("Histórico: Lista de todas as mensagens enviadas...");
    std::unique_ptr<ModeloDoHistorico> modelo;
    {
        const AmpulhetaLigada ampulheta(operador);
        modelo = std::make_unique<ModeloDoHistorico>(
            umUsuario ? std::optional<qint32>(qint32(ValorNumerico(texto))) : std::nullopt);
    }
    if (!modelo->Erro().isEmpty()) {
        operador.Mensagem(
            QStringLiteral("Não foi possível ler o histórico %1.\n\n(%2)")
                .arg(NoBancoDeDados(QStringLiteral("ele pode estar danificado")), modelo->Erro()),
            QStringLiteral("Erro:"), Icone::Informacao);
        return nullptr;
    }
    if (modelo->rowCount() == 0) {
        if (umUsuario)
            AvisaSemMensagens(operador, qint32(ValorNumerico(texto)));
        return nullptr;
    }
    auto* janela = new frmHistorico(operador, modelo.release());
    janela->setWindowTitle(titulo);
    janela->setAttribute(Qt::WA_DeleteOnClose);
    return janela;
}

void MostraNaArea(QMdiArea* area, frmHistorico* janela) {
    if (area) {
        QMdiSubWindow* filha = area->addSubWindow(janela);
        filha->setAttribute(Qt::WA_DeleteOnClose);
        filha->resize(area->size() * 0.9);
        janela->show();
        filha->show();
    } else {
        janela->setParent(nullptr, Qt::Window);
        janela->resize(800, 400);
        janela->show();
    }
}
} // namespace

bool ExibeHistorico(QMdiArea* area, Operador& operador, const QString& texto, qint16 modo) {
    frmHistorico* janela = CriaHistorico(operador, texto, modo);
    if (!janela)
        return false;
    MostraNaArea(area, janela);
    return true;
}

bool ExibeHistorico(QDialog* modal, QMdiArea* area, Operador& operador, const QString& texto, qint16 modo) {
    frmHistorico* janela = CriaHistorico(operador, texto, modo);
    if (!janela)
        return false;
    // A window of the modal one is the only kind it does not block.
    janela->setParent(modal, Qt::Window);
    const QRect sobre = area && area->isVisible() ? QRect(area->mapToGlobal(QPoint(0, 0)), area->size())
                                                  : QRect(modal->mapToGlobal(QPoint(0, 0)), modal->size());
    janela->resize(sobre.size().expandedTo(QSize(640, 320)) * 0.9);
    janela->move(sobre.center() - janela->rect().center());
    CabeNaTela(janela);
    janela->show();
    janela->raise();
    janela->activateWindow();
    QPointer<QMdiArea> destino(area);
    QObject::connect(modal, &QDialog::finished, janela, [janela, destino] {
        // Outlives the modal window, as every history window lives until the operator closes it;
        // one already closed is only waiting to be deleted.
        if (janela->isVisible())
            MostraNaArea(destino.data(), janela);
    });
    return true;
}

frmHistorico::frmHistorico(Operador& operador, ModeloDoHistorico* modelo, QWidget* pai)
    : QWidget(pai), m_operador(operador) {
    setObjectName(QStringLiteral("frmHistorico"));
    modelo->setParent(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_grdGride = new QTableView(this);
    m_grdGride->setObjectName(QStringLiteral("grdGride"));
    m_grdGride->setAccessibleName(QStringLiteral("Mensagens enviadas"));
    m_grdGride->setModel(modelo);
    m_grdGride->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grdGride->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grdGride->setWordWrap(false);
    m_grdGride->verticalHeader()->hide();
    // One height for every row, so the view never measures rows it does not show.
    m_grdGride->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grdGride->verticalHeader()->setDefaultSectionSize(m_grdGride->fontMetrics().height() + 6);
    // The designed widths, widened where this screen's font would cut the widest usual content
    // of a column (a full date, a time, a 10-character code) or its heading.
    const QFontMetrics medida = m_grdGride->fontMetrics();
    // What a cell keeps for itself around its text: the style's margins and the grid line.
    const int margem = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_grdGride) + 1) + 2;
    const QFontMetrics medidaDoTitulo = m_grdGride->horizontalHeader()->fontMetrics();
    const int margemDoTitulo =
        2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, m_grdGride->horizontalHeader()) + 2;
    for (int coluna = 0; coluna < modelo->columnCount(); ++coluna) {
        const int conteudo = medida.horizontalAdvance(ModeloDoHistorico::ExemploMaisLargo(coluna)) + margem;
        const int titulo =
            medidaDoTitulo.horizontalAdvance(modelo->headerData(coluna, Qt::Horizontal).toString()) +
            margemDoTitulo;
        m_grdGride->setColumnWidth(
            coluna,
            std::max({TwipsParaPixels(this, ModeloDoHistorico::LarguraEmTwips(coluna)), conteudo, titulo}));
    }
    m_grdGride->setCurrentIndex(modelo->index(0, 0));
    layout->addWidget(m_grdGride);
    connect(m_grdGride, &QTableView::doubleClicked, this, &frmHistorico::grdGride_DblClick);
    // Enter on a cell does what a double-click does, for the keyboard.
    m_grdGride->installEventFilter(this);
}

bool frmHistorico::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == m_grdGride && evento->type() == QEvent::KeyPress) {
        const int tecla = static_cast<QKeyEvent*>(evento)->key();
        if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
            grdGride_DblClick();
            return true;
        }
        // A window of its own in front of the user browser closes from the keyboard too.
        if (tecla == Qt::Key_Escape && isWindow()) {
            close();
            return true;
        }
    }
    return QWidget::eventFilter(objeto, evento);
}

void frmHistorico::grdGride_DblClick() {
    const QString texto = m_grdGride->currentIndex().data().toString();
    Modulo::MensagemEnvio = texto;
    m_operador.Mensagem(texto, QStringLiteral("Conteúdo da Célula Selecionada"), Icone::Informacao);
    // The box belongs to the modal window behind a history of its own, which gets the keyboard
    // back as the box closes: it comes back here once that is done.
    if (isWindow())
        QTimer::singleShot(0, this, [this] {
            activateWindow();
            m_grdGride->setFocus();
        });
}
