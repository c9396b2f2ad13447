#pragma once

#include <QString>

// Shown in the taskbar entry and as the caption of every message box.
inline QString applicationTitle() {
    return QStringLiteral("DOZ Uvurovivava dozi Revezo Zuro");
}
