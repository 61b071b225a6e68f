// The directory on a temporary database: groups with unique names as the store compares them,
// memberships (deleted with their group or user), users saved and altered whole or not at all,
// and the windows where that behaviour lives.
#include "BancadaVirtual.h"
#include "CadastroDeTeste.h"
#include "EnvioDeTeste.h"
#include "FalhaPlantada.h"

#include "common/Modulo.h"
#include "compose/frmMontaMsg.h"
#include "directory/CadastroDeGrupos.h"
#include "directory/CadastroDeUsuarios.h"
#include "directory/MembrosDoGrupo.h"
#include "directory/VisualizacaoDeUsuarios.h"
#include "directory/frmCadastraGrupo.h"
#include "directory/frmCadastraGrupos.h"
#include "directory/frmCadastraUsuarios.h"
#include "directory/frmUsuariosGrupo.h"
#include "directory/frmVisualizaUsuarios.h"
#include "store/BancoDeDados.h"
#include "store/Consultas.h"
#include "store/SQLiteNativo.h"
#include "store/Snapshot.h"
#include <QSqlQuery>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <functional>
#include <sqlite3.h>

namespace {
template <class T = QWidget> T* Filho(const QWidget& janela, const char* nome) {
    return janela.findChild<T*>(QLatin1String(nome));
}
void Clica(const QWidget& janela, const char* nome) {
    Filho<QAbstractButton>(janela, nome)->click();
}
QString Titulos(const OperadorGravado& operador) {
    QStringList titulos;
    for (const auto& caixa : operador.caixas)
        titulos << caixa.titulo;
    return titulos.join(QLatin1Char(','));
}
QString Juntas(const QString& sql) {
    return Coluna(sql).join(QLatin1Char(';'));
}
// Every group and membership, to show that a failed change left nothing behind.
QString Retrato() {
    return Juntas("Select ID_Grupo || Nome_Grupo As L From Grupos Order By ID_Grupo") + "/" +
           Juntas("Select ID_Usuario || '-' || ID_Grupo As L From Usuario_Grupo Order By 1");
}
// Every user as "name|pager|description|date|groups", in identifier order, and the Log count.
QString Cadastro() {
    return Juntas(
               "Select Nome_Usuario || '|' || ID_Pager || '|' || Descricao || '|' || Data_Cadastro || '|' || "
               "Coalesce((Select " +
               QString(TesteNoPostgreSQL() ? "string_agg(Nome_Grupo, ',')" : "group_concat(Nome_Grupo)") +
               " From (Select Nome_Grupo From Usuario_Grupo m Join Grupos g On g.ID_Grupo = m.ID_Grupo Where "
               "m.ID_Usuario = u.ID_Usuario Order By Nome_Grupo) x), '') As L From Usuarios u Order By "
               "ID_Usuario") +
           " log=" + Juntas("Select Count(*) As L From Log");
}
QString Itens(const QAbstractItemModel* modelo) {
    QStringList itens;
    for (int i = 0; i < modelo->rowCount(); ++i)
        itens << modelo->index(i, 0).data().toString();
    return itens.join(QLatin1Char(';'));
}
// When the entry dialog opens: its name box as the caller filled it, then the new name saved.
QString RenomeiaNoDialogo(QWidget& janela, const char* botao, const QString& novoNome) {
    QString visto = QStringLiteral("nenhum diálogo");
    QTimer::singleShot(0, [&] {
        QWidget* dialogo = QApplication::activeModalWidget();
        if (!dialogo || dialogo->objectName() != QLatin1String("frmCadastraUsuarios"))
            return;
        visto = Filho<QLineEdit>(*dialogo, "txtNomeUsuario")->text();
        Filho<QLineEdit>(*dialogo, "txtNomeUsuario")->setText(novoNome);
        Filho<QLineEdit>(*dialogo, "txtPagerID")->setText(novoNome + "-p");
        QTest::mouseClick(Filho<QToolButton>(*dialogo, "cmdCadastrarGrupo"), Qt::LeftButton);
    });
    QTest::mouseClick(Filho<QToolButton>(janela, botao), Qt::LeftButton);
    return visto;
}

} // namespace

class tst_Cadastro : public QObject {
    Q_OBJECT
    std::unique_ptr<BancadaVirtual> m_bancada;
    qint32 m_ana = 0;
    QHash<QString, qint32> m_grupos;
    std::optional<FalhaPlantada> m_falha;

