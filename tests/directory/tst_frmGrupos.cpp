// The group windows where the behaviour lives in them: refusals, questions, the empty-group
// message, the beep; and a group built in these windows sent to through the simulator.
#include "AmbienteDeTeste.h"
#include "CadastroDeTeste.h"
#include "OperadorGravado.h"
#include "SimuladorExterno.h"

#include "common/Modulo.h"
#include "common/RelogioReal.h"
#include "directory/CadastroDeGrupos.h"
#include "directory/frmCadastraGrupo.h"
#include "directory/frmCadastraGrupos.h"
#include "directory/frmUsuariosGrupo.h"
#include "modem/ComandosModem.h"
#include "modem/PortaSerialQt.h"
#include "settings/PerfilINI.h"
#include "store/Snapshot.h"
#include "tap/Envio.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QtTest>

namespace {
template <class T> T* Filho(QWidget& janela, const char* nome) {
    return janela.findChild<T*>(QLatin1String(nome));
}
void Clica(QWidget& janela, const char* nome) {
    QVERIFY(Filho<QAbstractButton>(janela, nome));
    Filho<QAbstractButton>(janela, nome)->click();
}
QStringList Titulos(const OperadorGravado& operador) {
    QStringList titulos;
    for (const auto& caixa : operador.caixas)
        titulos << caixa.titulo;
    return titulos;
}
QStringList Mostrados(QListView* lista) {
    QStringList nomes;
    for (int i = 0; i < lista->model()->rowCount(); ++i)
        nomes << lista->model()->index(i, 0).data().toString();
    return nomes;
}

struct Pedido : PedidoDeEnvio {
    bool DestinoEhUsuario() const override { return false; }
    int IndiceDaLista() const override { return 0; }
    QString TextoDaMensagem() const override { return QStringLiteral("Plantão às 22h"); }
    void EsvaziaMensagem() override {}
};
struct Painel : PainelDeEnvio {
    void Titulo(const QString&) override {}
    void MedidorMaximo(int) override {}
    void MedidorValor(int) override {}
    void MedidorVisivel(bool) override {}
};
} // namespace

class tst_frmGrupos : public QObject {
    Q_OBJECT
    std::unique_ptr<AmbienteDeTeste> m_ambiente;
    OperadorGravado m_operador;

private slots:
    void init() {
        m_ambiente = std::make_unique<AmbienteDeTeste>();
        QVERIFY(m_ambiente->AbreBancoVazio());
        m_operador = {};
    }
    void cleanup() { m_ambiente.reset(); }

    void semGrupos() {
        frmCadastraGrupo janela(m_operador);
        QCOMPARE(Filho<QLabel>(janela, "pnlDescricaoGrupo")->text(),
                 QStringLiteral("Não há nenhum grupo cadastrado."));
        Clica(janela, "cmdAlterarGrupo");
        Clica(janela, "cmdExcluirGrupo");
        QCOMPARE(Titulos(m_operador), (QStringList{"Erro:", "Erro:"}));
        QVERIFY(m_operador.respostas.empty() && m_operador.perguntasSemResposta == 0);
    }

