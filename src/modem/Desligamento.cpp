#include "modem/Desligamento.h"

#include "common/Modulo.h"
#include "modem/ComandosModem.h"
#include "modem/Discagem.h"
#include "modem/RespostaDaLinha.h"

#include <algorithm>

namespace {

// How long one pass of the guard wait blocks on the port before letting window events run.
constexpr double IntervaloDeEventos = 0.05;

// Waits the guard time while the line is silent from our side; true as soon as the modem
// reports that the call is gone.
bool AguardaGuardaOuQueda(Contexto& ctx) {
    const double prazo = ctx.relogio.Agora() + GuardaDoModem;
    RespostaDaLinha queda({QStringLiteral("NO CARRIER")});
    for (;;) {
        if (queda.Acrescenta(ctx.porta.Input()))
            return true;
        if (ctx.relogio.Agora() >= prazo || !ctx.porta.PortOpen())
            return false;
        ctx.relogio.Pausa(0);
        ctx.porta.AguardaDados(std::min(prazo, ctx.relogio.Agora() + IntervaloDeEventos));
    }
}

} // namespace

void DesligaChamada(Contexto& ctx) {
    {
        AmpulhetaLigada ampulheta(ctx.operador);
        AguardaGuardaOuQueda(ctx);
    }
    DesconectaModem(ctx);
}

bool RetomaModoDeComando(Contexto& ctx) {
    AmpulhetaLigada ampulheta(ctx.operador);
    Pausa(ctx, GuardaDoModem);
    LimpaBufferModem(ctx);
    ctx.porta.Output(QStringLiteral("+++"));
    // The modem answers only after a second guard time of silence; no answer: no modem at all.
    if (!AguardaResposta(ctx, QStringLiteral("OK"), GuardaDoModem + 2))
        return false;
    ctx.porta.Output(QStringLiteral("ATH0") + Modulo::CR);
    const bool desligou = AguardaResposta(ctx, QStringLiteral("OK"), 4);
    LimpaBufferModem(ctx);
    return desligou;
}
