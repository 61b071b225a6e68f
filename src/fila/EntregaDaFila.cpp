#include "fila/EntregaDaFila.h"

#include "common/Escapado.h"
#include "common/Modulo.h"
#include "fila/FilaDeEnvio.h"
#include "modem/ComandosModem.h"
#include "modem/Enlace.h"
#include "store/BancoDeDados.h"
#include "store/SQLiteNativo.h"
#include "tap/EntregaDePagina.h"
#include "tap/Ligacao.h"
#include "tap/LogOn.h"
#include "tap/RespostasNumeradas.h"
#include "tap/TextoDaPagina.h"

#include <QSet>

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <utility>

using namespace Fila;

namespace {

QString Nome(const Pagina& p) {
    const QString nome = p.usuario.trimmed();
    return nome.isEmpty() ? QStringLiteral("pager %1").arg(p.pager)
                          : QStringLiteral("%1, pager %2").arg(nome, p.pager);
}

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

// During a call, a write that finds the file locked by a submitter tries again every half
// millisecond rather than in SQLite's own growing steps (up to 100 ms): it has to end while one
// block crosses the line, about 60 ms, and a submitter holds the lock for a few milliseconds.
class EsperaCurtaPeloBanco {
public:
    EsperaCurtaPeloBanco() : m_handle(HandleNativo(BancoDeDados())) {
        if (m_handle)
            sqlite3_busy_handler(m_handle, &Tenta, nullptr);
    }
    ~EsperaCurtaPeloBanco() {
        if (m_handle)
            sqlite3_busy_timeout(m_handle, EsperaPeloBancoMs);
    }
    EsperaCurtaPeloBanco(const EsperaCurtaPeloBanco&) = delete;
    EsperaCurtaPeloBanco& operator=(const EsperaCurtaPeloBanco&) = delete;

private:
    // The same time-out as the connection's own; a signal cutting a pause short does not end it.
    static int Tenta(void*, int vezes) {
        if (vezes >= 2 * EsperaPeloBancoMs)
            return 0;
        ::usleep(500);
        return 1;
    }
    sqlite3* m_handle;
};

class Rodada {
public:
    Rodada(Contexto& ctx, Enlace& enlace, const RegrasDaFila& regras,
           const std::function<void(const QString&)>& diario, const std::function<bool()>& interromper)
        : m_operador(ctx.operador), m_ctx{ctx.relogio, ctx.porta, m_operador}, m_enlace(enlace),
          m_regras(regras), m_diario([&diario](const QString& linha) { diario(Escapado(linha)); }),
          m_interromper(interromper) {}

    ResumoDaRodada Executa();
    // A page still marked "enviando" ahead of a block that never went (its write failed).
    qint64 Marcada() const { return m_marcada; }

private:
    QDateTime Agora() const { return m_ctx.relogio.DataHoraLocal().toUTC(); }
    void AdiaUma(const Pagina& p, const QString& motivo);
    // The pages of this call not yet taken, from the current list on.
    void AdiaDemais(const QString& motivo);
    // The next page of the call, without taking it: the pages due when it began, then those
    // queued meanwhile.
    std::optional<Pagina> Espia();
    // False when no further block may go in this call.
    bool EntregaUma(Pagina p);
    // The blocks and the Log texts of the page's text as a window send makes them; false when the
    // text cannot go (the page is then refused, with the reason).
    bool PreparaTexto(const Pagina& p, QStringList& unidades, QStringList& registros);
    // One write between two blocks: the page the terminal last judged, marcar marked "enviando"
    // (0: none), and a page marked ahead that is not marcar back to waiting. False when the
    // write failed: the judged page, taken by the terminal, is then marked uncertain with the
    // reason, and no further block may go in this call (m_motivoDoFim says why).
    bool Grava(qint64 marcar, bool* marcada = nullptr);
    // Opens the link and logs on; false once the link is closed again, m_motivoDoFim saying why
    // (empty when a termination signal cut the dial short).
    bool Conecta();
    // After a session limit: hang up, call again and log on.
    bool NovaChamada();

