// The page queue: its back-off and expiry, and the states a page goes through, on the shared
// Pager.Mdb with a clock that moves only when a row says so.
// And a delivery round of the queue in virtual time against a scripted modem and terminal: one call
// for every due page, the states and Log rows each answer leaves, and what waits for the next.
#include "BancadaVirtual.h"
#include "BlocoTAP.h"
#include "CadastroDeTeste.h"
#include "FalhaPlantada.h"
#include "TabelaDeTeste.h"
#include "common/Interrupcao.h"
#include "fila/EntregaDaFila.h"
#include "fila/FilaDeEnvio.h"
#include "fila/RegrasDaFila.h"
#include "modem/Enlace.h"
#include "settings/PerfilINI.h"
#include "store/BancoDeDados.h"
#include "store/SQLiteNativo.h"
#include "store/Snapshot.h"

#include <QtTest>
#include <sqlite3.h>
#include <thread>

using namespace Fila;

namespace {
// One script rule ahead of the terminal's usual answers (or a word for the test), then each page's
// state:attempts (1111, 2222, 3333, and a fourth queued during the call), the blocks on the line,
// whether the session was logged off (EOT) before the hang-up, and the first failed page's reason.
struct Rodada {
    const char* nome;
    QString regra, situacoes;
    int blocos;
    bool encerrou;
    QString motivo;
};
const Rodada kRodadas[] = {
    {"três numa chamada", "", "entregue:1 entregue:1 entregue:1", 3, true, ""},
    {"ocupado: todas esperam", "ATD|\r\nBUSY\r\n|2", "aguardando:1 aguardando:1 aguardando:1", 0, false,
     "ocupada"},
    {"código recusado", "2222\r|511 Invalid pager ID\r\r\x1e\r\x06\r|0.5", "entregue:1 recusada:1 entregue:1",
     3, true, "não cadastrado na central (511 Invalid pager ID)"},
    // A session limit at the second page: the third goes on a second call, each page once.
    {"limite da sessão", "2222\r|112 Maximum Pages Entered for Session\r\x06\r\x1b\x04\r|0.5",
     "entregue:1 entregue:1 entregue:1", 3, true, ""},
    {"silêncio: incerta", "2222\r||0", "entregue:1 incerta:1 aguardando:1", 2, false, "pode ter chegado"},
    {"reenviar incertas", "reenviar", "entregue:1 aguardando:1 aguardando:1", 2, false, "pode ter chegado"},
    {"três NAKs", "1111\r|\x15\r|0.5", "aguardando:1 aguardando:1 aguardando:1", 3, false, "NAK"},
    {"LogIn recusado", "\x1bPG1|\x15\r|0.3", "aguardando:1 aguardando:1 aguardando:1", 0, false,
     "(LogIn) sem senha"},
    {"desconexão", "1111\r|\x1b\x04\r|0.5", "aguardando:1 aguardando:1 aguardando:1", 1, false, "desconexão"},
    // Asked to stop once the first block is answered: the page marked ahead waits again, uncounted.
    {"interrompido", "interromper", "entregue:1 aguardando:0 aguardando:0", 1, true, ""},
    // A termination signal while dialling: nothing sent, no attempt counted.
    {"sinal na discagem", "sinal", "aguardando:0 aguardando:0 aguardando:0", 0, false, ""},
    // Cancelled from the window while the call is up: it does not go.
    {"cancelada durante a chamada", "cancela", "entregue:1 cancelada:0 entregue:1", 2, true, "operador"},
    {"chega outra na chamada", "quarta", "entregue:1 entregue:1 entregue:1 entregue:1", 4, true, ""},
    // Another program holds the write lock as the second block goes out, for a moment: the
    // write waits for it.
    {"banco travado por um instante", "travado", "entregue:1 entregue:1 entregue:1", 3, true, ""},
    // The first page's Log row cannot be written (written while the second block is on the line):
    // the second is answered and written, no third block goes (nor its attempt counted), and the
    // session is logged off.
    {"gravação falha", "falha", "incerta:1 entregue:1 aguardando:0", 2, true,
     "histórico não pôde ser gravado"},
    // ... nor its state: it stays "enviando". Either way the next round writes both.
    {"gravação falha duas vezes", "falha duas vezes", "enviando:1 entregue:1 aguardando:0", 2, true, ""},
};
const QDateTime kBase(QDate(2027, 3, 1), QTime(10, 0));
const QDateTime kInicio = QDateTime::fromSecsSinceEpoch(1'800'000'000, Qt::UTC);
} // namespace

class tst_EntregaDaFila : public QObject {
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
        std::optional<FalhaPlantada> semLog;
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
                semLog.emplace("Before Insert On Log", "x");
        }
        const Pagina p = *LePagina(ids[0]);
        QCOMPARE(NomeDaSituacao(p.situacao), caso[1]);
        QCOMPARE(p.tentativas, caso[0].contains("enviando") ? 1 : 0);
        if (p.situacao == Situacao::Incerta || p.situacao == Situacao::Aguardando)
            QVERIFY(p.motivo.contains("pode ter recebido"));
        // The Log row is the one a one-user window send writes, with the page's source; the other
        // page is untouched.
        QCOMPARE(Coluna("Select Usuario || ':' || ID_Pager || ':' || ID_Usuario || ':' || Mensagem || ':' || "
                        "Origem As L From Log"),
                 caso[2] == "1"
                     ? QStringList{QString("Ana").leftJustified(50) + ":1111:7: oi :linha de comando"}
                     : QStringList{});
        QCOMPARE(LePagina(ids[1])->situacao, caso[0] == "vence" ? Situacao::Expirada : Situacao::Aguardando);
    }

    // A store that refuses the write claims nothing queued.
    void enfileiraSemGravar() {
        AmbienteDeTeste ambiente(true);
        QVERIFY(GaranteTabela());
        FalhaPlantada cheia("Before Insert On Fila", "disco cheio", "New.ID_Pager = '2'");
        QVERIFY(cheia.Plantada());
        QVector<qint64> ids{99};
        QString erro;
        QVERIFY(!Enfileira({{"1", "A", 1, "x"}, {"2", "B", 2, "x"}}, "t", kInicio, ids, &erro));
        QVERIFY(erro.contains("disco cheio"));
        QVERIFY(ids.isEmpty());
        QCOMPARE(Snapshot("Select Count(*) As N From Fila").Campo("N").toInt(), 0);
        QVERIFY(!ProximaTentativa());
        // Sharing a write, the refused submitter loses its pages and the others keep theirs.
        QVector<PedidoDaFila> juntos{{{{"1", "A", 1, "x"}}, "a", kInicio, {}, {}},
                                     {{{"3", "C", 3, "x"}, {"2", "B", 2, "x"}}, "b", kInicio, {}, {}},
                                     {{{"4", "D", 4, "x"}}, "c", kInicio, {}, {}}};
        QVERIFY(EnfileiraJuntos(juntos));
        QVERIFY(juntos[1].erro.contains("disco cheio") && juntos[1].ids.isEmpty() &&
                juntos[2].erro.isEmpty());
        QCOMPARE(Coluna("Select ID_Pager || Origem || ID_Pagina As L From Fila Order By ID_Pagina"),
                 (QStringList{"1a" + QString::number(juntos[0].ids[0]),
                              "4c" + QString::number(juntos[2].ids[0])}));
    }

    void rodada_data() { Linhas(kRodadas); }
    void rodada() {
        const Rodada& r = LinhaAtual(kRodadas);
        BancadaVirtual b(true);
        QVERIFY(GaranteTabela());
        b.relogio.dataHora = [&b] { return kBase.addMSecs(qint64((b.relogio.Agora() - b.inicio) * 1000)); };
        QVector<qint64> ids;
        QVERIFY(Enfileira({{"1111", "Ana", 1, "oi"}, {"2222", "Bia", 2, "oi"}, {"3333", "Caio", 3, "oi"}},
                          "teste", kBase.toUTC(), ids));
        RegrasDaFila regras;
        regras.reenviarIncertas = r.regra == "reenviar";
        const bool interromper = r.regra == "interromper" || r.regra == "sinal";
        if (r.regra == "sinal")
            b.modem.aoEscrever = [](const QByteArray& bytes) {
                if (bytes.contains("ATD"))
                    Interrupcao::Pede();
            };
        const auto limpa = qScopeGuard([] { Interrupcao::Esquece(); });
        if (r.regra == "reenviar")
            b.Roteiro({"2222\r||0"});
        else if (r.regra.contains('|'))
            b.Roteiro({r.regra});
        if (r.regra == "cancela")
            b.modem.aoEscrever = [&ids](const QByteArray& bytes) {
                if (bytes.contains("1111\r"))
                    Cancela(ids[1]);
            };
        if (r.regra == "quarta")
            b.modem.aoEscrever = [&ids](const QByteArray& bytes) {
                QVector<qint64> nova;
                if (bytes.contains("1111\r") && ids.size() == 3 &&
                    Enfileira({{"4444", "Davi", 4, "oi"}}, "teste", kBase.toUTC(), nova))
                    ids << nova;
            };
        std::optional<FalhaPlantada> falha;
        if (r.regra == "falha")
            QVERIFY(falha.emplace("Before Insert On Log", "disco cheio", "New.ID_Pager = '1111'").Plantada());
        if (r.regra == "falha duas vezes")
            QVERIFY(falha
                        .emplace("Before Update On Fila", "disco cheio",
                                 "New.ID_Pager = '1111' And New.Situacao <> 'enviando'")
                        .Plantada());
        if (r.regra == "travado" && MotorDoBanco() != Motor::SQLite)
            QSKIP("a server's own locks wait for each other; the half-millisecond retry is the file's");
        std::thread liberta;
        if (r.regra == "travado")
            b.modem.aoEscrever = [&liberta](const QByteArray& bytes) {
                sqlite3* outra = nullptr;
                if (bytes.contains("2222\r") &&
                    sqlite3_open_v2(qPrintable(BancoDeDados().databaseName()), &outra,
                                    SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI, nullptr) == SQLITE_OK &&
                    sqlite3_exec(outra, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK)
                    liberta = std::thread([outra] { QThread::msleep(50), sqlite3_close(outra); });
            };
        // Each block goes out with its page "enviando" committed (no write open), so a crash never
        // sends it again, and a crash then leaves at most two pages uncertain: this one and the one
        // before it (answered, being written) or after it (marked ahead).
        QStringList violacoes;
        b.modem.aoEscrever = [&violacoes, antes = b.modem.aoEscrever](const QByteArray& bytes) {
            antes ? antes(bytes) : void();
            const QStringList enviando = Coluna("Select ID_Pager As L From Fila Where Situacao = 'enviando'");
            if (bytes.startsWith('\x02') &&
                (TransacaoAberta() || !enviando.contains(bytes.mid(1, 4)) || enviando.size() > 2))
                violacoes << bytes.mid(1, 4) + ": " + enviando.join(' ');
        };
        b.modem.CentralQueAceita();
        b.modem.QuandoRecebe("\r", "ID=", 0.3, -1, true); // on a second call too
        EnlaceModem enlace(b.modem);
        QStringList diario;
        const ResumoDaRodada resumo = EntregaProntas(
            b.ctx, enlace, regras, [&diario](const QString& t) { diario << t; },
            [interromper, &b] {
                return Interrupcao::Pedidos() > 0 || (interromper && b.modem.Contagem("\x02") > 0);
            });
        liberta.joinable() ? liberta.join() : void();
        QVERIFY2(violacoes.isEmpty(), qPrintable(violacoes.join(" / ")));

        // Each page: state, attempts, and the reason of the first one not delivered.
        QStringList situacoes, motivos;
        for (const qint64 id : ids) {
            const Pagina p = *LePagina(id);
            situacoes << NomeDaSituacao(p.situacao) + ':' + QString::number(p.tentativas);
            if (p.situacao != Situacao::Entregue)
                motivos << p.motivo;
            // The first wait of the back-off, counted from the failure during this round.
            if (p.situacao == Situacao::Aguardando && p.tentativas > 0)
                QVERIFY(p.proxima >= p.enfileirada.addSecs(60) &&
                        p.proxima <= p.enfileirada.addSecs(60 + qint64(b.Decorrido())));
        }
        QCOMPARE(situacoes.join(' '), r.situacoes);
        QVERIFY2(motivos.value(0).contains(r.motivo), qPrintable(motivos.join(" / ")));
        // One call; the log-on unless the dial failed; the session logged off only when it went well.
        const int chamadas = 1 + r.regra.contains("112 ");
        QCOMPARE(b.modem.Contagem("ATD"), chamadas);
        QCOMPARE(b.modem.Contagem("\x1bPG1"),
                 QString(r.nome).contains("ocupado") || r.regra == "sinal" ? 0 : chamadas);
        QCOMPARE(b.modem.Contagem("\x02"), r.blocos);
        QCOMPARE(b.modem.linha.endsWith("\x04\r+++ATH0\r"), r.encerrou);
        QCOMPARE(resumo.interrompida, interromper);
        // Each Log row is the page's own, as a window send writes it.
        int linhas = 0;
        for (Snapshot log("Select * From Log"); !log.Eof(); log.MoveNext(), ++linhas) {
            QCOMPARE(log.Campo("Mensagem").toString() + log.Campo("Data").toString(), QString("oi20270301"));
            QVERIFY(b.modem.linha.contains(BlocoTAP(log.Campo("ID_Pager").toByteArray(), "oi")));
            if (log.Campo("Situacao").toString() == "recusada") // the terminal's reason, on the page too
                QCOMPARE(log.Campo("Motivo").toString(), motivos.value(0));
        }
        QCOMPARE(linhas, int(r.situacoes.count("entregue") + r.situacoes.count("recusada")));
        QVERIFY(!diario.isEmpty());
        // The store is back: the page's row and state are written, once (also when the operator
        // cancelled the uncertain page meanwhile); a page left marked ahead waits again, uncounted.
        if (falha) {
            falha.reset();
            QVERIFY(MarcaEnviando(ids[2]) && Cancela(ids[0]) == (r.regra == "falha"));
            for (int vez = 0; vez < 2; ++vez) {
                PendenciasDaRodada pendencias = resumo.pendencias;
                pendencias.marcadas << ids[2];
                QVERIFY(GravaPendencias(pendencias, [](const QString&) {}) && pendencias.Vazia());
            }
            QCOMPARE(Coluna("Select Situacao || ':' || ID_Pager As L From Log Order By ID_Pager"),
                     (QStringList{"entregue:1111", "entregue:2222"}));
            QCOMPARE(LePagina(ids[0])->situacao, Situacao::Entregue);
            QCOMPARE(NomeDaSituacao(LePagina(ids[2])->situacao) +
                         QString::number(LePagina(ids[2])->tentativas),
                     "aguardando0");
        }
    }

    // The queued text goes out as a window send puts it ([CONEXÃO] rules, letters, splitting) and
    // names reach the journal escaped: INI|name|message|blocks' text fields|Log texts|state.
    void texto_data() {
        QTest::addColumn<QString>("caso");
        QTest::newRow("controle em escape, nome com ESC")
            << "Controles=Escape|Ana\x1b[2J|a\001b|a\032Ab|a\001b|entregue";
        QTest::newRow("letras e brancos") << "|Bia| Reunião às 15h |Reuniao as 15h| Reuniao as 15h |entregue";
        const QString dividida = "Tamanho da Página=20\nTexto Longo=Dividir|Bia|um dois tres quatro cinco|"
                                 "(1/2) um dois tres;(2/2) quatro cinco|(1/2) um dois tres";
        QTest::newRow("dividida em duas") << dividida + ";(2/2) quatro cinco|entregue";
        QTest::newRow("segunda parte sem resposta") << dividida + "|incerta";
        QTest::newRow("longa sem dividir")
            << "Tamanho da Página=20|Bia|um dois tres quatro cinco seis|||recusada";
    }
    void texto() {
        const QStringList c = CamposDoCaso();
        BancadaVirtual b;
        b.ambiente.EscreveINI(("[CONEXÃO]\n" + c[0] + "\n").toUtf8());
        QVERIFY(b.ambiente.AbreBancoVazio() && GaranteTabela());
        QVector<qint64> ids;
        QVERIFY(Enfileira({{"1111", c[1], 1, c[2]}}, "SNPP 10.0.0.5", QDateTime::currentDateTimeUtc(), ids));
        if (QString(QTest::currentDataTag()).contains("sem resposta"))
            b.Roteiro({"(2/2)||0"});
        b.modem.CentralQueAceita();
        EnlaceModem enlace(b.modem);
        QStringList diario;
        EntregaProntas(
            b.ctx, enlace, RegrasDaFila(), [&diario](const QString& t) { diario << t; },
            [] { return false; });
        QByteArray blocos;
        for (const QString& campo : c[3].split(';', Qt::SkipEmptyParts))
            blocos += BlocoTAP("1111", campo.toLatin1());
        QVERIFY2(b.modem.linha.contains(blocos) &&
                     b.modem.Contagem("\x02") == c[3].count(';') + !c[3].isEmpty(),
                 b.modem.linha.toPercentEncoding().constData());
        QStringList log;
        for (Snapshot s("Select Mensagem From Log Order By rowid"); !s.Eof(); s.MoveNext())
            log << s.Campo("Mensagem").toString();
        QCOMPARE(log.join(';'), c[4]);
        QCOMPARE(NomeDaSituacao(LePagina(ids[0])->situacao), c[5]);
        QVERIFY(!diario.join('\n').contains('\x1b') && !diario.filter(c[1].left(3)).isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_EntregaDaFila)
#include "tst_EntregaDaFila.moc"
