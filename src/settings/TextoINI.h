#pragma once
// The text of a settings file, read and edited with the rules of Windows profile files.
// Lines are kept exactly as found, so an edit touches only the line of the key it writes.
#include <QString>
#include <QStringList>
#include <optional>

class TextoINI {
public:
    explicit TextoINI(const QString& texto);

    // The stored value, or nothing when the section or the key is missing. Not cut to size.
    std::optional<QString> Valor(const QString& secao, const QString& chave) const;

    // Replaces the value in place, or appends the key to its section, or the section to the
    // file. False, and nothing changed, for a name that no line could hold.
    bool DefineValor(const QString& secao, const QString& chave, const QString& valor);

    QString Texto() const { return m_linhas.join(QLatin1Char('\n')); }

private:
    struct Local {
        int cabecalho = -1;   // line of the section header, -1 when the section is missing
        int ultimaCheia = -1; // last non-blank line of the section
        int chave = -1;       // line of the key, -1 when the key is missing
    };
    Local Localiza(QStringView secao, QStringView chave) const;
    void TerminaUltimaLinha();
    QString ComFimDeLinha(const QString& linha) const;

    // Split at LF only: a CRLF line keeps its CR, so joining with LF gives back the same text.
    QStringList m_linhas;
    bool m_crlf = true;
};
