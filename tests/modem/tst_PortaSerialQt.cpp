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
// The other end of a pseudo-terminal, as a modem would be.
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
    ~OutraPonta() { Fecha(); }
    void Fecha() {
        if (m_mestre >= 0)
            ::close(m_mestre);
        m_mestre = -1;
    }
    QString Escravo() const { return m_escravo; }
    void Escreve(const QByteArray& dados) const {
        QVERIFY(::write(m_mestre, dados.constData(), dados.size()) == dados.size());
    }
    QByteArray LeAte(int quantos) const {
        QByteArray lido;
        for (int tentativas = 0; tentativas < 200 && lido.size() < quantos; ++tentativas) {
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
} // namespace

class TstPortaSerialQt : public QObject {
    Q_OBJECT
private slots:
    void configuracaoDeLinha_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<bool>("valida");
        QTest::newRow("padrão") << "9600,e,7,1" << true;
        QTest::newRow("8N1") << "19200,N,8,1" << true;
        QTest::newRow("1.5 stop") << "2400,o,5,1.5" << true;
        QTest::newRow("paridade desconhecida") << "9600,x,7,1" << false;
        QTest::newRow("bits demais") << "9600,e,9,1" << false;
        QTest::newRow("faltando parte") << "9600,e,7" << false;
        QTest::newRow("lixo") << "abc" << false;
        QTest::newRow("vazia") << "" << false;
    }
    void configuracaoDeLinha() {
        QFETCH(QString, texto);
        QFETCH(bool, valida);
        ConfiguracaoDeLinha c;
        QCOMPARE(InterpretaConfiguracao(texto, c), valida);
    }

    void abreUmPseudoTerminalEConversa() {
        AmbienteDeTeste ambiente;
        OutraPonta modem;
        QVERIFY(!modem.Escravo().isEmpty());
        GravaINI("MODEM", "COM2", modem.Escravo());
        RelogioReal relogio;
        PortaSerialQt porta(relogio);
        OperadorGravado operador;
        Contexto ctx{relogio, porta, operador};
        Modulo::PortaModem = 2;

        QVERIFY(ConfiguraPorta(ctx));
        QVERIFY(porta.PortOpen());
        porta.Output(QStringLiteral("ATZ\r"));
        QCOMPARE(modem.LeAte(4), QByteArray("ATZ\r"));

        modem.Escreve("\r\nO");
        modem.Escreve("K\r\n");
        QVERIFY(AguardaResposta(ctx, QStringLiteral("OK"), 4));

        // Bytes are Windows-1252 both ways.
        porta.Output(QStringLiteral("ação"));
        QCOMPARE(modem.LeAte(4), QByteArray("a\xe7\xe3o"));
        modem.Escreve("\xc7");
        porta.AguardaDados(relogio.Agora() + 2);
        QCOMPARE(porta.Input(), QStringLiteral("Ç"));

        // Closing and opening again, as after every one-user send.
        QVERIFY(porta.setPortOpen(false));
        QVERIFY(!porta.PortOpen());
        QVERIFY(porta.setPortOpen(true));
        QVERIFY(porta.setPortOpen(false));
        QVERIFY(porta.setPortOpen(false)); // harmless on a closed port
    }

    void esperaTerminaNoPrazoSemDados() {
        AmbienteDeTeste ambiente;
        OutraPonta modem;
        GravaINI("MODEM", "COM1", modem.Escravo());
        RelogioReal relogio;
        PortaSerialQt porta(relogio);
        porta.setCommPort(1);
        porta.setSettings("9600,e,7,1");
        QVERIFY(porta.setPortOpen(true));
        const double prazo = relogio.Agora() + 0.2;
        while (relogio.Agora() <= prazo && porta.InBufferCount() == 0)
            porta.AguardaDados(prazo);
        QVERIFY(relogio.Agora() > prazo);
        QCOMPARE(porta.InBufferCount(), 0);
    }

    void dispositivoAusenteOuPortaZeroNaoAbre_data() {
        QTest::addColumn<int>("numero");
        QTest::addColumn<QString>("dispositivo");
        QTest::newRow("ausente") << 1 << "/dev/bipvox-nao-existe";
        QTest::newRow("porta 0") << 0 << QString();
        QTest::newRow("porta 9") << 9 << QString();
    }
    void dispositivoAusenteOuPortaZeroNaoAbre() {
        QFETCH(int, numero);
        QFETCH(QString, dispositivo);
        AmbienteDeTeste ambiente;
        if (!dispositivo.isEmpty())
            GravaINI("MODEM", QStringLiteral("COM%1").arg(numero), dispositivo);
        RelogioReal relogio;
        PortaSerialQt porta(relogio);
        OperadorGravado operador;
        Contexto ctx{relogio, porta, operador};
        Modulo::PortaModem = qint16(numero);
        QVERIFY(!ConfiguraPorta(ctx));
        QVERIFY(!porta.PortOpen());
        porta.Output(QStringLiteral("AT\r")); // harmless on a port that did not open
        QVERIFY(porta.Input().isEmpty());
    }

    void semPermissaoNaoAbre() {
        if (::geteuid() == 0)
            QSKIP("root opens any device");
        QTemporaryDir dir;
        const QString caminho = dir.path() + "/modem";
        QFile f(caminho);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        QFile::setPermissions(caminho, QFileDevice::Permissions());
        AmbienteDeTeste ambiente;
        GravaINI("MODEM", "COM1", caminho);
        RelogioReal relogio;
        PortaSerialQt porta(relogio);
        porta.setCommPort(1);
        QVERIFY(!porta.setPortOpen(true));
    }

    void dispositivoQueSomeDeixaLeiturasVazias() {
        AmbienteDeTeste ambiente;
        auto modem = std::make_unique<OutraPonta>();
        GravaINI("MODEM", "COM1", modem->Escravo());
        RelogioReal relogio;
        PortaSerialQt porta(relogio);
        OperadorGravado operador;
        Contexto ctx{relogio, porta, operador};
        Modulo::PortaModem = 1;
        QVERIFY(ConfiguraPorta(ctx));
        modem.reset(); // the device goes away
        porta.Output(QStringLiteral("ATE0\r"));
        QVERIFY(!AguardaResposta(ctx, QStringLiteral("OK"), 0.3));
        QVERIFY(porta.Input().isEmpty());
        LimpaBufferModem(ctx);
        porta.setPortOpen(false);
    }
};

QTEST_MAIN(TstPortaSerialQt)
#include "tst_PortaSerialQt.moc"
