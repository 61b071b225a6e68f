// Dialling the paging operator and hanging up, in virtual time.
#include "BancadaVirtual.h"
#include "common/Win1252.h"
#include "modem/ComandosModem.h"
#include "modem/Discagem.h"

#include <QTimer>
#include <QtTest>

namespace {

const QString TituloErro = QStringLiteral("Erro:");
const QString MsgTempo = QStringLiteral("Modem Time Out: Tempo de espera esgostado.");
const QString MsgOcupado =
    QStringLiteral("O telefone chamado está com sinal de linha ocupada, tente novamente.");
const QString MsgSemTom =
    QStringLiteral("Não foi possível receber um tom de discagem. Caso você esteje discando a partir de uma "
                   "linha PABX, consulte o manual para saber como resolver este problema.");
const QString MsgSemPortadora =
    QStringLiteral("Não foi possível receber um tom de discagem - Desconectado. Caso você esteje discando a "
                   "partir de uma linha PABX, consulte o manual para saber como resolver este problema.");

// The [DISCAGEM] section with the given "key=value" lines, as the program stores it.
void EscreveDiscagem(const AmbienteDeTeste& ambiente, const QStringList& linhas) {
    QString texto = QStringLiteral("[DISCAGEM]\r\n");
    for (const QString& l : linhas)
        texto += l + QStringLiteral("\r\n");
    ambiente.EscreveINI(ParaWin1252(texto));
}

// A modem that answers "OK" to ATE0 and then speaks the given parts, each at its own delay
// after the dial line arrived.
class ModemQueDisca : public ModemRoteirizado {
public:
    using ModemRoteirizado::ModemRoteirizado;
    QList<QByteArray> partes;
    QVector<double> atrasos;
    double instanteDaDiscagem = -1;

    void EscreveBytes(const QByteArray& bytes) override {
        ModemRoteirizado::EscreveBytes(bytes);
        if (bytes.startsWith("ATD") || bytes.startsWith("ATX3D")) {
            instanteDaDiscagem = escritas.last().instante;
            for (int i = 0; i < partes.size(); ++i)
                Entrega(atrasos.value(i), partes[i]);
        }
    }
};

struct BancadaDeDiscagem : BancadaVirtual {
    ModemQueDisca discador{relogio};
    Contexto ctxDiscador{relogio, discador, operador};
    BancadaDeDiscagem() {
        discador.setPortOpen(true);
        discador.QuandoRecebe("ATE0\r", "\r\nOK\r\n", 0.1);
    }
};

} // namespace

class TestDiscagem : public QObject {
    Q_OBJECT

private slots:
    void linhaDeDiscagem_data();
    void linhaDeDiscagem();
    void linhaReleConfiguracaoACadaChamada();
    void classifica_data();
    void classifica();
    void disca_data();
    void disca();
    void discaConectaBytesEPausas();
    void discaSilencioDe60Segundos();
    void discaSemOKAoATE0();
    void discaOKEmDuasLeituras();
    void discaDescartaRestosAntigos();
    void aguardaVereditoDeixaEventosRodarem();
    void desconecta();
};

