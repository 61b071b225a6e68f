#pragma once
// A clock in which time moves only when the code waits: a 60-second time-out passes at once.
#include "common/Relogio.h"

#include <QVector>
#include <algorithm>
#include <functional>

class RelogioVirtual : public Relogio {
public:
    double Agora() const override { return m_agora; }
    // Advances by exactly the duration and lets pending events run once.
    void Pausa(double segundos) override;
    // The scripted wall clock when set, the real one otherwise.
    QDateTime DataHoraLocal() const override { return dataHora ? dataHora() : Relogio::DataHoraLocal(); }
    std::function<QDateTime()> dataHora;

    void AvancaPara(double instante) { m_agora = std::max(m_agora, instante); }

    // Every pause, in order, and how many times events were let run.
    QVector<double> pausas;
    int bombeamentos = 0;
    // Called on each pause, after the time moved (a test may act "while the program waits").
    std::function<void()> aoPausar;

private:
    double m_agora = 1000.0;
};
