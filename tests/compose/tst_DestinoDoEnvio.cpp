// A send goes to exactly the recipient the composition window shows, of the kind shown,
// however the operator reached the send button (mouse, keyboard, window activation).
#include "BancadaVirtual.h"
#include "CadastroDeTeste.h"
#include "common/Win1252.h"
#include "compose/frmMontaMsg.h"

#include <QApplication>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QtTest>

class TstDestinoDoEnvio : public QObject {
    Q_OBJECT
    std::unique_ptr<BancadaVirtual> b;

    template <typename T> T* Controle(QWidget& janela, const char* nome) {
        return janela.findChild<T*>(QLatin1String(nome));
    }

private slots:
    void init() {
        b = std::make_unique<BancadaVirtual>();
        QVERIFY(b->ambiente.AbreBancoVazio());
        // Group identifiers equal user identifiers, so a kind mix-up pages someone else.
        const qint32 ana = CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("100"));
        const qint32 bruno = CadastraUsuario(QStringLiteral("Bruno"), QStringLiteral("200"));
        const qint32 carla = CadastraUsuario(QStringLiteral("Carla"), QStringLiteral("300"));
        CadastraGrupo(QStringLiteral("Vendas"), {ana, bruno});
        CadastraGrupo(QStringLiteral("Diretoria"), {carla});
        b->modem.ModemQueRespondeOK();
        b->modem.QuandoRecebe("ATD", "\r\nCONNECT 9600\r\n", 2.0);
        b->modem.TerminalQueAceitaLogOn();
        b->modem.QuandoRecebe("\x02", "\r\x06\r", 0.5);
        b->modem.QuandoRecebe("\x04\r", "\x1b\x04\r");
    }
    void cleanup() { b.reset(); }

    void enviaAoDestinatarioMostrado_data() {
        // groups listed at opening?|how the operator gets to the send|recipient shown|only pager paged
        QTest::addColumn<QString>("caso");
        QTest::newRow("clique em Por Grupo com a janela inativa depois de um envio")
            << "|reativa+clica-grupo|Diretoria|300";
        QTest::newRow("Tab da mensagem chega a Enviar") << "|segundo+tab-envia|Bruno|200";
        QTest::newRow("foco pelos botões de listagem não muda nada") << "|segundo+foco-nos-botoes|Bruno|200";
        QTest::newRow("Espaço em Por Usuário troca o modo") << "g|tab-espaco-usuario|Ana|100";
    }
    void enviaAoDestinatarioMostrado() {
        QFETCH(QString, caso);
        const QStringList c = caso.split(QLatin1Char('|'));
        const QString acao = c[1];
        if (!c[0].isEmpty())
            b->ambiente.EscreveINI(ParaWin1252("[LISTAGEM]\r\nOpção=Grupo\r\n"));
        frmMontaMsg janela(b->ctx);
        auto* cmbUsuario = Controle<QComboBox>(janela, "cmbUsuario");
        auto* txtMensagem = Controle<QPlainTextEdit>(janela, "txtMensagem");
        auto* optUsuario = Controle<QRadioButton>(janela, "optListaPorUsuario");
        auto* optGrupo = Controle<QRadioButton>(janela, "optListaPorGrupo");
        auto* cmdEnviar = Controle<QToolButton>(janela, "cmdEnviar");
        janela.show();
        QApplication::setActiveWindow(&janela);
        QVERIFY(QTest::qWaitForWindowActive(&janela));
        if (acao.startsWith(QLatin1String("segundo+")))
            cmbUsuario->setCurrentIndex(1);
        if (acao.startsWith(QLatin1String("reativa"))) {
            // One successful send first; the window is then no longer the active one.
            txtMensagem->setPlainText(QStringLiteral("primeira"));
            cmdEnviar->click();
            QCOMPARE(b->modem.Contagem("ATD"), 1);
            b->modem.linha.clear();
            b->modem.TerminalQueAceitaLogOn();
        }
        txtMensagem->setFocus(Qt::MouseFocusReason);
        txtMensagem->clear();
        QTest::keyClicks(txtMensagem, QStringLiteral("Avi"));
        QTest::keyClick(txtMensagem, Qt::Key_Return); // goes out as LF
        QTest::keyClicks(txtMensagem, QStringLiteral("so"));
        if (acao == QLatin1String("reativa+clica-grupo")) {
            // The window manager activates the window, focus lands on the button, then the click.
            optGrupo->setFocus(Qt::ActiveWindowFocusReason);
            QTest::mouseClick(optGrupo, Qt::LeftButton);
        } else if (acao == QLatin1String("segundo+tab-envia")) {
            QTest::keyClick(txtMensagem, Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), cmdEnviar);
        } else if (acao == QLatin1String("segundo+foco-nos-botoes")) {
            optUsuario->setFocus(Qt::TabFocusReason);
            optGrupo->setFocus(Qt::OtherFocusReason);
            optUsuario->setFocus(Qt::BacktabFocusReason);
        } else if (acao == QLatin1String("tab-espaco-usuario")) {
            optUsuario->setFocus(Qt::TabFocusReason);
            QTest::keyClick(optUsuario, Qt::Key_Space);
        }
        QCOMPARE(cmbUsuario->currentText(), c[2]);
        if (acao == QLatin1String("segundo+tab-envia"))
            QTest::keyClick(cmdEnviar, Qt::Key_Space);
        else
            cmdEnviar->click();
        QCOMPARE(b->modem.Contagem("\x02"), 1);
        QVERIFY(b->modem.linha.contains("\x02" + c[3].toLatin1() + "\rAvi\nso\r\x03"));
    }

    void listaEModoEmDesacordoNaoDisca() {
        frmMontaMsg janela(b->ctx);
        auto* cmbUsuario = Controle<QComboBox>(janela, "cmbUsuario");
        auto* optGrupo = Controle<QRadioButton>(janela, "optListaPorGrupo");
        Controle<QPlainTextEdit>(janela, "txtMensagem")->setPlainText(QStringLiteral("Aviso"));
        {
            // Ticked without the list hearing of it.
            const QSignalBlocker u(Controle<QRadioButton>(janela, "optListaPorUsuario"));
            const QSignalBlocker g(optGrupo);
            optGrupo->setChecked(true);
        }
        Controle<QToolButton>(janela, "cmdEnviar")->click();
        QVERIFY(b->modem.linha.isEmpty());
        QCOMPARE(b->operador.caixas.size(), 1);
        QVERIFY(b->operador.caixas[0].texto.contains(QStringLiteral("Nada foi enviado")));
        QCOMPARE(cmbUsuario->currentText(), QStringLiteral("Diretoria"));
    }
};

QTEST_MAIN(TstDestinoDoEnvio)
#include "tst_DestinoDoEnvio.moc"
