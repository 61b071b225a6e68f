#pragma once
// A delivery round of the page queue: every page that is due goes out over one call (one dial,
// one log-on, one block per page, one log-off), each delivered page written with its Log row in
// the same transaction as its new state. Runs on the three seams, so a round is tested in virtual
// time against a scripted modem like any window send.
#include "common/Contexto.h"
#include "fila/FilaDeEnvio.h"
#include "fila/RegrasDaFila.h"

#include <QString>
#include <QVector>
#include <functional>

class Enlace;

// What a round could not write because the store failed: pages the terminal judged whose Log rows
// and state are missing (left "incerta", or "enviando" when even that failed), and pages marked
// "enviando" that never went out. The next round writes them before anything else.
struct PendenciasDaRodada {
    QVector<Fila::Desfecho> desfechos;
    QVector<qint64> marcadas;
    bool Vazia() const { return desfechos.isEmpty() && marcadas.isEmpty(); }
};

struct ResumoDaRodada {
    int entregues = 0;
    int recusadas = 0;
    int adiadas = 0; // back to waiting, or expired, after a temporary failure
    int incertas = 0;
    int expiradas = 0;  // past their age before the call
    bool ligou = false; // the link was opened
    bool interrompida = false;
    bool falhaDoBanco = false;
    PendenciasDaRodada pendencias;
};

// Writes what earlier rounds left (a judged page only while it is still "incerta" or "enviando":
// a write that did reach the store is not repeated); what still cannot be written stays in
// pendencias, and the result is false.
bool GravaPendencias(PendenciasDaRodada& pendencias, const std::function<void(const QString&)>& diario);

// ctx runs on the link's port. diario receives one Portuguese line per event; interromper is asked
// before the link opens and between pages: once it says yes, the page on the line is finished, the
// session logged off and the link closed, and the pages not yet sent keep waiting untouched.
ResumoDaRodada EntregaProntas(Contexto& ctx, Enlace& enlace, const RegrasDaFila& regras,
                              const std::function<void(const QString&)>& diario,
                              const std::function<bool()>& interromper);
