#pragma once

#include <QString>

// Full path of a file in the directory of the running executable; the current
// working directory plays no part.
QString besideExecutable(const QString& fileName);
