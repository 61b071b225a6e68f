#pragma once
// A store on a PostgreSQL server instead of a Pager.Mdb file: where it is, how the program opens
// it, makes its tables and finds it again after the server went away.
#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <optional>

struct ConexaoPostgreSQL {
    QString servidor = QStringLiteral("localhost");
    int porta = 5432;
    QString banco = QStringLiteral("bipvox");
    QString usuario; // empty: the system user's name, as every PostgreSQL program does

    // "banco bipvox no servidor PostgreSQL localhost:5432", as said to a person.
    QString Descricao() const;
    // The libpq form, "host=... port=... dbname=... user=...", as in the settings or an option.
    // Keys it does not know, a password among them, are refused: a password is read by the
    // server's own library from ~/.pgpass or PGPASSWORD, never from a command line or Bipvoxcf.INI.
    static std::optional<ConexaoPostgreSQL> DoTexto(const QString& texto, QString* erro);
    QString Texto() const;
};

// Sets up and opens banco (a QPSQL connection) to the server. False, with a Portuguese reason
// naming the server, when it cannot connect or the database has no Bipvox tables (or tables of a
// newer version). The program's shared connection is opened by AbreBancoPostgreSQL (BancoDeDados.h).
bool ConectaPostgreSQL(QSqlDatabase& banco, const ConexaoPostgreSQL& conexao, QString* erro);

// Makes the Bipvox tables in an empty database. False, with the reason, when the database holds
// any table already or the server refuses; then nothing has been made. preenche, when given, runs
// in the same transaction before the commit (a copy of a file): false, with its own complete
// message, leaves the database empty as it was.
using PreencheBanco = std::function<bool(QSqlDatabase& banco, QString* erro)>;
bool CriaEsquemaPostgreSQL(const ConexaoPostgreSQL& conexao, QString* erro,
                           const PreencheBanco& preenche = {});

// False once the server closed the connection (known from the last statement, without asking it).
bool ConexaoViva(const QSqlDatabase& banco);
// For a PostgreSQL connection the server closed (restarted, network gone): connects it again,
// at most every few seconds. False when it is still not connected.
bool ReconectaSePerdida(QSqlDatabase& banco);
// Counts the server's notices of queue changes on this connection (the program's own thread's).
void OuveAvisosDaFila(QSqlDatabase& banco);
// Why the PostgreSQL connection is not usable, naming the server; empty when it is.
QString MotivoSemServidor();
// Notices from the server of changes to the queue, counted; 0 until the first.
qint64 AvisosDaFila(QSqlDatabase& banco);
