// Port configuration, the modem reset, the wait for an answer, draining and the pause.
#include "BancadaVirtual.h"
#include "common/Modulo.h"
#include "common/RelogioReal.h"
#include "common/Win1252.h"
#include "modem/ComandosModem.h"

#include <QTimer>
#include <QtTest>

namespace {

// Counts the reads, to see that draining an empty buffer still reads once.
class ModemQueContaLeituras : public ModemRoteirizado {
public:
    using ModemRoteirizado::ModemRoteirizado;
    int leituras = 0;
    QByteArray LeBytes() override {
        ++leituras;
        return ModemRoteirizado::LeBytes();
    }
};

void EscreveModem(const AmbienteDeTeste& ambiente, const QString& linhas) {
    ambiente.EscreveINI(ParaWin1252(QStringLiteral("[MODEM]\r\n") + linhas + QStringLiteral("\r\n")));
}

void ConfereCaixaDeTempo(const OperadorGravado::Caixa& caixa) {
    QCOMPARE(caixa.texto, MensagemModemTimeOut);
    QCOMPARE(caixa.titulo, QStringLiteral("Informação:"));
    QCOMPARE(caixa.icone, Icone::Informacao);
    QCOMPARE(caixa.botoes, Botoes::OK);
}

} // namespace

class TestComandosModem : public QObject {
    Q_OBJECT

private slots:
    void aguardaResposta_data();
    void aguardaResposta();
    void inicializaModem_data();
    void inicializaModem();
    void inicializaModemSemModem();
    void inicializaModemSoOPrimeiroSemResposta();
    void limpaBufferVazioLeUmaVez();
    void limpaBufferDescartaSoOQueChegou();
    void pausaDeixaEventosRodarem_data();
    void pausaDeixaEventosRodarem();
    void pausaRealEsperaADuracao();
    void configuraPorta_data();
    void configuraPorta();
};

void TestComandosModem::aguardaResposta_data() {
    QTest::addColumn<QList<QByteArray>>("partes");
    QTest::addColumn<QVector<double>>("instantes");
    QTest::addColumn<double>("tempo");
    QTest::addColumn<bool>("chegou");
    QTest::addColumn<double>("minimo");
    QTest::addColumn<double>("maximo");

    using L = QList<QByteArray>;
    using V = QVector<double>;
    QTest::newRow("OK") << L{"\r\nOK\r\n"} << V{0.1} << 4.0 << true << 0.1 << 0.1;
    QTest::newRow("O e K em leituras separadas")
        << L{"\r\nO", "K\r\n"} << V{0.1, 0.2} << 4.0 << true << 0.2 << 0.2;
    QTest::newRow("com eco") << L{"ATZ\r", "\r\nOK\r\n"} << V{0.01, 0.5} << 4.0 << true << 0.5 << 0.5;
    QTest::newRow("ok minusculo espera tudo") << L{"\r\nok\r\n"} << V{0.1} << 4.0 << false << 4.0 << 4.1;
    QTest::newRow("O K separados por branco") << L{"O K"} << V{0.1} << 4.0 << false << 4.0 << 4.1;
    QTest::newRow("OK aos 3.9 s") << L{"OK"} << V{3.9} << 4.0 << true << 3.9 << 3.9;
    QTest::newRow("OK depois do prazo") << L{"OK"} << V{4.5} << 4.0 << false << 4.0 << 4.1;
    // Read by the pass that finds the clock already past the deadline: does not count.
    QTest::newRow("OK lido ja fora do prazo") << L{"OK"} << V{4.005} << 4.0 << false << 4.0 << 4.1;
    QTest::newRow("tempo 0 vale 600: OK aos 599 s") << L{"OK"} << V{599} << 0.0 << true << 599.0 << 599.0;
    QTest::newRow("tempo 0 vale 600: silencio") << L{} << V{} << 0.0 << false << 600.0 << 600.1;
    QTest::newRow("lixo binario") << L{QByteArray("\x00\xff\x80OX", 5)} << V{0.2} << 4.0 << false << 4.0
                                  << 4.1;
}

