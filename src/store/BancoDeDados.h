#pragma once
// The one open database, Pager.Mdb in the program's directory.
#include <QSqlDatabase>
#include <QString>

// How long a statement waits for another program's write to the file to end before it fails.
constexpr int EsperaPeloBancoMs = 5000;

// Opens the file; never creates it. False for a missing file, a file that is not an SQLite
// database, or one without the program's four tables, and for a file of a newer schema version
// (left untouched; erro says why). A file of an older version is upgraded in place, after a copy
// of it is kept beside it (aviso names the copy). An empty directory means the program's own
// directory.
bool AbreBancoDeDados(const QString& arquivo, const QString& diretorio = QString(), QString* erro = nullptr,
                      QString* aviso = nullptr);
// Opens the program's store on a PostgreSQL server instead (store/PostgreSQL.h); erro names the
// server and the reason when it cannot.
struct ConexaoPostgreSQL;
bool AbreBancoPostgreSQL(const ConexaoPostgreSQL& conexao, QString* erro = nullptr);
enum class Motor { SQLite, PostgreSQL };
// The engine of the open store (SQLite when none is open).
Motor MotorDoBanco();
// The same text for every program that opens the same store: the file's real path, or the
// server and database. Empty when none is open.
QString IdentidadeDoBanco();
// Why no statement can run: the store is not open, or the server went away (naming it).
QString MotivoSemBanco();
// Where the data are, for a message to the operator: "no arquivo de dados (Pager.Mdb)" and, after
// a semicolon, noArquivo (a likely cause that only a file has); or "no servidor PostgreSQL
// máquina:porta".
QString NoBancoDeDados(const QString& noArquivo = {});
// Grows when another program changes the store (on PostgreSQL, when the queue changes); reading
// it costs nothing, so a window can look often. -1 when it cannot be read.
qint64 VersaoDosDados();
// A refusal of the store as said to a person: SQLite's words as they are; a server's first line,
// after the server's name, so the operator knows where to look.
class QSqlError;
QString TextoDoErro(const QSqlError& erro);
// The SQL aggregate joining the texts of expressao with separador (an SQL text or "?") in the
// order of the rows: group_concat() in SQLite, string_agg() on a server.
QString JuntaSQL(const QString& expressao, const QString& separador);
// The SQL function giving the counter of the last row this connection inserted.
QString UltimoContadorSQL();
// In a thread other than the program's own, only that thread's connection (see BancoDeDados).
void FechaBancoDeDados();
bool BancoDeDadosAberto();
// Flushes the rows written since the last call to the disk, so a power cut cannot take them;
// called when a transmission ends. False when the store refused.
bool ConsolidaBancoDeDados();
// The folder of the open database file (for a server, the user's data folder, where files the
// program writes beside its data go); empty when none is open.
QString PastaDoBancoDeDados();
// The shared connection every statement runs on; in another thread, that thread's own connection
// to the same file, opened at the first call (an SQLite connection must stay in its thread).
QSqlDatabase BancoDeDados();
// A statement prepared once per opening and kept until the file is closed (each thread keeps its
// own, on its own connection), for the ones run between pages (preparing an INSERT compiles the
// table's triggers) and per SNPP command. Null when it cannot be.
class QSqlQuery;
QSqlQuery* ComandoGuardado(const QString& sql);
