// The modem settings dialog: how it is filled from the file and what "Ok" writes.
#include "AmbienteDeTeste.h"
#include "common/Modulo.h"
#include "settings/PerfilINI.h"
#include "settings/frmConfigModem.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

class TstFrmConfigModem : public QObject {
    Q_OBJECT

    static QRadioButton* Opcao(frmConfigModem& f, const char* nome) {
        return f.findChild<QRadioButton*>(QString::fromLatin1(nome));
    }
    static QStringList Marcadas(frmConfigModem& f) {
        QStringList nomes;
        for (QRadioButton* b : f.findChildren<QRadioButton*>())
            if (b->isChecked())
                nomes << b->objectName();
        nomes.sort();
        return nomes;
    }

private slots:
    void legendas() {
        AmbienteDeTeste ambiente;
        frmConfigModem f;
        QCOMPARE(f.findChild<QLabel*>("pnlTituloFundo")->text(), QStringLiteral("Configurações do Modem"));
        QCOMPARE(f.findChild<QLabel*>("pnlMsg")->text(), QStringLiteral(" Qual o código DDD da sua cidade?"));
        QCOMPARE(f.findChild<QPushButton*>("cmdOkay")->text(), QStringLiteral("Ok"));
        for (int i = 1; i <= 4; ++i)
            QCOMPARE(f.findChild<QRadioButton*>(QStringLiteral("optCom%1").arg(i))->text(),
                     QStringLiteral("COM %1").arg(i));
        QVERIFY(Marcadas(f).isEmpty()); // as designed: nothing chosen
        QVERIFY(f.findChild<QLineEdit*>("txtPrefixo")->text().isEmpty());
        QVERIFY(!f.findChild<QLineEdit*>("txtPrefixo")->accessibleName().isEmpty());
    }

    void preencheDoArquivo_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QStringList>("marcadas");
        QTest::addColumn<QString>("prefixo");
        QTest::newRow("COM 3, Pulso, 021")
            << QByteArray("[MODEM]\r\nPorta Serial=3\r\n[DISCAGEM]\r\nLinha=Pulso\r\nPrefixo=021\r\n")
            << QStringList{"optCom3", "optDiscagemPulso"} << QStringLiteral("021");
        QTest::newRow("sem arquivo") << QByteArray() << QStringList{"optDiscagemTom"}
                                     << QStringLiteral("011");
        QTest::newRow("valores estranhos")
            << QByteArray("[MODEM]\r\nPorta Serial=5\r\n[DISCAGEM]\r\nLinha=tom\r\nPrefixo=\r\n")
            << QStringList{} << QString();
    }
    void preencheDoArquivo() {
        QFETCH(QByteArray, ini);
        QFETCH(QStringList, marcadas);
        QFETCH(QString, prefixo);
        AmbienteDeTeste ambiente;
        if (!ini.isEmpty())
            ambiente.EscreveINI(ini);
        frmConfigModem f;
        f.PreencheDoArquivo();
        QCOMPARE(Marcadas(f), marcadas);
        QCOMPARE(f.findChild<QLineEdit*>("txtPrefixo")->text(), prefixo);
    }

    void okGravaAsEscolhas() {
        AmbienteDeTeste ambiente;
        frmConfigModem f;
        Opcao(f, "optCom2")->setChecked(true);
        Opcao(f, "optDiscagemTom")->setChecked(true);
        f.findChild<QLineEdit*>("txtPrefixo")->setText(QStringLiteral(" 21x"));
        QTest::mouseClick(f.findChild<QPushButton*>("cmdOkay"), Qt::LeftButton);
        QCOMPARE(LeINI("MODEM", "Porta Serial", "VAZIO"), QStringLiteral("2"));
        QCOMPARE(LeINI("DISCAGEM", "Linha", "VAZIO"), QStringLiteral("Tom"));
        // Written unchanged; read back as Windows reads profile values, blanks around it dropped.
        QVERIFY(ambiente.LeINIBruto().contains("Prefixo= 21x\r\n"));
        QCOMPARE(LeINI("DISCAGEM", "Prefixo", "VAZIO"), QStringLiteral("21x"));
        QCOMPARE(Modulo::PortaModem, qint16(2));
        QCOMPARE(f.result(), int(QDialog::Accepted));
    }

    void okSemPortaGravaVazioEZera() {
        AmbienteDeTeste ambiente;
        ambiente.EscreveINI("[MODEM]\r\nPorta Serial=1\r\n");
        Modulo::PortaModem = 1;
        frmConfigModem f;
        f.cmdOkay_Click();
        QCOMPARE(LeINI("MODEM", "Porta Serial", "VAZIO"), QString());
        QCOMPARE(LeINI("DISCAGEM", "Linha", "VAZIO"), QString());
        QCOMPARE(Modulo::PortaModem, qint16(0));
    }

    void fecharSemOkNaoGravaNada() {
        AmbienteDeTeste ambiente;
        const QByteArray antes("; configurado a mao\r\n[MODEM]\r\nPorta Serial=1\r\n");
        ambiente.EscreveINI(antes);
        frmConfigModem f;
        f.PreencheDoArquivo();
        f.show();
        Opcao(f, "optCom4")->setChecked(true);
        QTest::keyClick(&f, Qt::Key_Escape);
        QVERIFY(!f.isVisible());
        QCOMPARE(ambiente.LeINIBruto(), antes);
    }
};

QTEST_MAIN(TstFrmConfigModem)
#include "tst_frmConfigModem.moc"
