#include "tap/Envio.h"

#include "common/Interrupcao.h"
#include "common/Modulo.h"
#include "modem/ComandosModem.h"
#include "modem/Discagem.h"
#include "modem/Enlace.h"
#include "modem/RespostaDaLinha.h"
#include "store/BancoDeDados.h"
#include "store/ConsolidacaoAdiada.h"
#include "store/Consultas.h"
#include "store/Snapshot.h"
#include "tap/EntregaDePagina.h"
#include "tap/FuncoesTAP.h"
#include "tap/Ligacao.h"
#include "tap/LogOn.h"
#include "tap/PaginasNaoRegistradas.h"
#include "tap/RespostasNumeradas.h"
#include "tap/TextoDaPagina.h"

#include <QDateTime>
#include <QScopeGuard>
#include <functional>
#include <optional>

namespace {

constexpr double PrazoDaResposta = 5;
constexpr int MaximoDeNAKs = 3;

const QString kTituloErro = QStringLiteral("Erro:");
const QString kEnviando = QStringLiteral(" Enviando mensagem, aguade ...");
const QString MensagemSenhaFaltando = QStringLiteral(
    "A central recusou a entrada sem senha: ela deve exigir uma senha de acesso. Informe a senha em Opções "
    "Avançadas (área Conexão) ou na chave Senha da seção [CONEXÃO] do Bipvoxcf.INI. Nenhuma mensagem foi "
    "enviada.");

QString Ajusta(const QString& texto, int tamanho) {
    return texto.left(tamanho).leftJustified(tamanho, QLatin1Char(' '));
}

void Informa(Contexto& ctx, const QString& texto, const QString& titulo = kTituloErro) {
    ctx.operador.Mensagem(texto, titulo, Icone::Informacao);
}

// A send given up: hang up (or end the session) and say so on the progress window.
bool Desconecta(Contexto& ctx, Enlace& enlace, PainelDeEnvio& painel) {
    painel.Titulo(enlace.TituloDoFechamento());
    enlace.Interrompe(ctx);
    return false;
}

// Before the log-on, or when there is no session to end.
bool Fecha(Contexto& ctx, Enlace& enlace, PainelDeEnvio& painel) {
    painel.Titulo(enlace.TituloDoFechamento());
    enlace.Fecha(ctx);
    return false;
}

enum class Veredito { Aceita, Recusada, PedidoDeDesconexao, NAK, TempoEsgotado, DadosDemais };

struct RespostaDoTerminal {
    Veredito veredito;
    bool codigoRecusado; // CR RS CR came with it
    QString texto = {};
};

// Writes one transmission unit and waits, without letting events run, for the terminal's
// answer. The clock is judged first: an answer found after the deadline counts as a time-out.
// enquantoSai runs once the unit is handed to the port, while it crosses the line.
RespostaDoTerminal EnviaEAguarda(Contexto& ctx, const QString& unidade,
                                 const std::function<void()>& enquantoSai) {
    enum { Desconexao, Recusa, Aceita, Rejeita };
    static const QStringList kFins{Modulo::ESC + Modulo::EOT + Modulo::CR,
                                   Modulo::CR + Modulo::RS + Modulo::CR, Modulo::ACK + Modulo::CR,
                                   Modulo::NAK + Modulo::CR};

    // Only what arrives after the page's last byte went out can answer it: a late or doubled
    // answer to an earlier block (or to the log-on) must never pass for this page's acceptance.
    QByteArray antes;
    if (!LimpaBufferModem(ctx, &antes))
        return {Veredito::DadosDemais, false};
    // The terminal ended the session right after answering the page before (a session limit, its
    // ESC EOT CR read apart from the ACK): nothing goes down a line it has left.
    if (antes.contains("\x1b\x04\r"))
        return {Veredito::PedidoDeDesconexao, false, QString::fromLatin1(antes)};
    ctx.porta.Output(unidade);
    // Before waiting for the last byte to leave: on a real line that wait is the block's whole
    // time on the wire. What arrives meanwhile is judged by EsvaziaSaida as before.
    if (enquantoSai)
        enquantoSai();
    ctx.porta.EsvaziaSaida();
    RespostaDaLinha resposta(kFins);
    if (!AguardaNaLinha(ctx, resposta, ctx.relogio.Agora() + PrazoDaResposta))
        return {resposta.Excedeu() ? Veredito::DadosDemais : Veredito::TempoEsgotado, false};
    // Read in the order it came: an ESC EOT CR behind the page's ACK or RS (a session limit) ends
    // the session after the page was judged, while one before it, or behind a NAK, means the
    // terminal never took the page.
    const QString& texto = resposta.Texto();
    const qsizetype fim = texto.indexOf(kFins[Desconexao]);
    const auto antesDoFim = [&texto, fim](int k) {
        const qsizetype em = texto.indexOf(kFins[k]);
        return em >= 0 && (fim < 0 || em < fim);
    };
    const bool recusado = antesDoFim(Recusa);
    const bool rejeitada = antesDoFim(Rejeita);
    if (fim >= 0 && (rejeitada || !(recusado || antesDoFim(Aceita))))
        return {Veredito::PedidoDeDesconexao, false, texto};
    if (rejeitada)
        return {Veredito::NAK, recusado, texto};
    return {recusado ? Veredito::Recusada : Veredito::Aceita, recusado, texto};
}

bool LogOn(Contexto& ctx, Enlace& enlace, PainelDeEnvio& painel);

enum class Entrega { Feita, Falhou, Rediscar };

// What the window says and does when a page could not be delivered: Falhou after the user has
// been told and the line hung up. A terminal that ends the session once it has taken pages of
// this call (a session limit) is called again when rediscavel.
// In a group, every resend shows the sending text again, so the operator sees it is going on.
Entrega EntregaPagina(Contexto& ctx, Enlace& enlace, PainelDeEnvio& painel, const QString& unidade,
                      const std::function<void()>& aoRecusar, bool statusACadaEnvio = false,
                      const std::function<void()>& enquantoSai = {}, bool rediscavel = false,
                      QString* resposta = nullptr) {
    switch (EntregaUnidade(ctx, unidade, aoRecusar, statusACadaEnvio, enquantoSai, resposta)) {
    case DesfechoDaPagina::TempoEsgotado:
        // Asked to end at once: nothing more goes down the line.
        if (Interrupcao::Imediata())
            return Entrega::Falhou;
        // A vanished device or a closed connection also ends in silence: name the real cause.
        if (!enlace.InformaPerda(ctx))
            Informa(ctx, QStringLiteral("Erro: Time Out - Aguardando confirmação do dígito verificador ..."));
        Desconecta(ctx, enlace, painel);
        return Entrega::Falhou;
    case DesfechoDaPagina::DadosDemais:
        Informa(ctx, MensagemDadosDemais);
        Desconecta(ctx, enlace, painel);
        return Entrega::Falhou;
    case DesfechoDaPagina::PedidoDeDesconexao: {
        if (rediscavel)
            return Entrega::Rediscar;
        const QString pedido = QStringLiteral(" Desconexão solicitada pelo servidor.");
        ctx.operador.Status(pedido);
        Desconecta(ctx, enlace, painel);
        // The hang-up wrote its own texts; the reason is what must stay in view.
        ctx.operador.Status(pedido);
        return Entrega::Falhou;
    }
    case DesfechoDaPagina::NAKsEsgotados: {
        const QString recusada =
            QStringLiteral(" A central não aceitou a mensagem: três tentativas recusadas (NAK).");
        ctx.operador.Status(recusada);
        Desconecta(ctx, enlace, painel);
        ctx.operador.Status(recusada);
        return Entrega::Falhou;
    }
    case DesfechoDaPagina::Recusada:
    case DesfechoDaPagina::Aceita:
        break;
    }
    return Entrega::Feita;
}

// Hang up, call again and log on for the pages left after a session limit; false after the
// operator has been told why that failed.
bool NovaChamada(Contexto& ctx, Enlace& enlace, PainelDeEnvio& painel) {
    ctx.operador.Status(QStringLiteral(" A central encerrou a ligação por limite de páginas; ligando de "
                                       "novo para as restantes ..."));
    painel.Titulo(enlace.TituloDoFechamento());
    enlace.Fecha(ctx);
    ctx.operador.Status(enlace.StatusDaAbertura());
    if (!enlace.Abre(ctx)) {
        Fecha(ctx, enlace, painel);
        return false;
    }
    if (!LogOn(ctx, enlace, painel))
        return false;
    painel.Titulo(QStringLiteral("Enviando Mensagem ..."));
    return true;
}

// What the terminal said of a page it took (212 cut, 213 held), for the end of the send.
void AnotaAviso(const QString& resposta, const QString& quem, QStringList& avisos) {
    for (const LinhaNumerada& l : LinhasNumeradas(resposta))
        if (l.codigo >= 212 && l.codigo <= 214)
            avisos << quem + MotivoDaCentral(l.texto + QLatin1Char('\r')) + QLatin1Char('.');
}

// Frames the page; false (after the message) for a message over 240 characters.
bool MontaUnidade(Contexto& ctx, const QString& pager, const QString& mensagem, QString& unidade) {
    if (MontaUnidadeTAP(pager, mensagem, unidade))
        return true;
    Informa(ctx, QStringLiteral("Erro na criptografação da mensagem..."));
    return false;
}

// The message's pages as they are framed and as the history keeps them.
struct Paginas {
    QStringList campos;
    QStringList registros;
};

// False after telling the operator why the text cannot go.
bool PreparaPaginas(Contexto& ctx, const QString& texto, Paginas& p) {
    const RegrasDoTexto regras = LeRegrasDoTexto();
    QStringList paginas;
    QString erro;
    bool longo = false;
    if (!PaginasDoTexto(texto, regras, paginas, erro, &longo)) {
        Informa(ctx, longo ? QStringLiteral("Erro na criptografação da mensagem...") : AvisoDoTexto(erro));
        return false;
    }
    for (const QString& pagina : paginas)
        p.campos << CampoDaMensagem(pagina, regras);
    // One page keeps the blanks typed around it, as the history always has.
    p.registros = paginas.size() == 1 ? QStringList{TextoParaALinha(texto, regras)} : paginas;
    return true;
}

bool LogOn(Contexto& ctx, Enlace& enlace, PainelDeEnvio& painel) {
    painel.Titulo(QStringLiteral("Efetuando LogIn ..."));
    FalhaDoLogOn falha = FalhaDoLogOn::Nenhuma;
    if (AguardaIDeInicializaModoAutomatico(ctx, &falha))
        return true;
    Informa(ctx, falha == FalhaDoLogOn::SenhaRecusada
                     ? QStringLiteral("A central recusou a senha de acesso. Confira a senha em Opções "
                                      "Avançadas e tente novamente. Nenhuma mensagem foi enviada.")
                 : falha == FalhaDoLogOn::SenhaFaltando ? MensagemSenhaFaltando
                 : falha == FalhaDoLogOn::DadosDemais
                     ? MensagemDadosDemais
                     : QStringLiteral("Erro na tentativa de efetuar o LogIn. Tente novamente."));
    return Desconecta(ctx, enlace, painel);
}

// The page was taken by the terminal: one that cannot be recorded is kept for the end of the
// send, so the call goes on without waiting for the operator. Date and time come from one
// reading of the clock, so a page at midnight cannot get one day's date with another's time.
// A refused page keeps its row, with its outcome and the terminal's reason (empty when none).
void Registra(Contexto& ctx, const PedidoDeEnvio& pedido, const QString& usuario, const QString& mensagem,
              const QString& pager, qint32 id, PaginasNaoRegistradas& naoRegistradas,
              ResultadoDoEnvio* resultado, bool recusada, const QString& motivo = {}) {
    const QDateTime agora = ctx.relogio.DataHoraLocal();
    const bool gravado =
        GravaLog(agora.toString(QStringLiteral("yyyyMMdd")), agora.toString(QStringLiteral("HH:mm")), usuario,
                 mensagem, pager, id, recusada, motivo, pedido.Origem());
    if (!gravado)
        naoRegistradas.Adiciona(agora, usuario, pager, mensagem, id);
    if (resultado) {
        resultado->naoRegistradas += gravado ? 0 : 1;
        resultado->desfechos << QStringLiteral("%1 (pager %2): %3")
                                    .arg(SemBrancos(usuario), pager,
                                         DescreveSituacao(recusada ? QStringLiteral("recusada") : QString(),
                                                          motivo));
    }
}

// How a member is named in the summary of a group send that stopped early.
QString IdentificaMembro(const DadosUsuario& membro, qint32 id) {
    if (!membro.encontrado)
        return QStringLiteral("usuário %1 (não encontrado no cadastro)").arg(id);
    const QString nome = SemBrancos(membro.Nome_Usuario);
    const QString pager = SemBrancos(membro.ID_Pager);
    return pager.isEmpty() ? nome + QStringLiteral(" (sem código de pager)")
                           : QStringLiteral("%1 (pager %2)").arg(nome, pager);
}

// One message for a group send cut short, so the operator can send again to those left out.
void InformaEnvioInterrompido(Contexto& ctx, int receberam, int total, const QStringList& naoReceberam) {
    const QString cr = Modulo::CR;
    ctx.operador.Mensagem(
        QStringLiteral("O envio para o grupo foi interrompido: %1 de %2 membros receberam a "
                       "mensagem.")
                .arg(receberam)
                .arg(total) +
            cr + cr + QStringLiteral("Não receberam:") + cr + naoReceberam.join(cr),
        kTituloErro, Icone::Informacao);
}

// EOT CR, hang-up and the line made ready for the next send.
void Encerra(Contexto& ctx, Enlace& enlace, PainelDeEnvio& painel) {
    ctx.porta.Output(Modulo::EOT + Modulo::CR);
    Pausa(ctx, 0.05);
    ctx.operador.Status(QStringLiteral(" Mensagem enviada com sucesso."));
    painel.Titulo(enlace.TituloDoFechamento());
    enlace.Fecha(ctx);
    enlace.Renova(ctx);
}

// Runs its action when the transmission ends, whichever way.
struct ProcessoTerminado {
    std::function<void()> acao;
    ~ProcessoTerminado() { acao(); }
};

// Opens the port, waiting while another Bipvox program is in a call (telling who) until it is
// free or the operator gives up. A port that fails for another reason is left to RecuperaPorta.
bool TomaPorta(Contexto& ctx, PainelDeEnvio& painel) {
    bool esperou = false;
    while (!ctx.porta.PortOpen() && !ConfiguraPorta(ctx)) {
        const QString ocupante = ctx.porta.EmUsoPor();
        if (ocupante.isEmpty())
            break;
        esperou = true;
        ctx.operador.Status(QStringLiteral(" Aguardando o modem, ") + ocupante + QLatin1Char('.'));
        if (Interrupcao::Pedidos() > 0 || !painel.AguardandoPorta(ocupante)) {
            painel.AguardandoPorta(QString());
            ctx.operador.Status(QStringLiteral(" Envio cancelado; nada foi discado."));
            return false;
        }
        ctx.relogio.Pausa(0.5);
    }
    if (esperou) {
        painel.AguardandoPorta(QString());
        painel.Titulo(TituloDaAbertura(LeTipoDeConexao()));
    }
    return true;
}

// A termination signal between pages: the session is logged off and the line hung up as after a
// send, unless a second signal asked to end at once.
bool EncerraInterrompido(Contexto& ctx, Enlace& enlace, PainelDeEnvio& painel) {
    if (Interrupcao::Imediata())
        return false;
    ctx.operador.Status(QStringLiteral(" Envio interrompido, encerrando a sessão com a central ..."));
    ctx.porta.Output(Modulo::EOT + Modulo::CR);
    Pausa(ctx, 0.05);
    painel.Titulo(enlace.TituloDoFechamento());
    enlace.Fecha(ctx);
    return false;
}

int g_enviosEmCurso = 0;

qint32 IdentificadorSelecionado(const PedidoDeEnvio& pedido) {
    const int k = pedido.IndiceDaLista() + 1;
    if (k < 1 || k >= Modulo::CodigosDaLista.size())
        return 0;
    return Modulo::CodigosDaLista[k];
}

} // namespace

