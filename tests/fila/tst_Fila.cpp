// The page queue: its back-off and expiry, and the states a page goes through, on the shared
// Pager.Mdb with a clock that moves only when a row says so.
#include "AmbienteDeTeste.h"
#include "CadastroDeTeste.h"
#include "fila/FilaDeEnvio.h"
#include "fila/RegrasDaFila.h"
#include "settings/PerfilINI.h"
#include "store/BancoDeDados.h"
#include "store/Snapshot.h"

#include <QtTest>

using namespace Fila;

namespace {
const QDateTime kInicio = QDateTime::fromSecsSinceEpoch(1'800'000'000, Qt::UTC);
} // namespace

class tst_Fila : public QObject {
    Q_OBJECT

private slots:
    // Each row: [FILA] keys, then the minutes after queueing of every next attempt while every
    // attempt fails at its due time, ending with the state the page is left in.
    void adiamentos_data() {
        QTest::addColumn<QString>("ini");
        QTest::addColumn<QString>("esperado");
        const char* linhas[][3] = {
            {"três tentativas", "Tentativas=3", "1 4 expirada"},
            {"idade máxima de 10 min", "Idade Máxima=10", "1 4 9 expirada"},
            {"intervalos próprios, decimais", "Intervalos=0.5; 2\nTentativas=4", "0.5 2.5 4.5 expirada"},
            // Every key is left at its default: 1, 3, 5, 10, then 15 minutes, ten attempts.
            {"valores inválidos ficam no padrão", "Intervalos=1,x\nTentativas=0\nIdade Máxima=-3",
             "1 4 9 19 34 49 64 79 94 expirada"}};
        for (const auto& l : linhas)
            QTest::newRow(l[0]) << QString(l[1]) << QString(l[2]);
    }
    void adiamentos() {
        QFETCH(QString, ini);
        QFETCH(QString, esperado);
        AmbienteDeTeste ambiente(true);
        ambiente.EscreveINI(("[FILA]\n" + ini + "\n").toUtf8());
        QVERIFY(GaranteTabela());
        QString problema;
        const RegrasDaFila regras = LeRegrasDaFila(&problema);
        QCOMPARE(problema.isEmpty(), !QString(QTest::currentDataTag()).contains("inválidos"));
        QVector<qint64> ids;
        QVERIFY(Enfileira({{"1111", "Ana", 1, "oi"}}, "teste", kInicio, ids));
        QStringList visto;
        for (int passo = 0; passo < 20; ++passo) {
            const Pagina p = *LePagina(ids[0]);
            if (p.situacao != Situacao::Aguardando) {
                visto << NomeDaSituacao(p.situacao);
                break;
            }
            if (passo > 0)
                visto << QString::number(kInicio.secsTo(p.proxima) / 60.0);
            // Nothing is due a second early; at its time it is, and it fails.
            QVERIFY(Prontas(p.proxima.addSecs(-1)).isEmpty());
            QCOMPARE(Prontas(p.proxima).size(), 1);
            QVERIFY(Adia(p, regras, p.proxima, "linha ocupada"));
        }
        QCOMPARE(visto.join(' '), esperado);
        QVERIFY(LePagina(ids[0])->motivo.startsWith("linha ocupada; desistência"));
    }

    // What each step leaves: the page's state and attempts, and its Log row (steps|state|rows).
    void situacoes_data() {
        QTest::addColumn<QString>("caso");
        QTest::newRow("recusada, com a linha do Log e o motivo") << "enviando recusada|recusada|1";
        QTest::newRow("morto com o bloco na linha: incerta") << "enviando recupera|incerta|0";
        QTest::newRow("incerta reenviada quando se pede") << "reenviar enviando recupera|aguardando|0";
        QTest::newRow("cancelada enquanto aguarda") << "cancela|cancelada|0";
        QTest::newRow("entregue não se cancela") << "enviando entregue cancela|entregue|1";
        QTest::newRow("vencida pela idade") << "vence|expirada|0";
        QTest::newRow("Log recusado: nada muda") << "enviando semlog entregue|enviando|0";
    }
    void situacoes() {
        const QStringList caso = CamposDoCaso();
        AmbienteDeTeste ambiente(true);
        QVERIFY(GaranteTabela() && GaranteTabela()); // a second time is harmless
        RegrasDaFila regras;
        QVector<qint64> ids;
        QVERIFY(
            Enfileira({{"1111", QString("Ana").leftJustified(50), 7, " oi "}, {"2222", QString(), 8, " oi "}},
                      "linha de comando", kInicio, ids));
        QCOMPARE(LePagina(ids[1])->origem, QString("linha de comando"));
        for (const QString& passo : caso[0].split(' ')) {
            const Pagina p = *LePagina(ids[0]);
            if (passo == "reenviar")
                regras.reenviarIncertas = true;
            else if (passo == "enviando")
                QVERIFY(MarcaEnviando(p.id));
            else if (passo == "entregue" || passo == "recusada")
                RegistraEntrega(p, passo == "recusada", "motivo", kInicio);
            else if (passo == "recupera")
                QCOMPARE(RecuperaInterrompidas(regras, kInicio.addSecs(60)), 1);
            else if (passo == "cancela")
                QCOMPARE(Cancela(p.id), p.situacao == Situacao::Aguardando);
            else if (passo == "vence")
                QCOMPARE(ExpiraVencidas(regras, kInicio.addSecs(4 * 3600 + 1)), 2);
            else if (passo == "semlog")
                QVERIFY(Executa("Create Trigger L Before Insert On Log Begin Select Raise(Abort, 'x'); End"));
        }
        const Pagina p = *LePagina(ids[0]);
        QCOMPARE(NomeDaSituacao(p.situacao), caso[1]);
        QCOMPARE(p.tentativas, caso[0].contains("enviando") ? 1 : 0);
        if (p.situacao == Situacao::Incerta || p.situacao == Situacao::Aguardando)
            QVERIFY(p.motivo.contains("pode ter recebido"));
        // The Log row is the one a one-user window send writes; the other page is untouched.
        QCOMPARE(
            Coluna("Select Usuario || ':' || ID_Pager || ':' || ID_Usuario || ':' || Mensagem As L From Log"),
            caso[2] == "1" ? QStringList{QString("Ana").leftJustified(50) + ":1111:7: oi "} : QStringList{});
        QCOMPARE(LePagina(ids[1])->situacao, caso[0] == "vence" ? Situacao::Expirada : Situacao::Aguardando);
    }

    // A store that refuses the write claims nothing queued.
    void enfileiraSemGravar() {
        AmbienteDeTeste ambiente(true);
        QVERIFY(GaranteTabela());
        QVERIFY(Executa("Create Trigger Cheia Before Insert On Fila When New.ID_Pager = '2' "
                        "Begin Select Raise(Abort, 'disco cheio'); End"));
        QVector<qint64> ids{99};
        QString erro;
        QVERIFY(!Enfileira({{"1", "A", 1, "x"}, {"2", "B", 2, "x"}}, "t", kInicio, ids, &erro));
        QVERIFY(erro.contains("disco cheio"));
        QVERIFY(ids.isEmpty());
        QCOMPARE(Snapshot("Select Count(*) As N From Fila").Campo("N").toInt(), 0);
        QVERIFY(!ProximaTentativa());
    }
};

QTEST_GUILESS_MAIN(tst_Fila)
#include "tst_Fila.moc"
