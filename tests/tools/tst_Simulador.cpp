// bipvox-simulador as the program meets it: a client on the pseudo-terminal, scripted, against
// the built executable. Delays are kept short through the scenario switches.
#include "SimuladorExterno.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {
const QByteArray OK = "\r\nOK\r\n";
const QByteArray CONNECT = "\r\nCONNECT 9600\r\n";
const QByteArray NO_CARRIER = "\r\nNO CARRIER\r\n";
const QByteArray LOGON = "\x1bPG1\r";
const QByteArray LOGON_ACEITO = "110 1.8\r\x06\r\x1b[p\r";
const QStringList RAPIDO = {"--atraso-discagem=0.05", "--guarda-escape=0.2", "--silencioso"};

QByteArray Bloco(const QByteArray& codigo, const QByteArray& mensagem) {
    const QByteArray corpo = "\x02" + codigo + "\r" + mensagem + "\r\x03";
    unsigned s = 0;
    for (const char c : corpo)
        s += static_cast<unsigned char>(c);
    return corpo + char('0' + ((s >> 8) & 15)) + char('0' + ((s >> 4) & 15)) + char('0' + (s & 15)) + "\r";
}

// The program's side of the line, as plain POSIX: raw bytes, nothing translated.
class Cliente {
public:
    ~Cliente() { Fecha(); }
    bool Abre(const QString& caminho) {
        m_fd = ::open(caminho.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_fd < 0)
            return false;
        termios t{};
        tcgetattr(m_fd, &t);
        cfmakeraw(&t);
        return tcsetattr(m_fd, TCSANOW, &t) == 0;
    }
    void Fecha() {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }
    // Writes everything, reading meanwhile so neither side's buffer can stall the other.
    void Escreve(const QByteArray& bytes) {
        qsizetype feito = 0;
        const QDeadlineTimer prazo(10000);
        while (feito < bytes.size() && !prazo.hasExpired()) {
            const ssize_t n = ::write(m_fd, bytes.constData() + feito, size_t(bytes.size() - feito));
            if (n > 0)
                feito += n;
            Le(n > 0 ? 0 : 10);
        }
    }
    // Reads until what came (since the last call) holds esperado; returns it up to the match
    // and keeps the rest for the next call. Empty when it did not come within the time.
    QByteArray LeAte(const QByteArray& esperado, int ms = 5000) {
        const QDeadlineTimer prazo(ms);
        while (!m_recebido.contains(esperado) && !prazo.hasExpired())
            Le(int(qMax<qint64>(1, prazo.remainingTime())));
        const auto k = m_recebido.indexOf(esperado);
        if (k < 0)
            return {};
        const QByteArray parte = m_recebido.left(k + esperado.size());
        m_recebido.remove(0, parte.size());
        return parte;
    }
    // Everything that comes within ms (to show that nothing does).
    QByteArray LeDurante(int ms) {
        const QDeadlineTimer prazo(ms);
        while (!prazo.hasExpired())
            Le(int(qMax<qint64>(1, prazo.remainingTime())));
        QByteArray tudo;
        tudo.swap(m_recebido);
        return tudo;
    }
    void Descarta() { LeDurante(0); }
    QByteArray todos; // everything ever read

private:
    void Le(int ms) {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, ms) <= 0)
            return;
        char buffer[4096];
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n > 0) {
            m_recebido.append(buffer, n);
            todos.append(buffer, n);
        }
    }
    int m_fd = -1;
    QByteArray m_recebido;
};

QByteArray DadosDaTranscricao(const SimuladorExterno& sim, const QString& sentido) {
    QByteArray bytes;
    for (const QJsonObject& r : sim.Registros(QStringLiteral("dados")))
        if (r.value(QStringLiteral("sentido")).toString() == sentido)
            bytes += QByteArray::fromHex(r.value(QStringLiteral("hex")).toString().toLatin1());
    return bytes;
}
} // namespace

