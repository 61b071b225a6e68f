#include "store/Esquema.h"

#include "store/ChaveDeOrdem.h"
#include "store/SQLiteNativo.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

#include <array>
#include <memory>
#include <sqlite3.h>
#include <utility>

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

constexpr const char* Tabelas[] = {"Usuarios", "Grupos", "Usuario_Grupo", "Log"};

// Rewriting a name fires the triggers that give it its key.
constexpr const char* TodasAsChaves =
    "Delete From Usuarios_Chave; Update Usuarios Set Nome_Usuario = Nome_Usuario;"
    "Delete From Grupos_Chave; Update Grupos Set Nome_Grupo = Nome_Grupo;"
    "Update Log Set Usuario = Usuario";

// The part of the schema made again, when missing, at each opening: key tables, indexes, triggers.
QString ParteReparavel() {
    const QString esquema = EsquemaSQL();
    return esquema.mid(esquema.indexOf(QLatin1String("CREATE TABLE IF NOT EXISTS")));
}

// DROP INDEX for every index of the program's tables (the old ones use the old collation).
QByteArray IndicesDasTabelas(sqlite3* handle, QString& motivo) {
    QByteArray comandos;
    sqlite3_stmt* consulta = nullptr;
    if (sqlite3_prepare_v2(handle,
                           "Select name From sqlite_master Where type = 'index' And sql Is Not Null And "
                           "tbl_name In ('Usuarios', 'Grupos', 'Usuario_Grupo', 'Log')",
                           -1, &consulta, nullptr) != SQLITE_OK) {
        motivo = QString::fromUtf8(sqlite3_errmsg(handle));
        return "SELECT no_such_column"; // fails, with SQLite's reason
    }
    while (sqlite3_step(consulta) == SQLITE_ROW)
        comandos +=
            "DROP INDEX \"" +
            QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(consulta, 0))).replace('"', "\"\"") +
            "\";";
    sqlite3_finalize(consulta);
    return comandos;
}

struct Coluna {
    QString nome;
    QString padrao; // SQL text
    bool chave = false;
};

QList<Coluna> ColunasDe(sqlite3* handle, const QString& tabela) {
    QList<Coluna> colunas;
    sqlite3_stmt* consulta = nullptr;
    const QByteArray sql =
        "Select name, type, dflt_value, pk, \"notnull\" From pragma_table_info('" + tabela.toUtf8() + "')";
    if (sqlite3_prepare_v2(handle, sql.constData(), -1, &consulta, nullptr) == SQLITE_OK)
        while (sqlite3_step(consulta) == SQLITE_ROW) {
            const auto texto = [consulta](int i) {
                return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(consulta, i)));
            };
            Coluna coluna{texto(0), texto(2), sqlite3_column_int(consulta, 3) != 0};
            if (coluna.padrao.isEmpty())
                coluna.padrao = sqlite3_column_int(consulta, 4) == 0 ? QStringLiteral("NULL")
                                : texto(1).contains(QLatin1String("INT"), Qt::CaseInsensitive)
                                    ? QStringLiteral("0")
                                    : QStringLiteral("''");
            colunas.append(coluna);
        }
    sqlite3_finalize(consulta);
    return colunas;
}

// Rows of tabela_v0 into the new tabela: a missing or null value takes the column's default; the
// counter goes on from where the old table's stood, so no identifier is ever given twice.
QString CopiaDaTabela(sqlite3* handle, const QString& tabela) {
    const QString antiga = tabela + QStringLiteral("_v0");
    QStringList existentes;
    for (const Coluna& c : ColunasDe(handle, antiga))
        existentes << c.nome;
    QStringList nomes, valores;
    for (const Coluna& c : ColunasDe(handle, tabela)) {
        if (!existentes.contains(c.nome, Qt::CaseInsensitive) && c.chave)
            continue;
        nomes << c.nome;
        valores << (!existentes.contains(c.nome, Qt::CaseInsensitive)
                        ? c.padrao
                        : (c.chave ? c.nome : QStringLiteral("coalesce(%1, %2)").arg(c.nome, c.padrao)));
    }
    return QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %4 ORDER BY rowid;"
                          "DELETE FROM sqlite_sequence WHERE name = '%1';"
                          "UPDATE sqlite_sequence SET name = '%1' WHERE name = '%4';"
                          "DROP TABLE %4;")
        .arg(tabela, nomes.join(QLatin1Char(',')), valores.join(QLatin1Char(',')), antiga);
}

} // namespace

