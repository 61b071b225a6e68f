// The same send over a dial-up modem, a direct serial line and a TCP connection, in virtual
// time: what goes on the line before the log-on and after the log-off, the texts shown, the
// log-on password and a connection that fails.
#include "BancadaVirtual.h"
#include "CadastroDeTeste.h"
#include "common/Modulo.h"
#include "modem/ComandosModem.h"
#include "modem/Enlace.h"
#include "settings/PerfilINI.h"
#include "shell/Inicializacao.h"
#include "store/Snapshot.h"
#include "tap/Envio.h"

#include <QtTest>

namespace {

struct Pedido : PedidoDeEnvio {
    bool porUsuario = true;
    QString texto = QStringLiteral("Ligar para a base");
    bool DestinoEhUsuario() const override { return porUsuario; }
    int IndiceDaLista() const override { return 0; }
    QString TextoDaMensagem() const override { return texto; }
    void EsvaziaMensagem() override { texto.clear(); }
};

struct Painel : PainelDeEnvio {
    QStringList titulos;
    void Titulo(const QString& t) override { titulos << t; }
    void MedidorMaximo(int) override {}
    void MedidorValor(int) override {}
    void MedidorVisivel(bool) override {}
};

const QString kDestino = QStringLiteral("127.0.0.1:5000");

struct Cena : BancadaVirtual {
    Pedido pedido;
    Painel painel;

    explicit Cena(const QString& tipo,
                  const QByteArray& respostaAoBloco = "211 Page(s) Sent Successfully\r\x06\r") {
        QVERIFY(ambiente.AbreBancoVazio());
        if (!tipo.isEmpty())
            GravaINI(SecaoConexao, QStringLiteral("Tipo"), tipo);
        modem.ModemQueRespondeOK();
        modem.QuandoRecebe("ATD", "\r\nCONNECT 9600\r\n", 2);
        modem.QuandoRecebeExato("\r", "ID=", 0.3, 1);
        modem.QuandoRecebe("\x1bPG1", "110 1.8\r\x06\r\x1b[p\r", 0.3);
        modem.QuandoRecebe("\x02", respostaAoBloco, 0.5);
        Modulo::CodigosDaLista[1] = CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("555"));
    }
    // Over TCP the scripted modem stands in for the network connection.
    std::unique_ptr<Enlace> CriaEnlaceDaCena() {
        if (LeTipoDeConexao() == TipoDeConexao::TCP)
            return std::make_unique<EnlaceTCP>(modem, kDestino);
        return CriaEnlace(ctx);
    }
    void Envia() {
        const auto enlace = CriaEnlaceDaCena();
        IniciaProcesso(ctx, *enlace, pedido, painel);
    }
    int LinhasNoLog() const { return Snapshot(QStringLiteral("Select * from Log")).RecordCount(); }
};

} // namespace

class TstConexoes : public QObject {
    Q_OBJECT
private slots:
    void init() { Modulo::EnvioIniciado = false; }

