// The simulated modem as a plain class: command lines in, result codes out, in virtual time.
#include "ModemHayes.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {
const QByteArray OK = "\r\nOK\r\n";
const QByteArray CONNECT = "\r\nCONNECT 9600\r\n";

// Echo off first, as the program does before it dials; that answer is not part of the test.
void SemEco(ModemHayes& m, double agora = 0.0) {
    m.Recebe("ATE0\r", agora);
    m.TomaSaida();
}

// A modem on line with the paging terminal, connected at instant 1.
void Conecta(ModemHayes& m) {
    SemEco(m);
    m.Recebe("ATDT 3311-2400\r", 0.0);
    m.Avanca(1.0);
    QCOMPARE(m.TomaSaida(), CONNECT);
    QCOMPARE(m.estado(), ModemHayes::Estado::EmLinha);
}

QByteArray Bloco(const QByteArray& codigo, const QByteArray& mensagem) {
    const QByteArray corpo = "\x02" + codigo + "\r" + mensagem + "\r\x03";
    unsigned s = 0;
    for (const char c : corpo)
        s += static_cast<unsigned char>(c);
    return corpo + char('0' + ((s >> 8) & 15)) + char('0' + ((s >> 4) & 15)) + char('0' + (s & 15)) + "\r";
}
} // namespace

Q_DECLARE_METATYPE(Discagem)
Q_DECLARE_METATYPE(ModemHayes::Estado)

class TestModemHayes : public QObject {
    Q_OBJECT
private slots:
    void comandos_data();
    void comandos();
    void discagem_data();
    void discagem();
    void discagemInvalida_data();
    void discagemInvalida();
    void discagensEmSequencia();
    void caractereInterrompeDiscagem();
    void escapeComTempoDeGuarda();
    void escapeSemSilencio_data();
    void escapeSemSilencio();
    void voltaParaALinhaComATO();
    void terminalDesligaEModemDizNoCarrier();
    void sessaoCompletaPassaPeloTerminal();
    void modemMudoNaoRespondeNada();
    void lixoNaoDerrubaOModem_data();
    void lixoNaoDerrubaOModem();
};

void TestModemHayes::comandos_data() {
    QTest::addColumn<bool>("comEco");
    QTest::addColumn<QByteArray>("entrada");
    QTest::addColumn<QByteArray>("esperado");

    QTest::newRow("AT com eco") << true << QByteArray("AT\r") << "AT\r" + OK;
    QTest::newRow("ate0 minúsculo desliga o eco") << true << QByteArray("ate0\rAT\r") << "ate0\r" + OK + OK;
    QTest::newRow("ATZ religa o eco") << false << QByteArray("ATZ\rAT\r") << OK + "AT\r" + OK;
    QTest::newRow("AT&F religa o eco") << false << QByteArray("AT&F\rAT\r") << OK + "AT\r" + OK;
    QTest::newRow("AT") << false << QByteArray("AT\r") << OK;
    QTest::newRow("at minúsculo") << false << QByteArray("at\r") << OK;
    QTest::newRow("ATX3") << false << QByteArray("ATX3\r") << OK;
    QTest::newRow("ATH0 no gancho") << false << QByteArray("ATH0\r") << OK;
    QTest::newRow("vários comandos e espaços") << false << QByteArray("AT X3 E0 M1 L2 &C1 &D2\r") << OK;
    QTest::newRow("comando desconhecido") << false << QByteArray("ATJ\r") << QByteArray("\r\nERROR\r\n");
    QTest::newRow("parâmetro fora da faixa") << false << QByteArray("ATE2\r") << QByteArray("\r\nERROR\r\n");
    QTest::newRow("ruído antes do AT") << false << QByteArray("\x01\xff+++ATH0\r") << OK;
    QTest::newRow("linha sem AT é ignorada") << false << QByteArray("HELLO\r") << QByteArray();
    QTest::newRow("CR sozinho é ignorado") << false << QByteArray("\r\r") << QByteArray();
    QTest::newRow("LF é ignorado") << false << QByteArray("AT\r\n") << OK;
    QTest::newRow("retrocesso apaga") << false << QByteArray("ATJ\x08\r") << OK;
    QTest::newRow("linha no limite") << false << "AT" + QByteArray(ModemHayes::kMaxLinha - 2, ' ') + "\r"
                                     << OK;
    QTest::newRow("linha longa demais") << false << "AT" + QByteArray(ModemHayes::kMaxLinha, ' ') + "\rAT\r"
                                        << "\r\nERROR\r\n" + OK;
    QTest::newRow("resultados numéricos com V0")
        << false << QByteArray("ATV0\rATJ\rATV1\r") << QByteArray("0\r4\r") + OK;
    QTest::newRow("quieto com Q1") << false << QByteArray("ATQ1\rATJ\rAT\rATQ0\r") << OK;
    QTest::newRow("registrador S") << false << QByteArray("ATS7=60\rATS7?\r") << OK + "\r\n060\r\n" + OK;
    QTest::newRow("registrador S fora da faixa")
        << false << QByteArray("ATS7=300\r") << QByteArray("\r\nERROR\r\n");
    QTest::newRow("ATO sem ligação") << false << QByteArray("ATO\r") << QByteArray("\r\nNO CARRIER\r\n");
    QTest::newRow("identificação") << false << QByteArray("ATI\r") << "\r\nBIPVOX-SIMULADOR 1.0\r\n" + OK;
}

