// bipvox-simulador as the program meets it: a client on its pseudo-terminal, scripted, against
// the built executable, with the delays kept short through the scenario switches.
#include "BlocoTAP.h"
#include "SimuladorExterno.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {
const QByteArray OK = "\r\nOK\r\n";
const QByteArray CONNECT = "\r\nCONNECT 9600\r\n";
const QByteArray NO_CARRIER = "\r\nNO CARRIER\r\n";
const QStringList RAPIDO = {"--atraso-discagem=0.05", "--guarda-escape=0.2", "--silencioso"};

// The program's side of the line, as plain POSIX: raw bytes, nothing translated.
class Cliente {
public:
    explicit Cliente(const QString& caminho) {
        m_fd = ::open(caminho.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios t{};
        tcgetattr(m_fd, &t);
        cfmakeraw(&t);
        tcsetattr(m_fd, TCSANOW, &t);
    }
    ~Cliente() { ::close(m_fd); }
    bool Aberto() const { return m_fd >= 0; }
    // Writes everything, reading meanwhile so neither side's buffer can stall the other.
    void Escreve(const QByteArray& bytes) {
        escrito += bytes;
        qsizetype feito = 0;
        const QDeadlineTimer prazo(10000);
        while (feito < bytes.size() && !prazo.hasExpired()) {
            const ssize_t n = ::write(m_fd, bytes.constData() + feito, size_t(bytes.size() - feito));
            feito += std::max<ssize_t>(n, 0);
            Le(n > 0 ? 0 : 10);
        }
    }
    // What came since the last call, up to and including `esperado`; empty if it did not come.
    // An empty `esperado` collects what comes within ms.
    QByteArray LeAte(const QByteArray& esperado, int ms = 5000) {
        const QDeadlineTimer prazo(ms);
        while ((esperado.isEmpty() || !m_recebido.contains(esperado)) && !prazo.hasExpired())
            Le(int(qMax<qint64>(1, prazo.remainingTime())));
        const auto k =
            esperado.isEmpty() ? m_recebido.size() : m_recebido.indexOf(esperado) + esperado.size();
        if (k < esperado.size())
            return {};
        const QByteArray parte = m_recebido.left(k);
        m_recebido.remove(0, k);
        return parte;
    }
    QByteArray escrito, lido;

private:
    void Le(int ms) {
        pollfd p{m_fd, POLLIN, 0};
        char buffer[4096];
        const ssize_t n = ::poll(&p, 1, ms) > 0 ? ::read(m_fd, buffer, sizeof buffer) : 0;
        if (n > 0) {
            m_recebido.append(buffer, n);
            lido.append(buffer, n);
        }
    }
    int m_fd = -1;
    QByteArray m_recebido;
};

} // namespace