void TestDiscagem::linhaDeDiscagem_data() {
    QTest::addColumn<bool>("semArquivo");
    QTest::addColumn<QStringList>("chaves");
    QTest::addColumn<QString>("esperado");

    const QString n = TelefonePadrao;
    QTest::newRow("sem arquivo") << true << QStringList() << "ATDP " + n + "\r";
    QTest::newRow("secao vazia") << false << QStringList() << "ATDP " + n + "\r";
    QTest::newRow("PABX Sim") << false << QStringList{"PABX=Sim"} << "ATX3DP " + n + "\r";
    QTest::newRow("PABX sim minusculo") << false << QStringList{"PABX=sim"} << "ATDP " + n + "\r";
    QTest::newRow("PABX Nao") << false << QStringList{QStringLiteral("PABX=Não")} << "ATDP " + n + "\r";
    QTest::newRow("Linha Tom") << false << QStringList{"Linha=Tom"} << "ATDT " + n + "\r";
    QTest::newRow("Linha tom minusculo") << false << QStringList{"Linha=tom"} << "ATDP " + n + "\r";
    QTest::newRow("Linha vazia") << false << QStringList{"Linha="} << "ATDP " + n + "\r";
    QTest::newRow("PrefixoPABX vazio existente")
        << false << QStringList{"PrefixoPABX="} << "ATDP W" + n + "\r";
    QTest::newRow("PrefixoPABX 0") << false << QStringList{"PrefixoPABX=0"} << "ATDP 0W" + n + "\r";
    QTest::newRow("PrefixoPABX VAZIO literal")
        << false << QStringList{"PrefixoPABX=VAZIO"} << "ATDP " + n + "\r";
    QTest::newRow("Prefixo 11 Padrao ausente") << false << QStringList{"Prefixo=11"} << "ATDP " + n + "\r";
    QTest::newRow("Prefixo 021 Padrao ausente")
        << false << QStringList{"Prefixo=021"} << "ATDP 021" + n + "\r";
    QTest::newRow("Prefixo 21 Padrao 021")
        << false << QStringList{"Prefixo=21", QStringLiteral("Padrão=021")} << "ATDP " + n + "\r";
    QTest::newRow("Prefixo 011 Padrao 021")
        << false << QStringList{"Prefixo=011", QStringLiteral("Padrão=021")} << "ATDP 011" + n + "\r";
    QTest::newRow("Prefixo 11.0 igual por valor")
        << false << QStringList{"Prefixo=11.0"} << "ATDP " + n + "\r";
    QTest::newRow("Prefixo sem numero") << false << QStringList{"Prefixo=DDD"} << "ATDP DDD" + n + "\r";
    QTest::newRow("Telefone como gravado")
        << false << QStringList{"Telefone=5555-0101"} << "ATDP 5555-0101\r";
    QTest::newRow("exemplo completo") << false << QStringList{"PABX=Sim",
                                                              "Linha=Tom",
                                                              "PrefixoPABX=0",
                                                              "Prefixo=021",
                                                              QStringLiteral("Padrão=011"),
                                                              "Telefone=3232-9000"}
                                      << "ATX3DT 0W0213232-9000\r";
}

void TestDiscagem::linhaDeDiscagem() {
    QFETCH(bool, semArquivo);
    QFETCH(QStringList, chaves);
    QFETCH(QString, esperado);

    AmbienteDeTeste ambiente;
    if (!semArquivo)
        EscreveDiscagem(ambiente, chaves);
    QCOMPARE(MontaLinhaDeDiscagem(), esperado);
}

void TestDiscagem::linhaReleConfiguracaoACadaChamada() {
    AmbienteDeTeste ambiente;
    EscreveDiscagem(ambiente, {"Linha=Pulso"});
    QCOMPARE(MontaLinhaDeDiscagem(), "ATDP " + TelefonePadrao + "\r");
    EscreveDiscagem(ambiente, {"Linha=Tom", "Telefone=1234-5678"});
    QCOMPARE(MontaLinhaDeDiscagem(), QStringLiteral("ATDT 1234-5678\r"));
}

