#pragma once

#include <QString>

// A number as the status bar shows it: at most 15 significant digits, no
// trailing zeros, fixed notation (scientific below 0.00001 or from 1E15 on),
// and the default locale's decimal separator.
QString callbackNumberText(double value);