bool MontaUnidadeTAP(const QString& pager, const QString& mensagem, QString& unidade) {
    QString bloco;
    if (!MontaBlocoTAP(SemBrancos(pager), SemBrancos(mensagem), bloco))
        return false;
    QString checksum;
    CalculaChecksumTAP(bloco, checksum);
    unidade = bloco + checksum + Modulo::CR;
    return true;
}

DesfechoDaPagina EntregaUnidade(Contexto& ctx, const QString& unidade, const std::function<void()>& aoRecusar,
                                bool statusACadaEnvio, const std::function<void()>& enquantoSai,
                                QString* resposta) {
    int naks = 0;
    for (;;) {
        if (statusACadaEnvio)
            ctx.operador.Status(kEnviando);
        const RespostaDoTerminal r = EnviaEAguarda(ctx, unidade, enquantoSai);
        if (resposta)
            *resposta = r.texto;
        switch (r.veredito) {
        case Veredito::TempoEsgotado:
            return DesfechoDaPagina::TempoEsgotado;
        case Veredito::DadosDemais:
            return DesfechoDaPagina::DadosDemais;
        case Veredito::PedidoDeDesconexao:
            return DesfechoDaPagina::PedidoDeDesconexao;
        case Veredito::NAK:
            if (r.codigoRecusado)
                aoRecusar();
            ctx.operador.Status(QStringLiteral(" Erro na transmissão, re-enviando mensagem ..."));
            if (++naks == MaximoDeNAKs)
                return DesfechoDaPagina::NAKsEsgotados;
            continue;
        case Veredito::Recusada:
            aoRecusar();
            return DesfechoDaPagina::Recusada;
        case Veredito::Aceita:
            return DesfechoDaPagina::Aceita;
        }
    }
}