void TestDiscagem::classifica_data() {
    QTest::addColumn<QString>("recebido");
    QTest::addColumn<int>("codigo");

    QTest::newRow("nada") << "" << 0;
    QTest::newRow("CONNECT") << "\r\nCONNECT\r\n" << 4;
    QTest::newRow("CONNECT 9600/ARQ") << "\r\nCONNECT 9600/ARQ\r\n" << 4;
    QTest::newRow("com eco") << "ATDP 3311-2400\r\r\nCONNECT 2400\r\n" << 4;
    QTest::newRow("BUSY depois de CONNECT") << "\r\nCONNECT\r\n\r\nBUSY\r\n" << 1;
    QTest::newRow("BUSY antes de CONNECT") << "BUSY\r\nCONNECT" << 1;
    QTest::newRow("NO CARRIER") << "\r\nNO CARRIER\r\n" << 3;
    QTest::newRow("NO DIALTONE") << "\r\nNO DIALTONE\r\n" << 2;
    QTest::newRow("NODIALTONE") << "\r\nNODIALTONE\r\n" << 2;
    QTest::newRow("sem tom vence NO CARRIER") << "NO CARRIER\r\nNO DIALTONE" << 2;
    QTest::newRow("CONNECT vence sem tom") << "NODIALTONE\r\nCONNECT" << 4;
    QTest::newRow("NO ANSWER") << "\r\nNO ANSWER\r\n" << 0;
    QTest::newRow("minusculas") << "\r\nconnect\r\nbusy\r\nno carrier" << 0;
    QTest::newRow("OK apenas") << "\r\nOK\r\n" << 0;
}

void TestDiscagem::classifica() {
    QFETCH(QString, recebido);
    QFETCH(int, codigo);
    QCOMPARE(int(ClassificaRespostaDiscagem(recebido)), codigo);
}

void TestDiscagem::disca_data() {
    QTest::addColumn<QList<QByteArray>>("partes");
    QTest::addColumn<QVector<double>>("atrasos");
    QTest::addColumn<bool>("conectado");
    QTest::addColumn<QString>("caixa");
    QTest::addColumn<int>("icone");

    const int critico = int(Icone::Critico);
    const int info = int(Icone::Informacao);
    using L = QList<QByteArray>;
    using V = QVector<double>;
    QTest::newRow("conecta") << L{"\r\nCONNECT\r\n"} << V{2} << true << "" << 0;
    QTest::newRow("CONNECT 9600/ARQ em pedacos")
        << L{"\r\nCON", "NECT 96", "00/ARQ\r\n"} << V{2, 2.01, 2.3} << true << "" << 0;
    QTest::newRow("com eco") << L{"ATDP 3311-2400\r", "\r\nCONNECT 9600\r\n"} << V{0.05, 20} << true << ""
                             << 0;
    QTest::newRow("lixo antes") << L{QByteArray("\x00\xff\x13garbage", 10), "\r\nCONNECT\r\n"} << V{1, 3}
                                << true << "" << 0;
    QTest::newRow("ocupado") << L{"\r\nBUSY\r\n"} << V{3} << false << MsgOcupado << info;
    QTest::newRow("BUSY logo depois de CONNECT")
        << L{"\r\nCONNECT\r\n", "\r\nBUSY\r\n"} << V{2, 2.3} << false << MsgOcupado << info;
    // A second read comes 0.5 s after the verdict; what comes later is drained, not judged.
    QTest::newRow("BUSY depois da leitura final")
        << L{"\r\nCONNECT\r\n", "\r\nBUSY\r\n"} << V{2, 2.55} << true << "" << 0;
    QTest::newRow("sem tom") << L{"\r\nNO DIALTONE\r\n"} << V{1} << false << MsgSemTom << info;
    QTest::newRow("NODIALTONE") << L{"\r\nNODIALTONE\r\n"} << V{1} << false << MsgSemTom << info;
    QTest::newRow("sem portadora") << L{"\r\nNO CARRIER\r\n"} << V{30} << false << MsgSemPortadora << info;
    QTest::newRow("silencio") << L{} << V{} << false << MsgTempo << critico;
    QTest::newRow("NO ANSWER") << L{"\r\nNO ANSWER\r\n"} << V{25} << false << MsgTempo << critico;
    QTest::newRow("minusculas") << L{"\r\nconnect\r\n"} << V{2} << false << MsgTempo << critico;
    QTest::newRow("CONNECT depois de 60 s")
        << L{"\r\nCONNECT\r\n"} << V{60.5} << false << MsgTempo << critico;
    QTest::newRow("CONNECT aos 59 s") << L{"\r\nCONNECT\r\n"} << V{59} << true << "" << 0;
}

