#include "ui/frmFigura.h"

#include <QGuiApplication>
#include <QPainter>
#include <QSvgRenderer>

QPixmap FiguraSvg(const QString& recurso, const QSize& tamanho) {
    // Drawn at the screen's pixel density: sharp at 150% or 200% scaling.
    const qreal densidade = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    QPixmap figura(tamanho * densidade);
    figura.setDevicePixelRatio(densidade);
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
