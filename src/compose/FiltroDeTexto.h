#pragma once
// What the composition window does to the message as it is typed.
#include <QChar>
#include <QString>

// The plain letter for an accented one the pager terminals mangle; any other character,
// accented letters outside the table included, comes back unchanged.
QChar FiltraTeclaDigitada(QChar tecla);

// True when the whole text, in capitals, is the keyword that brings back the last message.
bool PedeMensagemAnterior(const QString& texto);