    void transportes_data() {
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QByteArray>("antesDoLogOn");
        QTest::addColumn<QByteArray>("depoisDoLogOff");
        QTest::addColumn<QString>("statusInicial");
        QTest::addColumn<QString>("tituloDoFechamento");
        QTest::addColumn<QString>("statusFinal");
        QTest::addColumn<bool>("portaAberta");
        QTest::newRow("modem") << QString() << QByteArray("ATE0\rATDP 3311-2400\r") << QByteArray("+++ATH0\r")
                               << " Discando para a empresa de rádio chamadas, aguarde ..."
                               << "Desconectando Modem ..."
                               << " Re-inicializando o modem, aguarde ..." << true;
        QTest::newRow("valor desconhecido é modem")
            << "tcp" << QByteArray("ATE0\rATDP 3311-2400\r") << QByteArray("+++ATH0\r")
            << " Discando para a empresa de rádio chamadas, aguarde ..."
            << "Desconectando Modem ..."
            << " Re-inicializando o modem, aguarde ..." << true;
        QTest::newRow("linha direta") << "Direta" << QByteArray() << QByteArray()
                                      << " Conectando à central pela linha direta, aguarde ..."
                                      << "Encerrando a sessão ..."
                                      << " Pronto" << true;
        QTest::newRow("TCP") << "TCP" << QByteArray() << QByteArray()
                             << " Conectando à central em 127.0.0.1:5000, aguarde ..."
                             << "Desconectando ..."
                             << " Pronto" << false;
    }
    void transportes() {
        QFETCH(QString, tipo);
        QFETCH(QByteArray, antesDoLogOn);
        QFETCH(QByteArray, depoisDoLogOff);
        QFETCH(QString, statusInicial);
        QFETCH(QString, tituloDoFechamento);
        QFETCH(QString, statusFinal);
        QFETCH(bool, portaAberta);
        Cena c(tipo);
        if (tipo == QLatin1String("TCP"))
            c.modem.setPortOpen(false); // connecting opens it

        c.Envia();

        const QByteArray linha = c.modem.linha;
        QVERIFY2(linha.startsWith(antesDoLogOn + "\r"), linha.constData());
        QCOMPARE(linha.indexOf("\r\x1bPG1\r"), antesDoLogOn.size());
        QVERIFY2(linha.endsWith("\x04\r" + depoisDoLogOff), linha.constData());
        QCOMPARE(c.LinhasNoLog(), 1);
        QVERIFY(c.pedido.texto.isEmpty());
        QVERIFY(c.operador.caixas.isEmpty());
        QCOMPARE(c.operador.status.first(), statusInicial);
        QVERIFY(c.operador.status.contains(QStringLiteral(" Mensagem enviada com sucesso.")));
        QCOMPARE(c.operador.StatusAtual(), statusFinal);
        QCOMPARE(c.painel.titulos.mid(c.painel.titulos.size() - 2),
                 (QStringList{tituloDoFechamento, QStringLiteral("Retornando ...")}));
        QCOMPARE(c.modem.PortOpen(), portaAberta);
    }

    // A send given up after the log-on: the modem hangs up, the direct line logs off instead.
    void interrupcao_data() {
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QByteArray>("fim");
        QTest::newRow("modem") << QString() << QByteArray("+++ATH0\r");
        QTest::newRow("linha direta") << "Direta" << QByteArray("\x04\r");
        QTest::newRow("TCP") << "TCP" << QByteArray();
    }
    void interrupcao() {
        QFETCH(QString, tipo);
        QFETCH(QByteArray, fim);
        Cena c(tipo, "\x1b\x04\r");
        if (tipo == QLatin1String("TCP"))
            c.modem.setPortOpen(false);
        c.Envia();
        const QByteArray linha = c.modem.linha;
        // After the block's three checksum characters and CR.
        QCOMPARE(linha.mid(linha.lastIndexOf('\x03') + 5), fim);
        QCOMPARE(c.LinhasNoLog(), 0);
        QCOMPARE(c.operador.StatusAtual(), QStringLiteral(" Pronto"));
    }

    void senhaNoLogOn_data() {
        QTest::addColumn<QString>("senha");
        QTest::addColumn<QByteArray>("pedido");
        QTest::newRow("sem senha") << QString() << QByteArray("\x1bPG1\r");
        QTest::newRow("com senha") << "a1B2c3" << QByteArray("\x1bPG1a1B2c3\r");
        QTest::newRow("acentos em Windows-1252") << "sç" << QByteArray("\x1bPG1s\xe7\r");
    }
    void senhaNoLogOn() {
        QFETCH(QString, senha);
        QFETCH(QByteArray, pedido);
        Cena c(QStringLiteral("Direta"));
        GravaINI(SecaoConexao, QStringLiteral("Senha"), senha);
        c.Envia();
        QCOMPARE(c.modem.Contagem("\x1bPG1"), 1);
        QVERIFY(c.modem.linha.contains(pedido));
        QCOMPARE(c.LinhasNoLog(), 1);
    }

