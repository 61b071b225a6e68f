#include "fila/EntregaDaFila.h"

#include "common/Escapado.h"
#include "common/Modulo.h"
#include "fila/FilaDeEnvio.h"
#include "modem/ComandosModem.h"
#include "modem/Enlace.h"
#include "tap/EntregaDePagina.h"
#include "tap/Ligacao.h"
#include "tap/LogOn.h"
#include "tap/RespostasNumeradas.h"
#include "tap/TextoDaPagina.h"

#include <QSet>

#include <algorithm>
#include <utility>

using namespace Fila;

namespace {

// Passes everything to the real operator and keeps the last message box, which names why the
// link or the log-on failed in the words the window would use.
class OperadorDaRodada : public Operador {
public:
    explicit OperadorDaRodada(Operador& interno) : m_interno(interno) {}
    void Status(const QString& texto) override { m_interno.Status(texto); }
    QString StatusAtual() const override { return m_interno.StatusAtual(); }
    Resposta Mensagem(const QString& texto, const QString& titulo, Icone icone, Botoes botoes) override {
        m_ultima = texto;
        return m_interno.Mensagem(texto, titulo, icone, botoes);
    }
    void Ampulheta(bool ligada) override { m_interno.Ampulheta(ligada); }
    QString Motivo(const QString& padrao) const {
        return m_ultima.isEmpty() ? padrao : m_ultima.simplified();
    }

private:
    Operador& m_interno;
    QString m_ultima;
};

class Rodada {
public:
    Rodada(Contexto& ctx, Enlace& enlace, const RegrasDaFila& regras,
           const std::function<void(const QString&)>& diario, const std::function<bool()>& interromper)
        : m_operador(ctx.operador), m_ctx{ctx.relogio, ctx.porta, m_operador}, m_enlace(enlace),
          m_regras(regras), m_diario([&diario](const QString& linha) { diario(Escapado(linha)); }),
          m_interromper(interromper) {}

    ResumoDaRodada Executa();

private:
    QDateTime Agora() const { return m_ctx.relogio.DataHoraLocal().toUTC(); }
    static QString Nome(const Pagina& p) {
        const QString nome = p.usuario.trimmed();
        return nome.isEmpty() ? QStringLiteral("pager %1").arg(p.pager)
                              : QStringLiteral("%1, pager %2").arg(nome, p.pager);
    }
    void AdiaUma(const Pagina& p, const QString& motivo);
    void AdiaDemais(const QVector<Pagina>& paginas, int desde, const QString& motivo);
    // False when the session cannot go on. seguinte, the page after it in this call, is marked
    // "enviando" in the same transaction that records this one.
    bool EntregaUma(Pagina p, const Pagina* seguinte);
    // The blocks and the Log texts of the page's text as a window send makes them; false when the
    // text cannot go (the page is then refused, with the reason).
    bool PreparaTexto(const Pagina& p, QStringList& unidades, QStringList& registros);
    // The parts that went, the page's final state and its reason, written together.
    void Conclui(const Pagina& p, const QVector<ParteEntregue>& partes, Situacao situacao,
                 const QString& motivo, const Pagina* seguinte = nullptr);
    // Opens the link and logs on; false once the link is closed again, m_motivoDoFim saying why
    // (empty when a termination signal cut the dial short).
    bool Conecta();
    // After a session limit: hang up, call again and log on.
    bool NovaChamada();

