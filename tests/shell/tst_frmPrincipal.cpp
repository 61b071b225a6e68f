// The main window (start, leave, reopen the port after the modem dialog, boxes in Portuguese)
// and, for every window, its caption and an accessible name on each control a person uses.
#include "AmbienteDeTeste.h"
#include "EnvioDeTeste.h"
#include "ModemRoteirizado.h"
#include "OperadorGravado.h"
#include "RelogioVirtual.h"
#include "compose/frmMontaMsg.h"
#include "settings/frmConfigModem.h"
#include "shell/frmInicializa.h"
#include "shell/frmPrincipal.h"
#include "store/BancoDeDados.h"
#include "tap/frmShowDoEnvio.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QtTest>

class tst_frmPrincipal : public QObject {
    Q_OBJECT

    static QAction* Acao(QWidget& janela, const char* nome) {
        return janela.findChild<QAction*>(QString::fromLatin1(nome));
    }

private slots:
    void iniciaESai() {
        AmbienteDeTeste ambiente;
        QVERIFY(ambiente.AbreBancoVazio());
        FechaBancoDeDados();
        ambiente.EscreveINI("[MODEM]\r\nPorta Serial=1\r\n");
        RelogioVirtual relogio;
        ModemRoteirizado modem(relogio);
        modem.ModemQueRespondeOK();
        frmPrincipal janela(&modem, &relogio);
        QVERIFY(janela.MDIForm_Load(ambiente.Diretorio()));
        QVERIFY(janela.isVisible());
        QCOMPARE(janela.StatusAtual(), QStringLiteral(" Pronto"));
        QVERIFY(BancoDeDadosAberto());
        QVERIFY(relogio.pausas.contains(1.0)); // the splash held start-up for a second
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY(w->objectName() != QStringLiteral("frmInicializa") || !w->isVisible());
        QList<int> codigos;
        janela.encerraPrograma = [&codigos](int codigo) { codigos << codigo; };
        Acao(janela, "mnuSair")->trigger();
        QCOMPARE(codigos, QList<int>{0});
        QVERIFY(!BancoDeDadosAberto());
    }

    void configurarModemReabreAPortaMesmoSemOk() {
        AmbienteDeTeste ambiente;
        const QByteArray ini("[MODEM]\r\nPorta Serial=3\r\n");
        ambiente.EscreveINI(ini);
        RelogioVirtual relogio;
        ModemRoteirizado modem(relogio);
        modem.ModemQueRespondeOK();
        frmPrincipal janela(&modem, &relogio);
        janela.show();
        QVERIFY(modem.setPortOpen(true));
        QTimer::singleShot(0, [] {
            auto* dialogo = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialogo && dialogo->findChild<QWidget*>("optCom3")->property("checked").toBool());
            QTest::keyClick(dialogo, Qt::Key_Escape);
        });
        Acao(janela, "mnuConfigurarModem")->trigger();
        QCOMPARE(ambiente.LeINIBruto(), ini);
        QCOMPARE(modem.fechamentos, 1);
        QCOMPARE(modem.aberturas, 2);
        QCOMPARE(modem.linha, QByteArray("ATZ\rate0\r"));
        QCOMPARE(janela.StatusAtual(), QStringLiteral(" Pronto"));
    }

    void caixasComBotoesEmPortugues() {
        frmPrincipal janela;
        QStringList botoes;
        QTimer::singleShot(0, [&] {
            auto* caixa = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(caixa);
            for (QAbstractButton* b : caixa->buttons())
                botoes << b->text();
            caixa->button(QMessageBox::No)->click();
        });
        QCOMPARE(janela.Mensagem("Pergunta?", "Erro:", Icone::Critico, Botoes::SimNao), Resposta::Nao);
        botoes.sort();
        QCOMPARE(botoes, (QStringList{"Não", "Sim"}));
    }

    void janelas_data() {
        QTest::addColumn<QString>("janela");
        QTest::addColumn<QString>("rotulo"); // object holding the caption; empty: the window title
        QTest::addColumn<QString>("legenda");
        QTest::newRow("principal") << "frmPrincipal"
                                   << "pnlStatus"
                                   << " Pronto";
        QTest::newRow("composição") << "frmMontaMsg"
                                    << "pnlTitulo"
                                    << "Envio de Mensagens";
        QTest::newRow("modem") << "frmConfigModem"
                               << "pnlTituloFundo"
                               << "Configurações do Modem";
        QTest::newRow("envio") << "frmShowDoEnvio"
                               << "pnlTitulo"
                               << "Discando ...";
        QTest::newRow("abertura") << "frmInicializa"
                                  << ""
                                  << "";
    }
    void janelas() {
        QFETCH(QString, janela);
        QFETCH(QString, rotulo);
        QFETCH(QString, legenda);
        AmbienteDeTeste ambiente;
        QVERIFY(ambiente.AbreBancoVazio());
        RelogioVirtual relogio;
        ModemRoteirizado modem(relogio);
        OperadorGravado operador;
        Contexto ctx{relogio, modem, operador};
        PedidoDeTeste pedido;
        std::unique_ptr<QWidget> w;
        if (janela == QLatin1String("frmPrincipal"))
            w = std::make_unique<frmPrincipal>(&modem, &relogio);
        else if (janela == QLatin1String("frmMontaMsg"))
            w = std::make_unique<frmMontaMsg>(ctx);
        else if (janela == QLatin1String("frmConfigModem"))
            w = std::make_unique<frmConfigModem>();
        else if (janela == QLatin1String("frmShowDoEnvio"))
            w = std::make_unique<frmShowDoEnvio>(ctx, pedido);
        else
            w = std::make_unique<frmInicializa>(relogio);
        QCOMPARE(rotulo.isEmpty() ? w->windowTitle() : w->findChild<QLabel*>(rotulo)->text(), legenda);
        QStringList semNome;
        for (QWidget* c : w->findChildren<QWidget*>()) {
            const auto* botao = qobject_cast<QAbstractButton*>(c);
            const bool usado = botao || qobject_cast<QComboBox*>(c) || qobject_cast<QLineEdit*>(c) ||
                               qobject_cast<QPlainTextEdit*>(c);
            if (usado && !c->objectName().startsWith(QLatin1String("qt_")) && c->accessibleName().isEmpty() &&
                !(botao && !botao->text().isEmpty()))
                semNome << c->objectName();
        }
        QVERIFY2(semNome.isEmpty(), qPrintable(semNome.join(' ')));
    }
};

QTEST_MAIN(tst_frmPrincipal)
#include "tst_frmPrincipal.moc"