class tst_Simulador : public QObject {
    Q_OBJECT
private slots:
    // Calls that fail in every way a modem reports (and a silent one a character cancels), then
    // a whole call: modem commands, log-on after the second prompt, pages judged one by one,
    // escape and back on line, log-off, hang-up; then the transcript, and noise survived.
    void conversa() {
        SimuladorExterno sim;
        QString erro;
        QVERIFY2(
            sim.Inicia(RAPIDO +
                           QStringList{"--id=apos-2", "--recusar=999", "--nak-pagina=2:2",
                                       "--discagem=ocupado,sem-portadora,sem-tom,sem-resposta,mudo,conecta"},
                       &erro),
            qPrintable(erro));
        Cliente c(sim.Dispositivo());
        QVERIFY(c.Aberto());
        QByteArray somaErrada = BlocoTAP("456", "oi");
        somaErrada[somaErrada.size() - 3] = '?';
        struct Passo {
            QByteArray escreve, ate, inicio; // the answer runs up to `ate` and starts with `inicio`
        };
        const Passo passos[] = {
            {"ATZ\r", OK, "ATZ\r" + OK},
            {"ate0\r", OK, "ate0\r" + OK},
            {"AT\r", OK, OK},
            {"ATX3DT 0W0213311-2400\r", "\r\nBUSY\r\n", "\r\nBUSY\r\n"},
            {"ATDT1\r", NO_CARRIER, NO_CARRIER},
            {"ATDT1\r", "\r\nNO DIALTONE\r\n", "\r\nNO DIALTONE\r\n"},
            {"ATDT1\r", "\r\nNO ANSWER\r\n", "\r\nNO ANSWER\r\n"},
            {"ATDT1\r", "", ""},
            {"x", "", ""},
            {"ATDP 3311-2400\r", CONNECT, CONNECT},
            {"\r", "", ""},
            {"\r", "ID=", "ID="},
            {"\x1bPG1\r", "\x1b[p\r", "110 1.8\r\x06\r\x1b[p\r"},
            {BlocoTAP("123", "Reuni\xe3o \xe0s 15h"), "\r\x06\r", "211 "},
            {somaErrada, "\x15\r", "514 Checksum Error"},
            {BlocoTAP("456", "oi"), "\x15\r", "\x15\r"},
            {BlocoTAP("456", "oi"), "\x15\r", "\x15\r"},
            {BlocoTAP("456", "oi"), "\r\x06\r", "211 "},
            {BlocoTAP("999", "x"), "\r\x1e\r", ""},
            {"+++", OK, OK},
            {"ATO\r", CONNECT, CONNECT},
            {"\x04\r", "\r\x1b\x04\r" + NO_CARRIER, "115 "},
            {"ATH0\r", OK, OK},
        };
        for (const Passo& p : passos) {
            c.Escreve(p.escreve);
            const QByteArray resposta = c.LeAte(p.ate, p.ate.isEmpty() ? 200 : 5000);
            QVERIFY2(resposta.startsWith(p.inicio) && resposta.endsWith(p.ate) &&
                         (p.ate.isEmpty() ? resposta.isEmpty() : true),
                     qPrintable(p.escreve.toHex() + " -> " + resposta.toHex()));
        }
        QStringList paginas;
        for (const QJsonObject& p : sim.Paginas())
            paginas << QStringLiteral("%1 %2 %3 %4 %5")
                           .arg(p["codigo"].toString(), p["veredito"].toString())
                           .arg(p["numero"].toInt())
                           .arg(p["somaConfere"].toBool())
                           .arg(p["chamada"].toInt());
        QCOMPARE(paginas, (QStringList{"123 aceita 1 1 6", "456 nak-soma 2 0 6", "456 nak 2 1 6",
                                       "456 nak 2 1 6", "456 aceita 2 1 6", "999 recusada 3 1 6"}));
        QCOMPARE(sim.Paginas()[0]["mensagem"].toString(), QStringLiteral("Reunião às 15h"));
        QCOMPARE(sim.Dados("recebido"), c.escrito);
        QCOMPARE(sim.Dados("enviado"), c.lido);

        // Noise on the line (a block that never ends, an overlong command) brings nothing down.
        QRandomGenerator gerador(42);
        QByteArray lixo(16 * 1024, 0);
        for (char& b : lixo)
            b = char(gerador.bounded(256));
        c.Escreve("ATDT1\r");
        c.LeAte(CONNECT);
        c.Escreve(lixo + "\x02" + QByteArray(3000, 'x') + "x+++");
        c.LeAte("", 400);
        c.Escreve("\rATH0\rATZ\r");
        c.LeAte("", 100);
        c.Escreve("AT\r");
        QCOMPARE(c.LeAte(OK), "AT\r" + OK);
        QVERIFY(sim.Rodando());
    }

    void link_data() {
        QTest::addColumn<QString>("antes"); // what is at the link's path: "", "link" (stale) or "arquivo"
        QTest::addColumn<int>("sinal");
        QTest::newRow("SIGTERM") << "" << int(SIGTERM);
        QTest::newRow("SIGINT, link antigo") << "link" << int(SIGINT);
        QTest::newRow("arquivo comum fica") << "arquivo" << 0;
    }
    void link() {
        QFETCH(QString, antes);
        QFETCH(int, sinal);
        QTemporaryDir dir;
        const QString link = dir.filePath("modem");
        QFile arquivo(link);
        if (antes == QLatin1String("link"))
            QVERIFY(QFile::link("/nao/existe", link));
        if (antes == QLatin1String("arquivo"))
            QVERIFY(arquivo.open(QIODevice::WriteOnly) && arquivo.write("meu") == 3 && arquivo.flush());
        SimuladorExterno sim;
        QString erro;
        QCOMPARE(sim.Inicia(RAPIDO + QStringList{"--link=" + link}, &erro), sinal != 0);
        if (sinal == 0) {
            QVERIFY2(erro.contains(QStringLiteral("não será substituído")), qPrintable(erro));
            QFile lido(link);
            QVERIFY(lido.open(QIODevice::ReadOnly) && lido.readAll() == "meu");
            return;
        }
        QCOMPARE(QFileInfo(link).symLinkTarget(), sim.Dispositivo());
        Cliente c(link);
        c.Escreve("AT\r");
        QVERIFY(!c.LeAte(OK).isEmpty());
        QCOMPARE(sim.Para(sinal), 0);
        QVERIFY(!QFileInfo(link).isSymLink());
    }
};

QTEST_GUILESS_MAIN(tst_Simulador)
#include "tst_Simulador.moc"
