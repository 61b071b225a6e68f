#include "shell/frmFigura.h"

#include <QPainter>
#include <QSvgRenderer>

// The resources live in a static library: naming their initialisers keeps the linker from
// dropping them. Kept out of any namespace, as the initialisers are global.
static void RegistraFiguras() {
    static const bool registradas = [] {
        Q_INIT_RESOURCE(frmEnvio);
        Q_INIT_RESOURCE(frmMontaMsg);
        Q_INIT_RESOURCE(frmShell);
        return true;
    }();
    Q_UNUSED(registradas);
}

QPixmap FiguraSvg(const QString& recurso, const QSize& tamanho) {
    RegistraFiguras();
    QPixmap figura(tamanho);
    figura.fill(Qt::transparent);
    QSvgRenderer desenho(recurso);
    if (desenho.isValid()) {
        QPainter pintor(&figura);
        desenho.render(&pintor);
    }
    return figura;
}

QIcon IconeSvg(const QString& recurso, const QSize& tamanho) {
    return QIcon(FiguraSvg(recurso, tamanho));
}
