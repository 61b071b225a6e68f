#pragma once
// SIGTERM, SIGINT (Ctrl+C) and SIGHUP turned into a request that the sending code honours at
// safe points: the page on the line is finished and recorded, the session logged off, the line
// hung up, the port closed (its settings restored) and the lock released before the program ends.
// A second signal asks to end at once: every wait returns, nothing more is sent, but the rows of
// the pages already accepted are kept. The handler only counts and writes one byte to a pipe.
#include <QObject>
#include <functional>

namespace Interrupcao {

// Catches the three signals (again harmless).
void Instala();
// Signals received so far; 0 when none.
int Pedidos();
// A second signal came: end at once.
inline bool Imediata() {
    return Pedidos() >= 2;
}
// Readable after a signal until Drena(): a wait that polls it wakes at once.
int Aviso();
// Empties the pipe; when a signal had come, the AoPedir callback runs later from the event loop.
void Drena();
// Runs fn in ctx's thread, from the event loop, after each drained signal.
void AoPedir(QObject* ctx, std::function<void()> fn);
// The same as the signal arriving (tests).
void Pede();
// Back to no signal (tests).
void Esquece();

} // namespace Interrupcao
