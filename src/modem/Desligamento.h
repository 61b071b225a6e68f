#pragma once
// Hanging up a call that may still be up, and getting back a modem that was left on line.
// A Hayes modem takes "+++" as data unless it has had its guard time of silence before it.
#include "common/Contexto.h"

// Silence the modem wants before "+++" (register S12 is one second by default), with a margin.
constexpr double GuardaDoModem = 1.5;

// Hangs up after a call: at once when the modem already said "NO CARRIER" (the terminal dropped
// the call), otherwise after the guard time, so that "+++" really brings the modem back to
// command mode.
void DesligaChamada(Contexto& ctx);

// For a modem that does not answer "AT" commands because it stayed on line: guard time, "+++",
// "ATH0". True when the modem answered "OK" to the hang-up.
bool RetomaModoDeComando(Contexto& ctx);
