#pragma once
// The four tables of Pager.Mdb, from the one schema text (store/esquema.sql).
#include <QSqlDatabase>
#include <QString>

QString EsquemaSQL();
// Adds the schema's indexes to a database made before them; they only speed up the lists, so
// a database that cannot take them (read-only, locked) stays usable.
void GaranteIndices(const QSqlDatabase& banco);
// Gives the Log table of a database made by an older version its outcome columns, in one
// transaction; its rows then read as delivered. False, with the reason, when it cannot.
bool AtualizaTabelaLog(const QSqlDatabase& banco, QString* erro = nullptr);
// Registers the name collation (Portuguese order, case-insensitive equality) on a connection.
bool RegistraColacao(const QSqlDatabase& banco);
// Creates an empty database file with the four tables. False if the file already exists
// or cannot be written.
bool CriaBancoVazio(const QString& caminho, QString* erro = nullptr);
