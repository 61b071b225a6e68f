#pragma once
// A serial device that went away (a USB modem unplugged): what the operator is told, and the
// port opened again before the next send.
#include "common/Contexto.h"

#include <QString>

// Status line texts for the moment the device goes and the moment it is back and open again.
inline const QString StatusPortaPerdida =
    QStringLiteral(" A porta serial do modem foi perdida (dispositivo desconectado). Ela será aberta de "
                   "novo assim que o dispositivo voltar.");
inline const QString StatusPortaReaberta = QStringLiteral(" A porta serial do modem foi aberta de novo.");

// True when the port is open, after opening it again if it had been lost. Otherwise the
// operator is told that the device is missing, and false.
bool ReabrePortaPerdida(Contexto& ctx);

// When the port has been lost, tells the operator so (instead of blaming the modem) and
// returns true.
bool InformaPortaPerdida(Contexto& ctx);
