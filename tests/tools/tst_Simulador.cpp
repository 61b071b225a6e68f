// bipvox-simulador: its line pacing and the built executable as the program
// meets it, a client on its pseudo-terminal, scripted, the delays kept short by the scenario switches.
#include "BlocoTAP.h"
#include "LinhaCompassada.h"
#include "SimuladorExterno.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
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
    // Short writes only: a few dozen bytes fit in the terminal's buffer at once.
    void Escreve(const QByteArray& bytes) {
        escrito += bytes;
        QCOMPARE(::write(m_fd, bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size()));
    }
    // What came since the last call, up to and including `esperado`; empty if it did not come.
    // An empty `esperado` collects what comes within ms.
    QByteArray LeAte(const QByteArray& esperado, int ms = 5000) {
        const QDeadlineTimer prazo(ms);
        while ((esperado.isEmpty() || lido.indexOf(esperado, m_visto) < 0) && !prazo.hasExpired())
            Le(int(qMax<qint64>(1, prazo.remainingTime())));
        const qsizetype k =
            esperado.isEmpty() ? lido.size() : lido.indexOf(esperado, m_visto) + esperado.size();
        if (k < m_visto + esperado.size())
            return {};
        const QByteArray parte = lido.mid(m_visto, k - m_visto);
        m_visto = k;
        return parte;
    }
    QByteArray escrito, lido;

private:
    void Le(int ms) {
        pollfd p{m_fd, POLLIN, 0};
        char buffer[4096];
        const ssize_t n = ::poll(&p, 1, ms) > 0 ? ::read(m_fd, buffer, sizeof buffer) : 0;
        lido.append(buffer, std::max<ssize_t>(n, 0));
    }
    int m_fd = -1;
    qsizetype m_visto = 0; // lido up to here was handed out
};

} // namespace

class tst_Simulador : public QObject {
    Q_OBJECT
private slots:
    // The line's pacing, in character times (1/960 s at 9600 baud): "C n t" puts n bytes in at t,
    // "R t n" expects n bytes through by t, "P t" the next one through at t.
    void compasso_data() {
        QTest::addColumn<bool>("ritmo");
        QTest::addColumn<QStringList>("passos");
        QTest::newRow("sem ritmo, tudo de uma vez") << false << QStringList{"C 500 2880", "R 2880 500"};
        QTest::newRow("9600 bauds") << true
                                    << QStringList{
                                           "C 96 0", "P 1", "R 0 0", "R 48 48", "R 95.04 47", "R 96 1",
                                           // after a quiet spell the next byte takes one character time
                                           "C 1 4800", "P 4801", "R 4801 1"};
        // Queued behind the six still on their way: the fifteenth byte is through at 15.
        QTest::newRow("linha ocupada atrasa os novos bytes")
            << true << QStringList{"C 10 0", "R 4.8 4", "C 5 4.8", "R 14.904 10", "R 15 1"};
    }
    void compasso() {
        QFETCH(bool, ritmo);
        QFETCH(QStringList, passos);
        LinhaCompassada linha(ritmo ? LinhaCompassada::kSegundosPorByte9600 : 0.0);
        const double c = 1.0 / 960.0;
        for (const QString& passo : passos) {
            const QStringList p = passo.split(QLatin1Char(' '));
            if (p[0] == QLatin1String("C"))
                linha.Coloca(QByteArray(p[1].toInt(), 'x'), p[2].toDouble() * c);
            else if (p[0] == QLatin1String("R"))
                QCOMPARE(linha.Retira(p[1].toDouble() * c).size(), p[2].toInt());
            else
                QCOMPARE(linha.ProximaSaida(), p[1].toDouble() * c);
        }
        QVERIFY(linha.Vazia());
        QCOMPARE(linha.ProximaSaida(), std::numeric_limits<double>::infinity());
    }

    // Calls that fail in every way a modem reports (and a silent one a character cancels), then
    // a whole call: modem commands, log-on after the second prompt, pages judged one by one,
    // escape and back on line, log-off, hang-up; then the transcript.
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
    }

    // A link left by a run that died is replaced, and removed when the simulator is stopped.
    void link() {
        QTemporaryDir dir;
        const QString link = dir.filePath("modem");
        QVERIFY(QFile::link("/nao/existe", link));
        SimuladorExterno sim;
        QString erro;
        QVERIFY2(sim.Inicia(RAPIDO + QStringList{"--link=" + link}, &erro), qPrintable(erro));
        QCOMPARE(QFileInfo(link).symLinkTarget(), sim.Dispositivo());
        Cliente c(link);
        c.Escreve("AT\r");
        QVERIFY(!c.LeAte(OK).isEmpty());
        QCOMPARE(sim.Para(SIGINT), 0);
        QVERIFY(!QFileInfo(link).isSymLink());
    }
};

QTEST_GUILESS_MAIN(tst_Simulador)
#include "tst_Simulador.moc"