namespace {
// A schema text of the resources with CHAVE(x) expanded by the engine's key expression.
QString TextoDoEsquema(const QString& recurso, QString (*chave)(const QString&)) {
    static const bool carregado = (CarregaRecursoDoEsquema(), true);
    Q_UNUSED(carregado);
    QFile arquivo(recurso);
    if (!arquivo.open(QIODevice::ReadOnly))
        return {};
    QString texto = QString::fromUtf8(arquivo.readAll());
    static const QRegularExpression marca(QStringLiteral("CHAVE\\(([\\w.]+)\\)"));
    for (QRegularExpressionMatch achado = marca.match(texto); achado.hasMatch(); achado = marca.match(texto))
        texto.replace(achado.capturedStart(), achado.capturedLength(), chave(achado.captured(1)));
    return texto;
}
} // namespace

QString EsquemaSQL() {
    return TextoDoEsquema(QStringLiteral(":/store/esquema.sql"), ChaveDeOrdemSQL);
}

QString EsquemaPostgreSQL() {
    return TextoDoEsquema(QStringLiteral(":/store/esquema-postgresql.sql"), ChaveDeOrdemPostgreSQL);
}

int VersaoDoArquivo(sqlite3* handle) {
    sqlite3_stmt* consulta = nullptr;
    int versao = -1;
    if (handle && sqlite3_prepare_v2(handle, "PRAGMA user_version", -1, &consulta, nullptr) == SQLITE_OK &&
        sqlite3_step(consulta) == SQLITE_ROW)
        versao = sqlite3_column_int(consulta, 0);
    sqlite3_finalize(consulta);
    return versao;
}

void GaranteIndicesEChaves(const QSqlDatabase& banco) {
    sqlite3* handle = HandleNativo(banco);
    QString motivo;
    // Without all the triggers, keys may be stale: they are all made again.
    sqlite3_stmt* consulta = nullptr;
    const bool gatilhos =
        handle &&
        sqlite3_prepare_v2(handle, "Select count(*) From sqlite_master Where type = 'trigger'", -1, &consulta,
                           nullptr) == SQLITE_OK &&
        sqlite3_step(consulta) == SQLITE_ROW &&
        sqlite3_column_int(consulta, 0) >= EsquemaSQL().count(QLatin1String("CREATE TRIGGER"));
    sqlite3_finalize(consulta);
    if (!handle || !ExecutaTexto(handle, ParteReparavel().toUtf8(), motivo))
        return;
    if (!gatilhos)
        ExecutaTexto(handle, TodasAsChaves, motivo);
    // Rows written while the triggers were missing: rewriting the name fires them.
    const std::array<std::pair<const char*, const char*>, 3> reparos = {{
        {"Select (Select count(*) From Usuarios) <> (Select count(*) From Usuarios_Chave)",
         "Delete From Usuarios_Chave Where ID_Usuario Not In (Select ID_Usuario From Usuarios);"
         "Update Usuarios Set Nome_Usuario = Nome_Usuario "
         "Where ID_Usuario Not In (Select ID_Usuario From Usuarios_Chave)"},
        {"Select (Select count(*) From Grupos) <> (Select count(*) From Grupos_Chave)",
         "Delete From Grupos_Chave Where ID_Grupo Not In (Select ID_Grupo From Grupos);"
         "Update Grupos Set Nome_Grupo = Nome_Grupo Where ID_Grupo Not In (Select ID_Grupo From "
         "Grupos_Chave)"},
        {"Select Count(*) From (Select 1 From Log Where Chave_Usuario Is Null Limit 1)",
         "Update Log Set Usuario = Usuario Where Chave_Usuario Is Null"},
    }};
    for (const auto& [falta, reparo] : reparos) {
        sqlite3_stmt* consulta = nullptr;
        const bool faltou = sqlite3_prepare_v2(handle, falta, -1, &consulta, nullptr) == SQLITE_OK &&
                            sqlite3_step(consulta) == SQLITE_ROW && sqlite3_column_int(consulta, 0) != 0;
        sqlite3_finalize(consulta);
        if (faltou)
            ExecutaTexto(handle, reparo, motivo);
    }
}

