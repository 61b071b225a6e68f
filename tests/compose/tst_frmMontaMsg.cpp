// The composition window: listing mode, recipient list, typed filter, recall, checks, sends,
// and how the main window opens it.
#include "BancadaVirtual.h"
#include "CadastroDeTeste.h"
#include "common/Modulo.h"
#include "common/Win1252.h"
#include "compose/frmMontaMsg.h"
#include "settings/PerfilINI.h"
#include "shell/frmPrincipal.h"
#include "store/BancoDeDados.h"
#include "store/Snapshot.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QSqlQuery>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {

const QString ChaveOpcao = QStringLiteral("Opção");

QStringList Itens(const QComboBox* lista) {
    QStringList itens;
    for (int i = 0; i < lista->count(); ++i)
        itens << lista->itemText(i);
    return itens;
}

void RoteiroQueAceita(ModemRoteirizado& modem) {
    modem.ModemQueRespondeOK();
    modem.QuandoRecebe("ATD", "\r\nCONNECT 9600\r\n", 2.0);
    modem.TerminalQueAceitaLogOn();
    modem.QuandoRecebe("\x02", "\r\x06\r", 0.5);
    modem.QuandoRecebe("\x04\r", "\x1b\x04\r");
}

struct Controles {
    QComboBox* cmbUsuario;
    QPlainTextEdit* txtMensagem;
    QRadioButton* optListaPorUsuario;
    QRadioButton* optListaPorGrupo;
    QToolButton* cmdEnviar;
    QToolButton* cmdRetornar;

    explicit Controles(QWidget& janela)
        : cmbUsuario(janela.findChild<QComboBox*>(QStringLiteral("cmbUsuario"))),
          txtMensagem(janela.findChild<QPlainTextEdit*>(QStringLiteral("txtMensagem"))),
          optListaPorUsuario(janela.findChild<QRadioButton*>(QStringLiteral("optListaPorUsuario"))),
          optListaPorGrupo(janela.findChild<QRadioButton*>(QStringLiteral("optListaPorGrupo"))),
          cmdEnviar(janela.findChild<QToolButton*>(QStringLiteral("cmdEnviar"))),
          cmdRetornar(janela.findChild<QToolButton*>(QStringLiteral("cmdRetornar"))) {}
};

// The directory used by most tests: users and groups with names of their own.
struct Cadastro {
    qint32 ana, bruno, grupoA, grupoB;
    Cadastro() {
        bruno = CadastraUsuario(QStringLiteral("Bruno"), QStringLiteral("200"));
        ana = CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("100"));
        grupoB = CadastraGrupo(QStringLiteral("Vendas"), {ana});
        grupoA = CadastraGrupo(QStringLiteral("Diretoria"), {bruno});
    }
};
const QStringList NomesDosUsuarios{QStringLiteral("Ana"), QStringLiteral("Bruno")};
const QStringList NomesDosGrupos{QStringLiteral("Diretoria"), QStringLiteral("Vendas")};

// Types each character as a key press carrying its text (QTest::keyClicks takes ASCII only).
void Digita(QWidget* alvo, const QString& texto) {
    for (const QChar c : texto)
        QTest::sendKeyEvent(QTest::Click, alvo, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
}

void MostraAtiva(QWidget& janela) {
    janela.show();
    QApplication::setActiveWindow(&janela);
    QVERIFY(QTest::qWaitForWindowActive(&janela));
}

} // namespace

class TstFrmMontaMsg : public QObject {
    Q_OBJECT

private slots:
    void init() {
        Modulo::EnvioIniciado = false;
        Modulo::MensagemEnvio.clear();
    }

