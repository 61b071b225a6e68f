#pragma once
// A private settings directory (XDG_CONFIG_HOME) and program directory for one test, and the
// fields of a table row written as one text.
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// The current row's text column "caso", split at "|".
QStringList CamposDoCaso();

class AmbienteDeTeste {
public:
    // comBanco: with an empty Pager.Mdb opened already (a failure fails the test).
    explicit AmbienteDeTeste(bool comBanco = false);
    ~AmbienteDeTeste();

    QString Diretorio() const { return m_dir.path(); }
    // Writes the settings file's raw bytes.
    void EscreveINI(const QByteArray& conteudo) const;
    QByteArray LeINIBruto() const;
    // An empty Pager.Mdb in Diretorio(), opened as the shared database.
    bool AbreBancoVazio();

private:
    QTemporaryDir m_dir;
    bool m_abriuBanco = false;
};
