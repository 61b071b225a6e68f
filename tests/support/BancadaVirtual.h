#pragma once
// The three seams wired for one test: virtual clock, scripted modem on an open port, recorded
// operator, and a private settings directory so no real settings file is read.
#include "AmbienteDeTeste.h"
#include "ModemRoteirizado.h"
#include "OperadorGravado.h"
#include "RelogioVirtual.h"
#include "common/Contexto.h"

#include <QStringList>

struct BancadaVirtual {
    AmbienteDeTeste ambiente;
    RelogioVirtual relogio;
    ModemRoteirizado modem{relogio};
    OperadorGravado operador;
    Contexto ctx{relogio, modem, operador};
    double inicio = relogio.Agora();

    explicit BancadaVirtual(bool comBanco = false) : ambiente(comBanco) { modem.setPortOpen(true); }

    double Decorrido() const { return relogio.Agora() - inicio; }
    // A script in one line per rule: "gatilho|resposta|atraso[|vezes]" answers a write that
    // contains gatilho; "@instante|dados" arrives unprompted that long after the start.
    void Roteiro(const QStringList& regras) {
        for (const QString& regra : regras) {
            const QStringList p = regra.split(QLatin1Char('|'));
            if (p[0].startsWith(QLatin1Char('@')))
                modem.EntregaEm(inicio + p[0].mid(1).toDouble(), p.value(1).toLatin1());
            else
                modem.QuandoRecebe(p[0].toLatin1(), p.value(1).toLatin1(), p.value(2).toDouble(),
                                   p.size() > 3 ? p[3].toInt() : -1);
        }
    }
};
