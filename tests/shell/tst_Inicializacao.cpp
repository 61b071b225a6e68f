// The start-up road in virtual time, with the operator and the windows recorded.
#include "AmbienteDeTeste.h"
#include "ModemRoteirizado.h"
#include "OperadorGravado.h"
#include "RelogioVirtual.h"
#include "common/Modulo.h"
#include "settings/PerfilINI.h"
#include "shell/Inicializacao.h"
#include "store/BancoDeDados.h"

#include <QFile>
#include <QtTest>

namespace {
class JanelasGravadas : public JanelasDaInicializacao {
public:
    QStringList chamadas;
    // What the person picks each time the modem settings dialog is shown ("" closes it unchanged).
    QStringList portasEscolhidas;

    void MostraSplash() override { chamadas << QStringLiteral("splash"); }
    void FechaSplash() override { chamadas << QStringLiteral("fechaSplash"); }
    void MostraPrincipal() override { chamadas << QStringLiteral("principal"); }
    void MostraConfigModem() override {
        chamadas << QStringLiteral("configModem");
        if (!portasEscolhidas.isEmpty()) {
            const QString porta = portasEscolhidas.takeFirst();
            if (!porta.isEmpty())
                GravaINI(QStringLiteral("MODEM"), QStringLiteral("Porta Serial"), porta);
        }
    }
    void MostraMontaMsg() override { chamadas << QStringLiteral("montaMsg"); }
};

const QString kPerguntaPorta = QStringLiteral(
    "Houve um erro ao tentar inicializar o modem. Você deseja ajustar as configurações do seu modem?");
const QString kOutroAplicativo =
    QStringLiteral("Este erro pode ter sido ocasionado pelo fato de que outro aplicativo está utilizando a "
                   "porta serial onde está "
                   "instalado o seu modem. Reinicialize o seu computador e tente novamente.");
const QString kTimeOut = QStringLiteral(
    "Modem TimeOut: Ha a possibilidade da porta serial selecionada não possuir nenhum um modem instalado.");
} // namespace

class TstInicializacao : public QObject {
    Q_OBJECT

    struct Cena {
        AmbienteDeTeste ambiente;
        RelogioVirtual relogio;
        ModemRoteirizado modem{relogio};
        OperadorGravado operador;
        JanelasGravadas janelas;
        Contexto ctx{relogio, modem, operador};
        FimDaInicializacao Executa() { return ExecutaInicializacao(ctx, janelas, ambiente.Diretorio()); }
        void PreparaBanco() {
            QVERIFY(ambiente.AbreBancoVazio());
            FechaBancoDeDados();
        }
    };

private slots:
    void bancoQueNaoAbreEncerraSemTocarNoModem() {
        Cena c;
        c.ambiente.EscreveINI("[MODEM]\r\nPorta Serial=1\r\n");
        QFile lixo(c.ambiente.Diretorio() + QStringLiteral("/Pager.Mdb"));
        QVERIFY(lixo.open(QIODevice::WriteOnly));
        lixo.write("Standard Jet DB\0\0\0 isto nao e um banco", 40);
        lixo.close();

        QCOMPARE(c.Executa(), FimDaInicializacao::EncerrarPrograma);
        QCOMPARE(c.operador.caixas.size(), 1);
        QCOMPARE(c.operador.caixas[0].texto,
                 QStringLiteral("Houve um erro sério ao tentar abrir o arquivo de dados do sistema."));
        QCOMPARE(c.operador.caixas[0].titulo, QStringLiteral("Erro:"));
        QCOMPARE(c.operador.caixas[0].icone, Icone::Critico);
        QCOMPARE(c.operador.StatusAtual(), QStringLiteral(" Erro iniciando o bando de dados."));
        QCOMPARE(c.modem.aberturas, 0);
        QVERIFY(c.modem.linha.isEmpty());
        QVERIFY(c.janelas.chamadas.contains(QStringLiteral("fechaSplash")));
        QVERIFY(!BancoDeDadosAberto());
    }

    void bancoAusenteNaoECriado() {
        Cena c;
        QCOMPARE(c.Executa(), FimDaInicializacao::EncerrarPrograma);
        QVERIFY(!QFile::exists(c.ambiente.Diretorio() + QStringLiteral("/Pager.Mdb")));
    }

    void semArquivoDeConfiguracaoMostraODialogoAntesDaPorta() {
        Cena c;
        c.PreparaBanco();
        c.modem.ModemQueRespondeOK();
        c.janelas.portasEscolhidas << QStringLiteral("2");

        QCOMPARE(c.Executa(), FimDaInicializacao::Pronto);
        QCOMPARE(c.janelas.chamadas,
                 (QStringList{"splash", "principal", "fechaSplash", "configModem", "fechaSplash"}));
        QCOMPARE(c.modem.commPort, qint16(2));
        QCOMPARE(Modulo::PortaModem, qint16(2));
        QCOMPARE(c.modem.settings, QStringLiteral("9600,e,7,1"));
        QCOMPARE(c.modem.handshaking, 2);
        QVERIFY(c.modem.rtsEnable);
        QCOMPARE(c.operador.status,
                 (QStringList{" Inicializando Banco de Dados, aguarde ...", " Configurando modem ...",
                              " Inicializando variáveis, aguarde ...", " Inicializando Modem, aguarde ...",
                              " Pronto"}));
        QVERIFY(c.operador.caixas.isEmpty());
        QCOMPARE(c.modem.linha, QByteArray("ATZ\rate0\r"));
        QCOMPARE(c.operador.ampulhetaNivel, 0);
    }

