#pragma once
// The paging terminal with no modem in front of it. On a direct cable it is always there and a
// new session begins after each log-off; over TCP each connection is one session, and the
// terminal asks for the connection to be closed when it ends one.
#include "PontaRemota.h"
#include "TerminalTAP.h"

#include <functional>

class TerminalAvulso : public PontaRemota {
public:
    // sempreLigado: a cable (sessions one after another) rather than connections.
    TerminalAvulso(const Cenario& cenario, bool sempreLigado)
        : m_terminal(cenario), m_sempreLigado(sempreLigado) {}

    std::function<void(const QString&)> aoRegistrar;
    TerminalTAP& terminal() { return m_terminal; }

    // A session begins (the cable at start-up, a TCP client connecting) or its connection ends.
    void Conecta(double agora);
    void Desconecta();
    // The terminal ended the session and wants the connection closed (TCP only).
    bool QuerFechar() const { return m_querFechar; }

    void Recebe(const QByteArray& bytes, double agora) override;
    void Avanca(double agora) override;
    double ProximoEvento() const override { return m_terminal.ProximoEvento(); }
    QByteArray TomaSaida() override;

private:
    void Colhe(double agora);

    TerminalTAP m_terminal;
    bool m_sempreLigado;
    bool m_querFechar = false;
    int m_sessoes = 0;
    QByteArray m_saida;
};
