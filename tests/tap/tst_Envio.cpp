// Sending to one user and to a group in virtual time: the bytes on the line, the terminal's
// answers, the texts shown and the history rows.
#include "BancadaVirtual.h"
#include "CadastroDeTeste.h"
#include "common/Modulo.h"
#include "store/Snapshot.h"
#include "tap/Envio.h"

#include <QtTest>

namespace {

struct Pedido : PedidoDeEnvio {
    bool porUsuario = true;
    int indice = 0;
    QString texto = QStringLiteral("  Ligar para a base  ");
    bool esvaziada = false;
    bool DestinoEhUsuario() const override { return porUsuario; }
    int IndiceDaLista() const override { return indice; }
    QString TextoDaMensagem() const override { return texto; }
    void EsvaziaMensagem() override {
        esvaziada = true;
        texto.clear();
    }
};

struct Painel : PainelDeEnvio {
    QStringList titulos;
    QVector<int> valores;
    int maximo = -1;
    bool visivel = false;
    void Titulo(const QString& t) override { titulos << t; }
    void MedidorMaximo(int m) override { maximo = m; }
    void MedidorValor(int v) override { valores << v; }
    void MedidorVisivel(bool v) override { visivel = v; }
};

const QByteArray kAceita("211 Page(s) Sent Successfully\r\x06\r");
const QByteArray kNak("\x15\r");
const QByteArray kRecusa("\r\x1e\r");
const QByteArray kDesconexao("\x1b\x04\r");

struct Cena : BancadaVirtual {
    Pedido pedido;
    Painel painel;

    Cena() {
        QVERIFY(ambiente.AbreBancoVazio());
        modem.TerminalQueAceitaLogOn();
    }
    // The answer to each block, in order; after the list, the last one repeats.
    void Respostas(const QList<QByteArray>& respostas) {
        for (int i = 0; i < respostas.size(); ++i)
            modem.QuandoRecebe("\x02", respostas[i], 0.5, i + 1 == respostas.size() ? -1 : 1);
    }
    void Usuario(const QString& nome, const QString& pager) {
        Modulo::CodigosDaLista[1] = CadastraUsuario(nome, pager);
        pedido.indice = 0;
    }
    int Blocos() const { return modem.Contagem("\x02"); }
    QStringList LogUsuarios() const {
        QStringList nomes;
        for (Snapshot log(QStringLiteral("Select * from Log Order By Data, Hora, Usuario")); !log.Eof();
             log.MoveNext())
            nomes << log.Campo(QStringLiteral("Usuario")).toString();
        return nomes;
    }
    bool Desligou() const { return modem.linha.endsWith("+++ATH0\r"); }
};

} // namespace

class TstEnvio : public QObject {
    Q_OBJECT
private slots:
    void umUsuarioAceito() {
        Cena c;
        c.Usuario(QStringLiteral("José da Silva"), QStringLiteral(" 1234567 "));
        c.Respostas({kAceita});

        QVERIFY(EnviarUsuario(c.ctx, c.pedido, c.painel));
        // Block sent trimmed, with its checksum and CR; then the log-off and the hang-up.
        QVERIFY(c.modem.linha.contains("\x02"
                                       "1234567\rLigar para a base\r\x03"));
        QVERIFY(c.modem.linha.contains("\x1bPG1\r"));
        QVERIFY(c.modem.linha.contains("\x04\r+++ATH0\r"));
        QCOMPARE(c.Blocos(), 1);
        QCOMPARE(c.painel.titulos,
                 (QStringList{"Efetuando LogIn ...", "Enviando Mensagem ...", "Desconectando Modem ..."}));
        QVERIFY(!c.painel.visivel);
        QVERIFY(c.operador.status.contains(" Mensagem enviada com sucesso."));
        QCOMPARE(c.operador.StatusAtual(), QStringLiteral(" Re-inicializando o modem, aguarde ..."));
        QCOMPARE(c.modem.fechamentos, 1);
        QVERIFY(c.modem.PortOpen());
        QVERIFY(c.operador.caixas.isEmpty());

        Snapshot log(QStringLiteral("Select * from Log"));
        QCOMPARE(log.RecordCount(), 1);
        QCOMPARE(log.Campo("Usuario").toString(), QStringLiteral("José da Silva").leftJustified(50, ' '));
        QCOMPARE(log.Campo("Mensagem").toString(), QStringLiteral("  Ligar para a base  "));
        QCOMPARE(log.Campo("ID_Pager").toString(), QStringLiteral("1234567"));
        QCOMPARE(log.Campo("ID_Usuario").toInt(), Modulo::CodigosDaLista[1]);
        QVERIFY(QRegularExpression("^\\d{8}$").match(log.Campo("Data").toString()).hasMatch());
        QVERIFY(QRegularExpression("^\\d\\d:\\d\\d$").match(log.Campo("Hora").toString()).hasMatch());
    }

