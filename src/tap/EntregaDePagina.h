#pragma once
// One page over a logged-on TAP session: the framing, the block written and the terminal's answer
// judged, a NAK answered by sending the block again. Shared by the window's sends and the queue's
// service, so a page goes out and is judged the same way whoever sends it.
#include "common/Contexto.h"

#include <QString>
#include <functional>

// The block and its checksum with the final CR; false for a message over 240 characters.
bool MontaUnidadeTAP(const QString& pager, const QString& mensagem, QString& unidade);

enum class DesfechoDaPagina {
    Aceita,             // ACK CR
    Recusada,           // CR RS CR: the terminal refused the pager code
    PedidoDeDesconexao, // ESC EOT CR: the terminal ended the session
    TempoEsgotado,      // no answer: the block may or may not have reached the terminal
    NAKsEsgotados,      // the third NAK: the terminal never took the block
    DadosDemais,        // the line sent more than any answer holds: a flood
};

// Sends the unit until the terminal takes it, refuses it or ends the send (at most three times).
// aoRecusar runs on each answer carrying CR RS CR; statusACadaEnvio shows the sending text before
// each write; enquantoSai runs while each write crosses the line; resposta, when given, gets the
// last answer's text (its numbered lines say why).
DesfechoDaPagina EntregaUnidade(Contexto& ctx, const QString& unidade, const std::function<void()>& aoRecusar,
                                bool statusACadaEnvio = false, const std::function<void()>& enquantoSai = {},
                                QString* resposta = nullptr);
