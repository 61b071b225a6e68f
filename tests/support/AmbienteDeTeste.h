#pragma once
// A private settings directory (XDG_CONFIG_HOME) and program directory for one test.
#include <QString>
#include <QTemporaryDir>

class AmbienteDeTeste {
public:
    AmbienteDeTeste();
    ~AmbienteDeTeste();
    AmbienteDeTeste(const AmbienteDeTeste&) = delete;
    AmbienteDeTeste& operator=(const AmbienteDeTeste&) = delete;

    QString Diretorio() const { return m_dir.path(); }
    // Writes the settings file's raw bytes.
    void EscreveINI(const QByteArray& conteudo) const;
    QByteArray LeINIBruto() const;
    // An empty Pager.Mdb in Diretorio(), opened as the shared database.
    bool AbreBancoVazio();

private:
    QTemporaryDir m_dir;
    QByteArray m_xdgAnterior;
    bool m_tinhaXdg = false;
    bool m_abriuBanco = false;
};
