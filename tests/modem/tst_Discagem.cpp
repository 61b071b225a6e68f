// Modem commands, dialling and hang-up in virtual time: the bytes on the line, when they go,
// what the operator is told.
#include "BancadaVirtual.h"
#include "common/Modulo.h"
#include "common/Win1252.h"
#include "modem/ComandosModem.h"
#include "modem/Discagem.h"

#include <QtTest>

namespace {
const QString kTempo = QStringLiteral("Modem Time Out: Tempo de espera esgostado.");
const QString kOcupado =
    QStringLiteral("O telefone chamado está com sinal de linha ocupada, tente novamente.");
const QString kSemTom =
    QStringLiteral("Não foi possível receber um tom de discagem. Caso você esteje discando a "
                   "partir de uma linha PABX, consulte o manual para saber como resolver "
                   "este problema.");
const QString kSemPortadora =
    QStringLiteral("Não foi possível receber um tom de discagem - Desconectado. Caso você esteje discando a "
                   "partir de uma linha PABX, consulte o manual para saber como resolver este problema.");

} // namespace

class tst_Discagem : public QObject {
    Q_OBJECT
private slots:
    void linhaDeDiscagem_data() {
        QTest::addColumn<QString>("secao");
        QTest::addColumn<QString>("linha");
        const QString n = TelefonePadrao + QStringLiteral("\r");
        QTest::newRow("padrões") << ""
                                 << "ATDP " + n;
        QTest::newRow("PABX Sim") << "PABX=Sim"
                                  << "ATX3DP " + n;
        QTest::newRow("PABX sim") << "PABX=sim"
                                  << "ATDP " + n;
        QTest::newRow("Tom") << "Linha=Tom"
                             << "ATDT " + n;
        QTest::newRow("tom") << "Linha=tom"
                             << "ATDP " + n;
        QTest::newRow("PrefixoPABX vazio") << "PrefixoPABX="
                                           << "ATDP W" + n;
        QTest::newRow("Prefixo 11 é o padrão 011") << "Prefixo=11.0"
                                                   << "ATDP " + n;
        QTest::newRow("Prefixo 021") << "Prefixo=021"
                                     << "ATDP 021" + n;
        QTest::newRow("Prefixo 011 Padrão 021") << "Prefixo=011\r\nPadrão=021"
                                                << "ATDP 011" + n;
        QTest::newRow("completo")
            << "PABX=Sim\r\nLinha=Tom\r\nPrefixoPABX=0\r\nPrefixo=021\r\nTelefone=3232-9000"
            << "ATX3DT 0W0213232-9000\r";
    }
    void linhaDeDiscagem() {
        QFETCH(QString, secao);
        QFETCH(QString, linha);
        AmbienteDeTeste ambiente;
        ambiente.EscreveINI(ParaWin1252(QStringLiteral("[DISCAGEM]\r\n") + secao + QStringLiteral("\r\n")));
        QCOMPARE(MontaLinhaDeDiscagem(), linha);
    }

    void classifica_data() {
        QTest::addColumn<QString>("recebido");
        QTest::addColumn<int>("codigo");
        QTest::newRow("CONNECT 9600/ARQ") << "\r\nCONNECT 9600/ARQ\r\n" << int(DiscagemConectado);
        QTest::newRow("BUSY vence CONNECT") << "\r\nCONNECT\r\n\r\nBUSY\r\n" << int(DiscagemOcupado);
        QTest::newRow("NO CARRIER") << "\r\nNO CARRIER\r\n" << int(DiscagemSemPortadora);
        QTest::newRow("sem tom vence NO CARRIER") << "NO CARRIER\r\nNODIALTONE" << int(DiscagemSemTom);
        QTest::newRow("CONNECT vence sem tom") << "NO DIALTONE\r\nCONNECT" << int(DiscagemConectado);
        QTest::newRow("minúsculas") << "connect busy no carrier" << int(DiscagemNenhuma);
    }
    void classifica() {
        QFETCH(QString, recebido);
        QFETCH(int, codigo);
        QCOMPARE(int(ClassificaRespostaDiscagem(recebido)), codigo);
    }