void TestDiscagem::disca() {
    QFETCH(QList<QByteArray>, partes);
    QFETCH(QVector<double>, atrasos);
    QFETCH(bool, conectado);
    QFETCH(QString, caixa);
    QFETCH(int, icone);

    BancadaDeDiscagem b;
    b.discador.partes = partes;
    b.discador.atrasos = atrasos;

    QCOMPARE(DiscaOperadora(b.ctxDiscador), conectado);
    QCOMPARE(b.discador.linha, QByteArray("ATE0\rATDP 3311-2400\r"));
    if (caixa.isEmpty()) {
        QVERIFY(b.operador.caixas.isEmpty());
    } else {
        QCOMPARE(b.operador.caixas.size(), 1);
        QCOMPARE(b.operador.caixas[0].texto, caixa);
        QCOMPARE(b.operador.caixas[0].titulo, TituloErro);
        QCOMPARE(int(b.operador.caixas[0].icone), icone);
        QCOMPARE(b.operador.caixas[0].botoes, Botoes::OK);
    }
    QCOMPARE(b.operador.ampulheta, QStringLiteral("+-"));
    QVERIFY(b.operador.status.isEmpty());
}

void TestDiscagem::discaConectaBytesEPausas() {
    BancadaDeDiscagem b;
    EscreveDiscagem(b.ambiente, {"Linha=Tom", "PrefixoPABX=0"});
    b.discador.partes = {"\r\nCONNECT 9600/ARQ\r\n"};
    b.discador.atrasos = {2};

    QVERIFY(DiscaOperadora(b.ctxDiscador));
    QCOMPARE(b.discador.escritas.size(), 2);
    QCOMPARE(b.discador.escritas[0].bytes, QByteArray("ATE0\r"));
    QCOMPARE(b.discador.escritas[0].instante, b.inicio);
    QCOMPARE(b.discador.escritas[1].bytes, QByteArray("ATDT 0W3311-2400\r"));
    // "OK" after 0.1 s, then the 0.2 s pause before the dial line.
    QCOMPARE(b.discador.escritas[1].instante, b.inicio + 0.3);
    QCOMPARE(b.PausasComDuracao(), (QVector<double>{0.2, 0.1, 0.5, 0.1, 0.2}));
    // Verdict at +2 after dialling, then 0.5 + 0.1 + 0.2.
    QCOMPARE(b.Decorrido(), 0.3 + 2 + 0.8);
    QVERIFY(b.operador.caixas.isEmpty());
}

void TestDiscagem::discaSilencioDe60Segundos() {
    BancadaDeDiscagem b;
    QVERIFY(!DiscaOperadora(b.ctxDiscador));
    const double esperaDoVeredito = b.relogio.Agora() - 0.2 - (b.discador.instanteDaDiscagem + 0.1);
    QVERIFY2(esperaDoVeredito > 60 && esperaDoVeredito < 60.2, qPrintable(QString::number(esperaDoVeredito)));
    // No tail read after a time-out.
    QCOMPARE(b.PausasComDuracao(), (QVector<double>{0.2, 0.1, 0.2}));
    QCOMPARE(b.operador.TextosDasCaixas(), QStringList{MsgTempo});
    QCOMPARE(b.operador.caixas[0].icone, Icone::Critico);
    QCOMPARE(b.operador.ampulheta, QStringLiteral("+-"));
    QCOMPARE(b.operador.ampulhetaNivel, 0);
}

void TestDiscagem::discaSemOKAoATE0() {
    BancadaVirtual b; // a modem that never answers
    QVERIFY(!DiscaOperadora(b.ctx));
    QCOMPARE(b.modem.linha, QByteArray("ATE0\r"));
    QCOMPARE(b.operador.caixas.size(), 1);
    QCOMPARE(b.operador.caixas[0].texto, MensagemModemTimeOut);
    QCOMPARE(b.operador.caixas[0].titulo, QStringLiteral("Informação:"));
    QCOMPARE(b.operador.caixas[0].icone, Icone::Informacao);
    QCOMPARE(b.operador.caixas[0].botoes, Botoes::OK);
    QVERIFY(b.Decorrido() > 4 && b.Decorrido() < 4.1);
    QVERIFY(b.PausasComDuracao().isEmpty());
    QCOMPARE(b.operador.ampulhetaNivel, 0);
}

