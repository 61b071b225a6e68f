#pragma once
// The PostgreSQL server of a test run (scripts/postgresql.sh, which scripts/test.sh runs ctest
// under): BIPVOX_PG_TESTE holds its connection line, "host=127.0.0.1 port=N user=bipvox", and
// BIPVOX_PG_EXIGIDO=1 makes a test that cannot reach it fail instead of skip.
#include "store/PostgreSQL.h"

#include <QSqlDatabase>
#include <QString>
#include <QtTest>

// The server BIPVOX_PG_TESTE names, database banco; nothing when the variable is unset or malformed.
std::optional<ConexaoPostgreSQL> ServidorDeTeste(const QString& banco = QStringLiteral("postgres"));
// Whether that server takes a connection; if not, why and how to have one.
bool PostgreSQLDisponivel(QString* motivo = nullptr);
// A new empty UTF-8 database with a unique name on that server: its name, or empty and why.
QString NovoBancoPostgreSQL(QString* erro = nullptr);
// Drops a database NovoBancoPostgreSQL made, closing whatever connection still uses it.
void ApagaBancoPostgreSQL(const QString& banco);
// A QPSQL connection (not yet open) named conexao to database banco on that server.
QSqlDatabase ConexaoDeTeste(const QString& banco, const QString& conexao);
inline bool PostgreSQLExigido() {
    return qgetenv("BIPVOX_PG_EXIGIDO") == "1";
}

// First thing in a test (or row) that needs the server: without it the test is skipped, or
// failed where the server is required (the whole suite run by scripts/test.sh).
#define EXIGE_POSTGRESQL()                                                                                   \
    do {                                                                                                     \
        QString motivo_;                                                                                     \
        if (!PostgreSQLDisponivel(&motivo_)) {                                                               \
            if (PostgreSQLExigido())                                                                         \
                QFAIL(qPrintable(motivo_));                                                                  \
            QSKIP(qPrintable(motivo_));                                                                      \
        }                                                                                                    \
    } while (false)
