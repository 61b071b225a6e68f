// Groups and memberships: the routines on a temporary database (unique names as the store
// compares them, the delete cascade, members by name, every change whole or not at all) and the
// windows where the behaviour lives in them.
#include "AmbienteDeTeste.h"
#include "CadastroDeTeste.h"
#include "OperadorGravado.h"

#include "directory/CadastroDeGrupos.h"
#include "directory/MembrosDoGrupo.h"
#include "directory/frmCadastraGrupo.h"
#include "directory/frmCadastraGrupos.h"
#include "directory/frmUsuariosGrupo.h"
#include "store/Snapshot.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QtTest>
#include <functional>

namespace {
// Every group and membership row, to show that a failed change left nothing behind.
QString Retrato() {
    return Snapshot(
               QStringLiteral("Select (Select group_concat(ID_Grupo || Nome_Grupo) From Grupos) || '/' || "
                              "(Select group_concat(ID_Usuario || '-' || ID_Grupo) From Usuario_Grupo) As R"))
        .Campo(QStringLiteral("R"))
        .toString();
}
template <class T> T* Filho(QWidget& janela, const char* nome) {
    return janela.findChild<T*>(QLatin1String(nome));
}
void Clica(QWidget& janela, const char* nome) {
    Filho<QAbstractButton>(janela, nome)->click();
}
QStringList Titulos(const OperadorGravado& operador) {
    QStringList titulos;
    for (const auto& caixa : operador.caixas)
        titulos << caixa.titulo;
    return titulos;
}
int Pares() {
    return Snapshot(QStringLiteral("Select * From Usuario_Grupo")).RecordCount();
}
} // namespace

class tst_Grupos : public QObject {
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

    void diretorioVazio() {
        frmCadastraGrupo janela(m_operador);
        Clica(janela, "cmdAlterarGrupo");
        Clica(janela, "cmdExcluirGrupo");
        QCOMPARE(Titulos(m_operador), (QStringList{"Erro:", "Erro:"}));
        CadastraGrupo(QStringLiteral("V"));
        frmUsuariosGrupo membros(m_operador); // no user to add
        int bipes = 0;
        membros.bipe = [&bipes] { ++bipes; };
        Clica(membros, "cmdAdicionar");
        QCOMPARE(bipes, 1);
    }

