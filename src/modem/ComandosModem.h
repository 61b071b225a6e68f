#pragma once
// The conversation with the modem below dialling: opening the port, command and answer,
// the modem reset, draining the receive buffer and the timed pause.
#include "common/Contexto.h"

#include <QByteArray>
#include <QString>

// Opens the port PortaModem with the configured line settings. False when it did not open
// (missing device, no permission, port 0).
bool ConfiguraPorta(Contexto& ctx);

// Sends the initialisation command and "ate0"; each unanswered "OK" shows the time-out
// message and the routine goes on. Nothing at all when the connection is not a modem.
void InicializaModem(Contexto& ctx);

// Waits, without letting window events run, until the text received since the call contains
// esperado (case-sensitive) or the time-out passes; 0 means 600 seconds.
bool AguardaResposta(Contexto& ctx, const QString& esperado, double tempo);

// Waits while letting window events run, at least once.
void Pausa(Contexto& ctx, double segundos);

// Reads and discards whatever is waiting in the receive buffer (its last 64 bytes go to
// descartado, when given). False when the line kept sending and the buffer could not be emptied.
bool LimpaBufferModem(Contexto& ctx, QByteArray* descartado = nullptr);

// Shown when the modem does not answer "OK".
inline const QString MensagemModemTimeOut = QStringLiteral(
    "Modem TimeOut: Ha a possibilidade da porta serial selecionada não possuir nenhum um modem instalado.");
