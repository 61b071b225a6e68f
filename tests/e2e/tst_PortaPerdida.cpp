// A modem device that vanishes between two sends and comes back under the same name, with the
// real serial code and bipvox-simulador: the port closes itself, opens again when the device is
// back, and the second send goes through with no reconfiguration.
#include "AmbienteDeTeste.h"
#include "CadastroDeTeste.h"
#include "EnvioDeTeste.h"
#include "OperadorGravado.h"
#include "SimuladorExterno.h"
#include "common/Modulo.h"
#include "common/RelogioReal.h"
#include "modem/PortaSerialQt.h"
#include "settings/PerfilINI.h"
#include "tap/Envio.h"

#include <QtTest>

class TstPortaPerdida : public QObject {
    Q_OBJECT
private slots:
    void dispositivoSaiEVolta() {
        AmbienteDeTeste ambiente;
        QVERIFY(ambiente.AbreBancoVazio());
        Modulo::CodigosDaLista[1] = CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("1234"));
        const QString link = ambiente.Diretorio() + QStringLiteral("/modem");
        const QStringList opcoes{"--silencioso", "--atraso-discagem=0.3", "--guarda-escape=0.2",
                                 "--link=" + link};
        GravaINI(QStringLiteral("MODEM"), QStringLiteral("COM1"), link);
        RelogioReal relogio;
        PortaSerialQt porta(relogio);
        OperadorGravado operador;
        Contexto ctx{relogio, porta, operador};
        int perdas = 0, voltas = 0;
        porta.AoPerder([&] { ++perdas; });
        porta.AoVoltar([&] { ++voltas; });
        PedidoDeTeste pedido;
        PainelDeTeste painel;

        auto primeiro = std::make_unique<SimuladorExterno>();
        QVERIFY(primeiro->Inicia(opcoes));
        porta.setCommPort(1);
        QVERIFY(porta.setPortOpen(true));
        IniciaProcesso(ctx, pedido, painel);
        QCOMPARE(primeiro->Paginas().size(), 1);
        primeiro->Para();
        QTRY_COMPARE(perdas, 1);
        QVERIFY(!porta.PortOpen());

        SimuladorExterno segundo;
        QVERIFY(segundo.Inicia(opcoes));
        QTRY_COMPARE(voltas, 1);
        IniciaProcesso(ctx, pedido, painel);
        QCOMPARE(segundo.Paginas().size(), 1);
        QVERIFY2(operador.caixas.isEmpty(), qPrintable(operador.TextosDasCaixas().join('|')));
    }
};

QTEST_GUILESS_MAIN(TstPortaPerdida)
#include "tst_PortaPerdida.moc"
