#pragma once
// One send from the command line, from the database to the hang-up, with the window
// program's own dialling and sending routines.
#include "OpcoesDoEnvio.h"
#include "OperadorDeConsole.h"
#include "common/Relogio.h"

// The message is already checked; returns the exit status. Every wait runs on relogio.
SaidaDoEnvio ExecutaEnvio(const OpcoesDoEnvio& opcoes, const QString& mensagem, OperadorDeConsole& console,
                          Relogio& relogio);
