// The composition window: listing mode and recipient codes, typed filter, 240-character box,
// recall, the checks before a send, and a send to exactly the recipient shown, of the kind
// shown, however the operator reached the send button (mouse, keyboard, window activation).
#include "BancadaVirtual.h"
#include "CadastroDeTeste.h"
#include "common/Modulo.h"
#include "common/Win1252.h"
#include "compose/frmMontaMsg.h"
#include "settings/PerfilINI.h"
#include "store/BancoDeDados.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSqlQuery>
#include <QToolButton>
#include <QtTest>

namespace {
const QByteArray kPorGrupo = ParaWin1252("[LISTAGEM]\r\nOpção=Grupo\r\n");

struct Janela : BancadaVirtual {
    std::unique_ptr<frmMontaMsg> janela;
    QComboBox* lista = nullptr;
    QPlainTextEdit* texto = nullptr;
    QRadioButton *optUsuario = nullptr, *optGrupo = nullptr;
    QToolButton* cmdEnviar = nullptr;
    qint32 ana = 0, bruno = 0, carla = 0, vendas = 0, diretoria = 0;
    explicit Janela(const QByteArray& ini = QByteArray()) : BancadaVirtual(true) {
        ambiente.EscreveINI(ini);
        modem.CentralQueAceita();
        Roteiro({"\x04\r|\x1b\x04\r|0"});
    }
    // Group identifiers equal user identifiers, so a kind mix-up pages someone else.
    void Cadastra() {
        ana = CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("100"));
        bruno = CadastraUsuario(QStringLiteral("Bruno"), QStringLiteral("200"));
        carla = CadastraUsuario(QStringLiteral("Carla"), QStringLiteral("300"));
        vendas = CadastraGrupo(QStringLiteral("Vendas"), {ana, bruno});
        diretoria = CadastraGrupo(QStringLiteral("Diretoria"), {carla});
    }
    void Abre() {
        janela = std::make_unique<frmMontaMsg>(ctx);
        lista = Controle<QComboBox>("cmbUsuario");
        texto = Controle<QPlainTextEdit>("txtMensagem");
        optUsuario = Controle<QRadioButton>("optListaPorUsuario");
        optGrupo = Controle<QRadioButton>("optListaPorGrupo");
        cmdEnviar = Controle<QToolButton>("cmdEnviar");
    }
    template <typename T> T* Controle(const char* nome) { return janela->findChild<T*>(QLatin1String(nome)); }
    QString Opcao() const {
        return LeINI(QStringLiteral("LISTAGEM"), QStringLiteral("Opção"), QStringLiteral("?"));
    }
};

// Each character as a key press carrying its text (QTest::keyClicks takes ASCII only).
void Digita(QWidget* alvo, const QString& texto) {
    for (const QChar c : texto)
        QTest::sendKeyEvent(QTest::Click, alvo, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
}
} // namespace

class tst_frmMontaMsg : public QObject {
    Q_OBJECT
private slots:
    // The listing option: read (and stored when missing) at opening, stored again by "Retornar"
    // after a click on "Por Grupo", never by Escape.
    void modoDeListagem_data() {
        QTest::addColumn<QString>("caso"); // option in the file|users listed?|stored|way out|stored then
        QTest::newRow("sem arquivo") << "|u|Usuário|esc|Usuário";
        QTest::newRow("Usuário") << "Usuário|u|Usuário|ret|Grupo";
        QTest::newRow("usuário é grupo") << "usuário||usuário|esc|usuário";
    }
    void modoDeListagem() {
        const QStringList c = CamposDoCaso();
        const bool usuarios = !c[1].isEmpty();
        Janela j(c[0].isEmpty() ? QByteArray() : ParaWin1252("[LISTAGEM]\r\nOpção=" + c[0] + "\r\n"));
        j.Cadastra();
        Modulo::CodigosDaLista.fill(77); // left by an earlier list
        j.Abre();
        QCOMPARE(j.Opcao(), c[2]); // written when missing, before anything is done
        QCOMPARE(j.janela->DestinoEhUsuario(), usuarios);
        QCOMPARE(Modulo::CodigosDaLista.mid(0, 5),
                 (usuarios ? QVector<qint32>{0, j.ana, j.bruno, j.carla, 0}
                           : QVector<qint32>{0, j.diretoria, j.vendas, 0, 0}));
        j.janela->show();
        QTest::mouseClick(j.optGrupo, Qt::LeftButton);
        if (c[3] == QLatin1String("esc"))
            QTest::keyClick(j.janela.get(), Qt::Key_Escape);
        else
            j.Controle<QToolButton>("cmdRetornar")->click();
        QVERIFY(!j.janela->isVisible());
        QCOMPARE(j.Opcao(), c[4]);
    }