class TestSimulador : public QObject {
    Q_OBJECT
private slots:
    void comandosDoModem();
    void discagem_data();
    void discagem();
    void sessaoTAPCompleta();
    void terminalDesconectaENovaChamadaFunciona();
    void lixoNaoDerrubaOSimulador_data();
    void lixoNaoDerrubaOSimulador();
    void portaFechadaEReaberta();
    void sinalRemoveOLink_data();
    void sinalRemoveOLink();
    void linkNuncaSobrescreveArquivoComum();
    void linkAntigoESubstituido();
    void duracaoLimitada();
    void opcaoInvalidaEAjuda();
    void ritmoDaLinhaConversaNormalmente();
};

void TestSimulador::comandosDoModem() {
    SimuladorExterno sim;
    QString erro;
    QVERIFY2(sim.Inicia(RAPIDO, &erro), qPrintable(erro));
    Cliente c;
    QVERIFY(c.Abre(sim.Dispositivo()));

    c.Escreve("ATZ\r");
    QCOMPARE(c.LeAte(OK), "ATZ\r" + OK);
    c.Escreve("ate0\r");
    QCOMPARE(c.LeAte(OK), "ate0\r" + OK);
    c.Escreve("AT\r");
    QCOMPARE(c.LeAte(OK), OK);
    c.Escreve("ATE0\r");
    QCOMPARE(c.LeAte(OK), OK);
    c.Escreve("ATX3\r");
    QCOMPARE(c.LeAte(OK), OK);
    c.Escreve("ATH0\r");
    QCOMPARE(c.LeAte(OK), OK);
    c.Escreve("ATZ\r");
    QCOMPARE(c.LeAte(OK), OK);
    c.Escreve("AT\r");
    QCOMPARE(c.LeAte(OK), "AT\r" + OK); // the reset turned echo back on
    QCOMPARE(c.LeDurante(150), QByteArray());
}

void TestSimulador::discagem_data() {
    QTest::addColumn<QString>("cenario");
    QTest::addColumn<QByteArray>("resposta");
    QTest::newRow("conecta") << "conecta" << CONNECT;
    QTest::newRow("ocupado") << "ocupado" << QByteArray("\r\nBUSY\r\n");
    QTest::newRow("sem portadora") << "sem-portadora" << NO_CARRIER;
    QTest::newRow("sem tom") << "sem-tom" << QByteArray("\r\nNO DIALTONE\r\n");
    QTest::newRow("sem resposta") << "sem-resposta" << QByteArray("\r\nNO ANSWER\r\n");
    QTest::newRow("mudo") << "mudo" << QByteArray();
}

void TestSimulador::discagem() {
    QFETCH(QString, cenario);
    QFETCH(QByteArray, resposta);
    SimuladorExterno sim;
    QString erro;
    QVERIFY2(sim.Inicia(RAPIDO + QStringList{"--discagem=" + cenario}, &erro), qPrintable(erro));
    Cliente c;
    QVERIFY(c.Abre(sim.Dispositivo()));
    c.Escreve("ATE0\r");
    QCOMPARE(c.LeAte(OK), "ATE0\r" + OK);
    c.Escreve("ATX3DT 0W0213311-2400\r");
    if (resposta.isEmpty()) {
        QCOMPARE(c.LeDurante(300), QByteArray());
        c.Escreve("x"); // any character cancels a call in progress
    } else {
        QCOMPARE(c.LeAte(resposta), resposta);
        QCOMPARE(c.LeDurante(100), QByteArray());
    }
    if (resposta == CONNECT) {
        c.Escreve("+++");
        QCOMPARE(c.LeAte(OK), OK);
    }
    // Whatever the verdict, the modem takes commands again.
    c.Escreve("ATH0\r");
    QCOMPARE(c.LeAte(OK), OK);
}