DadosUsuario ObtemDadosUsuario(Contexto& ctx, qint32 idUsuario) {
    DadosUsuario dados;
    std::optional<Snapshot> consulta;
    {
        const AmpulhetaLigada ampulheta(ctx.operador);
        consulta.emplace(Consultas::PagerDoUsuario, QVariantList{idUsuario});
    }
    dados.encontrado = consulta->Valido() && !consulta->Eof();
    dados.Nome_Usuario = Ajusta(consulta->Campo(QStringLiteral("Nome_Usuario")).toString(), 50);
    dados.ID_Pager = Ajusta(consulta->Campo(QStringLiteral("ID_Pager")).toString(), 10);
    consulta->Close();
    return dados;
}

DadosUsuario PedidoDeEnvio::DadosDoDestinatario(Contexto& ctx, qint32 idUsuario) {
    return ObtemDadosUsuario(ctx, idUsuario);
}

bool EnviarUsuario(Contexto& ctx, PedidoDeEnvio& pedido, PainelDeEnvio& painel, ResultadoDoEnvio* resultado) {
    EnlaceModem enlace(ctx.porta);
    return EnviarUsuario(ctx, enlace, pedido, painel, resultado);
}

bool EnviarGrupo(Contexto& ctx, PedidoDeEnvio& pedido, PainelDeEnvio& painel, ResultadoDoEnvio* resultado) {
    EnlaceModem enlace(ctx.porta);
    return EnviarGrupo(ctx, enlace, pedido, painel, resultado);
}