void TestModemHayes::comandos() {
    QFETCH(bool, comEco);
    QFETCH(QByteArray, entrada);
    QFETCH(QByteArray, esperado);
    Cenario cenario;
    ModemHayes modem(cenario);
    if (!comEco)
        SemEco(modem);
    modem.Recebe(entrada, 0.0);
    QCOMPARE(modem.TomaSaida(), esperado);
    QCOMPARE(modem.estado(), ModemHayes::Estado::Comando);
}

void TestModemHayes::discagem_data() {
    QTest::addColumn<Discagem>("discagem");
    QTest::addColumn<QByteArray>("comando");
    QTest::addColumn<QByteArray>("esperado");
    QTest::addColumn<ModemHayes::Estado>("estado");

    const QByteArray pulso = "ATDP 3311-2400\r";
    QTest::newRow("conecta") << Discagem::Conecta << pulso << CONNECT << ModemHayes::Estado::EmLinha;
    QTest::newRow("ocupado") << Discagem::Ocupado << pulso << QByteArray("\r\nBUSY\r\n")
                             << ModemHayes::Estado::Comando;
    QTest::newRow("sem portadora") << Discagem::SemPortadora << pulso << QByteArray("\r\nNO CARRIER\r\n")
                                   << ModemHayes::Estado::Comando;
    QTest::newRow("sem tom") << Discagem::SemTom << pulso << QByteArray("\r\nNO DIALTONE\r\n")
                             << ModemHayes::Estado::Comando;
    QTest::newRow("sem resposta") << Discagem::SemResposta << pulso << QByteArray("\r\nNO ANSWER\r\n")
                                  << ModemHayes::Estado::Comando;
    QTest::newRow("mudo") << Discagem::Muda << pulso << QByteArray() << ModemHayes::Estado::Discando;
    QTest::newRow("PABX com X3 e W") << Discagem::Conecta << QByteArray("ATX3DT 0W0213311-2400\r") << CONNECT
                                     << ModemHayes::Estado::EmLinha;
    QTest::newRow("vírgulas e parênteses") << Discagem::Conecta << QByteArray("atdt9,,(011)3311-2400\r")
                                           << CONNECT << ModemHayes::Estado::EmLinha;
}

void TestModemHayes::discagem() {
    QFETCH(Discagem, discagem);
    QFETCH(QByteArray, comando);
    QFETCH(QByteArray, esperado);
    QFETCH(ModemHayes::Estado, estado);
    Cenario cenario;
    cenario.discagens = {discagem};
    cenario.atrasoDiscagem = 1.5;
    ModemHayes modem(cenario);
    SemEco(modem, 10.0);

    modem.Recebe(comando, 10.0);
    QCOMPARE(modem.TomaSaida(), QByteArray());
    QCOMPARE(modem.estado(), ModemHayes::Estado::Discando);
    modem.Avanca(11.49);
    QCOMPARE(modem.TomaSaida(), QByteArray());
    modem.Avanca(11.5);
    QCOMPARE(modem.TomaSaida(), esperado);
    QCOMPARE(modem.estado(), estado);
    QCOMPARE(modem.Chamadas(), 1);
}

void TestModemHayes::discagemInvalida_data() {
    QTest::addColumn<QByteArray>("comando");
    QTest::newRow("sem número") << QByteArray("ATD\r");
    QTest::newRow("só o modo") << QByteArray("ATDT\r");
    QTest::newRow("ponto e vírgula") << QByteArray("ATDT3311;\r");
    QTest::newRow("letras") << QByteArray("ATDTxyz\r");
}

void TestModemHayes::discagemInvalida() {
    QFETCH(QByteArray, comando);
    Cenario cenario;
    ModemHayes modem(cenario);
    SemEco(modem);
    modem.Recebe(comando, 0.0);
    QCOMPARE(modem.TomaSaida(), QByteArray("\r\nERROR\r\n"));
    QCOMPARE(modem.estado(), ModemHayes::Estado::Comando);
    QCOMPARE(modem.Chamadas(), 0);
}

