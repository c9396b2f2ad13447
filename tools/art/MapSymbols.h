#pragma once

#include <QColor>
#include <QPointF>
#include <QRectF>

class QPainter;

// Symbols that several pictures share, drawn at any size.
namespace MapSymbols {

// A map pin whose tip touches `tip`; `height` is from tip to the top of the head.
void drawPin(QPainter& painter, QPointF tip, qreal height, const QColor& colour);

// A map folded in three panels, filling `bounds`.
void drawFoldedMap(QPainter& painter, const QRectF& bounds);

// A globe with a graticule, centred in `bounds`.
void drawGlobe(QPainter& painter, const QRectF& bounds);

// Radio waves: `count` arcs opening to the right of `centre`.
void drawRadioWaves(QPainter& painter, QPointF centre, qreal firstRadius, qreal step, int count,
                    qreal penWidth, const QColor& colour);

// A square vertex handle as drawing tools show it.
void drawHandle(QPainter& painter, QPointF centre, qreal size);

} // namespace MapSymbols
