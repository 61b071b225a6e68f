#include "store/BancoDeDados.h"

#include "store/Esquema.h"
#include "store/PostgreSQL.h"
#include "store/SQLiteNativo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>

#include <sqlite3.h>

namespace {

const QString kConexaoPrincipal = QStringLiteral("Bipvox.Pager.Mdb");

// An SQLite connection belongs to the thread that opened it: a thread other than the program's
// own gets a connection of its own to the same file.
QString NomeDaConexao() {
    const QCoreApplication* aplicacao = QCoreApplication::instance();
    if (!aplicacao || QThread::currentThread() == aplicacao->thread())
        return kConexaoPrincipal;
    // Made once per thread: every statement asks for it (the SNPP thread, several per command).
    thread_local const QString propria =
        kConexaoPrincipal + QStringLiteral(".%1").arg(quintptr(QThread::currentThreadId()));
    return propria;
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

// An exact copy (SQLite's backup: the write-ahead log included), never over an existing file.
QString GuardaCopia(sqlite3* origem, const QString& caminho, int versao) {
    for (int n = 1; n < 100; ++n) {
        const QString copia = caminho + QStringLiteral(".versao%1%2.bak")
                                            .arg(versao)
                                            .arg(n == 1 ? QString() : QStringLiteral("-%1").arg(n));
        QFile novo(copia);
        if (QFileInfo(copia).exists() || QFileInfo(copia).isSymLink() || !novo.open(QIODevice::NewOnly))
            continue;
        novo.close();
        sqlite3* destino = nullptr;
        bool ok = sqlite3_open_v2(copia.toUtf8().constData(), &destino, SQLITE_OPEN_READWRITE, nullptr) ==
                  SQLITE_OK;
        sqlite3_backup* copiador = ok ? sqlite3_backup_init(destino, "main", origem, "main") : nullptr;
        ok = copiador && sqlite3_backup_step(copiador, -1) == SQLITE_DONE;
        ok = sqlite3_backup_finish(copiador) == SQLITE_OK && ok;
        ok = sqlite3_close(destino) == SQLITE_OK && ok;
        if (ok)
            return copia;
        QFile::remove(copia);
        return {};
    }
    return {};
}

// This thread's kept statements. The program thread's are never destroyed, so none outlives its
// connection at exit; another thread's go with the thread (or with FechaBancoDeDados before it).
QHash<QString, QSqlQuery>& Guardados() {
    if (NomeDaConexao() == kConexaoPrincipal) {
        static auto* guardados = new QHash<QString, QSqlQuery>;
        return *guardados;
    }
    thread_local QHash<QString, QSqlQuery> daLinha;
    return daLinha;
}

bool Integro(const QSqlDatabase& banco) {
    QSqlQuery verificacao(banco);
    return verificacao.exec(QStringLiteral("PRAGMA quick_check")) && verificacao.next() &&
           verificacao.value(0).toString() == QLatin1String("ok");
}

} // namespace

bool AbreBancoDeDados(const QString& arquivo, const QString& diretorio, QString* erro, QString* aviso) {
    FechaBancoDeDados();
    QString motivo;
    const QString pasta = diretorio.isEmpty() ? QCoreApplication::applicationDirPath() : diretorio;
    const QString caminho = QDir(pasta).absoluteFilePath(arquivo);
    if (!QFileInfo(caminho).isFile() || !TemCabecalhoSQLite(caminho))
        return false;

    bool pronto = false;
    {
        QSqlDatabase banco = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), NomeDaConexao());
        banco.setDatabaseName(UriSemCriacao(caminho));
        banco.setConnectOptions(
            QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(EsperaPeloBancoMs));
        pronto = banco.open() && RegistraColacao(banco);
        sqlite3* handle = pronto ? HandleNativo(banco) : nullptr;
        const int versao = VersaoDoArquivo(handle);
        if (pronto && versao > VersaoDoEsquema) {
            pronto = false;
            motivo =
                QStringLiteral("O arquivo %1 é de uma versão mais nova do Bipvox (esquema %2; esta versão "
                               "conhece até o esquema %3) e não foi alterado. Use a versão mais nova do "
                               "programa.")
                    .arg(QDir::toNativeSeparators(caminho))
                    .arg(versao)
                    .arg(VersaoDoEsquema);
        }
        pronto = pronto && versao >= 0 && Gravavel(banco) && TemAsTabelas(banco) && Integro(banco);
        if (pronto && versao < VersaoDoEsquema) {
            const QString copia = GuardaCopia(handle, caminho, versao);
            if (copia.isEmpty())
                motivo = QStringLiteral("Não foi possível guardar uma cópia de %1 antes de atualizá-lo para "
                                        "esta versão do Bipvox; nada foi alterado.")
                             .arg(QDir::toNativeSeparators(caminho));
            else if (!AtualizaEsquema(handle, &motivo))
                motivo = QStringLiteral("Não foi possível atualizar %1 para esta versão do Bipvox (%2); nada "
                                        "foi alterado. Uma cópia ficou em %3.")
                             .arg(QDir::toNativeSeparators(caminho), motivo, QDir::toNativeSeparators(copia));
            else if (aviso)
                *aviso = QStringLiteral("O arquivo de dados %1 foi atualizado para esta versão do Bipvox; "
                                        "uma cópia de como ele estava ficou em %2.")
                             .arg(QDir::toNativeSeparators(caminho), QDir::toNativeSeparators(copia));
            pronto = !copia.isEmpty() && motivo.isEmpty();
        }
        if (pronto)
            EscolheDiario(banco);
    }
    if (erro)
        *erro = motivo;
    if (!pronto)
        FechaBancoDeDados();
    else
        GaranteIndicesEChaves(BancoDeDados());
    return pronto;
}

