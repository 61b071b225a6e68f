#pragma once
// The one open database, Pager.Mdb in the program's directory.
#include <QSqlDatabase>
#include <QString>

// Opens the file; never creates it. False for a missing file, a file that is not an SQLite
// database, or one without the program's four tables. An empty directory means the
// program's own directory.
bool AbreBancoDeDados(const QString& arquivo, const QString& diretorio = QString());
void FechaBancoDeDados();
bool BancoDeDadosAberto();
// Flushes the rows written since the last call to the disk, so a power cut cannot take them;
// called when a transmission ends. False when the store refused.
bool ConsolidaBancoDeDados();
// The folder of the open database file; empty when none is open.
QString PastaDoBancoDeDados();
// The shared connection every statement runs on.
QSqlDatabase BancoDeDados();
