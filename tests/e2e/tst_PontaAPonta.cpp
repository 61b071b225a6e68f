// The real serial code against bipvox-simulador through a pseudo-terminal: termios settings,
// pty reads and real waits meet a modem and paging terminal that decode what went down the
// line. Time runs five times faster, so a send takes seconds (the simulator is set to match).
#include "AmbienteDeTeste.h"
#include "CadastroDeTeste.h"
#include "EnvioDeTeste.h"
#include "OperadorGravado.h"
#include "RelogioAcelerado.h"
#include "SimuladorExterno.h"
#include "common/Modulo.h"
#include "modem/ComandosModem.h"
#include "modem/PortaSerialQt.h"
#include "settings/PerfilINI.h"
#include "store/Snapshot.h"

#include <QJsonObject>
#include <QtTest>

class tst_PontaAPonta : public QObject {
    Q_OBJECT
private slots:
    void envio_data() {
        QTest::addColumn<bool>("grupo");
        QTest::addColumn<QStringList>("paginas"); // code and message as the terminal decoded them
        QTest::addColumn<QStringList>("caixas");
        QTest::newRow("usuário") << false << QStringList{"1111 Reunião às 15h \"urgente\""} << QStringList();
        QTest::newRow("grupo com um código recusado")
            << true
            << QStringList{"1111 Reunião às 15h \"urgente\"", "2222 Reunião às 15h \"urgente\"",
                           "3333 Reunião às 15h \"urgente\""}
            << QStringList{"Erro na tentativa de envio para o pager de Beatriz. Problemas com o código 2222. "
                           "Possibilidade de erro na tentativa do envio das outras mensagens.\r"};
    }
    void envio() {
        QFETCH(bool, grupo);
        QFETCH(QStringList, paginas);
        QFETCH(QStringList, caixas);
        AmbienteDeTeste ambiente;
        QVERIFY(ambiente.AbreBancoVazio());
        SimuladorExterno simulador;
        QString erro;
        QVERIFY2(
            simulador.Inicia(
                {"--silencioso", "--atraso-discagem=0.1", "--guarda-escape=0.1", "--recusar=2222"}, &erro),
            qPrintable(erro));
        GravaINI(QStringLiteral("MODEM"), QStringLiteral("COM1"), simulador.Dispositivo());
        Modulo::PortaModem = 1;
        const QVector<qint32> ids{CadastraUsuario(QStringLiteral("Ana O'Neil"), QStringLiteral("1111")),
                                  CadastraUsuario(QStringLiteral("Beatriz"), QStringLiteral("2222")),
                                  CadastraUsuario(QStringLiteral("Carlos"), QStringLiteral("3333"))};
        Modulo::CodigosDaLista[1] = grupo ? CadastraGrupo(QStringLiteral("Plantão"), ids) : ids[0];
        RelogioAcelerado relogio(5);
        PortaSerialQt porta(relogio);
        OperadorGravado operador;
        Contexto ctx{relogio, porta, operador};
        QVERIFY2(ConfiguraPorta(ctx), qPrintable(porta.UltimoErro()));
        InicializaModem(ctx);
        PedidoDeTeste pedido;
        pedido.porUsuario = !grupo;
        // A trailing blank is trimmed from the page but kept in the history.
        pedido.texto = QStringLiteral("Reunião às 15h \"urgente\" ");

        PainelDeTeste painel;
        IniciaProcesso(ctx, pedido, painel);

        QCOMPARE(operador.TextosDasCaixas(), caixas);
        QStringList recebidas;
        for (const QJsonObject& p : simulador.Paginas()) {
            recebidas << p["codigo"].toString() + QLatin1Char(' ') + p["mensagem"].toString();
            QVERIFY(p["somaConfere"].toBool());
        }
        QCOMPARE(recebidas, paginas);
        QStringList log;
        for (Snapshot s(QStringLiteral("Select * From Log")); !s.Eof(); s.MoveNext())
            log << s.Campo(QStringLiteral("ID_Pager")).toString() + QLatin1Char(' ') +
                       s.Campo(QStringLiteral("Mensagem")).toString();
        QCOMPARE(log.size(), paginas.size());
        QCOMPARE(log.first(), QStringLiteral("1111 Reunião às 15h \"urgente\" "));
        QCOMPARE(pedido.esvaziamentos, 1);
        QCOMPARE(painel.valores, grupo ? QVector<int>({0, 1, 2, 3}) : QVector<int>());
        // Closed and reopened after the hang-up, so the modem starts the next send afresh.
        QCOMPARE(operador.StatusAtual(), QStringLiteral(" Re-inicializando o modem, aguarde ..."));
        QVERIFY(porta.PortOpen());
        QVERIFY(simulador.Rodando());
    }
};

QTEST_GUILESS_MAIN(tst_PontaAPonta)
#include "tst_PontaAPonta.moc"