    void gravacao_data() {
        QTest::addColumn<bool>("alteraVendas");
        QTest::addColumn<QString>("nome");
        QTest::addColumn<int>("esperado");
        QTest::addColumn<QStringList>("grupos");
        const int G = int(Gravacao::Gravado), R = int(Gravacao::NomeRepetido);
        QTest::newRow("novo") << false << "Compras" << G << QStringList{"Compras", "Suporte", "Vendas"};
        QTest::newRow("novo, outra caixa") << false << "vENDAS" << R << QStringList{"Suporte", "Vendas"};
        QTest::newRow("aspas") << false << "O'Neil \"ção\"" << G
                               << QStringList{"O'Neil \"ção\"", "Suporte", "Vendas"};
        QTest::newRow("altera a caixa") << true << "VENDAS" << G << QStringList{"Suporte", "VENDAS"};
        QTest::newRow("altera para outro") << true << "suporte" << R << QStringList{"Suporte", "Vendas"};
    }
    void gravacao() {
        QFETCH(bool, alteraVendas);
        QFETCH(QString, nome);
        QFETCH(int, esperado);
        const qint32 vendas = CadastraGrupo(QStringLiteral("Vendas"));
        CadastraGrupo(QStringLiteral("Suporte"));
        Grupo grupo{alteraVendas ? vendas : 0, nome, QStringLiteral("D'água \"já\"")}, lido;
        QCOMPARE(int(GravaGrupo(grupo)), esperado);
        QTEST(LeGrupos().nomes, "grupos");
        QCOMPARE(LeGrupo(grupo.id, lido), grupo.id != 0);
        if (esperado == int(Gravacao::Gravado))
            QCOMPARE(lido.nome + lido.descricao, grupo.nome + grupo.descricao);
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
        const qint32 ana = CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("1"));
        const qint32 suporte = CadastraGrupo(QStringLiteral("Suporte"), {ana});
        CadastraGrupo(QStringLiteral("Compras"), {ana});
        frmCadastraGrupo janela(m_operador);
        QFETCH(int, resposta);
        m_operador.respostas = {Resposta(resposta)};
        Clica(janela, "cmdExcluirGrupo");
        QTEST(LeGrupos().nomes, "grupos");
        QTEST(m_operador.status, "status");
        QCOMPARE(Filho<QComboBox>(janela, "cmbGrupos")->currentText(), LeGrupos().nomes.first());
        QCOMPARE(LeMembros(suporte, LeUsuarios()).ids, QVector<qint32>{ana});
        QCOMPARE(Pares(), LeGrupos().ids.size());
    }

    void membros_data() {
        QTest::addColumn<QStringList>("usuarios"); // '*': a member from the start
        QTest::addColumn<QString>("acao");         // "+k": add the k-th user; "-name": remove a name
        QTest::addColumn<int>("adicao");
        QTest::addColumn<QStringList>("membros");
        const int A = int(Adicao::Adicionado), J = int(Adicao::JaEraMembro), X = int(Adicao::Recusada);
        QTest::newRow("adiciona") << QStringList{"Carlos", "ana*"} << "+1" << A
                                  << QStringList{"ana", "Carlos"};
        QTest::newRow("já membro") << QStringList{"Carlos*"} << "+1" << J << QStringList{"Carlos"};
        QTest::newRow("usuário inexistente") << QStringList{"Carlos"} << "+9" << X << QStringList{};
        QTest::newRow("ordem do nome")
            << QStringList{"Zé*", "beatriz*", "Álvaro*"} << "" << 0 << QStringList{"Álvaro", "beatriz", "Zé"};
        QTest::newRow("remove xarás")
            << QStringList{"Ana*", "Bruno*", "Ana*"} << "-Ana" << 0 << QStringList{"Bruno"};
        QTest::newRow("remove o último") << QStringList{"O'Neil*"} << "-O'Neil" << 0 << QStringList{};
    }
    void membros() {
        QFETCH(QStringList, usuarios);
        QFETCH(QString, acao);
        QVector<qint32> ids, iniciais;
        for (const QString& nome : usuarios) {
            ids << CadastraUsuario(QString(nome).remove(QLatin1Char('*')), nome);
            if (nome.endsWith(QLatin1Char('*')))
                iniciais.prepend(ids.last()); // stored in reverse: the order shown is not the rows'
        }
        const qint32 grupo = CadastraGrupo(QStringLiteral("Plantão"), iniciais);
        if (acao.startsWith(QLatin1Char('+')))
            QTEST(int(AdicionaMembro(ids.value(acao.mid(1).toInt() - 1, 999), grupo)), "adicao");
        else if (acao.startsWith(QLatin1Char('-')))
            QVERIFY(RemoveMembro(acao.mid(1), grupo));
        QTEST(LeMembros(grupo, LeUsuarios()).nomes, "membros");
        QCOMPARE(Pares(), LeMembros(grupo, LeUsuarios()).ids.size());
        QCOMPARE(int(AdicionaMembro(ids.first(), grupo + 1)), int(Adicao::Recusada));
    }

    void falhaDesfazTudo_data() {
        QTest::addColumn<QString>("gatilho");
        QTest::addColumn<int>("operacao");
        QTest::newRow("exclusão") << "Before Delete On Grupos" << 0;
        QTest::newRow("novo grupo") << "After Insert On Grupos" << 1;
        QTest::newRow("alteração") << "After Update On Grupos" << 2;
        QTest::newRow("novo membro") << "After Insert On Usuario_Grupo" << 3;
    }
    void falhaDesfazTudo() {
        QFETCH(QString, gatilho);
        const qint32 ana = CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("1"));
        const qint32 bia = CadastraUsuario(QStringLiteral("Bia"), QStringLiteral("2"));
        const qint32 grupo = CadastraGrupo(QStringLiteral("Vendas"), {ana});
        QVERIFY(Executa(QStringLiteral("Create Trigger F %1 Begin Select Raise(Abort, 'disco cheio'); End")
                            .arg(gatilho)));
        const QString antes = Retrato();
        QString erro;
        Grupo novo{0, QStringLiteral("Compras"), QStringLiteral("x")},
            alterado{grupo, QStringLiteral("V"), {}};
        const std::function<bool()> operacoes[] = {
            [&] { return !ExcluiGrupo(grupo, &erro); },
            [&] { return GravaGrupo(novo, &erro) == Gravacao::Falhou; },
            [&] { return GravaGrupo(alterado, &erro) == Gravacao::Falhou; },
            [&] { return AdicionaMembro(bia, grupo, &erro) == Adicao::Falhou; }};
        QFETCH(int, operacao);
        QVERIFY(operacoes[operacao]());
        QVERIFY(erro.contains(QStringLiteral("disco cheio")));
        QCOMPARE(Retrato(), antes);
    }

    void dialogo_data() {
        // altered?|name|description|button|boxes shown|groups afterwards (empty: still open)
        QTest::addColumn<QString>("caso");
        QTest::newRow("sem nome") << "|||ok|Advertência:|";
        QTest::newRow("sem descrição") << "|Compras||ok||Compras,Vendas";
        QTest::newRow("repetido") << "|VENDAS|y|ok|Erro:|";
        QTest::newRow("altera") << "a|Outro|z|ok||Outro";
        QTest::newRow("cancela novo, não") << "|C||volta|Atenção:|";
        QTest::newRow("cancela só descrição") << "||y|volta||Vendas";
        QTest::newRow("cancela alteração") << "a|Outro||volta||Vendas";
    }
    void dialogo() {
        QFETCH(QString, caso);
        const QStringList c = caso.split(QLatin1Char('|'));
        Grupo vendas;
        QVERIFY(LeGrupo(CadastraGrupo(QStringLiteral("Vendas")), vendas));
        frmCadastraGrupos dialogo(m_operador);
        if (!c[0].isEmpty())
            dialogo.PreencheParaAlterar(vendas);
        Filho<QLineEdit>(dialogo, "txtNomeGrupo")->setText(c[1]);
        Filho<QPlainTextEdit>(dialogo, "txtDescricaoGrupo")->setPlainText(c[2]);
        dialogo.show();
        Clica(dialogo, c[3] == QLatin1String("ok") ? "cmdCadastrarGrupo" : "cmdRetornar");
        QCOMPARE(dialogo.isVisible(), c[5].isEmpty());
        QCOMPARE(Titulos(m_operador).join(QLatin1Char(',')), c[4]);
        QCOMPARE(LeGrupos().nomes.join(QLatin1Char(',')), c[5].isEmpty() ? QStringLiteral("Vendas") : c[5]);
        const Snapshot gravado(QStringLiteral("Select * From Grupos Where Nome_Grupo = 'Compras'"));
        if (!gravado.Eof())
            QCOMPARE(gravado.Campo(QStringLiteral("Descricao_Grupo")).toString(),
                     QStringLiteral("Não há descrição para este grupo."));
    }

    // A group built in the windows: the third user twice is added once, the list in name order.
    void grupoMontadoNasJanelas() {
        for (const char* pager : {"3003", "1001", "2002"})
            CadastraUsuario(QStringLiteral("Usuário %1").arg(QLatin1String(pager)), QLatin1String(pager));
        frmCadastraGrupo cadastro(m_operador);
        cadastro.mostraCadastro = [](frmCadastraGrupos& dialogo) {
            Filho<QLineEdit>(dialogo, "txtNomeGrupo")->setText(QStringLiteral("Plantão d'Água"));
            Clica(dialogo, "cmdCadastrarGrupo");
        };
        Clica(cadastro, "cmdCadastrarGrupo");
        frmUsuariosGrupo membros(m_operador);
        for (int indice : {2, 0, 2}) {
            Filho<QComboBox>(membros, "cmbUsuarios")->setCurrentIndex(indice);
            Clica(membros, "cmdAdicionar");
        }
        QAbstractItemModel* lista = Filho<QListView>(membros, "lstUsuarios")->model();
        QStringList mostrados;
        for (int i = 0; i < lista->rowCount(); ++i)
            mostrados << lista->index(i, 0).data().toString();
        QCOMPARE(mostrados, (QStringList{"Usuário 1001", "Usuário 3003"}));
        QCOMPARE(LeMembros(LeGrupos().ids.value(0), LeUsuarios()).nomes, mostrados);
        QCOMPARE(Titulos(m_operador), QStringList{"Advertência:"}); // the new group was empty
    }
};

QTEST_MAIN(tst_Grupos)
#include "tst_Grupos.moc"
