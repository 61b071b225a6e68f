#pragma once
// The pages a paging terminal answered on one call. A terminal that says a session it has taken
// pages in is over ("112", "113", or ESC EOT CR behind its answer), or ends it instead of
// answering, is a session limit: it is called again for the pages left, up to
// MaximoDeRediscagens times. Shared by the window's sends and the queue's service, which differ
// only in how they call again and say why that failed.
#include <QString>
#include <functional>

constexpr int MaximoDeRediscagens = 50;

class Ligacao {
public:
    // novaChamada hangs up, calls again and logs on; false once that failed and was told.
    explicit Ligacao(std::function<bool()> novaChamada) : m_novaChamada(std::move(novaChamada)) {}

    // Whether the terminal ending the session before answering the next page is a limit worth a
    // new call.
    bool Rediscavel() const { return m_naLigacao > 0 && m_rediscagens < MaximoDeRediscagens; }
    // The terminal ended the session instead of answering: true once a new call is up, and the
    // page must go again.
    bool Repete() { return NovaChamada(); }
    // A page the terminal answered (took or refused), with its whole answer.
    void Respondida(const QString& resposta);
    // The terminal said the session is over: the next page waits for a new call.
    bool Esgotada() const { return m_esgotada; }
    // Before the next page: a new call when the terminal said the session is over. False when
    // the new call failed.
    bool Prossegue() { return !m_esgotada || NovaChamada(); }

private:
    bool NovaChamada();

    std::function<bool()> m_novaChamada;
    int m_naLigacao = 0;
    int m_rediscagens = 0;
    bool m_esgotada = false;
};