    EsperaCurtaPeloBanco m_espera;
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
    QVector<Pagina> m_prontas;
    int m_indice = 0; // the next page of m_prontas to go
    QSet<qint64> m_vistas;
    // Judged by the terminal, written while the next block crosses the line.
    std::optional<Desfecho> m_aGravar;
    // Marked "enviando" (on the disk) ahead of its block, which goes next.
    qint64 m_marcada = 0;
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

void Rodada::AdiaDemais(const QString& motivo) {
    for (; m_indice < m_prontas.size(); ++m_indice)
        AdiaUma(m_prontas[m_indice], motivo);
}

std::optional<Pagina> Rodada::Espia() {
    if (m_indice == m_prontas.size()) {
        // Pages queued during the call go out in it.
        QVector<Pagina> novas;
        for (const Pagina& p : Prontas(Agora()))
            if (!m_vistas.contains(p.id))
                novas << p;
        m_prontas = novas;
        m_indice = 0;
    }
    if (m_indice == m_prontas.size())
        return std::nullopt;
    return m_prontas[m_indice];
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

bool Rodada::Grava(qint64 marcar, bool* marcada) {
    if (marcada)
        *marcada = marcar > 0 && marcar == m_marcada;
    // Marked ahead: the judged page waits to be written while this page's block crosses the line.
    if (marcar > 0 && marcar == m_marcada)
        return true;
    const qint64 desmarcar = m_marcada;
    if (!m_aGravar && marcar == 0 && desmarcar == 0)
        return true;
    const std::optional<Desfecho> d = std::exchange(m_aGravar, std::nullopt);
    QString erro;
    bool marcou = false;
    if (!GravaNaChamada(d ? &*d : nullptr, marcar, desmarcar, &marcou, &erro)) {
        m_resumo.falhaDoBanco = true;
        m_motivoDoFim = QStringLiteral("a fila não pôde ser gravada (%1)").arg(erro);
        if (!d) {
            m_diario(QStringLiteral("%1; a chamada termina aqui").arg(m_motivoDoFim));
            return false;
        }
        // Judged by the terminal: never sent again, said, and written by the next round.
        const Pagina& p = d->pagina;
        MarcaSituacao(p.id, Situacao::Incerta,
                      QStringLiteral("julgada pela central, mas o histórico não pôde ser gravado (%1); o "
                                     "serviço tenta gravá-lo de novo")
                          .arg(erro));
        m_resumo.pendencias.desfechos << *d;
        m_diario(QStringLiteral("página %1 (%2) foi julgada pela central, mas o histórico não pôde ser "
                                "gravado: %3; a chamada termina aqui")
                     .arg(p.id)
                     .arg(Nome(p), erro));
        return false;
    }
    m_marcada = marcou ? marcar : 0;
    if (marcada)
        *marcada = m_marcada > 0;
    if (!d)
        return true;
    const Pagina& p = d->pagina;
    ++(d->situacao == Situacao::Entregue   ? m_resumo.entregues
       : d->situacao == Situacao::Recusada ? m_resumo.recusadas
                                           : m_resumo.incertas);
    m_diario(d->situacao == Situacao::Entregue
                 ? QStringLiteral("página %1 (%2) entregue").arg(p.id).arg(Nome(p))
                 : QStringLiteral("página %1 (%2) %3: %4")
                       .arg(p.id)
                       .arg(Nome(p), NomeDaSituacao(d->situacao), d->motivo));
    return true;
}

bool Rodada::EntregaUma(Pagina p) {
    QStringList unidades, registros;
    if (!PreparaTexto(p, unidades, registros)) {
        if (m_marcada == p.id)
            m_marcada = 0; // refused now, no longer "enviando"
        return true;
    }
    // A new call after a session limit comes before the page is marked as on the line.
    if (!m_ligacao.Prossegue()) {
        if (!m_motivoDoFim.isEmpty() && !m_resumo.falhaDoBanco)
            AdiaUma(p, m_motivoDoFim);
        return false;
    }
    // Usually marked while the block before crossed the line; else now, with the page before.
    bool marcada = false;
    if (!Grava(p.id, &marcada))
        return false; // still waiting, its attempt not counted
    if (!marcada) {
        // Cancelled (or taken out) since the call began: it does not go.
        const std::optional<Pagina> agora = LePagina(p.id);
        m_diario(QStringLiteral("página %1 (%2) não vai: está %3")
                     .arg(p.id)
                     .arg(Nome(p), agora ? NomeDaSituacao(agora->situacao) : QStringLiteral("fora da fila")));
        return true;
    }
    m_marcada = 0; // on the line from here
    p.situacao = Situacao::Enviando;
    ++p.tentativas;
    QVector<ParteEntregue> partes;
    // While the first block crosses the line, the page before is written and the next one marked:
    // the next block can follow this one's answer at once.
    bool gravou = false;
    const std::function<void()> enquantoSai = [this, &gravou] {
        if (std::exchange(gravou, true))
            return;
        const std::optional<Pagina> seguinte = Espia();
        Grava(seguinte ? seguinte->id : 0);
    };
    for (qsizetype k = 0; k < unidades.size(); ++k) {
        bool codigoRecusado = false;
        QString resposta;
        const bool naLinha = k == 0 || m_ligacao.Prossegue();
        const DesfechoDaPagina desfecho =
            naLinha ? EntregaUnidade(
                          m_ctx, unidades[k], [&codigoRecusado] { codigoRecusado = true; }, false,
                          k == 0 ? enquantoSai : std::function<void()>(), &resposta)
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
            m_aGravar = Desfecho{p, partes, Situacao::Incerta,
                                 QStringLiteral("só %1 de %2 partes foram entregues: %3")
                                     .arg(partes.size())
                                     .arg(unidades.size())
                                     .arg(m_motivoDoFim),
                                 m_ctx.relogio.DataHoraLocal()};
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
    const Situacao situacao = recusada != partes.end() ? Situacao::Recusada : Situacao::Entregue;
    m_aGravar = Desfecho{p, partes, situacao, motivo, m_ctx.relogio.DataHoraLocal()};
    // A write that failed while the block crossed the line: no page goes whose state cannot be written.
    return !m_resumo.falhaDoBanco;
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
    // The page marked ahead waits unmarked through the new call: a crash meanwhile leaves it waiting.
    const bool gravou = Grava(0);
    m_conectada = false;
    m_enlace.Fecha(m_ctx);
    return gravou && Conecta();
}

ResumoDaRodada Rodada::Executa() {
    m_resumo.expiradas = ExpiraVencidas(m_regras, Agora());
    if (m_resumo.expiradas > 0)
        m_diario(QStringLiteral("%1 página(s) expiraram sem serem enviadas").arg(m_resumo.expiradas));
    m_prontas = Prontas(Agora());
    if (m_prontas.isEmpty())
        return m_resumo;
    if (m_interromper()) {
        m_resumo.interrompida = true;
        return m_resumo;
    }
    m_diario(QStringLiteral("%1 página(s) para enviar; %2")
                 .arg(m_prontas.size())
                 .arg(m_enlace.StatusDaAbertura().trimmed()));
    m_resumo.ligou = true;
    if (!Conecta()) {
        if (!m_resumo.interrompida)
            AdiaDemais(m_motivoDoFim);
        return m_resumo;
    }
    for (;;) {
        if (m_interromper()) {
            m_resumo.interrompida = true;
            Grava(0);
            m_diario(QStringLiteral("interrupção pedida: as páginas restantes continuam na fila"));
            break;
        }
        const std::optional<Pagina> p = Espia();
        if (!p) {
            Grava(0);
            break;
        }
        ++m_indice;
        m_vistas.insert(p->id);
        if (!EntregaUma(*p)) {
            Grava(0);
            // After a second signal, or a write that failed (each further write could wait out
            // the time-out again), the pages not tried wait untouched, their attempts uncounted.
            if (!m_interromper() && !m_resumo.falhaDoBanco)
                AdiaDemais(m_motivoDoFim);
            if (m_resumo.falhaDoBanco && m_conectada)
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
    ResumoDaRodada resumo = rodada.Executa();
    if (const qint64 marcada = rodada.Marcada())
        resumo.pendencias.marcadas << marcada;
    return resumo;
}

bool GravaPendencias(PendenciasDaRodada& pendencias, const std::function<void(const QString&)>& diario) {
    for (auto d = pendencias.desfechos.begin(); d != pendencias.desfechos.end();) {
        const std::optional<Pagina> agora = LePagina(d->pagina.id);
        if (!agora)
            return false;
        // Entregue or recusada: that write did reach the store. Cancelled meanwhile from the window:
        // it went out all the same, and the history says so.
        if (agora->situacao == Situacao::Incerta || agora->situacao == Situacao::Enviando ||
            agora->situacao == Situacao::Cancelada) {
            QString erro;
            if (!GravaNaChamada(&*d, 0, 0, nullptr, &erro))
                return false;
            diario(QStringLiteral("página %1 (%2): histórico gravado agora, %3")
                       .arg(d->pagina.id)
                       .arg(Nome(d->pagina), NomeDaSituacao(d->situacao)));
        }
        d = pendencias.desfechos.erase(d);
    }
    while (!pendencias.marcadas.isEmpty()) {
        if (!DesmarcaEnviando(pendencias.marcadas.last()))
            return false;
        pendencias.marcadas.removeLast();
    }
    return true;
}
