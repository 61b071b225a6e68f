#pragma once
// Suggestions for a recipient name that matched nobody: the likeliest mistakes in a script are a
// missing accent, a doubled blank, a capital and a letter or two wrong.
#include <QString>
#include <QStringList>

// The name as a reader takes it: accents, capitals, surrounding and doubled blanks ignored.
QString ChaveDoNome(const QString& nome);

// At most `maximo` of `nomes`, closest first: the same name but for accents, capitals or blanks;
// then one or two letters off (one for short names, none for very short ones); then names that
// hold the typed text. chaves, when given, are the names' ChaveDoNome in the same order.
QStringList NomesParecidos(const QString& digitado, const QStringList& nomes, int maximo = 5,
                           const QStringList& chaves = {});