    void portaQueFalhaRespondidaSimDepoisNao() {
        Cena c;
        c.PreparaBanco();
        c.ambiente.EscreveINI("[MODEM]\r\nPorta Serial=3\r\n");
        c.modem.falhasAoAbrir = 5;
        c.operador.respostas = {Resposta::Sim, Resposta::Nao};

        QCOMPARE(c.Executa(), FimDaInicializacao::EncerrarPrograma);
        QCOMPARE(c.operador.TextosDasCaixas(),
                 (QStringList{kPerguntaPorta, kPerguntaPorta, kOutroAplicativo}));
        QCOMPARE(c.operador.caixas[0].botoes, Botoes::SimNao);
        QCOMPARE(c.operador.caixas[0].icone, Icone::Critico);
        QCOMPARE(c.operador.caixas[0].titulo, QStringLiteral("Erro:"));
        QCOMPARE(c.operador.caixas[2].titulo, QStringLiteral("Informação:"));
        QCOMPARE(c.operador.caixas[2].icone, Icone::Informacao);
        QCOMPARE(c.janelas.chamadas.count(QStringLiteral("configModem")), 1);
        QVERIFY(c.operador.status.contains(QStringLiteral(" Erro iniciando a porta serial do modem.")));
        QVERIFY(c.modem.linha.isEmpty());
        QVERIFY(!BancoDeDadosAberto());
    }

    void portaQueFalhaUmaVezEDepoisAbreComOutraEscolha() {
        Cena c;
        c.PreparaBanco();
        c.ambiente.EscreveINI("[MODEM]\r\nPorta Serial=3\r\n");
        c.modem.ModemQueRespondeOK();
        c.modem.falhasAoAbrir = 1;
        c.operador.respostas = {Resposta::Sim};
        c.janelas.portasEscolhidas << QStringLiteral("4");

        QCOMPARE(c.Executa(), FimDaInicializacao::Pronto);
        QCOMPARE(c.modem.commPort, qint16(4));
        QCOMPARE(c.operador.StatusAtual(), QStringLiteral(" Pronto"));
    }

    void portaVaziaNaoPedeODialogoEEntregaZero() {
        // "Porta Serial" present but empty: port 0, which the real control refuses; the
        // recorded port opens anything, so this checks the number handed over.
        Cena c;
        c.PreparaBanco();
        c.ambiente.EscreveINI("[MODEM]\r\nPorta Serial=\r\n");
        c.modem.ModemQueRespondeOK();
        QCOMPARE(c.Executa(), FimDaInicializacao::Pronto);
        QCOMPARE(c.modem.commPort, qint16(0));
        QVERIFY(!c.janelas.chamadas.contains(QStringLiteral("configModem")));
    }

    void modemMudoMostraOTimeOutDuasVezesEChegaAoPronto() {
        Cena c;
        c.PreparaBanco();
        c.ambiente.EscreveINI("[MODEM]\r\nPorta Serial=1\r\n");

        QCOMPARE(c.Executa(), FimDaInicializacao::Pronto);
        QCOMPARE(c.operador.TextosDasCaixas(), (QStringList{kTimeOut, kTimeOut}));
        QCOMPARE(c.operador.caixas[0].titulo, QStringLiteral("Informação:"));
        QCOMPARE(c.operador.StatusAtual(), QStringLiteral(" Pronto"));
        QCOMPARE(c.operador.ampulhetaNivel, 0);
    }

    void autoEnviar_data() {
        QTest::addColumn<QByteArray>("valor");
        QTest::addColumn<bool>("abre");
        QTest::newRow("Sim") << QByteArray("Sim") << true;
        QTest::newRow("sim") << QByteArray("sim") << false;
        QTest::newRow("Não") << QByteArray("N\xe3o") << false;
        QTest::newRow("ausente") << QByteArray() << false;
    }
    void autoEnviar() {
        QFETCH(QByteArray, valor);
        QFETCH(bool, abre);
        Cena c;
        c.PreparaBanco();
        QByteArray ini("[MODEM]\r\nPorta Serial=1\r\n");
        if (!valor.isEmpty())
            ini += "[OP\xc7\xd5"
                   "ES]\r\nAutoEnviar=" +
                   valor + "\r\n";
        c.ambiente.EscreveINI(ini);
        c.modem.ModemQueRespondeOK();
        QCOMPARE(c.Executa(), FimDaInicializacao::Pronto);
        QCOMPARE(c.janelas.chamadas.contains(QStringLiteral("montaMsg")), abre);
        if (abre)
            QCOMPARE(c.janelas.chamadas.last(), QStringLiteral("montaMsg"));
    }

    void inicializacaoConfiguradaUsaOComandoDoArquivo() {
        Cena c;
        c.PreparaBanco();
        c.ambiente.EscreveINI("[MODEM]\r\nPorta Serial=1\r\nInicializa\xe7\xe3o=AT&F\r\nConfigura\xe7\xf5"
                              "es=19200,n,8,1\r\n");
        c.modem.QuandoRecebe("AT&F\r", "\r\nOK\r\n", 0.2);
        c.modem.ModemQueRespondeOK();
        QCOMPARE(c.Executa(), FimDaInicializacao::Pronto);
        QCOMPARE(c.modem.linha, QByteArray("AT&F\rate0\r"));
        QCOMPARE(c.modem.settings, QStringLiteral("19200,n,8,1"));
        QVERIFY(c.operador.caixas.isEmpty());
    }
};

QTEST_MAIN(TstInicializacao)
#include "tst_Inicializacao.moc"