void TestModemHayes::discagensEmSequencia() {
    Cenario cenario;
    cenario.discagens = {Discagem::Ocupado, Discagem::SemTom, Discagem::Conecta};
    cenario.atrasoDiscagem = 1.0;
    ModemHayes modem(cenario);
    SemEco(modem);
    const QList<QByteArray> esperados = {"\r\nBUSY\r\n", "\r\nNO DIALTONE\r\n", CONNECT, CONNECT};
    double t = 0.0;
    for (const QByteArray& esperado : esperados) {
        modem.Recebe("ATDT1234\r", t);
        modem.Avanca(t + 1.0);
        QCOMPARE(modem.TomaSaida(), esperado);
        if (modem.estado() == ModemHayes::Estado::EmLinha) {
            modem.Recebe("+++", t + 2.0);
            modem.Avanca(t + 3.0);
            modem.Recebe("ATH0\r", t + 3.0);
            QCOMPARE(modem.TomaSaida(), OK + OK);
        }
        t += 10.0;
    }
    QCOMPARE(modem.Chamadas(), 4);
}

void TestModemHayes::caractereInterrompeDiscagem() {
    Cenario cenario;
    cenario.atrasoDiscagem = 1.0;
    ModemHayes modem(cenario);
    SemEco(modem);
    modem.Recebe("ATDT1234\r", 0.0);
    modem.Recebe("x", 0.5);
    QCOMPARE(modem.TomaSaida(), QByteArray("\r\nNO CARRIER\r\n"));
    QCOMPARE(modem.estado(), ModemHayes::Estado::Comando);
    modem.Avanca(5.0);
    QCOMPARE(modem.TomaSaida(), QByteArray());
}

void TestModemHayes::escapeComTempoDeGuarda() {
    Cenario cenario;
    cenario.atrasoDiscagem = 1.0;
    cenario.guardaEscape = 0.5;
    ModemHayes modem(cenario);
    Conecta(modem);

    modem.Recebe("+++", 20.0);
    QCOMPARE(modem.ProximoEvento(), 20.5);
    modem.Avanca(20.49);
    QCOMPARE(modem.TomaSaida(), QByteArray());
    modem.Avanca(20.5);
    QCOMPARE(modem.TomaSaida(), OK);
    QCOMPARE(modem.estado(), ModemHayes::Estado::ComandoEmLinha);

    modem.Recebe("ATDT1234\r", 21.0);
    QCOMPARE(modem.TomaSaida(), QByteArray("\r\nERROR\r\n"));
    modem.Recebe("ATH0\r", 22.0);
    QCOMPARE(modem.TomaSaida(), OK);
    QCOMPARE(modem.estado(), ModemHayes::Estado::Comando);
    QVERIFY(!modem.terminal().Conectado());
}

void TestModemHayes::escapeSemSilencio_data() {
    QTest::addColumn<QByteArray>("primeiro");
    QTest::addColumn<QByteArray>("depois"); // 0.3 s after the first part
    QTest::newRow("caractere logo depois") << QByteArray("+++x") << QByteArray();
    QTest::newRow("quatro sinais de mais") << QByteArray("++++") << QByteArray();
    QTest::newRow("caractere dentro da guarda") << QByteArray("+++") << QByteArray("a");
    QTest::newRow("mais um sinal dentro da guarda") << QByteArray("+++") << QByteArray("+");
}

void TestModemHayes::escapeSemSilencio() {
    QFETCH(QByteArray, primeiro);
    QFETCH(QByteArray, depois);
    Cenario cenario;
    cenario.atrasoDiscagem = 1.0;
    ModemHayes modem(cenario);
    Conecta(modem);
    modem.Recebe(primeiro, 10.0);
    modem.Recebe(depois, 10.3);
    modem.Avanca(15.0);
    QCOMPARE(modem.TomaSaida(), QByteArray());
    QCOMPARE(modem.estado(), ModemHayes::Estado::EmLinha);
}

void TestModemHayes::voltaParaALinhaComATO() {
    Cenario cenario;
    cenario.atrasoDiscagem = 1.0;
    ModemHayes modem(cenario);
    Conecta(modem);
    modem.Recebe("\r", 2.0);
    QCOMPARE(modem.TomaSaida(), QByteArray("ID="));
    modem.Recebe("+++", 3.0);
    modem.Avanca(4.0);
    modem.Recebe("ATO\r", 4.0);
    QCOMPARE(modem.TomaSaida(), OK + CONNECT);
    QCOMPARE(modem.estado(), ModemHayes::Estado::EmLinha);
    // The call survived the escape: the terminal still knows it asked for the ID.
    modem.Recebe("\x1bPG1\r", 5.0);
    QCOMPARE(modem.TomaSaida(), QByteArray("110 1.8\r\x06\r\x1b[p\r"));
}

