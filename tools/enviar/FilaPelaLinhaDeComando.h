#pragma once
// bipvox-enviar --fila and --situacao: pages handed to the queue that bipvox-servidor delivers,
// and their states read back.
#include "OpcoesDoEnvio.h"
#include "OperadorDeConsole.h"
#include "common/Relogio.h"

#include <cstdio>

// Queues one page per recipient (each member of a group) in one transaction, then prints their
// numbers on saida, one per line, and wakes the service. Only committed pages are printed.
SaidaDoEnvio EnfileiraPelaLinhaDeComando(const OpcoesDoEnvio& opcoes, const QString& mensagem,
                                         OperadorDeConsole& console, const Relogio& relogio,
                                         std::FILE* saida = stdout);
// One tab-separated line per page on saida; 3 when some number is not in the queue.
SaidaDoEnvio MostraSituacao(const OpcoesDoEnvio& opcoes, OperadorDeConsole& console,
                            std::FILE* saida = stdout);
