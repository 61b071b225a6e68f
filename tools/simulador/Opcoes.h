#pragma once
// The simulator's command line: where it puts its line and its record, for how long it runs,
// and the scenario it plays.
#include "Cenario.h"

#include <QString>
#include <QStringList>

struct Opcoes {
    Cenario cenario;
    QString link;
    // The terminal alone: on the pseudo-terminal (a direct cable) or on a loopback TCP port.
    bool linhaDireta = false;
    int portaTCP = -1; // -1: not over TCP; 0: any free port
    QString transcricao;
    double duracao = 0.0; // seconds; 0 runs until stopped
    bool ritmo = false;
    bool silencioso = false;
    bool ajuda = false;
};

// argumentos without the program name. false, with the reason in Portuguese in erro, on bad input.
bool InterpretaOpcoes(const QStringList& argumentos, Opcoes& opcoes, QString& erro);
QString TextoDeAjuda();
