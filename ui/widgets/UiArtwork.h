#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

// A picture compiled into the program from ui/widgets/images, e.g. "about-banner.png".
QPixmap uiImage(const QString& fileName);

// The picture "<baseName>.png" with its "<baseName>@2x.png" twin, drawn for
// screens of twice the density, so that nothing is blurred at 200 %.
QIcon uiIcon(const QString& baseName);

// The application's icon in all the sizes drawn for it.
QIcon applicationIcon();

// The about dialog's banner, 404 x 100 points with an alpha channel, for a
// screen of the given density.
QPixmap aboutBanner(qreal devicePixelRatio = 1);
