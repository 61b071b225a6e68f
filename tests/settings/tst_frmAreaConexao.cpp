// The "Conexão" area of the advanced options: filled from the file, checked before writing,
// and writing only what the operator changed.
#include "AmbienteDeTeste.h"
#include "settings/Conexao.h"
#include "settings/PerfilINI.h"
#include "settings/frmAreaConexao.h"

#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

namespace {
// Closes the box that Valida shows for a field it refuses.
void FechaCaixa() {
    QTimer::singleShot(0, [] {
        if (QWidget* caixa = QApplication::activeModalWidget())
            caixa->close();
    });
}
} // namespace

class TstfrmAreaConexao : public QObject {
    Q_OBJECT
private slots:
    void gravacao_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("tipo");       // option to tick: optModem, optDireta, optTCP
        QTest::addColumn<QStringList>("campos"); // configurações, endereço, porta, senha
        QTest::addColumn<bool>("valido");
        QTest::addColumn<QByteArray>("depois");
        QTest::newRow("intocada") << QByteArray() << "optModem" << QStringList{"9600,e,7,1", "", "", ""}
                                  << true << QByteArray();
        QTest::newRow("TCP") << QByteArray() << "optTCP"
                             << QStringList{"9600,e,7,1", " 10.0.0.5 ", "5000", ""} << true
                             << QByteArray(
                                    "[CONEX\xc3O]\r\nTipo=TCP\r\nEndere\xe7o=10.0.0.5\r\nPorta TCP=5000\r\n");
        QTest::newRow("direta 8N1 com senha")
            << QByteArray() << "optDireta" << QStringList{"9600,n,8,1", "", "", "s3nha"} << true
            << QByteArray("[CONEX\xc3O]\r\nTipo=Direta\r\nSenha=s3nha\r\n[MODEM]\r\nConfigura\xe7\xf5"
                          "es=9600,n,8,1\r\n");
        QTest::newRow("de volta ao modem")
            << QByteArray("[CONEX\xc3O]\r\nTipo=TCP\r\n") << "optModem"
            << QStringList{"9600,e,7,1", "", "", ""} << true << QByteArray("[CONEX\xc3O]\r\nTipo=Modem\r\n");
        QTest::newRow("TCP sem porta")
            << QByteArray() << "optTCP" << QStringList{"", "central", "", ""} << false << QByteArray();
        QTest::newRow("TCP sem endereço")
            << QByteArray() << "optTCP" << QStringList{"", " ", "5000", ""} << false << QByteArray();
        QTest::newRow("paridade inválida")
            << QByteArray() << "optDireta" << QStringList{"9600,x,8,1", "", "", ""} << false << QByteArray();
    }
    void gravacao() {
        QFETCH(QByteArray, ini);
        QFETCH(QString, tipo);
        QFETCH(QStringList, campos);
        QFETCH(bool, valido);
        QFETCH(QByteArray, depois);
        AmbienteDeTeste ambiente;
        if (!ini.isEmpty())
            ambiente.EscreveINI(ini);
        frmAreaConexao area;
        area.Preenche();
        area.findChild<QRadioButton*>(tipo)->setChecked(true);
        const char* nomes[] = {"txtConfiguracoes", "txtEndereco", "txtPortaTCP", "txtSenha"};
        for (int i = 0; i < 4; ++i)
            area.findChild<QLineEdit*>(nomes[i])->setText(campos[i]);

        FechaCaixa();
        QCOMPARE(area.Valida(), valido);
        if (valido)
            area.Grava();
        QCOMPARE(ambiente.LeINIBruto(), depois.isEmpty() ? ini : depois);
    }

    void preenchimento() {
        AmbienteDeTeste ambiente;
        ambiente.EscreveINI(
            "[CONEX\xc3O]\r\nTipo=TCP\r\nEndere\xe7o=central\r\nPorta TCP=7000\r\nSenha=x\r\n");
        frmAreaConexao area;
        area.Preenche();
        QVERIFY(area.findChild<QRadioButton*>("optTCP")->isChecked());
        QCOMPARE(area.findChild<QLineEdit*>("txtEndereco")->text(), QStringLiteral("central"));
        QVERIFY(area.findChild<QLineEdit*>("txtPortaTCP")->isEnabled());
        QVERIFY(!area.findChild<QLineEdit*>("txtConfiguracoes")->isEnabled());
        QCOMPARE(area.findChild<QLineEdit*>("txtConfiguracoes")->text(), QStringLiteral("9600,e,7,1"));
        const auto* senha = area.findChild<QLineEdit*>("txtSenha");
        QCOMPARE(senha->text(), QStringLiteral("x"));
        QCOMPARE(senha->echoMode(), QLineEdit::Password);
        QCOMPARE(senha->accessibleName(), QStringLiteral("Senha de acesso"));
    }
};

QTEST_MAIN(TstfrmAreaConexao)
#include "tst_frmAreaConexao.moc"
