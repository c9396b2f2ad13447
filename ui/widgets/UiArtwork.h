#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

// A picture compiled into the program from ui/widgets/images, e.g. "about-banner.png".
QPixmap uiImage(const QString& fileName);

// The application's icon in all the sizes drawn for it.
QIcon applicationIcon();

// The about dialog's banner, 404 x 100 with an alpha channel.
QPixmap aboutBanner();
