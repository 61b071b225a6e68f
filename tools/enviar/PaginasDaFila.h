#pragma once
// The pages one recipient gets in the queue, named as the Log row of a window send names them: a
// one-user send pads the name to 50 characters, a group member's is trimmed. Shared by
// bipvox-enviar --fila and the SNPP gateway of bipvox-servidor, so both take the same recipients.
#include "Destinatario.h"
#include "fila/FilaDeEnvio.h"

#include <QStringList>

enum class TipoDeDestino { Pager, Usuario, Grupo };

struct PaginasDoDestino {
    QVector<Fila::PaginaNova> paginas; // the message is left for the caller
    QString erro;                      // not empty: nothing to queue (a sentence for the operator)
    bool falhaDoBanco = false;         // the directory could not be read
    bool desconhecido = false;         // no user (group) has that name at all
    QStringList avisos;                // group members left out (no user row or no code)
};

// destino is the code, the user's or the group's name; nome, with a code, the name for the Log;
// busca, with a name, how far it is looked for.
PaginasDoDestino PaginasPara(TipoDeDestino tipo, const QString& destino, const QString& nome = {},
                             Busca busca = Busca::Completa);