void TestSimulador::sessaoTAPCompleta() {
    SimuladorExterno sim;
    QString erro;
    QVERIFY2(sim.Inicia(RAPIDO + QStringList{"--id=apos-2", "--recusar=999", "--nak-pagina=2:2"}, &erro),
             qPrintable(erro));
    Cliente c;
    QVERIFY(c.Abre(sim.Dispositivo()));
    QByteArray escrito;
    auto escreve = [&](const QByteArray& b) {
        escrito += b;
        c.Escreve(b);
    };

    escreve("ATE0\r");
    QCOMPARE(c.LeAte(OK), "ATE0\r" + OK);
    escreve("ATDP 3311-2400\r");
    QCOMPARE(c.LeAte(CONNECT), CONNECT);

    escreve("\r");
    QCOMPARE(c.LeDurante(200), QByteArray()); // "ID=" only from the second prompt on
    escreve("\r");
    QCOMPARE(c.LeAte("ID="), QByteArray("ID="));
    escreve(LOGON);
    QCOMPARE(c.LeAte(LOGON_ACEITO), LOGON_ACEITO);

    const QByteArray acento = "Reuni\xe3o \xe0s 15h";
    escreve(Bloco("123", acento));
    QVERIFY(c.LeAte("\r\x06\r").startsWith("211 "));
    QByteArray somaErrada = Bloco("456", "oi");
    somaErrada[somaErrada.size() - 3] = '?';
    escreve(somaErrada);
    QVERIFY(c.LeAte("\x15\r").startsWith("514 "));
    for (int vez = 0; vez < 2; ++vez) {
        escreve(Bloco("456", "oi"));
        QCOMPARE(c.LeAte("\x15\r"), QByteArray("\x15\r"));
    }
    escreve(Bloco("456", "oi"));
    QVERIFY(c.LeAte("\r\x06\r").startsWith("211 "));
    escreve(Bloco("999", "x"));
    QVERIFY(!c.LeAte("\r\x1e\r").isEmpty());

    escreve("+++");
    QCOMPARE(c.LeAte(OK), OK);
    escreve("ATO\r");
    QCOMPARE(c.LeAte(CONNECT), CONNECT);
    escreve("\x04\r");
    const QByteArray adeus = c.LeAte(NO_CARRIER);
    QVERIFY2(adeus.startsWith("115 ") && adeus.endsWith("\r\x1b\x04\r" + NO_CARRIER),
             adeus.toHex().constData());
    escreve("+++");
    c.LeDurante(300);
    escreve("ATH0\r");
    QCOMPARE(c.LeAte(OK), OK);

    // The record holds each page as the terminal judged it...
    const QList<QJsonObject> paginas = sim.Paginas();
    const QStringList codigos = {"123", "456", "456", "456", "456", "999"};
    const QStringList vereditos = {"aceita", "nak-soma", "nak", "nak", "aceita", "recusada"};
    const QList<int> numeros = {1, 2, 2, 2, 2, 3};
    QCOMPARE(paginas.size(), codigos.size());
    for (int k = 0; k < paginas.size(); ++k) {
        QCOMPARE(paginas[k].value("codigo").toString(), codigos[k]);
        QCOMPARE(paginas[k].value("veredito").toString(), vereditos[k]);
        QCOMPARE(paginas[k].value("numero").toInt(), numeros[k]);
        QCOMPARE(paginas[k].value("somaConfere").toBool(), k != 1);
        QCOMPARE(paginas[k].value("chamada").toInt(), 1);
    }
    QCOMPARE(paginas[0].value("mensagem").toString(), QStringLiteral("Reunião às 15h"));
    // ...and every byte both ways.
    QCOMPARE(DadosDaTranscricao(sim, "recebido"), escrito);
    QCOMPARE(DadosDaTranscricao(sim, "enviado"), c.todos);
}

