#include "ui/widgets/Fonts.h"

#include <QStringList>

static QFont fontOf(const QStringList& families, int pixelSize, bool bold) {
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QFont calibriFont(int pixelSize, bool bold) {
    return fontOf({QStringLiteral("Calibri"), QStringLiteral("Carlito")}, pixelSize, bold);
}

QFont arialFont(int pixelSize) {
    return fontOf({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")}, pixelSize, false);
}
