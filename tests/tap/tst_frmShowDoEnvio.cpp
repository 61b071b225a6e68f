// The send-progress window: stage texts, gauge, animation, one send per opening, no cancel.
#include "BancadaVirtual.h"
#include "CadastroDeTeste.h"
#include "common/Modulo.h"
#include "ui/frmMensagem.h"
#include "store/Snapshot.h"
#include "tap/frmShowDoEnvio.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QTimer>
#include <QtTest>

namespace {

// The request as the composition window would answer it.
struct PedidoFixo : PedidoDeEnvio {
    bool porUsuario = true;
    int indice = 0;
    QString texto = QStringLiteral("Reuniao as 15h");
    int esvaziamentos = 0;

    bool DestinoEhUsuario() const override { return porUsuario; }
    int IndiceDaLista() const override { return indice; }
    QString TextoDaMensagem() const override { return texto; }
    void EsvaziaMensagem() override {
        ++esvaziamentos;
        texto.clear();
    }
};

// Shows real message boxes and presses OK. The window under the box is then activated again,
// as a desktop's window manager does (the offscreen platform does not).
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

int LinhasDoLog() {
    Snapshot log(QStringLiteral("Select Count(*) As Total From Log"));
    return log.Campo(QStringLiteral("Total")).toInt();
}

// A modem that connects and a terminal that takes every block.
void RoteiroQueAceita(ModemRoteirizado& modem) {
    modem.ModemQueRespondeOK();
    modem.QuandoRecebe("ATD", "\r\nCONNECT 9600\r\n", 2.0);
    modem.TerminalQueAceitaLogOn();
    modem.QuandoRecebe("\x02", "\r\x06\r", 0.5);
    modem.QuandoRecebe("\x04\r", "\x1b\x04\r");
}

QLabel* Titulo(QWidget& janela) {
    return janela.findChild<QLabel*>(QStringLiteral("pnlTitulo"));
}

QProgressBar* Medidor(QWidget& janela) {
    return janela.findChild<QProgressBar*>(QStringLiteral("valStatus"));
}

// Every stage text the window showed while the send let events run, in order, once each.
struct Estagios {
    QStringList titulos;
    QVector<bool> medidorVisivel;
    void Observa(BancadaVirtual& b, QWidget& janela) {
        b.relogio.aoPausar = [this, &janela] {
            const QString atual = Titulo(janela)->text();
            if (titulos.isEmpty() || titulos.last() != atual)
                titulos.append(atual);
            medidorVisivel.append(Medidor(janela)->isVisible());
        };
    }
};

class ContaAtivacoes : public QObject {
public:
    int ativacoes = 0;
    bool eventFilter(QObject* objeto, QEvent* evento) override {
        if (evento->type() == QEvent::WindowActivate)
            ++ativacoes;
        return QObject::eventFilter(objeto, evento);
    }
};

} // namespace

class TstFrmShowDoEnvio : public QObject {
    Q_OBJECT

private slots:
    void init() { Modulo::EnvioIniciado = false; }

    void estadoAoAbrir() {
        BancadaVirtual b;
        PedidoFixo pedido;
        frmShowDoEnvio janela(b.ctx, pedido);

        QCOMPARE(Titulo(janela)->text(), QStringLiteral("Discando ..."));
        QCOMPARE(Titulo(janela)->font().family(), QStringLiteral("Times New Roman"));
        QVERIFY(Medidor(janela)->isHidden());
        auto* timer = janela.findChild<QTimer*>(QStringLiteral("tmpTemporizador"));
        QVERIFY(timer);
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 500);
        QCOMPARE(janela.Contador(), qint16(0));
        auto* banner = janela.findChild<QLabel*>(QStringLiteral("pnlImg"));
        QCOMPARE(banner->pixmap().size(), QSize(391, 76));

