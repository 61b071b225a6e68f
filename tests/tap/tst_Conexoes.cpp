// The same send over a dial-up modem, a direct serial line and a TCP connection, in virtual
// time: what goes on the line before the log-on and after the last page, the texts shown, the
// log-on password, and start-up without a modem.
#include "BancadaVirtual.h"
#include "CadastroDeTeste.h"
#include "common/Modulo.h"
#include "modem/Enlace.h"
#include "settings/PerfilINI.h"
#include "shell/Inicializacao.h"
#include "store/Snapshot.h"
#include "tap/Envio.h"

#include <QtTest>

namespace {

struct Pedido : PedidoDeEnvio {
    QString texto = QStringLiteral("Ligar para a base");
    bool DestinoEhUsuario() const override { return true; }
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

const QByteArray kAceita("211 Page(s) Sent Successfully\r\x06\r");
const QByteArray kDesconexao("\x1b\x04\r");
const QString kPronto = QStringLiteral(" Pronto");
// The reason stays on the status line after the link goes down.
const QString kPedidoDeDesconexao = QStringLiteral(" Desconexão solicitada pelo servidor.");

struct Cena : BancadaVirtual {
    Pedido pedido;
    Painel painel;

    Cena(const QString& tipo, const QByteArray& respostaAoBloco = kAceita,
         const QByteArray& respostaAoLogOn = "110 1.8\r\x06\r") {
        QVERIFY(ambiente.AbreBancoVazio());
        GravaINI(SecaoConexao, QStringLiteral("Tipo"), tipo);
        modem.ModemQueRespondeOK();
        modem.QuandoRecebe("ATD", "\r\nCONNECT 9600\r\n", 2);
        modem.QuandoRecebeExato("\r", "ID=", 0.3, 1);
        modem.QuandoRecebe("\x1bPG1", respostaAoLogOn, 0.3);
        modem.QuandoRecebe("\x02", respostaAoBloco, 0.5);
        Modulo::CodigosDaLista[1] = CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("555"));
        Modulo::EnvioIniciado = false;
    }
    // Over TCP the scripted modem stands in for the network connection, which opening connects.
    void Envia() {
        std::unique_ptr<Enlace> enlace = CriaEnlace(ctx);
        if (LeTipoDeConexao() == TipoDeConexao::TCP) {
            enlace = std::make_unique<EnlaceTCP>(modem, QStringLiteral("127.0.0.1:5000"));
            modem.setPortOpen(false);
        }
        IniciaProcesso(ctx, *enlace, pedido, painel);
    }
    int LinhasNoLog() const { return Snapshot(QStringLiteral("Select * from Log")).RecordCount(); }
};

} // namespace

class TstConexoes : public QObject {
    Q_OBJECT
private slots:
    void transportes_data() {
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QByteArray>("resposta");
        QTest::addColumn<QByteArray>("antes");  // before the first prompt
        QTest::addColumn<QByteArray>("depois"); // after the last page's CR
        QTest::addColumn<QString>("statusInicial");
        QTest::addColumn<QString>("tituloDoFechamento");
        QTest::addColumn<QString>("statusFinal");
        const QByteArray discagem("ATE0\rATDP 3311-2400\r");
        const QString discando = QStringLiteral(" Discando para a empresa de rádio chamadas, aguarde ...");
        const QString direta = QStringLiteral(" Conectando à central pela linha direta, aguarde ...");
        const QString tcp = QStringLiteral(" Conectando à central em 127.0.0.1:5000, aguarde ...");
        QTest::newRow("modem") << "Modem" << kAceita << discagem << QByteArray("\x04\r+++ATH0\r") << discando
                               << "Desconectando Modem ..."
                               << " Re-inicializando o modem, aguarde ...";
        QTest::newRow("modem, desconexão") << "Modem" << kDesconexao << discagem << QByteArray("+++ATH0\r")
                                           << discando << "Desconectando Modem ..." << kPedidoDeDesconexao;
        QTest::newRow("'tcp' minúsculo é modem")
            << "tcp" << kAceita << discagem << QByteArray("\x04\r+++ATH0\r") << discando
            << "Desconectando Modem ..."
            << " Re-inicializando o modem, aguarde ...";
        QTest::newRow("direta") << "Direta" << kAceita << QByteArray() << QByteArray("\x04\r") << direta
                                << "Encerrando a sessão ..." << kPronto;
        // No line to drop: the log-off ends the session the terminal still holds.
        QTest::newRow("direta, desconexão") << "Direta" << kDesconexao << QByteArray() << QByteArray("\x04\r")
                                            << direta << "Encerrando a sessão ..." << kPedidoDeDesconexao;
        QTest::newRow("TCP") << "TCP" << kAceita << QByteArray() << QByteArray("\x04\r") << tcp
                             << "Desconectando ..." << kPronto;
        QTest::newRow("TCP, desconexão") << "TCP" << kDesconexao << QByteArray() << QByteArray() << tcp
                                         << "Desconectando ..." << kPedidoDeDesconexao;
    }
    void transportes() {
        QFETCH(QString, tipo);
        QFETCH(QByteArray, resposta);
        QFETCH(QByteArray, antes);
        QFETCH(QByteArray, depois);
        QFETCH(QString, statusInicial);
        QFETCH(QString, tituloDoFechamento);
        QFETCH(QString, statusFinal);
        Cena c(tipo, resposta);
        c.Envia();

        const QByteArray& linha = c.modem.linha;
        QVERIFY2(linha.startsWith(antes + "\r\x1bPG1\r"), linha.toHex().constData());
        QCOMPARE(linha.mid(linha.lastIndexOf('\x03') + 5), depois);
        const bool aceita = resposta == kAceita;
        QCOMPARE(c.LinhasNoLog(), aceita ? 1 : 0);
        QCOMPARE(c.pedido.texto.isEmpty(), aceita);
        QCOMPARE(c.operador.status.first(), statusInicial);
        QVERIFY(c.painel.titulos.contains(tituloDoFechamento));
        QCOMPARE(c.operador.StatusAtual(), statusFinal);
        // Only the TCP link closes its port at the end.
        QCOMPARE(c.modem.PortOpen(), tipo != QLatin1String("TCP"));
    }

