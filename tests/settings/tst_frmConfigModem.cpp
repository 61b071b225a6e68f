// The modem settings dialog: filled from the file; "Ok" writes the choices, closing does not.
#include "AmbienteDeTeste.h"
#include "common/Modulo.h"
#include "settings/PerfilINI.h"
#include "settings/frmConfigModem.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {
QStringList Marcadas(const frmConfigModem& f) {
    QStringList nomes;
    for (QRadioButton* b : f.findChildren<QRadioButton*>())
        if (b->isChecked())
            nomes << b->objectName();
    nomes.sort();
    return nomes;
}
} // namespace

class tst_frmConfigModem : public QObject {
    Q_OBJECT
private slots:
    void preencheDoArquivo_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QStringList>("marcadas");
        QTest::addColumn<QString>("prefixo");
        QTest::newRow("COM 3, Pulso, 021")
            << QByteArray("[MODEM]\r\nPorta Serial=3\r\n[DISCAGEM]\r\nLinha=Pulso\r\nPrefixo=021\r\n")
            << QStringList{"optCom3", "optDiscagemPulso"} << "021";
        QTest::newRow("sem arquivo") << QByteArray() << QStringList{"optDiscagemTom"} << "011";
        QTest::newRow("valores estranhos")
            << QByteArray("[MODEM]\r\nPorta Serial=5\r\n[DISCAGEM]\r\nLinha=tom\r\nPrefixo=\r\n")
            << QStringList{} << "";
    }
    void preencheDoArquivo() {
        QFETCH(QByteArray, ini);
        QFETCH(QStringList, marcadas);
        QFETCH(QString, prefixo);
        AmbienteDeTeste ambiente;
        ambiente.EscreveINI(ini);
        frmConfigModem f;
        f.PreencheDoArquivo();
        QCOMPARE(Marcadas(f), marcadas);
        QCOMPARE(f.findChild<QLineEdit*>("txtPrefixo")->text(), prefixo);
    }

    void okGravaEFecharNao() {
        AmbienteDeTeste ambiente;
        const QByteArray antes("; a mao\r\n[MODEM]\r\nPorta Serial=1\r\n");
        ambiente.EscreveINI(antes);
        {
            frmConfigModem f;
            f.PreencheDoArquivo();
            f.findChild<QRadioButton*>("optCom2")->setChecked(true);
            f.reject();
        }
        QCOMPARE(ambiente.LeINIBruto(), antes);
        frmConfigModem f;
        f.findChild<QRadioButton*>("optCom2")->setChecked(true);
        f.findChild<QRadioButton*>("optDiscagemTom")->setChecked(true);
        f.findChild<QLineEdit*>("txtPrefixo")->setText(QStringLiteral(" 21x"));
        QTest::mouseClick(f.findChild<QPushButton*>("cmdOkay"), Qt::LeftButton);
        QCOMPARE(LeINI("MODEM", "Porta Serial", "VAZIO"), QStringLiteral("2"));
        QCOMPARE(LeINI("DISCAGEM", "Linha", "VAZIO"), QStringLiteral("Tom"));
        QVERIFY(ambiente.LeINIBruto().contains("Prefixo= 21x\r\n"));
        QCOMPARE(Modulo::PortaModem, qint16(2));
        QCOMPARE(f.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(tst_frmConfigModem)
#include "tst_frmConfigModem.moc"
