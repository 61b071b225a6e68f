// Whole sends with the real serial and network code against bipvox-simulador: over a modem on
// its pseudo-terminal, a direct cable, a TCP connection and a TCP address nobody answers, and a
// modem device that vanishes between two sends and comes back under the same name. Time runs
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
#include "settings/Conexao.h"
#include "settings/PerfilINI.h"
#include "store/Snapshot.h"

#include <QJsonObject>
#include <QTcpServer>
#include <QtTest>

namespace {
struct Cena {
    AmbienteDeTeste ambiente;
    RelogioAcelerado relogio{5};
    PortaSerialQt porta{relogio};
    OperadorGravado operador;
    Contexto ctx{relogio, porta, operador};
    PedidoDeTeste pedido;
    PainelDeTeste painel;
    QVector<qint32> ids;
    Cena() {
        QVERIFY(ambiente.AbreBancoVazio());
        ids = {CadastraUsuario(QStringLiteral("Ana O'Neil"), QStringLiteral("1111")),
               CadastraUsuario(QStringLiteral("Beatriz"), QStringLiteral("2222")),
               CadastraUsuario(QStringLiteral("Carlos"), QStringLiteral("3333"))};
        Modulo::CodigosDaLista[1] = ids[0];
        Modulo::PortaModem = 1;
        Modulo::EnvioIniciado = false;
    }
};

} // namespace

class tst_PontaAPonta : public QObject {
    Q_OBJECT
private slots:
    void envio_data() {
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<bool>("grupo");
        QTest::addColumn<QString>("senha");
        QTest::addColumn<QStringList>("paginas"); // the codes as the terminal decoded them
        QTest::addColumn<QString>("caixa");
        const QStringList todos{"1111", "2222", "3333"};
        const QString recusa =
            QStringLiteral("Erro na tentativa de envio para o pager de Beatriz. Problemas com o código 2222. "
                           "Possibilidade de erro na tentativa do envio das outras mensagens.\r");
        QTest::newRow("modem, usuário") << "Modem" << false << QString() << QStringList{"1111"} << QString();
        QTest::newRow("modem, grupo com um código recusado")
            << "Modem" << true << QString() << todos << recusa;
        QTest::newRow("linha direta, grupo, senha") << "Direta" << true << "s3nha" << todos << recusa;
        QTest::newRow("TCP, usuário, senha") << "TCP" << false << "s3nha" << QStringList{"1111"} << QString();
        QTest::newRow("TCP, endereço recusado") << "TCP" << false << QString() << QStringList()
                                                << "Não foi possível conectar à central em 127.0.0.1:%1 "
                                                   "(conexão recusada). Confira o endereço e a "
                                                   "porta em Opções Avançadas e tente novamente.";
    }
    void envio() {
        QFETCH(QString, tipo);
        QFETCH(bool, grupo);
        QFETCH(QString, senha);
        QFETCH(QStringList, paginas);
        QFETCH(QString, caixa);
        Cena c;
        SimuladorExterno simulador;
        QStringList opcoes{"--silencioso", "--recusar=2222", "--senha=" + senha};
        if (senha.isEmpty())
            opcoes.removeLast();
        opcoes << (tipo == QLatin1String("Modem")    ? "--atraso-discagem=0.1"
                   : tipo == QLatin1String("Direta") ? "--linha-direta"
                                                     : "--tcp=0");
        QString erro;
        if (!paginas.isEmpty()) // else no terminal at all
            QVERIFY2(simulador.Inicia(opcoes + QStringList{"--guarda-escape=0.1"}, &erro), qPrintable(erro));
        GravaINI(SecaoConexao, QStringLiteral("Tipo"), tipo);
        GravaINI(SecaoConexao, QStringLiteral("Senha"), senha);
        if (tipo == QLatin1String("TCP")) {
            // A port that was free a moment ago: nobody listens there now.
            QTcpServer livre;
            QVERIFY(livre.listen(QHostAddress::LocalHost));
            const QStringList endereco = simulador.Rodando()
                                             ? simulador.Dispositivo().split(QLatin1Char(':'))
                                             : QStringList{"127.0.0.1", QString::number(livre.serverPort())};
            if (paginas.isEmpty())
                caixa = caixa.arg(endereco.value(1));
            GravaINI(SecaoConexao, QStringLiteral("Endereço"), endereco.value(0));
            GravaINI(SecaoConexao, QStringLiteral("Porta TCP"), endereco.value(1));
        } else {
            GravaINI(QStringLiteral("MODEM"), QStringLiteral("COM1"), simulador.Dispositivo());
            GravaINI(QStringLiteral("MODEM"), QStringLiteral("Configurações"), QStringLiteral("9600,n,8,1"));
            QVERIFY2(ConfiguraPorta(c.ctx), qPrintable(c.porta.UltimoErro()));
        }
        if (grupo)
            Modulo::CodigosDaLista[1] = CadastraGrupo(QStringLiteral("Plantão"), c.ids);
        c.pedido.porUsuario = !grupo;
        // A trailing blank is trimmed from the page but kept in the history.
        c.pedido.texto = QStringLiteral("Reunião às 15h \"urgente\" ");
        InicializaModem(c.ctx); // the start-up's reset: only a modem gets one
        IniciaProcesso(c.ctx, c.pedido, c.painel);

        QCOMPARE(c.operador.TextosDasCaixas(), caixa.isEmpty() ? QStringList() : QStringList{caixa});
        QStringList recebidas;
        for (const QJsonObject& p : simulador.Paginas()) {
            QCOMPARE(p["mensagem"].toString(), QStringLiteral("Reunião às 15h \"urgente\""));
            QVERIFY(p["somaConfere"].toBool());
            recebidas << p["codigo"].toString();
        }
        QCOMPARE(recebidas, paginas);
        QStringList log;
        for (Snapshot s(QStringLiteral("Select * From Log")); !s.Eof(); s.MoveNext())
            log << s.Campo(QStringLiteral("ID_Pager")).toString() + QLatin1Char(' ') +
                       s.Campo(QStringLiteral("Mensagem")).toString();
        QCOMPARE(log.size(), paginas.size());
        QCOMPARE(c.pedido.texto.isEmpty(), !paginas.isEmpty());
        if (paginas.isEmpty())
            return;
        QCOMPARE(log.first(), QStringLiteral("1111 Reunião às 15h \"urgente\" "));
        QCOMPARE(c.painel.valores, grupo ? QVector<int>({0, 1, 2, 3}) : QVector<int>());
        // The log-on with its password; over a modem the call is dropped after the log-off, and
        // the port closed and opened again so the modem starts the next send afresh; no modem
        // command ever goes down a cable or a network connection.
        const QByteArray linha = simulador.Dados(QStringLiteral("recebido"));
        QVERIFY(linha.contains("\x1bPG1" + senha.toLatin1() + "\r"));
        if (tipo == QLatin1String("Modem")) {
            QVERIFY2(linha.endsWith("\x04\r+++ATH0\r"), linha.toHex().constData());
            QCOMPARE(c.operador.StatusAtual(), QStringLiteral(" Re-inicializando o modem, aguarde ..."));
            QVERIFY(c.porta.PortOpen());
        } else {
            QVERIFY2(linha.startsWith("\r") && linha.endsWith("\x04\r"), linha.toHex().constData());
            QVERIFY(!linha.contains("AT") && !linha.contains("at") && !linha.contains("+++"));
        }
        QVERIFY(simulador.Rodando());
    }

