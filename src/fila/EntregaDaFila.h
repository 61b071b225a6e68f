#pragma once
// A delivery round of the page queue: every page that is due goes out over one call (one dial,
// one log-on, one block per page, one log-off), each delivered page written with its Log row in
// the same transaction as its new state. Runs on the three seams, so a round is tested in virtual
// time against a scripted modem like any window send.
#include "common/Contexto.h"
#include "fila/RegrasDaFila.h"

#include <QString>
#include <functional>

class Enlace;

struct ResumoDaRodada {
    int entregues = 0;
    int recusadas = 0;
    int adiadas = 0; // back to waiting, or expired, after a temporary failure
    int incertas = 0;
    int expiradas = 0;  // past their age before the call
    bool ligou = false; // the link was opened
    bool interrompida = false;
    bool falhaDoBanco = false;
};

// ctx runs on the link's port. diario receives one Portuguese line per event; interromper is asked
// before the link opens and between pages: once it says yes, the page on the line is finished, the
// session logged off and the link closed, and the pages not yet sent keep waiting untouched.
ResumoDaRodada EntregaProntas(Contexto& ctx, Enlace& enlace, const RegrasDaFila& regras,
                              const std::function<void(const QString&)>& diario,
                              const std::function<bool()>& interromper);
