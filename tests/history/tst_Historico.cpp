// The history: its order, its columns, its rows read a page at a time, nothing opened for
// nothing, and the double-click that hands a message to the composition window's "=ANTERIOR".
#include "BancadaVirtual.h"
#include "common/Modulo.h"
#include "compose/frmMontaMsg.h"
#include "history/ModeloDoHistorico.h"
#include "history/frmHistorico.h"
#include "store/Consultas.h"
#include "store/Snapshot.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QTableView>
#include <QtTest>

class tst_Historico : public QObject {
    Q_OBJECT
    std::unique_ptr<BancadaVirtual> m_bancada;

private slots:
    void init() {
        m_bancada = std::make_unique<BancadaVirtual>();
        QVERIFY(m_bancada->ambiente.AbreBancoVazio());
        // Inserted out of order; same minute, names differing in case and accents.
        const char* linhas[][5] = {{"20261206", "09:30", "bruno", "b1", "2"},
                                   {"19981203", "14:05", "Ana", "a1", "1"},
                                   {"20261206", "09:30", "Álvaro", "v1", "3"},
                                   {"20261205", "23:59", "Ana", "a2", "1"},
                                   {"20261206", "09:30", "Alberto", "l1", "4"}};
        for (const auto& l : linhas)
            QVERIFY(GravaLog(l[0], l[1], l[2], l[3], l[4], QString(l[4]).toInt()));
    }
    void cleanup() { m_bancada.reset(); }

    void ordem_data() {
        QTest::addColumn<QString>("caso"); // text of the chooser|mode|rows shown, ';' between them
        QTest::newRow("todas") << "|0|03/12/1998 14:05 Ana a1 1;05/12/2026 23:59 Ana a2 1;06/12/2026 09:30 "
                                  "Alberto l1 4;06/12/2026 09:30 Álvaro v1 3;06/12/2026 09:30 bruno b1 2";
        QTest::newRow("um usuário") << "1|1|03/12/1998 14:05 Ana a1 1;05/12/2026 23:59 Ana a2 1";
        QTest::newRow("lista vazia do visualizador") << "0|1|";
    }
    void ordem() {
        const QStringList c = CamposDoCaso();
        QMdiArea area;
        QCOMPARE(ExibeHistorico(&area, m_bancada->operador, c[0], qint16(c[1].toInt())), !c[2].isEmpty());
        QCOMPARE(area.subWindowList().size(), c[2].isEmpty() ? 0 : 1);
        if (c[2].isEmpty())
            return;
        QMdiSubWindow* janela = area.subWindowList().constFirst();
        const QAbstractItemModel* modelo = janela->findChild<QTableView*>("grdGride")->model();
        QStringList vistas;
        for (int r = 0; r < modelo->rowCount(); ++r) {
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

    void duploCliqueChegaAoAnterior() {
        QMdiArea area;
        area.resize(900, 500);
        area.show();
        QVERIFY(ExibeHistorico(&area, m_bancada->operador, "", 0));
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        auto* grade = area.findChild<QTableView*>("grdGride");
        grade->setCurrentIndex(grade->model()->index(1, 3));
        const QPoint celula = grade->visualRect(grade->currentIndex()).center();
        // A double-click begins with a press.
        QTest::mousePress(grade->viewport(), Qt::LeftButton, {}, celula);
        QTest::mouseDClick(grade->viewport(), Qt::LeftButton, {}, celula);
        QCOMPARE(m_bancada->operador.TextosDasCaixas(), QStringList{"a2"});
        frmMontaMsg montaMsg(m_bancada->ctx);
        auto* txtMensagem = montaMsg.findChild<QPlainTextEdit*>("txtMensagem");
        txtMensagem->setFocus();
        QTest::keyClicks(txtMensagem, "=anterior");
        QCOMPARE(txtMensagem->toPlainText(), "a2");
    }
};

QTEST_MAIN(tst_Historico)
#include "tst_Historico.moc"
