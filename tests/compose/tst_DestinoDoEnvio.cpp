// A send goes to exactly the recipient the composition window shows, of the kind shown,
// however the operator reached the send button (mouse, keyboard, window activation).
#include "BancadaVirtual.h"
#include "CadastroDeTeste.h"
#include "common/Modulo.h"
#include "common/Win1252.h"
#include "compose/frmMontaMsg.h"

#include <QApplication>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QtTest>

namespace {

void RoteiroQueAceita(ModemRoteirizado& modem) {
    modem.ModemQueRespondeOK();
    modem.QuandoRecebe("ATD", "\r\nCONNECT 9600\r\n", 2.0);
    modem.TerminalQueAceitaLogOn();
    modem.QuandoRecebe("\x02", "\r\x06\r", 0.5);
    modem.QuandoRecebe("\x04\r", "\x1b\x04\r");
}

template <typename T> T* Controle(QWidget& janela, const char* nome) {
    return janela.findChild<T*>(QLatin1String(nome));
}

// What the window hands to the sending side, read while the send runs.
struct Pedido {
    bool lido = false;
    bool usuario = false;
    qint32 id = 0;
    QString mostrado;
};

} // namespace

class TstDestinoDoEnvio : public QObject {
    Q_OBJECT

private slots:
    void enviaAoDestinatarioMostrado_data() {
        QTest::addColumn<bool>("grupos");  // groups listed when the window opens
        QTest::addColumn<QString>("acao"); // how the operator gets to the send
        QTest::addColumn<bool>("usuario"); // kind of the recipient that must be paged
        QTest::addColumn<QString>("nome"); // ... and its name, shown in the list
        QTest::addColumn<QByteArray>("pagers");

        QTest::newRow("clique em Por Grupo com a janela inativa depois de um envio")
            << false << "reativa+clica-grupo" << false << "Diretoria" << QByteArray("300");
        QTest::newRow("Tab da mensagem chega a Enviar")
            << false << "segundo+tab-envia" << true << "Bruno" << QByteArray("200");
        QTest::newRow("foco pelos botões de listagem não muda nada")
            << false << "segundo+foco-nos-botoes" << true << "Bruno" << QByteArray("200");
        QTest::newRow("Espaço em Por Usuário troca o modo")
            << true << "tab-espaco-usuario" << true << "Ana" << QByteArray("100");
    }

    void enviaAoDestinatarioMostrado() {
        QFETCH(bool, grupos);
        QFETCH(QString, acao);
        QFETCH(bool, usuario);
        QFETCH(QString, nome);
        QFETCH(QByteArray, pagers);
        BancadaVirtual b;
        QVERIFY(b.ambiente.AbreBancoVazio());
        // Group identifiers equal user identifiers, so a kind mix-up pages someone else.
        const qint32 ana = CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("100"));
        const qint32 bruno = CadastraUsuario(QStringLiteral("Bruno"), QStringLiteral("200"));
        const qint32 carla = CadastraUsuario(QStringLiteral("Carla"), QStringLiteral("300"));
        const QHash<QString, qint32> ids{{"Ana", ana},
                                         {"Bruno", bruno},
                                         {"Carla", carla},
                                         {"Vendas", CadastraGrupo(QStringLiteral("Vendas"), {ana, bruno})},
                                         {"Diretoria", CadastraGrupo(QStringLiteral("Diretoria"), {carla})}};
        if (grupos)
            b.ambiente.EscreveINI(ParaWin1252("[LISTAGEM]\r\nOpção=Grupo\r\n"));
        RoteiroQueAceita(b.modem);

        frmMontaMsg janela(b.ctx);
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
            QCOMPARE(b.modem.Contagem("ATD"), 1);
            b.modem.linha.clear();
            b.modem.TerminalQueAceitaLogOn();
        }
        txtMensagem->setFocus(Qt::MouseFocusReason);
        txtMensagem->setPlainText(QStringLiteral("Aviso"));

        Pedido pedido;
        b.relogio.aoPausar = [&] {
            if (pedido.lido)
                return;
            pedido = {true, janela.DestinoEhUsuario(),
                      Modulo::CodigosDaLista.value(janela.IndiceDaLista() + 1), cmbUsuario->currentText()};
        };

        if (acao == QLatin1String("reativa+clica-grupo")) {
            // The window manager activates the window, focus lands on the button, then the click.
            optGrupo->setFocus(Qt::ActiveWindowFocusReason);
            QTest::mouseClick(optGrupo, Qt::LeftButton);
            cmdEnviar->click();
        } else if (acao == QLatin1String("segundo+tab-envia")) {
            QTest::keyClick(txtMensagem, Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), cmdEnviar);
            QTest::keyClick(cmdEnviar, Qt::Key_Space);
        } else if (acao == QLatin1String("segundo+foco-nos-botoes")) {
            optUsuario->setFocus(Qt::TabFocusReason);
            optGrupo->setFocus(Qt::OtherFocusReason);
            optUsuario->setFocus(Qt::BacktabFocusReason);
            cmdEnviar->click();
        } else if (acao == QLatin1String("tab-espaco-usuario")) {
            QCOMPARE(cmbUsuario->currentText(), QStringLiteral("Diretoria"));
            optUsuario->setFocus(Qt::TabFocusReason);
            QTest::keyClick(optUsuario, Qt::Key_Space);
            QCOMPARE(cmbUsuario->currentText(), QStringLiteral("Ana"));
            cmdEnviar->click();
        }

        QVERIFY(pedido.lido);
        QCOMPARE(pedido.mostrado, nome);
        QCOMPARE(pedido.usuario, usuario);
        QCOMPARE(pedido.id, ids.value(nome));
        const QList<QByteArray> codigos = pagers.split(',');
        QCOMPARE(b.modem.Contagem("\x02"), codigos.size());
        for (const QByteArray& codigo : codigos)
            QVERIFY(b.modem.linha.contains("\x02" + codigo + "\rAviso\r\x03"));
    }

    void listaEModoEmDesacordoNaoDisca() {
        BancadaVirtual b;
        QVERIFY(b.ambiente.AbreBancoVazio());
        const qint32 ana = CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("100"));
        CadastraGrupo(QStringLiteral("Vendas"), {ana});
        RoteiroQueAceita(b.modem);
        frmMontaMsg janela(b.ctx);
        auto* cmbUsuario = Controle<QComboBox>(janela, "cmbUsuario");
        auto* optGrupo = Controle<QRadioButton>(janela, "optListaPorGrupo");
        Controle<QPlainTextEdit>(janela, "txtMensagem")->setPlainText(QStringLiteral("Aviso"));
        {
            // Ticked without the list hearing of it.
            const QSignalBlocker u(Controle<QRadioButton>(janela, "optListaPorUsuario"));
            const QSignalBlocker g(optGrupo);
            optGrupo->setChecked(true);
        }
        QCOMPARE(cmbUsuario->currentText(), QStringLiteral("Ana"));

        Controle<QToolButton>(janela, "cmdEnviar")->click();

        QVERIFY(b.modem.linha.isEmpty());
        QCOMPARE(b.operador.caixas.size(), 1);
        QVERIFY(b.operador.caixas[0].texto.contains(QStringLiteral("Nada foi enviado")));
        QCOMPARE(cmbUsuario->currentText(), QStringLiteral("Vendas"));
    }
};

QTEST_MAIN(TstDestinoDoEnvio)
#include "tst_DestinoDoEnvio.moc"
