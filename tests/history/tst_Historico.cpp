// The history: its order, its columns wide enough, its rows read a page at a time, nothing opened
// for nothing, and the double-click that hands a message to the composition window's "=ANTERIOR",
// also in a history asked from the modal user browser.
#include "BancadaVirtual.h"
#include "common/Modulo.h"
#include "directory/frmVisualizaUsuarios.h"
#include "history/ModeloDoHistorico.h"
#include "history/frmHistorico.h"
#include "store/Consultas.h"
#include "store/Snapshot.h"

#include <QApplication>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {
// The headings and the texts of one row that the grid would cut short (shown with "…"), measured
// as the view's style measures them when it paints.
QStringList TextosCortados(const QTableView* grade, int linha) {
    QStringList cortados;
    const QHeaderView* cabecalho = grade->horizontalHeader();
    // What the view keeps on each side of a cell's text, and a heading's margin.
    const int margem = grade->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grade) + 1;
    const int margemDoTitulo = grade->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, cabecalho);
    for (int coluna = 0; coluna < grade->model()->columnCount(); ++coluna) {
        const QModelIndex celula = grade->model()->index(linha, coluna);
        const QString titulo = grade->model()->headerData(coluna, Qt::Horizontal).toString();
        const QString texto = celula.data().toString();
        if (cabecalho->fontMetrics().elidedText(
                titulo, Qt::ElideRight, cabecalho->sectionSize(coluna) - 2 * margemDoTitulo) != titulo)
            cortados << titulo;
        if (grade->fontMetrics().elidedText(texto, Qt::ElideRight,
                                            grade->visualRect(celula).width() - 2 * margem) != texto)
            cortados << texto;
    }
    return cortados;
}
} // namespace

class tst_Historico : public QObject {
    Q_OBJECT
    std::unique_ptr<BancadaVirtual> m_bancada;

private slots:
    void init() {
        m_bancada = std::make_unique<BancadaVirtual>(true);
        // Inserted out of order; same minute, names differing in case and accents; a 10-character
        // code; a name padded to 50 characters as a one-user send logs it.
        const char* linhas[][5] = {
            {"20261206", "09:30", "bruno", "b1", "2"},
            {"19981203", "14:05", "Ana", "a1", "1"},
            {"20261206", "09:30", "Álvaro", "v1", "3"},
            {"20261205", "23:59", "Ana                                               ", "a2", "1"},
            {"20261206", "09:30", "Alberto", "l1", "4234567890"}};
        for (const auto& l : linhas)
            QVERIFY(GravaLog(l[0], l[1], l[2], l[3], l[4], QString(l[4]).left(1).toInt(), l[2][0] == 'b', {},
                             l[2][0] == 'b' ? "SNPP 10.0.0.5 usuario" : "janela"));
    }
    void cleanup() { m_bancada.reset(); }

    void ordem_data() {
        // text of the chooser|mode|rows shown, ';' between them|status line afterwards
        QTest::addColumn<QString>("caso");
        QTest::newRow("todas")
            << "|0|03/12/1998 14:05 Ana a1 1 entregue janela;05/12/2026 23:59 Ana a2 1 entregue janela;"
               "06/12/2026 09:30 Alberto l1 4234567890 entregue janela;06/12/2026 09:30 Álvaro v1 3 entregue "
               "janela;06/12/2026 09:30 bruno b1 2 recusada pela central SNPP 10.0.0.5 usuario|";
        QTest::newRow("um usuário")
            << "1|1|03/12/1998 14:05 Ana a1 1 entregue janela;05/12/2026 23:59 Ana a2 1 entregue janela|";
        QTest::newRow("usuário sem mensagens") << "7|1|| Nenhuma mensagem enviada para Zélia Souza.";
        QTest::newRow("lista vazia do visualizador") << "0|1||";
    }
    void ordem() {
        const QStringList c = CamposDoCaso();
        QVERIFY(Executa("Insert Into Usuarios (ID_Usuario, Nome_Usuario, ID_Pager, Descricao, Data_Cadastro) "
                        "Values (7, 'Zélia Souza', '7', '', '')"));
        QMdiArea area;
        QCOMPARE(ExibeHistorico(&area, m_bancada->operador, c[0], qint16(c[1].toInt())), !c[2].isEmpty());
        QCOMPARE(m_bancada->operador.StatusAtual(), c[3]);
        QCOMPARE(area.subWindowList().size(), c[2].isEmpty() ? 0 : 1);
        if (c[2].isEmpty())
            return;
        const QTableView* grade = area.subWindowList().constFirst()->findChild<QTableView*>("grdGride");
        const QAbstractItemModel* modelo = grade->model();
        QStringList vistas;
        for (int r = 0; r < modelo->rowCount(); ++r) {
            QCOMPARE(TextosCortados(grade, r), QStringList()); // every column wide enough
            QStringList celulas;
            for (int k = 0; k < modelo->columnCount(); ++k)
                celulas << modelo->index(r, k).data().toString();
            vistas << celulas.join(' ');
        }
        QCOMPARE(vistas.join(';'), c[2]);
    }