bool EnviarUsuario(Contexto& ctx, Enlace& enlace, PedidoDeEnvio& pedido, PainelDeEnvio& painel,
                   ResultadoDoEnvio* resultado) {
    const qint32 id = IdentificadorSelecionado(pedido);
    const DadosUsuario usuario = pedido.DadosDoDestinatario(ctx, id);
    if (!usuario.encontrado || SemBrancos(usuario.ID_Pager).isEmpty()) {
        // Nothing may go to a wrong or empty pager code.
        Informa(
            ctx,
            usuario.encontrado
                ? QStringLiteral(
                      "O usuário selecionado não possui código de pager. Nenhuma mensagem foi enviada.")
                : QStringLiteral("O usuário selecionado não foi encontrado no cadastro; ele pode ter sido "
                                 "excluído. Nenhuma mensagem foi enviada."));
        return Fecha(ctx, enlace, painel);
    }
    Paginas paginas;
    QStringList unidades;
    if (PreparaPaginas(ctx, pedido.TextoDaMensagem(), paginas))
        for (const QString& campo : paginas.campos)
            if (!MontaUnidade(ctx, usuario.ID_Pager, campo, unidades.emplace_back()))
                break;
    if (unidades.size() != paginas.campos.size() || unidades.isEmpty()) {
        enlace.Fecha(ctx);
        return false;
    }
    if (!LogOn(ctx, enlace, painel))
        return false;
    if (Interrupcao::Pedidos() > 0)
        return EncerraInterrompido(ctx, enlace, painel);

    painel.Titulo(QStringLiteral("Enviando Mensagem ..."));
    ctx.operador.Status(kEnviando);
    QString erros;
    int recusadas = 0;
    const auto recusado = [&erros, &recusadas] {
        ++recusadas;
        if (erros.isEmpty())
            erros += QStringLiteral("Código do Pager de usuário Inválido.") + Modulo::CR + Modulo::CR;
    };
    PaginasNaoRegistradas naoRegistradas;
    QStringList avisos;
    Ligacao ligacao([&] { return NovaChamada(ctx, enlace, painel); });
    for (qsizetype k = 0; k < unidades.size(); ++k) {
        const int recusadasAntes = recusadas;
        QString resposta;
        const Entrega entrega = !ligacao.Prossegue()
                                    ? Entrega::Falhou
                                    : EntregaPagina(ctx, enlace, painel, unidades[k], recusado, k > 0, {},
                                                    ligacao.Rediscavel(), &resposta);
        if (entrega == Entrega::Rediscar && ligacao.Repete()) {
            --k;
            continue;
        }
        if (entrega != Entrega::Feita) {
            naoRegistradas.Informa(ctx.operador);
            return false;
        }
        if (const QString motivo = MotivoDaCentral(resposta);
            recusadas > 0 && !motivo.isEmpty() && !erros.contains(QStringLiteral("Motivo")))
            erros += QStringLiteral("Motivo dado pela central: ") + motivo + QLatin1Char('.') + Modulo::CR;
        AnotaAviso(resposta, QString(), avisos);
        if (resultado) {
            resultado->entregues = int(k) + 1;
            resultado->recusadas = recusadas;
        }
        Registra(ctx, pedido, usuario.Nome_Usuario, paginas.registros[k], SemBrancos(usuario.ID_Pager), id,
                 naoRegistradas, resultado, recusadas > recusadasAntes, MotivoDaCentral(resposta));
        ligacao.Respondida(resposta);
    }
    Encerra(ctx, enlace, painel);
    if (!erros.isEmpty())
        Informa(ctx, erros);
    if (!avisos.isEmpty())
        Informa(ctx, QStringLiteral("A central avisou: ") + avisos.join(QLatin1Char(' ')),
                QStringLiteral("Informação:"));
    naoRegistradas.Informa(ctx.operador);
    return true;
}