void TestSimulador::terminalDesconectaENovaChamadaFunciona() {
    SimuladorExterno sim;
    QString erro;
    QVERIFY2(sim.Inicia(RAPIDO + QStringList{"--desconectar-apos=1", "--discagem=ocupado,conecta"}, &erro),
             qPrintable(erro));
    Cliente c;
    QVERIFY(c.Abre(sim.Dispositivo()));
    c.Escreve("ATE0\r");
    c.LeAte(OK);
    c.Escreve("ATDT 3311-2400\r");
    QVERIFY(!c.LeAte("\r\nBUSY\r\n").isEmpty());
    for (int chamada = 2; chamada <= 3; ++chamada) {
        c.Escreve("ATDT 3311-2400\r");
        QVERIFY(!c.LeAte(CONNECT).isEmpty());
        c.Escreve("\r");
        QVERIFY(!c.LeAte("ID=").isEmpty());
        c.Escreve(LOGON);
        QVERIFY(!c.LeAte(LOGON_ACEITO).isEmpty());
        c.Escreve(Bloco("1", "a"));
        QVERIFY(!c.LeAte("\r\x06\r").isEmpty());
        c.Escreve(Bloco("2", "b"));
        QCOMPARE(c.LeAte(NO_CARRIER), "\x1b\x04\r" + NO_CARRIER);
    }
    const QList<QJsonObject> paginas = sim.Paginas();
    QCOMPARE(paginas.size(), 4);
    QCOMPARE(paginas[3].value("chamada").toInt(), 3);
    QCOMPARE(paginas[3].value("veredito").toString(), QStringLiteral("desconexao"));
}

void TestSimulador::lixoNaoDerrubaOSimulador_data() {
    QTest::addColumn<bool>("emLinha");
    QTest::newRow("modo de comando") << false;
    QTest::newRow("em linha") << true;
}

void TestSimulador::lixoNaoDerrubaOSimulador() {
    QFETCH(bool, emLinha);
    SimuladorExterno sim;
    QString erro;
    QVERIFY2(sim.Inicia(RAPIDO, &erro), qPrintable(erro));
    Cliente c;
    QVERIFY(c.Abre(sim.Dispositivo()));
    if (emLinha) {
        c.Escreve("ATE0\rATDT1\r");
        QVERIFY(!c.LeAte(CONNECT).isEmpty());
        c.Escreve("\r" + LOGON);
        QVERIFY(!c.LeAte(LOGON_ACEITO).isEmpty());
    }
    QRandomGenerator gerador(42);
    QByteArray lixo(64 * 1024, 0);
    for (char& b : lixo)
        b = char(gerador.bounded(256));
    // A block that never ends and an overlong command line are part of the noise too.
    lixo += "\x02" + QByteArray(3000, 'x') + "AT" + QByteArray(1000, '9');
    c.Escreve(lixo);
    c.LeDurante(200);
    QVERIFY(sim.Rodando());

    // Whatever state the noise left: end a run of '+', escape (guard 0.2 s), hang up, reset.
    c.Escreve("x+++");
    c.LeDurante(300);
    c.Escreve("\rATH0\rATZ\r");
    c.LeDurante(100);
    c.Escreve("AT\r");
    QCOMPARE(c.LeAte(OK), "AT\r" + OK);
    QVERIFY(sim.Rodando());
}

void TestSimulador::portaFechadaEReaberta() {
    SimuladorExterno sim;
    QString erro;
    QVERIFY2(sim.Inicia(RAPIDO, &erro), qPrintable(erro));
    for (int vez = 0; vez < 3; ++vez) {
        Cliente c;
        QVERIFY(c.Abre(sim.Dispositivo()));
        c.Escreve("ATE0\r");
        QVERIFY(!c.LeAte(OK).isEmpty());
        c.Escreve("AT\r");
        QCOMPARE(c.LeAte(OK), OK);
    }
    QVERIFY(sim.Rodando());
}

