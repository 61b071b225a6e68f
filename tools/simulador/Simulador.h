#pragma once
// The running simulator: the pseudo-terminal or the TCP port, the two directions of the line, the
// modem with its terminal (or the terminal alone), and the record, turned by one poll loop until a
// signal or the end of the run.
#include "LinhaCompassada.h"
#include "ModemHayes.h"
#include "Opcoes.h"
#include "PseudoTerminal.h"
#include "ServidorTCP.h"
#include "TerminalAvulso.h"
#include "Transcricao.h"

#include <QElapsedTimer>

class Simulador {
public:
    explicit Simulador(const Opcoes& opcoes);
    // Returns the process exit status: 0 after a signal or the end of --duracao, 1 on failure.
    int Executa();

private:
    bool Prepara();
    void Gira(double agora);
    double ProximoInstante(double agora) const;
    void EscrevePendente(double agora);
    bool PorTCP() const { return m_opcoes.portaTCP >= 0; }
    void LeDaLinha();
    void AceitaCliente(double agora);
    void FechaCliente(const QString& motivo);
    void Registra(const QString& texto);
    void RegistraPagina(const PaginaRecebida& p);
    double Agora() const { return double(m_relogio.nsecsElapsed()) / 1e9; }

    const Opcoes& m_opcoes;
    QElapsedTimer m_relogio;
    PseudoTerminal m_pty;
    ServidorTCP m_servidor;
    ModemHayes m_modem;
    TerminalAvulso m_avulso;
    PontaRemota& m_ponta;
    Transcricao m_transcricao;
    LinhaCompassada m_entrada; // from the program to the modem
    LinhaCompassada m_saida;   // from the modem to the program
    QByteArray m_pendente;     // through the line but not yet taken by the pseudo-terminal
    double m_leituraSuspensaAte = 0.0;
    bool m_descartando = false; // output is being dropped for want of a reader
};
