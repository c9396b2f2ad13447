#pragma once

#include <QImage>

// The application's icon at one square size: a globe with a pin sending radio waves.
QImage drawApplicationIcon(int size);
