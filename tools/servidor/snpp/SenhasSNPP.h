#pragma once
// The SNPP sign-in file: one line per user, "user:pbkdf2-sha256:iterations:salt:hash" (hex), so
// the file never holds a password, and a stolen copy costs a guesser a key derivation per try.
#include <QHash>
#include <QString>

class SenhasSNPP {
public:
    // False, with the reason, for a file that exists but cannot be read or has a bad line.
    bool Carrega(const QString& arquivo, QString* erro = nullptr);
    bool Confere(const QString& usuario, const QString& senha) const;
    int Usuarios() const { return int(m_linhas.size()); }

    // Adds the user, or gives an existing one a new password, with a fresh salt; the file is
    // replaced whole (readable by its owner only) or left as it was.
    static bool Grava(const QString& arquivo, const QString& usuario, const QString& senha, QString& erro);
    // A name the file and LOGI can hold: 1 to 32 letters, digits, ".", "_", "-" or "@".
    static bool NomeValido(const QString& usuario);

private:
    QHash<QString, QString> m_linhas; // user -> the rest of the line
};
