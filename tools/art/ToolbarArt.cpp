#include "tools/art/ToolbarArt.h"

#include "tools/art/ArtPalette.h"
#include "tools/art/MapSymbols.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <functional>

namespace {

constexpr int side = 32;

QImage paintIcon(const std::function<void(QPainter&)>& draw, int scale) {
    QImage image(side * scale, side * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    draw(painter);
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QPen roundPen(const QColor& colour, qreal width) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void drawClose(QPainter& p) {
    QLinearGradient fill(0, 3, 0, 29);
    fill.setColorAt(0, ArtPalette::red.lighter(120));
    fill.setColorAt(1, ArtPalette::red.darker(115));
    p.setPen(QPen(ArtPalette::darkRed, 1));
    p.setBrush(fill);
    p.drawEllipse(QPointF(16, 16), 13, 13);
    p.setPen(roundPen(Qt::white, 3.2));
    p.drawLine(QPointF(11, 11), QPointF(21, 21));
    p.drawLine(QPointF(21, 11), QPointF(11, 21));
}

void drawRoute(QPainter& p) {
    MapSymbols::drawFoldedMap(p, QRectF(2.5, 6.5, 27, 22));
    QPainterPath track;
    track.moveTo(6, 25);
    track.cubicTo(9, 17, 15, 24, 17, 18);
    track.cubicTo(19, 12, 22, 15, 24, 12);
    p.setBrush(Qt::NoBrush);
    p.setPen(roundPen(Qt::white, 4));
    p.drawPath(track);
    p.setPen(roundPen(ArtPalette::red, 2.2));
    p.drawPath(track);
    p.setPen(QPen(ArtPalette::darkGreen, 1));
    p.setBrush(ArtPalette::green);
    p.drawEllipse(QPointF(6, 25), 2.6, 2.6);
    MapSymbols::drawPin(p, QPointF(24, 13), 12.5, ArtPalette::blue);
}

void drawMarker(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 50));
    p.drawEllipse(QPointF(16, 28.5), 6, 2);
    MapSymbols::drawPin(p, QPointF(16, 28.5), 26, ArtPalette::red);
}

void drawSearch(QPainter& p) {
    p.setPen(roundPen(ArtPalette::outline, 5.5));
    p.drawLine(QPointF(20, 20), QPointF(27.5, 27.5));
    p.setPen(roundPen(QColor(120, 128, 140), 3));
    p.drawLine(QPointF(20.5, 20.5), QPointF(27, 27));
    QRadialGradient glass(QPointF(11, 10), 11);
    glass.setColorAt(0, QColor(255, 255, 255, 230));
    glass.setColorAt(1, QColor(190, 215, 245, 200));
    p.setBrush(glass);
    p.setPen(QPen(ArtPalette::navy, 3));
    p.drawEllipse(QPointF(13, 13), 9, 9);
    p.setPen(roundPen(QColor(255, 255, 255, 220), 1.6));
    p.drawArc(QRectF(7.5, 7.5, 11, 11), 100 * 16, 70 * 16);
}

void drawLine(QPainter& p) {
    const QPointF points[] = {{5, 26}, {12, 12}, {20, 20}, {27, 6}};
    p.setPen(roundPen(QColor(255, 255, 255, 200), 4.5));
    p.drawPolyline(points, 4);
    p.setPen(roundPen(ArtPalette::blue, 2.4));
    p.drawPolyline(points, 4);
    for (const QPointF& point : points)
        MapSymbols::drawHandle(p, point, 5);
}

void drawReload(QPainter& p) {
    MapSymbols::drawGlobe(p, QRectF(9.5, 9.5, 13, 13));
    const QPointF centre(16, 16);
    const qreal radius = 11;
    const qreal startDegrees = 150;
    const qreal spanDegrees = 300;
    const QRectF ring(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ArtPalette::darkGreen, 4.6, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(ring, int(startDegrees * 16), int(spanDegrees * 16));
    p.setPen(QPen(ArtPalette::green, 2.6, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(ring, int((startDegrees + 1) * 16), int((spanDegrees - 2) * 16));

    // The arrow head sits where the arc ends and points along the turn.
    const qreal end = qDegreesToRadians(startDegrees + spanDegrees);
    const QPointF tip = centre + QPointF(qCos(end), -qSin(end)) * radius;
    const QPointF along(-qSin(end), -qCos(end));
    const QPointF across(qCos(end), -qSin(end));
    const QPolygonF head{
        {tip + along * 7, tip + across * 4.5 - along * 1, tip - across * 4.5 - along * 1}};
    p.setPen(QPen(ArtPalette::darkGreen, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(ArtPalette::green);
    p.drawPolygon(head);
}

void drawLastPositions(QPainter& p) {
    MapSymbols::drawFoldedMap(p, QRectF(2.5, 8.5, 27, 21));
    MapSymbols::drawPin(p, QPointF(9, 22), 13, ArtPalette::green);
    MapSymbols::drawPin(p, QPointF(23.5, 19), 13, ArtPalette::blue);
    MapSymbols::drawPin(p, QPointF(16, 27), 15, ArtPalette::red);
}

void drawPolygon(QPainter& p) {
    const QPolygonF shape{
        {QPointF(6, 12), QPointF(16, 4), QPointF(27, 10), QPointF(24, 26), QPointF(8, 27)}};
    QColor fill = ArtPalette::blue;
    fill.setAlpha(95);
    p.setPen(roundPen(ArtPalette::blue, 2.2));
    p.setBrush(fill);
    p.drawPolygon(shape);
    for (const QPointF& point : shape)
        MapSymbols::drawHandle(p, point, 5);
}

void drawClear(QPainter& p) {
    MapSymbols::drawFoldedMap(p, QRectF(2.5, 3.5, 25, 21));
    p.translate(22, 23.5);
    p.rotate(-35);
    p.setPen(QPen(ArtPalette::outline, 1.1));
    p.setBrush(QColor(240, 104, 132));
    p.drawRoundedRect(QRectF(-8, -3.8, 16, 7.6), 1.5, 1.5);
    p.setBrush(QColor(245, 248, 252));
    p.drawRoundedRect(QRectF(-8, -3.8, 6, 7.6), 1.5, 1.5);
}

} // namespace

QList<ToolbarPicture> drawToolbarPictures(int scale) {
    const struct {
        const char* name;
        void (*draw)(QPainter&);
    } pictures[] = {
        {"toolbar-0-close", drawClose},
        {"toolbar-1-route", drawRoute},
        {"toolbar-2-marker", drawMarker},
        {"toolbar-3-search", drawSearch},
        {"toolbar-4-line", drawLine},
        {"toolbar-5-reload", drawReload},
        {"toolbar-6-last-positions", drawLastPositions},
        {"toolbar-7-polygon", drawPolygon},
        {"toolbar-8-clear", drawClear},
    };
    const QString suffix =
        scale == 1 ? QStringLiteral(".png") : QStringLiteral("@%1x.png").arg(scale);
    QList<ToolbarPicture> drawn;
    for (const auto& picture : pictures)
        drawn.append({QLatin1String(picture.name) + suffix, paintIcon(picture.draw, scale)});
    return drawn;
}