    // One row per conversation: the routine, the modem's script, then everything observable.
    void conversa_data() {
        QTest::addColumn<QString>("rotina");
        QTest::addColumn<QStringList>("regras");
        QTest::addColumn<bool>("retorno");
        QTest::addColumn<QByteArray>("linha");
        QTest::addColumn<double>("tempo");
        QTest::addColumn<QStringList>("caixas");
        QTest::addColumn<QStringList>("status");
        const QStringList ok{"ATE0\r|\r\nOK\r\n|0.1"};
        const QByteArray discou("ATE0\rATDP 3311-2400\r");
        // Dialled at 0.3; verdict, then 0.5 + 0.1 + 0.2 of pauses.
        QTest::newRow("conecta") << "disca" << ok + QStringList{"@2.3|\r\nCONNECT 9600/ARQ\r\n", "@2.85|\r\n"}
                                 << true << discou << 3.1 << QStringList() << QStringList();
        QTest::newRow("CONNECT em pedaços e lixo")
            << "disca" << ok + QStringList{"@1|\x01\xff garbage", "@2.3|\r\nCON", "@2.31|NECT\r\n"} << true
            << discou << 3.11 << QStringList() << QStringList();
        QTest::newRow("BUSY logo depois")
            << "disca" << ok + QStringList{"@2.3|\r\nCONNECT\r\n", "@2.6|BUSY\r\n"} << false << discou << 3.1
            << QStringList{kOcupado} << QStringList();
        QTest::newRow("sem tom") << "disca" << ok + QStringList{"@1.3|\r\nNO DIALTONE\r\n"} << false << discou
                                 << 2.1 << QStringList{kSemTom} << QStringList();
        QTest::newRow("sem portadora") << "disca" << ok + QStringList{"@30.3|\r\nNO CARRIER\r\n"} << false
                                       << discou << 31.1 << QStringList{kSemPortadora} << QStringList();
        QTest::newRow("CONNECT aos 59 s") << "disca" << ok + QStringList{"@59.4|CONNECT\r\n"} << true
                                          << discou << 60.2 << QStringList() << QStringList();
        QTest::newRow("NO ANSWER é silêncio de 60 s")
            << "disca" << ok + QStringList{"@25|\r\nNO ANSWER\r\n"} << false << discou << 60.61
            << QStringList{kTempo} << QStringList();
        // An "OK" left from an earlier command is drained, not taken for the answer; then the
        // escape from a call the modem may have stayed on, after its guard time.
        QTest::newRow("sem OK ao ATE0")
            << "disca" << QStringList{"@-1|\r\nOK\r\n"} << false << QByteArray("ATE0\r+++") << 9.01
            << QStringList{MensagemModemTimeOut} << QStringList();
        // A modem left on line by an earlier call takes "ATE0" as data: it is brought back first.
        QTest::newRow("modem deixado em linha")
            << "disca"
            << QStringList{"ATE0\r||0|1", ok[0], "+++|\r\nOK\r\n|1", "ATH0\r|\r\nOK\r\n|0.1",
                           "ATDP|\r\nCONNECT 9600\r\n|1"}
            << true << QByteArray("ATE0\r+++ATH0\rATE0\rATDP 3311-2400\r") << 8.71 << QStringList()
            << QStringList();
        QTest::newRow("inicializa") << "inicializa"
                                    << QStringList{"ATZ\r|\r\nO|0.1", "@0.2|K\r\n", "ate0|OK|0.1"} << true
                                    << QByteArray("ATZ\rate0\r") << 0.35 << QStringList() << QStringList();
        QTest::newRow("inicializa sem modem")
            << "inicializa" << QStringList() << true << QByteArray("ATZ\rate0\r") << 8.07
            << QStringList{MensagemModemTimeOut, MensagemModemTimeOut} << QStringList();
        QTest::newRow("desliga") << "desconecta" << QStringList{"ATH0\r|\r\nOK\r\n|0.2"} << true
                                 << QByteArray("+++ATH0\r") << 5.1 << QStringList()
                                 << QStringList{" Desconectando modem, aguarde ...", " Pronto"};
        QTest::newRow("OK aos 3.9 s") << "aguarda" << QStringList{"@3.9|\r\nOK"} << true << QByteArray()
                                      << 3.9 << QStringList() << QStringList();
        QTest::newRow("ok minúsculo") << "aguarda" << QStringList{"@1|ok"} << false << QByteArray() << 4.01
                                      << QStringList() << QStringList();
    }
    void conversa() {
        QFETCH(QString, rotina);
        QFETCH(QStringList, regras);
        QFETCH(bool, retorno);
        QFETCH(QByteArray, linha);
        QFETCH(double, tempo);
        QFETCH(QStringList, caixas);
        QFETCH(QStringList, status);
        BancadaVirtual b;
        b.Roteiro(regras);

        bool r = true;
        if (rotina == QLatin1String("disca"))
            r = DiscaOperadora(b.ctx);
        else if (rotina == QLatin1String("inicializa"))
            InicializaModem(b.ctx);
        else if (rotina == QLatin1String("desconecta"))
            DesconectaModem(b.ctx);
        else
            r = AguardaResposta(b.ctx, QStringLiteral("OK"), 4);

        QCOMPARE(r, retorno);
        QCOMPARE(b.modem.linha, linha);
        QVERIFY2(qAbs(b.Decorrido() - tempo) < 0.06, qPrintable(QString::number(b.Decorrido())));
        QCOMPARE(b.operador.TextosDasCaixas(), caixas);
        QCOMPARE(b.operador.status, status);
        QCOMPARE(b.operador.ampulhetaNivel, 0);
        QCOMPARE(b.modem.InBufferCount(), 0); // no answer is left for the next command
        // The dialling verdict wait keeps window events running; the other waits never do.
        if (rotina == QLatin1String("disca") && r && !linha.contains("+++"))
            QVERIFY(b.relogio.bombeamentos >= int(tempo / 0.1));
        if (rotina == QLatin1String("aguarda"))
            QVERIFY(b.relogio.pausas.isEmpty());
    }

    void configuraPorta() {
        BancadaVirtual b;
        b.modem.setPortOpen(false);
        Modulo::PortaModem = 3;
        QVERIFY(ConfiguraPorta(b.ctx));
        QCOMPARE(b.modem.commPort, qint16(3));
        QCOMPARE(b.modem.settings, QStringLiteral("9600,e,7,1"));
        QCOMPARE(b.modem.handshaking, 2);
        QVERIFY(b.modem.rtsEnable);
    }
};

QTEST_GUILESS_MAIN(tst_Discagem)
#include "tst_Discagem.moc"