void TestSimulador::sinalRemoveOLink_data() {
    QTest::addColumn<int>("sinal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void TestSimulador::sinalRemoveOLink() {
    QFETCH(int, sinal);
    SimuladorExterno sim;
    QTemporaryDir dir;
    const QString link = dir.filePath("modem");
    QString erro;
    QVERIFY2(sim.Inicia(RAPIDO + QStringList{"--link=" + link}, &erro), qPrintable(erro));
    QCOMPARE(QFileInfo(link).symLinkTarget(), sim.Dispositivo());
    QVERIFY(sim.processo().canReadLine() || sim.processo().waitForReadyRead(2000));
    QCOMPARE(QString::fromLocal8Bit(sim.processo().readLine()).trimmed(), link);
    {
        Cliente c;
        QVERIFY(c.Abre(link));
        c.Escreve("ATE0\r");
        QVERIFY(!c.LeAte(OK).isEmpty());
    }
    QCOMPARE(sim.Para(sinal), 0);
    QVERIFY(!QFileInfo(link).isSymLink());
    QVERIFY(!QFileInfo::exists(link));
}

void TestSimulador::linkNuncaSobrescreveArquivoComum() {
    QTemporaryDir dir;
    const QString caminho = dir.filePath("modem");
    QFile arquivo(caminho);
    QVERIFY(arquivo.open(QIODevice::WriteOnly));
    arquivo.write("meu arquivo");
    arquivo.close();

    SimuladorExterno sim;
    QString erro;
    QVERIFY(!sim.Inicia(RAPIDO + QStringList{"--link=" + caminho}, &erro));
    QVERIFY(sim.processo().waitForFinished(5000) || !sim.Rodando());
    QCOMPARE(sim.processo().exitCode(), 1);
    QVERIFY2(erro.contains(QStringLiteral("não será substituído")), qPrintable(erro));
    QVERIFY(arquivo.open(QIODevice::ReadOnly));
    QCOMPARE(arquivo.readAll(), QByteArray("meu arquivo"));
}

void TestSimulador::linkAntigoESubstituido() {
    QTemporaryDir dir;
    const QString link = dir.filePath("modem");
    QVERIFY(QFile::link("/nao/existe", link));
    SimuladorExterno sim;
    QString erro;
    QVERIFY2(sim.Inicia(RAPIDO + QStringList{"--link=" + link}, &erro), qPrintable(erro));
    QCOMPARE(QFileInfo(link).symLinkTarget(), sim.Dispositivo());
}

void TestSimulador::duracaoLimitada() {
    SimuladorExterno sim;
    QString erro;
    QVERIFY2(sim.Inicia(RAPIDO + QStringList{"--duracao=0.3"}, &erro), qPrintable(erro));
    QVERIFY(sim.processo().waitForFinished(5000));
    QCOMPARE(sim.processo().exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.processo().exitCode(), 0);
}

void TestSimulador::opcaoInvalidaEAjuda() {
    const QString programa = qEnvironmentVariable("BIPVOX_SIMULADOR");
    QProcess p;
    p.start(programa, {"--discagem=talvez"});
    QVERIFY(p.waitForFinished(5000));
    QCOMPARE(p.exitCode(), 2);
    QVERIFY(QString::fromLocal8Bit(p.readAllStandardError()).contains(QStringLiteral("talvez")));

    p.start(programa, {"--help"});
    QVERIFY(p.waitForFinished(5000));
    QCOMPARE(p.exitCode(), 0);
    QVERIFY(QString::fromLocal8Bit(p.readAllStandardOutput()).contains(QStringLiteral("--discagem")));
}

void TestSimulador::ritmoDaLinhaConversaNormalmente() {
    SimuladorExterno sim;
    QString erro;
    QVERIFY2(sim.Inicia(RAPIDO + QStringList{"--ritmo"}, &erro), qPrintable(erro));
    Cliente c;
    QVERIFY(c.Abre(sim.Dispositivo()));
    c.Escreve("ATE0\rATDT1\r");
    QVERIFY(!c.LeAte(CONNECT).isEmpty());
    c.Escreve("\r" + LOGON + Bloco("1", QByteArray(240, 'm')));
    QVERIFY(!c.LeAte(LOGON_ACEITO).isEmpty());
    QVERIFY(c.LeAte("\r\x06\r").startsWith("211 "));
    QCOMPARE(sim.Paginas().size(), 1);
    QCOMPARE(sim.Paginas()[0].value("mensagem").toString().size(), 240);
}

QTEST_GUILESS_MAIN(TestSimulador)
#include "tst_Simulador.moc"
