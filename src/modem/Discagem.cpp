#include "modem/Discagem.h"

#include "common/Interrupcao.h"
#include "common/Modulo.h"
#include "common/Numero.h"
#include "modem/ComandosModem.h"
#include "modem/Desligamento.h"
#include "modem/PortaPerdida.h"
#include "modem/RespostaDaLinha.h"
#include "settings/PerfilINI.h"

#include <algorithm>

namespace {

const QString SecaoDiscagem = QStringLiteral("DISCAGEM");
const QString TituloErro = QStringLiteral("Erro:");

// How long the verdict wait blocks on the port before letting window events run again.
constexpr double IntervaloDeEventos = 0.05;

QString LeDiscagem(const LeituraINI& ini, const QString& chave, const QString& padrao) {
    return ini.Le(SecaoDiscagem, chave, padrao);
}

bool TemVeredito(const QString& recebido) {
    for (const char* texto : {"NO C", "NO A", "NO D", "NODI", "CONN", "BUSY"})
        if (recebido.contains(QLatin1String(texto)))
            return true;
    return false;
}

// The box for each failed dialling; none for a connection or an unknown code.
void InformaFalha(Contexto& ctx, qint16 codigo) {
    switch (codigo) {
    case DiscagemTempoEsgotado:
        ctx.operador.Mensagem(QStringLiteral("Modem Time Out: Tempo de espera esgostado."), TituloErro,
                              Icone::Critico);
        break;
    case DiscagemOcupado:
        ctx.operador.Mensagem(
            QStringLiteral("O telefone chamado está com sinal de linha ocupada, tente novamente."),
            TituloErro, Icone::Informacao);
        break;
    case DiscagemSemTom:
        ctx.operador.Mensagem(QStringLiteral("Não foi possível receber um tom de discagem. Caso você esteje "
                                             "discando a partir de uma linha PABX, consulte o manual para "
                                             "saber como resolver este problema."),
                              TituloErro, Icone::Informacao);
        break;
    case DiscagemSemPortadora:
        ctx.operador.Mensagem(
            QStringLiteral("Não foi possível receber um tom de discagem - Desconectado. Caso "
                           "você esteje discando a partir de uma linha PABX, consulte o "
                           "manual para saber como resolver este problema."),
            TituloErro, Icone::Informacao);
        break;
    case DiscagemSemResposta:
        ctx.operador.Mensagem(
            QStringLiteral("A central não atendeu a chamada (o modem respondeu \"NO ANSWER\"). "
                           "Tente novamente mais tarde."),
            TituloErro, Icone::Informacao);
        break;
    case DiscagemDadosDemais:
        ctx.operador.Mensagem(QStringLiteral("o modem enviou dados demais durante a discagem (mais de 16 KB "
                                             "sem uma resposta conhecida) e a discagem foi abandonada."),
                              TituloErro, Icone::Informacao);
        break;
    default:
        break;
    }
}

bool EcoDesligado(Contexto& ctx) {
    ctx.porta.Output(QStringLiteral("ATE0") + Modulo::CR);
    return AguardaResposta(ctx, QStringLiteral("OK"), 4);
}

// A modem left on line by an earlier call takes "ATE0" as data: it is brought back once.
bool ModemResponde(Contexto& ctx) {
    if (EcoDesligado(ctx))
        return true;
    return ctx.porta.PortOpen() && RetomaModoDeComando(ctx) && EcoDesligado(ctx);
}

} // namespace

QString MontaLinhaDeDiscagem() {
    // One reading of the file for the whole line.
    const LeituraINI ini;
    QString comando = QStringLiteral("AT");
    if (LeDiscagem(ini, QStringLiteral("PABX"), QStringLiteral("Não")) == QLatin1String("Sim"))
        comando += QLatin1String("X3");
    comando += LeDiscagem(ini, QStringLiteral("Linha"), QStringLiteral("Pulso")) == QLatin1String("Tom")
                   ? QLatin1String("DT")
                   : QLatin1String("DP");

    // An existing but empty outside-line prefix still waits for the second dial tone.
    QString linhaExterna;
    const QString prefixoPABX = LeDiscagem(ini, QStringLiteral("PrefixoPABX"), QStringLiteral("VAZIO"));
    if (prefixoPABX != QLatin1String("VAZIO"))
        linhaExterna = prefixoPABX + QLatin1Char('W');

    QString ddd;
    const QString padrao = LeDiscagem(ini, QStringLiteral("Padrão"), QStringLiteral("011"));
    const QString prefixo = LeDiscagem(ini, QStringLiteral("Prefixo"), QStringLiteral("011"));
    if (ValorNumerico(padrao) != ValorNumerico(prefixo))
        ddd = prefixo;

    const QString numero = LeDiscagem(ini, QStringLiteral("Telefone"), TelefonePadrao);

    return comando + QLatin1Char(' ') + linhaExterna + ddd + numero + Modulo::CR;
}

