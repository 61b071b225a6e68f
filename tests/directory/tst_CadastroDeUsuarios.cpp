// Saving, altering, reading and deleting users with their memberships, on a temporary database.
#include "AmbienteDeTeste.h"
#include "CadastroDeTeste.h"
#include "OperadorGravado.h"
#include "directory/CadastroDeUsuarios.h"
#include "directory/VisualizacaoDeUsuarios.h"
#include "directory/frmCadastraUsuarios.h"
#include "store/Consultas.h"
#include "store/Snapshot.h"

#include <QListWidget>
#include <QtTest>

namespace {
// Every user as "name|pager|description|date|groups", in identifier order, and the Log count.
QString Cadastro() {
    QStringList linhas;
    for (Snapshot u(
             "Select u.*, (Select group_concat(Nome_Grupo) From (Select Nome_Grupo From Usuario_Grupo m "
             "Join Grupos g On g.ID_Grupo = m.ID_Grupo Where m.ID_Usuario = u.ID_Usuario Order By "
             "Nome_Grupo)) As G From Usuarios u Order By ID_Usuario");
         !u.Eof(); u.MoveNext()) {
        QStringList campos;
        for (const char* c : {"Nome_Usuario", "ID_Pager", "Descricao", "Data_Cadastro", "G"})
            campos << u.Campo(QLatin1String(c)).toString();
        linhas << campos.join(QLatin1Char('|'));
    }
    return linhas.join(QLatin1Char(';')) +
           " log=" + Snapshot("Select Count(*) As N From Log").Campo("N").toString();
}
} // namespace