void TestComandosModem::aguardaResposta() {
    QFETCH(QList<QByteArray>, partes);
    QFETCH(QVector<double>, instantes);
    QFETCH(double, tempo);
    QFETCH(bool, chegou);
    QFETCH(double, minimo);
    QFETCH(double, maximo);

    BancadaVirtual b;
    for (int i = 0; i < partes.size(); ++i)
        b.modem.EntregaEm(b.inicio + instantes[i], partes[i]);

    QCOMPARE(AguardaResposta(b.ctx, QStringLiteral("OK"), tempo), chegou);
    const double d = b.Decorrido();
    QVERIFY2(d >= minimo - 1e-9 && d <= maximo + 1e-9, qPrintable(QString::number(d)));
    // This wait never lets window events run.
    QVERIFY(b.relogio.pausas.isEmpty());
}

void TestComandosModem::inicializaModem_data() {
    QTest::addColumn<QString>("configurado");
    QTest::addColumn<QByteArray>("primeiro");
    QTest::newRow("sem arquivo") << QString() << QByteArray("ATZ\r");
    QTest::newRow("Inicializacao configurada")
        << QStringLiteral("Inicialização=AT&F E1") << QByteArray("AT&F E1\r");
    QTest::newRow("outra chave so") << QStringLiteral("Porta Serial=2") << QByteArray("ATZ\r");
}

void TestComandosModem::inicializaModem() {
    QFETCH(QString, configurado);
    QFETCH(QByteArray, primeiro);

    BancadaVirtual b;
    if (!configurado.isNull())
        EscreveModem(b.ambiente, configurado);
    b.modem.QuandoRecebe(primeiro, "\r\nOK\r\n", 0.1);
    b.modem.QuandoRecebe("ate0\r", "\r\nOK\r\n", 0.1);

    InicializaModem(b.ctx);

    QCOMPARE(b.modem.escritas.size(), 2);
    QCOMPARE(b.modem.escritas[0].bytes, primeiro);
    QCOMPARE(b.modem.escritas[1].bytes, QByteArray("ate0\r"));
    QCOMPARE(b.modem.escritas[1].instante - b.modem.escritas[0].instante, 0.1 + 0.05);
    QCOMPARE(b.relogio.pausas, QVector<double>{0.05});
    QVERIFY(b.operador.caixas.isEmpty());
}

void TestComandosModem::inicializaModemSemModem() {
    BancadaVirtual b;
    InicializaModem(b.ctx);

    QCOMPARE(b.modem.linha, QByteArray("ATZ\rate0\r"));
    QCOMPARE(b.operador.caixas.size(), 2);
    ConfereCaixaDeTempo(b.operador.caixas[0]);
    ConfereCaixaDeTempo(b.operador.caixas[1]);
    // The first box comes before "ate0" is sent.
    QVERIFY(b.modem.escritas[1].instante - b.modem.escritas[0].instante > 4);
    QVERIFY(b.Decorrido() > 8.05 && b.Decorrido() < 8.2);
}

void TestComandosModem::inicializaModemSoOPrimeiroSemResposta() {
    BancadaVirtual b;
    b.modem.QuandoRecebe("ate0\r", "\r\nOK\r\n", 0.1);
    InicializaModem(b.ctx);
    QCOMPARE(b.modem.linha, QByteArray("ATZ\rate0\r"));
    QCOMPARE(b.operador.caixas.size(), 1);
    ConfereCaixaDeTempo(b.operador.caixas[0]);
}

void TestComandosModem::limpaBufferVazioLeUmaVez() {
    RelogioVirtual relogio;
    ModemQueContaLeituras modem(relogio);
    OperadorGravado operador;
    Contexto ctx{relogio, modem, operador};
    modem.setPortOpen(true);

    LimpaBufferModem(ctx);
    QCOMPARE(modem.leituras, 1);
}

