// The frame around every window: menus and tool bar in order, help and About, the two ways of
// leaving, and what a new user tripped over (questions, line breaks, pictures, the README).
#include "BancadaVirtual.h"
#include "CadastroDeTeste.h"
#include "compose/frmMontaMsg.h"
#include "shell/frmInicializa.h"
#include "shell/frmPrincipal.h"
#include "store/BancoDeDados.h"
#include "store/Snapshot.h"
#include "tap/frmShowDoEnvio.h"
#include "ui/frmMensagem.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {
QStringList NomesDasAcoes(const QList<QAction*>& acoes) {
    QStringList nomes;
    for (const QAction* acao : acoes)
        nomes << (acao->isSeparator() ? QStringLiteral("-") : acao->objectName());
    return nomes;
}

// Runs acao on the next modal window to appear, once the current code waits on it.
void NaProximaModal(const std::function<void(QWidget*)>& acao) {
    QTimer::singleShot(0, [acao] {
        QWidget* janela = QApplication::activeModalWidget();
        QVERIFY(janela);
        acao(janela);
    });
}
} // namespace

class TstMolduraPrincipal : public QObject {
    Q_OBJECT

private slots:
    void menusEBotoesNaOrdem() {
        BancadaVirtual b;
        frmPrincipal janela(&b.modem, &b.relogio);
        QStringList menus;
        for (const QAction* acao : janela.menuBar()->actions())
            menus << acao->menu()->objectName() + QLatin1Char(':') +
                         NomesDasAcoes(acao->menu()->actions()).join(QLatin1Char(','));
        QCOMPARE(menus, (QStringList{
                            "mnuArquivo:mnuConfigurarModem,mnuOpcoesAvancadas,-,mnuSair",
                            "mnuGrupos:mnuGruposCadastro,mnuGruposExibirUsuarioGrupo",
                            "mnuUsuarios:mnuUsuariosCadastraNovo,mnuUsuariosVisualizaCadastro",
                            "mnuMensagem:mnuDigitaEnviaMsg,mnuMensagemExibirHistorico",
                            "mnuAjuda:mnuExibirAjuda,-,mnuAjudaSobre",
                        }));
        QStringList botoes;
        for (const QToolButton* botao :
             janela.findChild<QWidget*>("pnlToolBar")->findChildren<QToolButton*>()) {
            botoes << botao->objectName();
        }
        QCOMPARE(botoes,
                 (QStringList{"cmdExibirHistorico", "cmdVisualizaUsuarios", "cmdGrupos", "cmdDiscarEnviar"}));
    }

    void comandosAbremSuasJanelas_data() {
        QTest::addColumn<QString>("comando");
        QTest::addColumn<QString>("janela");
        QTest::addColumn<bool>("ampulheta");
        QTest::newRow("novo usuário") << "mnuUsuariosCadastraNovo"
                                      << "frmCadastraUsuarios" << true;
        QTest::newRow("cadastro pelo menu") << "mnuUsuariosVisualizaCadastro"
                                            << "frmVisualizaUsuarios" << true;
        QTest::newRow("cadastro pelo botão") << "cmdVisualizaUsuarios"
                                             << "frmVisualizaUsuarios" << true;
        QTest::newRow("grupos pelo botão") << "cmdGrupos"
                                           << "frmCadastraGrupo" << true;
        QTest::newRow("opções avançadas") << "mnuOpcoesAvancadas"
                                          << "frmAvancada" << false;
        QTest::newRow("sobre") << "mnuAjudaSobre"
                               << "frmSobre" << false;
    }

    void comandosAbremSuasJanelas() {
        QFETCH(QString, comando);
        QFETCH(QString, janela);
        QFETCH(bool, ampulheta);
        BancadaVirtual b;
        QVERIFY(b.ambiente.AbreBancoVazio());
        frmPrincipal principal(&b.modem, &b.relogio);
        principal.show();
        QString aberta;
        Qt::CursorShape ponteiro = Qt::ArrowCursor;
        NaProximaModal([&](QWidget* modal) {
            aberta = modal->objectName();
            ponteiro = principal.cursor().shape();
            modal->close();
        });
        if (auto* acao = principal.findChild<QAction*>(comando))
            acao->trigger();
        else
            principal.findChild<QToolButton*>(comando)->click();
        QCOMPARE(aberta, janela);
        QCOMPARE(ponteiro == Qt::WaitCursor, ampulheta);
        QCOMPARE(principal.cursor().shape(), Qt::ArrowCursor);
    }