    void respostasDoTerminal_data() {
        QTest::addColumn<QList<QByteArray>>("respostas");
        QTest::addColumn<bool>("resultado");
        QTest::addColumn<int>("blocos");
        QTest::addColumn<int>("linhasNoLog");
        QTest::addColumn<QString>("caixa");
        QTest::addColumn<QString>("status");
        QTest::newRow("NAK duas vezes e ACK") << QList<QByteArray>{kNak, kNak, kAceita} << true << 3 << 1
                                              << QString() << " Mensagem enviada com sucesso.";
        QTest::newRow("três NAKs") << QList<QByteArray>{kNak} << false << 3 << 0 << QString()
                                   << " Erro na transmissão, re-enviando mensagem ...";
        QTest::newRow("silêncio") << QList<QByteArray>{QByteArray()} << false << 1 << 0
                                  << "Erro: Time Out - Aguardando confirmação do dígito verificador ..."
                                  << QString();
        QTest::newRow("pedido de desconexão") << QList<QByteArray>{kDesconexao} << false << 1 << 0
                                              << QString() << " Desconexão solicitada pelo servidor.";
        QTest::newRow("código recusado") << QList<QByteArray>{kRecusa} << true << 1 << 1
                                         << "Código do Pager de usuário Inválido.\r\r" << QString();
        QTest::newRow("ACK e recusa juntos") << QList<QByteArray>{kRecusa + "\x06\r"} << true << 1 << 1
                                             << "Código do Pager de usuário Inválido.\r\r" << QString();
    }
    void respostasDoTerminal() {
        QFETCH(QList<QByteArray>, respostas);
        QFETCH(bool, resultado);
        QFETCH(int, blocos);
        QFETCH(int, linhasNoLog);
        QFETCH(QString, caixa);
        QFETCH(QString, status);
        Cena c;
        c.Usuario(QStringLiteral("Ana"), QStringLiteral("555"));
        c.Respostas(respostas);

        QCOMPARE(EnviarUsuario(c.ctx, c.pedido, c.painel), resultado);
        QCOMPARE(c.Blocos(), blocos);
        QCOMPARE(c.LogUsuarios().size(), linhasNoLog);
        QCOMPARE(c.modem.linha.contains("\x04\r"), resultado); // log-off only on success
        QVERIFY(c.Desligou());
        QCOMPARE(c.painel.titulos.last(), QStringLiteral("Desconectando Modem ..."));
        if (!caixa.isEmpty()) {
            QCOMPARE(c.operador.TextosDasCaixas(), QStringList{caixa});
            QCOMPARE(c.operador.caixas[0].titulo, QStringLiteral("Erro:"));
            QCOMPARE(c.operador.caixas[0].icone, Icone::Informacao);
        } else {
            QVERIFY(c.operador.caixas.isEmpty());
        }
        if (!status.isEmpty())
            QVERIFY(c.operador.status.contains(status));
    }

    void respostaDepoisDoPrazoEhTimeOut() {
        Cena c;
        c.Usuario(QStringLiteral("Ana"), QStringLiteral("555"));
        c.modem.QuandoRecebe("\x02", kAceita, 5.005);
        QVERIFY(!EnviarUsuario(c.ctx, c.pedido, c.painel));
        QVERIFY(c.LogUsuarios().isEmpty());
    }

    void mensagemLongaDemaisNaoEntraNaLinha() {
        Cena c;
        c.Usuario(QStringLiteral("Ana"), QStringLiteral("555"));
        c.pedido.texto = QString(241, QLatin1Char('x'));
        QVERIFY(!EnviarUsuario(c.ctx, c.pedido, c.painel));
        QCOMPARE(c.operador.TextosDasCaixas(), QStringList{"Erro na criptografação da mensagem..."});
        QCOMPARE(c.modem.linha, QByteArray("+++ATH0\r")); // no prompt, no log-on
        QVERIFY(c.LogUsuarios().isEmpty());
    }

    void usuarioExcluidoDepoisDaListagem() {
        Cena c;
        c.Usuario(QStringLiteral("Ana"), QStringLiteral("555"));
        QVERIFY(Executa(QStringLiteral("Delete From Usuarios")));
        QVERIFY(!EnviarUsuario(c.ctx, c.pedido, c.painel));
        QCOMPARE(c.operador.caixas.size(), 1);
        QVERIFY(c.operador.caixas[0].texto.contains("não foi encontrado"));
        QCOMPARE(c.modem.linha, QByteArray("+++ATH0\r"));
        QVERIFY(c.LogUsuarios().isEmpty());
    }

