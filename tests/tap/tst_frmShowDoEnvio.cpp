// The send-progress window: stage texts and gauge while a send runs, one send per opening, no way
// to close it mid-send.
#include "BancadaVirtual.h"
#include "CadastroDeTeste.h"
#include "EnvioDeTeste.h"
#include "common/Modulo.h"
#include "tap/frmShowDoEnvio.h"
#include "ui/frmMensagem.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {
// Shows real message boxes and presses OK; the window below is then activated again, as a
// window manager does (the offscreen platform does not).
class OperadorComCaixas : public OperadorGravado {
public:
    Resposta Mensagem(const QString& texto, const QString& titulo, Icone icone, Botoes botoes) override {
        OperadorGravado::Mensagem(texto, titulo, icone, botoes);
        QTimer::singleShot(0, [] {
            if (auto* caixa = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                caixa->button(QMessageBox::Ok)->click();
        });
        QWidget* janela = QApplication::activeModalWidget();
        const Resposta resposta = MostraMensagem(janela, texto, titulo, icone, botoes);
        if (janela)
            janela->activateWindow();
        return resposta;
    }
};

// What a widget showed each time it was painted.
struct Pinturas : QObject {
    std::function<QString()> mostra;
    QStringList vistas;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint)
            vistas << mostra();
        return false;
    }
};
} // namespace

class tst_frmShowDoEnvio : public QObject {
    Q_OBJECT
private slots:
    void init() { Modulo::EnvioIniciado = false; }

    // A group send through the window, with Escape and close tried while it runs.
    void envioParaUmGrupo() {
        BancadaVirtual b(true);
        Modulo::CodigosDaLista[1] = CadastraGrupo(
            QStringLiteral("Todos"), {CadastraUsuario("Ana", "111"), CadastraUsuario("Caio", "222")});
        b.modem.CentralQueAceita();
        PedidoDeTeste pedido;
        pedido.porUsuario = false;
        frmShowDoEnvio janela(b.ctx, pedido);
        auto* titulo = janela.findChild<QLabel*>(QStringLiteral("pnlTitulo"));
        auto* medidor = janela.findChild<QProgressBar*>(QStringLiteral("valStatus"));
        QStringList titulos;
        bool abertaComMedidor = true;
        b.relogio.aoPausar = [&] {
            if (titulos.isEmpty() || titulos.last() != titulo->text())
                titulos << titulo->text();
            QTest::keyClick(&janela, Qt::Key_Escape);
            janela.close();
            abertaComMedidor = abertaComMedidor && janela.isVisible() && medidor->isVisible();
        };
        // What was painted when each block and the log-off left; no events run between pages.
        Pinturas doTitulo, doMedidor;
        doTitulo.mostra = [titulo] { return titulo->text(); };
        doMedidor.mostra = [medidor] { return QString::number(medidor->value()); };
        titulo->installEventFilter(&doTitulo);
        medidor->installEventFilter(&doMedidor);
        QStringList naSaida;
        b.modem.aoEscrever = [&](const QByteArray& bytes) {
            if (bytes.startsWith('\x02') || bytes == "\x04\r")
                naSaida << doTitulo.vistas.constLast() + " " + doMedidor.vistas.constLast();
        };
        janela.MedidorVisivel(true); // as the composition window does for a group
        QCOMPARE(janela.exec(), int(QDialog::Accepted));
        QVERIFY(abertaComMedidor);
        QCOMPARE(titulos, (QStringList{"Discando ...", "Efetuando LogIn ...", "Enviando Mensagem ...",
                                       "Desconectando Modem ..."}));
        QCOMPARE(naSaida, (QStringList{"Enviando Mensagem ... 0", "Enviando Mensagem ... 0",
                                       "Enviando Mensagem ... 2"}));
        QCOMPARE(titulo->text(), QStringLiteral("Retornando ..."));
        QCOMPARE(medidor->maximum(), 2);
        QCOMPARE(medidor->value(), 2);
        QCOMPARE(pedido.esvaziamentos, 1);
    }

    // The modem held by another Bipvox program: the window waits, saying who, and sends once it is
    // free; Escape or Retornar give the wait up with nothing dialled.
    void esperaPeloModem_data() {
        QTest::addColumn<QString>("acao");
        QTest::newRow("a porta fica livre") << "";
        QTest::newRow("Escape") << "Escape";
        QTest::newRow("Retornar") << "Retornar";
    }
    void esperaPeloModem() {
        QFETCH(QString, acao);
        BancadaVirtual b(true);
        Modulo::CodigosDaLista[1] = CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("111"));
        b.modem.CentralQueAceita();
        b.modem.setPortOpen(false);
        b.modem.falhasAoAbrir = 4;
        b.modem.emUsoPor = QStringLiteral("em uso por outro programa do Bipvox (bipvox-enviar, processo 42)");
        PedidoDeTeste pedido;
        frmShowDoEnvio janela(b.ctx, pedido);
        auto* retornar = janela.findChild<QPushButton*>(QStringLiteral("cmdRetornar"));
        auto* titulo = janela.findChild<QLabel*>(QStringLiteral("pnlTitulo"));
        QStringList vistos;
        b.relogio.aoPausar = [&] {
            if (!retornar->isVisible())
                return;
            vistos << titulo->text();
            if (acao == QLatin1String("Escape"))
                QTest::keyClick(&janela, Qt::Key_Escape);
            else if (!acao.isEmpty())
                retornar->click();
        };
        QCOMPARE(janela.exec(), int(QDialog::Accepted));
        QCOMPARE(vistos.value(0), b.modem.emUsoPor.prepend(QStringLiteral("Aguardando o modem, ")));
        QCOMPARE(vistos.size(), acao.isEmpty() ? 4 : 1);
        QCOMPARE(b.modem.Contagem("ATD"), int(acao.isEmpty()));
        QCOMPARE(pedido.esvaziamentos, int(acao.isEmpty()));
        QVERIFY(!retornar->isVisible() && !b.modem.PortOpen());
    }

    void caixaDuranteOEnvioNaoDiscaDeNovo() {
        BancadaVirtual b(true);
        Modulo::CodigosDaLista[1] = CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("1234567"));
        b.modem.ModemQueRespondeOK();
        b.modem.QuandoRecebe("ATD", "\r\nCONNECT 9600\r\n", 2.0); // the terminal never asks for the ID
        OperadorComCaixas operador;
        Contexto ctx{b.relogio, b.modem, operador};
        PedidoDeTeste pedido;
        frmShowDoEnvio janela(ctx, pedido);
        QCOMPARE(janela.exec(), int(QDialog::Accepted));
        QCOMPARE(operador.TextosDasCaixas(),
                 QStringList{"Erro na tentativa de efetuar o LogIn. Tente novamente."});
        janela.Form_Activate();
        QCOMPARE(b.modem.Contagem("ATD"), 1);
        QCOMPARE(pedido.esvaziamentos, 0);
        QCOMPARE(pedido.texto, QStringLiteral("Reuniao as 15h"));
    }
};

QTEST_MAIN(tst_frmShowDoEnvio)
#include "tst_frmShowDoEnvio.moc"
