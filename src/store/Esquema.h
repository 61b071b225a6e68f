#pragma once
// The four tables of Pager.Mdb, from the one schema text (store/esquema.sql), and the schema
// version kept in the file (PRAGMA user_version): 0 for files made before it was kept.
#include <QSqlDatabase>
#include <QString>

struct sqlite3;

// Version 1: no collation of the program's own in the schema (any SQLite tool can write the file);
// 2: the tables of keys hold the names too, in key order; 3: Log says who asked for each page.
constexpr int VersaoDoEsquema = 3;

// The schema with CHAVE(column) expanded to the name key (store/ChaveDeOrdem.h).
QString EsquemaSQL();
// The same tables for a PostgreSQL server (store/esquema-postgresql.sql), keys expanded likewise.
QString EsquemaPostgreSQL();
// The file's schema version; -1 when it cannot be read.
int VersaoDoArquivo(sqlite3* handle);
// Brings a file of an older version to VersaoDoEsquema in one transaction, its rows kept
// (counters included). False, with the reason, when it cannot; then nothing has changed.
bool AtualizaEsquema(sqlite3* handle, QString* erro = nullptr);
// Makes again the schema's indexes and triggers that a tool removed, and gives a key to the names
// written meanwhile. A database that cannot take them (locked) stays usable.
void GaranteIndicesEChaves(const QSqlDatabase& banco);
// Registers the collation that files of version 0 declare (Portuguese order, case-insensitive
// equality), so they can be read and upgraded.
bool RegistraColacao(const QSqlDatabase& banco);
// Creates an empty database file with the four tables. False if the file already exists
// or cannot be written.
bool CriaBancoVazio(const QString& caminho, QString* erro = nullptr);
