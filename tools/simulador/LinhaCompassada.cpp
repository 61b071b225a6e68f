#include "LinhaCompassada.h"

#include <algorithm>

void LinhaCompassada::Coloca(const QByteArray& bytes, double agora) {
    if (bytes.isEmpty())
        return;
    if (m_fila.isEmpty())
        m_fimDoPrimeiro = std::max(agora, m_linhaLivreEm) + m_intervalo;
    m_fila.append(bytes);
}

QByteArray LinhaCompassada::Retira(double agora) {
    if (m_fila.isEmpty())
        return {};
    qsizetype n = m_fila.size();
    if (m_intervalo > 0.0) {
        // A small tolerance, so a byte due "now" is not held back by rounding.
        const double prontos = (agora - m_fimDoPrimeiro) / m_intervalo + 1e-6;
        n = prontos < 0.0 ? 0 : std::min<qsizetype>(m_fila.size(), qsizetype(prontos) + 1);
    }
    if (n == 0)
        return {};
    const QByteArray saida = m_fila.left(n);
    m_fila.remove(0, n);
    m_linhaLivreEm = m_fimDoPrimeiro + double(n - 1) * m_intervalo;
    m_fimDoPrimeiro = m_linhaLivreEm + m_intervalo;
    return saida;
}

double LinhaCompassada::ProximaSaida() const {
    return m_fila.isEmpty() ? std::numeric_limits<double>::infinity() : m_fimDoPrimeiro;
}
