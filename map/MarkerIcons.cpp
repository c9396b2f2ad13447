#include "map/MarkerIcons.h"

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace {

struct IconStyle {
    const char* name;
    QColor fill;
    QColor dot;
};

const IconStyle iconStyles[] = {
    {"red", QColor(0xe5, 0x1c, 0x1c), Qt::white},
    {"orange", QColor(0xff, 0x88, 0x00), Qt::white},
    {"green", QColor(0x00, 0x99, 0x33), Qt::white},
    {"blue", QColor(0x1f, 0x4f, 0xd8), Qt::white},
    {"purple", QColor(0x80, 0x2a, 0x99), Qt::white},
    {"marker", QColor(0xfb, 0x6a, 0x5c), QColor(0x4a, 0x10, 0x0c)},
};

QImage drawPin(const IconStyle& style, int scale) {
    QImage image(32 * scale, 32 * scale, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);

    // A round head on a tapering stem that ends at (15.5, 31.5).
    QPainterPath pin;
    pin.moveTo(15.5, 31.5);
    pin.cubicTo(13.5, 24.0, 5.5, 19.0, 5.5, 11.5);
    pin.arcTo(QRectF(5.5, 1.5, 20.0, 20.0), 180.0, -180.0);
    pin.cubicTo(25.5, 19.0, 17.5, 24.0, 15.5, 31.5);
    pin.closeSubpath();

    painter.setPen(QPen(style.fill.darker(170), 1.2));
    painter.setBrush(style.fill);
    painter.drawPath(pin);
    painter.setPen(Qt::NoPen);
    painter.setBrush(style.dot);
    painter.drawEllipse(QPointF(15.5, 11.5), 3.8, 3.8);
    return image;
}

} // namespace

QByteArray markerIconPng(const QString& name) {
    static const QString sharpSuffix = QStringLiteral("@2x");
    const bool sharp = name.endsWith(sharpSuffix);
    const QString styleName = sharp ? name.chopped(sharpSuffix.size()) : name;
    for (const IconStyle& style : iconStyles) {
        if (styleName == QLatin1String(style.name)) {
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            drawPin(style, sharp ? 2 : 1).save(&buffer, "PNG");
            return png;
        }
    }
    return {};
}
