// Opening Pager.Mdb (and refusing what is not the program's database), the name order and
// equality, counters, values bound as typed, name lists, bipvox-criabanco run as the build
// and the demo run it, and where the programs look for the file.
#include "AmbienteDeTeste.h"
#include "CadastroDeTeste.h"
#include "PostgreSQLDeTeste.h"
#include "SQLiteSomenteLeitura.h"
#include "directory/CadastroDeGrupos.h"
#include "fila/FilaDeEnvio.h"
#include "shell/LocalDoBanco.h"
#include "store/BancoDeDados.h"
#include "store/ChaveDeOrdem.h"
#include "store/ConsolidacaoAdiada.h"
#include "store/Consultas.h"
#include "store/Esquema.h"
#include "store/ListaDeNomes.h"
#include "store/SQLiteNativo.h"
#include "store/Snapshot.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>
#include <sqlite3.h>
#include <thread>

namespace {
const QByteArray kTabelas =
    "CREATE TABLE Usuarios (ID_Usuario INTEGER PRIMARY KEY AUTOINCREMENT, Nome_Usuario TEXT, "
    "ID_Pager TEXT, Descricao TEXT, Data_Cadastro TEXT);"
    "CREATE TABLE Grupos (ID_Grupo INTEGER PRIMARY KEY AUTOINCREMENT, Nome_Grupo TEXT, "
    "Descricao_Grupo TEXT); CREATE TABLE Usuario_Grupo (ID_Usuario INTEGER, ID_Grupo INTEGER);";
const QByteArray kLog = "CREATE TABLE Log (Data TEXT, Hora TEXT, Usuario TEXT, Mensagem TEXT, ID_Pager TEXT, "
                        "ID_Usuario INTEGER);";

QByteArray Bytes(const QString& caminho) {
    QFile arquivo(caminho);
    return arquivo.open(QIODevice::ReadOnly) ? arquivo.readAll() : QByteArray();
}

// The file of one opening case: "sql:..." runs SQL in a new SQLite file, "bytes:..." writes bytes.
bool Prepara(const QString& caminho, const QByteArray& tipo) {
    if (tipo == "programa" || tipo == "somente leitura")
        return CriaBancoVazio(caminho);
    if (tipo == "cabeçalho novo") { // byte 18 above 2: a newer SQLite's format, read-only to this one
        QFile arquivo(caminho);
        return CriaBancoVazio(caminho) && arquivo.open(QIODevice::ReadWrite) && arquivo.seek(18) &&
               arquivo.write("\3", 1) == 1;
    }
    if (tipo.startsWith("sql:")) {
        sqlite3* handle = nullptr;
        const bool ok = sqlite3_open(caminho.toUtf8().constData(), &handle) == SQLITE_OK &&
                        sqlite3_exec(handle, tipo.mid(4).constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
        sqlite3_close(handle);
        return ok;
    }
    QFile arquivo(caminho);
    return tipo == "ausente" ||
           (arquivo.open(QIODevice::WriteOnly) && arquivo.write(tipo.mid(6)) == tipo.size() - 6);
}

// Version 0 as the program made it: names under the NOME collation, a Log without the outcome.
// Rows: user 5 deleted (its counter must not come back), a membership, a history row.
const QByteArray kVersao0 =
    "CREATE TABLE Usuarios (ID_Usuario INTEGER PRIMARY KEY AUTOINCREMENT, Nome_Usuario TEXT NOT NULL "
    "COLLATE NOME, ID_Pager TEXT NOT NULL, Descricao TEXT NOT NULL, Data_Cadastro TEXT NOT NULL);"
    "CREATE TABLE Grupos (ID_Grupo INTEGER PRIMARY KEY AUTOINCREMENT, Nome_Grupo TEXT NOT NULL COLLATE NOME, "
    "Descricao_Grupo TEXT NOT NULL); CREATE TABLE Usuario_Grupo (ID_Usuario INTEGER NOT NULL, ID_Grupo "
    "INTEGER NOT NULL); CREATE INDEX Usuarios_Nome ON Usuarios (Nome_Usuario); CREATE TABLE Log (Data TEXT, "
    "Hora TEXT, Usuario TEXT COLLATE NOME, Mensagem TEXT, ID_Pager TEXT, ID_Usuario INTEGER);"
    "INSERT INTO Usuarios VALUES (1, 'Zé', '1', 'd', '03/12/1998'), (3, 'álvaro', '3', 'd', '03/12/1998'), "
    "(5, 'Bia', '5', 'd', '03/12/1998'); DELETE FROM Usuarios WHERE ID_Usuario = 5;"
    "INSERT INTO Grupos VALUES (1, 'Plantão', 'd'); INSERT INTO Usuario_Grupo VALUES (3, 1);"
    "INSERT INTO Log (Data, Hora, Usuario, Mensagem, ID_Pager, ID_Usuario) VALUES ('19981203', '14:05', "
    "'Zé', "
    "'m', '1', 1);";

// What the stock sqlite3 shell prints for sql on the file (scripts/setup.sh installs it).
QString Sqlite3(const QString& arquivo, const QString& sql) {
    QProcess shell;
    shell.start(QStringLiteral("sqlite3"), {arquivo, sql});
    return shell.waitForFinished(30000) ? QString::fromUtf8(shell.readAll()).trimmed()
                                        : QStringLiteral("sem sqlite3");
}

// A store with the cases a copy can lose: gaps and a deleted last user (counter 9 above the largest
// id), case namesakes, quotes and accents, a refused page with its reason, Log rows out of time order.
const char* const kParaCopiar =
    "Insert Into Usuarios Values (2, 'Zé', '1', 'd''Ávila \"x\"', '01/02/2003'), (5, 'ZÉ', '2', '', ''), "
    "(7, 'Ana', '3', 'ç', ''), (9, 'Bia', '4', '', ''); Delete From Usuarios Where ID_Usuario = 9;"
    "Insert Into Grupos Values (3, 'Plantão', 'noite'), (4, 'Diretoria', ''); Insert Into Usuario_Grupo "
    "Values (5, 3), (2, 3), (7, 4); Insert Into Log Values ('20200102', '10:00', 'Zé', 'O''Neil', '1', 2, "
    "'recusada', 'ocupado', Null, 'janela'), ('20200101', '09:00', 'ZÉ', 'b', '2', 5, 'entregue', '', "
    "Null, 'SNPP 127.0.0.1 ana'); Insert Into Fila Values (4, '3', 'Ana', 7, 'ç', 'janela', 100, "
    "'aguardando', 1, 160, 'sem linha'), (6, '3', 'Ana', 7, 'x', 'janela', 1, 'entregue', 0, 1, ''); "
    "Delete From Fila Where ID_Pagina = 6;";
// Every row of every table, the keys the triggers made and the counters, as the sqlite3 shell prints them.
const char* const kTudo =
    "Select * From Usuarios; Select * From Grupos; Select * From Usuario_Grupo Order By rowid; Select "
    "rowid, * From Log Order By rowid; Select * From Fila; Select * From Usuarios_Chave; Select * From "
    "Grupos_Chave; Select * From sqlite_sequence Order By name;";

int Linhas(const QString& tabela) {
    return Snapshot(QStringLiteral("Select * From ") + tabela).RecordCount();
}
} // namespace

class tst_BancoDeDados : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { FechaBancoDeDados(); }

