#pragma once
// Bringing the paging terminal into automatic mode after the connection.
#include "common/Contexto.h"

// CR prompts until "ID=", then ESC "PG1", the log-on password of the settings (if any), CR and
// the wait for ACK. True when accepted. senhaRecusada, when given, tells whether a password was
// sent and the terminal answered it with NAK or a disconnect request.
bool AguardaIDeInicializaModoAutomatico(Contexto& ctx, bool* senhaRecusada = nullptr);
