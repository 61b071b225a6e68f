// Bringing the paging terminal into automatic mode, in virtual time.
#include "BancadaVirtual.h"
#include "tap/LogOn.h"

#include <QtTest>

namespace {

const QString StatusVerificando = QStringLiteral(" Verificando compatibilidade do sistema, aguarde ...");
const QString StatusAguardando =
    QStringLiteral(" Aguardando a autorização para enviar mensagens, aguarde ...    ");
const QString StatusPronto = QStringLiteral(" Pronto");
const QByteArray PedidoDeLogOn("\x1bPG1\r");

// A terminal that ignores the first n - 1 prompts and asks for identification after the n-th.
void TerminalQuePedeIDApos(ModemRoteirizado& modem, int n) {
    if (n > 1)
        modem.QuandoRecebeExato("\r", "", 0, n - 1);
    modem.QuandoRecebeExato("\r", "ID=", 0.3, 1);
}

QVector<double> Pausas(int segundosDePrompt, std::initializer_list<double> resto) {
    QVector<double> p(segundosDePrompt, 1.0);
    p.append(1.0);
    for (double d : resto)
        p.append(d);
    return p;
}

} // namespace

class TestLogOn : public QObject {
    Q_OBJECT

private slots:
    void idAposNPrompts_data();
    void idAposNPrompts();
    void idSemPrompt();
    void idEmPartes_data();
    void idEmPartes();
    void semPedidoDeID_data();
    void semPedidoDeID();
    void idNoUltimoSegundo_data();
    void idNoUltimoSegundo();
    void aceitacao_data();
    void aceitacao();
    void ackDuranteOPrompt_data();
    void ackDuranteOPrompt();
};

void TestLogOn::idAposNPrompts_data() {
    QTest::addColumn<int>("n");
    QTest::newRow("1") << 1;
    QTest::newRow("2") << 2;
    QTest::newRow("5") << 5;
    QTest::newRow("13") << 13;
}

void TestLogOn::idAposNPrompts() {
    QFETCH(int, n);
    BancadaVirtual b;
    TerminalQuePedeIDApos(b.modem, n);
    b.modem.QuandoRecebe(PedidoDeLogOn, "\x06", 0.3);

    QVERIFY(AguardaIDeInicializaModoAutomatico(b.ctx));

    QCOMPARE(b.modem.linha, QByteArray(n, '\r') + PedidoDeLogOn);
    const auto& pedido = b.modem.escritas.last();
    QCOMPARE(pedido.bytes, QByteArray("\x1b\x50\x47\x31\x0d"));
    QCOMPARE(pedido.instante, b.inicio + n + 1);
    for (int i = 0; i < n; ++i)
        QCOMPARE(b.modem.escritas[i].instante, b.inicio + i);
    QCOMPARE(b.operador.status, (QStringList{StatusVerificando, StatusAguardando, StatusPronto}));
    QVERIFY(b.operador.status[1].endsWith(QLatin1String("...    ")));
    // The ACK wait lets no events run: no pauses besides the stated ones.
    QCOMPARE(b.relogio.pausas, Pausas(n, {0.02, 0.01}));
    QCOMPARE(b.Decorrido(), n + 1 + 0.02 + (0.3 - 0.02) + 0.01);
    QVERIFY(b.operador.caixas.isEmpty());
}

void TestLogOn::idSemPrompt() {
    BancadaVirtual b;
    b.modem.EntregaEm(b.inicio, "ID=");
    b.modem.QuandoRecebe(PedidoDeLogOn, "\x06", 0.1);

    QVERIFY(AguardaIDeInicializaModoAutomatico(b.ctx));
    QCOMPARE(b.modem.linha, "\r" + PedidoDeLogOn);
    QCOMPARE(b.modem.escritas.last().instante, b.inicio + 2);
}

