// Groups and memberships in the store: unique names as the store compares them, the delete
// cascade, members found and removed by name, and every change whole or not at all.
#include "AmbienteDeTeste.h"
#include "CadastroDeTeste.h"

#include "directory/CadastroDeGrupos.h"
#include "directory/MembrosDoGrupo.h"
#include "store/Snapshot.h"

#include <QtTest>
#include <functional>

namespace {
// Every group and membership row, to show that a failed change left nothing behind.
QString Retrato() {
    QString texto;
    for (const QString& sql : {QStringLiteral("Select ID_Grupo, Nome_Grupo, Descricao_Grupo From Grupos"),
                               QStringLiteral("Select ID_Usuario, ID_Grupo From Usuario_Grupo")})
        for (Snapshot s(sql); !s.Eof(); s.MoveNext())
            texto += s.Campo(QStringLiteral("ID_Grupo")).toString() +
                     s.Campo(QStringLiteral("Nome_Grupo")).toString() +
                     s.Campo(QStringLiteral("ID_Usuario")).toString() + QLatin1Char('|');
    return texto;
}
} // namespace

class tst_Grupos : public QObject {
    Q_OBJECT
    std::unique_ptr<AmbienteDeTeste> m_ambiente;

private slots:
    void init() {
        m_ambiente = std::make_unique<AmbienteDeTeste>();
        QVERIFY(m_ambiente->AbreBancoVazio());
    }
    void cleanup() { m_ambiente.reset(); }

    void diretorioVazio() {
        for (const ListaDeNomes& lista : {LeGrupos(), LeUsuarios(), LeMembros(1, LeUsuarios())})
            QVERIFY(lista.Vazia() && lista.erro.isEmpty());
    }

    void gravacao_data() {
        QTest::addColumn<bool>("alteraVendas");
        QTest::addColumn<QString>("nome");
        QTest::addColumn<int>("esperado");
        QTest::addColumn<QStringList>("grupos");
        const auto G = Gravacao::Gravado, R = Gravacao::NomeRepetido;
        QTest::newRow("novo") << false << "Compras" << int(G) << QStringList{"Compras", "Suporte", "Vendas"};
        QTest::newRow("novo, outra caixa") << false << "vENDAS" << int(R) << QStringList{"Suporte", "Vendas"};
        QTest::newRow("aspas e acentos")
            << false << "O'Neil \"ção\"" << int(G) << QStringList{"O'Neil \"ção\"", "Suporte", "Vendas"};
        QTest::newRow("acento ordena junto")
            << false << "Álvaro" << int(G) << QStringList{"Álvaro", "Suporte", "Vendas"};
        QTest::newRow("altera a caixa") << true << "VENDAS" << int(G) << QStringList{"Suporte", "VENDAS"};
        QTest::newRow("altera para outro") << true << "suporte" << int(R) << QStringList{"Suporte", "Vendas"};
    }
    void gravacao() {
        QFETCH(int, esperado);
        QFETCH(QStringList, grupos);
        QFETCH(bool, alteraVendas);
        QFETCH(QString, nome);
        const qint32 vendas = CadastraGrupo(QStringLiteral("Vendas"));
        QVERIFY(CadastraGrupo(QStringLiteral("Suporte")) > 0);
        const QString descricao = QStringLiteral("D'água \"já\"");
        Grupo grupo{alteraVendas ? vendas : 0, nome, descricao};
        QCOMPARE(int(GravaGrupo(grupo)), esperado);
        QCOMPARE(LeGrupos().nomes, grupos);
        Grupo lido;
        QCOMPARE(LeGrupo(grupo.id, lido), grupo.id != 0);
        if (esperado == int(Gravacao::Gravado))
            QCOMPARE(lido.nome + lido.descricao, nome + descricao);
    }

    void exclusaoMantemUsuarios() {
        const qint32 a = CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("1"));
        const qint32 b = CadastraUsuario(QStringLiteral("Bia"), QStringLiteral("2"));
        const qint32 g1 = CadastraGrupo(QStringLiteral("G1"), {a, b});
        const qint32 g2 = CadastraGrupo(QStringLiteral("G2"), {b});
        QVERIFY(ExcluiGrupo(g1));
        QCOMPARE(LeGrupos().ids, QVector<qint32>{g2});
        QCOMPARE(LeUsuarios().ids, (QVector<qint32>{a, b}));
        QCOMPARE(LeMembros(g2, LeUsuarios()).ids, QVector<qint32>{b});
        QCOMPARE(
            Snapshot(QStringLiteral("Select * From Usuario_Grupo Where ID_Grupo = ?"), {g1}).RecordCount(),
            0);
    }

    void membros_data() {
        QTest::addColumn<QStringList>("usuarios");
        QTest::addColumn<QString>("acao"); // "+k": add the k-th user; "-name": remove a name; "+0": nobody
        QTest::addColumn<int>("adicao");
        QTest::addColumn<QStringList>("membros");
        const int A = int(Adicao::Adicionado), J = int(Adicao::JaEraMembro), X = int(Adicao::Recusada);
        // Users named with '*' start as members.
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
        QFETCH(QStringList, membros);
        QFETCH(QStringList, usuarios);
        QFETCH(QString, acao);
        QFETCH(int, adicao);
        QVector<qint32> ids, iniciais;
        for (const QString& nome : usuarios) {
            ids << CadastraUsuario(QString(nome).remove(QLatin1Char('*')), nome);
            if (nome.endsWith(QLatin1Char('*')))
                iniciais << ids.last();
        }
        // Members stored in reverse, so the order shown cannot come from the rows.
        std::reverse(iniciais.begin(), iniciais.end());
        const qint32 grupo = CadastraGrupo(QStringLiteral("Plantão"), iniciais);
        if (acao.startsWith(QLatin1Char('+')))
            QCOMPARE(int(AdicionaMembro(ids.value(acao.mid(1).toInt() - 1, 999), grupo)), adicao);
        else if (acao.startsWith(QLatin1Char('-')))
            QVERIFY(RemoveMembro(acao.mid(1), grupo));
        QCOMPARE(LeMembros(grupo, LeUsuarios()).nomes, membros);
        QCOMPARE(Snapshot(QStringLiteral("Select * From Usuario_Grupo")).RecordCount(),
                 LeMembros(grupo, LeUsuarios()).ids.size());
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
        QFETCH(int, operacao);
        const qint32 ana = CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("1"));
        const qint32 bia = CadastraUsuario(QStringLiteral("Bia"), QStringLiteral("2"));
        const qint32 grupo = CadastraGrupo(QStringLiteral("Vendas"), {ana});
        QVERIFY(
            Executa(QStringLiteral("Create Trigger Falha %1 Begin Select Raise(Abort, 'disco cheio'); End")
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
        QVERIFY(operacoes[operacao]());
        QVERIFY(erro.contains(QStringLiteral("disco cheio")));
        QCOMPARE(Retrato(), antes);
    }
};

QTEST_GUILESS_MAIN(tst_Grupos)
#include "tst_Grupos.moc"
