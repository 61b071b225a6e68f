// What a send does when the terminal, the line or the history fails halfway, in virtual time.
#include "BancadaVirtual.h"
#include "CadastroDeTeste.h"
#include "common/Modulo.h"
#include "modem/Desligamento.h"
#include "modem/Discagem.h"
#include "store/Snapshot.h"
#include "tap/Envio.h"

#include <QtTest>

namespace {

struct Pedido : PedidoDeEnvio {
    bool porUsuario = true;
    bool DestinoEhUsuario() const override { return porUsuario; }
    int IndiceDaLista() const override { return 0; }
    QString TextoDaMensagem() const override { return QStringLiteral("Ligar para a base"); }
    void EsvaziaMensagem() override {}
};

struct Painel : PainelDeEnvio {
    void Titulo(const QString&) override {}
    void MedidorMaximo(int) override {}
    void MedidorValor(int) override {}
    void MedidorVisivel(bool) override {}
};

const QString kTimeOut = QStringLiteral("Erro: Time Out - Aguardando confirmação do dígito verificador ...");

struct Cena : BancadaVirtual {
    Pedido pedido;
    Painel painel;
    Cena() { QVERIFY(ambiente.AbreBancoVazio()); }
    int LinhasNoLog() const { return Snapshot(QStringLiteral("Select * From Log")).RecordCount(); }
};

} // namespace

class TstFalhasNoEnvio : public QObject {
    Q_OBJECT
private slots:
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
        // The second ACK comes while the log-on's last pause runs, before the page goes out.
        if (ackDuplo)
            c.relogio.aoPausar = [&c] {
                if (c.relogio.pausas.last() == 0.01)
                    c.modem.Entrega(0, "\x06\r");
            };

