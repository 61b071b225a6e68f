#pragma once
#include "common/Relogio.h"

#include <QElapsedTimer>

class RelogioReal : public Relogio {
public:
    RelogioReal();
    double Agora() const override;
    void Pausa(double segundos) override;

private:
    QElapsedTimer m_inicio;
};
