// What a send does when the terminal, the line, the port or the history fails halfway, in
// virtual time.
#include "BancadaVirtual.h"
#include "CadastroDeTeste.h"
#include "EnvioDeTeste.h"
#include "common/Modulo.h"
#include "modem/Desligamento.h"
#include "modem/Discagem.h"
#include "settings/PerfilINI.h"
#include "store/Snapshot.h"
#include "tap/Envio.h"

#include <QtTest>

namespace {

struct Cena : BancadaVirtual {
    PedidoDeTeste pedido;
    PainelDeTeste painel;
    Cena() {
        pedido.texto = QStringLiteral("Ligar para a base");
        QVERIFY(ambiente.AbreBancoVazio());
    }
    int LinhasNoLog() const { return Snapshot(QStringLiteral("Select * From Log")).RecordCount(); }
};

} // namespace

class TstFalhasNoEnvio : public QObject {
    Q_OBJECT
private slots:
    // An ACK that came before the page (or the log-on request) went out is no answer to it.
    void respostaAnteriorAoEnvioNaoConta_data() {
        QTest::addColumn<QByteArray>("aoPrimeiroPrompt");
        QTest::addColumn<bool>("ackDuplo");
        QTest::newRow("ACK antes do ID=") << QByteArray("\x06\rID=") << false;
        QTest::newRow("ACK duplo no log-on") << QByteArray("ID=") << true;
    }
    void respostaAnteriorAoEnvioNaoConta() {
        QFETCH(QByteArray, aoPrimeiroPrompt);
        QFETCH(bool, ackDuplo);
        Cena c;
        Modulo::CodigosDaLista[1] = CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("123"));
        c.modem.QuandoRecebeExato("\r", aoPrimeiroPrompt, 0.3, 1);
        c.modem.QuandoRecebe("\x1bPG1\r", "\x06\r", 0.3);
        // The second ACK comes during the log-on's last pause, before the page goes out.
        if (ackDuplo)
            c.relogio.aoPausar = [&c] {
                if (c.relogio.pausas.last() == 0.01)
                    c.modem.Entrega(0, "\x06\r");
            };
        QVERIFY(!EnviarUsuario(c.ctx, c.pedido, c.painel));
        QCOMPARE(c.LinhasNoLog(), 0);
        QCOMPARE(c.operador.TextosDasCaixas(),
                 QStringList{"Erro: Time Out - Aguardando confirmação do dígito verificador ..."});
    }

    // A group of 20 whose 8th page meets a fault.
    void grupoComFalhaNoOitavo_data() {
        QTest::addColumn<QByteArray>("falha");
        QTest::addColumn<int>("linhasNoLog");
        QTest::addColumn<QString>("resumo");
        const QString interrompido = QStringLiteral("interrompido: 7 de 20 membros");
        QTest::newRow("pedido de desconexão") << QByteArray("\x1b\x04\r") << 7 << interrompido;
        QTest::newRow("tempo esgotado") << QByteArray("") << 7 << interrompido;
        QTest::newRow("porta perdida") << QByteArray("perda") << 7 << interrompido;
        QTest::newRow("histórico recusa") << QByteArray("log") << 19 << "não puderam ser registradas";
        QTest::newRow("NAK e reenvio") << QByteArray("\x15\r") << 20 << QString();
    }
    void grupoComFalhaNoOitavo() {
        QFETCH(QByteArray, falha);
        QFETCH(int, linhasNoLog);
        QFETCH(QString, resumo);
        Cena c;
        c.modem.TerminalQueAceitaLogOn();
        QVector<qint32> membros;
        for (int i = 1; i <= 20; ++i)
            membros << CadastraUsuario(QStringLiteral("Membro %1").arg(i, 2, 10, QLatin1Char('0')),
                                       QString::number(1000 + i));
        Modulo::CodigosDaLista[1] = CadastraGrupo(QStringLiteral("G"), membros);
        c.pedido.porUsuario = false;
        const QByteArray oitavo("\x02"
                                "1008\r");
        c.modem.QuandoRecebe(oitavo, falha, 0.5, falha == "perda" || falha == "log" ? 0 : 1);
        c.modem.QuandoRecebe("\x02", "\x06\r", 0.5);
        c.modem.aoEscrever = [&c, oitavo, falha](const QByteArray& b) {
            if (falha == "perda" && b.startsWith(oitavo))
                c.modem.Perde();
        };
        if (falha == "log")
            QVERIFY(Executa("Create Trigger cheio Before Insert On Log When New.ID_Pager = '1008' "
                            "Begin Select Raise(Abort, 'disk full'); End"));

        QCOMPARE(EnviarGrupo(c.ctx, c.pedido, c.painel), linhasNoLog > 7);
        QCOMPARE(c.LinhasNoLog(), linhasNoLog);
        if (resumo.isEmpty()) { // each resend shows the sending text again
            const int erro = c.operador.status.indexOf(" Erro na transmissão, re-enviando mensagem ...");
            QCOMPARE(c.operador.status.value(erro + 1), QStringLiteral(" Enviando mensagem, aguade ..."));
            return;
        }
        // One summary, after the hang-up, naming every member left out (or left unrecorded).
        const QString fim = c.operador.caixas.last().texto;
        QVERIFY2(fim.contains(resumo), qPrintable(fim));
        QVERIFY(fim.contains("Membro 08 (pager 1008)") && !fim.contains("Membro 07"));
        QCOMPARE(fim.contains("Membro 20"), linhasNoLog == 7);
        QVERIFY(c.operador.eventos.lastIndexOf("status: Pronto") <
                c.operador.eventos.indexOf("caixa:" + fim));
        if (falha == "\x1b\x04\r")
            QCOMPARE(c.operador.StatusAtual(), QStringLiteral(" Desconexão solicitada pelo servidor."));
        if (falha == "log") {
            QCOMPARE(c.operador.caixas.size(), 1);
            QFile arquivo(c.ambiente.Diretorio() + "/PaginasNaoRegistradas.txt");
            QVERIFY(arquivo.open(QIODevice::ReadOnly));
            QVERIFY(arquivo.readAll().contains("Membro 08\tpager 1008\tmensagem: Ligar para a base"));
        }
    }

    // After the log-off: "+++" at once when the terminal dropped the call, after the modem's guard
    // time when it kept it. The page is recorded at midnight, with one reading of the clock.
    void fimDaChamada_data() {
        QTest::addColumn<QByteArray>("aoEOT");
        QTest::addColumn<double>("silencioAntesDoEscape");
        QTest::newRow("terminal desligou") << QByteArray("\r\x1b\x04\r\r\nNO CARRIER\r\n") << 0.05;
        QTest::newRow("chamada mantida") << QByteArray() << 0.05 + GuardaDoModem;
    }
    void fimDaChamada() {
        QFETCH(QByteArray, aoEOT);
        QFETCH(double, silencioAntesDoEscape);
        Cena c;
        Modulo::CodigosDaLista[1] = CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("123"));
        c.modem.TerminalQueAceitaLogOn();
        c.modem.QuandoRecebe("\x02", "\x06\r", 0.5);
        c.modem.QuandoRecebe("\x04\r", aoEOT, 0.01);
        int leituras = 0;
        c.relogio.dataHora = [&leituras] {
            const QDateTime meiaNoite(QDate(2026, 12, 6), QTime(0, 0));
            return ++leituras == 1 ? meiaNoite.addMSecs(-100) : meiaNoite;
        };
        QVERIFY(EnviarUsuario(c.ctx, c.pedido, c.painel));
        const int fim = c.modem.linha.indexOf("\x04\r+++");
        QVERIFY(fim > 0);
        const auto eot = std::find_if(c.modem.escritas.begin(), c.modem.escritas.end(),
                                      [](const auto& w) { return w.bytes == "\x04\r"; });
        QVERIFY(qAbs((eot + 1)->instante - eot->instante - silencioAntesDoEscape) < 0.07);
        Snapshot log(QStringLiteral("Select Data || Hora As Quando From Log"));
        QCOMPARE(log.Campo("Quando").toString(), QStringLiteral("2026120523:59"));
    }

    // A modem left on line by an earlier call takes "ATE0" as data: it is brought back first.
    void modemDeixadoEmLinhaEhRecuperado() {
        BancadaVirtual b;
        b.modem.QuandoRecebe("ATE0\r", "", 0, 1);
        b.modem.ModemQueRespondeOK();
        b.modem.QuandoRecebe("+++", "\r\nOK\r\n", 1.0);
        b.modem.QuandoRecebe("ATH0\r", "\r\nOK\r\n", 0.1);
        b.modem.QuandoRecebe("ATDP", "\r\nCONNECT 9600\r\n", 1);
        QVERIFY(DiscaOperadora(b.ctx));
        QVERIFY(b.modem.linha.startsWith("ATE0\r+++ATH0\rATE0\rATDP"));
        QVERIFY(b.modem.escritas[1].instante - b.modem.escritas[0].instante >= 4 + GuardaDoModem);
    }

    // Before a send: a lost port opened again, or a refused settings file; nothing else dialled.
    void antesDeDiscar_data() {
        QTest::addColumn<int>("caso");
        QTest::addColumn<QString>("caixa");
        QTest::newRow("dispositivo de volta") << 0 << QString();
        QTest::newRow("dispositivo ausente") << 1 << "não está disponível";
        QTest::newRow("configuração enorme") << 2 << "o limite é 1024 KB";
    }
    void antesDeDiscar() {
        QFETCH(int, caso);
        QFETCH(QString, caixa);
        Cena c;
        c.modem.ModemQueRespondeOK();
        c.modem.Perde();
        c.modem.ausente = caso == 1;
        if (caso == 2)
            c.ambiente.EscreveINI(";" + QByteArray(TamanhoMaximoDoINI, 'x'));
        IniciaProcesso(c.ctx, c.pedido, c.painel);
        QCOMPARE(c.modem.linha.startsWith("ATE0\r"), caixa.isEmpty());
        QCOMPARE(c.operador.TextosDasCaixas().value(0).contains(caixa), true);
    }
};

QTEST_GUILESS_MAIN(TstFalhasNoEnvio)
#include "tst_FalhasNoEnvio.moc"
