#include "store/Esquema.h"

#include "store/SQLiteNativo.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <memory>
#include <sqlite3.h>

// The schema is compiled into this static library; outside any namespace, as Qt requires.
static void CarregaRecursoDoEsquema() {
    Q_INIT_RESOURCE(esquema);
}

namespace {

struct FechaHandle {
    void operator()(sqlite3* handle) const { sqlite3_close(handle); }
};
using HandleUnico = std::unique_ptr<sqlite3, FechaHandle>;

bool ExecutaTexto(sqlite3* handle, const QByteArray& sql, QString& motivo) {
    char* mensagem = nullptr;
    if (sqlite3_exec(handle, sql.constData(), nullptr, nullptr, &mensagem) == SQLITE_OK)
        return true;
    motivo = QString::fromUtf8(mensagem ? mensagem : sqlite3_errmsg(handle));
    sqlite3_free(mensagem);
    return false;
}

bool Falha(QString* erro, const QString& texto) {
    if (erro)
        *erro = texto;
    return false;
}

} // namespace

QString EsquemaSQL() {
    static const bool carregado = (CarregaRecursoDoEsquema(), true);
    Q_UNUSED(carregado);
    QFile arquivo(QStringLiteral(":/store/esquema.sql"));
    if (!arquivo.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(arquivo.readAll());
}

void GaranteIndices(const QSqlDatabase& banco) {
    sqlite3* handle = HandleNativo(banco);
    if (!handle)
        return;
    QString motivo;
    const QStringList comandos = EsquemaSQL().split(QLatin1Char(';'));
    for (const QString& comando : comandos)
        if (comando.contains(QLatin1String("CREATE INDEX IF NOT EXISTS")))
            ExecutaTexto(handle, comando.toUtf8(), motivo);
}

bool AtualizaTabelaLog(const QSqlDatabase& banco, QString* erro) {
    sqlite3* handle = HandleNativo(banco);
    if (!handle)
        return Falha(erro, QStringLiteral("o banco de dados não está aberto"));
    const auto temColuna = [handle] {
        sqlite3_stmt* consulta = nullptr;
        bool tem = false;
        if (sqlite3_prepare_v2(handle, "Select 1 From pragma_table_info('Log') Where name = 'Situacao'", -1,
                               &consulta, nullptr) == SQLITE_OK)
            tem = sqlite3_step(consulta) == SQLITE_ROW;
        sqlite3_finalize(consulta);
        return tem;
    };
    if (temColuna())
        return true;
    QString motivo;
    // Checked again inside the write lock: another program may have just done it.
    const bool feito =
        ExecutaTexto(handle, "BEGIN IMMEDIATE", motivo) &&
        (temColuna() ||
         (ExecutaTexto(handle, "ALTER TABLE Log ADD COLUMN Situacao TEXT NOT NULL DEFAULT 'entregue'",
                       motivo) &&
          ExecutaTexto(handle, "ALTER TABLE Log ADD COLUMN Motivo TEXT NOT NULL DEFAULT ''", motivo))) &&
        ExecutaTexto(handle, "COMMIT", motivo);
    if (!feito) {
        QString ignorado;
        ExecutaTexto(handle, "ROLLBACK", ignorado);
        return Falha(erro, motivo);
    }
    return true;
}

bool RegistraColacao(const QSqlDatabase& banco) {
    return RegistraColacaoNome(HandleNativo(banco));
}

bool CriaBancoVazio(const QString& caminho, QString* erro) {
    const QString esquema = EsquemaSQL();
    if (esquema.isEmpty())
        return Falha(erro, QStringLiteral("O esquema do banco de dados não está disponível."));
    if (QFileInfo(caminho).exists())
        return Falha(erro, QStringLiteral("O arquivo \"%1\" já existe.").arg(caminho));

    // NewOnly creates the file atomically, so a file that appears meanwhile is never overwritten.
    {
        QFile novo(caminho);
        if (!novo.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return Falha(erro, QStringLiteral("Não foi possível criar o arquivo \"%1\".").arg(caminho));
    }

    QString motivo;
    bool criado = false;
    {
        sqlite3* aberto = nullptr;
        const int resultado =
            sqlite3_open_v2(caminho.toUtf8().constData(), &aberto, SQLITE_OPEN_READWRITE, nullptr);
        HandleUnico handle(aberto);
        if (resultado != SQLITE_OK)
            motivo = QString::fromUtf8(aberto ? sqlite3_errmsg(aberto) : sqlite3_errstr(resultado));
        else if (!RegistraColacaoNome(handle.get())) // the tables declare it
            motivo = QStringLiteral("a colação de nomes não pôde ser registrada");
        else if (ExecutaTexto(handle.get(), "BEGIN", motivo)) {
            criado = ExecutaTexto(handle.get(), esquema.toUtf8(), motivo) &&
                     ExecutaTexto(handle.get(), "COMMIT", motivo);
        }
    }
    if (!criado) {
        QFile::remove(caminho); // the file is ours: it did not exist before this call
        return Falha(erro,
                     QStringLiteral("Não foi possível criar as tabelas em \"%1\": %2").arg(caminho, motivo));
    }
    return true;
}
