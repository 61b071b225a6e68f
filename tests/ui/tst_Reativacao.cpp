// Without a window manager nobody gives the keyboard back when a box closes: the program must.
#include "ui/frmMensagem.h"
#include "ui/frmReativacao.h"

#include <QDialog>
#include <QLineEdit>
#include <QtTest>

class tst_Reativacao : public QObject {
    Q_OBJECT

private slots:
    void tecladoVoltaAJanelaDeBaixo_data() {
        QTest::addColumn<Botoes>("botoes");
        QTest::newRow("aviso") << Botoes::OK;
        QTest::newRow("pergunta") << Botoes::SimNao;
    }

    void tecladoVoltaAJanelaDeBaixo() {
        QFETCH(Botoes, botoes);
        ReativacaoDeJanelas reativacao;
        qApp->installEventFilter(&reativacao);
        QDialog janela;
        auto* campo = new QLineEdit(&janela);
        janela.setModal(true);
        janela.show();
        QVERIFY(QTest::qWaitForWindowActive(&janela));
        QTimer::singleShot(0, [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Return); });
        MostraMensagem(&janela, QStringLiteral("Favor digitar a mensagem."), QStringLiteral("Advertência:"),
                       Icone::Informacao, botoes);
        QTRY_COMPARE(QApplication::activeWindow(), &janela);
        QVERIFY(campo->hasFocus());
    }
};

QTEST_MAIN(tst_Reativacao)
#include "tst_Reativacao.moc"
