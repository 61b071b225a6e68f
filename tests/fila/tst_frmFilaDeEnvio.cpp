// The queue window: what it lists (a refusal older than a week no more), cancelling asked and
// done or declined, a page in a call that cannot be cancelled, and a page another program
// delivered while the window is open.
#include "BancadaVirtual.h"
#include "fila/FilaDeEnvio.h"
#include "fila/ModeloDaFila.h"
#include "fila/frmFilaDeEnvio.h"
#include "store/BancoDeDados.h"

#include <QSqlQuery>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

class tst_frmFilaDeEnvio : public QObject {
    Q_OBJECT

private slots:
    // action|row picked|answer|pages listed afterwards (id state recipient next)|boxes|page 1 in the file
    void janela_data() {
        QTest::addColumn<QString>("caso");
        const QString todas =
            "1 aguardando Ana (pager 1111) " + QDate::currentDate().toString("dd/MM/yyyy") +
            ";2 enviando pager 2222 -;4 incerta Bia (pager 4444) -;5 recusada Bia (pager 4444) -";
        QTest::newRow("lista o que não foi entregue") << "|0||" + todas + "|0|aguardando";
        QTest::newRow("Delete, Sim: cancelada") << "Delete|0|Sim|" + todas.section(';', 1) + "|1|cancelada";
        QTest::newRow("botão, Não: fica") << "botao|0|Não|" + todas + "|1|aguardando";
        QTest::newRow("em envio não se cancela") << "botao|1|Sim|" + todas + "|1|aguardando";
        QTest::newRow("entregue por outro programa") << "outro|1||" + todas.section(';', 1) + "|0|entregue";
    }
    void janela() {
        const QStringList c = CamposDoCaso();
        BancadaVirtual b;
        QVERIFY(b.ambiente.AbreBancoVazio() && Fila::GaranteTabela());
        QVector<qint64> ids;
        const QDateTime quando = QDateTime::currentDateTime();
        QVERIFY(Fila::Enfileira({{"1111", "Ana", 1, "Ligar\r\npara \x1b[2J 2244"},
                                 {"2222", "", 0, "oi"},
                                 {"3333", "Caio", 3, "oi"},
                                 {"4444", "Bia", 4, "oi"},
                                 {"4444", "Bia", 4, "oi"}},
                                "linha de comando", quando.toUTC(), ids) &&
                Fila::Enfileira({{"4444", "Bia", 4, "oi"}}, "SNPP", quando.addDays(-8).toUTC(), ids));
        QVERIFY(Fila::MarcaEnviando(2) && Fila::MarcaSituacao(4, Fila::Situacao::Incerta, "sem resposta") &&
                Fila::RegistraEntrega(*Fila::LePagina(3), false, "", quando) &&
                Fila::MarcaSituacao(5, Fila::Situacao::Recusada, "código") &&
                Fila::MarcaSituacao(6, Fila::Situacao::Recusada, "código"));
        frmFilaDeEnvio janela(b.operador);
        QTableView* grade = janela.Grade();
        grade->setCurrentIndex(grade->model()->index(c[1].toInt(), 0));
        b.operador.respostas.push_back(c[2] == "Sim" ? Resposta::Sim : Resposta::Nao);
        if (c[0] == "Delete")
            QTest::keyClick(grade, Qt::Key_Delete);
        else if (c[0] == "botao")
            QTest::mouseClick(janela.findChild<QToolButton*>("cmdCancelarPagina"), Qt::LeftButton);
        else if (c[0] == "outro") {
            // Another process (the service) writes the file through its own connection.
            QSqlDatabase outro = OutraMesa("outro");
            const qint64 antes = VersaoDosDados();
            QVERIFY(outro.isOpen() &&
                    QSqlQuery(outro).exec("Update Fila Set Situacao = 'entregue' Where ID_Pagina = 1"));
            QTRY_VERIFY(VersaoDosDados() != antes); // a server's notice takes a moment to come
            janela.tmpAtualiza_Timer();
        }
        janela.tmpAtualiza_Timer(); // nothing new: the list stays as it is
        QStringList linhas;
        for (int r = 0; r < grade->model()->rowCount(); ++r) {
            QStringList celulas;
            for (int k : {0, 4, 1, 6})
                celulas << grade->model()->index(r, k).data().toString().section(' ', 0, k == 6 ? 0 : -1);
            linhas << celulas.join(' ');
        }
        QCOMPARE(linhas.join(';'), c[3]);
        QCOMPARE(b.operador.caixas.size(), c[4].toInt());
        if (c[0].isEmpty()) // the message on one line, its control characters shown, not obeyed
            QCOMPARE(grade->model()->index(0, ModeloDaFila::ColMensagem).data().toString(),
                     "Ligar para \\x1B[2J 2244");
        QCOMPARE(Fila::NomeDaSituacao(Fila::LePagina(1)->situacao), c[5]);
        // The picked page is still the one picked.
        QCOMPARE(grade->currentIndex().data().toString(),
                 c[5] == "aguardando" ? QString::number(c[1].toInt() + 1) : "2");
    }
};

QTEST_MAIN(tst_frmFilaDeEnvio)
#include "tst_frmFilaDeEnvio.moc"
