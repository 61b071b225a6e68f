// The real serial control against bipvox-simulador's pseudo-terminal, a missing device and one
// that vanishes.
#include "AmbienteDeTeste.h"
#include "OperadorGravado.h"
#include "SimuladorExterno.h"
#include "common/Modulo.h"
#include "common/RelogioReal.h"
#include "modem/ComandosModem.h"
#include "modem/PortaSerialQt.h"
#include "settings/PerfilINI.h"

#include <QtTest>

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
};

QTEST_GUILESS_MAIN(tst_PortaSerialQt)
#include "tst_PortaSerialQt.moc"
