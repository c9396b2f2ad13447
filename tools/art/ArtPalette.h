#pragma once

#include <QColor>

// One palette for every picture, so the icons, the banner and the window's
// blue header bars read as one family.
namespace ArtPalette {
inline const QColor headerTop(92, 131, 208);
inline const QColor headerBottom(9, 59, 144);
inline const QColor navy(9, 59, 144);
inline const QColor blue(37, 99, 201);
inline const QColor skyBlue(122, 170, 236);
inline const QColor outline(28, 44, 78);
inline const QColor red(221, 58, 52);
inline const QColor darkRed(150, 28, 24);
inline const QColor green(40, 160, 88);
inline const QColor darkGreen(22, 110, 58);
inline const QColor orange(245, 146, 32);
inline const QColor paper(236, 243, 252);
inline const QColor paperShade(207, 223, 244);
inline const QColor land(166, 212, 150);
} // namespace ArtPalette
