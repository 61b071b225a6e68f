// Opening Pager.Mdb (and refusing what is not the program's database), the name collation,
// counters, quotes, snapshots and Log rows.
#include "AmbienteDeTeste.h"
#include "CadastroDeTeste.h"
#include "SQLiteSomenteLeitura.h"
#include "store/BancoDeDados.h"
#include "store/Consultas.h"
#include "store/Esquema.h"
#include "store/Snapshot.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>
#include <sqlite3.h>

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
    if (tipo == "programa" || tipo == "truncado" || tipo == "somente leitura") {
        QFile arquivo(caminho);
        return CriaBancoVazio(caminho) && (tipo != "truncado" || arquivo.resize(arquivo.size() / 2));
    }
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

QStringList Nomes(Snapshot&& s, const QString& coluna) {
    QStringList nomes;
    for (; !s.Eof(); s.MoveNext())
        nomes << s.Campo(coluna).toString();
    return nomes;
}
} // namespace

class tst_BancoDeDados : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { FechaBancoDeDados(); }

    void abertura_data() {
        QTest::addColumn<QByteArray>("tipo");
        QTest::addColumn<bool>("abre");
        QTest::newRow("ausente") << QByteArray("ausente") << false;
        QTest::newRow("0 bytes") << QByteArray("bytes:") << false;
        QTest::newRow("texto") << QByteArray("bytes:Usuarios;Grupos;Log\r\n") << false;
        QTest::newRow("Access") << QByteArray("bytes:\x00\x01\x00\x00Standard Jet DB\x00", 26) << false;
        QTest::newRow("cabeçalho e lixo") << QByteArray("bytes:SQLite format 3\0garbage", 29) << false;
        QTest::newRow("truncado") << QByteArray("truncado") << false;
        QTest::newRow("de outro programa") << QByteArray("sql:CREATE TABLE Clientes (Id INTEGER);") << false;
        QTest::newRow("sem a tabela Log") << QByteArray("sql:" + kTabelas) << false;
        QTest::newRow("Usuarios sem ID_Pager")
            << QByteArray("sql:" + QByteArray(kTabelas).replace("ID_Pager TEXT, ", "") + kLog) << false;
        QTest::newRow("protegido contra escrita") << QByteArray("somente leitura") << false;
        QTest::newRow("cabeçalho só para leitura") << QByteArray("cabeçalho novo") << false;
        QTest::newRow("tabelas sem a colação") << QByteArray("sql:" + kTabelas + kLog) << true;
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
        if (abre)
            QVERIFY(Snapshot(Consultas::ListaUsuarios).Valido());
        // A refused file is left as it was, and a missing one is not created (an open one has
        // its write-ahead log beside it).
        if (!abre) {
            QCOMPARE(QDir(pasta).entryList(QDir::Files),
                     tipo == "ausente" ? QStringList() : QStringList{"Pager.Mdb"});
            QCOMPARE(Bytes(caminho), antes);
        }
    }

    void nomes() {
        AmbienteDeTeste ambiente;
        QVERIFY(ambiente.AbreBancoVazio());
        const QStringList ordem{"Alberto", "Álvaro", "Ana", "bruno", "Cecília",
                                "César",   "Élcio",  "Zé",  "Zeca"};
        for (int k : {8, 1, 3, 6, 0, 5, 2, 7, 4}) {
            QVERIFY(CadastraUsuario(ordem[k], QStringLiteral("1")) > 0);
            QVERIFY(CadastraGrupo(ordem[k]) > 0);
        }
        QCOMPARE(Nomes(Snapshot(Consultas::ListaUsuarios), QStringLiteral("Nome_Usuario")), ordem);
        QCOMPARE(Nomes(Snapshot(Consultas::ListaGrupos), QStringLiteral("Nome_Grupo")), ordem);
        // Equal without regard to case, accents kept apart.
        const auto procura = [](const char* nome) {
            return Snapshot(QStringLiteral("Select * From Usuarios Where Nome_Usuario = ?"), {QString(nome)})
                .RecordCount();
        };
        QCOMPARE(procura("CÉSAR"), 1);
        QCOMPARE(procura("cesar"), 0);
    }

    void valoresComoDigitados_data() {
        QTest::addColumn<QString>("valor");
        QTest::newRow("apóstrofo e aspas") << "O'Neil \"Bob\" ''";
        QTest::newRow("comando embutido") << "x'); Delete From Usuarios; --";
        QTest::newRow("interrogação e dois-pontos") << "Quem? ?1 :nome %";
    }
    void valoresComoDigitados() {
        QFETCH(QString, valor);
        AmbienteDeTeste ambiente;
        QVERIFY(ambiente.AbreBancoVazio());
        QVERIFY(CadastraUsuario(QStringLiteral("Testemunha"), QStringLiteral("9")) > 0);
        const qint32 id = CadastraUsuario(valor, valor.left(10));
        QVERIFY(GravaLog("20240229", "09:30", valor, valor, valor.left(10), id));
        Snapshot achado(Consultas::PagerDoUsuario, {id});
        QCOMPARE(achado.Campo(QStringLiteral("Nome_Usuario")).toString(), valor);
        QCOMPARE(achado.Campo(QStringLiteral("ID_Pager")).toString(), valor.left(10));
        Snapshot log(QStringLiteral("Select * From Log Where Usuario = ?"), {valor});
        QCOMPARE(log.Campo(QStringLiteral("Mensagem")).toString(), valor);
        QCOMPARE(log.Campo(QStringLiteral("ID_Usuario")).toInt(), id);
        QCOMPARE(Snapshot(QStringLiteral("Select * From Usuarios")).RecordCount(), 2);
    }

    void contadoresEGrupos() {
        AmbienteDeTeste ambiente;
        QVERIFY(ambiente.AbreBancoVazio());
        const qint32 ana = CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("111"));
        const qint32 bia = CadastraUsuario(QStringLiteral("Bia"), QStringLiteral("222"));
        const qint32 grupo = CadastraGrupo(QStringLiteral("Plantão"), {bia, ana});
        QCOMPARE(Nomes(Snapshot(Consultas::MembrosDoGrupo, {grupo}), QStringLiteral("ID_Usuario")).size(), 2);
        // The identifier of a deleted row is never given again, not even after reopening.
        QVERIFY(Executa(QStringLiteral("Delete From Usuarios")));
        QVERIFY(AbreBancoDeDados(QStringLiteral("Pager.Mdb"), ambiente.Diretorio()));
        QVERIFY(CadastraUsuario(QStringLiteral("Caio"), QStringLiteral("3")) > bia);
        // A closed database refuses everything without failing hard.
        FechaBancoDeDados();
        QVERIFY(Snapshot(Consultas::ListaUsuarios).Eof());
        QString erro;
        QVERIFY(!Executa(QStringLiteral("Delete From Usuarios"), {}, &erro) && !erro.isEmpty());
        QVERIFY(!CriaBancoVazio(ambiente.Diretorio() + QStringLiteral("/Pager.Mdb"), &erro));
        QVERIFY(erro.contains(QStringLiteral("já existe")));
    }
};

QTEST_GUILESS_MAIN(tst_BancoDeDados)
#include "tst_BancoDeDados.moc"