    void abertura_data() {
        QTest::addColumn<QByteArray>("tipo");
        QTest::addColumn<bool>("abre");
        const std::pair<const char*, QByteArray> recusados[] = {
            {"ausente", "ausente"},
            {"cabeçalho e lixo", QByteArray("bytes:SQLite format 3\0garbage", 29)},
            {"de outro programa", "sql:CREATE TABLE Clientes (Id INTEGER);"},
            {"sem a tabela Log", "sql:" + kTabelas},
            {"Usuarios sem ID_Pager", "sql:" + QByteArray(kTabelas).replace("ID_Pager TEXT, ", "") + kLog},
            {"protegido contra escrita", "somente leitura"},
            {"cabeçalho só para leitura", "cabeçalho novo"}};
        for (const auto& [nome, tipo] : recusados)
            QTest::newRow(nome) << tipo << false;
        // A file of an older version: its Log gains the outcome, its rows read as delivered.
        QTest::newRow("tabelas sem a colação, Log antigo")
            << QByteArray("sql:" + kTabelas + kLog +
                          "INSERT INTO Log VALUES('19981203','14:05','Ana','m','1',1);")
            << true;
        QTest::newRow("do programa") << QByteArray("programa") << true;
    }
    void abertura() {
        QFETCH(QByteArray, tipo);
        QFETCH(bool, abre);
        // Blanks, '#', '%20' and an apostrophe in the folder: the path reaches SQLite intact.
        QTemporaryDir raiz;
        const QString pasta = raiz.filePath(QStringLiteral("Dados #1 100%20 d'água"));
        QVERIFY(QDir().mkpath(pasta));
        const QString caminho = pasta + QStringLiteral("/Pager.Mdb");
        QVERIFY(Prepara(caminho, tipo));
        const QByteArray antes = Bytes(caminho);
        std::optional<SQLiteSomenteLeitura> protegido;
        if (tipo == "somente leitura")
            protegido.emplace();
        QCOMPARE(AbreBancoDeDados(QStringLiteral("Pager.Mdb"), pasta), abre);
        QCOMPARE(BancoDeDadosAberto(), abre);
        if (abre) {
            QVERIFY(Snapshot(Consultas::ListaUsuarios).Valido());
            QCOMPARE(Coluna("Select Situacao || '|' || Motivo As L From Log"),
                     tipo == "programa" ? QStringList() : QStringList{"entregue|"});
            QVERIFY(GravaLog("20261206", "10:00", "Bia", "m", "2", 2, true, "511 Invalid pager ID"));
        }
        // A refused file is left as it was, and a missing one is not created (an open one has
        // its write-ahead log beside it).
        if (!abre) {
            QCOMPARE(QDir(pasta).entryList(QDir::Files),
                     tipo == "ausente" ? QStringList() : QStringList{"Pager.Mdb"});
            QCOMPARE(Bytes(caminho), antes);
        }
    }

