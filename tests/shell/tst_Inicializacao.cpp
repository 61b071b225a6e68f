// The start-up road in virtual time: the windows shown, the status line, the questions asked.
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
    QStringList portasEscolhidas; // what the person picks in the modem dialog, in turn
    void MostraSplash() override { chamadas << QStringLiteral("splash"); }
    void FechaSplash() override { chamadas << QStringLiteral("fechaSplash"); }
    void MostraPrincipal() override { chamadas << QStringLiteral("principal"); }
    void MostraConfigModem() override {
        chamadas << QStringLiteral("configModem");
        if (!portasEscolhidas.isEmpty())
            GravaINI(QStringLiteral("MODEM"), QStringLiteral("Porta Serial"), portasEscolhidas.takeFirst());
    }
    void MostraMontaMsg() override { chamadas << QStringLiteral("montaMsg"); }
};

const QString kPergunta = QStringLiteral(
    "Houve um erro ao tentar inicializar o modem. Você deseja ajustar as configurações do seu modem?");
const QString kOutroAplicativo =
    QStringLiteral("Este erro pode ter sido ocasionado pelo fato de que outro aplicativo está utilizando a "
                   "porta serial onde está "
                   "instalado o seu modem. Reinicialize o seu computador e tente novamente.");
const QString kTimeOut = QStringLiteral(
    "Modem TimeOut: Ha a possibilidade da porta serial selecionada não possuir nenhum um modem instalado.");
const QStringList kPronto{" Inicializando variáveis, aguarde ...", " Inicializando Modem, aguarde ...",
                          " Pronto"};
} // namespace

class tst_Inicializacao : public QObject {
    Q_OBJECT
private slots:
    void inicializacao_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("banco");   // "vazio", "lixo" or "ausente"
        QTest::addColumn<QString>("roteiro"); // "modem" answers OK; "falhas=N" opens that fail; "Sim" answers
        QTest::addColumn<bool>("pronto");
        QTest::addColumn<QStringList>("janelas");
        QTest::addColumn<QStringList>("status");
        QTest::addColumn<QStringList>("caixas");
        const QString banco = QStringLiteral(" Inicializando Banco de Dados, aguarde ...");
        const QByteArray com1("[MODEM]\r\nPorta Serial=1\r\n");
        const QStringList abre{"splash", "principal"};
        QTest::newRow("banco danificado")
            << com1 << "lixo"
            << "modem" << false << abre + QStringList{"fechaSplash"}
            << QStringList{banco, " Erro iniciando o bando de dados."}
            << QStringList{"Houve um erro sério ao tentar abrir o arquivo de dados do sistema."};
        QTest::newRow("banco ausente")
            << com1 << "ausente"
            << "modem" << false << abre + QStringList{"fechaSplash"}
            << QStringList{banco, " Erro iniciando o bando de dados."}
            << QStringList{"Houve um erro sério ao tentar abrir o arquivo de dados do sistema."};
        QTest::newRow("sem configuração")
            << QByteArray() << "vazio"
            << "modem" << true << abre + QStringList{"fechaSplash", "configModem", "fechaSplash"}
            << QStringList{banco, " Configurando modem ..."} + kPronto << QStringList();
        QTest::newRow("porta falha, Sim e depois Não")
            << QByteArray("[MODEM]\r\nPorta Serial=3\r\n") << "vazio"
            << "falhas=5 Sim" << false << abre + QStringList{"fechaSplash", "configModem", "fechaSplash"}
            << QStringList{banco, " Inicializando variáveis, aguarde ...",
                           " Erro iniciando a porta serial do modem.", " Configurando modem ...",
                           " Erro iniciando a porta serial do modem."}
            << QStringList{kPergunta, kPergunta, kOutroAplicativo};
        QTest::newRow("modem mudo") << com1 << "vazio"
                                    << "" << true << abre + QStringList{"fechaSplash"}
                                    << QStringList{banco} + kPronto << QStringList{kTimeOut, kTimeOut};
        QTest::newRow("AutoEnviar") << com1 + "[OP\xc7\xd5"
                                              "ES]\r\nAutoEnviar=Sim\r\n"
                                    << "vazio"
                                    << "modem" << true << abre + QStringList{"fechaSplash", "montaMsg"}
                                    << QStringList{banco} + kPronto << QStringList();
        QTest::newRow("autoenviar=sim") << com1 + "[OP\xc7\xd5"
                                                  "ES]\r\nAutoEnviar=sim\r\n"
                                        << "vazio"
                                        << "modem" << true << abre + QStringList{"fechaSplash"}
                                        << QStringList{banco} + kPronto << QStringList();
    }
    void inicializacao() {
        QFETCH(QByteArray, ini);
        QFETCH(QString, banco);
        QFETCH(QString, roteiro);
        QFETCH(bool, pronto);
        QFETCH(QStringList, janelas);
        QFETCH(QStringList, status);
        QFETCH(QStringList, caixas);
        AmbienteDeTeste ambiente;
        ambiente.EscreveINI(ini);
        const QString mdb = ambiente.Diretorio() + QStringLiteral("/Pager.Mdb");
        if (banco == QLatin1String("vazio")) {
            QVERIFY(ambiente.AbreBancoVazio());
            FechaBancoDeDados();
        } else if (banco == QLatin1String("lixo")) {
            QFile lixo(mdb);
            QVERIFY(lixo.open(QIODevice::WriteOnly) &&
                    lixo.write(QByteArray("Standard Jet DB\0\0\0 isto nao", 27)) == 27);
        }
        RelogioVirtual relogio;
        ModemRoteirizado modem(relogio);
        OperadorGravado operador;
        JanelasGravadas gravadas;
        gravadas.portasEscolhidas << QStringLiteral("2");
        Contexto ctx{relogio, modem, operador};
        if (roteiro.contains(QLatin1String("modem")))
            modem.ModemQueRespondeOK();
        modem.falhasAoAbrir = roteiro.startsWith(QLatin1String("falhas=")) ? roteiro.mid(7, 1).toInt() : 0;
        if (roteiro.contains(QLatin1String("Sim")))
            operador.respostas = {Resposta::Sim};

        QCOMPARE(ExecutaInicializacao(ctx, gravadas, ambiente.Diretorio()) == FimDaInicializacao::Pronto,
                 pronto);
        QCOMPARE(gravadas.chamadas, janelas);
        QCOMPARE(operador.status, status);
        QCOMPARE(operador.TextosDasCaixas(), caixas);
        QCOMPARE(BancoDeDadosAberto(), pronto);
        QCOMPARE(operador.ampulhetaNivel, 0);
        QCOMPARE(modem.linha, pronto ? QByteArray("ATZ\rate0\r") : QByteArray());
        QCOMPARE(QFile::exists(mdb), banco != QLatin1String("ausente"));
        if (pronto)
            QCOMPARE(modem.settings, QStringLiteral("9600,e,7,1"));
        FechaBancoDeDados();
    }
};

QTEST_GUILESS_MAIN(tst_Inicializacao)
#include "tst_Inicializacao.moc"
