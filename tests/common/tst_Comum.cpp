// The Windows-1252 codec and the leading-number readers.
#include "common/Numero.h"
#include "common/Win1252.h"

#include <QtTest>

class tst_Comum : public QObject {
    Q_OBJECT
private slots:
    void win1252_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("OPÇÕES") << "OPÇÕES" << QByteArray("OP\xc7\xd5\x45S");
        QTest::newRow("0x80 a 0x9F") << "€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ"
                                     << QByteArray(
                                            "\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8a\x8b\x8c\x8e\x91\x92\x93"
                                            "\x94\x95\x96\x97\x98\x99\x9a\x9b\x9c\x9e\x9f");
        QTest::newRow("espaço rígido e ÿ") << "\u00a0ÿ" << QByteArray("\xa0\xff");
        QTest::newRow("fora da página") << "中ĀŁ" << QByteArray("???");
        QTest::newRow("emoji é um só") << "a😀b" << QByteArray("a?b");
    }
    void win1252() {
        QFETCH(QString, texto);
        QFETCH(QByteArray, bytes);
        QCOMPARE(ParaWin1252(texto), bytes);
        if (!bytes.contains('?'))
            QCOMPARE(DeWin1252(bytes), texto);
        QCOMPARE(DeWin1252("\x81\x9d"), QString(QChar(0x81)) + QChar(0x9d)); // unassigned: the C1 control
    }

    void numeros_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<double>("valor");
        QTest::addColumn<int>("inteiro");
        QTest::newRow("011") << "011" << 11.0 << 11;
        QTest::newRow("brancos e letras") << " \t3abc" << 3.0 << 3;
        QTest::newRow("VAZIO") << "VAZIO" << 0.0 << 0;
        QTest::newRow("2.5 arredonda para o par") << "2.5" << 2.5 << 2;
        QTest::newRow("3.5 arredonda para o par") << "3.5" << 3.5 << 4;
        QTest::newRow("segundo ponto para") << "1.2.3" << 1.2 << 1;
        QTest::newRow("vírgula para") << "2,5" << 2.0 << 2;
        QTest::newRow("hífen do telefone") << "3333-4444" << 3333.0 << 3333;
        QTest::newRow("32768 estoura") << "32768" << 32768.0 << 0;
        QTest::newRow("-32768 cabe") << "-32768" << -32768.0 << -32768;
        QTest::newRow("dígito não ASCII para") << "1٣" << 1.0 << 1;
    }
    void numeros() {
        QFETCH(QString, texto);
        QFETCH(double, valor);
        QFETCH(int, inteiro);
        QCOMPARE(ValorNumerico(texto), valor);
        QCOMPARE(int(ValorInteiro16(texto)), inteiro);
    }
};

QTEST_GUILESS_MAIN(tst_Comum)
#include "tst_Comum.moc"
