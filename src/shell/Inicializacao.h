#pragma once
// From launch to an idle main window: database, port, modem, and the composition window
// when the settings ask for it. The windows are reached through JanelasDaInicializacao so
// the whole road runs in tests with a recorded operator.
#include "common/Contexto.h"

#include <QString>
#include <functional>

class JanelasDaInicializacao {
public:
    virtual ~JanelasDaInicializacao() = default;
    // The splash window; showing it holds start-up for one second while events run.
    virtual void MostraSplash() = 0;
    // Closing a closed splash does nothing.
    virtual void FechaSplash() = 0;
    // Caption "Bipvox 1.0", shown, status panel fitted to the footer bar.
    virtual void MostraPrincipal() = 0;
    // The modem settings dialog, modal, as designed (not filled from the file).
    virtual void MostraConfigModem() = 0;
    // The composition window, modal.
    virtual void MostraMontaMsg() = 0;
};

enum class FimDaInicializacao { Pronto, EncerrarPrograma };

// diretorioDoBanco: where Pager.Mdb lies; empty means the usual places (shell/LocalDoBanco.h).
FimDaInicializacao ExecutaInicializacao(Contexto& ctx, JanelasDaInicializacao& janelas,
                                        const QString& diretorioDoBanco = QString());

// The port loop shared by start-up and the modem settings command: reads the port number,
// opens the port, and on failure asks the operator whether to adjust the settings. False when
// the operator answered Não (the program must end). antesDeAbrir runs before every attempt,
// aoFalhar after a failed one, before the question.
struct LacoDaPorta {
    std::function<void()> antesDeAbrir;
    std::function<void()> aoFalhar;
    std::function<void()> mostraConfigModem;
};
bool ExecutaLacoDaPorta(Contexto& ctx, const LacoDaPorta& laco);

// Reset the modem with the hourglass on (when the port could be taken), let the port go, then
// " Pronto".
void InicializaModemComAmpulheta(Contexto& ctx);
