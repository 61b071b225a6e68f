#pragma once
// How a group appears in the directory's lists: "00007 - Vendas".
#include <QString>

// The identifier with at least five digits (leading zeros), " - ", the name. Identifiers above
// 99999 keep all their digits; lists keep the identifier beside the text, never parse it back.
QString TextoDoItemDeGrupo(qint32 idGrupo, const QString& nome);