bool EnviarGrupo(Contexto& ctx, Enlace& enlace, PedidoDeEnvio& pedido, PainelDeEnvio& painel,
                 ResultadoDoEnvio* resultado) {
    ResultadoDoEnvio contagem;
    ResultadoDoEnvio& conta = resultado ? *resultado : contagem;
    // Read once, before the call: every member as read then gets one page, to the pager code he
    // had then, whatever another desk saves while the pages go out.
    std::optional<Snapshot> membros;
    {
        const AmpulhetaLigada ampulheta(ctx.operador);
        membros.emplace(Consultas::MembrosComDados, QVariantList{IdentificadorSelecionado(pedido)});
    }
    if (!membros->Valido()) {
        Informa(ctx,
                QStringLiteral("Não foi possível ler os membros do grupo (%1). Nenhuma mensagem foi enviada.")
                    .arg(membros->Erro()));
        return Fecha(ctx, enlace, painel);
    }
    if (membros->Eof()) {
        Fecha(ctx, enlace, painel);
        Informa(ctx,
                QStringLiteral(
                    "Este grupo não possue nenhum usuário cadastrado. Não há alguém para enviar mensagem."));
        return false;
    }
    QVector<qint32> ids;
    QVector<DadosUsuario> dados;
    for (; !membros->Eof(); membros->MoveNext()) {
        ids << membros->Campo(QStringLiteral("ID_Usuario")).toInt();
        dados.append({Ajusta(membros->Campo(QStringLiteral("ID_Pager")).toString(), 10),
                      Ajusta(membros->Campo(QStringLiteral("Nome_Usuario")).toString(), 50),
                      !membros->Campo(QStringLiteral("Cadastrado")).isNull()});
    }
    membros.reset();
    Paginas paginas;
    if (!PreparaPaginas(ctx, pedido.TextoDaMensagem(), paginas)) {
        enlace.Fecha(ctx);
        return false;
    }
    if (!LogOn(ctx, enlace, painel))
        return false;

    const int total = int(ids.size());
    painel.MedidorMaximo(total);
    int feitos = 0;
    int mostrado = 0;
    // The gauge moves at most once per value.
    const auto mostra = [&painel, &mostrado](int valor) {
        if (valor != mostrado)
            painel.MedidorValor(mostrado = valor);
    };
    painel.MedidorValor(0);
    painel.MedidorVisivel(true);
    painel.Titulo(QStringLiteral("Enviando Mensagem ..."));

    QString erros;
    QString ausentes;
    PaginasNaoRegistradas naoRegistradas;
    ConsolidacaoAdiada consolidacao;
    int receberam = 0;
    QStringList naoReceberam;
    QStringList avisos;
    Ligacao ligacao([&] { return NovaChamada(ctx, enlace, painel); });
    // Member k and every later one got nothing.
    const auto interrompe = [&](int k) {
        for (int resto = k; resto < ids.size(); ++resto)
            naoReceberam << IdentificaMembro(dados[resto], ids[resto]);
        InformaEnvioInterrompido(ctx, receberam, total, naoReceberam);
        naoRegistradas.Informa(ctx.operador);
        return false;
    };
    for (int k = 0; k < ids.size(); ++k) {
        // A termination signal: the page before was finished and recorded; the rest are left out.
        if (Interrupcao::Pedidos() > 0) {
            EncerraInterrompido(ctx, enlace, painel);
            return interrompe(k);
        }
        const qint32 id = ids[k];
        const DadosUsuario& membro = dados[k];
        ++feitos;
        if (!membro.encontrado || SemBrancos(membro.ID_Pager).isEmpty()) {
            naoReceberam << IdentificaMembro(membro, id);
            // A membership left behind by a removed user, or a user without a code: skipped, and said.
            ausentes +=
                QStringLiteral("Usuário %1 não encontrado no cadastro ou sem código de pager: a mensagem "
                               "não foi enviada para ele.")
                    .arg(id) +
                Modulo::CR;
            ++conta.puladas;
            mostra(feitos);
            continue;
        }
        bool recusada = false;
        const auto recusado = [&erros, &membro, &recusada, &conta] {
            recusada = true;
            ++conta.recusadas;
            if (!erros.isEmpty())
                return;
            erros = QStringLiteral("Erro na tentativa de envio para o pager de ") +
                    SemBrancos(membro.Nome_Usuario) + QStringLiteral(". Problemas com o código ") +
                    SemBrancos(membro.ID_Pager) +
                    QStringLiteral(". Possibilidade de erro na tentativa do envio das outras mensagens.") +
                    Modulo::CR;
        };
        // While this block crosses the line, not between the terminal's acceptance and the next
        // block: the gauge shows the previous page and the history's log is folded into the file.
        const auto enquantoSai = [&] {
            mostra(feitos - 1);
            consolidacao.ConsolidaSeDevida();
        };
        QString motivo;
        const bool nomeiaEste = erros.isEmpty();
        for (qsizetype pagina = 0; pagina < paginas.campos.size(); ++pagina) {
            QString unidade;
            QString resposta;
            const bool montada = MontaUnidade(ctx, membro.ID_Pager, paginas.campos[pagina], unidade);
            if (!montada)
                enlace.Interrompe(ctx);
            const int recusadasAntes = conta.recusadas;
            const Entrega entrega = montada && ligacao.Prossegue()
                                        ? EntregaPagina(ctx, enlace, painel, unidade, recusado, true,
                                                        enquantoSai, ligacao.Rediscavel(), &resposta)
                                        : Entrega::Falhou;
            if (entrega == Entrega::Rediscar && ligacao.Repete()) {
                --pagina;
                continue;
            }
            if (entrega != Entrega::Feita) {
                // This member (or part of its message) and every later one got nothing.
                return interrompe(k);
            }
            if (recusada && motivo.isEmpty())
                motivo = MotivoDaCentral(resposta);
            AnotaAviso(resposta, SemBrancos(membro.Nome_Usuario) + QStringLiteral(": "), avisos);
            ++conta.entregues;
            Registra(ctx, pedido, SemBrancos(membro.Nome_Usuario), paginas.registros[pagina],
                     SemBrancos(membro.ID_Pager), id, naoRegistradas, &conta,
                     conta.recusadas > recusadasAntes, MotivoDaCentral(resposta));
            ligacao.Respondida(resposta);
        }
        if (recusada && nomeiaEste && !motivo.isEmpty())
            erros += QStringLiteral("Motivo dado pela central: ") + motivo + QLatin1Char('.') + Modulo::CR;
        if (recusada)
            naoReceberam << IdentificaMembro(membro, id) + QStringLiteral(", código recusado pela central") +
                                (motivo.isEmpty() ? QString() : QStringLiteral(": ") + motivo);
        else
            ++receberam;
    }
    mostra(feitos);

    Encerra(ctx, enlace, painel);
    if (!erros.isEmpty() || !ausentes.isEmpty())
        Informa(ctx, erros + ausentes, QStringLiteral("Erro(s):"));
    if (!avisos.isEmpty())
        Informa(ctx, QStringLiteral("A central avisou: ") + avisos.join(QLatin1Char(' ')),
                QStringLiteral("Informação:"));
    naoRegistradas.Informa(ctx.operador);
    return true;
}

