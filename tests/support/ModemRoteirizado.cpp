#include "ModemRoteirizado.h"

#include <algorithm>

void ModemRoteirizado::ModemQueRespondeOK() {
    QuandoRecebe("ATZ\r", "\r\nOK\r\n", 0.1);
    QuandoRecebe("ate0\r", "\r\nOK\r\n", 0.1);
    QuandoRecebe("ATE0\r", "\r\nOK\r\n", 0.1);
}

void ModemRoteirizado::TerminalQueAceitaLogOn() {
    QuandoRecebe("\r", "ID=", 0.3, 1, true);
    QuandoRecebe("\x1bPG1", "110 1.8\r\x06\r\x1b[p\r", 0.3);
}

void ModemRoteirizado::CentralQueAceita() {
    ModemQueRespondeOK();
    QuandoRecebe("ATD", "\r\nCONNECT 9600\r\n", 2);
    TerminalQueAceitaLogOn();
    QuandoRecebe("\x02", "211 Page(s) Sent\r\x06\r", 0.5);
}

bool ModemRoteirizado::setPortOpen(bool aberta) {
    if (aberta == m_aberta)
        return true;
    if (!aberta) {
        ++fechamentos;
        m_aberta = false;
        return true;
    }
    if (ausente)
        return false;
    m_ocupada = falhasAoAbrir > 0 && !emUsoPor.isEmpty();
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
    m_linhaLivreEm = std::max(m_linhaLivreEm, m_relogio.Agora()) + segundosPorByte * double(bytes.size());
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

void ModemRoteirizado::EsvaziaSaida() {
    m_relogio.AvancaPara(m_linhaLivreEm);
    m_pendentes.erase(m_pendentes.begin(), m_pendentes.lower_bound(m_linhaLivreEm));
}

QByteArray ModemRoteirizado::LeBytes() {
    QByteArray lidos;
    if (!m_aberta)
        return lidos;
    const double agora = m_relogio.Agora();
    for (auto p = m_pendentes.begin(); p != m_pendentes.end() && p->first <= agora; p = m_pendentes.erase(p))
        lidos.append(p->second);
    return lidos;
}

int ModemRoteirizado::InBufferCount() {
    int total = 0;
    const double agora = m_relogio.Agora();
    for (auto p = m_pendentes.begin(); p != m_pendentes.end() && p->first <= agora; ++p)
        total += p->second.size();
    return total;
}

void ModemRoteirizado::AguardaDados(double prazo) {
    if (InBufferCount() > 0)
        return;
    if (!m_pendentes.empty() && m_pendentes.begin()->first <= prazo)
        m_relogio.AvancaPara(m_pendentes.begin()->first);
    else
        m_relogio.AvancaPara(prazo + 0.01);
}
