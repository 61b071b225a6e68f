// The frame around every window: its commands, the two ways of leaving, and what a new user
// tripped over (questions, line breaks, pictures, the README).
#include "BancadaVirtual.h"
#include "compose/frmMontaMsg.h"
#include "shell/frmPrincipal.h"
#include "store/BancoDeDados.h"
#include "store/Snapshot.h"
#include "tap/frmShowDoEnvio.h"
#include "ui/frmMensagem.h"

#include <QAction>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {
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
    void comandosAbremSuasJanelas_data() {
        QTest::addColumn<QString>("caso"); // command|window it opens|hourglass meanwhile?
        QTest::newRow("novo usuário") << "mnuUsuariosCadastraNovo|frmCadastraUsuarios|s";
        QTest::newRow("cadastro pelo menu") << "mnuUsuariosVisualizaCadastro|frmVisualizaUsuarios|s";
        QTest::newRow("cadastro pelo botão") << "cmdVisualizaUsuarios|frmVisualizaUsuarios|s";
        QTest::newRow("grupos pelo botão") << "cmdGrupos|frmCadastraGrupo|s";
        QTest::newRow("opções avançadas") << "mnuOpcoesAvancadas|frmAvancada|";
        QTest::newRow("sobre") << "mnuAjudaSobre|frmSobre|";
        QTest::newRow("ajuda") << "mnuExibirAjuda|caixaDeMensagem|";
    }
    void comandosAbremSuasJanelas() {
        QFETCH(QString, caso);
        const QStringList c = caso.split(QLatin1Char('|'));
        BancadaVirtual b;
        QVERIFY(b.ambiente.AbreBancoVazio());
        frmPrincipal principal(&b.modem, &b.relogio);
        principal.show();
        QString aberta, texto;
        Qt::CursorShape ponteiro = Qt::ArrowCursor;
        NaProximaModal([&](QWidget* modal) {
            aberta = modal->objectName();
            ponteiro = principal.cursor().shape();
            if (auto* sobre = modal->findChild<QLabel*>("pnlMsg"))
                texto = sobre->text();
            modal->close();
        });
        if (auto* acao = principal.findChild<QAction*>(c[0]))
            acao->trigger();
        else
            principal.findChild<QToolButton*>(c[0])->click();
        QCOMPARE(aberta, c[1]);
        QCOMPARE(ponteiro == Qt::WaitCursor, !c[2].isEmpty());
        QCOMPARE(principal.cursor().shape(), Qt::ArrowCursor);
        if (aberta == QLatin1String("frmSobre")) // four lines joined by CR, shown as four lines
            QVERIFY(texto.count(QLatin1Char('\n')) == 3 && !texto.contains(QLatin1Char('\r')));
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
        QVERIFY(b.modem.linha.isEmpty() && b.modem.PortOpen()); // no hang-up
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
        QString mostrado;
        NaProximaModal([&](QWidget* caixa) {
            if (tentaEscape)
                QTest::keyClick(caixa, Qt::Key_Escape);
            else
                caixa->close();
            continuouAberta = caixa->isVisible();
            mostrado = static_cast<QMessageBox*>(caixa)->text();
            static_cast<QMessageBox*>(caixa)->button(QMessageBox::Yes)->click();
        });
        QCOMPARE(MostraMensagem(nullptr, QStringLiteral("Ana: recusado\rBia\r\nAjustar?"),
                                QStringLiteral("Erro:"), Icone::Critico, Botoes::SimNao),
                 Resposta::Sim);
        QVERIFY(continuouAberta);
        QCOMPARE(mostrado, QStringLiteral("Ana: recusado\nBia\nAjustar?"));
    }

    void figurasEEtapas() {
        // Every text of the logo lies inside the picture.
        QSvgRenderer logo(QStringLiteral(":/ui/imagens/logo.svg"));
        for (const char* texto : {"nome", "lema"}) {
            const QRectF caixa = logo.boundsOnElement(QLatin1String(texto));
            QVERIFY2(!caixa.isEmpty() && logo.viewBoxF().contains(caixa), texto);
        }
        BancadaVirtual b;
        frmMontaMsg composicao(b.ctx);
        frmShowDoEnvio envio(b.ctx, composicao);
        envio.Titulo(QStringLiteral("Discando ..."));
        QCOMPARE(envio.accessibleName(), QStringLiteral("Discando ..."));
    }

    void codigosRecusadosDoReadmeExistem() {
        QFile readme(QFINDTESTDATA("../../README.md"));
        QVERIFY(readme.open(QIODevice::ReadOnly));
        QTemporaryDir pasta;
        QCOMPARE(
            QProcess::execute(qEnvironmentVariable("BIPVOX_CRIABANCO"),
                              {QStringLiteral("--exemplos"), pasta.filePath(QStringLiteral("Pager.Mdb"))}),
            0);
        QVERIFY(AbreBancoDeDados(QStringLiteral("Pager.Mdb"), pasta.path()));
        int codigos = 0;
        auto achados = QRegularExpression(QStringLiteral("--recusar=([0-9,]+)"))
                           .globalMatch(QString::fromUtf8(readme.readAll()));
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