    // An older file is upgraded in place with its rows and counters, after a copy of it is kept; a
    // newer one is refused untouched. Either way stock SQLite finds nothing it lacks.
    void versoes_data() {
        QTest::addColumn<int>("versao");
        QTest::newRow("versão 0 atualizada") << 0;
        QTest::newRow("versão 1 atualizada") << 1;
        QTest::newRow("versão 2 atualizada") << 2;
        QTest::newRow("versão mais nova recusada") << VersaoDoEsquema + 1;
    }
    void versoes() {
        QFETCH(int, versao);
        QTemporaryDir pasta;
        const QString caminho = pasta.filePath(QStringLiteral("Pager.Mdb"));
        // Versions 1 and 2: the same rows in a Log without its source; version 1's tables of keys
        // without the names, filled by nobody.
        const bool criado = versao == 1 || versao == 2;
        QVERIFY(!criado || CriaBancoVazio(caminho));
        sqlite3* handle = nullptr;
        QVERIFY(sqlite3_open(caminho.toUtf8().constData(), &handle) == SQLITE_OK &&
                RegistraColacaoNome(handle));
        const QByteArray v1 =
            "Drop Trigger Usuarios_Chave_Nova; Drop Trigger Grupos_Chave_Nova;"
            "Drop Table Usuarios_Chave; Create Table Usuarios_Chave (ID_Usuario Integer Primary "
            "Key, Chave Text Not Null); Drop Table Grupos_Chave; Create Table Grupos_Chave "
            "(ID_Grupo Integer Primary Key, Chave Text Not Null);";
        const QByteArray sql = (!criado ? kVersao0
                                        : "Alter Table Log Drop Column Origem;" + (versao == 1 ? v1 : "") +
                                              kVersao0.mid(kVersao0.indexOf("INSERT"))) +
                               "PRAGMA user_version = " + QByteArray::number(versao);
        QCOMPARE(sqlite3_exec(handle, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(handle);
        const QByteArray antes = Bytes(caminho);
        QString erro, aviso;
        const bool antigo = versao < VersaoDoEsquema;
        QCOMPARE(AbreBancoDeDados(QStringLiteral("Pager.Mdb"), pasta.path(), &erro, &aviso), antigo);
        const QString copia = caminho + QStringLiteral(".versao%1.bak").arg(versao);
        QCOMPARE(QFileInfo::exists(copia), antigo);
        if (!antigo) {
            QVERIFY2(erro.contains(QStringLiteral("versão mais nova")), qPrintable(erro));
            QCOMPARE(Bytes(caminho), antes);
            return;
        }
        QVERIFY2(aviso.contains(copia), qPrintable(aviso));
        QCOMPARE(Sqlite3(copia, "PRAGMA user_version; Select Count(*) From Usuarios Not Indexed"),
                 QStringLiteral("%1\n2").arg(versao));
        QCOMPARE(Coluna(Consultas::ListaUsuarios, "Nome_Usuario"), (QStringList{"álvaro", "Zé"}));
        QCOMPARE(
            Coluna("Select Usuario || Situacao || ID_Grupo || '|' || Origem As L From Log, Usuario_Grupo"),
            QStringList{"Zéentregue1|"});
        QVERIFY(CadastraUsuario(QStringLiteral("Caio"), QStringLiteral("6")) > 5);
        QCOMPARE(Sqlite3(caminho, "PRAGMA integrity_check; PRAGMA user_version"),
                 QStringLiteral("ok\n%1").arg(VersaoDoEsquema));
    }

    // Rows another tool writes (no column list, other capitals, quotes) are in their place and are
    // the same names as the program's.
    void outraFerramenta() {
        SO_NO_ARQUIVO();
        AmbienteDeTeste ambiente(true);
        QVERIFY(CadastraUsuario(QStringLiteral("Álvaro"), QStringLiteral("1")) > 0);
        QVERIFY(CadastraUsuario(QStringLiteral("Bruno"), QStringLiteral("2")) > 0);
        const QString arquivo = ambiente.Diretorio() + QStringLiteral("/Pager.Mdb");
        QCOMPARE(Sqlite3(arquivo,
                         "INSERT INTO Usuarios VALUES (NULL, 'ágata \"Gê\" D''Ávila', '7', 'x', "
                         "'06/12/2026'); UPDATE Usuarios SET Nome_Usuario = 'CARLA' WHERE ID_Pager = '2';"
                         "INSERT INTO Grupos (Nome_Grupo, Descricao_Grupo) VALUES ('PLANTÃO', 'x');"
                         "INSERT INTO Log VALUES ('20261206', '09:30', 'Zeca', 'm', '7', 3, 'entregue', "
                         "'', NULL, ''); PRAGMA integrity_check;"),
                 QStringLiteral("ok"));
        QCOMPARE(LeListaDeNomes(Consultas::IdsENomesDosUsuarios).nomes,
                 (QStringList{"ágata \"Gê\" D'Ávila", "Álvaro", "CARLA"}));
        Grupo grupo{0, QStringLiteral("plantão"), QStringLiteral("d")};
        QCOMPARE(GravaGrupo(grupo, {}), Gravacao::NomeRepetido);
        QVERIFY(GravaLog("20261206", "09:30", "álvaro", "m", "1", 1));
        QCOMPARE(Coluna("Select Usuario As L From Log Order By Data, Hora, Chave_Usuario"),
                 (QStringList{"álvaro", "Zeca"}));
    }

    // Option, then settings key, then beside the program, then the user's data folder.
    void localDoBanco_data() {
        QTest::addColumn<QString>("caso"); // option|key|Pager.Mdb beside the program (s/n)
        QTest::addColumn<int>("origem");
        QTest::addColumn<QString>("caminho");
        const auto linha = [](const char* nome, const char* caso, OrigemDoBanco origem, const char* caminho) {
            QTest::newRow(nome) << QString::fromUtf8(caso) << int(origem) << QString::fromUtf8(caminho);
        };
        linha("opção vence tudo", "/srv/a.mdb|/srv/b.mdb|s", OrigemDoBanco::Opcao, "/srv/a.mdb");
        linha("opção relativa: pasta atual", "dados/a.mdb||n", OrigemDoBanco::Opcao, "CWD/dados/a.mdb");
        linha("chave vence o portátil", "|/var/lib/bipvox/Pager.Mdb|s", OrigemDoBanco::Configuracao,
              "/var/lib/bipvox/Pager.Mdb");
        linha("chave relativa: pasta do INI", "| x/Pager.Mdb |s", OrigemDoBanco::Configuracao,
              "INI/x/Pager.Mdb");
        linha("ao lado do programa", "| |s", OrigemDoBanco::AoLadoDoPrograma, "PROG/Pager.Mdb");
        linha("pasta de dados do usuário", "||n", OrigemDoBanco::PastaDoUsuario, "DADOS/bipvox/Pager.Mdb");
    }
    void localDoBanco() {
        QFETCH(int, origem);
        QFETCH(QString, caminho);
        const QStringList campos = CamposDoCaso();
        QTemporaryDir raiz;
        const QString programa = raiz.filePath(QStringLiteral("prog"));
        QVERIFY(QDir().mkpath(programa));
        if (campos[2] == QLatin1String("s"))
            QVERIFY(CriaBancoVazio(programa + QStringLiteral("/Pager.Mdb")));
        const LocalDoBanco local = EscolheLocalDoBanco(campos[0], campos[1], programa, QStringLiteral("/ini"),
                                                       QStringLiteral("/dados"));
        caminho.replace(QLatin1String("CWD"), QDir::currentPath())
            .replace(QLatin1String("INI"), QStringLiteral("/ini"))
            .replace(QLatin1String("PROG"), programa)
            .replace(QLatin1String("DADOS"), QStringLiteral("/dados"));
        QCOMPARE(local.caminho, caminho);
        QCOMPARE(int(local.origem), origem);
    }

    // Only the user's own file is created; a named file that is missing stays an error.
    void abreBancoDoPrograma_data() {
        QTest::addColumn<QString>("caso"); // option|key
        QTest::addColumn<bool>("criado");
        QTest::newRow("primeira partida") << QString("|") << true;
        QTest::newRow("opção ausente") << QString("OPCAO|") << false;
        QTest::newRow("chave ausente") << QString("|CHAVE") << false;
    }
    void abreBancoDoPrograma() {
        QFETCH(bool, criado);
        const QStringList campos = CamposDoCaso();
        AmbienteDeTeste ambiente;
        const QString dados = ambiente.Diretorio() + QStringLiteral("/dados");
        const QByteArray antigo = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(dados));
        const QString ausente = ambiente.Diretorio() + QStringLiteral("/outro/Pager.Mdb");
        if (!campos[1].isEmpty())
            ambiente.EscreveINI("[BANCO]\r\nArquivo=" + QFile::encodeName(ausente) + "\r\n");
        const AberturaDoBanco primeira = AbreBancoDoPrograma(campos[0].isEmpty() ? QString() : ausente);
        const AberturaDoBanco segunda = AbreBancoDoPrograma(campos[0].isEmpty() ? QString() : ausente);
        qputenv("XDG_DATA_HOME", antigo);
        QCOMPARE(primeira.criado, criado);
        QCOMPARE(primeira.aberto, criado);
        QCOMPARE(segunda.aberto, criado);
        QVERIFY(!segunda.criado);
        QCOMPARE(QFileInfo::exists(dados + QStringLiteral("/bipvox/Pager.Mdb")), criado);
        QVERIFY(!QFileInfo::exists(ausente));
        if (criado)
            QVERIFY(Snapshot(Consultas::ListaUsuarios).Valido());
    }

    // The lists in Portuguese order, namesakes by identifier; equal names without regard to case.
    void nomes_data() {
        QTest::addColumn<QString>("caso"); // names saved|names listed
        QTest::newRow("acentos ao lado") << "Zeca,Álvaro,Ana,César,Alberto,Zé,Cecília,Élcio,Alice|"
                                            "Alberto,Alice,Álvaro,Ana,Cecília,César,Élcio,Zé,Zeca";
        QTest::newRow("caixa não conta") << "beatriz,ana,CARLOS,Ana|ana,Ana,beatriz,CARLOS";
        QTest::newRow("aspas e apóstrofos") << "O'Neil,\"Zé\",D'Ávila|\"Zé\",D'Ávila,O'Neil";
    }
    void nomes() {
        QFETCH(QString, caso);
        const QStringList cadastrados = caso.section('|', 0, 0).split(',');
        const QStringList esperados = caso.section('|', 1).split(',');
        AmbienteDeTeste ambiente(true);
        QHash<QString, qint32> ids;
        QStringList grupos = esperados;
        for (const QString& nome : cadastrados) {
            ids.insert(nome, CadastraUsuario(nome, QStringLiteral("1")));
            // A server refuses a group whose name another has already, whoever writes it.
            if (CadastraGrupo(nome) == 0 && TesteNoPostgreSQL() &&
                Snapshot(QStringLiteral("Select 1 From Grupos_Chave Where Chave = ?"), {ChaveDeOrdem(nome)})
                        .RecordCount() == 1)
                grupos.removeOne(nome);
        }
        QCOMPARE(Coluna(Consultas::ListaUsuarios, "Nome_Usuario"), esperados);
        QCOMPARE(Coluna(Consultas::ListaGrupos, "Nome_Grupo"), grupos);
        const ListaDeNomes lista = LeListaDeNomes(Consultas::IdsENomesDosUsuarios);
        QCOMPARE(lista.nomes, esperados);
        for (int i = 0; i < lista.nomes.size(); ++i)
            QCOMPARE(lista.IdNoIndice(i), ids.value(lista.nomes[i]));
    }

    // An existing file is never overwritten (counters never reused: the upgrade test checks them).
    void existenteNaoSeRecria() {
        SO_NO_ARQUIVO();
        AmbienteDeTeste ambiente(true);
        FechaBancoDeDados();
        QString erro;
        QVERIFY(!CriaBancoVazio(ambiente.Diretorio() + QStringLiteral("/Pager.Mdb"), &erro));
        QVERIFY(erro.contains(QStringLiteral("já existe")));
    }

    // During a send the history's commits leave the log alone; the sender folds it when due, and
    // afterwards the commits fold it again by themselves.
    void consolidacaoAdiada() {
        SO_NO_ARQUIVO();
        AmbienteDeTeste ambiente(true);
        const auto grava = [] { return GravaLog("20260101", "10:00", "Ana", QString(400, 'x'), "1", 1); };
        int gravacoes = 0;
        {
            ConsolidacaoAdiada adiada;
            for (; gravacoes < 2000 && adiada.PaginasNoDiario() < 1500; ++gravacoes)
                QVERIFY(grava());
            QVERIFY(adiada.PaginasNoDiario() >= 1500);
            adiada.ConsolidaSeDevida();
            QVERIFY(grava());
            QVERIFY(adiada.PaginasNoDiario() < 10);
            for (int i = 0; i < gravacoes; ++i)
                QVERIFY(grava());
        }
        for (int i = 0; i < gravacoes; ++i)
            QVERIFY(grava());
        int noDiario = -1;
        QCOMPARE(sqlite3_wal_checkpoint_v2(HandleNativo(BancoDeDados()), nullptr, SQLITE_CHECKPOINT_PASSIVE,
                                           &noDiario, nullptr),
                 SQLITE_OK);
        QVERIFY2(noDiario >= 0 && noDiario < 1100, qPrintable(QString::number(noDiario)));
    }

    // Values bound as typed, never spliced into the SQL; a list needs an identifier and a name.
    void listaDeNomes() {
        AmbienteDeTeste ambiente(true);
        const QString estranho = QStringLiteral("x'); Delete From Usuarios; -- \"Bob\" ?1 :nome %");
        QVERIFY(CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("1")) > 0);
        QVERIFY(CadastraUsuario(estranho, "2") > 0);
        const QString sql =
            QStringLiteral("Select ID_Usuario, Nome_Usuario From Usuarios Where Nome_Usuario = ?");
        QCOMPARE(LeListaDeNomes(sql, {estranho}).nomes, QStringList{estranho});
        QVERIFY(!LeListaDeNomes(QStringLiteral("Select Nome_Usuario From Usuarios")).erro.isEmpty());
        FechaBancoDeDados();
        QVERIFY(!LeListaDeNomes(sql, {estranho}).erro.isEmpty());
    }
    // Another thread (the SNPP gateway's) keeps its own statements on its own connection, and
    // drops them with it: closed and opened again, it prepares them anew.
    void comandosDeOutraLinha() {
        AmbienteDeTeste ambiente(true);
        QStringList chaves;
        std::thread linha([&chaves] {
            for (int vez = 0; vez < 2; ++vez) {
                chaves << ChaveDeOrdem(QStringLiteral("Ávila"));
                FechaBancoDeDados();
            }
        });
        linha.join();
        QCOMPARE(chaves, QStringList(2, ChaveDeOrdem(QStringLiteral("Ávila"))));
        QVERIFY(!chaves.first().isEmpty());
    }
    // The server drops the connection (restarted, a network cut): the statement then fails saying
    // where, nothing of it is written, and the next one finds the server again by itself, its
    // kept statements prepared anew.
    void servidorPerdido() {
        if (!TesteNoPostgreSQL())
            QSKIP("só num servidor");
        AmbienteDeTeste ambiente(true);
        QVERIFY(GravaLog("20261206", "10:00", "Ana", "um", "1", 1));
        QVERIFY(QSqlQuery(OutraMesa("administrador"))
                    .exec("Select pg_terminate_backend(pid) From pg_stat_activity Where datname = "
                          "current_database() And pid <> pg_backend_pid()"));
        QSqlDatabase::removeDatabase("administrador");
        QString erro;
        QVERIFY(!GravaLog("20261206", "10:01", "Ana", "dois", "1", 1, false, {}, {}, &erro));
        QVERIFY2(erro.startsWith("servidor PostgreSQL"), qPrintable(erro));
        QVERIFY(GravaLog("20261206", "10:02", "Ana", "três", "1", 1));
        QCOMPARE(Coluna("Select Mensagem From Log Order By rowid", "Mensagem"), (QStringList{"um", "três"}));
    }
    void copiaDoBanco_data() {
        // SQL on the file before the copy|SQL on the server's database before|exit code|part of what
        // is printed; a copy that works goes back to a new file, which must hold the same.
        QTest::addColumn<QString>("caso");
        QTest::newRow("ida e volta") << "||0|Copiados: 3 usuários, 2 grupos, 3 participações, 2 mensagens do "
                                        "histórico, 1 páginas da fila.";
        QTest::newRow("banco do servidor não vazio") << "|Create Table Outra (x Int)|1|já tem tabelas";
        QTest::newRow("grupos xarás") << "Insert Into Grupos Values (8, 'PLANTÃO', '')||1|\"PLANTÃO\"";
        QTest::newRow("falha depois de copiar usuários")
            << "Update Log Set ID_Usuario = 'x' Where Mensagem = 'b'||1|na tabela Log";
    }
    void copiaDoBanco() {
        SO_NO_ARQUIVO(); // it runs once, against the server of the run
        EXIGE_POSTGRESQL();
        const QStringList c = CamposDoCaso();
        QTemporaryDir pasta;
        const QString origem = pasta.filePath(QStringLiteral("Pager.Mdb"));
        QVERIFY(CriaBancoVazio(origem) && AbreBancoDeDados(QStringLiteral("Pager.Mdb"), pasta.path()) &&
                Fila::GaranteTabela());
        FechaBancoDeDados();
        QCOMPARE(Sqlite3(origem, kParaCopiar + c[0]), QString());
        const QByteArray antes = Bytes(origem);
        QString erro;
        const QString banco = NovoBancoPostgreSQL(&erro);
        QVERIFY2(!banco.isEmpty(), qPrintable(erro));
        const QString conexao = ServidorDeTeste(banco)->Texto();
        {
            QSqlDatabase db = ConexaoDeTeste(banco, QStringLiteral("copia"));
            QVERIFY(db.open() && (c[1].isEmpty() || QSqlQuery(db).exec(c[1])));
        }
        const auto roda = [](const QStringList& argumentos) {
            QProcess p;
            p.start(qEnvironmentVariable("BIPVOX_CRIABANCO"), argumentos);
            const int codigo = p.waitForFinished(60000) ? p.exitCode() : -1;
            return std::make_pair(
                codigo, QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError()));
        };
        const auto [codigo, saida] = roda({"--postgresql", conexao, "--copiar-de", origem});
        QVERIFY2(saida.contains(c[3]), qPrintable(saida));
        QCOMPARE(codigo, c[2].toInt());
        QCOMPARE(Bytes(origem), antes);
        const QString volta = pasta.filePath(QStringLiteral("Volta.Mdb"));
        if (codigo == 0)
            QCOMPARE(roda({volta, "--copiar-do-postgresql", conexao}).first, 0);
        {
            // Failed: the server's database as it was. Copied: each counter past the largest id ever
            // given (9 for users, whose last one was deleted; 6 for the queue).
            QSqlQuery q(QSqlDatabase::database(QStringLiteral("copia")));
            QVERIFY(q.exec(QStringLiteral("Select count(*) From pg_tables Where schemaname = "
                                          "current_schema()")) &&
                    q.next());
            QCOMPARE(q.value(0).toInt(), codigo == 0 ? 8 : int(!c[1].isEmpty()));
            QVERIFY(codigo != 0 || (q.exec("Select concat_ws(',', nextval('usuarios_id_usuario_seq'), "
                                           "nextval('grupos_id_grupo_seq'), nextval('log_rowid_seq'), "
                                           "nextval('fila_id_pagina_seq'))") &&
                                    q.next()));
            if (codigo == 0)
                QCOMPARE(q.value(0).toString(), QStringLiteral("10,5,3,7"));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("copia"));
        ApagaBancoPostgreSQL(banco);
        QCOMPARE(QFile::exists(volta), codigo == 0);
        if (codigo != 0)
            return;
        QCOMPARE(Sqlite3(volta, kTudo), Sqlite3(origem, kTudo));
        const QByteArray copiado = Bytes(volta); // never over an existing file, even from a server gone
        QCOMPARE(roda({volta, "--copiar-do-postgresql", conexao}).first, 1);
        QCOMPARE(Bytes(volta), copiado);
    }
    void criaBanco_data() {
        // arguments ({}: Pager.Mdb in a private folder, @: that folder)|existing file?|exit code|
        // part of what is printed
        QTest::addColumn<QString>("caso");
        QTest::newRow("exemplos") << "--exemplos,{}||0|";
        QTest::newRow("existente é erro") << "--exemplos,{}|e|1|já existe";
        QTest::newRow("--se-ausente com existente") << "--se-ausente,{}|e|0|";
        QTest::newRow("dois arquivos") << "{},B.Mdb||2|--help";
    }
    void criaBanco() {
        const QStringList c = CamposDoCaso();
        QTemporaryDir pasta;
        const QString caminho = pasta.filePath(QStringLiteral("Pager.Mdb"));
        if (!c[1].isEmpty())
            QVERIFY(CriaBancoVazio(caminho));
        const QByteArray antes = Bytes(caminho);
        QProcess p;
        p.start(qEnvironmentVariable("BIPVOX_CRIABANCO"),
                QString(c[0]).replace("{}", caminho).replace("@", pasta.path()).split(QLatin1Char(',')));
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), c[2].toInt());
        QVERIFY(QString::fromLocal8Bit(p.readAllStandardError() + p.readAllStandardOutput()).contains(c[3]));
        if (!c[1].isEmpty() || c[2] != "0") {
            QCOMPARE(Bytes(caminho), antes); // nothing existing is ever touched, nothing made for nothing
            return;
        }
        // Samples only when asked: memberships join existing rows, pager codes are unique, and
        // every pager code the README has the simulator refuse is one of them.
        QVERIFY(AbreBancoDeDados(QStringLiteral("Pager.Mdb"), pasta.path()));
        const bool exemplos = c[0].startsWith(QLatin1String("--exemplos"));
        QCOMPARE(Linhas("Usuarios") >= 3 && Linhas("Grupos") >= 2, exemplos);
        QCOMPARE(Linhas("Usuarios Group By ID_Pager"), Linhas("Usuarios"));
        QFile readme(QFINDTESTDATA("../../README.md"));
        QVERIFY(readme.open(QIODevice::ReadOnly));
        auto achados = QRegularExpression(QStringLiteral("--recusar=([0-9,]+)"))
                           .globalMatch(QString::fromUtf8(readme.readAll()));
        QVERIFY(achados.hasNext());
        while (achados.hasNext())
            for (const QString& codigo : achados.next().captured(1).split(QLatin1Char(',')))
                QCOMPARE(Linhas("Usuarios Where ID_Pager = '" + codigo + "'"), int(exemplos));
    }
};

QTEST_GUILESS_MAIN(tst_BancoDeDados)
#include "tst_BancoDeDados.moc"
