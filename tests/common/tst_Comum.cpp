// The shared helpers: the Windows-1252 codec and the leading-number readers.
#include "common/Numero.h"
#include "common/Win1252.h"

#include <QtTest>

class tst_Comum : public QObject {
    Q_OBJECT

private slots:
    void win1252TodosOsBytesVoltam();
    void win1252ParaBytes_data();
    void win1252ParaBytes();
    void win1252DeBytes_data();
    void win1252DeBytes();
    void valorNumerico_data();
    void valorNumerico();
    void valorInteiro16_data();
    void valorInteiro16();
};

void tst_Comum::win1252TodosOsBytesVoltam() {
    QByteArray todos;
    for (int b = 0; b < 256; ++b)
        todos.append(static_cast<char>(b));
    const QString texto = DeWin1252(todos);
    QCOMPARE(texto.size(), 256);
    QCOMPARE(ParaWin1252(texto), todos);
    // No byte but '?' itself turns into '?'.
    QCOMPARE(texto.count(QLatin1Char('?')), 1);
}

void tst_Comum::win1252ParaBytes_data() {
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("ASCII") << "ATZ\r" << QByteArray("ATZ\r");
    QTest::newRow("vazio") << "" << QByteArray();
    QTest::newRow("euro") << "€" << QByteArray("\x80");
    QTest::newRow("OPÇÕES") << "OPÇÕES" << QByteArray("\x4F\x50\xC7\xD5\x45\x53");
    QTest::newRow("Opção") << "Opção" << QByteArray("Op\xE7\xE3o");
    QTest::newRow("Usuário") << "Usuário" << QByteArray("Usu\xE1rio");
    QTest::newRow("aspas tipográficas") << "“x” ‘y’ –" << QByteArray("\x93x\x94 \x91y\x92 \x96");
    QTest::newRow("Ÿ e ž") << "Ÿž" << QByteArray("\x9F\x9E");
    QTest::newRow("ÿ") << "ÿ" << QByteArray("\xFF");
    QTest::newRow("ideograma") << "中" << QByteArray("?");
    QTest::newRow("fora da página") << "ĀŁ" << QByteArray("??");
    QTest::newRow("U+0080 não é o euro") << QString(QChar(0x80)) << QByteArray("?");
    QTest::newRow("emoji é um só") << "a😀b" << QByteArray("a?b");
    QTest::newRow("metade de par solta") << QString(QChar(0xD83D)) + "x" << QByteArray("?x");
}

void tst_Comum::win1252ParaBytes() {
    QFETCH(QString, texto);
    QFETCH(QByteArray, bytes);
    QCOMPARE(ParaWin1252(texto), bytes);
}

void tst_Comum::win1252DeBytes_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("texto");

    QTest::newRow("euro") << QByteArray("\x80") << "€";
    QTest::newRow("OPÇÕES") << QByteArray("\x4F\x50\xC7\xD5\x45\x53") << "OPÇÕES";
    QTest::newRow("não atribuído 0x81") << QByteArray("\x81") << QString(QChar(0x81));
    QTest::newRow("não atribuído 0x9D") << QByteArray("\x9D") << QString(QChar(0x9D));
    QTest::newRow("Ÿ") << QByteArray("\x9F") << "Ÿ";
    QTest::newRow("NUL") << QByteArray("a\0b", 3)
                         << QString(QStringLiteral("a") + QChar(0) + QStringLiteral("b"));
}

void tst_Comum::win1252DeBytes() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, texto);
    QCOMPARE(DeWin1252(bytes), texto);
}

void tst_Comum::valorNumerico_data() {
    QTest::addColumn<QString>("texto");
    QTest::addColumn<double>("valor");

    QTest::newRow("011") << "011" << 11.0;
    QTest::newRow("11") << "11" << 11.0;
    QTest::newRow("021") << "021" << 21.0;
    QTest::newRow("brancos e letras") << " 3abc" << 3.0;
    QTest::newRow("tab") << "\t7" << 7.0;
    QTest::newRow("letras") << "abc" << 0.0;
    QTest::newRow("vazio") << "" << 0.0;
    QTest::newRow("VAZIO") << "VAZIO" << 0.0;
    QTest::newRow("decimal") << "2.5" << 2.5;
    QTest::newRow("só decimais") << ".5" << 0.5;
    QTest::newRow("ponto final") << "5." << 5.0;
    QTest::newRow("segundo ponto para") << "1.2.3" << 1.2;
    QTest::newRow("vírgula para") << "2,5" << 2.0;
    QTest::newRow("negativo") << "-1" << -1.0;
    QTest::newRow("positivo") << "+4" << 4.0;
    QTest::newRow("sinal só") << "-" << 0.0;
    QTest::newRow("ponto só") << "." << 0.0;
    QTest::newRow("hífen do telefone") << "3333-4444" << 3333.0;
    QTest::newRow("dígito não ASCII") << "٣" << 0.0;
}

void tst_Comum::valorNumerico() {
    QFETCH(QString, texto);
    QFETCH(double, valor);
    QCOMPARE(ValorNumerico(texto), valor);
}

void tst_Comum::valorInteiro16_data() {
    QTest::addColumn<QString>("texto");
    QTest::addColumn<int>("valor");

    QTest::newRow("1") << "1" << 1;
    QTest::newRow("4") << "4" << 4;
    QTest::newRow("2.5 par abaixo") << "2.5" << 2;
    QTest::newRow("3.5 par acima") << "3.5" << 4;
    QTest::newRow("2.6") << "2.6" << 3;
    QTest::newRow("-2.5") << "-2.5" << -2;
    QTest::newRow("-1") << "-1" << -1;
    QTest::newRow("99999 estoura") << "99999" << 0;
    QTest::newRow("32767 cabe") << "32767" << 32767;
    QTest::newRow("32768 estoura") << "32768" << 0;
    QTest::newRow("-32768 cabe") << "-32768" << -32768;
    QTest::newRow("enorme") << QString(400, QLatin1Char('9')) << 0;
    QTest::newRow("VAZIO") << "VAZIO" << 0;
    QTest::newRow("vazio") << "" << 0;
}

void tst_Comum::valorInteiro16() {
    QFETCH(QString, texto);
    QFETCH(int, valor);
    QCOMPARE(static_cast<int>(ValorInteiro16(texto)), valor);
}

QTEST_MAIN(tst_Comum)
#include "tst_Comum.moc"