    void ajudaESobre() {
        BancadaVirtual b;
        frmPrincipal janela(&b.modem, &b.relogio);
        janela.show();
        QString aviso, titulo;
        NaProximaModal([&](QWidget* caixa) {
            aviso = static_cast<QMessageBox*>(caixa)->text();
            titulo = caixa->windowTitle();
            static_cast<QMessageBox*>(caixa)->button(QMessageBox::Ok)->click();
        });
        janela.findChild<QAction*>("mnuExibirAjuda")->trigger();
        QCOMPARE(aviso, QStringLiteral("Ajuda ainda não disponível"));
        QCOMPARE(titulo, QStringLiteral("Bipvox"));

        QString sobre;
        NaProximaModal([&](QWidget* dialogo) {
            QCOMPARE(dialogo->objectName(), QStringLiteral("frmSobre"));
            sobre = dialogo->findChild<QLabel*>("pnlMsg")->text();
            dialogo->findChild<QPushButton*>("cmdOkay")->click();
        });
        janela.findChild<QAction*>("mnuAjudaSobre")->trigger();
        // Four lines joined by CR, shown as four lines.
        QCOMPARE(sobre.count(QLatin1Char('\n')), 3);
        QVERIFY(!sobre.contains(QLatin1Char('\r')));
        QVERIFY(!QApplication::activeModalWidget());
    }

    void doisModosDeSair_data() {
        QTest::addColumn<bool>("pelaCaixaDeFechar");
        QTest::newRow("Sair") << false;
        QTest::newRow("caixa de fechar") << true;
    }

    void doisModosDeSair() {
        QFETCH(bool, pelaCaixaDeFechar);
        BancadaVirtual b;
        QVERIFY(b.ambiente.AbreBancoVazio());
        frmPrincipal janela(&b.modem, &b.relogio);
        QList<int> encerrou;
        janela.encerraPrograma = [&encerrou](int codigo) { encerrou << codigo; };
        janela.show();
        if (pelaCaixaDeFechar)
            janela.close();
        else
            janela.findChild<QAction*>("mnuSair")->trigger();
        QVERIFY(!BancoDeDadosAberto());
        QCOMPARE(encerrou, pelaCaixaDeFechar ? QList<int>{} : QList<int>{0});
        // Closed, the last window ends the event loop and with it the program.
        QCOMPARE(janela.isVisible(), !pelaCaixaDeFechar);
        QVERIFY(janela.testAttribute(Qt::WA_QuitOnClose) && QGuiApplication::quitOnLastWindowClosed());
        // No hang-up, the port left as it was.
        QVERIFY(b.modem.linha.isEmpty());
        QVERIFY(b.modem.PortOpen());

        // Once only: a database opened afterwards is not closed by the other way of leaving.
        BancadaVirtual outra;
        QVERIFY(outra.ambiente.AbreBancoVazio());
        if (pelaCaixaDeFechar)
            janela.findChild<QAction*>("mnuSair")->trigger();
        else
            janela.close();
        QVERIFY(BancoDeDadosAberto());
    }

    void perguntaSoPelosBotoes_data() {
        QTest::addColumn<bool>("tentaEscape");
        QTest::newRow("Escape") << true;
        QTest::newRow("caixa de fechar") << false;
    }

    void perguntaSoPelosBotoes() {
        QFETCH(bool, tentaEscape);
        bool continuouAberta = false;
        NaProximaModal([&](QWidget* caixa) {
            if (tentaEscape)
                QTest::keyClick(caixa, Qt::Key_Escape);
            else
                caixa->close();
            continuouAberta = caixa->isVisible();
            static_cast<QMessageBox*>(caixa)->button(QMessageBox::Yes)->click();
        });
        QCOMPARE(MostraMensagem(nullptr, QStringLiteral("Ajustar?"), QStringLiteral("Erro:"), Icone::Critico,
                                Botoes::SimNao),
                 Resposta::Sim);
        QVERIFY(continuouAberta);
    }