void TestComandosModem::limpaBufferDescartaSoOQueChegou() {
    BancadaVirtual b;
    b.modem.EntregaEm(b.inicio - 1, "\r\nOK\r\n");
    b.modem.EntregaEm(b.inicio, "\r\nNO CARRIER\r\n");
    b.modem.EntregaEm(b.inicio + 1, "depois");
    QVERIFY(b.modem.InBufferCount() > 0);

    LimpaBufferModem(b.ctx);
    QCOMPARE(b.modem.InBufferCount(), 0);
    QCOMPARE(b.Decorrido(), 0.0);
    b.relogio.Avanca(1);
    QCOMPARE(b.modem.LeBytes(), QByteArray("depois"));
}

void TestComandosModem::pausaDeixaEventosRodarem_data() {
    QTest::addColumn<bool>("real");
    QTest::addColumn<double>("segundos");
    QTest::newRow("virtual 0") << false << 0.0;
    QTest::newRow("virtual 0.05") << false << 0.05;
    QTest::newRow("real 0") << true << 0.0;
    QTest::newRow("real 0.05") << true << 0.05;
}

void TestComandosModem::pausaDeixaEventosRodarem() {
    QFETCH(bool, real);
    QFETCH(double, segundos);

    RelogioVirtual virtual_;
    RelogioReal relogioReal;
    ModemRoteirizado modem(virtual_);
    OperadorGravado operador;
    Relogio& relogio = real ? static_cast<Relogio&>(relogioReal) : virtual_;
    Contexto ctx{relogio, modem, operador};

    bool temporizador = false;
    bool chamadaEnfileirada = false;
    QTimer::singleShot(0, [&] { temporizador = true; });
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&] { chamadaEnfileirada = true; }, Qt::QueuedConnection);

    Pausa(ctx, segundos);
    QVERIFY(temporizador);
    QVERIFY(chamadaEnfileirada);
}

void TestComandosModem::pausaRealEsperaADuracao() {
    // Only a lower bound: how much longer it takes depends on the machine.
    RelogioReal relogio;
    RelogioVirtual virtual_;
    ModemRoteirizado modem(virtual_);
    OperadorGravado operador;
    Contexto ctx{relogio, modem, operador};
    const double antes = relogio.Agora();
    Pausa(ctx, 0.05);
    QVERIFY(relogio.Agora() - antes >= 0.05);
}

void TestComandosModem::configuraPorta_data() {
    QTest::addColumn<QString>("configurado");
    QTest::addColumn<int>("porta");
    QTest::addColumn<int>("falhas");
    QTest::addColumn<QString>("settings");
    QTest::addColumn<bool>("aberta");

    QTest::newRow("padrao") << QString() << 2 << 0 << "9600,e,7,1" << true;
    QTest::newRow("configurado") << QStringLiteral("Configurações=2400,n,8,1") << 1 << 0 << "2400,n,8,1"
                                 << true;
    QTest::newRow("abertura falha") << QString() << 3 << 1 << "9600,e,7,1" << false;
    QTest::newRow("porta 0 nao abre") << QString() << 0 << 1 << "9600,e,7,1" << false;
}

void TestComandosModem::configuraPorta() {
    QFETCH(QString, configurado);
    QFETCH(int, porta);
    QFETCH(int, falhas);
    QFETCH(QString, settings);
    QFETCH(bool, aberta);

    AmbienteDeTeste ambiente;
    if (!configurado.isNull())
        EscreveModem(ambiente, configurado);
    RelogioVirtual relogio;
    ModemRoteirizado modem(relogio);
    OperadorGravado operador;
    Contexto ctx{relogio, modem, operador};
    modem.falhasAoAbrir = falhas;
    const qint16 anterior = Modulo::PortaModem;
    Modulo::PortaModem = static_cast<qint16>(porta);

    const bool resultado = ConfiguraPorta(ctx);
    Modulo::PortaModem = anterior;

    QCOMPARE(resultado, aberta);
    QCOMPARE(modem.PortOpen(), aberta);
    QCOMPARE(int(modem.commPort), porta);
    QCOMPARE(modem.settings, settings);
    QCOMPARE(modem.handshaking, 2);
    QVERIFY(modem.rtsEnable);
    QCOMPARE(modem.aberturas, aberta ? 1 : 0);
    QCOMPARE(modem.fechamentos, 0);
}

QTEST_GUILESS_MAIN(TestComandosModem)
#include "tst_ComandosModem.moc"
