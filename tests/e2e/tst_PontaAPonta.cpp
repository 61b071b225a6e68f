// The window's send with the real serial code against bipvox-simulador: over a modem on its
// pseudo-terminal, and a modem device that vanishes between two sends and comes back under the
// same name while another program holds the port (groups, the direct cable and TCP are driven
// through the command-line sender's table, a group's box in virtual time by tests/tap). Time runs
// five times faster, so a send takes about a second (the simulator's delays are set to match).
#include "AmbienteDeTeste.h"
#include "CadastroDeTeste.h"
#include "EnvioDeTeste.h"
#include "OperadorGravado.h"
#include "RelogioAcelerado.h"
#include "SimuladorExterno.h"
#include "common/Modulo.h"
#include "modem/ComandosModem.h"
#include "modem/PortaSerialQt.h"
#include "modem/TravaDaPorta.h"
#include "settings/PerfilINI.h"
#include "store/Snapshot.h"

#include <QJsonObject>
#include <QtTest>

namespace {
struct Cena {
    AmbienteDeTeste ambiente{true};
    RelogioAcelerado relogio{5};
    PortaSerialQt porta{relogio};
    OperadorGravado operador;
    Contexto ctx{relogio, porta, operador};
    PedidoDeTeste pedido;
    PainelDeTeste painel;
    Cena() {
        Modulo::CodigosDaLista[1] = CadastraUsuario(QStringLiteral("Ana O'Neil"), QStringLiteral("1111"));
        Modulo::PortaModem = 1;
        Modulo::EnvioIniciado = false;
    }
};

} // namespace

class tst_PontaAPonta : public QObject {
    Q_OBJECT
private slots:
    // A user's page; then the device vanishes and comes back.
    void envio() {
        Cena c;
        const QString link = c.ambiente.Diretorio() + QStringLiteral("/modem");
        const QStringList opcoes{"--silencioso", "--atraso-discagem=0.1", "--guarda-escape=0.1",
                                 "--link=" + link};
        SimuladorExterno simulador;
        QString erro;
        QVERIFY2(simulador.Inicia(opcoes, &erro), qPrintable(erro));
        GravaINI(QStringLiteral("MODEM"), QStringLiteral("COM1"), link);
        GravaINI(QStringLiteral("MODEM"), QStringLiteral("Configurações"), QStringLiteral("9600,n,8,1"));
        QVERIFY2(ConfiguraPorta(c.ctx), qPrintable(c.porta.UltimoErro()));
        // A trailing blank is trimmed from the page but kept in the history; letters go plain.
        c.pedido.texto = QStringLiteral("Reunião às 15h \"urgente\" ");
        InicializaModem(c.ctx); // the start-up's reset
        IniciaProcesso(c.ctx, c.pedido, c.painel);

        QCOMPARE(c.operador.TextosDasCaixas(), QStringList());
        QStringList recebidas;
        for (const QJsonObject& p : simulador.Paginas()) {
            QCOMPARE(p["mensagem"].toString(), QStringLiteral("Reuniao as 15h \"urgente\""));
            QVERIFY(p["somaConfere"].toBool());
            recebidas << p["codigo"].toString();
        }
        QCOMPARE(recebidas, QStringList{"1111"});
        QCOMPARE(Coluna("Select ID_Pager || ' ' || Mensagem As L From Log"),
                 QStringList{"1111 Reuniao as 15h \"urgente\" "});
        QVERIFY(c.pedido.texto.isEmpty() && c.painel.valores.isEmpty());
        // The call is dropped after the log-off, and the port let go: another program can take it.
        const QByteArray linha = simulador.Dados(QStringLiteral("recebido"));
        QVERIFY2(linha.contains("\r\x1bPG1\r") && linha.endsWith("\x04\r+++ATH0\r"),
                 linha.toHex().constData());
        QCOMPARE(c.operador.StatusAtual(), QStringLiteral(" Re-inicializando o modem, aguarde ..."));
        QVERIFY(!c.porta.PortOpen());
        TravaDaPorta outroPrograma;
        QVERIFY(outroPrograma.Obtem(link));
        QVERIFY(simulador.Rodando());

        // The device goes and comes back under the same name while another program holds it: the
        // next send waits for the port, saying who has it, and goes through once it is free.
        simulador.Para();
        SimuladorExterno segundo;
        QVERIFY(segundo.Inicia(opcoes));
        Modulo::EnvioIniciado = false;
        c.pedido.texto = QStringLiteral("De novo"); // the first send emptied the message
        QTimer::singleShot(1500, [&outroPrograma] { outroPrograma.Libera(); });
        IniciaProcesso(c.ctx, c.pedido, c.painel);
        QCOMPARE(segundo.Paginas().size(), 1);
        QVERIFY2(c.operador.caixas.isEmpty(), qPrintable(c.operador.TextosDasCaixas().join('|')));
        QVERIFY(!c.painel.titulos.filter(QRegularExpression("^Aguardando o modem, em uso por .*processo "))
                     .isEmpty());
        QVERIFY(!c.porta.PortOpen());
    }
};

QTEST_GUILESS_MAIN(tst_PontaAPonta)
#include "tst_PontaAPonta.moc"
