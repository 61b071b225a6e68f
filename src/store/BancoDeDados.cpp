#include "store/BancoDeDados.h"

#include "store/Esquema.h"
#include "store/SQLiteNativo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>

#include <sqlite3.h>

namespace {

QString NomeDaConexao() {
    return QStringLiteral("Bipvox.Pager.Mdb");
}

struct TabelaDoPrograma {
    const char* nome;
    const char* colunas;
};
constexpr TabelaDoPrograma TabelasDoPrograma[] = {
    {"Usuarios", "ID_Usuario Nome_Usuario ID_Pager Descricao Data_Cadastro"},
    {"Grupos", "ID_Grupo Nome_Grupo Descricao_Grupo"},
    {"Usuario_Grupo", "ID_Usuario ID_Grupo"},
    {"Log", "Data Hora Usuario Mensagem ID_Pager ID_Usuario"},
};

// Anything else (an old Access file, a text file, an empty file) is refused before SQLite
// is given the chance to treat it as a new database. So is a file whose header asks for a
// newer writer (bytes 18 and 19 above 2): SQLite would open it and refuse every write.
bool TemCabecalhoSQLite(const QString& caminho) {
    static const QByteArray cabecalho("SQLite format 3\0", 16);
    QFile arquivo(caminho);
    if (!arquivo.open(QIODevice::ReadOnly))
        return false;
    const QByteArray inicio = arquivo.read(20);
    const auto versaoConhecida = [&inicio](int i) { return inicio[i] == 1 || inicio[i] == 2; };
    return inicio.size() == 20 && inicio.startsWith(cabecalho) && versaoConhecida(18) && versaoConhecida(19);
}

// mode=rw lets SQLite open the file but never create it, even if it vanishes meanwhile.
QString UriSemCriacao(const QString& caminho) {
    return QUrl::fromLocalFile(caminho).toString(QUrl::FullyEncoded) + QStringLiteral("?mode=rw");
}

bool TemAsTabelas(const QSqlDatabase& banco) {
    for (const TabelaDoPrograma& tabela : TabelasDoPrograma) {
        const QSqlRecord registro = banco.record(QLatin1String(tabela.nome));
        const QStringList colunas = QString::fromLatin1(tabela.colunas).split(QLatin1Char(' '));
        for (const QString& coluna : colunas)
            if (!registro.contains(coluna))
                return false;
    }
    return true;
}

// A write-protected file would open read-only and silently refuse every record saved later.
bool Gravavel(const QSqlDatabase& banco) {
    return sqlite3_db_readonly(HandleNativo(banco), "main") == 0;
}

// A write-ahead log makes each history row one append to the -wal file instead of a journal
// file made and removed with several flushes. Every committed row survives the program being
// killed; synchronous=NORMAL leaves the flush to the checkpoint (ConsolidaBancoDeDados), so a
// power cut can lose the rows written since then, never damage the file. Where the file system
// cannot share the log (a network folder), the usual journal with full flushes stays.
void EscolheDiario(const QSqlDatabase& banco) {
    QSqlQuery modo(banco);
    const bool wal = modo.exec(QStringLiteral("PRAGMA journal_mode=WAL")) && modo.next() &&
                     modo.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0;
    modo.finish();
    QSqlQuery(banco).exec(wal ? QStringLiteral("PRAGMA synchronous=NORMAL")
                              : QStringLiteral("PRAGMA synchronous=FULL"));
}

bool Integro(const QSqlDatabase& banco) {
    QSqlQuery verificacao(banco);
    return verificacao.exec(QStringLiteral("PRAGMA quick_check")) && verificacao.next() &&
           verificacao.value(0).toString() == QLatin1String("ok");
}

} // namespace

bool AbreBancoDeDados(const QString& arquivo, const QString& diretorio) {
    FechaBancoDeDados();
    const QString pasta = diretorio.isEmpty() ? QCoreApplication::applicationDirPath() : diretorio;
    const QString caminho = QDir(pasta).absoluteFilePath(arquivo);
    if (!QFileInfo(caminho).isFile() || !TemCabecalhoSQLite(caminho))
        return false;

    bool pronto = false;
    {
        QSqlDatabase banco = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), NomeDaConexao());
        banco.setDatabaseName(UriSemCriacao(caminho));
        banco.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=5000"));
        pronto = banco.open() && RegistraColacao(banco) && Gravavel(banco) && TemAsTabelas(banco) &&
                 Integro(banco) && AtualizaTabelaLog(banco);
        if (pronto)
            EscolheDiario(banco);
    }
    if (!pronto)
        FechaBancoDeDados();
    else
        GaranteIndices(BancoDeDados());
    return pronto;
}

void FechaBancoDeDados() {
    if (!QSqlDatabase::contains(NomeDaConexao()))
        return;
    {
        QSqlDatabase banco = QSqlDatabase::database(NomeDaConexao(), false);
        banco.close();
    }
    QSqlDatabase::removeDatabase(NomeDaConexao());
}

bool ConsolidaBancoDeDados() {
    if (!BancoDeDadosAberto())
        return false;
    QSqlQuery checkpoint(BancoDeDados());
    return checkpoint.exec(QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)"));
}

bool BancoDeDadosAberto() {
    return QSqlDatabase::contains(NomeDaConexao()) && QSqlDatabase::database(NomeDaConexao(), false).isOpen();
}

QSqlDatabase BancoDeDados() {
    if (!QSqlDatabase::contains(NomeDaConexao()))
        return {};
    return QSqlDatabase::database(NomeDaConexao(), false);
}

QString PastaDoBancoDeDados() {
    if (!BancoDeDadosAberto())
        return {};
    return QFileInfo(QUrl(BancoDeDados().databaseName()).toLocalFile()).absolutePath();
}
