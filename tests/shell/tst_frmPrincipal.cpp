// The main window: caption, menus, the status line fitted to the footer bar, leaving.
#include "AmbienteDeTeste.h"
#include "ModemRoteirizado.h"
#include "RelogioVirtual.h"
#include "settings/PerfilINI.h"
#include "shell/frmPrincipal.h"
#include "store/BancoDeDados.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

class TstFrmPrincipal : public QObject {
    Q_OBJECT

    static QAction* Acao(QWidget& janela, const char* nome) {
        return janela.findChild<QAction*>(QString::fromLatin1(nome));
    }

private slots:
    void inicializaComModemEBanco() {
        AmbienteDeTeste ambiente;
        QVERIFY(ambiente.AbreBancoVazio());
        FechaBancoDeDados();
        ambiente.EscreveINI("[MODEM]\r\nPorta Serial=1\r\n");
        RelogioVirtual relogio;
        ModemRoteirizado modem(relogio);
        modem.ModemQueRespondeOK();
        frmPrincipal janela(&modem, &relogio);

        QVERIFY(janela.MDIForm_Load(ambiente.Diretorio()));
        QCOMPARE(janela.windowTitle(), QStringLiteral("Bipvox 1.0"));
        QVERIFY(janela.isVisible());
        QCOMPARE(janela.StatusAtual(), QStringLiteral(" Pronto"));
        QVERIFY(BancoDeDadosAberto());
        // The splash window held start-up for one second and is gone.
        QVERIFY(relogio.pausas.contains(1.0));
        QVERIFY(!janela.findChild<QWidget*>("frmInicializa"));
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY(w->objectName() != QStringLiteral("frmInicializa") || !w->isVisible());

        // Menus as the person reads them.
        QCOMPARE(janela.findChild<QMenu*>("mnuArquivo")->title(), QStringLiteral("&Arquivo"));
        QCOMPARE(Acao(janela, "mnuConfigurarModem")->text(), QStringLiteral("&Configurar Modem"));
        QCOMPARE(Acao(janela, "mnuSair")->text(), QStringLiteral("Sai&r"));

        // Leaving by the close box closes the database once.
        janela.close();
        QVERIFY(!BancoDeDadosAberto());
    }

    void statusSempre90TwipsMaisEstreita() {
        RelogioVirtual relogio;
        ModemRoteirizado modem(relogio);
        frmPrincipal janela(&modem, &relogio);
        janela.show();
        auto* rodape = janela.findChild<QWidget*>("pnlFooterBar");
        auto* status = janela.findChild<QLabel*>("pnlStatus");
        const int margem = 90 * janela.logicalDpiX() / 1440;
        for (int largura : {500, 900, 640}) {
            janela.resize(largura, 400);
            QApplication::processEvents();
            QTRY_COMPARE_WITH_TIMEOUT(status->width(), rodape->width() - margem, 2000);
        }
        if (janela.logicalDpiX() == 96)
            QCOMPARE(margem, 6);
    }

    void sairFechaOBancoUmaVezEEncerra() {
        AmbienteDeTeste ambiente;
        QVERIFY(ambiente.AbreBancoVazio());
        RelogioVirtual relogio;
        ModemRoteirizado modem(relogio);
        frmPrincipal janela(&modem, &relogio);
        QList<int> codigos;
        janela.encerraPrograma = [&codigos](int codigo) { codigos << codigo; };
        Acao(janela, "mnuSair")->trigger();
        QCOMPARE(codigos, QList<int>{0});
        QVERIFY(!BancoDeDadosAberto());
    }

    void configurarModemReabreAPortaMesmoSemOk() {
        AmbienteDeTeste ambiente;
        const QByteArray ini("[MODEM]\r\nPorta Serial=3\r\n[DISCAGEM]\r\nLinha=Pulso\r\nPrefixo=021\r\n");
        ambiente.EscreveINI(ini);
        RelogioVirtual relogio;
        ModemRoteirizado modem(relogio);
        modem.ModemQueRespondeOK();
        frmPrincipal janela(&modem, &relogio);
        janela.show();
        QVERIFY(modem.setPortOpen(true));

        // The dialog comes up filled from the file; the person leaves it with Escape.
        QTimer::singleShot(0, [] {
            auto* dialogo = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialogo);
            QCOMPARE(dialogo->objectName(), QStringLiteral("frmConfigModem"));
            QVERIFY(dialogo->findChild<QWidget*>("optCom3")->property("checked").toBool());
            QTest::keyClick(dialogo, Qt::Key_Escape);
        });
        Acao(janela, "mnuConfigurarModem")->trigger();

        QCOMPARE(ambiente.LeINIBruto(), ini);
        QCOMPARE(modem.fechamentos, 1);
        QCOMPARE(modem.aberturas, 2);
        QCOMPARE(modem.commPort, qint16(3));
        QCOMPARE(modem.linha, QByteArray("ATZ\rate0\r"));
        QCOMPARE(janela.StatusAtual(), QStringLiteral(" Pronto"));
    }

    void caixasComBotoesEmPortugues() {
        RelogioVirtual relogio;
        ModemRoteirizado modem(relogio);
        frmPrincipal janela(&modem, &relogio);
        janela.show();
        QStringList botoes;
        QString titulo;
        QTimer::singleShot(0, [&] {
            auto* caixa = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(caixa);
            titulo = caixa->windowTitle();
            for (QAbstractButton* b : caixa->buttons())
                botoes << b->text();
            caixa->button(QMessageBox::No)->click();
        });
        const Resposta r = janela.Mensagem("Pergunta?", "Erro:", Icone::Critico, Botoes::SimNao);
        QCOMPARE(r, Resposta::Nao);
        QCOMPARE(titulo, QStringLiteral("Erro:"));
        botoes.sort();
        QCOMPARE(botoes, (QStringList{"Não", "Sim"}));
    }
};

QTEST_MAIN(TstFrmPrincipal)
#include "tst_frmPrincipal.moc"
