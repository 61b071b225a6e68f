#include "modem/ComandosModem.h"

#include "common/Modulo.h"
#include "modem/RespostaDaLinha.h"
#include "settings/Conexao.h"
#include "settings/PerfilINI.h"

bool ConfiguraPorta(Contexto& ctx) {
    ctx.porta.setCommPort(Modulo::PortaModem);
    ctx.porta.setSettings(
        LeINI(QStringLiteral("MODEM"), QStringLiteral("Configurações"), QStringLiteral("9600,e,7,1")));
    ctx.porta.setHandshaking(2);
    ctx.porta.setRTSEnable(true);
    return ctx.porta.setPortOpen(true);
}

void InicializaModem(Contexto& ctx) {
    // A direct line or a network connection has no modem to reset.
    if (LeTipoDeConexao() != TipoDeConexao::Modem)
        return;
    const QString inicializacao =
        LeINI(QStringLiteral("MODEM"), QStringLiteral("Inicialização"), QStringLiteral("ATZ"));
    ctx.porta.Output(inicializacao + Modulo::CR);
    if (!AguardaResposta(ctx, QStringLiteral("OK"), 4))
        ctx.operador.Mensagem(MensagemModemTimeOut, QStringLiteral("Informação:"), Icone::Informacao);
    Pausa(ctx, 0.05);
    ctx.porta.Output(QStringLiteral("ate0") + Modulo::CR);
    if (!AguardaResposta(ctx, QStringLiteral("OK"), 4))
        ctx.operador.Mensagem(MensagemModemTimeOut, QStringLiteral("Informação:"), Icone::Informacao);
}

bool AguardaResposta(Contexto& ctx, const QString& esperado, double tempo) {
    if (tempo == 0)
        tempo = 600;
    RespostaDaLinha resposta({esperado});
    return AguardaNaLinha(ctx, resposta, ctx.relogio.Agora() + tempo);
}

void Pausa(Contexto& ctx, double segundos) {
    ctx.relogio.Pausa(segundos);
}

bool LimpaBufferModem(Contexto& ctx, QByteArray* descartado) {
    // A line that never stops sending cannot be emptied: give up after a few answers' worth.
    qsizetype descartados = 0;
    do {
        const QByteArray lidos = ctx.porta.LeBytes();
        descartados += lidos.size();
        if (descartado)
            *descartado = (*descartado + lidos).right(64);
        if (descartados > 4 * MaximoDaResposta)
            return false;
    } while (ctx.porta.InBufferCount() > 0);
    return true;
}