    // The refusal is told apart only when a password went out; nothing is sent or logged.
    void logOn_data() {
        QTest::addColumn<QString>("senha");
        QTest::addColumn<QByteArray>("resposta");
        QTest::addColumn<QByteArray>("pedido");
        QTest::addColumn<QString>("caixa");
        const QByteArray ack("110 1.8\r\x06\r");
        const QString recusada =
            QStringLiteral("A central recusou a senha de acesso. Confira a senha em Opções "
                           "Avançadas e tente novamente. Nenhuma mensagem foi enviada.");
        const QString generica = QStringLiteral("Erro na tentativa de efetuar o LogIn. Tente novamente.");
        QTest::newRow("sem senha") << QString() << ack << QByteArray("\x1bPG1\r") << QString();
        QTest::newRow("com senha") << "a1B2" << ack << QByteArray("\x1bPG1a1B2\r") << QString();
        QTest::newRow("senha em Windows-1252") << "sç" << ack << QByteArray("\x1bPG1s\xe7\r") << QString();
        QTest::newRow("NAK à senha") << "x" << QByteArray("\x15\r") << QByteArray("\x1bPG1x\r") << recusada;
        QTest::newRow("desconexão à senha") << "x" << kDesconexao << QByteArray("\x1bPG1x\r") << recusada;
        QTest::newRow("silêncio à senha") << "x" << QByteArray() << QByteArray("\x1bPG1x\r") << generica;
        QTest::newRow("NAK sem senha")
            << QString() << QByteArray("\x15\r") << QByteArray("\x1bPG1\r") << generica;
    }
    void logOn() {
        QFETCH(QString, senha);
        QFETCH(QByteArray, resposta);
        QFETCH(QByteArray, pedido);
        QFETCH(QString, caixa);
        Cena c(QStringLiteral("Direta"), kAceita, resposta);
        GravaINI(SecaoConexao, QStringLiteral("Senha"), senha);
        c.Envia();
        QCOMPARE(c.modem.Contagem("\x1bPG1"), 1);
        QVERIFY(c.modem.linha.contains(pedido));
        QCOMPARE(c.operador.TextosDasCaixas(), caixa.isEmpty() ? QStringList() : QStringList{caixa});
        QCOMPARE(c.modem.Contagem("\x02"), caixa.isEmpty() ? 1 : 0);
        QCOMPARE(c.LinhasNoLog(), caixa.isEmpty() ? 1 : 0);
    }

    // Start-up and reconfiguration: only the modem is reset, and TCP opens no serial port.
    void partida_data() {
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("aberturas");
        QTest::newRow("modem") << "Modem" << QByteArray("ATZ\rate0\r") << 1;
        QTest::newRow("direta") << "Direta" << QByteArray() << 1;
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
        QCOMPARE(c.operador.StatusAtual(), kPronto);
    }
};

QTEST_MAIN(TstConexoes)
#include "tst_Conexoes.moc"