qint16 ClassificaRespostaDiscagem(const QString& recebido) {
    qint16 codigo = DiscagemNenhuma;
    if (recebido.contains(QLatin1String("NO C")))
        codigo = DiscagemSemPortadora;
    if (recebido.contains(QLatin1String("NO A")))
        codigo = DiscagemSemResposta;
    if (recebido.contains(QLatin1String("NO D")))
        codigo = DiscagemSemTom;
    if (recebido.contains(QLatin1String("NODI")))
        codigo = DiscagemSemTom;
    if (recebido.contains(QLatin1String("CONN")))
        codigo = DiscagemConectado;
    if (recebido.contains(QLatin1String("BUSY")))
        codigo = DiscagemOcupado;
    return codigo;
}

qint16 AnalisaRespostaDiscagem(Contexto& ctx) {
    const double prazo = ctx.relogio.Agora() + 60;
    QString recebido;
    {
        AmpulhetaLigada ampulheta(ctx.operador);
        for (;;) {
            recebido += ctx.porta.Input();
            if (!TemVeredito(recebido) && recebido.size() > MaximoDaResposta)
                return DiscagemDadosDemais;
            // Pending window events run on every pass.
            ctx.relogio.Pausa(0);
            // A termination signal: nothing has been sent yet, so the call is dropped at once.
            if (TemVeredito(recebido) || ctx.relogio.Agora() > prazo || Interrupcao::Pedidos() > 0)
                break;
            // Sleeps on the port instead of spinning, but briefly, so events keep running.
            ctx.porta.AguardaDados(std::min(prazo, ctx.relogio.Agora() + IntervaloDeEventos));
        }
    }
    if (Interrupcao::Pedidos() > 0)
        return DiscagemNenhuma;
    if (ctx.relogio.Agora() > prazo)
        return DiscagemTempoEsgotado;

    // The rest of the answer line ("CONNECT 9600/ARQ", a later "BUSY").
    Pausa(ctx, 0.5);
    recebido += ctx.porta.Input();
    const qint16 codigo = ClassificaRespostaDiscagem(recebido);

    Pausa(ctx, 0.1);
    LimpaBufferModem(ctx);
    return codigo;
}

bool DiscaOperadora(Contexto& ctx, qint16* codigo) {
    qint16 veredito = DiscagemSemModem;
    qint16& resposta = codigo ? *codigo : veredito;
    resposta = DiscagemSemModem;
    // Defaults in place of a refused file could dial somebody else's number.
    if (const QString problema = LeituraINI().Problema(); !problema.isEmpty()) {
        ctx.operador.Mensagem(problema, TituloErro, Icone::Informacao);
        return false;
    }
    LimpaBufferModem(ctx);
    if (!ModemResponde(ctx)) {
        if (!InformaPortaPerdida(ctx))
            ctx.operador.Mensagem(MensagemModemTimeOut, QStringLiteral("Informação:"), Icone::Informacao);
        return false;
    }

    const QString linha = MontaLinhaDeDiscagem();
    Pausa(ctx, 0.2);
    ctx.porta.Output(linha);
    Pausa(ctx, 0.1);

    resposta = AnalisaRespostaDiscagem(ctx);
    InformaFalha(ctx, resposta);

    Pausa(ctx, 0.2);
    return resposta == DiscagemConectado;
}

void DesconectaModem(Contexto& ctx) {
    AmpulhetaLigada ampulheta(ctx.operador);
    ctx.operador.Status(QStringLiteral(" Desconectando modem, aguarde ..."));
    ctx.porta.Output(QStringLiteral("+++"));
    Pausa(ctx, 3);
    ctx.porta.Output(QStringLiteral("ATH0") + Modulo::CR);
    Pausa(ctx, 2);
    LimpaBufferModem(ctx);
    Pausa(ctx, 0.1);
    ctx.operador.Status(QStringLiteral(" Pronto"));
}