void TestModemHayes::terminalDesligaEModemDizNoCarrier() {
    Cenario cenario;
    cenario.atrasoDiscagem = 1.0;
    ModemHayes modem(cenario);
    Conecta(modem);
    modem.Recebe("\r\x1bPG1\r\x04\r", 2.0);
    const QByteArray saida = modem.TomaSaida();
    QVERIFY2(saida.endsWith("\x1b\x04\r\r\nNO CARRIER\r\n"), saida.toHex().constData());
    QCOMPARE(modem.estado(), ModemHayes::Estado::Comando);
    QVERIFY(!modem.terminal().Conectado());
    // What follows the drop is a command again; "+++" in command mode is only noise before "AT".
    modem.Recebe("+++", 2.1);
    modem.Avanca(5.0);
    modem.Recebe("ATH0\r", 5.0);
    QCOMPARE(modem.TomaSaida(), OK);
}

void TestModemHayes::sessaoCompletaPassaPeloTerminal() {
    Cenario cenario;
    cenario.atrasoDiscagem = 1.0;
    ModemHayes modem(cenario);
    QList<PaginaRecebida> paginas;
    modem.terminal().aoReceberPagina = [&](const PaginaRecebida& p) { paginas.append(p); };
    Conecta(modem);
    modem.Recebe("\r", 2.0);
    modem.Recebe("\x1bPG1\r", 3.0);
    modem.Recebe(Bloco("123", "abc"), 3.1);
    QVERIFY(modem.TomaSaida().endsWith("\x06\r"));
    QCOMPARE(paginas.size(), 1);
    QCOMPARE(paginas[0].codigo, QByteArray("123"));
    QCOMPARE(paginas[0].mensagem, QByteArray("abc"));
    QCOMPARE(paginas[0].chamada, 1);
}

void TestModemHayes::modemMudoNaoRespondeNada() {
    Cenario cenario;
    cenario.modemMudo = true;
    ModemHayes modem(cenario);
    modem.Recebe("ATZ\rate0\rATDT1234\r", 0.0);
    modem.Avanca(100.0);
    QCOMPARE(modem.TomaSaida(), QByteArray());
    QCOMPARE(modem.ProximoEvento(), std::numeric_limits<double>::infinity());
}

void TestModemHayes::lixoNaoDerrubaOModem_data() {
    QTest::addColumn<quint32>("semente");
    QTest::addColumn<bool>("emLinha");
    QTest::addColumn<bool>("byteAByte");
    for (quint32 semente : {1u, 2u, 3u}) {
        QTest::addRow("comando, semente %u", semente) << semente << false << false;
        QTest::addRow("em linha, semente %u", semente) << semente << true << false;
        QTest::addRow("em linha byte a byte, semente %u", semente) << semente << true << true;
    }
}

void TestModemHayes::lixoNaoDerrubaOModem() {
    QFETCH(quint32, semente);
    QFETCH(bool, emLinha);
    QFETCH(bool, byteAByte);
    Cenario cenario;
    cenario.atrasoDiscagem = 1.0;
    ModemHayes modem(cenario);
    if (emLinha)
        Conecta(modem);
    QRandomGenerator gerador(semente);
    QByteArray lixo(20000, 0);
    for (char& c : lixo)
        c = char(gerador.bounded(256));
    double t = 2.0;
    if (byteAByte) {
        for (const char c : lixo) {
            modem.Recebe(QByteArray(1, c), t);
            t += 0.001;
        }
    } else {
        modem.Recebe(lixo, t);
    }
    // Whatever state the noise left, the usual way back works: let calls finish, escape, reset.
    modem.Avanca(t + 100.0);
    modem.Recebe("x", t + 100.0); // ends a run of '+' the noise may have left
    modem.Recebe("+++", t + 100.0);
    modem.Avanca(t + 101.0);
    modem.Recebe("\rATH0\rATZ\rATE0\r", t + 101.0);
    modem.TomaSaida();
    modem.Recebe("AT\r", t + 102.0);
    QCOMPARE(modem.TomaSaida(), OK);
    QCOMPARE(modem.estado(), ModemHayes::Estado::Comando);
}

QTEST_GUILESS_MAIN(TestModemHayes)
#include "tst_ModemHayes.moc"