void TestDiscagem::discaOKEmDuasLeituras() {
    BancadaVirtual b;
    b.modem.QuandoRecebe("ATE0\r", "\r\nO", 0.1);
    b.modem.Entrega(0.4, "K\r\n");
    b.modem.QuandoRecebe("ATDP", "\r\nCONNECT\r\n", 3);
    QVERIFY(DiscaOperadora(b.ctx));
    QCOMPARE(b.modem.escritas[1].instante, b.inicio + 0.4 + 0.2);
    QVERIFY(b.operador.caixas.isEmpty());
}

void TestDiscagem::discaDescartaRestosAntigos() {
    BancadaVirtual b; // the modem no longer answers
    // An "OK" left over from an earlier command must not pass for the answer to ATE0.
    b.modem.EntregaEm(b.inicio - 1, "\r\nOK\r\n");
    QVERIFY(!DiscaOperadora(b.ctx));
    QCOMPARE(b.modem.linha, QByteArray("ATE0\r"));
    QCOMPARE(b.operador.TextosDasCaixas(), QStringList{MensagemModemTimeOut});
}

void TestDiscagem::aguardaVereditoDeixaEventosRodarem() {
    BancadaDeDiscagem b;
    bool eventoRodou = false;
    QTimer::singleShot(0, [&] { eventoRodou = true; });
    // Instants at which the verdict wait let events run (its zero-length pauses).
    QVector<double> bombas;
    b.relogio.aoPausar = [&] {
        if (b.relogio.pausas.last() == 0)
            bombas.append(b.relogio.Agora());
    };

    QVERIFY(!DiscaOperadora(b.ctxDiscador)); // 60 s of silence
    QVERIFY(eventoRodou);
    // Events run often through the whole minute (the window stays alive), without spinning.
    QVERIFY2(bombas.size() > 600 && bombas.size() < 3000, qPrintable(QString::number(bombas.size())));
    double maiorIntervalo = 0;
    for (int i = 1; i < bombas.size(); ++i)
        maiorIntervalo = std::max(maiorIntervalo, bombas[i] - bombas[i - 1]);
    QVERIFY2(maiorIntervalo <= 0.1, qPrintable(QString::number(maiorIntervalo)));
}

void TestDiscagem::desconecta() {
    BancadaVirtual b;
    b.modem.QuandoRecebe("ATH0\r", "\r\nOK\r\n", 0.2);
    QVector<int> niveisNaPausa;
    b.relogio.aoPausar = [&] { niveisNaPausa.append(b.operador.ampulhetaNivel); };

    DesconectaModem(b.ctx);

    QCOMPARE(b.modem.escritas.size(), 2);
    QCOMPARE(b.modem.escritas[0].bytes, QByteArray("+++"));
    QCOMPARE(b.modem.escritas[1].bytes, QByteArray("ATH0\r"));
    QCOMPARE(b.modem.escritas[1].instante - b.modem.escritas[0].instante, 3.0);
    QCOMPARE(b.PausasComDuracao(), (QVector<double>{3, 2, 0.1}));
    QCOMPARE(b.Decorrido(), 5.1);
    QCOMPARE(b.operador.status,
             (QStringList{QStringLiteral(" Desconectando modem, aguarde ..."), QStringLiteral(" Pronto")}));
    QCOMPARE(b.operador.ampulheta, QStringLiteral("+-"));
    QCOMPARE(niveisNaPausa, (QVector<int>{1, 1, 1}));
    // The modem's "OK" was drained, not left for the next command.
    QCOMPARE(b.modem.InBufferCount(), 0);
    QVERIFY(b.operador.caixas.isEmpty());
}

QTEST_GUILESS_MAIN(TestDiscagem)
#include "tst_Discagem.moc"
