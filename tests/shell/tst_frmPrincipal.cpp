// The main window: the start-up road in virtual time (windows shown, status line, questions
// asked), its commands, the two ways of leaving, the port reopened after the modem dialog,
// questions left only by their buttons, a name for every control of every window, and panels read
// by their text.
#include "BancadaVirtual.h"
#include "CadastroDeTeste.h"
#include "EnvioDeTeste.h"
#include "common/Win1252.h"
#include "directory/frmVisualizaUsuarios.h"
#include "settings/PerfilINI.h"
#include "shell/Inicializacao.h"
#include "shell/frmPrincipal.h"
#include "store/BancoDeDados.h"
#include "store/Snapshot.h"
#include "tap/frmShowDoEnvio.h"
#include "ui/frmMensagem.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {
class JanelasGravadas : public JanelasDaInicializacao {
public:
    QStringList chamadas;
    QStringList portasEscolhidas; // what the person picks in the modem dialog, in turn
    void MostraSplash() override { chamadas << QStringLiteral("splash"); }
    void FechaSplash() override { chamadas << QStringLiteral("fechaSplash"); }
    void MostraPrincipal() override { chamadas << QStringLiteral("principal"); }
    void MostraConfigModem() override {
        chamadas << QStringLiteral("configModem");
        if (!portasEscolhidas.isEmpty())
            GravaINI(QStringLiteral("MODEM"), QStringLiteral("Porta Serial"), portasEscolhidas.takeFirst());
    }
    void MostraMontaMsg() override { chamadas << QStringLiteral("montaMsg"); }
};

// The texts of the status line and of the boxes, by the letter the rows use for them.
const QHash<QChar, QString> kTextos{
    {'B', " Inicializando Banco de Dados, aguarde ..."},
    {'V', " Inicializando variáveis, aguarde ..."},
    {'M', " Inicializando Modem, aguarde ..."},
    {'P', " Pronto"},
    {'E', " Erro iniciando o bando de dados."},
    {'S', " Erro iniciando a porta serial do modem."},
    {'C', " Configurando modem ..."},
    {'D', "Houve um erro sério ao tentar abrir o arquivo de dados do sistema."},
    {'Q', "Houve um erro ao tentar inicializar o modem. Você deseja ajustar as configurações do seu modem?"},
    {'O',
     "Este erro pode ter sido ocasionado pelo fato de que outro aplicativo está utilizando a porta serial "
     "onde está instalado o seu modem. Reinicialize o seu computador e tente novamente."},
    {'U', "O modem está em uso por outro programa do Bipvox (bipvox-servidor, processo 7). Ele será usado "
          "quando estiver livre: um envio feito agora espera o fim da outra chamada."},
    {'T',
     "Modem TimeOut: Ha a possibilidade da porta serial selecionada não possuir nenhum um modem instalado."}};

QStringList Textos(const QString& letras) {
    QStringList textos;
    for (QChar letra : letras)
        textos << kTextos.value(letra);
    return textos;
}
// The controls a person uses that have neither an accessible name nor a text of their own.
QStringList SemNome(const QWidget* janela) {
    QStringList semNome;
    for (QWidget* c : janela->findChildren<QWidget*>()) {
        const auto* botao = qobject_cast<QAbstractButton*>(c);
        const bool usado = botao || qobject_cast<QComboBox*>(c) || qobject_cast<QLineEdit*>(c) ||
                           qobject_cast<QPlainTextEdit*>(c);
        if (usado && !c->objectName().startsWith(QLatin1String("qt_")) && c->accessibleName().isEmpty() &&
            !(botao && !botao->text().isEmpty()))
            semNome << c->objectName();
    }
    return semNome;
}