    OperadorGravado& Operador() { return m_bancada->operador; }
    // Ana (100) in Alfa and Gama, Bruno (b200), groups Beta and Quebra (whose memberships the
    // store refuses, to see a whole save undone), and one Log row.
    void CadastraAnaEBruno() {
        m_ana = CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("100"));
        CadastraUsuario(QStringLiteral("Bruno"), QStringLiteral("b200"));
        for (const QString g : {"Gama", "Alfa", "Beta", "Quebra"})
            m_grupos[g] =
                CadastraGrupo(g, g == "Gama" || g == "Alfa" ? QVector<qint32>{m_ana} : QVector<qint32>{});
        m_falha.emplace(QStringLiteral("Before Insert On Usuario_Grupo"), QStringLiteral("recusado"),
                        QStringLiteral("New.ID_Grupo = %1").arg(m_grupos[QStringLiteral("Quebra")]));
        QVERIFY(m_falha->Plantada());
        QVERIFY(GravaLog("20261206", "10:00", "Ana", "oi", "100", m_ana));
    }

private slots:
    void init() { m_bancada = std::make_unique<BancadaVirtual>(true); }
    void cleanup() {
        m_falha.reset();
        m_bancada.reset();
    }

    // This desk reads, another desk changes the same entry, this desk saves: the other desk's
    // change is never overwritten unseen, nothing is recreated or left dangling, no name repeats,
    // the operator is told and sees the entry as it is; a send pages each member as read once.
    void duasMesas_data() {
        // this desk (u: alters Ana, b: and marks Beta, n: new user, g: new group, a: alters Alfa, e: sends
        // to Gama)|the other desk's SQL (t: in a transaction, committed when this desk waits on it; o:
        // never committed)|this desk's message has|its window afterwards (or the pagers paged)|every
        // user's pager:groups, the groups, stray memberships
        // user's pager:groups, the groups (=: Gama,Alfa,Beta,Quebra), stray memberships
        QTest::addColumn<QString>("caso");
        const QString d = "Delete From Usuario_Grupo Where ID_%1; Delete From %2 Where ID_%1";
        QTest::newRow("usuário alterado") << "u|Update Usuarios Set ID_Pager = 5 Where ID_Usuario = "
                                             "1|usuário foi alterado|5 Ana teste Alfa Gama|5:1,2;b200: = 0";
        QTest::newRow("grupos do usuário") << "u|Insert Into Usuario_Grupo Values (1, 3)|usuário foi "
                                              "alterado|100 Ana teste Alfa Beta Gama|100:1,2,3;b200: = 0";
        QTest::newRow("usuário excluído")
            << "u|" + d.arg("Usuario = 1", "Usuarios") + "|usuário foi excluído||b200: = 0";
        QTest::newRow("grupo marcado excluído")
            << "b|Delete From Grupos Where ID_Grupo = 3|grupos marcados|100 Ana teste Alfa "
               "Gama|100:1,2;b200: Gama,Alfa,Quebra 0";
        QTest::newRow("pager gravado antes") << "n|tInsert Into Usuarios Values (9, 'C', ' 300', '', "
                                                "'')|dois usuários|300 Carla x|100:1,2;b200:; 300: = 0";
        QTest::newRow("nome gravado antes") << "g|tInsert Into Grupos Values (9, 'PLANTÃO', '')|dois "
                                               "grupos|plantão x|100:1,2;b200: =,PLANTÃO 0";
        QTest::newRow("grupo alterado")
            << "a|Update Grupos Set Descricao_Grupo = 'y'|grupo foi alterado|Alfa y|100:1,2;b200: = 0";
        QTest::newRow("grupo excluído")
            << "a|" + d.arg("Grupo = 2", "Grupos") + "|grupo foi excluído||100:1;b200: Gama,Beta,Quebra 0";
        QTest::newRow("arquivo ocupado")
            << "u|oSelect 1|usuário agora: outra mesa|100 Ana x Alfa Gama|100:1,2;b200: = 0";
        // Ana twice in Gama (stored so before pairs were checked); the other desk deletes Bruno and
        // moves Ana's pager while her page goes out.
        QTest::newRow("envio ao grupo") << "e|" + d.arg("Usuario = 2", "Usuarios") +
                                               "; Update Usuarios Set ID_Pager = 5||100 b200|5:1,2,1 = 0";
    }
    void duasMesas() {
        const QStringList c = CamposDoCaso();
        CadastraAnaEBruno();
        // The other desk: its own connection to the file, through the stock SQLite library. Its open
        // transaction ("t") is committed when this desk waits on the lock it holds.
        // On a server, its own connection; the rows about waiting for a lock are the file's.
        static sqlite3* outra = nullptr;
        QSqlDatabase mesa;
        if (TesteNoPostgreSQL()) {
            if (c[1][0].isLower())
                QSKIP("espera pela trava do arquivo");
            mesa = OutraMesa(QTest::currentDataTag());
        } else {
            QCOMPARE(sqlite3_open(qPrintable(m_bancada->ambiente.Diretorio() + "/Pager.Mdb"), &outra),
                     SQLITE_OK);
            sqlite3_busy_handler(
                HandleNativo(BancoDeDados()),
                [](void* t, int) { return int(t && !sqlite3_exec(outra, "COMMIT", 0, 0, 0)); },
                c[1].startsWith('t') ? outra : nullptr);
        }
        const auto executa = [&mesa](const QString& sql) {
            if (!mesa.isValid())
                return !sqlite3_exec(outra, qPrintable(sql), 0, 0, 0);
            for (const QString& comando : sql.split(';'))
                if (!QSqlQuery(mesa).exec(comando))
                    return false;
            return true;
        };
        const auto age = [&] {
            QVERIFY((c[1][0].isUpper() || executa("BEGIN IMMEDIATE")) &&
                    executa(c[1].mid(c[1][0].isLower())));
        };
        QStringList mostra;
        if (c[0] == "e") {
            QVERIFY(Executa("Insert Into Usuario_Grupo Values (1, 1), (2, 1)"));
            m_bancada->Roteiro({"@0.5|ID=", "\x02|\x06\r|0.5"});
            m_bancada->modem.TerminalQueAceitaLogOn();
            m_bancada->modem.aoEscrever = [&, agiu = false](const QByteArray& b) mutable {
                if (b.startsWith('\x02') && !std::exchange(agiu, true))
                    age();
            };
            PedidoDeTeste pedido;
            pedido.porUsuario = false;
            PainelDeTeste painel;
            Modulo::CodigosDaLista[1] = m_grupos["Gama"];
            QVERIFY(EnviarGrupo(m_bancada->ctx, pedido, painel));
            for (const QByteArray& bloco : m_bancada->modem.linha.split('\x02').mid(1))
                mostra << bloco.left(bloco.indexOf('\r'));
        } else {
            // The user dialog on Ana or a new one (300, Carla), the group dialog on Alfa or a new one
            // (plantão); this desk types the description "x".
            const bool deGrupo = c[0] == "g" || c[0] == "a";
            std::unique_ptr<QDialog> dialogo;
            Grupo alfa;
            if (deGrupo && (dialogo = std::make_unique<frmCadastraGrupos>(Operador())) &&
                LeGrupo(c[0] == "a" ? 2 : 0, alfa))
                static_cast<frmCadastraGrupos&>(*dialogo).PreencheParaAlterar(alfa);
            if (!deGrupo && (dialogo = std::make_unique<frmCadastraUsuarios>(Operador())) && c[0] != "n")
                QVERIFY(static_cast<frmCadastraUsuarios&>(*dialogo).PreencheParaAlterar(m_ana));
            dialogo->show();
            const QStringList novo = c[0] == "n" ? QStringList{"300", "Carla"} : QStringList{"plantão"};
            for (int i = 0; i < novo.size() && (c[0] == "n" || c[0] == "g"); ++i)
                dialogo->findChildren<QLineEdit*>()[i]->setText(novo[i]);
            dialogo->findChild<QPlainTextEdit*>()->setPlainText("x");
            QAbstractItemModel* grupos = deGrupo ? nullptr : dialogo->findChild<QListView*>()->model();
            QVERIFY(c[0] != "b" || grupos->setData(grupos->index(1, 0), Qt::Checked, Qt::CheckStateRole));
            age();
            Clica(*dialogo, "cmdCadastrarGrupo");
            for (const QLineEdit* caixa : dialogo->findChildren<QLineEdit*>())
                mostra << caixa->text();
            mostra << dialogo->findChild<QPlainTextEdit*>()->toPlainText();
            for (int i = 0; grupos && i < grupos->rowCount(); ++i)
                if (grupos->index(i, 0).data(Qt::CheckStateRole) == Qt::Checked)
                    mostra << grupos->index(i, 0).data().toString().section(" - ", 1);
            if (!dialogo->isVisible())
                mostra.clear();
        }
        sqlite3_close(outra);
        const auto& caixas = Operador().caixas;
        QCOMPARE(caixas.size(), int(!c[2].isEmpty()));
        QVERIFY2(c[2].isEmpty() || caixas[0].texto.contains(c[2]), qPrintable(caixas.value(0).texto));
        QCOMPARE(mostra.join(' '), c[3]);
        QCOMPARE(
            Juntas("Select ID_Pager || ':' || Coalesce((Select " + JuntaSQL("ID_Grupo", "','") +
                   " From Usuario_Grupo m Where m.ID_Usuario = u.ID_Usuario), '') As L From Usuarios u "
                   "Order By ID_Usuario") +
                " " + Coluna("Select Nome_Grupo As L From Grupos").join(',') + " " +
                Juntas("Select Count(*) As L From Usuario_Grupo Where ID_Usuario Not In (Select ID_Usuario "
                       "From Usuarios) Or ID_Grupo Not In (Select ID_Grupo From Grupos)"),
            QString(c[4]).replace("=", "Gama,Alfa,Beta,Quebra"));
    }

    // Deleting a group takes its memberships along, and only when the operator says so.
    void excluiGrupo() {
        const qint32 ana = CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("1"));
        CadastraGrupo(QStringLiteral("Suporte"), {ana});
        CadastraGrupo(QStringLiteral("Compras"), {ana});
        frmCadastraGrupo janela(Operador());
        Operador().respostas = {Resposta::Nao, Resposta::Sim};
        Clica(janela, "cmdExcluirGrupo");
        QCOMPARE(Retrato(), "1Suporte;2Compras/1-1;1-2");
        Clica(janela, "cmdExcluirGrupo");
        QCOMPARE(Operador().status.join(';'), " Excluindo Grupo de Usuários...; Pronto");
        QCOMPARE(Filho<QComboBox>(janela, "cmbGrupos")->currentText(), "Suporte");
        QCOMPARE(Retrato(), "1Suporte/1-1");
    }

    void membros_data() {
        QTest::addColumn<QString>("caso"); // users ('*': a member from the start)|"+k": add the k-th user,
                                           // "-name": remove a name|result of the addition|members
        QTest::newRow("adiciona") << "Carlos,ana*|+1|0|ana;Carlos";
        QTest::newRow("já membro") << "Carlos*|+1|1|Carlos";
        QTest::newRow("usuário inexistente") << "Carlos|+9|2|";
        QTest::newRow("ordem do nome") << "Zé*,beatriz*,Álvaro*||0|Álvaro;beatriz;Zé";
        QTest::newRow("remove xarás") << "Ana*,Bruno*,Ana*|-Ana|0|Bruno";
    }
    void membros() {
        const QStringList c = CamposDoCaso();
        QVector<qint32> ids, iniciais;
        for (const QString& nome : c[0].split(QLatin1Char(','))) {
            ids << CadastraUsuario(QString(nome).remove(QLatin1Char('*')), nome);
            if (nome.endsWith(QLatin1Char('*')))
                iniciais.prepend(ids.last()); // stored in reverse: the order shown is not the rows'
        }
        const qint32 grupo = CadastraGrupo(QStringLiteral("Plantão"), iniciais);
        const Adicao resultados[] = {Adicao::Adicionado, Adicao::JaEraMembro, Adicao::UsuarioAusente};
        if (c[1].startsWith(QLatin1Char('+')))
            QCOMPARE(AdicionaMembro(ids.value(c[1].mid(1).toInt() - 1, 999), grupo),
                     resultados[c[2].toInt()]);
        else if (c[1].startsWith(QLatin1Char('-')))
            QVERIFY(RemoveMembro(c[1].mid(1), grupo));
        QCOMPARE(LeMembros(grupo, LeUsuarios()).nomes.join(';'), c[3]);
        QCOMPARE(AdicionaMembro(ids.first(), grupo + 1), Adicao::GrupoAusente);
    }

    // A change the store refuses halfway leaves nothing behind.
    void falhaDesfazTudo() {
        const qint32 ana = CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("1"));
        const qint32 bia = CadastraUsuario(QStringLiteral("Bia"), QStringLiteral("2"));
        const qint32 grupo = CadastraGrupo(QStringLiteral("Vendas"), {ana});
        const QString antes = Retrato();
        Grupo novo{0, QStringLiteral("Compras"), QStringLiteral("x")},
            alterado{grupo, QStringLiteral("V"), {}}, lido;
        QVERIFY(LeGrupo(grupo, lido));
        QString erro;
        const std::pair<const char*, std::function<bool()>> casos[] = {
            {"Before Delete On Grupos", [&] { return !ExcluiGrupo(grupo, &erro); }},
            {"After Insert On Grupos", [&] { return GravaGrupo(novo, {}, &erro) == Gravacao::Falhou; }},
            {"After Update On Grupos", [&] { return GravaGrupo(alterado, lido, &erro) == Gravacao::Falhou; }},
            {"After Insert On Usuario_Grupo",
             [&] { return AdicionaMembro(bia, grupo, &erro) == Adicao::Falhou; }}};
        for (const auto& [gatilho, falha] : casos) {
            FalhaPlantada plantada(QLatin1String(gatilho), QStringLiteral("disco cheio"));
            QVERIFY(plantada.Plantada());
            erro.clear();
            QVERIFY2(falha() && erro.contains(QStringLiteral("disco cheio")), gatilho);
            QCOMPARE(Retrato(), antes);
        }
    }

    // Names unique as the store compares them (a group may change its own name's case), quotes
    // kept, and a question only when something typed would be lost.
    void dialogoDoGrupo_data() {
        // alters Vendas?|name|description|button|boxes shown|groups afterwards (empty: still open)
        QTest::addColumn<QString>("caso");
        QTest::newRow("sem nome") << "|||ok|Advertência:|";
        QTest::newRow("sem descrição") << "|Compras||ok||Compras;Suporte;Vendas";
        QTest::newRow("aspas") << "|O'Neil \"ção\"|D'água \"já\"|ok||O'Neil \"ção\";Suporte;Vendas";
        QTest::newRow("repetido noutra caixa") << "|vENDAS|y|ok|Erro:|";
        QTest::newRow("altera a caixa") << "a|VENDAS|z|ok||Suporte;VENDAS";
        QTest::newRow("altera para outro") << "a|suporte|z|ok|Erro:|";
        QTest::newRow("cancela novo, não") << "|C||volta|Atenção:|";
        QTest::newRow("cancela só descrição") << "||y|volta||Suporte;Vendas";
    }
    void dialogoDoGrupo() {
        const QStringList c = CamposDoCaso();
        Grupo vendas;
        QVERIFY(LeGrupo(CadastraGrupo(QStringLiteral("Vendas")), vendas));
        CadastraGrupo(QStringLiteral("Suporte"));
        frmCadastraGrupos dialogo(Operador());
        if (!c[0].isEmpty())
            dialogo.PreencheParaAlterar(vendas);
        Filho<QLineEdit>(dialogo, "txtNomeGrupo")->setText(c[1]);
        Filho<QPlainTextEdit>(dialogo, "txtDescricaoGrupo")->setPlainText(c[2]);
        dialogo.show();
        Clica(dialogo, c[3] == QLatin1String("ok") ? "cmdCadastrarGrupo" : "cmdRetornar");
        QCOMPARE(dialogo.isVisible(), c[5].isEmpty());
        QCOMPARE(Titulos(Operador()), c[4]);
        QCOMPARE(LeGrupos().nomes.join(';'), c[5].isEmpty() ? QStringLiteral("Suporte;Vendas") : c[5]);
        if (c[3] == QLatin1String("ok") && !c[5].isEmpty())
            QCOMPARE(Snapshot("Select * From Grupos Where Nome_Grupo = ?", {c[1]}).Campo("Descricao_Grupo"),
                     c[2].isEmpty() ? QStringLiteral("Não há descrição para este grupo.") : c[2]);
    }

    // The windows on an empty directory, then a group built in them: the third user twice is
    // added once, the list in name order.
    void janelasDosGrupos() {
        frmCadastraGrupo cadastro(Operador());
        Clica(cadastro, "cmdAlterarGrupo");
        Clica(cadastro, "cmdExcluirGrupo");
        cadastro.mostraCadastro = [](frmCadastraGrupos& dialogo) {
            Filho<QLineEdit>(dialogo, "txtNomeGrupo")->setText(QStringLiteral("Plantão d'Água"));
            Clica(dialogo, "cmdCadastrarGrupo");
        };
        Clica(cadastro, "cmdCadastrarGrupo");
        for (const char* pager : {"3003", "1001", "2002"})
            CadastraUsuario(QStringLiteral("Usuário %1").arg(QLatin1String(pager)), QLatin1String(pager));
        frmUsuariosGrupo membros(Operador());
        for (int indice : {2, 0, 2}) {
            Filho<QComboBox>(membros, "cmbUsuarios")->setCurrentIndex(indice);
            Clica(membros, "cmdAdicionar");
        }
        const QString mostrados = Itens(Filho<QListView>(membros, "lstUsuarios")->model());
        QCOMPARE(mostrados, "Usuário 1001;Usuário 3003");
        QCOMPARE(LeMembros(LeGrupos().ids.value(0), LeUsuarios()).nomes.join(';'), mostrados);
        QCOMPARE(Titulos(Operador()), "Erro:,Erro:,Advertência:");
    }

    void gravaUsuario_data() {
        QTest::addColumn<QString>("caso"); // altera Ana?|pager|name|description|groups marked|box|afterwards
        const QString recusa =
            "|Advertência: Desculpe, mas para criar um novo usuário você deve informar o seu "
            "respectivo ";
        const QString ana = "|Ana|100|teste|01/01/2024|Alfa,Gama;", bruno = "Bruno|b200|teste|01/01/2024|";
        QTest::newRow("sem pager") << "||Carla||" + recusa + "código do pager.|";
        QTest::newRow("sem nome") << "a|300||x|" + recusa + "nome.|";
        // The same pager to a terminal: blanks around a code are not sent, capitals are not told apart.
        QTest::newRow("pager repetido")
            << "| B200 |Carla|x|Beta|Erro: Desculpe, mas você não deve possuir dois "
               "usuários que utilizem o mesmo código de pager.|";
        QTest::newRow("novo com aspas, acentos e padrão")
            << "| 300 |D'Ávila \"Zé\"||Beta,Alfa|" + ana + bruno +
                   ";D'Ávila \"Zé\"| 300 |Não há descrição para este usuário.|06/12/2026|Alfa,Beta log=1";
        QTest::newRow("mesmo nome de outro")
            << "|300|Ana|x|Beta|" + ana + bruno + ";Ana|300|x|06/12/2026|Beta log=1";
        QTest::newRow("alterar mantém a data e regrava grupos")
            << "a|b200|Ana Maria|y|Beta||Ana Maria|b200|y|01/01/2024|Beta;" + bruno + " log=1";
        QTest::newRow("membro recusado desfaz tudo")
            << "a|999|Outra|z|Beta,Quebra|Erro: Não foi possível gravar o usuário @. Nada foi alterado no "
               "cadastro.\n\n(*recusado*)|";
    }
    void gravaUsuario() {
        const QStringList c = CamposDoCaso();
        CadastraAnaEBruno();
        const QString antes = Cadastro();
        QVector<qint32> grupos;
        for (const QString& g : c[4].split(QLatin1Char(','), Qt::SkipEmptyParts))
            grupos << m_grupos[g];
        const DadosDoUsuario dados{c[1], c[2], c[3]};
        UsuarioLido lido{LeUsuario(c[0].isEmpty() ? 0 : m_ana).value_or(UsuarioCadastrado{}),
                         QVector<qint32>{m_grupos["Alfa"], m_grupos["Gama"]}};
        const qint32 id = ConfereCamposDoUsuario(Operador(), dados)
                              ? GravaUsuario(Operador(), lido, dados, grupos, QDate(2026, 12, 6))
                              : 0;
        const auto& caixas = Operador().caixas;
        // The store's own words end the message: the engine's, after the reason; @ is where the
        // data are (a server is no file).
        const QString caixa = caixas.isEmpty() ? QString() : caixas[0].titulo + " " + caixas[0].texto;
        const QString onde =
            TesteNoPostgreSQL() ? "no servidor PostgreSQL 127.0.0.1:*" : "no arquivo de dados (Pager.Mdb)";
        QVERIFY2(QRegularExpression(
                     QRegularExpression::wildcardToRegularExpression(
                         QString(c[5]).replace('@', onde), QRegularExpression::UnanchoredWildcardConversion))
                     .match(caixa)
                     .hasMatch(),
                 qPrintable(caixa));
        QCOMPARE(id == 0, !c[5].isEmpty());
        QCOMPARE(Cadastro(), c.size() > 7 ? c.mid(6).join('|') : antes);
    }

    // When the dialog cannot read the groups, saving leaves the user's memberships as they were.
    void gruposIlegiveis_data() {
        QTest::addColumn<QString>("caso"); // alters Ana?|name typed|Ana afterwards
        QTest::newRow("alterar mantém os grupos") << "a|Ana Maria|Ana Maria|300|teste|01/01/2024|Alfa,Gama";
        QTest::newRow("novo fica sem grupos") << "|Carla|Ana|100|teste|01/01/2024|Alfa,Gama";
    }
    void gruposIlegiveis() {
        const QStringList c = CamposDoCaso();
        CadastraAnaEBruno();
        QVERIFY(Executa("Alter Table Grupos_Chave Rename To G"));
        frmCadastraUsuarios dialogo(Operador());
        QVERIFY(c[0].isEmpty() || dialogo.PreencheParaAlterar(m_ana));
        dialogo.show();
        QVERIFY(Operador().caixas.value(0).texto.contains("ficarão como estão"));
        Filho<QLineEdit>(dialogo, "txtNomeUsuario")->setText(c[1]);
        Filho<QLineEdit>(dialogo, "txtPagerID")->setText("300");
        Clica(dialogo, "cmdCadastrarGrupo");
        QVERIFY(!dialogo.isVisible() && Executa("Alter Table G Rename To Grupos_Chave"));
        QCOMPARE(Cadastro().section(';', 0, 0), c.mid(2).join('|'));
        QVERIFY(Cadastro().contains(c[1] + "|300|") && Cadastro().endsWith("| log=1"));
    }

    void detalhesEExclusao_data() {
        QTest::addColumn<QString>("caso"); // Ana (a) or Bruno, deleted (x) first?|details shown
        const QString d =
            "Código do Pager: %1\r\nData de Cadastro: 01/01/2024\r\nGrupos: %2\r\nDescrição: teste";
        QTest::newRow("sem grupo") << "|" + d.arg("b200", "Não pertence a nenhum grupo.");
        QTest::newRow("dois grupos") << "a|" + d.arg("100", "Pertence a 2 grupo(s).");
        QTest::newRow("excluída") << "ax|Este usuário não está mais no cadastro; ele pode ter sido excluído.";
    }
    void detalhesEExclusao() {
        QFETCH(QString, caso);
        CadastraAnaEBruno();
        const qint32 id = caso.startsWith('a') ? m_ana : m_ana + 1;
        QVERIFY(caso[1] != 'x' || ExcluiUsuario(Operador(), id));
        QCOMPARE(DetalhesDoUsuario(id), caso.section('|', 1));
        QCOMPARE(Snapshot("Select * From Usuario_Grupo Where ID_Usuario = ?", {id}).RecordCount(),
                 caso.startsWith("a|") ? 2 : 0);
    }

    // The dialog altering Ana: every group in name order, hers marked, the first one current,
    // identifiers kept beside the text.
    void dialogoMarcaOsGruposDoUsuario() {
        CadastraAnaEBruno();
        frmCadastraUsuarios dialogo(Operador());
        QVERIFY(dialogo.PreencheParaAlterar(m_ana));
        dialogo.show();
        auto* lista = Filho<QListView>(dialogo, "lstGrupos");
        const QAbstractItemModel* grupos = lista->model();
        QStringList itens;
        for (int i = 0; i < grupos->rowCount(); ++i)
            itens << grupos->index(i, 0).data().toString() +
                         (grupos->index(i, 0).data(Qt::CheckStateRole) == Qt::Checked ? "*" : "");
        QCOMPARE(itens.join(';'), "00002 - Alfa*;00003 - Beta;00001 - Gama*;00004 - Quebra");
        QCOMPARE(lista->currentIndex().row(), 0);
        // Keyboard only: Space unmarks Alfa, Down and Space mark Beta.
        for (const Qt::Key tecla : {Qt::Key_Space, Qt::Key_Down, Qt::Key_Space})
            QTest::keyClick(lista, tecla);
        dialogo.cmdCadastrarGrupo_Click();
        QCOMPARE(Cadastro().section(';', 0, 0), "Ana|100|teste|01/01/2024|Beta,Gama");
    }

    // The composition window and the viewer open the dialog on the user chosen (among namesakes)
    // or on a new one, list the change afterwards and keep that user selected, by identifier: the
    // one a send or the viewer's next command takes.
    void abertura_data() {
        // viewer?|button|entry chosen|name in the dialog|name saved|list afterwards|chosen afterwards
        // (users by insertion: 1 Bruno, 2 and 3 Ana, 4 the new one)
        QTest::addColumn<QString>("caso");
        // A namesake renamed to another's name: neither its place, nor its old or new name finds it.
        QTest::newRow("envio: alterar xará") << "|cmdAlterar|1|Ana|Bruno|Ana;Bruno;Bruno|3";
        QTest::newRow("envio: novo") << "|cmdCadastrar|0||Zeca|Ana;Ana;Bruno;Zeca|4";
        QTest::newRow("visualizador: alterar xará") << "v|cmdAlterarGrupo|1|Ana|Bruno|Ana;Bruno;Bruno|3";
        QTest::newRow("visualizador: novo") << "v|cmdCadastrarGrupo|0||Beto|Ana;Ana;Beto;Bruno|4";
    }
    void abertura() {
        const QStringList c = CamposDoCaso();
        for (const char* nome : {"Bruno", "Ana", "Ana"})
            CadastraUsuario(nome, QStringLiteral("1"));
        std::unique_ptr<QDialog> janela;
        if (c[0].isEmpty())
            janela = std::make_unique<frmMontaMsg>(m_bancada->ctx);
        else
            janela = std::make_unique<frmVisualizaUsuarios>(Operador(), nullptr);
        auto* cmbUsuario = Filho<QComboBox>(*janela, "cmbUsuario");
        cmbUsuario->setCurrentIndex(c[2].toInt());
        QCOMPARE(RenomeiaNoDialogo(*janela, qPrintable(c[1]), c[4]), c[3]);
        QCOMPARE(Itens(cmbUsuario->model()), c[5]);
        const qint32 escolhido = c[0].isEmpty()
                                     ? Modulo::CodigosDaLista.value(cmbUsuario->currentIndex() + 1)
                                     : static_cast<frmVisualizaUsuarios*>(janela.get())->UsuarioSelecionado();
        QCOMPARE(escolhido, c[6].toInt());
        QCOMPARE(cmbUsuario->currentText(), c[4]);
        if (!c[0].isEmpty())
            QVERIFY(
                Filho<QLabel>(*janela, "pnlDescricaoGrupo")->text().startsWith("Código do Pager: " + c[4]));
    }

    // Names stored in another order than shown (accents, capitals, inserted backwards): at every
    // position each window takes the identifier of the name shown there, for a send (users and
    // groups), the viewer's commands and a new membership.
    void idsNaOrdemMostrada() {
        // Accents and capitals: names as inserted, and as shown.
        const QStringList inseridos = QString("zé,Álvaro,bruno,Ana,Éder,alberto").split(','),
                          mostrados = QString("alberto;Álvaro;Ana;bruno;Éder;zé").split(';');
        QHash<QString, qint32> usuarios, grupos; // groups inserted the other way round: other ids
        for (int i = 0; i < inseridos.size(); ++i) {
            usuarios[inseridos[i]] = CadastraUsuario(inseridos[i], "p-" + inseridos[i]);
            grupos[inseridos.value(inseridos.size() - 1 - i)] =
                CadastraGrupo(inseridos.value(inseridos.size() - 1 - i));
        }
        frmMontaMsg envio(m_bancada->ctx);
        frmVisualizaUsuarios visualizador(Operador(), nullptr);
        frmUsuariosGrupo membros(Operador());
        for (int i = 0; i < 2 * mostrados.size(); ++i) {
            const int k = i % mostrados.size(), g = (k + 1) % mostrados.size();
            const bool porGrupo = i >= mostrados.size();
            Filho<QAbstractButton>(envio, porGrupo ? "optListaPorGrupo" : "optListaPorUsuario")->click();
            Filho<QComboBox>(envio, "cmbUsuario")->setCurrentIndex(k);
            QCOMPARE(Modulo::CodigosDaLista.value(envio.IndiceDaLista() + 1),
                     (porGrupo ? grupos : usuarios)[mostrados[k]]);
            Filho<QComboBox>(visualizador, "cmbUsuario")->setCurrentIndex(k);
            QCOMPARE(visualizador.UsuarioSelecionado(), usuarios[mostrados[k]]);
            QVERIFY(Filho<QLabel>(visualizador, "pnlDescricaoGrupo")
                        ->text()
                        .contains("p-" + mostrados[k] + "\n"));
            // The user shown at k into the group shown at g.
            Filho<QComboBox>(membros, "cmbGrupos")->setCurrentIndex(g);
            Filho<QComboBox>(membros, "cmbUsuarios")->setCurrentIndex(k);
            Clica(membros, "cmdAdicionar");
            QVERIFY(Snapshot("Select * From Usuario_Grupo Where ID_Usuario = ? And ID_Grupo = ?",
                             {usuarios[mostrados[k]], grupos[mostrados[g]]})
                        .RecordCount() == 1);
        }
    }

    // Deleting one of two namesakes in the viewer keeps the other and every history row; with
    // nobody left, the viewer says so.
    void exclusaoPeloVisualizador() {
        CadastraUsuario("Ana", "1");
        const qint32 segunda = CadastraUsuario("Ana", "2");
        QVERIFY(GravaLog("20261206", "10:00", "Ana", "oi", "2", segunda));
        frmVisualizaUsuarios janela(Operador(), nullptr);
        Filho<QComboBox>(janela, "cmbUsuario")->setCurrentIndex(1);
        QCOMPARE(janela.UsuarioSelecionado(), segunda);
        Operador().respostas = {Resposta::Nao, Resposta::Sim};
        for (int vez = 0; vez < 2; ++vez)
            Clica(janela, "cmdExcluirGrupo");
        QCOMPARE(Cadastro(), "Ana|1|teste|01/01/2024| log=1");
        Operador().respostas = {Resposta::Sim};
        Clica(janela, "cmdExcluirGrupo");
        QCOMPARE(Filho<QLabel>(janela, "pnlDescricaoGrupo")->text(), "Não há usuários cadastrados.");
        Clica(janela, "cmdAlterarGrupo");
        QCOMPARE(Titulos(Operador()), "Atenção:,Atenção:,Atenção:,Erro:");
    }
};

QTEST_MAIN(tst_Cadastro)
#include "tst_Cadastro.moc"
