#pragma once
// Bringing the paging terminal into automatic mode after the connection.
#include "common/Contexto.h"

// Why a log-on failed. SenhaRecusada: a password was sent and the terminal answered it with NAK
// or a disconnect request; SenhaFaltando: the same answer to a log-on without a password, as a
// terminal that wants one gives; DadosDemais: the terminal flooded the line.
enum class FalhaDoLogOn { Nenhuma, SemResposta, SenhaRecusada, SenhaFaltando, DadosDemais };

// CR prompts until "ID=", then ESC "PG1", the log-on password of the settings (if any), CR, the
// wait for ACK and for the go-ahead. True when accepted; otherwise falha, when given, says why.
bool AguardaIDeInicializaModoAutomatico(Contexto& ctx, FalhaDoLogOn* falha = nullptr);