    // Read a page at a time, in the order taken at opening; a row deleted since then reads empty.
    void paginas() {
        for (int i = 0; i < 300; ++i)
            QVERIFY(GravaLog("20270101", QTime(0, 0).addSecs(60 * i).toString("hh:mm"), "Zé",
                             QString::number(i), "9", 9));
        ModeloDoHistorico modelo(std::nullopt);
        QCOMPARE(modelo.rowCount(), 305);
        QVERIFY(Executa(QStringLiteral("Delete From Log Where Mensagem = '200'")));
        for (int i : {0, 127, 128, 200, 299})
            QCOMPARE(modelo.index(5 + i, 3).data().toString(), i == 200 ? QString() : QString::number(i));
    }

    // From the modal user browser the history comes up in front and takes a double-click (and
    // Escape) while the browser is open; closing the browser moves it into the main window's area.
    void historicoDoVisualizador_data() {
        QTest::addColumn<QString>("caso"); // browser closed before the double-click?
        QTest::newRow("visualizador aberto, Esc fecha") << "";
        QTest::newRow("visualizador fechado") << "f";
    }
    void historicoDoVisualizador() {
        const bool fecha = !CamposDoCaso()[0].isEmpty();
        QVERIFY(Executa("Insert Into Usuarios Values (1, 'Ana', '1', '', '')"));
        QMdiArea area;
        area.resize(900, 500);
        area.show();
        frmVisualizaUsuarios visualizador(m_bancada->operador, &area, &area);
        const auto duploClique = [](frmHistorico* historico) {
            QTableView* grade = historico->Grade();
            const QPoint celula = grade->visualRect(grade->model()->index(1, 3)).center();
            QTest::mousePress(grade->viewport(), Qt::LeftButton, {}, celula);
            QTest::mouseDClick(grade->viewport(), Qt::LeftButton, {}, celula);
        };
        bool naFrente = false;
        QTimer::singleShot(0, [&] { // nothing that returns early: the browser must close
            QTest::mouseClick(visualizador.findChild<QPushButton*>("cmdHistorico"), Qt::LeftButton);
            auto* historico = visualizador.findChild<frmHistorico*>();
            naFrente = historico && historico->isWindow() && QTest::qWaitForWindowActive(historico);
            if (naFrente && !fecha) {
                duploClique(historico);
                QTest::keyClick(historico->Grade(), Qt::Key_Escape);
            }
            QTest::mouseClick(visualizador.findChild<QToolButton*>("cmdRetornar"), Qt::LeftButton);
        });
        visualizador.exec();
        QVERIFY(naFrente && area.subWindowList().size() == (fecha ? 1 : 0));
        if (fecha)
            duploClique(area.findChild<frmHistorico*>());
        QCOMPARE(m_bancada->operador.TextosDasCaixas(), QStringList{"a2"});
        QCOMPARE(Modulo::MensagemEnvio, "a2"); // what "=ANTERIOR" recalls
    }
};

QTEST_MAIN(tst_Historico)
#include "tst_Historico.moc"