    // The port closes itself when the device goes, opens again when it is back, and the second
    // send goes through with no reconfiguration.
    void dispositivoSaiEVolta() {
        Cena c;
        const QString link = c.ambiente.Diretorio() + QStringLiteral("/modem");
        const QStringList opcoes{"--silencioso", "--atraso-discagem=0.1", "--guarda-escape=0.1",
                                 "--link=" + link};
        GravaINI(QStringLiteral("MODEM"), QStringLiteral("COM1"), link);
        int perdas = 0, voltas = 0;
        c.porta.AoPerder([&] { ++perdas; });
        c.porta.AoVoltar([&] { ++voltas; });
        auto primeiro = std::make_unique<SimuladorExterno>();
        QVERIFY(primeiro->Inicia(opcoes));
        QVERIFY(ConfiguraPorta(c.ctx));
        IniciaProcesso(c.ctx, c.pedido, c.painel);
        QCOMPARE(primeiro->Paginas().size(), 1);
        primeiro->Para();
        QTRY_COMPARE(perdas, 1);
        QVERIFY(!c.porta.PortOpen());

        SimuladorExterno segundo;
        QVERIFY(segundo.Inicia(opcoes));
        QTRY_COMPARE(voltas, 1);
        IniciaProcesso(c.ctx, c.pedido, c.painel);
        QCOMPARE(segundo.Paginas().size(), 1);
        QVERIFY2(c.operador.caixas.isEmpty(), qPrintable(c.operador.TextosDasCaixas().join('|')));
    }
};

QTEST_GUILESS_MAIN(tst_PontaAPonta)
#include "tst_PontaAPonta.moc"