    void exclusao_data() {
        QTest::addColumn<int>("resposta");
        QTest::addColumn<QStringList>("grupos");
        QTest::addColumn<QStringList>("status");
        QTest::newRow("sim") << int(Resposta::Sim) << QStringList{"Suporte"}
                             << QStringList{" Excluindo Grupo de Usuários...", " Pronto"};
        QTest::newRow("não") << int(Resposta::Nao) << QStringList{"Compras", "Suporte"} << QStringList{};
    }
    void exclusao() {
        QFETCH(int, resposta);
        QFETCH(QStringList, grupos);
        QFETCH(QStringList, status);
        CadastraGrupo(QStringLiteral("Suporte"));
        CadastraGrupo(QStringLiteral("Compras"),
                      {CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("1"))});
        frmCadastraGrupo janela(m_operador);
        m_operador.respostas = {Resposta(resposta)};
        Clica(janela, "cmdExcluirGrupo");
        QCOMPARE(m_operador.caixas.value(0).texto.count(QStringLiteral("\r\n")), 1);
        QCOMPARE(LeGrupos().nomes, grupos);
        QCOMPARE(Filho<QComboBox>(janela, "cmbGrupos")->currentText(), LeGrupos().nomes.first());
        QCOMPARE(Filho<QLabel>(janela, "pnlDescricaoGrupo")->text(), QStringLiteral("teste"));
        QCOMPARE(m_operador.status, status);
    }

    void dialogo_data() {
        QTest::addColumn<bool>("altera");
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("descricao");
        QTest::addColumn<QString>("botao");
        QTest::addColumn<bool>("fecha");
        QTest::addColumn<QStringList>("titulos");
        QTest::addColumn<QStringList>("grupos");
        const QString gravar = QStringLiteral("cmdCadastrarGrupo"), voltar = QStringLiteral("cmdRetornar");
        const QStringList so = {"Vendas"};
        QTest::newRow("sem nome") << false << ""
                                  << "x" << gravar << false << QStringList{"Advertência:"} << so;
        QTest::newRow("sem descrição")
            << false << "Compras"
            << "" << gravar << true << QStringList{} << QStringList{"Compras", "Vendas"};
        QTest::newRow("repetido") << false << "VENDAS"
                                  << "y" << gravar << false << QStringList{"Erro:"} << so;
        QTest::newRow("altera") << true << "Outro"
                                << "z" << gravar << true << QStringList{} << QStringList{"Outro"};
        QTest::newRow("cancela novo, não") << false << "C"
                                           << "" << voltar << false << QStringList{"Atenção:"} << so;
        QTest::newRow("cancela só descrição") << false << ""
                                              << "y" << voltar << true << QStringList{} << so;
        QTest::newRow("cancela alteração") << true << "Outro"
                                           << "" << voltar << true << QStringList{} << so;
    }
    void dialogo() {
        QFETCH(bool, altera);
        QFETCH(QString, nome);
        QFETCH(QString, botao);
        QFETCH(bool, fecha);
        QFETCH(QStringList, titulos);
        QFETCH(QStringList, grupos);
        QFETCH(QString, descricao);
        Grupo vendas;
        QVERIFY(LeGrupo(CadastraGrupo(QStringLiteral("Vendas")), vendas));
        frmCadastraGrupos dialogo(m_operador);
        if (altera)
            dialogo.PreencheParaAlterar(vendas);
        Filho<QLineEdit>(dialogo, "txtNomeGrupo")->setText(nome);
        Filho<QPlainTextEdit>(dialogo, "txtDescricaoGrupo")->setPlainText(descricao);
        dialogo.show();
        Clica(dialogo, qPrintable(botao));
        QCOMPARE(!dialogo.isVisible(), fecha);
        QCOMPARE(Titulos(m_operador), titulos);
        QCOMPARE(LeGrupos().nomes, grupos);
        if (descricao.isEmpty() && botao == QLatin1String("cmdCadastrarGrupo"))
            QCOMPARE(Filho<QPlainTextEdit>(dialogo, "txtDescricaoGrupo")->toPlainText(),
                     QStringLiteral("Não há descrição para este grupo."));
    }

    void bipe_data() {
        QTest::addColumn<bool>("comUsuario");
        QTest::addColumn<bool>("comGrupo");
        QTest::newRow("sem usuários") << false << true;
        QTest::newRow("sem grupos") << true << false;
    }
    void bipe() {
        QFETCH(bool, comUsuario);
        QFETCH(bool, comGrupo);
        if (comUsuario)
            CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("1"));
        if (comGrupo)
            CadastraGrupo(QStringLiteral("Vendas"));
        frmUsuariosGrupo janela(m_operador);
        int bipes = 0;
        janela.bipe = [&bipes] { ++bipes; };
        Clica(janela, "cmdAdicionar");
        QCOMPARE(bipes, 1);
        QCOMPARE(Snapshot(QStringLiteral("Select * From Usuario_Grupo")).RecordCount(), 0);
    }

    // Built in the windows, sent through the simulator: one page per member shown.
    void grupoDasJanelasChegaAoSimulador() {
        SimuladorExterno simulador;
        QString erro;
        QVERIFY2(simulador.Inicia({"--silencioso", "--atraso-discagem=0.3", "--guarda-escape=0.2"}, &erro),
                 qPrintable(erro));
        GravaINI(QStringLiteral("MODEM"), QStringLiteral("COM1"), simulador.Dispositivo());
        const qint16 portaAnterior = Modulo::PortaModem;
        Modulo::PortaModem = 1;
        for (const char* pager : {"3003", "1001", "2002"})
            CadastraUsuario(QStringLiteral("Usuário %1").arg(QLatin1String(pager)), QLatin1String(pager));
        {
            frmCadastraGrupo cadastro(m_operador);
            cadastro.mostraCadastro = [](frmCadastraGrupos& dialogo) {
                Filho<QLineEdit>(dialogo, "txtNomeGrupo")->setText(QStringLiteral("Plantão d'Água"));
                Clica(dialogo, "cmdCadastrarGrupo");
            };
            Clica(cadastro, "cmdCadastrarGrupo");
        }
        QStringList mostrados;
        {
            frmUsuariosGrupo membros(m_operador);
            for (int indice : {2, 0, 2}) { // the third entry twice: added once
                Filho<QComboBox>(membros, "cmbUsuarios")->setCurrentIndex(indice);
                Clica(membros, "cmdAdicionar");
            }
            mostrados = Mostrados(Filho<QListView>(membros, "lstUsuarios"));
        }
        QCOMPARE(mostrados, (QStringList{"Usuário 1001", "Usuário 3003"}));
        QCOMPARE(Titulos(m_operador), QStringList{"Advertência:"}); // the new group was empty

        Modulo::CodigosDaLista[1] = LeGrupos().ids.value(0);
        RelogioReal relogio;
        PortaSerialQt porta(relogio);
        Contexto ctx{relogio, porta, m_operador};
        QVERIFY(ConfiguraPorta(ctx));
        InicializaModem(ctx);
        Pedido pedido;
        Painel painel;
        IniciaProcesso(ctx, pedido, painel);
        Modulo::PortaModem = portaAnterior;
        QStringList paginas;
        for (const QJsonObject& pagina : simulador.Paginas())
            paginas << QStringLiteral("Usuário ") + pagina.value(QStringLiteral("codigo")).toString();
        paginas.sort();
        QCOMPARE(paginas, mostrados);
        QCOMPARE(Titulos(m_operador), QStringList{"Advertência:"});
    }
};

QTEST_MAIN(tst_frmGrupos)
#include "tst_frmGrupos.moc"
