#pragma once
// The three seams wired for one test: virtual clock, scripted modem on an open port, recorded
// operator, and a private settings directory so no real settings file is read.
#include "AmbienteDeTeste.h"
#include "ModemRoteirizado.h"
#include "OperadorGravado.h"
#include "RelogioVirtual.h"
#include "common/Contexto.h"

#include <QVector>

struct BancadaVirtual {
    AmbienteDeTeste ambiente;
    RelogioVirtual relogio;
    ModemRoteirizado modem{relogio};
    OperadorGravado operador;
    Contexto ctx{relogio, modem, operador};
    double inicio = relogio.Agora();

    BancadaVirtual() { modem.setPortOpen(true); }

    double Decorrido() const { return relogio.Agora() - inicio; }
    // The pauses the code asked for, without the zero-length ones that only let events run.
    QVector<double> PausasComDuracao() const {
        QVector<double> com;
        for (double p : relogio.pausas)
            if (p > 0)
                com.append(p);
        return com;
    }
};
