#pragma once
// The native SQLite side of the store: the driver's handle and the NOME collation.
#include <QCollator>
#include <QSqlDatabase>

struct sqlite3;

// The sqlite3 handle behind an open QSQLITE connection, or null for any other connection.
sqlite3* HandleNativo(const QSqlDatabase& banco);

// The collator behind NOME: Portuguese order, case-insensitive.
QCollator ColadorDeNomes();

// Registers the NOME collation on a handle: names in Portuguese alphabetical order,
// equal when they differ only in the case of letters.
bool RegistraColacaoNome(sqlite3* handle);
