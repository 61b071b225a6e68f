#pragma once
// Real time, run faster: every pause and deadline of the program passes `fator` times sooner,
// so whole transmissions over a pseudo-terminal take seconds while the real serial code, the
// real waits and the simulator's own timing (guard time, pacing) still meet.
#include "common/RelogioReal.h"

class RelogioAcelerado : public Relogio {
public:
    explicit RelogioAcelerado(double fator) : m_fator(fator) {}
    double Agora() const override { return m_real.Agora() * m_fator; }
    void Pausa(double segundos) override { m_real.Pausa(segundos / m_fator); }

private:
    RelogioReal m_real;
    double m_fator;
};