// Name, description and the labels that label it, as one line.
QString ComoSeLe(QWidget* painel) {
    QAccessibleInterface* acessivel = QAccessible::queryAccessibleInterface(painel);
    QStringList rotulos;
    for (const auto& relacao : acessivel->relations(QAccessible::Label))
        rotulos << relacao.first->text(QAccessible::Name);
    return acessivel->text(QAccessible::Name) + "|" + acessivel->text(QAccessible::Description) + "|" +
           rotulos.join(',');
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

class tst_frmPrincipal : public QObject {
    Q_OBJECT

private slots:
    void inicializacao_data() {
        // settings|database: vazio, lixo or ausente|"modem" answers OK, "falhas=N" opens fail, "Sim"
        // answers|ready?|windows after the splash and the main one|status texts|boxes
        QTest::addColumn<QString>("caso");
        QTest::newRow("banco danificado") << "COM1|lixo|modem|0|fechaSplash|BE|D";
        QTest::newRow("banco ausente") << "COM1|ausente|modem|0|fechaSplash|BE|D";
        QTest::newRow("sem configuração") << "|vazio|modem|1|fechaSplash configModem fechaSplash|BCVMP|";
        QTest::newRow("porta falha, Sim e depois Não")
            << "COM3|vazio|falhas=5 Sim|0|fechaSplash configModem fechaSplash|BVSCS|QQO";
        QTest::newRow("porta em uso por outro programa")
            << "COM1|vazio|ocupada|1|fechaSplash fechaSplash|BVP|U";
        QTest::newRow("modem mudo") << "COM1|vazio||1|fechaSplash|BVMP|TT";
        QTest::newRow("AutoEnviar") << "COM1 Sim|vazio|modem|1|fechaSplash montaMsg|BVMP|";
        QTest::newRow("autoenviar=sim") << "COM1 sim|vazio|modem|1|fechaSplash|BVMP|";
    }
    void inicializacao() {
        const QStringList c = CamposDoCaso();
        const QString banco = c[1], roteiro = c[2];
        const bool pronto = c[3] == QLatin1String("1");
        QString ini = c[0].isEmpty() ? QString() : "[MODEM]\r\nPorta Serial=" + c[0].mid(3, 1) + "\r\n";
        if (c[0].contains(QLatin1String(" ")))
            ini += "[OPÇÕES]\r\nAutoEnviar=" + c[0].section(' ', 1) + "\r\n";
        BancadaVirtual b;
        b.modem.setPortOpen(false); // the start-up opens it
        b.ambiente.EscreveINI(ParaWin1252(ini));
        const QString mdb = b.ambiente.Diretorio() + QStringLiteral("/Pager.Mdb");
        if (banco == QLatin1String("vazio")) {
            QVERIFY(b.ambiente.AbreBancoVazio());
            FechaBancoDeDados();
        } else if (banco == QLatin1String("lixo")) {
            QFile lixo(mdb);
            QVERIFY(lixo.open(QIODevice::WriteOnly) &&
                    lixo.write(QByteArray("Standard Jet DB\0\0\0 isto nao", 27)) == 27);
        }
        JanelasGravadas gravadas;
        gravadas.portasEscolhidas << QStringLiteral("2");
        if (roteiro.contains(QLatin1String("modem")))
            b.modem.ModemQueRespondeOK();
        b.modem.falhasAoAbrir = roteiro.startsWith(QLatin1String("falhas=")) ? roteiro.mid(7, 1).toInt() : 0;
        if (roteiro == QLatin1String("ocupada")) {
            b.modem.falhasAoAbrir = 1;
            b.modem.emUsoPor =
                QStringLiteral("em uso por outro programa do Bipvox (bipvox-servidor, processo 7)");
        }
        if (roteiro.contains(QLatin1String("Sim")))
            b.operador.respostas = {Resposta::Sim};

        QCOMPARE(ExecutaInicializacao(b.ctx, gravadas, b.ambiente.Diretorio()) == FimDaInicializacao::Pronto,
                 pronto);
        QCOMPARE(gravadas.chamadas.join(' '), "splash principal " + c[4]);
        QCOMPARE(b.operador.status, Textos(c[5]));
        QCOMPARE(b.operador.TextosDasCaixas(), Textos(c[6]));
        QCOMPARE(BancoDeDadosAberto(), pronto);
        // The modem is reset when the port could be taken, and let go afterwards.
        QCOMPARE(b.modem.linha,
                 pronto && !b.modem.emUsoPor.size() ? QByteArray("ATZ\rate0\r") : QByteArray());
        QVERIFY(!b.modem.PortOpen());
        QCOMPARE(QFile::exists(mdb), banco != QLatin1String("ausente"));
        if (pronto)
            QCOMPARE(b.modem.settings, QStringLiteral("9600,e,7,1"));
        FechaBancoDeDados();
    }
    void comandos_data() {
        // command|window it opens|hourglass meanwhile?|what the modem hears afterwards (the port
        // closed and opened again, even when the dialog is left without "Ok")
        QTest::addColumn<QString>("caso");
        QTest::newRow("novo usuário") << "mnuUsuariosCadastraNovo|frmCadastraUsuarios|s|";
        QTest::newRow("cadastro pelo botão") << "cmdVisualizaUsuarios|frmVisualizaUsuarios|s|";
        QTest::newRow("grupos pelo botão") << "cmdGrupos|frmCadastraGrupo|s|";
        QTest::newRow("membros dos grupos") << "mnuGruposExibirUsuarioGrupo|frmUsuariosGrupo|s|";
        QTest::newRow("digitar e enviar") << "mnuDigitaEnviaMsg|frmMontaMsg|s|";
        QTest::newRow("opções avançadas") << "mnuOpcoesAvancadas|frmAvancada||";
        QTest::newRow("configurar modem") << "mnuConfigurarModem|frmConfigModem||ATZ\rate0\r";
        QTest::newRow("sobre") << "mnuAjudaSobre|frmSobre||";
        QTest::newRow("ajuda") << "mnuExibirAjuda|caixaDeMensagem||";
    }
    void comandos() {
        const QStringList c = CamposDoCaso();
        BancadaVirtual b(true);
        b.ambiente.EscreveINI("[MODEM]\r\nPorta Serial=3\r\n");
        b.modem.ModemQueRespondeOK();
        frmPrincipal principal(&b.modem, &b.relogio);
        principal.show();
        QString aberta;
        QStringList semNome = SemNome(&principal);
        Qt::CursorShape ponteiro = Qt::ArrowCursor;
        NaProximaModal([&](QWidget* modal) {
            aberta = modal->objectName();
            semNome += SemNome(modal);
            ponteiro = principal.cursor().shape();
            modal->close();
        });
        if (auto* acao = principal.findChild<QAction*>(c[0]))
            acao->trigger();
        else
            principal.findChild<QToolButton*>(c[0])->click();
        QCOMPARE(aberta, c[1]);
        QCOMPARE(semNome, QStringList());
        QCOMPARE(ponteiro == Qt::WaitCursor, !c[2].isEmpty());
        QCOMPARE(b.modem.linha, c[3].toLatin1());
        QCOMPARE(b.modem.fechamentos, 2 * int(!c[3].isEmpty())); // closed to reopen, let go after the reset
        QCOMPARE(b.modem.aberturas, 1 + int(!c[3].isEmpty()));
        QCOMPARE(principal.StatusAtual(), QStringLiteral(" Pronto"));
    }

    // Started as the program starts, then left by the menu or by the close box.
    void sair() {
        for (const bool pelaCaixaDeFechar : {false, true}) {
            BancadaVirtual b(true);
            FechaBancoDeDados();
            b.ambiente.EscreveINI("[MODEM]\r\nPorta Serial=1\r\n");
            b.modem.ModemQueRespondeOK();
            frmPrincipal janela(&b.modem, &b.relogio);
            QVERIFY(janela.MDIForm_Load(b.ambiente.Diretorio()) && BancoDeDadosAberto());
            QList<int> encerrou;
            janela.encerraPrograma = [&encerrou](int codigo) { encerrou << codigo; };
            b.modem.linha.clear();
            if (pelaCaixaDeFechar)
                janela.close();
            else
                janela.findChild<QAction*>("mnuSair")->trigger();
            QVERIFY(!BancoDeDadosAberto());
            QCOMPARE(encerrou, pelaCaixaDeFechar ? QList<int>{} : QList<int>{0});
            QCOMPARE(janela.isVisible(), !pelaCaixaDeFechar); // closed, the last window ends the program
            QVERIFY(b.modem.linha.isEmpty() && !b.modem.PortOpen()); // no hang-up; let go after start-up
        }
    }

    // Neither Escape nor the close box answers a Yes/No question.
    void perguntaSoPelosBotoes() {
        bool continuouAberta = false;
        QString mostrado;
        NaProximaModal([&](QWidget* modal) {
            auto* caixa = static_cast<QMessageBox*>(modal);
            QTest::keyClick(caixa, Qt::Key_Escape);
            caixa->close();
            continuouAberta = caixa->isVisible();
            mostrado = caixa->text();
            caixa->button(QMessageBox::Yes)->click();
        });
        QCOMPARE(MostraMensagem(nullptr, QStringLiteral("Ana: recusado\rBia\r\nAjustar?"),
                                QStringLiteral("Erro:"), Icone::Critico, Botoes::SimNao),
                 Resposta::Sim);
        QVERIFY(continuouAberta);
        QCOMPARE(mostrado, QStringLiteral("Ana: recusado\nBia\nAjustar?"));
    }

    // Read-only panels that show data are read by assistive technology through their current text,
    // with their caption as description and as the label they are labelled by; read through the
    // accessible interface, which is what the AT-SPI bridge serves on the accessibility bus.
    void painelLidoPeloTexto_data() {
        QTest::addColumn<QString>("caso"); // panel|name (its text now)|description|labelled by
        QTest::newRow("detalhes do usuário")
            << "usuario|Código do Pager: 100\nData de Cadastro: 01/01/2024\nGrupos: Pertence a 1 grupo(s).\n"
               "Descrição: teste|Descrição do Usuário|Descrição do Usuário:";
        QTest::newRow("status da principal") << "status| Enviando mensagem ...|Linha de status|";
        QTest::newRow("andamento do envio") << "envio|Enviando Mensagem ...|Situação do envio|";
        QTest::newRow("caixa da célula") << "caixa|Conteúdo da Célula Selecionada|Reunião\nàs 15h|";
    }
    void painelLidoPeloTexto() {
        const QStringList c = CamposDoCaso();
        BancadaVirtual b(true);
        CadastraGrupo(QStringLiteral("Vendas"),
                      {CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("100"))});
        QString lido;
        if (c[0] == "usuario") {
            lido =
                ComoSeLe(frmVisualizaUsuarios(b.operador, nullptr).findChild<QLabel*>("pnlDescricaoGrupo"));
        } else if (c[0] == "status") {
            frmPrincipal principal(&b.modem, &b.relogio);
            principal.Status(QStringLiteral(" Enviando mensagem ..."));
            lido = ComoSeLe(principal.findChild<QLabel*>("pnlStatus"));
        } else if (c[0] == "envio") {
            PedidoDeTeste pedido;
            frmShowDoEnvio janela(b.ctx, pedido);
            janela.Titulo(QStringLiteral("Enviando Mensagem ..."));
            QCOMPARE(janela.accessibleName(), QStringLiteral("Enviando Mensagem ...")); // named by its stage
            lido = ComoSeLe(janela.findChild<QLabel*>("pnlTitulo"));
        } else {
            QTimer::singleShot(0, [&] {
                lido = ComoSeLe(QApplication::activeModalWidget());
                QApplication::activeModalWidget()->close();
            });
            MostraMensagem(nullptr, "Reunião\r\nàs 15h", "Conteúdo da Célula Selecionada", Icone::Informacao);
        }
        QCOMPARE(lido, c.mid(1).join('|'));
    }
};

QTEST_MAIN(tst_frmPrincipal)
#include "tst_frmPrincipal.moc"
