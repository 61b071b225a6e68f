#pragma once
// What the composition window looks for in the message as it changes.
#include <QString>

// True when the whole text, in capitals, is the keyword that brings back the last message.
bool PedeMensagemAnterior(const QString& texto);
