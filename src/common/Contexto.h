#pragma once
// The three seams every modem and paging routine runs on.
#include "common/Operador.h"
#include "common/PortaSerial.h"
#include "common/Relogio.h"

struct Contexto {
    Relogio& relogio;
    PortaSerial& porta;
    Operador& operador;
};