    OperadorDaRodada m_operador;
    Contexto m_ctx;
    Enlace& m_enlace;
    const RegrasDaFila& m_regras;
    // Names and reasons come from the directory, submitters and the terminal: no control
    // character of theirs reaches the journal.
    const std::function<void(const QString&)> m_diario;
    const std::function<bool()>& m_interromper;
    ResumoDaRodada m_resumo;
    QString m_motivoDoFim; // why the session ended early, for the pages still to go
    RegrasDoTexto m_regrasDoTexto = LeRegrasDoTexto(); // read once a round
    qint64 m_marcada = 0; // the next page, already marked "enviando" with the one before
    Ligacao m_ligacao{[this] { return NovaChamada(); }};
    bool m_conectada = false;
};

void Rodada::AdiaUma(const Pagina& p, const QString& motivo) {
    if (!Adia(p, m_regras, Agora(), motivo)) {
        m_resumo.falhaDoBanco = true;
        m_diario(QStringLiteral("página %1: não foi possível gravar o adiamento na fila").arg(p.id));
        return;
    }
    const std::optional<Pagina> depois = LePagina(p.id);
    ++m_resumo.adiadas;
    if (depois && depois->situacao == Situacao::Expirada)
        m_diario(QStringLiteral("página %1 (%2) expirou: %3").arg(p.id).arg(Nome(p), depois->motivo));
    else if (depois)
        m_diario(
            QStringLiteral("página %1 (%2) adiada para %3: %4")
                .arg(p.id)
                .arg(Nome(p), depois->proxima.toLocalTime().toString(QStringLiteral("HH:mm:ss")), motivo));
}

void Rodada::AdiaDemais(const QVector<Pagina>& paginas, int desde, const QString& motivo) {
    for (int i = desde; i < paginas.size(); ++i)
        AdiaUma(paginas[i], motivo);
}

bool Rodada::PreparaTexto(const Pagina& p, QStringList& unidades, QStringList& registros) {
    QStringList paginas;
    QString erro;
    bool pronta = PaginasDoTexto(p.mensagem, m_regrasDoTexto, paginas, erro);
    for (const QString& pagina : paginas)
        pronta = pronta &&
                 MontaUnidadeTAP(p.pager, CampoDaMensagem(pagina, m_regrasDoTexto), unidades.emplace_back());
    if (!pronta) {
        // Escaped control characters can make a full page too long for its block.
        const QString motivo =
            erro.isEmpty() ? QStringLiteral("a mensagem passa de 240 caracteres no bloco da central") : erro;
        MarcaSituacao(p.id, Situacao::Recusada, motivo);
        ++m_resumo.recusadas;
        m_diario(QStringLiteral("página %1 (%2) recusada: %3").arg(p.id).arg(Nome(p), motivo));
        return false;
    }
    // One page keeps the blanks around it in the history, as a window send keeps them.
    registros = paginas.size() == 1 ? QStringList{TextoParaALinha(p.mensagem, m_regrasDoTexto)} : paginas;
    return true;
}

void Rodada::Conclui(const Pagina& p, const QVector<ParteEntregue>& partes, Situacao situacao,
                     const QString& motivo, const Pagina* seguinte) {
    QString erro;
    bool marcada = false;
    if (!RegistraEntrega(p, partes, situacao, motivo, m_ctx.relogio.DataHoraLocal(), &erro,
                         seguinte ? seguinte->id : 0, &marcada)) {
        // Taken by the terminal: never sent again, and said.
        m_resumo.falhaDoBanco = true;
        MarcaSituacao(
            p.id, Situacao::Incerta,
            QStringLiteral("aceita pela central, mas o histórico não pôde ser gravado (%1)").arg(erro));
        m_diario(QStringLiteral("página %1 (%2) foi aceita, mas o histórico não pôde ser gravado: %3")
                     .arg(p.id)
                     .arg(Nome(p), erro));
        return;
    }
    m_marcada = marcada ? seguinte->id : 0;
    ++(situacao == Situacao::Entregue   ? m_resumo.entregues
       : situacao == Situacao::Recusada ? m_resumo.recusadas
                                        : m_resumo.incertas);
    m_diario(situacao == Situacao::Entregue ? QStringLiteral("página %1 (%2) entregue").arg(p.id).arg(Nome(p))
                                            : QStringLiteral("página %1 (%2) %3: %4")
                                                  .arg(p.id)
                                                  .arg(Nome(p), NomeDaSituacao(situacao), motivo));
}

bool Rodada::EntregaUma(Pagina p, const Pagina* seguinte) {
    const bool marcada = std::exchange(m_marcada, 0) == p.id;
    QStringList unidades, registros;
    if (!PreparaTexto(p, unidades, registros))
        return true;
    // A new call after a session limit comes before the page is marked as on the line.
    if (!m_ligacao.Prossegue()) {
        if (!m_motivoDoFim.isEmpty())
            AdiaUma(p, m_motivoDoFim);
        return false;
    }
    QString erro;
    if (!marcada && !MarcaEnviando(p.id, &erro)) {
        // Cancelled (or taken out) since the call began: it does not go.
        if (const std::optional<Pagina> agora = LePagina(p.id);
            agora && agora->situacao != Situacao::Aguardando) {
            m_diario(QStringLiteral("página %1 (%2) não vai: está %3")
                         .arg(p.id)
                         .arg(Nome(p), NomeDaSituacao(agora->situacao)));
            return true;
        }
        m_resumo.falhaDoBanco = true;
        m_motivoDoFim = QStringLiteral("a fila não pôde ser gravada (%1)").arg(erro);
        m_diario(QStringLiteral("página %1: %2; a chamada termina aqui").arg(p.id).arg(m_motivoDoFim));
        return false;
    }
    p.situacao = Situacao::Enviando;
    ++p.tentativas;
    QVector<ParteEntregue> partes;
    for (qsizetype k = 0; k < unidades.size(); ++k) {
        bool codigoRecusado = false;
        QString resposta;
        const bool naLinha = k == 0 || m_ligacao.Prossegue();
        const DesfechoDaPagina desfecho =
            naLinha
                ? EntregaUnidade(
                      m_ctx, unidades[k], [&codigoRecusado] { codigoRecusado = true; }, false, {}, &resposta)
                : DesfechoDaPagina::PedidoDeDesconexao;
        if (desfecho == DesfechoDaPagina::Aceita || desfecho == DesfechoDaPagina::Recusada) {
            // A refusal that came with a NAK still counts, as in a window send; each part's row
            // keeps what the terminal said of it, as a window send's does.
            partes.append({registros[k], desfecho == DesfechoDaPagina::Recusada || codigoRecusado,
                           MotivoDaCentral(resposta)});
            m_ligacao.Respondida(resposta);
            continue;
        }
        // A session limit: the terminal ended the session instead of answering this part.
        const bool repete =
            naLinha && desfecho == DesfechoDaPagina::PedidoDeDesconexao && m_ligacao.Rediscavel();
        if (repete && m_ligacao.Repete()) {
            --k;
            continue;
        }
        const bool semResposta =
            desfecho == DesfechoDaPagina::DadosDemais || desfecho == DesfechoDaPagina::TempoEsgotado;
        if (naLinha && !repete)
            m_motivoDoFim = desfecho == DesfechoDaPagina::NAKsEsgotados
                                ? QStringLiteral("a central rejeitou o bloco três vezes (NAK)")
                            : desfecho == DesfechoDaPagina::PedidoDeDesconexao
                                ? QStringLiteral("a central pediu a desconexão")
                            : desfecho == DesfechoDaPagina::DadosDemais
                                ? QStringLiteral("a central enviou dados demais em vez de responder ao bloco")
                                : QStringLiteral("a central não respondeu ao bloco");
        if (m_motivoDoFim.isEmpty()) // a termination signal cut the new call short
            m_motivoDoFim = QStringLiteral("interrupção pedida durante a nova ligação");
        if (!partes.isEmpty()) {
            // Some parts reached the pager: sending the whole text again would repeat them.
            Conclui(p, partes, Situacao::Incerta,
                    QStringLiteral("só %1 de %2 partes foram entregues: %3")
                        .arg(partes.size())
                        .arg(unidades.size())
                        .arg(m_motivoDoFim));
        } else if (!semResposta) {
            AdiaUma(p, m_motivoDoFim);
        } else {
            const QString motivo = m_motivoDoFim + QStringLiteral("; a página pode ter chegado ao pager");
            if (m_regras.reenviarIncertas) {
                AdiaUma(p, motivo);
            } else {
                MarcaSituacao(p.id, Situacao::Incerta, motivo);
                ++m_resumo.incertas;
                m_diario(QStringLiteral("página %1 (%2) incerta: %3").arg(p.id).arg(Nome(p), motivo));
            }
        }
        return false;
    }
    // A refused page keeps the terminal's own reason, in Portuguese, as a window send tells it.
    const auto recusada =
        std::find_if(partes.begin(), partes.end(), [](const ParteEntregue& e) { return e.recusada; });
    QString motivo;
    if (recusada != partes.end())
        motivo = recusada->motivo.isEmpty() ? QStringLiteral("código do pager recusado pela central")
                                            : recusada->motivo;
    Conclui(p, partes, recusada != partes.end() ? Situacao::Recusada : Situacao::Entregue, motivo,
            m_ligacao.Esgotada() ? nullptr : seguinte); // after a session limit the next waits for its call
    return true;
}

bool Rodada::Conecta() {
    m_motivoDoFim.clear();
    if (!m_enlace.Abre(m_ctx)) {
        m_enlace.Fecha(m_ctx);
        // A dial cut short by a termination signal is no failed attempt.
        if (m_interromper()) {
            m_resumo.interrompida = true;
            m_diario(QStringLiteral("interrupção pedida durante a ligação: as páginas continuam na fila"));
            return false;
        }
        m_motivoDoFim = m_operador.Motivo(QStringLiteral("a ligação com a central não se completou"));
        m_diario(QStringLiteral("sem ligação com a central: %1").arg(m_motivoDoFim));
        return false;
    }
    FalhaDoLogOn falha = FalhaDoLogOn::Nenhuma;
    if (!AguardaIDeInicializaModoAutomatico(m_ctx, &falha)) {
        m_motivoDoFim =
            falha == FalhaDoLogOn::SenhaRecusada ? QStringLiteral("a central recusou a senha de acesso")
            : falha == FalhaDoLogOn::SenhaFaltando
                ? QStringLiteral("a central recusou a entrada (LogIn) sem senha: ela deve exigir uma "
                                 "senha (chave Senha da seção [CONEXÃO])")
            : falha == FalhaDoLogOn::DadosDemais
                ? QStringLiteral("a central enviou dados demais durante a entrada (LogIn)")
                : QStringLiteral("a central não aceitou a entrada (LogIn)");
        m_diario(m_motivoDoFim);
        m_enlace.Interrompe(m_ctx);
        return false;
    }
    m_diario(QStringLiteral("sessão aberta com a central"));
    return m_conectada = true;
}

bool Rodada::NovaChamada() {
    m_diario(QStringLiteral("a central encerrou a sessão por limite de páginas; ligando de novo para as "
                            "restantes"));
    m_conectada = false;
    m_enlace.Fecha(m_ctx);
    return Conecta();
}

ResumoDaRodada Rodada::Executa() {
    m_resumo.expiradas = ExpiraVencidas(m_regras, Agora());
    if (m_resumo.expiradas > 0)
        m_diario(QStringLiteral("%1 página(s) expiraram sem serem enviadas").arg(m_resumo.expiradas));
    QVector<Pagina> prontas = Prontas(Agora());
    if (prontas.isEmpty())
        return m_resumo;
    if (m_interromper()) {
        m_resumo.interrompida = true;
        return m_resumo;
    }
    m_diario(QStringLiteral("%1 página(s) para enviar; %2")
                 .arg(prontas.size())
                 .arg(m_enlace.StatusDaAbertura().trimmed()));
    m_resumo.ligou = true;
    if (!Conecta()) {
        if (!m_resumo.interrompida)
            AdiaDemais(prontas, 0, m_motivoDoFim);
        return m_resumo;
    }
    QSet<qint64> vistas;
    for (int i = 0;; ++i) {
        if (i == prontas.size()) {
            // Pages queued during the call go out in it.
            QVector<Pagina> novas;
            for (const Pagina& p : Prontas(Agora()))
                if (!vistas.contains(p.id))
                    novas << p;
            if (novas.isEmpty())
                break;
            prontas = novas;
            i = 0;
        }
        if (m_interromper()) {
            m_resumo.interrompida = true;
            if (m_marcada)
                DesmarcaEnviando(std::exchange(m_marcada, 0));
            m_diario(QStringLiteral("interrupção pedida: as páginas restantes continuam na fila"));
            break;
        }
        vistas.insert(prontas[i].id);
        if (!EntregaUma(prontas[i], i + 1 < prontas.size() ? &prontas[i + 1] : nullptr)) {
            // After a second signal the pages not tried wait untouched, their attempts uncounted.
            if (!m_interromper())
                AdiaDemais(prontas, i + 1, m_motivoDoFim);
            if (m_resumo.falhaDoBanco)
                break;       // the session itself is fine: log off below
            if (m_conectada) // a new call that failed has closed the link already
                m_enlace.Interrompe(m_ctx);
            if (!m_motivoDoFim.isEmpty())
                m_diario(QStringLiteral("chamada encerrada: %1").arg(m_motivoDoFim));
            return m_resumo;
        }
    }
    m_ctx.porta.Output(Modulo::EOT + Modulo::CR);
    Pausa(m_ctx, 0.05);
    m_enlace.Fecha(m_ctx);
    m_diario(QStringLiteral("chamada encerrada: %1 entregue(s), %2 recusada(s)")
                 .arg(m_resumo.entregues)
                 .arg(m_resumo.recusadas));
    return m_resumo;
}

} // namespace

ResumoDaRodada EntregaProntas(Contexto& ctx, Enlace& enlace, const RegrasDaFila& regras,
                              const std::function<void(const QString&)>& diario,
                              const std::function<bool()>& interromper) {
    Rodada rodada(ctx, enlace, regras, diario, interromper);
    return rodada.Executa();
}