bool AtualizaEsquema(sqlite3* handle, QString* erro) {
    if (!handle)
        return Falha(erro, QStringLiteral("o banco de dados não está aberto"));
    QString motivo;
    // Checked again inside the write lock: another program may have just done it.
    bool feito = ExecutaTexto(handle, "BEGIN IMMEDIATE", motivo);
    const int versao = feito ? VersaoDoArquivo(handle) : -1;
    if (feito && versao == 1) {
        // Version 1 kept only the keys, ordered by an index: the tables of keys are made again.
        feito =
            ExecutaTexto(
                handle,
                "DROP TABLE IF EXISTS Usuarios_Chave; DROP TABLE IF EXISTS Grupos_Chave;"
                "DROP TRIGGER IF EXISTS Usuarios_Chave_Nova; DROP TRIGGER IF EXISTS Usuarios_Chave_Alterada;"
                "DROP TRIGGER IF EXISTS Usuarios_Chave_Excluida; DROP TRIGGER IF EXISTS Grupos_Chave_Nova;"
                "DROP TRIGGER IF EXISTS Grupos_Chave_Alterada; DROP TRIGGER IF EXISTS Grupos_Chave_Excluida;",
                motivo) &&
            ExecutaTexto(handle, ParteReparavel().toUtf8(), motivo) &&
            ExecutaTexto(handle,
                         "Update Usuarios Set Nome_Usuario = Nome_Usuario; Update Grupos Set Nome_Grupo = "
                         "Nome_Grupo",
                         motivo);
    }
    if (feito && (versao == 1 || versao == 2)) {
        // The rows already there get an empty source: nobody knows who asked for them.
        feito = ExecutaTexto(handle, "ALTER TABLE Log ADD COLUMN Origem TEXT NOT NULL DEFAULT ''", motivo) &&
                ExecutaTexto(handle, QStringLiteral("PRAGMA user_version = %1").arg(VersaoDoEsquema).toUtf8(),
                             motivo);
    } else if (feito && versao < VersaoDoEsquema) {
        // Version 0 declared the NOME collation: each table is made again from the schema and
        // its rows copied over, in the columns both have (an older Log lacks the outcome).
        feito = ExecutaTexto(handle, IndicesDasTabelas(handle, motivo), motivo);
        for (const char* tabela : Tabelas)
            feito = feito &&
                    ExecutaTexto(
                        handle,
                        QStringLiteral("ALTER TABLE %1 RENAME TO %1_v0").arg(QLatin1String(tabela)).toUtf8(),
                        motivo);
        feito = feito && ExecutaTexto(handle, EsquemaSQL().toUtf8(), motivo);
        for (const char* tabela : Tabelas)
            feito =
                feito && ExecutaTexto(handle, CopiaDaTabela(handle, QLatin1String(tabela)).toUtf8(), motivo);
        feito = feito &&
                ExecutaTexto(handle, QStringLiteral("PRAGMA user_version = %1").arg(VersaoDoEsquema).toUtf8(),
                             motivo);
    }
    feito = feito && ExecutaTexto(handle, "COMMIT", motivo);
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
        else if (ExecutaTexto(handle.get(), "BEGIN", motivo)) {
            criado = ExecutaTexto(handle.get(), esquema.toUtf8(), motivo) &&
                     ExecutaTexto(handle.get(),
                                  QStringLiteral("PRAGMA user_version = %1").arg(VersaoDoEsquema).toUtf8(),
                                  motivo) &&
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
