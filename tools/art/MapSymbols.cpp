#include "tools/art/MapSymbols.h"

#include "tools/art/ArtPalette.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace MapSymbols {

void drawPin(QPainter& painter, QPointF tip, qreal height, const QColor& colour) {
    const qreal radius = height * 0.36;
    const QPointF centre(tip.x(), tip.y() - height + radius);
    QPainterPath pin;
    pin.moveTo(tip);
    pin.cubicTo(tip.x() - radius * 0.35, tip.y() - height * 0.28, centre.x() - radius,
                centre.y() + radius * 0.75, centre.x() - radius, centre.y());
    pin.arcTo(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), 180, -180);
    pin.cubicTo(centre.x() + radius, centre.y() + radius * 0.75, tip.x() + radius * 0.35,
                tip.y() - height * 0.28, tip.x(), tip.y());
    pin.closeSubpath();

    QLinearGradient fill(centre.x() - radius, 0, centre.x() + radius, 0);
    fill.setColorAt(0, colour.lighter(125));
    fill.setColorAt(1, colour.darker(115));
    painter.setPen(QPen(colour.darker(170), qMax(1.0, height / 24), Qt::SolidLine, Qt::RoundCap,
                        Qt::RoundJoin));
    painter.setBrush(fill);
    painter.drawPath(pin);

    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(centre, radius * 0.42, radius * 0.42);
}

void drawFoldedMap(QPainter& painter, const QRectF& bounds) {
    const qreal w = bounds.width() / 3;
    const qreal dip = bounds.height() * 0.1;
    const qreal top = bounds.top();
    const qreal bottom = bounds.bottom();
    const qreal left = bounds.left();
    const QPolygonF panels[3] = {
        {{QPointF(left, top + dip), QPointF(left + w, top), QPointF(left + w, bottom - dip),
          QPointF(left, bottom)}},
        {{QPointF(left + w, top), QPointF(left + 2 * w, top + dip), QPointF(left + 2 * w, bottom),
          QPointF(left + w, bottom - dip)}},
        {{QPointF(left + 2 * w, top + dip), QPointF(left + 3 * w, top),
          QPointF(left + 3 * w, bottom - dip), QPointF(left + 2 * w, bottom)}},
    };
    const QPen edge(ArtPalette::outline, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    for (int i = 0; i < 3; ++i) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(i == 1 ? ArtPalette::paperShade : ArtPalette::paper);
        painter.drawPolygon(panels[i]);
    }

    // A coast and a road make the sheet read as a map, not as a page.
    painter.save();
    QPainterPath sheet;
    for (const QPolygonF& panel : panels)
        sheet.addPolygon(panel);
    painter.setClipPath(sheet.simplified());
    QPainterPath coast;
    coast.moveTo(left, top + bounds.height() * 0.55);
    coast.cubicTo(left + w * 0.8, top + bounds.height() * 0.35, left + w * 1.4,
                  top + bounds.height() * 0.95, left + w * 2.2, top + bounds.height() * 0.7);
    coast.cubicTo(left + w * 2.6, top + bounds.height() * 0.6, left + w * 2.8,
                  top + bounds.height() * 0.9, left + w * 3, bottom);
    coast.lineTo(left, bottom);
    coast.closeSubpath();
    painter.setBrush(ArtPalette::land);
    painter.drawPath(coast);
    painter.restore();

    painter.setBrush(Qt::NoBrush);
    painter.setPen(edge);
    for (const QPolygonF& panel : panels)
        painter.drawPolygon(panel);
}

void drawGlobe(QPainter& painter, const QRectF& bounds) {
    const QPointF centre = bounds.center();
    const qreal radius = qMin(bounds.width(), bounds.height()) / 2;

    QRadialGradient sea(centre - QPointF(radius * 0.35, radius * 0.4), radius * 1.4);
    sea.setColorAt(0, ArtPalette::skyBlue);
    sea.setColorAt(0.55, ArtPalette::blue);
    sea.setColorAt(1, ArtPalette::navy);
    painter.setPen(QPen(ArtPalette::outline, qMax(1.0, radius / 14)));
    painter.setBrush(sea);
    painter.drawEllipse(centre, radius, radius);

    painter.save();
    QPainterPath disc;
    disc.addEllipse(centre, radius, radius);
    painter.setClipPath(disc);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255, 150), qMax(0.8, radius / 22)));
    for (qreal f : {0.35, 0.72})
        painter.drawEllipse(centre, radius * f, radius);
    painter.drawLine(QPointF(centre.x(), centre.y() - radius),
                     QPointF(centre.x(), centre.y() + radius));
    for (qreal f : {-0.55, 0.0, 0.55}) {
        const qreal y = centre.y() + radius * f;
        painter.drawLine(QPointF(centre.x() - radius, y), QPointF(centre.x() + radius, y));
    }
    painter.restore();
}

void drawRadioWaves(QPainter& painter, QPointF centre, qreal firstRadius, qreal step, int count,
                    qreal penWidth, const QColor& colour) {
    painter.setBrush(Qt::NoBrush);
    for (int i = 0; i < count; ++i) {
        QColor c = colour;
        c.setAlphaF(colour.alphaF() * (1.0 - 0.25 * i));
        painter.setPen(QPen(c, penWidth, Qt::SolidLine, Qt::RoundCap));
        const qreal r = firstRadius + i * step;
        const QRectF arc(centre.x() - r, centre.y() - r, 2 * r, 2 * r);
        painter.drawArc(arc, -45 * 16, 90 * 16);
    }
}

void drawHandle(QPainter& painter, QPointF centre, qreal size) {
    painter.setPen(QPen(ArtPalette::navy, 1));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(centre.x() - size / 2, centre.y() - size / 2, size, size));
}

} // namespace MapSymbols
