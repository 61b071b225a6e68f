// The real serial control against bipvox-simulador's pseudo-terminal, a missing device and one
// that vanishes; the TCP connection against a local listener.
#include "AmbienteDeTeste.h"
#include "OperadorGravado.h"
#include "SimuladorExterno.h"
#include "common/Modulo.h"
#include "common/RelogioReal.h"
#include "modem/ComandosModem.h"
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
} // namespace

class tst_PortaSerialQt : public QObject {
    Q_OBJECT
private slots:
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

QTEST_GUILESS_MAIN(tst_PortaSerialQt)
#include "tst_PortaSerialQt.moc"