class tst_CadastroDeUsuarios : public QObject {
    Q_OBJECT
    std::unique_ptr<AmbienteDeTeste> m_ambiente;
    qint32 m_ana = 0;
    QHash<QString, qint32> m_grupos;

private slots:
    void init() {
        m_ambiente = std::make_unique<AmbienteDeTeste>();
        QVERIFY(m_ambiente->AbreBancoVazio());
        m_ana = CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("100"));
        CadastraUsuario(QStringLiteral("Bruno"), QStringLiteral("200"));
        for (const QString& g : {"Gama", "Alfa", "Beta", "Quebra"})
            m_grupos[g] =
                CadastraGrupo(g, g == "Gama" || g == "Alfa" ? QVector<qint32>{m_ana} : QVector<qint32>{});
        // A membership the store refuses, to see the whole save undone.
        QVERIFY(Executa(
            QStringLiteral("Create Trigger Falha Before Insert On Usuario_Grupo When New.ID_Grupo = %1 "
                           "Begin Select Raise(Abort, 'recusado'); End")
                .arg(m_grupos[QStringLiteral("Quebra")])));
        QVERIFY(GravaLog("20261206", "10:00", "Ana", "oi", "100", m_ana));
    }
    void cleanup() { m_ambiente.reset(); }

    void GravaUsuario_data() {
        QTest::addColumn<bool>("alterar");
        QTest::addColumn<QString>("campos"); // pager|name|description
        QTest::addColumn<QStringList>("marcas");
        QTest::addColumn<QString>("caixa");
        QTest::addColumn<QString>("depois"); // empty: as before
        const QString ana = "Ana|100|teste|01/01/2024|Alfa,Gama;", bruno = "Bruno|200|teste|01/01/2024|";
        const QString recusa =
            "Advertência: Desculpe, mas para criar um novo usuário você deve informar o seu "
            "respectivo ";
        QTest::newRow("sem pager") << false << "|Carla|" << QStringList() << recusa + "código do pager."
                                   << "";
        QTest::newRow("sem nome") << true << "300||x" << QStringList() << recusa + "nome."
                                  << "";
        QTest::newRow("pager repetido")
            << false << "200|Carla|x" << QStringList{"Beta"}
            << "Erro: Desculpe, mas você não deve possuir dois usuários que utilizem o mesmo código de pager."
            << "";
        QTest::newRow("novo com aspas, acentos e padrão")
            << false << " 300 |D'Ávila \"Zé\"|" << QStringList{"Beta", "Alfa"} << ""
            << ana + bruno +
                   ";D'Ávila \"Zé\"| 300 |Não há descrição para este usuário.|06/12/2026|Alfa,Beta log=1";
        QTest::newRow("mesmo nome de outro") << false << "300|Ana|x" << QStringList{"Beta"} << ""
                                             << ana + bruno + ";Ana|300|x|06/12/2026|Beta log=1";
        QTest::newRow("alterar mantém a data e regrava grupos")
            << true << "200|Ana Maria|y" << QStringList{"Beta"} << ""
            << "Ana Maria|200|y|01/01/2024|Beta;" + bruno + " log=1";
        QTest::newRow("membro recusado desfaz tudo") << true << "999|Outra|z" << QStringList{"Beta", "Quebra"}
                                                     << "Erro: Não foi possível gravar o usuário no arquivo "
                                                        "de dados (Pager.Mdb). Nada foi alterado no "
                                                        "cadastro.\n\n(recusado Unable to fetch row)"
                                                     << "";
    }
    void GravaUsuario() {
        QFETCH(bool, alterar);
        QFETCH(QString, campos);
        QFETCH(QStringList, marcas);
        QFETCH(QString, caixa);
        QFETCH(QString, depois);
        const QString antes = Cadastro();
        QVector<qint32> grupos;
        for (const QString& g : marcas)
            grupos << m_grupos[g];
        OperadorGravado operador;
        const QStringList c = campos.split(QLatin1Char('|'));
        const DadosDoUsuario dados{c[0], c[1], c[2]};
        const qint32 id =
            ConfereCamposDoUsuario(operador, dados)
                ? ::GravaUsuario(operador, alterar ? m_ana : 0, dados, grupos, QDate(2026, 12, 6))
                : 0;
        QCOMPARE(operador.caixas.isEmpty() ? QString()
                                           : operador.caixas[0].titulo + " " + operador.caixas[0].texto,
                 caixa);
        QCOMPARE(id == 0, !caixa.isEmpty());
        QCOMPARE(Cadastro(), depois.isEmpty() ? antes : depois);
    }

    void DetalhesEExclusao_data() {
        QTest::addColumn<bool>("ana");
        QTest::addColumn<bool>("excluir");
        QTest::addColumn<QString>("detalhes");
        QTest::newRow("sem grupo")
            << false << false
            << "Código do Pager: 200\r\nData de Cadastro: 01/01/2024\r\nGrupos: Não pertence a "
               "nenhum grupo.\r\nDescrição: teste";
        QTest::newRow("dois grupos") << true << false
                                     << "Código do Pager: 100\r\nData de Cadastro: 01/01/2024\r\nGrupos: "
                                        "Pertence a 2 grupo(s).\r\nDescrição: teste";
        QTest::newRow("excluída") << true << true
                                  << "Este usuário não está mais no cadastro; ele pode ter sido excluído.";
    }
    void DetalhesEExclusao() {
        QFETCH(bool, ana);
        QFETCH(bool, excluir);
        const qint32 id = ana ? m_ana : m_ana + 1;
        OperadorGravado operador;
        QVERIFY(!excluir || ExcluiUsuario(operador, id));
        QTEST(DetalhesDoUsuario(id), "detalhes");
        QCOMPARE(Snapshot("Select * From Usuario_Grupo Where ID_Usuario = ?", {id}).RecordCount(),
                 ana && !excluir ? 2 : 0);
        QVERIFY(Cadastro().endsWith(" log=1"));
    }

    // The dialog altering Ana: every group in name order, hers marked, the first one current,
    // identifiers kept beside the text.
    void DialogoMarcaOsGruposDoUsuario() {
        OperadorGravado operador;
        Executa("Update Grupos Set ID_Grupo = 123456 Where Nome_Grupo = 'Gama'");
        Executa("Update Usuario_Grupo Set ID_Grupo = 123456 Where ID_Grupo = ?", {m_grupos["Gama"]});
        frmCadastraUsuarios dialogo(operador);
        QVERIFY(dialogo.PreencheParaAlterar(m_ana));
        dialogo.show();
        auto* lista = dialogo.findChild<QListWidget*>("lstGrupos");
        QStringList itens;
        for (int i = 0; i < lista->count(); ++i)
            itens << lista->item(i)->text() + (lista->item(i)->checkState() == Qt::Checked ? "*" : "");
        QCOMPARE(itens.join(';'), QString("%1 - Alfa*;0000%2 - Beta;123456 - Gama*;0000%3 - Quebra")
                                      .arg(m_grupos["Alfa"], 5, 10, QChar('0'))
                                      .arg(m_grupos["Beta"])
                                      .arg(m_grupos["Quebra"]));
        QCOMPARE(lista->currentRow(), 0);
        dialogo.cmdCadastrarGrupo_Click();
        QCOMPARE(Cadastro().section(';', 0, 0), "Ana|100|teste|01/01/2024|Alfa,Gama");
    }
};

QTEST_MAIN(tst_CadastroDeUsuarios)
#include "tst_CadastroDeUsuarios.moc"