        QVERIFY(!EnviarUsuario(c.ctx, c.pedido, c.painel));
        QCOMPARE(c.modem.Contagem("\x02"), 1);
        QCOMPARE(c.LinhasNoLog(), 0);
        QCOMPARE(c.operador.TextosDasCaixas(), QStringList{kTimeOut});
    }

    void grupoVoltaAoStatusDeEnvioAntesDeReenviar() {
        Cena c;
        c.modem.TerminalQueAceitaLogOn();
        c.modem.QuandoRecebe("\x02", "\x15\r", 0.5, 1);
        c.modem.QuandoRecebe("\x02", "\x06\r", 0.5);
        const qint32 a = CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("1"));
        Modulo::CodigosDaLista[1] = CadastraGrupo(QStringLiteral("G"), {a});
        c.pedido.porUsuario = false;

        QVERIFY(EnviarGrupo(c.ctx, c.pedido, c.painel));
        const QStringList& s = c.operador.status;
        const int erro = s.indexOf(QStringLiteral(" Erro na transmissão, re-enviando mensagem ..."));
        QVERIFY(erro > 0);
        QCOMPARE(s.value(erro + 1), QStringLiteral(" Enviando mensagem, aguade ..."));
    }

    // A group of 20 whose 8th page meets a fault.
    void grupoComFalhaNoOitavo_data() {
        QTest::addColumn<QString>("falha");
        QTest::addColumn<bool>("resultado");
        QTest::addColumn<int>("linhasNoLog");
        QTest::addColumn<QString>("resumo");
        const QString interrompido = QStringLiteral("interrompido: 7 de 20 membros");
        QTest::newRow("pedido de desconexão") << "desconexao" << false << 7 << interrompido;
        QTest::newRow("tempo esgotado") << "silencio" << false << 7 << interrompido;
        QTest::newRow("porta perdida") << "perda" << false << 7 << interrompido;
        QTest::newRow("histórico recusa") << "log" << true << 19 << "não puderam ser registradas";
    }
    void grupoComFalhaNoOitavo() {
        QFETCH(QString, falha);
        QFETCH(bool, resultado);
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
        if (falha == "desconexao" || falha == "silencio")
            c.modem.QuandoRecebe(oitavo, falha == "desconexao" ? "\x1b\x04\r" : "", 0.5);
        c.modem.QuandoRecebe("\x02", "\x06\r", 0.5);
        if (falha == "perda")
            c.modem.aoEscrever = [&c, oitavo](const QByteArray& b) {
                if (b.startsWith(oitavo))
                    c.modem.Perde();
            };
        if (falha == "log")
            QVERIFY(Executa("Create Trigger cheio Before Insert On Log When New.ID_Pager = '1008' "
                            "Begin Select Raise(Abort, 'disk full'); End"));

        QCOMPARE(EnviarGrupo(c.ctx, c.pedido, c.painel), resultado);
        QCOMPARE(c.LinhasNoLog(), linhasNoLog);
        // One summary, after the hang-up, naming every member left out (or left unrecorded).
        const OperadorGravado::Caixa fim = c.operador.caixas.last();
        QVERIFY2(fim.texto.contains(resumo), qPrintable(fim.texto));
        QVERIFY(fim.texto.contains("Membro 08 (pager 1008)") && !fim.texto.contains("Membro 07"));
        QCOMPARE(fim.texto.contains("Membro 20"), !resultado);
        QVERIFY(c.operador.eventos.lastIndexOf("status: Pronto") <
                c.operador.eventos.indexOf("caixa:" + fim.texto));
        if (falha == "desconexao")
            QCOMPARE(c.operador.StatusAtual(), QStringLiteral(" Desconexão solicitada pelo servidor."));
        if (falha == "log") {
            QCOMPARE(c.operador.caixas.size(), 1);
            QFile arquivo(c.ambiente.Diretorio() + "/PaginasNaoRegistradas.txt");
            QVERIFY(arquivo.open(QIODevice::ReadOnly));
            QVERIFY(arquivo.readAll().contains("Membro 08\tpager 1008\tmensagem: Ligar para a base"));
        }
    }

    // The hang-up after the log-off: at once when the terminal dropped the call, after the
    // modem's guard time when it kept it. The page is recorded at midnight.
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
        const QDate dia(2026, 12, 5);
        int leituras = 0;
        c.relogio.dataHora = [&] {
            return ++leituras == 1 ? QDateTime(dia, QTime(23, 59, 59, 900))
                                   : QDateTime(dia.addDays(1), QTime(0, 0));
        };

        QVERIFY(EnviarUsuario(c.ctx, c.pedido, c.painel));
        const auto& e = c.modem.escritas;
        const auto eot = std::find_if(e.begin(), e.end(), [](const auto& w) { return w.bytes == "\x04\r"; });
        QVERIFY(eot != e.end() && (eot + 1)->bytes == "+++");
        QVERIFY(qAbs((eot + 1)->instante - eot->instante - silencioAntesDoEscape) < 0.07);
        Snapshot log(QStringLiteral("Select Data, Hora From Log"));
        QCOMPARE(log.Campo("Data").toString() + log.Campo("Hora").toString(),
                 QStringLiteral("2026120523:59"));
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
        QVERIFY(b.operador.caixas.isEmpty());
    }

    void portaPerdidaEhReabertaAntesDoEnvio_data() {
        QTest::addColumn<bool>("voltou");
        QTest::newRow("dispositivo de volta") << true;
        QTest::newRow("dispositivo ausente") << false;
    }
    void portaPerdidaEhReabertaAntesDoEnvio() {
        QFETCH(bool, voltou);
        Cena c;
        c.modem.ModemQueRespondeOK();
        c.modem.Perde();
        c.modem.ausente = !voltou;
        IniciaProcesso(c.ctx, c.pedido, c.painel);
        QCOMPARE(c.modem.aberturas, voltou ? 2 : 1);
        QCOMPARE(c.modem.linha.startsWith("ATE0\r"), voltou);
        QCOMPARE(c.operador.TextosDasCaixas().value(0).contains("não está disponível"), !voltou);
    }
};

QTEST_GUILESS_MAIN(TstFalhasNoEnvio)
#include "tst_FalhasNoEnvio.moc"
