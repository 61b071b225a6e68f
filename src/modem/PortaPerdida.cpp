#include "modem/PortaPerdida.h"

namespace {
const QString TituloErro = QStringLiteral("Erro:");
}

bool ReabrePortaPerdida(Contexto& ctx) {
    if (ctx.porta.PortOpen() || ctx.porta.setPortOpen(true))
        return true;
    ctx.operador.Mensagem(
        QStringLiteral(
            "A porta serial do modem não está disponível: o dispositivo foi desconectado ou está "
            "sendo usado por outro programa. Reconecte o modem e tente de novo; não é preciso "
            "reiniciar o programa nem configurar o modem outra vez. Nenhuma mensagem foi enviada."),
        TituloErro, Icone::Informacao);
    return false;
}

bool InformaPortaPerdida(Contexto& ctx) {
    if (ctx.porta.PortOpen())
        return false;
    ctx.operador.Mensagem(
        QStringLiteral("A porta serial do modem foi perdida: o dispositivo foi desconectado ou deixou de "
                       "responder. Reconecte o modem; a porta será aberta de novo automaticamente."),
        TituloErro, Icone::Informacao);
    return true;
}