    // The terminal's refusal is told apart only when a password went out.
    void senhaRecusada_data() {
        QTest::addColumn<QString>("senha");
        QTest::addColumn<QByteArray>("resposta");
        QTest::addColumn<QString>("caixa");
        const QString recusada =
            QStringLiteral("A central recusou a senha de acesso. Confira a senha em Opções "
                           "Avançadas e tente novamente. Nenhuma mensagem foi enviada.");
        const QString generica = QStringLiteral("Erro na tentativa de efetuar o LogIn. Tente novamente.");
        QTest::newRow("NAK à senha") << "errada" << QByteArray("\x15\r") << recusada;
        QTest::newRow("desconexão à senha") << "errada" << QByteArray("\x1b\x04\r") << recusada;
        QTest::newRow("silêncio à senha") << "errada" << QByteArray() << generica;
        QTest::newRow("NAK sem senha") << QString() << QByteArray("\x15\r") << generica;
    }
    void senhaRecusada() {
        QFETCH(QString, senha);
        QFETCH(QByteArray, resposta);
        QFETCH(QString, caixa);
        BancadaVirtual b;
        QVERIFY(b.ambiente.AbreBancoVazio());
        GravaINI(SecaoConexao, QStringLiteral("Tipo"), QStringLiteral("Direta"));
        GravaINI(SecaoConexao, QStringLiteral("Senha"), senha);
        b.modem.QuandoRecebeExato("\r", "ID=", 0.3, 1);
        b.modem.QuandoRecebe("\x1bPG1", resposta, 0.3);
        Modulo::CodigosDaLista[1] = CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("555"));
        Pedido pedido;
        Painel painel;
        IniciaProcesso(b.ctx, pedido, painel);

        QCOMPARE(b.operador.TextosDasCaixas(), QStringList{caixa});
        QCOMPARE(b.operador.caixas[0].titulo, QStringLiteral("Erro:"));
        QCOMPARE(b.modem.Contagem("\x02"), 0);
        QCOMPARE(Snapshot(QStringLiteral("Select * from Log")).RecordCount(), 0);
        QVERIFY(!pedido.texto.isEmpty());
    }

    void conexaoRecusada() {
        Cena c(QStringLiteral("TCP"));
        c.modem.setPortOpen(false);
        c.modem.falhasAoAbrir = 1;
        c.Envia();
        QCOMPARE(
            c.operador.TextosDasCaixas(),
            QStringList{QStringLiteral("Não foi possível conectar à central em 127.0.0.1:5000. Confira o "
                                       "endereço e a porta em Opções Avançadas e tente novamente.")});
        QCOMPARE(c.operador.caixas[0].titulo, QStringLiteral("Erro:"));
        QVERIFY(c.modem.linha.isEmpty());
        QCOMPARE(c.LinhasNoLog(), 0);
        QCOMPARE(c.pedido.texto, QStringLiteral("Ligar para a base"));
        QCOMPARE(c.painel.titulos, QStringList{QStringLiteral("Desconectando ...")});
        QCOMPARE(c.operador.StatusAtual(), QStringLiteral(" Pronto"));
    }

    // Start-up and reconfiguration: only the modem is reset, and TCP needs no serial port.
    void partida_data() {
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("aberturas");
        QTest::newRow("modem") << QString() << QByteArray("ATZ\rate0\r") << 1;
        QTest::newRow("linha direta") << "Direta" << QByteArray() << 1;
        QTest::newRow("TCP") << "TCP" << QByteArray() << 0;
    }
    void partida() {
        QFETCH(QString, tipo);
        QFETCH(QByteArray, bytes);
        QFETCH(int, aberturas);
        Cena c(tipo);
        c.modem.setPortOpen(false);
        const int antes = c.modem.aberturas;
        GravaINI(QStringLiteral("MODEM"), QStringLiteral("Porta Serial"), QStringLiteral("1"));
        QVERIFY(ExecutaLacoDaPorta(c.ctx, LacoDaPorta{}));
        InicializaModemComAmpulheta(c.ctx);
        QCOMPARE(c.modem.linha, bytes);
        QCOMPARE(c.modem.aberturas - antes, aberturas);
        QCOMPARE(c.operador.StatusAtual(), QStringLiteral(" Pronto"));
    }
};

QTEST_MAIN(TstConexoes)
#include "tst_Conexoes.moc"
