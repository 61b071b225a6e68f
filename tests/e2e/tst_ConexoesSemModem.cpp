// Whole sends with no modem, in real time: the program's serial port on the simulator's
// terminal-only pseudo-terminal (a direct cable), and its TCP connection to the simulator's
// loopback port; then a TCP address that refuses the connection.
#include "AmbienteDeTeste.h"
#include "CadastroDeTeste.h"
#include "OperadorGravado.h"
#include "SimuladorExterno.h"
#include "common/Modulo.h"
#include "common/RelogioReal.h"
#include "modem/ComandosModem.h"
#include "modem/PortaSerialQt.h"
#include "settings/Conexao.h"
#include "settings/PerfilINI.h"
#include "store/Snapshot.h"
#include "tap/Envio.h"

#include <QTcpServer>
#include <QtTest>

namespace {

struct Pedido : PedidoDeEnvio {
    bool usuario = true;
    QString mensagem = QStringLiteral("Sala 3, urgente");
    bool DestinoEhUsuario() const override { return usuario; }
    int IndiceDaLista() const override { return 0; }
    QString TextoDaMensagem() const override { return mensagem; }
    void EsvaziaMensagem() override { mensagem.clear(); }
};

struct Painel : PainelDeEnvio {
    void Titulo(const QString&) override {}
    void MedidorMaximo(int) override {}
    void MedidorValor(int) override {}
    void MedidorVisivel(bool) override {}
};

int LinhasNoLog() {
    return Snapshot(QStringLiteral("Select * from Log")).RecordCount();
}

} // namespace

class tst_ConexoesSemModem : public QObject {
    Q_OBJECT
    qint16 m_portaAnterior = 0;

private slots:
    void init() {
        m_portaAnterior = Modulo::PortaModem;
        Modulo::EnvioIniciado = false;
    }
    void cleanup() { Modulo::PortaModem = m_portaAnterior; }

    void envio_data() {
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<bool>("grupo");
        QTest::addColumn<QString>("senha");
        QTest::newRow("linha direta, um usuário") << "Direta" << false << QString();
        QTest::newRow("linha direta, grupo, senha") << "Direta" << true << "s3nha";
        QTest::newRow("TCP, um usuário, senha") << "TCP" << false << "s3nha";
        QTest::newRow("TCP, grupo") << "TCP" << true << QString();
    }
    void envio() {
        QFETCH(QString, tipo);
        QFETCH(bool, grupo);
        QFETCH(QString, senha);
        AmbienteDeTeste ambiente;
        QVERIFY(ambiente.AbreBancoVazio());
        const bool tcp = tipo == QLatin1String("TCP");
        QStringList opcoes{tcp ? QStringLiteral("--tcp=0") : QStringLiteral("--linha-direta"),
                           QStringLiteral("--silencioso")};
        if (!senha.isEmpty())
            opcoes << QStringLiteral("--senha=") + senha;
        SimuladorExterno simulador;
        QString erro;
        QVERIFY2(simulador.Inicia(opcoes, &erro), qPrintable(erro));

        GravaINI(SecaoConexao, QStringLiteral("Tipo"), tipo);
        GravaINI(SecaoConexao, QStringLiteral("Senha"), senha);
        if (tcp) {
            const QStringList endereco = simulador.Dispositivo().split(QLatin1Char(':'));
            QCOMPARE(endereco.size(), 2);
            GravaINI(SecaoConexao, QStringLiteral("Endereço"), endereco[0]);
            GravaINI(SecaoConexao, QStringLiteral("Porta TCP"), endereco[1]);
        } else {
            GravaINI(QStringLiteral("MODEM"), QStringLiteral("COM1"), simulador.Dispositivo());
            GravaINI(QStringLiteral("MODEM"), QStringLiteral("Configurações"), QStringLiteral("9600,n,8,1"));
            Modulo::PortaModem = 1;
        }
        const qint32 a = CadastraUsuario(QStringLiteral("Alberto"), QStringLiteral("1111"));
        const qint32 b = CadastraUsuario(QStringLiteral("Beatriz"), QStringLiteral("2222"));
        Modulo::CodigosDaLista[1] = grupo ? CadastraGrupo(QStringLiteral("Plantão"), {a, b}) : a;

        RelogioReal relogio;
        PortaSerialQt porta(relogio);
        OperadorGravado operador;
        Contexto ctx{relogio, porta, operador};
        if (!tcp)
            QVERIFY2(ConfiguraPorta(ctx), qPrintable(porta.UltimoErro()));
        InicializaModem(ctx); // the start-up's reset: nothing for these links
        Pedido pedido;
        pedido.usuario = !grupo;
        Painel painel;
        IniciaProcesso(ctx, pedido, painel);

        QVERIFY2(operador.caixas.isEmpty(), qPrintable(operador.TextosDasCaixas().join(QLatin1Char('|'))));
        QCOMPARE(simulador.Paginas().size(), grupo ? 2 : 1);
        QCOMPARE(LinhasNoLog(), grupo ? 2 : 1);
        QVERIFY(pedido.mensagem.isEmpty());
        // The terminal saw the log-on prompt first and the log-off last, and no modem command.
        QByteArray recebido;
        for (const QJsonObject& r : simulador.Registros(QStringLiteral("dados")))
            if (r.value(QStringLiteral("sentido")).toString() == QLatin1String("recebido"))
                recebido += QByteArray::fromHex(r.value(QStringLiteral("hex")).toString().toLatin1());
        QVERIFY2(recebido.startsWith("\r"), recebido.toHex().constData());
        QVERIFY2(recebido.endsWith("\x04\r"), recebido.toHex().constData());
        QVERIFY(!recebido.contains("AT") && !recebido.contains("at") && !recebido.contains("+++"));
        QVERIFY(recebido.contains("\x1bPG1" + senha.toLatin1() + "\r"));
    }

    void enderecoRecusado() {
        AmbienteDeTeste ambiente;
        QVERIFY(ambiente.AbreBancoVazio());
        // A port that was free a moment ago: nobody listens there now.
        QTcpServer servidor;
        QVERIFY(servidor.listen(QHostAddress::LocalHost));
        const quint16 numero = servidor.serverPort();
        servidor.close();
        GravaINI(SecaoConexao, QStringLiteral("Tipo"), QStringLiteral("TCP"));
        GravaINI(SecaoConexao, QStringLiteral("Endereço"), QStringLiteral("127.0.0.1"));
        GravaINI(SecaoConexao, QStringLiteral("Porta TCP"), QString::number(numero));
        Modulo::CodigosDaLista[1] = CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("1111"));

        RelogioReal relogio;
        PortaSerialQt porta(relogio);
        OperadorGravado operador;
        Contexto ctx{relogio, porta, operador};
        Pedido pedido;
        Painel painel;
        IniciaProcesso(ctx, pedido, painel);

        QCOMPARE(operador.TextosDasCaixas(),
                 QStringList{QStringLiteral("Não foi possível conectar à central em 127.0.0.1:%1 (conexão "
                                            "recusada). Confira o endereço e a porta em Opções Avançadas e "
                                            "tente novamente.")
                                 .arg(numero)});
        QCOMPARE(LinhasNoLog(), 0);
        QVERIFY(!pedido.mensagem.isEmpty());
        QVERIFY(!porta.PortOpen());
    }
};

QTEST_GUILESS_MAIN(tst_ConexoesSemModem)
#include "tst_ConexoesSemModem.moc"
