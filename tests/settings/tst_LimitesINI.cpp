// The settings file at its edges: too large, a write that would pass the limit, blanks and the
// encoding kept through a write.
#include "BancadaVirtual.h"
#include "common/Win1252.h"
#include "modem/Discagem.h"
#include "settings/PerfilINI.h"

#include <QtTest>

class TstLimitesINI : public QObject {
    Q_OBJECT
private slots:
    void gravacao_data() {
        QTest::addColumn<QByteArray>("antes");
        QTest::addColumn<QString>("valor"); // written to [A] C, twice
        QTest::addColumn<QByteArray>("depois");
        QTest::addColumn<QString>("b"); // [A] B read afterwards
        const QByteArray quase = "[A]\r\nB=1\r\n;" + QByteArray(TamanhoMaximoDoINI - 20, 'x') + "\r\n";
        QTest::newRow("passaria do limite") << quase << QString(50, 'y') << quase << "1";
        QTest::newRow("brancos à esquerda")
            << QByteArray("[A]\r\nB=1\r\nC=  x\r\n") << "  y" << QByteArray("[A]\r\nB=1\r\nC=  y\r\n") << "1";
        // Read as Windows-1252 because of the 0xFF; without it the rest would be valid UTF-8.
        QTest::newRow("Win-1252 continua Win-1252")
            << QByteArray("[A]\r\nB=\xC3\xA7\r\nC=\xFF\r\n") << "x"
            << QByteArray("; Codifica\xE7\xE3o: Windows-1252\r\n[A]\r\nB=\xC3\xA7\r\nC=x\r\n")
            << "\xC3\x83\xC2\xA7";
        QTest::newRow("UTF-8 continua UTF-8")
            << QByteArray("[A]\nB=\xC3\xA7\n") << "ã" << QByteArray("[A]\nB=\xC3\xA7\nC=\xC3\xA3\n") << "ç";
    }
    void gravacao() {
        QFETCH(QByteArray, antes);
        QFETCH(QString, valor);
        QFETCH(QByteArray, depois);
        QFETCH(QString, b);
        AmbienteDeTeste ambiente;
        ambiente.EscreveINI(antes);
        for (int i = 0; i < 2; ++i)
            GravaINI(QStringLiteral("A"), QStringLiteral("C"), valor);
        QCOMPARE(ambiente.LeINIBruto(), depois);
        QCOMPARE(LeINI(QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("?")), b);
    }

    void arquivoGrandeDemaisEhRecusado() {
        BancadaVirtual b;
        b.ambiente.EscreveINI("[DISCAGEM]\r\nTelefone=5555\r\n;" + QByteArray(TamanhoMaximoDoINI, 'x'));
        QCOMPARE(LeINI(QStringLiteral("DISCAGEM"), QStringLiteral("Telefone"), QStringLiteral("?")),
                 QStringLiteral("?"));
        // Nothing is dialled with defaults in place of the refused settings.
        QVERIFY(!DiscaOperadora(b.ctx));
        QVERIFY(b.modem.linha.isEmpty());
        QVERIFY(b.operador.TextosDasCaixas().value(0).contains(QStringLiteral("limite é 1024 KB")));
    }
};

QTEST_GUILESS_MAIN(TstLimitesINI)
#include "tst_LimitesINI.moc"