    void caixaDeTexto_data() {
        QTest::addColumn<QString>("caso"); // text before|typed (digita) or pasted (cola)|text after
        const QString x240(240, 'x');
        // What goes out on the default 7-bit line, whatever way it came in; the cursor stays put.
        QTest::newRow("digitado")
            << "|digita:áéíóúêâüçÁÉÍÓÚÃãÕõÇñÑàôÂÊÔÀÜºª…|aeioueaucAEIOUAaOoCnNaoAEOAUoa...";
        QTest::newRow("colado") << "fim|cola:Ônibus às 10h – “já”|Onibus as 10h - \"ja\"fim";
        QTest::newRow("cheio recusa") << x240 + "|digita:a|" + x240;
        QTest::newRow("colando demais") << "|cola:" + QString(300, 'k') + "|" + QString(240, 'k');
        QTest::newRow("=anterior") << "|digita:=anterior|Reuniao\namanha";
    }
    void caixaDeTexto() {
        const QStringList c = CamposDoCaso();
        Janela j;
        Modulo::MensagemEnvio = QStringLiteral("Reunião\namanhã");
        j.Abre();
        j.texto->setPlainText(c[0]);
        j.texto->moveCursor(c[0] == QLatin1String("fim") ? QTextCursor::Start : QTextCursor::End);
        if (c[1].startsWith(QLatin1String("digita:"))) {
            Digita(j.texto, c[1].mid(7));
        } else {
            QApplication::clipboard()->setText(c[1].mid(5));
            j.texto->paste();
        }
        QCOMPARE(j.texto->toPlainText(), c[2]);
        if (c[0] == QLatin1String("fim"))
            QCOMPARE(j.texto->textCursor().position(), c[2].size() - 3);
    }

