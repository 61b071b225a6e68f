#include "ui/frmFigura.h"

#include <QPainter>
#include <QSvgRenderer>

QPixmap FiguraSvg(const QString& recurso, const QSize& tamanho) {
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
