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
const QString kPABX =
    QStringLiteral(" Caso você esteje discando a partir de uma linha PABX, consulte o manual "
                   "para saber como resolver este problema.");
const QString kSemTom = QStringLiteral("Não foi possível receber um tom de discagem.") + kPABX;
const QString kSemResposta = QStringLiteral(
    "A central não atendeu a chamada (o modem respondeu \"NO ANSWER\"). Tente novamente mais tarde.");
const QString kSemPortadora =
    QStringLiteral("Não foi possível receber um tom de discagem - Desconectado.") + kPABX;

} // namespace

class tst_Discagem : public QObject {
    Q_OBJECT
private slots:
    void linhaDeDiscagem_data() {
        QTest::addColumn<QString>("secao");
        QTest::addColumn<QString>("linha");
        const QString n = TelefonePadrao + QStringLiteral("\r");
        const char* linhas[][3] = {
            {"padrões", "", "ATDP "},
            {"PABX Sim", "PABX=Sim", "ATX3DP "},
            {"PABX sim", "PABX=sim", "ATDP "},
            {"Tom", "Linha=Tom", "ATDT "},
            {"tom", "Linha=tom", "ATDP "},
            {"PrefixoPABX vazio", "PrefixoPABX=", "ATDP W"},
            {"Prefixo 11 é o padrão 011", "Prefixo=11.0", "ATDP "},
            {"Prefixo 021", "Prefixo=021", "ATDP 021"},
            {"Prefixo 011 Padrão 021", "Prefixo=011\r\nPadrão=021", "ATDP 011"},
        };
        for (const auto& l : linhas)
            QTest::newRow(l[0]) << QString(l[1]) << QString(l[2]) + n;
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

    // One row per conversation: the routine, the modem's script, then everything observable.
    void conversa_data() {
        QTest::addColumn<QString>("rotina");
        QTest::addColumn<QStringList>("regras");
        QTest::addColumn<bool>("retorno");
        QTest::addColumn<QByteArray>("linha");
        QTest::addColumn<double>("tempo");
        QTest::addColumn<QStringList>("caixas");
        QTest::addColumn<QStringList>("status");
        const auto linha = [](const char* nome, const char* rotina, const QStringList& regras, bool retorno,
                              const QByteArray& escrito, double tempo, const QStringList& caixas = {},
                              const QStringList& status = {}) {
            QTest::newRow(nome) << QString(rotina) << regras << retorno << escrito << tempo << caixas
                                << status;
        };
        const QString ok("ATE0\r|\r\nOK\r\n|0.1");
        const QByteArray discou("ATE0\rATDP 3311-2400\r");
        const QString sem = MensagemModemTimeOut;
        // Dialled at 0.3; verdict, then 0.5 + 0.1 + 0.2 of pauses.
        linha("conecta", "disca", {ok, "@2.3|\r\nCONNECT 9600/ARQ\r\n", "@2.85|\r\n"}, true, discou, 3.1);
        linha("CONNECT em pedaços e lixo", "disca",
              {ok, "@1|\x01\xff garbage", "@2.3|\r\nCON", "@2.31|NECT\r\n"}, true, discou, 3.11);
        linha("BUSY logo depois", "disca", {ok, "@2.3|\r\nCONNECT\r\n", "@2.6|BUSY\r\n"}, false, discou, 3.1,
              {kOcupado});
        linha("sem tom", "disca", {ok, "@1.3|\r\nNO DIALTONE\r\n"}, false, discou, 2.1, {kSemTom});
        linha("sem portadora", "disca", {ok, "@30.3|\r\nNO CARRIER\r\n"}, false, discou, 31.1,
              {kSemPortadora});
        // Whatever else came with it: busy beats connected, no dial tone beats no carrier, connected beats
        // no dial tone; a verdict in small letters is none.
        linha("sem tom vence NO CARRIER", "disca", {ok, "@2.3|NO CARRIER\r\nNODIALTONE"}, false, discou, 3.1,
              {kSemTom});
        linha("CONNECT vence sem tom", "disca", {ok, "@2.3|NO DIALTONE\r\nCONNECT"}, true, discou, 3.1);
        linha("minúsculas", "disca", {ok, "@2.3|connect busy no carrier"}, false, discou, 60.61, {kTempo});
        linha("CONNECT aos 59 s", "disca", {ok, "@59.4|CONNECT\r\n"}, true, discou, 60.2);
        linha("NO ANSWER na hora", "disca", {ok, "@25|\r\nNO ANSWER\r\n"}, false, discou, 25.8,
              {kSemResposta});
        // An "OK" left from an earlier command is drained, not taken for the answer; then the
        // escape from a call the modem may have stayed on, after its guard time.
        linha("sem OK ao ATE0", "disca", {"@-1|\r\nOK\r\n"}, false, "ATE0\r+++", 9.01, {sem});
        // A modem left on line by an earlier call takes "ATE0" as data: it is brought back first.
        linha("modem deixado em linha", "disca",
              {"ATE0\r||0|1", ok, "+++|\r\nOK\r\n|1", "ATH0\r|\r\nOK\r\n|0.1", "ATDP|\r\nCONNECT 9600\r\n|1"},
              true, "ATE0\r+++ATH0\rATE0\rATDP 3311-2400\r", 8.71);
        linha("inicializa", "inicializa", {"ATZ\r|\r\nO|0.1", "@0.2|K\r\n", "ate0|OK|0.1"}, true,
              "ATZ\rate0\r", 0.35);
        linha("inicializa sem modem", "inicializa", {}, true, "ATZ\rate0\r", 8.07, {sem, sem});
        linha("desliga", "desconecta", {"ATH0\r|\r\nOK\r\n|0.2"}, true, "+++ATH0\r", 5.1, {},
              {" Desconectando modem, aguarde ...", " Pronto"});
        linha("OK aos 3.9 s", "aguarda", {"@3.9|\r\nOK"}, true, {}, 3.9);
        linha("ok minúsculo", "aguarda", {"@1|ok"}, false, {}, 4.01);
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
