#include "ui/views/AutoRefreshInterval.h"

#include "app/Error.h"

#include <limits>

std::optional<int> autoRefreshIntervalMs(const QString& secondsText) {
    bool isNumber = false;
    const qint64 seconds = secondsText.toInt(&isNumber, 10);
    if (!isNumber)
        throw notAnIntegerError(secondsText);
    const qint64 ms = seconds * 1000;
    if (ms < 0 || ms > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(ms);
}
