#pragma once
// Things served at a table, drawn standing on `base` (the middle of their foot) at the
// size of the dining-set drawing, times `scale`.

#include <QPainter>

namespace art {

void plate(QPainter& painter, QPointF centre, qreal scale = 1);
void bottle(QPainter& painter, QPointF base, qreal scale = 1);
void wineGlass(QPainter& painter, QPointF base, qreal scale = 1);

} // namespace art