void TestLogOn::idEmPartes_data() {
    QTest::addColumn<QByteArray>("primeira");
    QTest::addColumn<double>("quando1");
    QTest::addColumn<QByteArray>("segunda");
    QTest::addColumn<double>("quando2");
    QTest::addColumn<int>("prompts");

    QTest::newRow("I / D= em leituras seguidas")
        << QByteArray("\r\nI") << 0.5 << QByteArray("D=") << 1.5 << 2;
    QTest::newRow("ID / = com leituras entre") << QByteArray("ID") << 0.5 << QByteArray("=") << 4.2 << 5;
    QTest::newRow("I / D= na mesma leitura") << QByteArray("I") << 0.5 << QByteArray("D= ") << 0.7 << 1;
}

void TestLogOn::idEmPartes() {
    QFETCH(QByteArray, primeira);
    QFETCH(double, quando1);
    QFETCH(QByteArray, segunda);
    QFETCH(double, quando2);
    QFETCH(int, prompts);

    BancadaVirtual b;
    b.modem.EntregaEm(b.inicio + quando1, primeira);
    b.modem.EntregaEm(b.inicio + quando2, segunda);
    b.modem.QuandoRecebe(PedidoDeLogOn, "\x06", 0.3);

    QVERIFY(AguardaIDeInicializaModoAutomatico(b.ctx));
    QCOMPARE(b.modem.linha, QByteArray(prompts, '\r') + PedidoDeLogOn);
}

void TestLogOn::semPedidoDeID_data() {
    QTest::addColumn<QByteArray>("resposta");
    QTest::newRow("terminal mudo") << QByteArray();
    QTest::newRow("id= minusculo") << QByteArray("id=");
    QTest::newRow("ID: em vez de ID=") << QByteArray("\r\nID:");
    QTest::newRow("I D=") << QByteArray("I D=");
}

void TestLogOn::semPedidoDeID() {
    QFETCH(QByteArray, resposta);
    BancadaVirtual b;
    b.modem.QuandoRecebeExato("\r", resposta, 0.3);
    b.modem.QuandoRecebe(PedidoDeLogOn, "\x06", 0.3);

    QVERIFY(!AguardaIDeInicializaModoAutomatico(b.ctx));

    // About one CR a second for 15 seconds, then the closing second.
    const int prompts = b.modem.Contagem("\r");
    QVERIFY2(prompts >= 15 && prompts <= 16, qPrintable(QString::number(prompts)));
    QCOMPARE(b.modem.linha, QByteArray(prompts, '\r'));
    QCOMPARE(b.modem.Contagem("\x1b"), 0);
    QVERIFY2(b.Decorrido() >= 16 && b.Decorrido() <= 17, qPrintable(QString::number(b.Decorrido())));
    QCOMPARE(b.operador.status, (QStringList{StatusVerificando, StatusPronto}));
    QVERIFY(b.operador.caixas.isEmpty());
}

void TestLogOn::idNoUltimoSegundo_data() {
    QTest::addColumn<double>("quando");
    QTest::addColumn<bool>("aceito");
    QTest::newRow("aos 12.5 s: a tempo") << 12.5 << true;
    QTest::newRow("aos 14.5 s: a pausa final passa do prazo") << 14.5 << false;
    QTest::newRow("aos 15 s") << 15.0 << false;
    QTest::newRow("aos 15.5 s: tarde demais") << 15.5 << false;
}

void TestLogOn::idNoUltimoSegundo() {
    QFETCH(double, quando);
    QFETCH(bool, aceito);
    BancadaVirtual b;
    b.modem.EntregaEm(b.inicio + quando, "ID=");
    b.modem.QuandoRecebe(PedidoDeLogOn, "\x06", 0.3);

    QCOMPARE(AguardaIDeInicializaModoAutomatico(b.ctx), aceito);
    QCOMPARE(b.modem.Contagem(PedidoDeLogOn), aceito ? 1 : 0);
    QCOMPARE(b.operador.status.last(), StatusPronto);
    QCOMPARE(b.operador.status.size(), aceito ? 3 : 2);
}

