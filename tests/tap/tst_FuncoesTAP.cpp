// Framing a page and its three-character checksum.
#include "tap/FuncoesTAP.h"

#include <QtTest>

namespace {
const QString STX = QString(QChar(2));
const QString ETX = QString(QChar(3));
const QString CR = QString(QChar(13));

QString Repete(QChar c, int n) {
    return QString(n, c);
}
} // namespace

class TestFuncoesTAP : public QObject {
    Q_OBJECT

private slots:
    void montaBloco_data();
    void montaBloco();
    void checksum_data();
    void checksum();
    void digito_data();
    void digito();
    void unidadeDoExemplo();
};

void TestFuncoesTAP::montaBloco_data() {
    QTest::addColumn<QString>("identificador");
    QTest::addColumn<QString>("mensagem");
    QTest::addColumn<bool>("aceito");
    QTest::addColumn<QString>("esperado");

    const QString m240 = Repete(QLatin1Char('a'), 240);
    const QString m241 = Repete(QLatin1Char('a'), 241);
    QTest::newRow("240 caracteres") << "123" << m240 << true << STX + "123" + CR + m240 + CR + ETX;
    QTest::newRow("241 caracteres") << "123" << m241 << false << QString();
    QTest::newRow("240 com identificador de 1") << "7" << m240 << true << STX + "7" + CR + m240 + CR + ETX;
    QTest::newRow("241 com identificador de 1") << "7" << m241 << false << QString();
    const QString longo = Repete(QLatin1Char('9'), 60);
    QTest::newRow("240 com identificador longo")
        << longo << m240 << true << STX + longo + CR + m240 + CR + ETX;
    QTest::newRow("241 acentuados") << "1" << Repete(QChar(0xC9), 241) << false << QString();
    QTest::newRow("mensagem vazia") << "123"
                                    << "" << true << STX + "123" + CR + CR + ETX;
    QTest::newRow("identificador vazio") << ""
                                         << "abc" << true << STX + CR + "abc" + CR + ETX;
    const QString controles = QStringLiteral("a\rb\x03 c\n ");
    QTest::newRow("controles inalterados")
        << "12 " << controles << true << STX + "12 " + CR + controles + CR + ETX;
}

void TestFuncoesTAP::montaBloco() {
    QFETCH(QString, identificador);
    QFETCH(QString, mensagem);
    QFETCH(bool, aceito);
    QFETCH(QString, esperado);

    const QString anterior = QStringLiteral("bloco anterior");
    QString bloco = anterior;
    QCOMPARE(MontaBlocoTAP(identificador, mensagem, bloco), aceito);
    QCOMPARE(bloco, aceito ? esperado : anterior);
}

void TestFuncoesTAP::checksum_data() {
    QTest::addColumn<QString>("bloco");
    QTest::addColumn<QString>("esperado");

    auto bloco = [](const QString& id, const QString& msg) { return STX + id + CR + msg + CR + ETX; };
    QTest::newRow("exemplo 123/abc") << bloco("123", "abc") << "1=;";
    // 48181: well over 32767, low 12 bits 0xC35.
    QTest::newRow("soma acima de 32767") << bloco("123", Repete(QChar(200), 240)) << "<35";
    // 31 for the frame + 15 x 255 + 240 = 4096.
    QTest::newRow("12 bits baixos zero") << bloco("", Repete(QChar(255), 15) + QChar(240)) << "000";
    QTest::newRow("mensagem vazia") << bloco("123", "") << "0;5";
    QTest::newRow("euro conta 0x80") << bloco("", QString(QChar(0x20AC))) << "09?";
    QTest::newRow("fora do Windows-1252 conta '?'") << bloco("", QString(QChar(0x03A9))) << "05>";
    QTest::newRow("interrogacao") << bloco("", "?") << "05>";
    QTest::newRow("latin-1 pelo byte") << bloco("", QString(QChar(0xE3))) << "102";
    QTest::newRow("texto real") << bloco("5551234", QStringLiteral("Olá, reunião às 15h")) << "946";
}

void TestFuncoesTAP::checksum() {
    QFETCH(QString, bloco);
    QFETCH(QString, esperado);

    QString checksum = QStringLiteral("lixo");
    QVERIFY(CalculaChecksumTAP(bloco, checksum));
    QCOMPARE(checksum, esperado);
}

void TestFuncoesTAP::digito_data() {
    QTest::addColumn<int>("soma");
    QTest::addColumn<int>("posicao");
    QTest::addColumn<QString>("esperado");

    QTest::newRow("0x1DB pos 1") << 0x1DB << 1 << ";";
    QTest::newRow("0x1DB pos 2") << 0x1DB << 2 << "=";
    QTest::newRow("0x1DB pos 3") << 0x1DB << 3 << "1";
    QTest::newRow("posicao 0") << 0x1DB << 0 << "0";
    QTest::newRow("posicao 4") << 0xFFF << 4 << "0";
    QTest::newRow("posicao negativa") << 0xFFF << -1 << "0";
    QTest::newRow("acima de 12 bits ignorado") << 0xF000 << 3 << "0";
    QTest::newRow("todos 1 pos 1") << 0xFFFF << 1 << "?";
    QTest::newRow("soma de 16 bits que virou negativa") << -1 << 3 << "?";
    QTest::newRow("-32768") << -32768 << 3 << "0";
    QTest::newRow("valor 10") << 0xA00 << 3 << ":";
}

void TestFuncoesTAP::digito() {
    QFETCH(int, soma);
    QFETCH(int, posicao);
    QFETCH(QString, esperado);
    QCOMPARE(DigitoChecksumTAP(soma, static_cast<qint16>(posicao)), esperado);
}

void TestFuncoesTAP::unidadeDoExemplo() {
    QString bloco;
    QString checksum;
    QVERIFY(MontaBlocoTAP(QStringLiteral("123"), QStringLiteral("abc"), bloco));
    QVERIFY(CalculaChecksumTAP(bloco, checksum));
    const QString unidade = bloco + checksum + CR;
    QCOMPARE(unidade.size(), 14);
    QCOMPARE(unidade, QStringLiteral("\x02"
                                     "123\rabc\r\x03"
                                     "1=;\r"));
}

QTEST_GUILESS_MAIN(TestFuncoesTAP)
#include "tst_FuncoesTAP.moc"
