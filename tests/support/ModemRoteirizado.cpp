#include "ModemRoteirizado.h"

#include <algorithm>

void ModemRoteirizado::EntregaEm(double instante, const QByteArray& dados) {
    const Pendente p{instante, dados};
    const auto pos =
        std::upper_bound(m_pendentes.begin(), m_pendentes.end(), p,
                         [](const Pendente& a, const Pendente& b) { return a.instante < b.instante; });
    m_pendentes.insert(pos, p);
}

void ModemRoteirizado::ModemQueRespondeOK() {
    QuandoRecebe("ATZ\r", "\r\nOK\r\n", 0.1);
    QuandoRecebe("ate0\r", "\r\nOK\r\n", 0.1);
    QuandoRecebe("ATE0\r", "\r\nOK\r\n", 0.1);
}

void ModemRoteirizado::TerminalQueAceitaLogOn() {
    QuandoRecebe("\r", "ID=", 0.3, 1, true);
    QuandoRecebe("\x1bPG1\r", "110 1.8\r\x06\r\x1b[p\r", 0.3);
}

bool ModemRoteirizado::setPortOpen(bool aberta) {
    if (!aberta) {
        if (m_aberta)
            ++fechamentos;
        m_aberta = false;
        return true;
    }
    if (m_aberta)
        return true;
    if (ausente)
        return false;
    if (falhasAoAbrir > 0) {
        --falhasAoAbrir;
        return false;
    }
    ++aberturas;
    m_aberta = true;
    return true;
}

void ModemRoteirizado::EscreveBytes(const QByteArray& bytes) {
    if (!m_aberta)
        return;
    linha.append(bytes);
    escritas.append({m_relogio.Agora(), bytes});
    for (Regra& regra : m_regras) {
        const bool casa = regra.exato ? bytes == regra.gatilho : bytes.contains(regra.gatilho);
        if (regra.vezes == 0 || !casa)
            continue;
        if (regra.vezes > 0)
            --regra.vezes;
        if (!regra.resposta.isEmpty())
            Entrega(regra.atraso, regra.resposta);
        break;
    }
    if (aoEscrever)
        aoEscrever(bytes);
}

QByteArray ModemRoteirizado::LeBytes() {
    QByteArray lidos;
    if (!m_aberta)
        return lidos;
    const double agora = m_relogio.Agora();
    while (!m_pendentes.isEmpty() && m_pendentes.first().instante <= agora)
        lidos.append(m_pendentes.takeFirst().dados);
    return lidos;
}

int ModemRoteirizado::InBufferCount() {
    int total = 0;
    const double agora = m_relogio.Agora();
    for (const Pendente& p : m_pendentes)
        if (p.instante <= agora)
            total += p.dados.size();
    return total;
}

void ModemRoteirizado::AguardaDados(double prazo) {
    if (InBufferCount() > 0)
        return;
    if (!m_pendentes.isEmpty() && m_pendentes.first().instante <= prazo)
        m_relogio.AvancaPara(m_pendentes.first().instante);
    else
        m_relogio.AvancaPara(prazo + 0.01);
}