void TestLogOn::aceitacao_data() {
    QTest::addColumn<QByteArray>("resposta");
    QTest::addColumn<double>("atraso");
    QTest::addColumn<bool>("aceito");

    QTest::newRow("ACK so") << QByteArray("\x06") << 0.3 << true;
    QTest::newRow("ACK no meio") << QByteArray("110 1.8\r\x06\r\x1b[p\r") << 0.3 << true;
    QTest::newRow("ACK no fim") << QByteArray("lixo \xff\x00 lixo\x06", 13) << 1.0 << true;
    QTest::newRow("ACK no inicio") << QByteArray("\x06\rmais texto\r") << 0.3 << true;
    QTest::newRow("ACK aos 4.9 s") << QByteArray("\x06\r") << 4.9 << true;
    QTest::newRow("ACK aos 5.5 s") << QByteArray("\x06\r") << 5.5 << false;
    // Read in the same pass that finds the clock past the deadline: too late.
    QTest::newRow("ACK logo apos o prazo") << QByteArray("\x06\r") << 5.025 << false;
    QTest::newRow("NAK") << QByteArray("\x15\r") << 0.3 << false;
    QTest::newRow("pedido de desconexao") << QByteArray("\x1b\x04\r") << 0.3 << false;
    QTest::newRow("ack como texto") << QByteArray("ACK\r") << 0.3 << false;
    QTest::newRow("silencio") << QByteArray() << 0.3 << false;
}

void TestLogOn::aceitacao() {
    QFETCH(QByteArray, resposta);
    QFETCH(double, atraso);
    QFETCH(bool, aceito);

    BancadaVirtual b;
    TerminalQuePedeIDApos(b.modem, 2);
    b.modem.QuandoRecebe(PedidoDeLogOn, resposta, atraso);

    QCOMPARE(AguardaIDeInicializaModoAutomatico(b.ctx), aceito);
    QCOMPARE(b.modem.linha, QByteArray("\r\r") + PedidoDeLogOn);
    QCOMPARE(b.operador.status, (QStringList{StatusVerificando, StatusAguardando, StatusPronto}));
    const double pedidoEm = b.inicio + 3;
    if (aceito) {
        QCOMPARE(b.relogio.pausas, Pausas(2, {0.02, 0.01}));
        QCOMPARE(b.relogio.Agora(), pedidoEm + std::max(atraso, 0.02) + 0.01);
    } else {
        // Gave up 5 seconds after the 0.02 pause, without letting events run meanwhile.
        QCOMPARE(b.relogio.pausas, Pausas(2, {0.02}));
        const double espera = b.relogio.Agora() - (pedidoEm + 0.02);
        QVERIFY2(espera > 5 && espera < 5.1, qPrintable(QString::number(espera)));
    }
}

void TestLogOn::ackDuranteOPrompt_data() {
    QTest::addColumn<QByteArray>("antes");
    QTest::addColumn<QByteArray>("depois");
    QTest::newRow("junto com ID=") << QByteArray("ID=\x06") << QByteArray();
    QTest::newRow("antes do ID=") << QByteArray("\x06\r") << QByteArray("ID=");
}

void TestLogOn::ackDuranteOPrompt() {
    QFETCH(QByteArray, antes);
    QFETCH(QByteArray, depois);

    BancadaVirtual b;
    b.modem.QuandoRecebeExato("\r", antes, 0.3, 1);
    if (!depois.isEmpty())
        b.modem.QuandoRecebeExato("\r", depois, 0.3, 1);
    // The terminal says nothing to the log-on request itself.

    QVERIFY(AguardaIDeInicializaModoAutomatico(b.ctx));
    QCOMPARE(b.modem.Contagem(PedidoDeLogOn), 1);
    QCOMPARE(b.relogio.Agora(), b.modem.escritas.last().instante + 0.02 + 0.01);
}

QTEST_GUILESS_MAIN(TestLogOn)
#include "tst_LogOn.moc"