void IniciaProcesso(Contexto& ctx, PedidoDeEnvio& pedido, PainelDeEnvio& painel) {
    const std::unique_ptr<Enlace> enlace = CriaEnlace(ctx);
    IniciaProcesso(ctx, *enlace, pedido, painel);
}

bool EnvioEmCurso() {
    return g_enviosEmCurso > 0;
}

void IniciaProcesso(Contexto& ctx, Enlace& enlace, PedidoDeEnvio& pedido, PainelDeEnvio& painel) {
    Modulo::EnvioIniciado = true;
    // A character the line cannot carry is refused before anything is dialled.
    QStringList paginas;
    QString erro;
    bool longo = false;
    if (!PaginasDoTexto(pedido.TextoDaMensagem(), LeRegrasDoTexto(), paginas, erro, &longo) && !longo) {
        Informa(ctx, AvisoDoTexto(erro));
        return;
    }
    ++g_enviosEmCurso;
    const auto fim = qScopeGuard([] { --g_enviosEmCurso; });
    // The whole conversation runs on the link's own port.
    Contexto linha{ctx.relogio, enlace.Porta(), ctx.operador};
    // The serial port is taken for this transmission only, and let go at its end, so scripts and
    // the queue's service can use the modem between two sends from the window.
    const bool serial = LeTipoDeConexao() != TipoDeConexao::TCP;
    if (serial && !TomaPorta(linha, painel))
        return;
    const ProcessoTerminado liberaPorta{[&linha, serial] {
        if (serial)
            linha.porta.setPortOpen(false);
    }};
    // A device that vanished since the last send is opened again first.
    if (!enlace.RecuperaPorta(linha))
        return;
    linha.operador.Status(enlace.StatusDaAbertura());
    if (!enlace.Abre(linha) || Interrupcao::Pedidos() > 0) {
        Fecha(linha, enlace, painel);
        return;
    }
    const bool enviado = pedido.DestinoEhUsuario() ? EnviarUsuario(linha, enlace, pedido, painel)
                                                   : EnviarGrupo(linha, enlace, pedido, painel);
    // The history rows of this transmission reach the disk before the window closes.
    ConsolidaBancoDeDados();
    if (enviado)
        pedido.EsvaziaMensagem();
    painel.Titulo(QStringLiteral("Retornando ..."));
}