bool AbreBancoPostgreSQL(const ConexaoPostgreSQL& conexao, QString* erro) {
    FechaBancoDeDados();
    bool pronto = false;
    {
        QSqlDatabase banco = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), NomeDaConexao());
        pronto = ConectaPostgreSQL(banco, conexao, erro);
        if (pronto && NomeDaConexao() == kConexaoPrincipal)
            OuveAvisosDaFila(banco);
    }
    if (!pronto)
        FechaBancoDeDados();
    return pronto;
}

Motor MotorDoBanco() {
    // This thread's own connection: another thread's cannot be looked at.
    return BancoDeDados().driverName() == QLatin1String("QPSQL") ? Motor::PostgreSQL : Motor::SQLite;
}

QString IdentidadeDoBanco() {
    if (!BancoDeDadosAberto())
        return {};
    const QSqlDatabase banco = BancoDeDados();
    if (MotorDoBanco() == Motor::PostgreSQL)
        return QStringLiteral("postgresql://%1:%2/%3")
            .arg(banco.hostName())
            .arg(banco.port())
            .arg(banco.databaseName());
    const QString caminho = QUrl(banco.databaseName()).toLocalFile();
    const QString real = QFileInfo(caminho).canonicalFilePath();
    return real.isEmpty() ? caminho : real;
}

QString NoBancoDeDados(const QString& noArquivo) {
    if (MotorDoBanco() == Motor::PostgreSQL) {
        const QSqlDatabase banco = BancoDeDados();
        return QStringLiteral("no servidor PostgreSQL %1:%2").arg(banco.hostName()).arg(banco.port());
    }
    return QStringLiteral("no arquivo de dados (Pager.Mdb)") +
           (noArquivo.isEmpty() ? QString() : QStringLiteral("; ") + noArquivo);
}

QString MotivoSemBanco() {
    const QString servidor = MotorDoBanco() == Motor::PostgreSQL ? MotivoSemServidor() : QString();
    return servidor.isEmpty() ? QStringLiteral("O banco de dados não está aberto.") : servidor;
}

