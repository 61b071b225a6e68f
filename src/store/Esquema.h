#pragma once
// The four tables of Pager.Mdb, from the one schema text (store/esquema.sql).
#include <QSqlDatabase>
#include <QString>

QString EsquemaSQL();
// Registers the name collation (Portuguese order, case-insensitive equality) on a connection.
bool RegistraColacao(const QSqlDatabase& banco);
// Creates an empty database file with the four tables. False if the file already exists
// or cannot be written.
bool CriaBancoVazio(const QString& caminho, QString* erro = nullptr);
