#pragma once
// The program's own pictures, drawn from its SVG resources at a fixed size, so they look the
// same with or without the platform's SVG icon plug-in.
#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

// recurso: a resource path such as ":/tap/imagens/fig0.svg". A missing picture gives an
// empty (transparent) one of the same size.
QPixmap FiguraSvg(const QString& recurso, const QSize& tamanho);
QIcon IconeSvg(const QString& recurso, const QSize& tamanho);