qint64 VersaoDosDados() {
    if (MotorDoBanco() == Motor::PostgreSQL) {
        QSqlDatabase banco = BancoDeDados();
        return banco.isOpen() ? AvisosDaFila(banco) : -1;
    }
    QSqlQuery q(BancoDeDados());
    return q.exec(QStringLiteral("PRAGMA data_version")) && q.next() ? q.value(0).toLongLong() : -1;
}

QString TextoDoErro(const QSqlError& erro) {
    if (MotorDoBanco() != Motor::PostgreSQL)
        return erro.text();
    QString texto = erro.databaseText().isEmpty() ? erro.text() : erro.databaseText();
    texto = texto.section(QLatin1Char('\n'), 0, 0).trimmed();
    if (texto.startsWith(QLatin1String("ERROR:")))
        texto = texto.mid(6).trimmed();
    const QSqlDatabase banco = QSqlDatabase::database(NomeDaConexao(), false);
    return QStringLiteral("servidor PostgreSQL %1:%2: %3").arg(banco.hostName()).arg(banco.port()).arg(texto);
}

QString JuntaSQL(const QString& expressao, const QString& separador) {
    return MotorDoBanco() == Motor::PostgreSQL
               ? QStringLiteral("string_agg(Cast(%1 As Text), %2)").arg(expressao, separador)
               : QStringLiteral("group_concat(%1, %2)").arg(expressao, separador);
}

QString UltimoContadorSQL() {
    return MotorDoBanco() == Motor::PostgreSQL ? QStringLiteral("lastval()")
                                               : QStringLiteral("last_insert_rowid()");
}

void FechaBancoDeDados() {
    Guardados().clear();
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
    if (MotorDoBanco() == Motor::PostgreSQL)
        return true; // the server's commits are on its disk already
    QSqlQuery checkpoint(BancoDeDados());
    return checkpoint.exec(QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)"));
}

bool BancoDeDadosAberto() {
    return BancoDeDados().isOpen();
}

QSqlDatabase BancoDeDados() {
    const QString nome = NomeDaConexao();
    if (QSqlDatabase::contains(nome)) {
        QSqlDatabase banco = QSqlDatabase::database(nome, false);
        // A server that went away is connected to again here, before the next statement; the
        // statements kept for the old connection go with it.
        if (banco.driverName() == QLatin1String("QPSQL") && !ConexaoViva(banco)) {
            Guardados().clear();
            ReconectaSePerdida(banco);
        }
        return banco;
    }
    if (nome == kConexaoPrincipal || !QSqlDatabase::contains(kConexaoPrincipal))
        return {};
    {
        // The program's connection cannot be looked at from here, only copied.
        QSqlDatabase copia = QSqlDatabase::cloneDatabase(kConexaoPrincipal, nome);
        // Such a thread tells a client "queued" when its commit returns (SNPP's 250): every
        // commit goes to the disk, whatever the program's own connection does (a server's always
        // does).
        const bool servidor = copia.driverName() == QLatin1String("QPSQL");
        if (copia.open() && (servidor || (RegistraColacao(copia) &&
                                          QSqlQuery(copia).exec(QStringLiteral("PRAGMA synchronous=FULL")))))
            return copia;
    }
    QSqlDatabase::removeDatabase(nome);
    return {};
}

QString PastaDoBancoDeDados() {
    if (!BancoDeDadosAberto())
        return {};
    if (MotorDoBanco() == Motor::PostgreSQL) {
        const QString pasta =
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/bipvox");
        QDir().mkpath(pasta);
        return pasta;
    }
    return QFileInfo(QUrl(BancoDeDados().databaseName()).toLocalFile()).absolutePath();
}

QSqlQuery* ComandoGuardado(const QString& sql) {
    if (!BancoDeDadosAberto())
        return nullptr;
    auto guardado = Guardados().find(sql);
    if (guardado == Guardados().end()) {
        QSqlQuery comando(BancoDeDados());
        if (!comando.prepare(sql))
            return nullptr;
        guardado = Guardados().insert(sql, comando);
    }
    return &guardado.value();
}
