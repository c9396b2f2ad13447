#include "tools/art/BannerArt.h"

#include "tools/art/ArtPalette.h"
#include "tools/art/MapSymbols.h"

#include <QPainter>
#include <QPainterPath>

namespace {

const QSize bannerSize(404, 100);

void drawBackground(QPainter& p, const QPainterPath& outline) {
    QLinearGradient sky(0, 0, bannerSize.width(), 0);
    sky.setColorAt(0, ArtPalette::headerBottom);
    sky.setColorAt(0.3, ArtPalette::headerTop);
    sky.setColorAt(0.58, QColor(214, 226, 246));
    sky.setColorAt(1, QColor(247, 250, 254));
    p.fillPath(outline, sky);

    // A faint graticule ties the left and the right half together.
    p.save();
    p.setClipPath(outline);
    p.setPen(QPen(QColor(255, 255, 255, 70), 1));
    for (int x = 132; x < bannerSize.width(); x += 34)
        p.drawLine(QPointF(x + 0.5, 0), QPointF(x - 14.5, bannerSize.height()));
    for (int y = 17; y < bannerSize.height(); y += 22) {
        QPainterPath parallel;
        parallel.moveTo(110, y + 6);
        parallel.quadTo(260, y - 4, bannerSize.width(), y + 6);
        p.drawPath(parallel);
    }
    p.restore();
}

QPainterPath trackPath() {
    QPainterPath track;
    track.moveTo(86, 64);
    track.cubicTo(130, 92, 160, 80, 190, 56);
    track.cubicTo(220, 32, 250, 66, 282, 52);
    track.cubicTo(306, 41, 318, 38, 330, 40);
    return track;
}

void drawTrack(QPainter& p) {
    const QPainterPath track = trackPath();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 200), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(track);
    p.setPen(QPen(ArtPalette::orange, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(track);

    // Position reports along the way.
    p.setPen(QPen(ArtPalette::orange.darker(140), 1.2));
    p.setBrush(Qt::white);
    for (qreal at = 0.12; at < 0.95; at += 0.14)
        p.drawEllipse(track.pointAtPercent(at), 3, 3);
}

} // namespace

QImage drawAboutBanner(int scale) {
    QImage image(bannerSize * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);

    QPainterPath outline;
    outline.addRoundedRect(QRectF(0.5, 0.5, bannerSize.width() - 1, bannerSize.height() - 1), 9, 9);
    drawBackground(p, outline);

    MapSymbols::drawGlobe(p, QRectF(18, 8, 84, 84));
    drawTrack(p);
    MapSymbols::drawPin(p, QPointF(330, 42), 30, ArtPalette::red);
    MapSymbols::drawRadioWaves(p, QPointF(330, 23), 16, 7, 3, 2.4, ArtPalette::navy);
    p.setPen(QPen(ArtPalette::green.darker(130), 1.2));
    p.setBrush(ArtPalette::green);
    p.drawEllipse(QPointF(86, 64), 4.5, 4.5);

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(9, 59, 144, 120), 1));
    p.drawPath(outline);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}
