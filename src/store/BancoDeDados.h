#pragma once
// The one open database, Pager.Mdb in the program's directory.
#include <QSqlDatabase>
#include <QString>

// Opens the file; never creates it. False for a missing file, a file that is not an SQLite
// database, or one without the program's four tables, and for a file of a newer schema version
// (left untouched; erro says why). A file of an older version is upgraded in place, after a copy
// of it is kept beside it (aviso names the copy). An empty directory means the program's own
// directory.
bool AbreBancoDeDados(const QString& arquivo, const QString& diretorio = QString(), QString* erro = nullptr,
                      QString* aviso = nullptr);
// In a thread other than the program's own, only that thread's connection (see BancoDeDados).
void FechaBancoDeDados();
bool BancoDeDadosAberto();
// Flushes the rows written since the last call to the disk, so a power cut cannot take them;
// called when a transmission ends. False when the store refused.
bool ConsolidaBancoDeDados();
// The folder of the open database file; empty when none is open.
QString PastaDoBancoDeDados();
// The shared connection every statement runs on; in another thread, that thread's own connection
// to the same file, opened at the first call (an SQLite connection must stay in its thread).
QSqlDatabase BancoDeDados();
// A statement prepared once per opening and kept until the file is closed, for the ones run
// between pages (preparing an INSERT compiles the table's triggers). Null when it cannot be.
class QSqlQuery;
QSqlQuery* ComandoGuardado(const QString& sql);