    void retornoDeCarroViraQuebraDeLinha() {
        QString mostrado;
        NaProximaModal([&](QWidget* caixa) {
            mostrado = static_cast<QMessageBox*>(caixa)->text();
            caixa->close();
        });
        MostraMensagem(nullptr, QStringLiteral("Ana: recusado\rBia: recusado\r\nfim"),
                       QStringLiteral("Erro(s):"), Icone::Informacao);
        QCOMPARE(mostrado, QStringLiteral("Ana: recusado\nBia: recusado\nfim"));
    }

    void splashSemCortes() {
        RelogioVirtual relogio;
        frmInicializa splash(relogio);
        QCOMPARE(splash.findChild<QLabel*>("pnlVersao")->text(), QStringLiteral("Bipvox 1.0"));
        // Every text of the logo lies inside the picture.
        QSvgRenderer logo(QStringLiteral(":/ui/imagens/logo.svg"));
        for (const char* texto : {"nome", "lema"}) {
            const QRectF caixa = logo.boundsOnElement(QLatin1String(texto));
            QVERIFY2(!caixa.isEmpty() && logo.viewBoxF().contains(caixa), texto);
        }
    }

    void etapasAnunciadas() {
        BancadaVirtual b;
        frmMontaMsg composicao(b.ctx);
        frmShowDoEnvio envio(b.ctx, composicao);
        envio.Titulo(QStringLiteral("Enviando mensagem, aguarde ..."));
        QCOMPARE(envio.accessibleName(), QStringLiteral("Enviando mensagem, aguarde ..."));
    }

    void quebraDigitadaVaiComoLF() {
        BancadaVirtual b;
        QVERIFY(b.ambiente.AbreBancoVazio());
        CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("2345678"));
        b.modem.ModemQueRespondeOK();
        b.modem.QuandoRecebe("ATD", "\r\nCONNECT 9600\r\n", 2.0);
        b.modem.TerminalQueAceitaLogOn();
        b.modem.QuandoRecebe("\x02", "\r\x06\r", 0.5);
        b.modem.QuandoRecebe("\x04\r", "\x1b\x04\r");
        frmMontaMsg janela(b.ctx);
        auto* texto = janela.findChild<QPlainTextEdit*>("txtMensagem");
        QTest::keyClicks(texto, QStringLiteral("Ligar"));
        QTest::keyClick(texto, Qt::Key_Return);
        QTest::keyClicks(texto, QStringLiteral("amanha"));
        janela.findChild<QToolButton*>("cmdEnviar")->click();
        // The example of the README, byte for byte.
        QVERIFY(b.modem.linha.contains("\x02"
                                       "2345678\rLigar\namanha\r\x03"
                                       "5?1\r"));
    }

    void codigosRecusadosDoReadmeExistem() {
        QFile readme(QFINDTESTDATA("../../README.md"));
        QVERIFY(readme.open(QIODevice::ReadOnly));
        const QString texto = QString::fromUtf8(readme.readAll());
        QTemporaryDir pasta;
        QCOMPARE(
            QProcess::execute(qEnvironmentVariable("BIPVOX_CRIABANCO"),
                              {QStringLiteral("--exemplos"), pasta.filePath(QStringLiteral("Pager.Mdb"))}),
            0);
        QVERIFY(AbreBancoDeDados(QStringLiteral("Pager.Mdb"), pasta.path()));
        int codigos = 0;
        auto achados = QRegularExpression(QStringLiteral("--recusar=([0-9,]+)")).globalMatch(texto);
        while (achados.hasNext())
            for (const QString& codigo : achados.next().captured(1).split(QLatin1Char(','))) {
                ++codigos;
                QVERIFY2(
                    !Snapshot(QStringLiteral("Select * From Usuarios Where ID_Pager = ?"), {codigo}).Eof(),
                    qPrintable(codigo));
            }
        QVERIFY(codigos > 0);
        FechaBancoDeDados();
    }
};

QTEST_MAIN(TstMolduraPrincipal)
#include "tst_MolduraPrincipal.moc"
