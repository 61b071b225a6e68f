#include "common/RelogioReal.h"

#include "common/Interrupcao.h"

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
    // A local event loop sleeps between events instead of spinning; in slices, so that a second
    // termination signal ends any pause at once.
    while (Agora() <= prazo && !Interrupcao::Imediata()) {
        const int restante = std::min(static_cast<int>(std::ceil((prazo - Agora()) * 1000.0)), 50);
        QEventLoop laco;
        QTimer::singleShot(std::max(restante, 1), Qt::PreciseTimer, &laco, &QEventLoop::quit);
        laco.exec();
    }
}
