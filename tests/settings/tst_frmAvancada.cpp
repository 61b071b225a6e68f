// The advanced options dialog: filled from the settings file when shown, written only by "Ok",
// and read again by the next dialling.
#include "AmbienteDeTeste.h"
#include "common/Win1252.h"
#include "modem/Discagem.h"
#include "settings/frmAvancada.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class TstFrmAvancada : public QObject {
    Q_OBJECT

private slots:
    void preencheEGrava_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("mostrado");  // prefix, PABX box, AutoEnviar box as filled
        QTest::addColumn<QString>("acao");      // "ok", "esc", or "ok:PREFIXO" after ticking both boxes
        QTest::addColumn<QByteArray>("depois"); // the whole file afterwards; empty: unchanged
        QTest::addColumn<QString>("discagem");  // the next dial line
        QTest::newRow("sem arquivo, Ok cria as três chaves em ordem")
            << QByteArray() << "|00"
            << "ok" << ParaWin1252("[DISCAGEM]\r\nPrefixoPABX=\r\nPABX=Não\r\n[OPÇÕES]\r\nAutoEnviar=Não\r\n")
            << "ATDP W3311-2400\r";
        QTest::newRow("sem arquivo, Escape não grava") << QByteArray() << "|00"
                                                       << "esc" << QByteArray() << "ATDP 3311-2400\r";
        QTest::newRow("Sim marca")
            << ParaWin1252("[DISCAGEM]\r\nPABX=Sim\r\nPrefixoPABX=0\r\n[OPÇÕES]\r\nAutoEnviar=Sim\r\n")
            << "0|11"
            << "esc" << QByteArray() << "ATX3DP 0W3311-2400\r";
        QTest::newRow("sim minúsculo marca, mas não é Sim para a discagem")
            << ParaWin1252("[DISCAGEM]\r\nPABX=sim\r\n[OPÇÕES]\r\nAutoEnviar=x\r\n") << "|11"
            << "esc" << QByteArray() << "ATDP 3311-2400\r";
        QTest::newRow("Não desmarca; Ok com as caixas marcadas grava Sim")
            << ParaWin1252("[DISCAGEM]\r\nPABX=Não\r\nPrefixoPABX=9\r\n[OPÇÕES]\r\nAutoEnviar=Não\r\n")
            << "9|00"
            << "ok:00"
            << ParaWin1252("[DISCAGEM]\r\nPABX=Sim\r\nPrefixoPABX=00\r\n[OPÇÕES]\r\nAutoEnviar=Sim\r\n")
            << "ATX3DP 00W3311-2400\r";
    }
    void preencheEGrava() {
        QFETCH(QByteArray, ini);
        QFETCH(QString, acao);
        QFETCH(QByteArray, depois);
        AmbienteDeTeste ambiente;
        if (!ini.isNull())
            ambiente.EscreveINI(ini);
        const QByteArray antes = ambiente.LeINIBruto();
        frmAvancada dialogo;
        auto* txtPrefixo = dialogo.findChild<QLineEdit*>(QStringLiteral("txtPrefixo"));
        auto* chkPABX = dialogo.findChild<QCheckBox*>(QStringLiteral("chkPABX"));
        auto* chkAutoEnviar = dialogo.findChild<QCheckBox*>(QStringLiteral("chkAutoEnviar"));
        txtPrefixo->setText(QStringLiteral("lixo"));
        dialogo.show();
        QTEST(QStringLiteral("%1|%2%3")
                  .arg(txtPrefixo->text())
                  .arg(chkPABX->isChecked())
                  .arg(chkAutoEnviar->isChecked()),
              "mostrado");
        if (acao == QLatin1String("esc")) {
            chkPABX->toggle();
            QTest::keyClick(&dialogo, Qt::Key_Escape);
        } else {
            if (acao.startsWith(QLatin1String("ok:"))) {
                txtPrefixo->setText(acao.mid(3));
                chkPABX->setChecked(true);
                chkAutoEnviar->setChecked(true);
            }
            dialogo.findChild<QPushButton*>(QStringLiteral("cmdOkay"))->click();
        }
        QVERIFY(!dialogo.isVisible());
        QCOMPARE(ambiente.LeINIBruto(), depois.isEmpty() ? antes : depois);
        QTEST(MontaLinhaDeDiscagem(), "discagem");
    }
};

QTEST_MAIN(TstFrmAvancada)
#include "tst_frmAvancada.moc"
