#include "shell/Inicializacao.h"

#include "common/Modulo.h"
#include "common/Numero.h"
#include "modem/ComandosModem.h"
#include "settings/Conexao.h"
#include "settings/PerfilINI.h"
#include "shell/LocalDoBanco.h"
#include "store/BancoDeDados.h"

#include <QDir>

namespace {
const QString kVazio = QStringLiteral("VAZIO");
const QString kModem = QStringLiteral("MODEM");
const QString kPortaSerial = QStringLiteral("Porta Serial");
} // namespace

bool ExecutaLacoDaPorta(Contexto& ctx, const LacoDaPorta& laco) {
    // Over TCP no serial port is used at all.
    if (LeTipoDeConexao() == TipoDeConexao::TCP)
        return true;
    for (;;) {
        Modulo::PortaModem = ValorInteiro16(LeINI(kModem, kPortaSerial, kVazio));
        if (laco.antesDeAbrir)
            laco.antesDeAbrir();
        if (ConfiguraPorta(ctx))
            return true;
        if (laco.aoFalhar)
            laco.aoFalhar();
        // Another Bipvox program in a call: nothing is wrong with the modem's settings.
        const QString ocupante = ctx.porta.EmUsoPor();
        if (!ocupante.isEmpty()) {
            ctx.operador.Mensagem(
                QStringLiteral("O modem está %1. Ele será usado quando estiver livre: um envio "
                               "feito agora espera o fim da outra chamada.")
                    .arg(ocupante),
                QStringLiteral("Informação:"), Icone::Informacao);
            return true;
        }
        ctx.operador.Status(QStringLiteral(" Erro iniciando a porta serial do modem."));
        const Resposta resposta = ctx.operador.Mensagem(
            QStringLiteral(
                "Houve um erro ao tentar inicializar o modem. Você deseja ajustar as configurações do seu "
                "modem?"),
            QStringLiteral("Erro:"), Icone::Critico, Botoes::SimNao);
        if (resposta != Resposta::Sim) {
            ctx.operador.Mensagem(
                QStringLiteral(
                    "Este erro pode ter sido ocasionado pelo fato de que outro aplicativo está utilizando a "
                    "porta serial onde está instalado o seu modem. Reinicialize o seu computador e tente "
                    "novamente."),
                QStringLiteral("Informação:"), Icone::Informacao);
            return false;
        }
        ctx.operador.Status(QStringLiteral(" Configurando modem ..."));
        laco.mostraConfigModem();
    }
}

void InicializaModemComAmpulheta(Contexto& ctx) {
    if (LeTipoDeConexao() == TipoDeConexao::Modem && ctx.porta.PortOpen()) {
        ctx.operador.Status(QStringLiteral(" Inicializando Modem, aguarde ..."));
        const AmpulhetaLigada ampulheta(ctx.operador);
        InicializaModem(ctx);
    }
    // Each transmission takes the port again; until then other Bipvox programs may use it.
    ctx.porta.setPortOpen(false);
    ctx.operador.Status(QStringLiteral(" Pronto"));
}

FimDaInicializacao ExecutaInicializacao(Contexto& ctx, JanelasDaInicializacao& janelas,
                                        const QString& diretorioDoBanco) {
    janelas.MostraSplash();
    janelas.MostraPrincipal();

    ctx.operador.Status(QStringLiteral(" Inicializando Banco de Dados, aguarde ..."));
    AberturaDoBanco banco;
    {
        const AmpulhetaLigada ampulheta(ctx.operador);
        banco = AbreBancoDoPrograma(diretorioDoBanco.isEmpty()
                                        ? QString()
                                        : QDir(diretorioDoBanco).filePath(QStringLiteral("Pager.Mdb")));
    }
    const QString bancoNovo = banco.criado ? QStringLiteral("Banco de dados novo criado em %1.")
                                                 .arg(QDir::toNativeSeparators(banco.local.caminho))
                                           : QString();
    if (banco.criado)
        ctx.operador.Status(QLatin1Char(' ') + bancoNovo);
    if (!banco.aberto) {
        janelas.FechaSplash();
        ctx.operador.Status(QStringLiteral(" Erro iniciando o bando de dados."));
        ctx.operador.Mensagem(
            QStringLiteral("Houve um erro sério ao tentar abrir o arquivo de dados do sistema.") +
                (banco.erro.isEmpty() ? QString() : QStringLiteral("\n\n") + banco.erro),
            QStringLiteral("Erro:"), Icone::Critico);
        return FimDaInicializacao::EncerrarPrograma;
    }
    if (!banco.aviso.isEmpty()) {
        janelas.FechaSplash();
        ctx.operador.Mensagem(banco.aviso, QStringLiteral("Informação:"), Icone::Informacao);
    }

    if (LeINI(kModem, kPortaSerial, kVazio) == kVazio && LeTipoDeConexao() != TipoDeConexao::TCP) {
        janelas.FechaSplash();
        ctx.operador.Status(QStringLiteral(" Configurando modem ..."));
        janelas.MostraConfigModem();
    }

    ctx.operador.Status(QStringLiteral(" Inicializando variáveis, aguarde ..."));
    LacoDaPorta laco;
    laco.aoFalhar = [&janelas] { janelas.FechaSplash(); };
    laco.mostraConfigModem = [&janelas] { janelas.MostraConfigModem(); };
    if (!ExecutaLacoDaPorta(ctx, laco)) {
        FechaBancoDeDados();
        return FimDaInicializacao::EncerrarPrograma;
    }

    InicializaModemComAmpulheta(ctx);
    // The person learns where the history of a first start went.
    if (banco.criado)
        ctx.operador.Status(QStringLiteral(" Pronto. ") + bancoNovo);
    janelas.FechaSplash();

    if (LeINI(QStringLiteral("OPÇÕES"), QStringLiteral("AutoEnviar"), QStringLiteral("Não")) ==
        QLatin1String("Sim"))
        janelas.MostraMontaMsg();
    return FimDaInicializacao::Pronto;
}