    void grupoComOSegundoCodigoRecusado() {
        Cena c;
        const qint32 a = CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("111"));
        const qint32 b = CadastraUsuario(QStringLiteral("Bruno D'Ávila"), QStringLiteral(" 222 "));
        const qint32 d = CadastraUsuario(QStringLiteral("Dora"), QStringLiteral("333"));
        Modulo::CodigosDaLista[3] = CadastraGrupo(QStringLiteral("Plantão"), {a, b, d});
        c.pedido.porUsuario = false;
        c.pedido.indice = 2;
        c.modem.QuandoRecebe("\x02"
                             "222\r",
                             kRecusa, 0.5);
        c.modem.QuandoRecebe("\x02", kAceita, 0.5);

        QVERIFY(EnviarGrupo(c.ctx, c.pedido, c.painel));
        QCOMPARE(c.Blocos(), 3);
        QCOMPARE(c.modem.Contagem("\x1bPG1\r"), 1);
        QCOMPARE(c.modem.Contagem("\x04\r"), 1);
        QCOMPARE(c.LogUsuarios(), (QStringList{"Ana", "Bruno D'Ávila", "Dora"})); // trimmed, not padded
        QCOMPARE(c.painel.maximo, 3);
        QCOMPARE(c.painel.valores, (QVector<int>{0, 1, 2, 3}));
        QVERIFY(c.painel.visivel);
        QCOMPARE(c.operador.caixas.size(), 1);
        QCOMPARE(c.operador.caixas[0].titulo, QStringLiteral("Erro(s):"));
        QCOMPARE(c.operador.caixas[0].texto,
                 QStringLiteral(
                     "Erro na tentativa de envio para o pager de Bruno D'Ávila. Problemas com o código 222. "
                     "Possibilidade de erro na tentativa do envio das outras mensagens.\r"));
    }

    void grupoComTimeOutNoSegundoMembro() {
        Cena c;
        const qint32 a = CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("111"));
        const qint32 b = CadastraUsuario(QStringLiteral("Bruno"), QStringLiteral("222"));
        const qint32 d = CadastraUsuario(QStringLiteral("Dora"), QStringLiteral("333"));
        Modulo::CodigosDaLista[1] = CadastraGrupo(QStringLiteral("Plantão"), {a, b, d});
        c.pedido.porUsuario = false;
        c.modem.QuandoRecebe("\x02"
                             "111\r",
                             kAceita, 0.5);

        QVERIFY(!EnviarGrupo(c.ctx, c.pedido, c.painel));
        QCOMPARE(c.Blocos(), 2);
        QCOMPARE(c.LogUsuarios(), QStringList{"Ana"});
        QVERIFY(!c.modem.linha.contains("\x04\r"));
        QVERIFY(c.Desligou());
        QCOMPARE(c.operador.TextosDasCaixas(),
                 QStringList{"Erro: Time Out - Aguardando confirmação do dígito verificador ..."});
    }

    void grupoVazioDesligaAntesDeAvisar() {
        Cena c;
        Modulo::CodigosDaLista[1] = CadastraGrupo(QStringLiteral("Vazio"));
        c.pedido.porUsuario = false;
        QVERIFY(!EnviarGrupo(c.ctx, c.pedido, c.painel));
        QCOMPARE(c.modem.linha, QByteArray("+++ATH0\r"));
        QCOMPARE(
            c.operador.eventos.last(),
            QStringLiteral("caixa:Este grupo não possue nenhum usuário cadastrado. Não há alguém para enviar "
                           "mensagem."));
        // The hang-up's " Pronto" comes before the message.
        QCOMPARE(c.operador.eventos[c.operador.eventos.size() - 2], QStringLiteral("status: Pronto"));
    }

    void processoInteiro_data() {
        QTest::addColumn<QByteArray>("discagem");
        QTest::addColumn<bool>("esvaziada");
        QTest::newRow("conecta") << QByteArray("\r\nCONNECT 9600/ARQ\r\n") << true;
        QTest::newRow("ocupado") << QByteArray("\r\nBUSY\r\n") << false;
    }
    void processoInteiro() {
        QFETCH(QByteArray, discagem);
        QFETCH(bool, esvaziada);
        Cena c;
        c.Usuario(QStringLiteral("Ana"), QStringLiteral("555"));
        c.modem.ModemQueRespondeOK();
        c.modem.QuandoRecebe("ATD", discagem, 3);
        c.Respostas({kAceita});
        Modulo::EnvioIniciado = false;

        IniciaProcesso(c.ctx, c.pedido, c.painel);
        QVERIFY(Modulo::EnvioIniciado);
        QCOMPARE(c.pedido.esvaziada, esvaziada);
        QCOMPARE(c.operador.status.first(),
                 QStringLiteral(" Discando para a empresa de rádio chamadas, aguarde ..."));
        QCOMPARE(c.painel.titulos.last(),
                 esvaziada ? QStringLiteral("Retornando ...") : QStringLiteral("Desconectando Modem ..."));
        QCOMPARE(c.LogUsuarios().size(), esvaziada ? 1 : 0);
        QVERIFY(c.Desligou());
    }
};

QTEST_MAIN(TstEnvio)
#include "tst_Envio.moc"
