#include "tools/art/AppIconArt.h"

#include "tools/art/ArtPalette.h"
#include "tools/art/MapSymbols.h"

#include <QPainter>
#include <QPainterPath>

QImage drawApplicationIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Everything is laid out on a 64-unit grid and scaled to the requested size.
    p.scale(size / 64.0, size / 64.0);

    QLinearGradient tile(0, 0, 0, 64);
    tile.setColorAt(0, ArtPalette::headerTop);
    tile.setColorAt(1, ArtPalette::headerBottom);
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(1, 1, 62, 62), 13, 13);

    MapSymbols::drawGlobe(p, QRectF(8, 16, 40, 40));
    MapSymbols::drawRadioWaves(p, QPointF(40, 17), 9, 6, 3, 3.4, QColor(255, 255, 255, 235));
    MapSymbols::drawPin(p, QPointF(40, 36), 28, ArtPalette::red);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}
