// The real serial control against a pseudo-terminal, a missing device and a vanished one.
#include "AmbienteDeTeste.h"
#include "OperadorGravado.h"
#include "common/Modulo.h"
#include "common/RelogioReal.h"
#include "modem/ComandosModem.h"
#include "modem/PortaSerialQt.h"
#include "settings/PerfilINI.h"

#include <QtTest>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {
// The modem's end of a pseudo-terminal.
class OutraPonta {
public:
    OutraPonta() {
        m_mestre = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_mestre < 0 || grantpt(m_mestre) != 0 || unlockpt(m_mestre) != 0)
            return;
        m_escravo = QString::fromLocal8Bit(ptsname(m_mestre));
        termios t{};
        tcgetattr(m_mestre, &t);
        cfmakeraw(&t);
        tcsetattr(m_mestre, TCSANOW, &t);
        fcntl(m_mestre, F_SETFL, O_NONBLOCK);
    }
    ~OutraPonta() { ::close(m_mestre); }
    QString Escravo() const { return m_escravo; }
    bool Escreve(const QByteArray& dados) const {
        return ::write(m_mestre, dados.constData(), size_t(dados.size())) == dados.size();
    }
    QByteArray Le(int quantos) const {
        QByteArray lido;
        for (int vez = 0; vez < 200 && lido.size() < quantos; ++vez) {
            char buf[256];
            const ssize_t n = ::read(m_mestre, buf, sizeof buf);
            if (n > 0)
                lido.append(buf, int(n));
            else
                QThread::msleep(5);
        }
        return lido;
    }

private:
    int m_mestre = -1;
    QString m_escravo;
};

struct Bancada {
    AmbienteDeTeste ambiente;
    RelogioReal relogio;
    PortaSerialQt porta{relogio};
    OperadorGravado operador;
    Contexto ctx{relogio, porta, operador};
    explicit Bancada(const QString& dispositivo, const QString& linha = QStringLiteral("9600,e,7,1")) {
        GravaINI(QStringLiteral("MODEM"), QStringLiteral("COM2"), dispositivo);
        GravaINI(QStringLiteral("MODEM"), QStringLiteral("Configurações"), linha);
        Modulo::PortaModem = 2;
    }
};
} // namespace

class tst_PortaSerialQt : public QObject {
    Q_OBJECT
private slots:
    void conversaEmWindows1252() {
        OutraPonta modem;
        Bancada b(modem.Escravo());
        QVERIFY2(ConfiguraPorta(b.ctx), qPrintable(b.porta.UltimoErro()));
        b.porta.Output(QStringLiteral("ATZ\r"));
        QCOMPARE(modem.Le(4), QByteArray("ATZ\r"));
        QVERIFY(modem.Escreve("\r\nO") && modem.Escreve("K\r\n"));
        QVERIFY(AguardaResposta(b.ctx, QStringLiteral("OK"), 4));
        b.porta.Output(QStringLiteral("ação"));
        QCOMPARE(modem.Le(4), QByteArray("a\xe7\xe3o"));
        QVERIFY(modem.Escreve("\xc7"));
        b.porta.AguardaDados(b.relogio.Agora() + 2);
        QCOMPARE(b.porta.Input(), QStringLiteral("Ç"));
        // Closed and opened again, as after every one-user send.
        QVERIFY(b.porta.setPortOpen(false) && !b.porta.PortOpen());
        QVERIFY(b.porta.setPortOpen(true) && b.porta.PortOpen());
    }

    void parametrosDaLinha_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("linha"); // baud, parity, data bits, stop bits as they reach the port
        QTest::newRow("padrão")
            << "9600,e,7,1" << QString("9600 %1 7 %2").arg(QSerialPort::EvenParity).arg(QSerialPort::OneStop);
        QTest::newRow("8N2") << "19200,N,8,2"
                             << QString("19200 %1 8 %2").arg(QSerialPort::NoParity).arg(QSerialPort::TwoStop);
        QTest::newRow("ímpar, 1.5")
            << "2400,o,5,1.5"
            << QString("2400 %1 5 %2").arg(QSerialPort::OddParity).arg(QSerialPort::OneAndHalfStop);
        QTest::newRow("paridade desconhecida") << "9600,x,7,1" << QString();
        QTest::newRow("9 bits") << "9600,e,9,1" << QString();
        QTest::newRow("faltando parte") << "9600,e,7" << QString();
    }
    void parametrosDaLinha() {
        QFETCH(QString, texto);
        QFETCH(QString, linha);
        OutraPonta modem;
        Bancada b(modem.Escravo(), texto);
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
        QTest::newRow("porta 0") << "" << 0;
        QTest::newRow("porta 9 sem dispositivo") << "" << 9;
    }
    void portaQueNaoAbre() {
        QFETCH(QString, dispositivo);
        QFETCH(int, numero);
        Bancada b(dispositivo);
        Modulo::PortaModem = qint16(numero);
        QVERIFY(!ConfiguraPorta(b.ctx));
        QVERIFY(!b.porta.PortOpen());
        b.porta.Output(QStringLiteral("AT\r")); // harmless on a port that did not open
        QVERIFY(b.porta.Input().isEmpty());
    }

    void dispositivoQueSome() {
        auto modem = std::make_unique<OutraPonta>();
        Bancada b(modem->Escravo());
        QVERIFY(ConfiguraPorta(b.ctx));
        modem.reset();
        b.porta.Output(QStringLiteral("ATE0\r"));
        QVERIFY(!AguardaResposta(b.ctx, QStringLiteral("OK"), 0.3));
        QVERIFY(b.porta.Input().isEmpty());
        LimpaBufferModem(b.ctx);
    }
};

QTEST_GUILESS_MAIN(tst_PortaSerialQt)
#include "tst_PortaSerialQt.moc"
