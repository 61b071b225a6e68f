#include "TerminalAvulso.h"

void TerminalAvulso::Conecta(double agora) {
    m_querFechar = false;
    m_terminal.Conecta(agora, ++m_sessoes);
}

void TerminalAvulso::Desconecta() {
    m_terminal.Desliga();
    m_querFechar = false;
}

void TerminalAvulso::Recebe(const QByteArray& bytes, double agora) {
    if (!m_terminal.Conectado())
        return;
    m_terminal.Recebe(bytes, agora);
    Colhe(agora);
}

void TerminalAvulso::Avanca(double agora) {
    m_terminal.Avanca(agora);
    Colhe(agora);
}

QByteArray TerminalAvulso::TomaSaida() {
    QByteArray saida;
    saida.swap(m_saida);
    return saida;
}

void TerminalAvulso::Colhe(double agora) {
    m_saida.append(m_terminal.TomaSaida());
    if (!m_terminal.QuerDesligar())
        return;
    if (aoRegistrar)
        aoRegistrar(QStringLiteral("sessão %1 encerrada").arg(m_sessoes));
    m_terminal.Desliga();
    if (m_sempreLigado)
        Conecta(agora);
    else
        m_querFechar = true;
}