        // The resting picture is its own, none of the seven frames; the frames all differ.
        const QImage inicial = janela.findChild<QLabel*>(QStringLiteral("imgFigura"))->pixmap().toImage();
        QVERIFY(!inicial.isNull());
        for (int i = 0; i < 7; ++i) {
            QCOMPARE(janela.imgFig(i).size(), QSize(32, 32));
            QVERIFY(janela.imgFig(i).toImage() != inicial);
            for (int j = i + 1; j < 7; ++j)
                QVERIFY2(janela.imgFig(i).toImage() != janela.imgFig(j).toImage(),
                         qPrintable(QString("%1 %2").arg(i).arg(j)));
        }
    }

    void animacaoVoltaDe7Para1() {
        BancadaVirtual b;
        PedidoFixo pedido;
        frmShowDoEnvio janela(b.ctx, pedido);
        auto* figura = janela.findChild<QLabel*>(QStringLiteral("imgFigura"));
        QVector<int> contadores;
        for (int passo = 0; passo < 16; ++passo) {
            janela.tmpTemporizador_Timer();
            contadores.append(janela.Contador());
            QCOMPARE(figura->pixmap().toImage(), janela.imgFig(janela.Contador() - 1).toImage());
        }
        QCOMPARE(contadores, (QVector<int>{1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2}));
    }

    void temporizadorMoveAFigura() {
        BancadaVirtual b;
        PedidoFixo pedido;
        frmShowDoEnvio janela(b.ctx, pedido);
        // Only the wiring is checked here: the interval is shortened so no real time is spent.
        janela.findChild<QTimer*>(QStringLiteral("tmpTemporizador"))->setInterval(1);
        QTRY_VERIFY(janela.Contador() >= 2);
    }

    void envioParaUmUsuario() {
        BancadaVirtual b;
        QVERIFY(b.ambiente.AbreBancoVazio());
        Modulo::CodigosDaLista[1] = CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("1234567"));
        RoteiroQueAceita(b.modem);
        PedidoFixo pedido;
        frmShowDoEnvio janela(b.ctx, pedido);
        Estagios estagios;
        estagios.Observa(b, janela);

        QCOMPARE(janela.exec(), int(QDialog::Accepted));

        QVERIFY(!janela.isVisible());
        QVERIFY(Modulo::EnvioIniciado);
        QCOMPARE(pedido.esvaziamentos, 1);
        QCOMPARE(b.modem.Contagem("ATD"), 1);
        QVERIFY(b.modem.linha.contains("\x02"
                                       "1234567\rReuniao as 15h\r\x03"));
        QCOMPARE(LinhasDoLog(), 1);
        QCOMPARE(estagios.titulos, (QStringList{"Discando ...", "Efetuando LogIn ...",
                                                "Enviando Mensagem ...", "Desconectando Modem ..."}));
        QCOMPARE(Titulo(janela)->text(), QStringLiteral("Retornando ..."));
        QVERIFY(!estagios.medidorVisivel.contains(true));
        QVERIFY(Medidor(janela)->isHidden());
        QCOMPARE(b.operador.status.first(),
                 QStringLiteral(" Discando para a empresa de rádio chamadas, aguarde ..."));
        QVERIFY(b.operador.caixas.isEmpty());
    }

    void envioParaUmGrupoMoveOMedidor() {
        BancadaVirtual b;
        QVERIFY(b.ambiente.AbreBancoVazio());
        const qint32 a = CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("111"));
        const qint32 c = CadastraUsuario(QStringLiteral("Caio"), QStringLiteral("222"));
        const qint32 d = CadastraUsuario(QStringLiteral("Davi"), QStringLiteral("333"));
        Modulo::CodigosDaLista[1] = CadastraGrupo(QStringLiteral("Todos"), {a, c, d});
        RoteiroQueAceita(b.modem);
        PedidoFixo pedido;
        pedido.porUsuario = false;
        frmShowDoEnvio janela(b.ctx, pedido);
        QVector<int> valores;
        connect(Medidor(janela), &QProgressBar::valueChanged, this, [&valores](int v) { valores.append(v); });
        Estagios estagios;
        estagios.Observa(b, janela);

        janela.MedidorVisivel(true); // as the composition window does for a group
        QCOMPARE(janela.exec(), int(QDialog::Accepted));

        QCOMPARE(Medidor(janela)->minimum(), 0);
        QCOMPARE(Medidor(janela)->maximum(), 3);
        QCOMPARE(valores, (QVector<int>{1, 2, 3}));
        QVERIFY(!estagios.medidorVisivel.isEmpty());
        QVERIFY(!estagios.medidorVisivel.contains(false));
        QCOMPARE(b.modem.Contagem("\x02"), 3);
        QCOMPARE(LinhasDoLog(), 3);
        QCOMPARE(pedido.esvaziamentos, 1);
    }

    void discagemFalhaFechaEGuardaOTexto() {
        BancadaVirtual b;
        QVERIFY(b.ambiente.AbreBancoVazio());
        Modulo::CodigosDaLista[1] = CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("1234567"));
        b.modem.ModemQueRespondeOK();
        b.modem.QuandoRecebe("ATD", "\r\nBUSY\r\n", 2.0);
        PedidoFixo pedido;
        frmShowDoEnvio janela(b.ctx, pedido);

        QCOMPARE(janela.exec(), int(QDialog::Accepted));

        QCOMPARE(Titulo(janela)->text(), QStringLiteral("Desconectando Modem ..."));
        QCOMPARE(pedido.esvaziamentos, 0);
        QCOMPARE(pedido.texto, QStringLiteral("Reuniao as 15h"));
        QVERIFY(b.modem.linha.contains("ATH0\r"));
        QVERIFY(!b.modem.linha.contains("\x02"));
        QCOMPARE(b.operador.TextosDasCaixas(),
                 QStringList{"O telefone chamado está com sinal de linha ocupada, tente novamente."});
        QVERIFY(Modulo::EnvioIniciado);
    }

    void caixaDuranteOEnvioNaoDiscaDeNovo() {
        AmbienteDeTeste ambiente;
        QVERIFY(ambiente.AbreBancoVazio());
        Modulo::CodigosDaLista[1] = CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("1234567"));
        RelogioVirtual relogio;
        ModemRoteirizado modem(relogio);
        modem.setPortOpen(true);
        modem.ModemQueRespondeOK();
        modem.QuandoRecebe("ATD", "\r\nCONNECT 9600\r\n", 2.0);
        // The terminal never asks for identification: the log-on fails with a message box.
        OperadorComCaixas operador;
        Contexto ctx{relogio, modem, operador};
        PedidoFixo pedido;
        frmShowDoEnvio janela(ctx, pedido);
        ContaAtivacoes contador;
        janela.installEventFilter(&contador);

        QCOMPARE(janela.exec(), int(QDialog::Accepted));

        QCOMPARE(operador.TextosDasCaixas(),
                 QStringList{"Erro na tentativa de efetuar o LogIn. Tente novamente."});
        // Activated when shown and again when the box closed; one dial all the same.
        QVERIFY2(contador.ativacoes >= 2, qPrintable(QString::number(contador.ativacoes)));
        QCOMPARE(modem.Contagem("ATD"), 1);
        QCOMPARE(pedido.esvaziamentos, 0);

        // Another activation of this opening does nothing either.
        janela.Form_Activate();
        QCOMPARE(modem.Contagem("ATD"), 1);
    }

    void escapeEFecharNaoInterrompem() {
        BancadaVirtual b;
        QVERIFY(b.ambiente.AbreBancoVazio());
        Modulo::CodigosDaLista[1] = CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("1234567"));
        RoteiroQueAceita(b.modem);
        PedidoFixo pedido;
        frmShowDoEnvio janela(b.ctx, pedido);
        int tentativas = 0;
        bool continuouAberta = true;
        b.relogio.aoPausar = [&] {
            if (!janela.isVisible() || tentativas >= 3)
                return;
            ++tentativas;
            QTest::keyClick(&janela, Qt::Key_Escape);
            janela.close();
            continuouAberta = continuouAberta && janela.isVisible();
        };

        QCOMPARE(janela.exec(), int(QDialog::Accepted));

        QCOMPARE(tentativas, 3);
        QVERIFY(continuouAberta);
        QCOMPARE(pedido.esvaziamentos, 1);
        QCOMPARE(LinhasDoLog(), 1);
    }
};

QTEST_MAIN(TstFrmShowDoEnvio)
#include "tst_frmShowDoEnvio.moc"
