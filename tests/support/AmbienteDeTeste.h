#pragma once
// A private settings directory (XDG_CONFIG_HOME) and program directory for one test, and the
// fields of a table row written as one text.
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// The current row's text column "caso", split at "|".
QStringList CamposDoCaso();

// BIPVOX_TESTE_MOTOR=PostgreSQL: the same tests, each on a new database of the run's server
// (tests/CMakeLists.txt runs the store's test programs once for each engine).
bool TesteNoPostgreSQL();
// A second connection to the open store, as another desk or program has: open, named nome.
QSqlDatabase OutraMesa(const QString& nome);
// For the rows about the file itself (its header, journal, upgrades): skipped on a server.
#define SO_NO_ARQUIVO()                                                                                      \
    do {                                                                                                     \
        if (TesteNoPostgreSQL())                                                                             \
            QSKIP("só para o arquivo Pager.Mdb");                                                            \
    } while (false)

class AmbienteDeTeste {
public:
    // comBanco: with an empty Pager.Mdb opened already (a failure fails the test).
    explicit AmbienteDeTeste(bool comBanco = false);
    ~AmbienteDeTeste();

    QString Diretorio() const { return m_dir.path(); }
    // Writes the settings file's raw bytes.
    void EscreveINI(const QByteArray& conteudo) const;
    QByteArray LeINIBruto() const;
    // An empty Pager.Mdb in Diretorio(), opened as the shared database; under TesteNoPostgreSQL(),
    // a new database on the server, named in the settings file's [BANCO] for programs started.
    bool AbreBancoVazio();

private:
    QTemporaryDir m_dir;
    QString m_bancoNoServidor;
    bool m_abriuBanco = false;
};
