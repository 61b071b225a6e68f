#include "tap/LogOn.h"

#include "common/Modulo.h"
#include "modem/ComandosModem.h"
#include "modem/RespostaDaLinha.h"
#include "settings/Conexao.h"

namespace {

constexpr double PrazoDoPedidoDeID = 15;
constexpr double PrazoDoACK = 5;
// How long the terminal may take to send its go-ahead after the ACK: far longer than any late
// repeat of the log-on's answer (a tenth of a second) or a modem's round trip, so those are
// dropped with it, and short enough that a terminal that never sends one costs little.
constexpr double PrazoDoSinalVerde = 3;

// Every return leaves the status line idle.
bool Termina(Contexto& ctx, bool aceito) {
    ctx.operador.Status(QStringLiteral(" Pronto"));
    return aceito;
}

} // namespace

bool AguardaIDeInicializaModoAutomatico(Contexto& ctx, FalhaDoLogOn* falha) {
    FalhaDoLogOn nenhuma = FalhaDoLogOn::Nenhuma;
    FalhaDoLogOn& motivo = falha ? *falha : nenhuma;
    motivo = FalhaDoLogOn::Nenhuma;
    const auto falhou = [&ctx, &motivo](FalhaDoLogOn qual) {
        motivo = qual;
        return Termina(ctx, false);
    };
    ctx.operador.Status(QStringLiteral(" Verificando compatibilidade do sistema, aguarde ..."));
    RespostaDaLinha pedidoDeID({QStringLiteral("ID=")});
    double prazo = ctx.relogio.Agora() + PrazoDoPedidoDeID;

    // Prompt the terminal about once a second until it asks for identification.
    for (;;) {
        ctx.porta.Output(Modulo::CR);
        Pausa(ctx, 1);
        if (pedidoDeID.Acrescenta(ctx.porta.Input()) || ctx.relogio.Agora() > prazo)
            break;
    }
    if (pedidoDeID.Excedeu())
        return falhou(FalhaDoLogOn::DadosDemais);
    Pausa(ctx, 1);
    // The clock alone decides, after the pause: an "ID=" in the last second is too late.
    if (ctx.relogio.Agora() > prazo)
        return falhou(FalhaDoLogOn::SemResposta);

    ctx.operador.Status(QStringLiteral(" Aguardando a autorização para enviar mensagens, aguarde ...    "));
    // Only an ACK sent after the log-on request accepts it: one that came early would otherwise
    // leave the real one behind, to be taken later as the first page's acceptance.
    if (!LimpaBufferModem(ctx))
        return falhou(FalhaDoLogOn::DadosDemais);
    const QString senha = LeSenhaDeAcesso();
    ctx.porta.Output(Modulo::ESC + QStringLiteral("PG1") + senha + Modulo::CR);
    Pausa(ctx, 0.02);

    // No window events run here; the port wait blocks instead of spinning.
    RespostaDaLinha resposta({Modulo::ACK});
    if (!AguardaNaLinha(ctx, resposta, ctx.relogio.Agora() + PrazoDoACK)) {
        const QString& texto = resposta.Texto();
        if (resposta.Excedeu())
            return falhou(FalhaDoLogOn::DadosDemais);
        const bool recusada = texto.contains(Modulo::NAK) || texto.contains(Modulo::ESC + Modulo::EOT);
        if (!recusada)
            return falhou(FalhaDoLogOn::SemResposta);
        return falhou(senha.isEmpty() ? FalhaDoLogOn::SenhaFaltando : FalhaDoLogOn::SenhaRecusada);
    }

    // The first block waits for the go-ahead, ESC "[p" CR; whatever came before it (a repeated
    // ACK above all) must not be taken later as the page's answer.
    const QString& texto = resposta.Texto();
    RespostaDaLinha sinalVerde({Modulo::ESC + QStringLiteral("[p") + Modulo::CR});
    if (!sinalVerde.Acrescenta(texto.mid(texto.indexOf(Modulo::ACK) + 1)))
        AguardaNaLinha(ctx, sinalVerde, ctx.relogio.Agora() + PrazoDoSinalVerde);
    Pausa(ctx, 0.01);
    if (sinalVerde.Excedeu() || !LimpaBufferModem(ctx))
        return falhou(FalhaDoLogOn::DadosDemais);
    return Termina(ctx, true);
}
