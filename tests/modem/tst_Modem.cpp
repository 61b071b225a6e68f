// Modem commands, dialling and hang-up in virtual time: the bytes on the line, when they go,
// what the operator is told.
// Then the real serial control against bipvox-simulador's pseudo-terminal, a missing device and one
// that vanishes; the TCP connection against a local listener.
#include "AmbienteDeTeste.h"
#include "BancadaVirtual.h"
#include "OperadorGravado.h"
#include "SimuladorExterno.h"
#include "common/Modulo.h"
#include "common/RelogioReal.h"
#include "common/Win1252.h"
#include "modem/ComandosModem.h"
#include "modem/Discagem.h"
#include "modem/PortaSerialQt.h"
#include "modem/PortaTCP.h"
#include "settings/PerfilINI.h"

#include <QTcpSocket>
#include <QtTest>

#include <arpa/inet.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
struct Bancada {
    AmbienteDeTeste ambiente;
    SimuladorExterno simulador;
    RelogioReal relogio;
    PortaSerialQt porta{relogio};
    OperadorGravado operador;
    Contexto ctx{relogio, porta, operador};
    // On the simulator's device unless one is given; linha empty: the default line settings.
    explicit Bancada(const QString& linha = QString(), const QString& dispositivo = QString()) {
        QVERIFY(!dispositivo.isEmpty() || simulador.Inicia({QStringLiteral("--silencioso")}));
        GravaINI(QStringLiteral("MODEM"), QStringLiteral("COM2"),
                 dispositivo.isEmpty() ? simulador.Dispositivo() : dispositivo);
        if (!linha.isEmpty())
            GravaINI(QStringLiteral("MODEM"), QStringLiteral("Configurações"), linha);
        Modulo::PortaModem = 2;
    }
};

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

class tst_Modem : public QObject {
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
        // The port number, line settings and flow control reach a real port in the rows below.
        QVERIFY(ConfiguraPorta(b.ctx) && b.modem.rtsEnable);
    }

    void conversaEmWindows1252() {
        Bancada b;
        QVERIFY2(ConfiguraPorta(b.ctx), qPrintable(b.porta.UltimoErro()));
        b.porta.Output(QStringLiteral("ATZ\r"));
        QVERIFY(AguardaResposta(b.ctx, QStringLiteral("OK"), 4));
        b.porta.Output(QStringLiteral("ação\r"));
        QTRY_COMPARE(b.simulador.Dados(QStringLiteral("recebido")), QByteArray("ATZ\ra\xe7\xe3o\r"));
        // Closed and opened again, as after every one-user send.
        QVERIFY(b.porta.setPortOpen(false) && !b.porta.PortOpen());
        QVERIFY(b.porta.setPortOpen(true) && b.porta.PortOpen());
        // Then the device vanishes: nothing hangs, nothing is read.
        b.simulador.Para();
        b.porta.Output(QStringLiteral("ATE0\r"));
        QVERIFY(!AguardaResposta(b.ctx, QStringLiteral("OK"), 0.3));
        QVERIFY(b.porta.Input().isEmpty());
        LimpaBufferModem(b.ctx);
    }

    void parametrosDaLinha_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("linha"); // baud, parity, data bits, stop bits as they reach the port
        QTest::newRow("padrão: nada no arquivo")
            << "" << QString("9600 %1 7 %2").arg(QSerialPort::EvenParity).arg(QSerialPort::OneStop);
        QTest::newRow("8N2") << "19200,N,8,2"
                             << QString("19200 %1 8 %2").arg(QSerialPort::NoParity).arg(QSerialPort::TwoStop);
        QTest::newRow("paridade desconhecida") << "9600,x,7,1" << QString();
        QTest::newRow("faltando parte") << "9600,e,7" << QString();
    }
    void parametrosDaLinha() {
        QFETCH(QString, texto);
        QFETCH(QString, linha);
        Bancada b(texto);
        QCOMPARE(ConfiguraPorta(b.ctx), !linha.isEmpty());
        if (linha.isEmpty()) {
            QCOMPARE(b.porta.UltimoErro(), QStringLiteral("configuração inválida"));
            return;
        }
        const QSerialPort& p = b.porta.Linha();
        QCOMPARE(QString("%1 %2 %3 %4").arg(p.baudRate()).arg(p.parity()).arg(p.dataBits()).arg(p.stopBits()),
                 linha);
        QCOMPARE(p.flowControl(), QSerialPort::HardwareControl);
    }

    void portaQueNaoAbre_data() {
        QTest::addColumn<QString>("dispositivo");
        QTest::addColumn<int>("numero");
        QTest::newRow("dispositivo ausente") << "/dev/bipvox-nao-existe" << 2;
        QTest::newRow("porta 0") << "/dev/null" << 0;
        QTest::newRow("porta 9 sem dispositivo") << "/dev/null" << 9;
    }
    void portaQueNaoAbre() {
        QFETCH(QString, dispositivo);
        QFETCH(int, numero);
        Bancada b(QString(), dispositivo);
        Modulo::PortaModem = qint16(numero);
        QVERIFY(!ConfiguraPorta(b.ctx));
        QVERIFY(!b.porta.PortOpen());
        b.porta.Output(QStringLiteral("AT\r")); // harmless on a port that did not open
        QVERIFY(b.porta.Input().isEmpty());
    }

    // A listener whose queue stays full for 0.3 s drops the first connection attempt; the retry,
    // a second later, must still connect within the 20 s allowed.
    void conexaoTCP_data() {
        QTest::addColumn<bool>("escuta");
        QTest::newRow("fila cheia por 0,3 s") << true;
        QTest::newRow("ninguém escuta: recusa na hora") << false;
    }
    void conexaoTCP() {
        QFETCH(bool, escuta);
        const int ouvinte = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        sockaddr_in endereco{};
        endereco.sin_family = AF_INET;
        endereco.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t tamanho = sizeof endereco;
        QVERIFY(::bind(ouvinte, reinterpret_cast<sockaddr*>(&endereco), tamanho) == 0);
        QVERIFY(::getsockname(ouvinte, reinterpret_cast<sockaddr*>(&endereco), &tamanho) == 0);
        QTcpSocket enchimento;
        if (escuta) {
            QVERIFY(::listen(ouvinte, 0) == 0);
            enchimento.connectToHost(QStringLiteral("127.0.0.1"), ntohs(endereco.sin_port));
            QVERIFY(enchimento.waitForConnected(2000));
        }
        QTimer::singleShot(300, [ouvinte] {
            for (int aceita; (aceita = ::accept4(ouvinte, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;)
                ::close(aceita);
        });
        RelogioReal relogio;
        PortaTCP porta(relogio);
        porta.setEndereco(QStringLiteral("127.0.0.1"), ntohs(endereco.sin_port));
        const double inicio = relogio.Agora();
        QVERIFY2(porta.setPortOpen(true) == escuta, qPrintable(porta.UltimoErro()));
        QVERIFY(relogio.Agora() - inicio < 10);
        if (!escuta)
            QCOMPARE(porta.UltimoErro(), QStringLiteral("conexão recusada"));
        ::close(ouvinte);
    }
};

QTEST_GUILESS_MAIN(tst_Modem)
#include "tst_Modem.moc"