    void enviaAoDestinatarioMostrado_data() {
        // groups listed at opening?|how the operator gets to the send|recipient shown|pagers paged
        QTest::addColumn<QString>("caso");
        QTest::newRow("clique em Por Grupo com a janela inativa depois de um envio")
            << "|reativa+clica-grupo|Diretoria|300";
        QTest::newRow("Tab da mensagem chega a Enviar") << "|segundo+tab-envia|Bruno|200";
        QTest::newRow("foco pelos botões de listagem não muda nada") << "|segundo+foco-nos-botoes|Bruno|200";
        QTest::newRow("Espaço em Por Usuário troca o modo") << "g|tab-espaco-usuario|Ana|100";
        QTest::newRow("segundo grupo") << "g|segundo|Vendas|100,200";
    }
    void enviaAoDestinatarioMostrado() {
        const QStringList c = CamposDoCaso();
        const QString acao = c[1];
        Janela j(c[0].isEmpty() ? QByteArray() : kPorGrupo);
        j.Cadastra();
        j.Abre();
        j.janela->show();
        QApplication::setActiveWindow(j.janela.get());
        QVERIFY(QTest::qWaitForWindowActive(j.janela.get()));
        if (acao.startsWith(QLatin1String("segundo")))
            j.lista->setCurrentIndex(1);
        if (acao.startsWith(QLatin1String("reativa"))) {
            // One successful send first; the window is then no longer the active one.
            j.texto->setPlainText(QStringLiteral("primeira"));
            j.cmdEnviar->click();
            QCOMPARE(j.modem.Contagem("ATD"), 1);
            j.modem.linha.clear();
            j.modem.TerminalQueAceitaLogOn();
        }
        j.texto->setFocus(Qt::MouseFocusReason);
        j.texto->clear();
        QTest::keyClicks(j.texto, QStringLiteral("Avi"));
        QTest::keyClick(j.texto, Qt::Key_Return); // goes out as LF
        QTest::keyClicks(j.texto, QStringLiteral("so"));
        if (acao == QLatin1String("reativa+clica-grupo")) {
            // The window manager activates the window, focus lands on the button, then the click.
            j.optGrupo->setFocus(Qt::ActiveWindowFocusReason);
            QTest::mouseClick(j.optGrupo, Qt::LeftButton);
        } else if (acao == QLatin1String("segundo+tab-envia")) {
            QTest::keyClick(j.texto, Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), j.cmdEnviar);
        } else if (acao == QLatin1String("segundo+foco-nos-botoes")) {
            j.optUsuario->setFocus(Qt::TabFocusReason);
            j.optGrupo->setFocus(Qt::OtherFocusReason);
            j.optUsuario->setFocus(Qt::BacktabFocusReason);
        } else if (acao == QLatin1String("tab-espaco-usuario")) {
            j.optUsuario->setFocus(Qt::TabFocusReason);
            QTest::keyClick(j.optUsuario, Qt::Key_Space);
        }
        QCOMPARE(j.lista->currentText(), c[2]);
        if (acao == QLatin1String("segundo+tab-envia"))
            QTest::keyClick(j.cmdEnviar, Qt::Key_Space);
        else
            j.cmdEnviar->click();
        const QStringList pagers = c[3].split(QLatin1Char(','));
        QCOMPARE(j.modem.Contagem("\x02"), int(pagers.size()));
        for (const QString& pager : pagers)
            QVERIFY(j.modem.linha.contains("\x02" + pager.toLatin1() + "\rAvi\nso\r\x03"));
        QVERIFY(j.texto->toPlainText().isEmpty());
        QCOMPARE(Coluna("Select Distinct Origem As L From Log"), QStringList{"janela"});
        QCOMPARE(Modulo::MensagemEnvio, QStringLiteral("Avi\nso"));
        QCOMPARE(j.operador.StatusAtual(), QStringLiteral(" Pronto"));
    }

    // Refused before dialling: no recipient, no message, a list not of the ticked kind. A list the
    // store cannot read is an explained empty list.
    void envioRecusado() {
        Janela j;
        j.Abre();
        j.texto->setPlainText(QStringLiteral("oi"));
        j.cmdEnviar->click();
        j.Cadastra();
        j.Abre();
        j.cmdEnviar->click();
        j.texto->setPlainText(QStringLiteral("ok ✓ ô"));
        j.cmdEnviar->click();
        j.texto->setPlainText(QStringLiteral("Aviso"));
        {
            // Ticked without the list hearing of it.
            const QSignalBlocker u(j.optUsuario), g(j.optGrupo);
            j.optGrupo->setChecked(true);
        }
        j.cmdEnviar->click();
        QVERIFY(j.modem.linha.isEmpty());
        QCOMPARE(j.operador.TextosDasCaixas().mid(0, 2),
                 (QStringList{"Favor selecionar o destinatário antes de enviar a mensagem.",
                              "Favor digitar a mensagem para depois enviá-la."}));
        QCOMPARE(j.operador.caixas.size(), 4);
        QCOMPARE(
            j.operador.caixas[2].texto,
            QStringLiteral("A mensagem tem caracteres que não podem ser enviados à central: \"✓\"; apague-os "
                           "ou troque-os por outros. Nada foi enviado."));
        QCOMPARE(j.lista->currentText(), QStringLiteral("Diretoria"));
        QSqlQuery(BancoDeDados()).exec(QStringLiteral("Drop Table Usuarios_Chave"));
        j.Abre();
        QVERIFY(j.operador.caixas.last().texto.contains(QStringLiteral("cadastro de usuários")));
        QCOMPARE(j.lista->count(), 0);
        QCOMPARE(j.operador.ampulhetaNivel, 0);
    }
};

QTEST_MAIN(tst_frmMontaMsg)
#include "tst_frmMontaMsg.moc"
