#include "modem/RespostaDaLinha.h"

#include "common/Interrupcao.h"

#include <algorithm>

RespostaDaLinha::RespostaDaLinha(QStringList esperados)
    : m_esperados(std::move(esperados)), m_chegou(m_esperados.size(), false) {
    // An empty text is in any answer, even before anything arrives.
    for (qsizetype i = 0; i < m_esperados.size(); ++i)
        if (m_esperados[i].isEmpty())
            m_chegou[i] = m_algum = true;
}

bool RespostaDaLinha::Acrescenta(const QString& novo) {
    if (m_excedeu || novo.size() > MaximoDaResposta - m_texto.size())
        return m_excedeu = true;
    if (novo.isEmpty())
        return m_algum;
    const qsizetype anterior = m_texto.size();
    m_texto += novo;
    for (qsizetype i = 0; i < m_esperados.size(); ++i) {
        if (m_chegou[i])
            continue;
        const QString& esperado = m_esperados[i];
        // A match not there before must end in the new text: it starts at most size - 1 back.
        const qsizetype inicio = std::max<qsizetype>(0, anterior - esperado.size() + 1);
        if (m_texto.indexOf(esperado, inicio) >= 0)
            m_chegou[i] = m_algum = true;
    }
    return m_algum;
}

bool AguardaNaLinha(Contexto& ctx, RespostaDaLinha& resposta, double prazo) {
    for (;;) {
        if (resposta.Acrescenta(ctx.porta.Input()) || ctx.relogio.Agora() > prazo)
            break;
        // A connection the far end closed (or a device gone) will bring nothing more; asked to end
        // at once, what has not come counts as never coming.
        if ((!ctx.porta.PortOpen() && ctx.porta.InBufferCount() == 0) || Interrupcao::Imediata())
            return false;
        ctx.porta.AguardaDados(prazo);
    }
    return !resposta.Excedeu() && ctx.relogio.Agora() <= prazo;
}
