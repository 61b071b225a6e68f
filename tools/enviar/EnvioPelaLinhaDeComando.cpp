#include "EnvioPelaLinhaDeComando.h"

#include "Destinatario.h"
#include "PedidoDaLinhaDeComando.h"
#include "common/Interrupcao.h"
#include "common/Modulo.h"
#include "common/Numero.h"
#include "compose/Destinatarios.h"
#include "modem/ComandosModem.h"
#include "modem/Desligamento.h"
#include "modem/Discagem.h"
#include "modem/Enlace.h"
#include "modem/PortaSerialQt.h"
#include "settings/Conexao.h"
#include "settings/DispositivoDaPorta.h"
#include "settings/PerfilINI.h"
#include "shell/LocalDoBanco.h"
#include "store/BancoDeDados.h"

#include <QFileInfo>
#include <algorithm>

namespace {

constexpr int TamanhoDoNome = 50; // the user dialog's limit

struct Preparo {
    SaidaDoEnvio saida = TodasAceitas;
    qint32 id = 0;
    std::optional<DadosUsuario> pagerAvulso;
};

SaidaDoEnvio Falha(OperadorDeConsole& console, SaidaDoEnvio saida, const QString& texto) {
    console.Aviso(texto);
    return saida;
}

const QString kInterrompido = QStringLiteral("interrompido por um sinal de término");

// Waits the given seconds, but a termination signal ends the wait; true when it came.
bool EsperaOuInterrompe(Relogio& relogio, double segundos) {
    const double fim = relogio.Agora() + segundos;
    while (Interrupcao::Pedidos() == 0 && relogio.Agora() < fim)
        relogio.Pausa(std::min(0.25, fim - relogio.Agora()));
    return Interrupcao::Pedidos() > 0;
}

Preparo PreparaDestino(const OpcoesDoEnvio& opcoes, OperadorDeConsole& console) {
    Preparo preparo;
    // The code and the name were checked with the options.
    if (opcoes.dadas.contains(QStringLiteral("--pager"))) {
        const QString& codigo = opcoes.pager;
        // A one-user send records the name padded to its field, as the window does.
        preparo.pagerAvulso = DadosUsuario{
            codigo, opcoes.nome.isEmpty() ? QString() : opcoes.nome.leftJustified(TamanhoDoNome), true};
        return preparo;
    }
    const bool usuario = opcoes.dadas.contains(QStringLiteral("--usuario"));
    const Destinatario destino = usuario ? ProcuraUsuario(opcoes.usuario) : ProcuraGrupo(opcoes.grupo);
    if (!destino.erro.isEmpty())
        preparo.saida = Falha(console, destino.falhaDoBanco ? SemPortaOuBanco : ErroDeUso, destino.erro);
    preparo.id = destino.id;
    return preparo;
}

// Opens the modem's port, waiting up to --esperar seconds while another program holds it.
SaidaDoEnvio AbrePorta(Contexto& ctx, PortaSerialQt& porta, const OpcoesDoEnvio& opcoes,
                       OperadorDeConsole& console) {
    const QString portaNoINI =
        LeINI(QStringLiteral("MODEM"), QStringLiteral("Porta Serial"), QStringLiteral("VAZIO"));
    if (portaNoINI == QLatin1String("VAZIO"))
        return Falha(console, SemPortaOuBanco,
                     QStringLiteral("o modem ainda não foi configurado (%1): abra o Bipvox e escolha a porta "
                                    "do modem.")
                         .arg(CaminhoDoINI()));
    Modulo::PortaModem = ValorInteiro16(portaNoINI);
    const double limite = ctx.relogio.Agora() + opcoes.esperar;
    bool avisado = false;
    while (!ConfiguraPorta(ctx)) {
        const QString motivo = QStringLiteral("não foi possível abrir a porta do modem (COM%1, %2): %3.")
                                   .arg(Modulo::PortaModem)
                                   .arg(DispositivoDaPorta(Modulo::PortaModem), porta.UltimoErro());
        if (!porta.EmUso())
            return Falha(console, SemPortaOuBanco, motivo);
        if (ctx.relogio.Agora() >= limite)
            return Falha(console, SemPortaOuBanco,
                         motivo + (opcoes.esperar > 0
                                       ? QStringLiteral(" Esperou %1 s.").arg(opcoes.esperar)
                                       : QStringLiteral(" Use --esperar S para aguardar a porta.")));
        if (!avisado)
            console.Andamento(
                QStringLiteral("A porta do modem está em uso; aguardando até %1 s ...").arg(opcoes.esperar));
        avisado = true;
        if (EsperaOuInterrompe(ctx.relogio, std::min(0.25, std::max(0.0, limite - ctx.relogio.Agora()))))
            return Falha(console, Interrompido,
                         kInterrompido + QStringLiteral(" esperando a porta; nada foi enviado."));
    }
    return TodasAceitas;
}

bool Rediscavel(qint16 codigo) {
    return codigo == DiscagemOcupado || codigo == DiscagemSemPortadora || codigo == DiscagemSemResposta ||
           codigo == DiscagemTempoEsgotado;
}

// Dials as the progress window does, again after a busy line or an unanswered call.
SaidaDoEnvio Disca(Contexto& ctx, const OpcoesDoEnvio& opcoes, OperadorDeConsole& console) {
    for (int tentativa = 1;; ++tentativa) {
        if (opcoes.tentativas > 1)
            console.Andamento(QStringLiteral("Tentativa %1 de %2").arg(tentativa).arg(opcoes.tentativas));
        ctx.operador.Status(QStringLiteral(" Discando para a empresa de rádio chamadas, aguarde ..."));
        qint16 codigo = DiscagemNenhuma;
        const bool conectado = DiscaOperadora(ctx, &codigo);
        if (conectado && Interrupcao::Pedidos() == 0)
            return TodasAceitas;
        console.Titulo(QStringLiteral("Desconectando Modem ..."));
        if (conectado)
            DesligaChamada(ctx);
        else
            DesconectaModem(ctx);
        if (Interrupcao::Pedidos() > 0)
            return Falha(console, Interrompido,
                         kInterrompido + QStringLiteral(" na discagem; nada foi enviado."));
        if (codigo == DiscagemSemModem)
            return Falha(console, SemPortaOuBanco,
                         QStringLiteral("o modem não respondeu; nada foi enviado."));
        if (!Rediscavel(codigo) || tentativa >= opcoes.tentativas)
            return Falha(console, SemConexao,
                         QStringLiteral("sem conexão com a central após %1 tentativa(s); nada foi enviado.")
                             .arg(tentativa));
        console.Andamento(QStringLiteral("Nova tentativa em %1 s ...").arg(opcoes.intervalo));
        if (EsperaOuInterrompe(ctx.relogio, opcoes.intervalo))
            return Falha(console, Interrompido, kInterrompido + QStringLiteral("; nada foi enviado."));
    }
}

// A direct line or a TCP terminal: no dialling; a refused connection is tried again like a busy
// line, a cable whose port cannot be opened is not.
SaidaDoEnvio Conecta(Contexto& linha, Enlace& enlace, TipoDeConexao tipo, const OpcoesDoEnvio& opcoes,
                     OperadorDeConsole& console) {
    for (int tentativa = 1;; ++tentativa) {
        if (opcoes.tentativas > 1)
            console.Andamento(QStringLiteral("Tentativa %1 de %2").arg(tentativa).arg(opcoes.tentativas));
        linha.operador.Status(enlace.StatusDaAbertura());
        const bool aberto = enlace.Abre(linha);
        if (Interrupcao::Pedidos() > 0) {
            if (aberto)
                enlace.Fecha(linha);
            return Falha(console, Interrompido, kInterrompido + QStringLiteral("; nada foi enviado."));
        }
        if (aberto)
            return TodasAceitas;
        if (tipo == TipoDeConexao::Direta)
            return Falha(console, SemPortaOuBanco,
                         QStringLiteral("a porta da linha direta não pôde ser aberta; nada foi enviado."));
        if (tentativa >= opcoes.tentativas)
            return Falha(console, SemConexao,
                         QStringLiteral("sem conexão com a central após %1 tentativa(s); nada foi enviado.")
                             .arg(tentativa));
        console.Andamento(QStringLiteral("Nova tentativa em %1 s ...").arg(opcoes.intervalo));
        if (EsperaOuInterrompe(linha.relogio, opcoes.intervalo))
            return Falha(console, Interrompido, kInterrompido + QStringLiteral("; nada foi enviado."));
    }
}

SaidaDoEnvio Desfecho(bool concluido, const ResultadoDoEnvio& r, OperadorDeConsole& console) {
    for (const QString& pagina : r.desfechos)
        console.Andamento(pagina);
    // A page that went out unrecorded matters more than any other outcome: the history lies.
    if (r.naoRegistradas > 0)
        return Falha(console, SemHistorico,
                     QStringLiteral("%1 página(s) saíram, mas não puderam ser registradas no histórico; "
                                    "elas estão em PaginasNaoRegistradas.txt, ao lado do banco.")
                         .arg(r.naoRegistradas));
    const bool porSinal = !concluido && Interrupcao::Pedidos() > 0;
    if (porSinal && r.entregues == 0)
        return Falha(console, Interrompido, kInterrompido + QStringLiteral("; nenhuma página foi entregue."));
    if (!concluido && r.entregues == 0)
        return Falha(console, SemConexao,
                     QStringLiteral("a transmissão não se completou; nenhuma página foi entregue."));
    QString resumo = QStringLiteral("%1 página(s) aceita(s) pela central").arg(r.entregues - r.recusadas);
    if (r.recusadas > 0)
        resumo += QStringLiteral(", %1 com código recusado").arg(r.recusadas);
    if (r.puladas > 0)
        resumo += QStringLiteral(", %1 membro(s) fora do cadastro ou sem código de pager").arg(r.puladas);
    if (porSinal)
        return Falha(console, Interrompido, kInterrompido + QStringLiteral(": ") + resumo + QLatin1Char('.'));
    if (!concluido)
        return Falha(console, AlgumaNaoEntregue,
                     QStringLiteral("a transmissão foi interrompida: ") + resumo + QLatin1Char('.'));
    if (r.recusadas > 0 || r.puladas > 0)
        return Falha(console, AlgumaNaoEntregue, resumo + QLatin1Char('.'));
    console.Andamento(resumo + QLatin1Char('.'));
    return TodasAceitas;
}

// Over the link the settings ask for (modem, direct line or TCP), as the window program does.
SaidaDoEnvio EnviaPeloEnlace(const OpcoesDoEnvio& opcoes, const QString& mensagem, const Preparo& destino,
                             OperadorDeConsole& console, Relogio& relogio) {
    // A refused settings file reads as all defaults, the modem among them: say why instead.
    if (const QString problema = LeituraINI().Problema(); !problema.isEmpty())
        return Falha(console, SemPortaOuBanco, problema + QStringLiteral(" Nada foi discado."));
    const TipoDeConexao tipo = LeTipoDeConexao();
    // Trying again cannot mend a bad address or port.
    if (const QString problema = ProblemaDoDestinoTCP(); tipo == TipoDeConexao::TCP && !problema.isEmpty())
        return Falha(console, SemPortaOuBanco, problema + QStringLiteral(" Nada foi enviado."));
    PortaSerialQt porta(relogio);
    Contexto ctx{relogio, porta, console};
    // A TCP terminal needs no serial port at all.
    if (tipo != TipoDeConexao::TCP) {
        const SaidaDoEnvio aberta = AbrePorta(ctx, porta, opcoes, console);
        if (aberta != TodasAceitas)
            return aberta;
    }
    if (tipo == TipoDeConexao::Modem) {
        ctx.operador.Status(QStringLiteral(" Inicializando Modem, aguarde ..."));
        InicializaModem(ctx);
    }

    const bool usuario = !opcoes.dadas.contains(QStringLiteral("--grupo"));
    PedidoDaLinhaDeComando pedido(usuario, mensagem, destino.pagerAvulso);
    Modulo::MensagemEnvio = mensagem;
    Modulo::EnvioIniciado = true;
    PreencheCodigosDaLista({destino.id});

    const std::unique_ptr<Enlace> enlace = CriaEnlace(ctx);
    Contexto linha{relogio, enlace->Porta(), console};
    const SaidaDoEnvio abertura = tipo == TipoDeConexao::Modem
                                      ? Disca(linha, opcoes, console)
                                      : Conecta(linha, *enlace, tipo, opcoes, console);
    if (abertura != TodasAceitas)
        return abertura;
    ResultadoDoEnvio resultado;
    const bool concluido = usuario ? EnviarUsuario(linha, *enlace, pedido, console, &resultado)
                                   : EnviarGrupo(linha, *enlace, pedido, console, &resultado);
    // The history rows reach the disk before the program ends.
    ConsolidaBancoDeDados();
    return Desfecho(concluido, resultado, console);
}

} // namespace

