#include "RelogioVirtual.h"

#include <QCoreApplication>

void RelogioVirtual::Pausa(double segundos) {
    pausas.append(segundos);
    AvancaPara(m_agora + segundos);
    ++bombeamentos;
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
    if (aoPausar)
        aoPausar();
}