    void controlesComoDesenhados() {
        BancadaVirtual b;
        QVERIFY(b.ambiente.AbreBancoVazio());
        frmMontaMsg janela(b.ctx);
        Controles c(janela);
        auto* titulo = janela.findChild<QLabel*>(QStringLiteral("pnlTitulo"));
        QCOMPARE(titulo->text(), QStringLiteral("Envio de Mensagens"));
        QCOMPARE(titulo->font().family(), QStringLiteral("Times New Roman"));
        auto* rotuloLista = janela.findChild<QLabel*>(QStringLiteral("pnlMsg1"));
        auto* rotuloTexto = janela.findChild<QLabel*>(QStringLiteral("pnlMsg0"));
        QCOMPARE(rotuloLista->text(), QStringLiteral("Selecione Destinatário:"));
        QCOMPARE(rotuloTexto->text(), QStringLiteral("Digite Aqui a Mensagem:"));
        QCOMPARE(rotuloLista->buddy(), c.cmbUsuario);
        QCOMPARE(rotuloTexto->buddy(), c.txtMensagem);
        QVERIFY(!c.cmbUsuario->accessibleName().isEmpty());
        QVERIFY(!c.txtMensagem->accessibleName().isEmpty());
        QCOMPARE(janela.findChild<QWidget*>(QStringLiteral("fraListagem"))->property("title").toString(),
                 QStringLiteral("Listar:"));
        QCOMPARE(c.optListaPorUsuario->text(), QStringLiteral("Por Usuário"));
        QCOMPARE(c.optListaPorGrupo->text(), QStringLiteral("Por Grupo"));
        QVERIFY(c.optListaPorUsuario->isChecked());
        QVERIFY(!(c.optListaPorGrupo->focusPolicy() & Qt::TabFocus));
        QCOMPARE(c.cmdEnviar->toolTip(), QStringLiteral("Discar e enviar mensagem..."));
        QCOMPARE(c.cmdEnviar->accessibleName(), c.cmdEnviar->toolTip());
        QCOMPARE(c.cmdRetornar->toolTip(), QStringLiteral("Retornar"));
        QCOMPARE(c.cmdRetornar->accessibleName(), c.cmdRetornar->toolTip());

        // Tab order: the list, then the message.
        MostraAtiva(janela);
        QCOMPARE(QApplication::focusWidget(), c.cmbUsuario);
        QTest::keyClick(c.cmbUsuario, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), c.txtMensagem);
    }

    void modoDeListagem_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<bool>("usuarios");
        QTest::addColumn<QString>("gravado");

        QTest::newRow("sem arquivo") << QByteArray() << true << "Usuário";
        QTest::newRow("sem a chave") << QByteArray("[LISTAGEM]\r\nOutra=1\r\n") << true << "Usuário";
        QTest::newRow("Usuário") << ParaWin1252("[LISTAGEM]\r\nOpção=Usuário\r\n") << true << "Usuário";
        QTest::newRow("usuário") << ParaWin1252("[LISTAGEM]\r\nOpção=usuário\r\n") << false << "usuário";
        QTest::newRow("Grupo") << ParaWin1252("[LISTAGEM]\r\nOpção=Grupo\r\n") << false << "Grupo";
        QTest::newRow("vazio") << ParaWin1252("[LISTAGEM]\r\nOpção=\r\n") << false << "";
        QTest::newRow("outro") << ParaWin1252("[LISTAGEM]\r\nOpção=Todos\r\n") << false << "Todos";
        QTest::newRow("Usuario sem acento")
            << ParaWin1252("[LISTAGEM]\r\nOpção=Usuario\r\n") << false << "Usuario";
    }

    void modoDeListagem() {
        QFETCH(QByteArray, ini);
        QFETCH(bool, usuarios);
        QFETCH(QString, gravado);
        BancadaVirtual b;
        QVERIFY(b.ambiente.AbreBancoVazio());
        const Cadastro cadastro;
        if (!ini.isNull())
            b.ambiente.EscreveINI(ini);

        frmMontaMsg janela(b.ctx);
        Controles c(janela);

        // Read, and written when it was missing, before the person does anything.
        QCOMPARE(LeINI(QStringLiteral("LISTAGEM"), ChaveOpcao, QStringLiteral("?")), gravado);
        QCOMPARE(c.optListaPorUsuario->isChecked(), usuarios);
        QCOMPARE(c.optListaPorGrupo->isChecked(), !usuarios);
        QCOMPARE(janela.DestinoEhUsuario(), usuarios);
        QCOMPARE(Itens(c.cmbUsuario), usuarios ? NomesDosUsuarios : NomesDosGrupos);
        QCOMPARE(c.cmbUsuario->currentIndex(), 0);
        QCOMPARE(Modulo::CodigosDaLista[1], usuarios ? cadastro.ana : cadastro.grupoA);
        QCOMPARE(Modulo::CodigosDaLista[2], usuarios ? cadastro.bruno : cadastro.grupoB);
    }

    void retornarGuardaOModo() {
        BancadaVirtual b;
        QVERIFY(b.ambiente.AbreBancoVazio());
        const Cadastro cadastro;
        {
            frmMontaMsg janela(b.ctx);
            Controles c(janela);
            MostraAtiva(janela);
            QTest::mouseClick(c.optListaPorGrupo, Qt::LeftButton);
            QVERIFY(c.optListaPorGrupo->isChecked());
            QCOMPARE(Itens(c.cmbUsuario), NomesDosGrupos);
            QCOMPARE(LeINI(QStringLiteral("LISTAGEM"), ChaveOpcao, QStringLiteral("?")),
                     QStringLiteral("Usuário"));
            c.cmdRetornar->click();
            QVERIFY(!janela.isVisible());
            QCOMPARE(LeINI(QStringLiteral("LISTAGEM"), ChaveOpcao, QStringLiteral("?")),
                     QStringLiteral("Grupo"));
        }
        // Opened again: groups.
        frmMontaMsg janela(b.ctx);
        Controles c(janela);
        QVERIFY(c.optListaPorGrupo->isChecked());
        QCOMPARE(Itens(c.cmbUsuario), NomesDosGrupos);

        // Back to users with the button: stored as "Usuário".
        MostraAtiva(janela);
        QTest::mouseClick(c.optListaPorUsuario, Qt::LeftButton);
        QCOMPARE(Itens(c.cmbUsuario), NomesDosUsuarios);
        c.cmdRetornar->click();
        QCOMPARE(LeINI(QStringLiteral("LISTAGEM"), ChaveOpcao, QStringLiteral("?")),
                 QStringLiteral("Usuário"));
    }

    void escapeNaoGuardaOModo() {
        BancadaVirtual b;
        QVERIFY(b.ambiente.AbreBancoVazio());
        const Cadastro cadastro;
        b.ambiente.EscreveINI(ParaWin1252("[LISTAGEM]\r\nOpção=Usuário\r\n"));
        const QByteArray antes = b.ambiente.LeINIBruto();
        {
            frmMontaMsg janela(b.ctx);
            Controles c(janela);
            MostraAtiva(janela);
            QTest::mouseClick(c.optListaPorGrupo, Qt::LeftButton);
            QCOMPARE(Itens(c.cmbUsuario), NomesDosGrupos);
            QTest::keyClick(&janela, Qt::Key_Escape);
            QVERIFY(!janela.isVisible());
        }
        QCOMPARE(b.ambiente.LeINIBruto(), antes);
        frmMontaMsg janela(b.ctx);
        QCOMPARE(Itens(Controles(janela).cmbUsuario), NomesDosUsuarios);
    }

    void ordemDaListaECodigos() {
        BancadaVirtual b;
        QVERIFY(b.ambiente.AbreBancoVazio());
        const QStringList inseridos{"Bruno", "Álvaro", "Carlos", "alberto", "D'Ávila \"Zé\"", "Ana"};
        QHash<QString, qint32> ids;
        for (const QString& nome : inseridos)
            ids.insert(nome, CadastraUsuario(nome, QString::number(ids.size() + 1)));
        Modulo::CodigosDaLista.fill(77); // left by an earlier, longer list

        frmMontaMsg janela(b.ctx);
        const QStringList esperado{"alberto", "Álvaro", "Ana", "Bruno", "Carlos", "D'Ávila \"Zé\""};
        QCOMPARE(Itens(Controles(janela).cmbUsuario), esperado);
        QCOMPARE(Modulo::CodigosDaLista[0], 0);
        for (int k = 1; k <= esperado.size(); ++k)
            QCOMPARE(Modulo::CodigosDaLista[k], ids.value(esperado[k - 1]));
        QCOMPARE(Modulo::CodigosDaLista.size(), Modulo::MinCodigosDaLista + 1);
        QCOMPARE(Modulo::CodigosDaLista.count(0), Modulo::CodigosDaLista.size() - esperado.size());
    }

    void diretorioVazioNaoAvisa() {
        BancadaVirtual b;
        QVERIFY(b.ambiente.AbreBancoVazio());
        frmMontaMsg janela(b.ctx);
        QCOMPARE(Controles(janela).cmbUsuario->count(), 0);
        QCOMPARE(janela.IndiceDaLista(), -1);
        QVERIFY(b.operador.caixas.isEmpty());
    }

    void bancoDanificadoAvisaSemQuebrar_data() {
        QTest::addColumn<QString>("tabela");
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("trecho");
        QTest::newRow("usuários") << "Usuarios" << QByteArray() << "cadastro de usuários";
        QTest::newRow("grupos") << "Grupos" << ParaWin1252("[LISTAGEM]\r\nOpção=Grupo\r\n")
                                << "cadastro de grupos";
    }

    void bancoDanificadoAvisaSemQuebrar() {
        QFETCH(QString, tabela);
        QFETCH(QByteArray, ini);
        QFETCH(QString, trecho);
        BancadaVirtual b;
        QVERIFY(b.ambiente.AbreBancoVazio());
        if (!ini.isNull())
            b.ambiente.EscreveINI(ini);
        QSqlQuery(BancoDeDados()).exec(QStringLiteral("Drop Table ") + tabela);

        frmMontaMsg janela(b.ctx);
        QCOMPARE(b.operador.caixas.size(), 1);
        QVERIFY(b.operador.caixas[0].texto.contains(trecho));
        QVERIFY(b.operador.caixas[0].texto.contains(QLatin1String("Pager.Mdb")));
        QCOMPARE(b.operador.caixas[0].titulo, QStringLiteral("Erro:"));
        QCOMPARE(Controles(janela).cmbUsuario->count(), 0);
        QCOMPARE(b.operador.ampulhetaNivel, 0);

        // Sending then stops at the first check.
        Controles(janela).txtMensagem->setPlainText(QStringLiteral("oi"));
        Controles(janela).cmdEnviar->click();
        QCOMPARE(b.operador.caixas.last().texto,
                 QStringLiteral("Favor selecionar o destinatário antes de enviar a mensagem."));
        QVERIFY(b.modem.linha.isEmpty());
    }

    void filtroDoQueEDigitado_data() {
        QTest::addColumn<QString>("digitado");
        QTest::addColumn<QString>("resultado");
        QTest::newRow("á") << "á"
                           << "a";
        QTest::newRow("Ç") << "Ç"
                           << "C";
        QTest::newRow("ô fica") << "ô"
                                << "ô";
        QTest::newRow("tabela inteira") << "áéíóúêâüçÁÉÍÓÚÃãÕõÇñÑà"
                                        << "aeioueaucAEIOUAaOoCnNa";
        QTest::newRow("fora da tabela") << "ôÂÊÔÀÜèÈ"
                                        << "ôÂÊÔÀÜèÈ";
        QTest::newRow("frase") << "Reunião às 15h, não faltem!"
                               << "Reuniao as 15h, nao faltem!";
        QTest::newRow("maiúsculas ficam") << "aBc"
                                          << "aBc";
    }

    void filtroDoQueEDigitado() {
        QFETCH(QString, digitado);
        QFETCH(QString, resultado);
        BancadaVirtual b;
        frmMontaMsg janela(b.ctx);
        auto* texto = Controles(janela).txtMensagem;
        Digita(texto, digitado);
        QCOMPARE(texto->toPlainText(), resultado);
    }

    void enterQuebraALinhaEColadoNaoEFiltrado() {
        BancadaVirtual b;
        frmMontaMsg janela(b.ctx);
        auto* texto = Controles(janela).txtMensagem;
        Digita(texto, QStringLiteral("é"));
        QTest::keyClick(texto, Qt::Key_Return);
        Digita(texto, QStringLiteral("b"));
        QCOMPARE(texto->toPlainText(), QStringLiteral("e\nb"));
        QCOMPARE(janela.TextoDaMensagem(), QStringLiteral("e\nb"));

        QApplication::clipboard()->setText(QStringLiteral("á Ç"));
        texto->paste();
        QCOMPARE(texto->toPlainText(), QStringLiteral("e\nbá Ç"));

        // Set by another window: as given.
        texto->setPlainText(QStringLiteral("ção"));
        QCOMPARE(texto->toPlainText(), QStringLiteral("ção"));

        // An input method's composed letter is typed text.
        texto->clear();
        QInputMethodEvent composto;
        composto.setCommitString(QStringLiteral("ã"));
        QApplication::sendEvent(texto, &composto);
        QCOMPARE(texto->toPlainText(), QStringLiteral("a"));
    }

    void limiteDe240_data() {
        QTest::addColumn<QString>("antes");
        QTest::addColumn<QString>("acao"); // "digita:...", "cola:...", "enter"
        QTest::addColumn<int>("selecionados");
        QTest::addColumn<QString>("depois");
        const QString x239(239, QLatin1Char('x'));
        const QString x240(240, QLatin1Char('x'));
        QTest::newRow("digitando além") << x239 << "digita:abc" << 0 << x239 + "a";
        QTest::newRow("cheio recusa") << x240 << "digita:a" << 0 << x240;
        QTest::newRow("cheio recusa Enter") << x240 << "enter" << 0 << x240;
        QTest::newRow("seleção é substituída") << x240 << "digita:z" << 5 << QString(235, 'x') + "z";
        QTest::newRow("colando além") << x239 << "cola:yz" << 0 << x239 + "y";
        QTest::newRow("colando demais no vazio") << ""
                                                 << "cola:" + QString(300, 'k') << 0 << QString(240, 'k');
        QTest::newRow("cola quebra de outro sistema") << ""
                                                      << "cola:a\r\nb" << 0 << "a\nb";
        QTest::newRow("cheio recusa colar") << x240 << "cola:q" << 0 << x240;
    }

    void limiteDe240() {
        QFETCH(QString, antes);
        QFETCH(QString, acao);
        QFETCH(int, selecionados);
        QFETCH(QString, depois);
        BancadaVirtual b;
        frmMontaMsg janela(b.ctx);
        auto* texto = Controles(janela).txtMensagem;
        texto->setPlainText(antes);
        QTextCursor cursor = texto->textCursor();
        cursor.movePosition(QTextCursor::End);
        cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, selecionados);
        texto->setTextCursor(cursor);
        if (acao.startsWith(QLatin1String("digita:"))) {
            Digita(texto, acao.mid(7));
        } else if (acao.startsWith(QLatin1String("cola:"))) {
            QApplication::clipboard()->setText(acao.mid(5));
            texto->paste();
        } else {
            QTest::keyClick(texto, Qt::Key_Return);
        }
        QCOMPARE(texto->toPlainText(), depois);
        QVERIFY(texto->toPlainText().size() <= 240);
    }

    void palavraAnterior_data() {
        QTest::addColumn<QString>("anterior");
        QTest::addColumn<QString>("digitado");
        QTest::addColumn<QString>("resultado");
        QTest::addColumn<bool>("recuperou");
        const QString msg = QStringLiteral("Reunião\namanhã");
        QTest::newRow("=ANTERIOR") << msg << "=ANTERIOR" << msg << true;
        QTest::newRow("=anterior") << msg << "=anterior" << msg << true;
        QTest::newRow("=AnTeRiOr") << msg << "=AnTeRiOr" << msg << true;
        QTest::newRow("antes de qualquer envio") << QString() << "=ANTERIOR" << QString() << true;
        QTest::newRow("não é o texto todo") << msg << "x=ANTERIOR"
                                            << "x=ANTERIOR" << false;
        QTest::newRow("com branco antes") << msg << " =ANTERIOR"
                                          << " =ANTERIOR" << false;
        QTest::newRow("a anterior é a palavra") << "=anterior"
                                                << "=ANTERIOR"
                                                << "=anterior" << true;
    }

    void palavraAnterior() {
        QFETCH(QString, anterior);
        QFETCH(QString, digitado);
        QFETCH(QString, resultado);
        QFETCH(bool, recuperou);
        BancadaVirtual b;
        Modulo::MensagemEnvio = anterior;
        frmMontaMsg janela(b.ctx);
        auto* texto = Controles(janela).txtMensagem;
        Digita(texto, digitado);
        QCOMPARE(texto->toPlainText(), resultado);
        if (recuperou) {
            // Fully selected: what is typed next replaces it.
            QCOMPARE(texto->textCursor().selectionStart(), 0);
            QCOMPARE(texto->textCursor().selectionEnd(), resultado.size());
            Digita(texto, QStringLiteral("Z"));
            QCOMPARE(texto->toPlainText(), QStringLiteral("Z"));
        }
    }

    void verificacoesAntesDeEnviar() {
        BancadaVirtual b;
        QVERIFY(b.ambiente.AbreBancoVazio());
        RoteiroQueAceita(b.modem);
        {
            // No recipient.
            frmMontaMsg janela(b.ctx);
            Controles c(janela);
            c.txtMensagem->setPlainText(QStringLiteral("oi"));
            c.cmdEnviar->click();
            QCOMPARE(b.operador.caixas.size(), 1);
            QCOMPARE(b.operador.caixas[0].texto,
                     QStringLiteral("Favor selecionar o destinatário antes de enviar a mensagem."));
            QCOMPARE(b.operador.caixas[0].titulo, QStringLiteral("Advertência:"));
            QCOMPARE(b.operador.caixas[0].icone, Icone::Informacao);
            QCOMPARE(b.operador.caixas[0].botoes, Botoes::OK);
        }
        CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("100"));
        frmMontaMsg janela(b.ctx);
        Controles c(janela);
        MostraAtiva(janela);
        c.cmdEnviar->setFocus();
        c.cmdEnviar->click();
        QCOMPARE(b.operador.caixas.size(), 2);
        QCOMPARE(b.operador.caixas[1].texto,
                 QStringLiteral("Favor digitar a mensagem para depois enviá-la."));
        QCOMPARE(b.operador.caixas[1].titulo, QStringLiteral("Advertência:"));
        QCOMPARE(b.operador.caixas[1].icone, Icone::Informacao);
        QCOMPARE(QApplication::focusWidget(), c.txtMensagem);
        QVERIFY(b.modem.linha.isEmpty());
        QVERIFY(Modulo::MensagemEnvio.isEmpty());

        // Blanks are a message: the send starts.
        c.txtMensagem->setPlainText(QStringLiteral("   "));
        c.cmdEnviar->click();
        QCOMPARE(b.modem.Contagem("ATD"), 1);
        QCOMPARE(Modulo::MensagemEnvio, QStringLiteral("   "));
    }

    void envioCompletoParaUmUsuario() {
        BancadaVirtual b;
        QVERIFY(b.ambiente.AbreBancoVazio());
        const Cadastro cadastro;
        RoteiroQueAceita(b.modem);
        frmMontaMsg janela(b.ctx);
        Controles c(janela);
        MostraAtiva(janela);
        c.cmbUsuario->setCurrentIndex(1); // Bruno
        Digita(c.txtMensagem, QStringLiteral("Ligar para o cliente"));
        bool medidorApareceu = false;
        b.relogio.aoPausar = [&medidorApareceu] {
            if (QWidget* envio = QApplication::activeModalWidget())
                if (auto* medidor = envio->findChild<QProgressBar*>(QStringLiteral("valStatus")))
                    medidorApareceu = medidorApareceu || medidor->isVisible();
        };

        c.cmdEnviar->click();

        QVERIFY(c.txtMensagem->toPlainText().isEmpty());
        QCOMPARE(b.operador.StatusAtual(), QStringLiteral(" Pronto"));
        QVERIFY(b.operador.status.contains(
            QStringLiteral(" Discando para a empresa de rádio chamadas, aguarde ...")));
        QCOMPARE(Modulo::MensagemEnvio, QStringLiteral("Ligar para o cliente"));
        QVERIFY(Modulo::EnvioIniciado);
        QVERIFY(!medidorApareceu);
        QVERIFY(b.modem.linha.contains("\x02"
                                       "200\rLigar para o cliente\r\x03"));
        Snapshot log(QStringLiteral("Select * From Log"));
        QCOMPARE(log.RecordCount(), 1);
        QCOMPARE(log.Campo(QStringLiteral("ID_Usuario")).toInt(), cadastro.bruno);
        QCOMPARE(log.Campo(QStringLiteral("Mensagem")).toString(), QStringLiteral("Ligar para o cliente"));
        // The window stays open for the next message, list and mode as they were.
        QVERIFY(janela.isVisible());
        QCOMPARE(c.cmbUsuario->currentIndex(), 1);
        QVERIFY(c.optListaPorUsuario->isChecked());

        // The keyword now brings back the message just sent.
        Digita(c.txtMensagem, QStringLiteral("=anterior"));
        QCOMPARE(c.txtMensagem->toPlainText(), QStringLiteral("Ligar para o cliente"));
    }

    void terceiroGrupoDaLista() {
        BancadaVirtual b;
        QVERIFY(b.ambiente.AbreBancoVazio());
        b.ambiente.EscreveINI(ParaWin1252("[LISTAGEM]\r\nOpção=Grupo\r\n"));
        const QStringList nomes{"Delta", "Alfa", "Charlie", "Bravo"};
        QHash<QString, QString> pagerDoGrupo;
        for (int i = 0; i < nomes.size(); ++i) {
            const QString pager = QStringLiteral("90%1").arg(i);
            CadastraGrupo(nomes[i], {CadastraUsuario(QStringLiteral("Membro %1").arg(i), pager)});
            pagerDoGrupo.insert(nomes[i], pager);
        }
        RoteiroQueAceita(b.modem);
        frmMontaMsg janela(b.ctx);
        Controles c(janela);
        QCOMPARE(Itens(c.cmbUsuario), (QStringList{"Alfa", "Bravo", "Charlie", "Delta"}));
        c.cmbUsuario->setCurrentIndex(2);
        c.txtMensagem->setPlainText(QStringLiteral("Aviso geral"));
        bool medidorVisivel = false;
        b.relogio.aoPausar = [&medidorVisivel] {
            if (QWidget* envio = QApplication::activeModalWidget())
                if (auto* medidor = envio->findChild<QProgressBar*>(QStringLiteral("valStatus")))
                    medidorVisivel = medidorVisivel || medidor->isVisible();
        };

        c.cmdEnviar->click();

        Snapshot grupo(QStringLiteral("Select ID_Grupo From Grupos Where Nome_Grupo = 'Charlie'"));
        QCOMPARE(Modulo::CodigosDaLista[3], grupo.Campo(QStringLiteral("ID_Grupo")).toInt());
        QCOMPARE(b.modem.Contagem("\x02"), 1);
        QVERIFY(b.modem.linha.contains("\x02" + pagerDoGrupo.value("Charlie").toLatin1() +
                                       "\rAviso geral\r\x03"));
        QVERIFY(medidorVisivel);
        QVERIFY(c.txtMensagem->toPlainText().isEmpty());
    }

    void falhaGuardaOTextoENovoEnvioFunciona() {
        BancadaVirtual b;
        QVERIFY(b.ambiente.AbreBancoVazio());
        const Cadastro cadastro;
        b.modem.ModemQueRespondeOK();
        b.modem.QuandoRecebe("ATD", "\r\nBUSY\r\n", 2.0, 1);
        RoteiroQueAceita(b.modem);
        frmMontaMsg janela(b.ctx);
        Controles c(janela);
        c.txtMensagem->setPlainText(QStringLiteral("Tentativa"));

        c.cmdEnviar->click();
        QCOMPARE(c.txtMensagem->toPlainText(), QStringLiteral("Tentativa"));
        QVERIFY(Modulo::EnvioIniciado);
        QCOMPARE(b.operador.TextosDasCaixas(),
                 QStringList{"O telefone chamado está com sinal de linha ocupada, tente novamente."});
        QCOMPARE(b.operador.StatusAtual(), QStringLiteral(" Pronto"));
        QCOMPARE(Snapshot(QStringLiteral("Select * From Log")).RecordCount(), 0);

        c.cmdEnviar->click();
        QCOMPARE(b.modem.Contagem("ATD"), 2);
        QVERIFY(c.txtMensagem->toPlainText().isEmpty());
        QCOMPARE(Snapshot(QStringLiteral("Select * From Log")).RecordCount(), 1);
    }

    void listaComMaisDe5000() {
        BancadaVirtual b;
        QVERIFY(b.ambiente.AbreBancoVazio());
        constexpr int Total = 5003;
        QSqlDatabase banco = BancoDeDados();
        QVERIFY(banco.transaction());
        for (int i = 1; i <= Total; ++i)
            QVERIFY(CadastraUsuario(QStringLiteral("U%1").arg(i, 5, 10, QLatin1Char('0')),
                                    QString::number(i)) != 0);
        QVERIFY(banco.commit());
        RoteiroQueAceita(b.modem);

        frmMontaMsg janela(b.ctx);
        Controles c(janela);
        QCOMPARE(c.cmbUsuario->count(), Total);
        QVERIFY(Modulo::CodigosDaLista.size() >= Total + 1);
        QCOMPARE(Modulo::CodigosDaLista[Total], Total);

        c.cmbUsuario->setCurrentIndex(Total - 1);
        c.txtMensagem->setPlainText(QStringLiteral("fim da lista"));
        c.cmdEnviar->click();
        QVERIFY(b.modem.linha.contains("\x02"
                                       "5003\rfim da lista\r\x03"));
    }

    void janelaPrincipalAbreAComposicao() {
        AmbienteDeTeste ambiente;
        QVERIFY(ambiente.AbreBancoVazio());
        RelogioVirtual relogio;
        ModemRoteirizado modem(relogio);
        frmPrincipal principal(&modem, &relogio);
        principal.show();

        QCOMPARE(principal.findChild<QMenu*>(QStringLiteral("mnuMensagem"))->title(),
                 QStringLiteral("&Mensagem"));
        auto* mnuDigitaEnviaMsg = principal.findChild<QAction*>(QStringLiteral("mnuDigitaEnviaMsg"));
        QCOMPARE(mnuDigitaEnviaMsg->text(), QStringLiteral("Digitar + Enviar"));
        auto* cmdDiscarEnviar = principal.findChild<QToolButton*>(QStringLiteral("cmdDiscarEnviar"));
        QVERIFY(cmdDiscarEnviar);
        QCOMPARE(cmdDiscarEnviar->toolTip(), QStringLiteral("Digitar e Enviar Mensagens"));
        QCOMPARE(cmdDiscarEnviar->accessibleName(), cmdDiscarEnviar->toolTip());
        QVERIFY(!cmdDiscarEnviar->icon().isNull());
        QVERIFY(principal.findChild<QWidget*>(QStringLiteral("pnlToolBar"))->isVisible());

        const std::function<void()> comandos[] = {[&] { mnuDigitaEnviaMsg->trigger(); },
                                                  [&] { cmdDiscarEnviar->click(); }};
        for (const auto& comando : comandos) {
            QString aberta;
            Qt::CursorShape ponteiro = Qt::ArrowCursor;
            QTimer::singleShot(0, [&] {
                QWidget* janela = QApplication::activeModalWidget();
                aberta = janela ? janela->objectName() : QString();
                ponteiro = principal.cursor().shape();
                if (janela)
                    QTest::keyClick(janela, Qt::Key_Escape);
            });
            comando();
            QCOMPARE(aberta, QStringLiteral("frmMontaMsg"));
            QCOMPARE(ponteiro, Qt::WaitCursor);
            QCOMPARE(principal.cursor().shape(), Qt::ArrowCursor);
            QVERIFY(!QApplication::activeModalWidget());
        }
    }

    void autoEnviarAbreAoIniciar_data() {
        QTest::addColumn<QString>("valor");
        QTest::addColumn<bool>("abre");
        QTest::newRow("Sim") << "Sim" << true;
        QTest::newRow("sim") << "sim" << false;
    }

    void autoEnviarAbreAoIniciar() {
        QFETCH(QString, valor);
        QFETCH(bool, abre);
        AmbienteDeTeste ambiente;
        QVERIFY(ambiente.AbreBancoVazio());
        FechaBancoDeDados();
        ambiente.EscreveINI(
            ParaWin1252("[MODEM]\r\nPorta Serial=1\r\n[OPÇÕES]\r\nAutoEnviar=" + valor + "\r\n"));
        RelogioVirtual relogio;
        ModemRoteirizado modem(relogio);
        modem.ModemQueRespondeOK();
        frmPrincipal principal(&modem, &relogio);
        QString aberta;
        QTimer vigia;
        connect(&vigia, &QTimer::timeout, this, [&] {
            QWidget* janela = QApplication::activeModalWidget();
            if (janela && janela->objectName() == QLatin1String("frmMontaMsg")) {
                aberta = janela->objectName();
                QTest::keyClick(janela, Qt::Key_Escape);
            }
        });
        vigia.start(0);
        QVERIFY(principal.MDIForm_Load(ambiente.Diretorio()));
        vigia.stop();
        QCOMPARE(aberta.isEmpty(), !abre);
        QCOMPARE(principal.StatusAtual(), QStringLiteral(" Pronto"));
    }
};

QTEST_MAIN(TstFrmMontaMsg)
#include "tst_frmMontaMsg.moc"
