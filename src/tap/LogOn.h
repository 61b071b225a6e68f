#pragma once
// Bringing the paging terminal into automatic mode after the connection.
#include "common/Contexto.h"

// CR prompts until "ID=", then ESC "PG1" CR and the wait for ACK. True when accepted.
bool AguardaIDeInicializaModoAutomatico(Contexto& ctx);
