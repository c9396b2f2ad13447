#pragma once

#include <QFont>

// The window's fonts at a character height in pixels; metric-compatible
// families stand in where the original ones are not installed.
QFont calibriFont(int pixelSize, bool bold = false);
QFont arialFont(int pixelSize);
