#pragma once
// The message as the terminal will get it, whatever way it came in (typed, pasted, the command
// line): letters the line cannot carry in their plain form, a text longer than a page split into
// numbered pages or refused, control characters as the connection asks.
#include "settings/Conexao.h"

#include <QString>
#include <QStringList>
#include <optional>

// The ASCII form of one character (a code point): "o" for "ô", "\"" for a typographic quote,
// "..." for an ellipsis; nothing when there is none (✓, emoji, other scripts).
std::optional<QString> FormaSimples(char32_t codigo);

// Each character the rules do not let through takes its plain form; one without a plain form is
// left as it is and named in semForma (once each). Control characters are left as they are.
QString TextoParaALinha(const QString& texto, const RegrasDoTexto& regras, QStringList* semForma = nullptr);

// Leading and trailing blanks off; a line break at either end belongs to the message.
QString SemBrancos(const QString& texto);

// The text, leading and trailing blanks off, as the pages that go out: one page, or numbered
// pages "(1/3) ..." cut at blanks where possible. False, with the reason (a sentence for the
// operator, in lower case, no full stop), when a character cannot go or the text is too long for
// the rules (longoDemais then true).
bool PaginasDoTexto(const QString& texto, const RegrasDoTexto& regras, QStringList& paginas, QString& erro,
                    bool* longoDemais = nullptr);
// The reason as a message box says it: "A mensagem tem ... Nada foi enviado."
QString AvisoDoTexto(const QString& erro);

// A page's message field: control characters escaped, kept or blanked as the rules say.
QString CampoDaMensagem(const QString& pagina, const RegrasDoTexto& regras);
