#pragma once
// The settings file, read and written with the rules of Windows profile files:
// section and key names match without regard to case, a missing file or key yields the
// reader's default, values are cut to 99 characters and never trimmed, a write replaces the
// value in place and keeps every other line, and the bytes on disk are Windows-1252.
#include "common/Modulo.h"
#include "settings/TextoINI.h"

#include <QString>
#include <optional>

// Full path of the settings file: the user's configuration directory (XDG_CONFIG_HOME on
// Linux), the Windows directory on Windows.
QString CaminhoDoINI(const QString& arquivo = Modulo::ArquivoINI);

// Largest settings file the program reads or writes; a larger one is refused, not loaded.
constexpr qint64 TamanhoMaximoDoINI = 1024 * 1024;

// The file as it stands now, read once, for a use that needs several keys (a dial line).
class LeituraINI {
public:
    explicit LeituraINI(const QString& arquivo = Modulo::ArquivoINI);
    QString Le(const QString& secao, const QString& chave, const QString& padrao) const;
    // Empty when the file was read or is missing; otherwise why it was refused, for the operator.
    QString Problema() const { return m_problema; }

private:
    std::optional<TextoINI> m_texto;
    QString m_problema;
};

QString LeINI(const QString& secao, const QString& chave, const QString& padrao,
              const QString& arquivo = Modulo::ArquivoINI);

// Creates the file, the section or the key as needed. Failures are not reported.
void GravaINI(const QString& secao, const QString& chave, const QString& valor,
              const QString& arquivo = Modulo::ArquivoINI);
