#include "common/RelogioReal.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <cmath>

RelogioReal::RelogioReal() {
    m_inicio.start();
}

double RelogioReal::Agora() const {
    return static_cast<double>(m_inicio.nsecsElapsed()) / 1e9;
}

void RelogioReal::Pausa(double segundos) {
    const double prazo = Agora() + segundos;
    QCoreApplication::processEvents();
    // A local event loop sleeps between events instead of spinning.
    while (Agora() <= prazo) {
        const int restante = static_cast<int>(std::ceil((prazo - Agora()) * 1000.0));
        QEventLoop laco;
        QTimer::singleShot(std::max(restante, 1), Qt::PreciseTimer, &laco, &QEventLoop::quit);
        laco.exec();
    }
}
