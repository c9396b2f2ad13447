#pragma once

#include <QImage>

// The about dialog's banner, 404 x 100 with an alpha channel. Its lower right
// part stays light and plain: two lines of text lie over it.
// Drawn at `scale` pixels a point.
QImage drawAboutBanner(int scale = 1);