SaidaDoEnvio ExecutaEnvio(const OpcoesDoEnvio& opcoes, const QString& mensagem, OperadorDeConsole& console,
                          Relogio& relogio) {
    console.Status(QStringLiteral(" Inicializando Banco de Dados, aguarde ..."));
    const AberturaDoBanco banco = AbreBancoDoPrograma(opcoes.banco);
    if (!banco.aberto)
        return Falha(
            console, SemPortaOuBanco,
            QStringLiteral("não foi possível abrir o banco de dados %1: ausente, danificado, protegido "
                           "contra escrita ou sem as tabelas do Bipvox.%2")
                .arg(opcoes.banco.isEmpty() ? DescreveLocalDoBanco(banco.local)
                                            : QLatin1Char('"') + opcoes.banco + QLatin1Char('"'),
                     banco.erro.isEmpty() ? QString() : QLatin1Char(' ') + banco.erro));
    if (!banco.aviso.isEmpty())
        console.Aviso(banco.aviso);
    const Preparo destino = PreparaDestino(opcoes, console);
    const SaidaDoEnvio saida = destino.saida != TodasAceitas
                                   ? destino.saida
                                   : EnviaPeloEnlace(opcoes, mensagem, destino, console, relogio);
    FechaBancoDeDados();
    return saida;
}
