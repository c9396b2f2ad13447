#include "ui/views/AutoRefreshInterval.h"

#include "app/Error.h"

#include <limits>

std::variant<int, QString> autoRefreshIntervalMs(const QString& secondsText) {
    bool isNumber = false;
    const qint64 seconds = secondsText.toInt(&isNumber, 10);
    if (!isNumber)
        throw notAnIntegerError(secondsText);
    if (seconds < 0)
        return QStringLiteral("The refresh interval cannot be negative.");
    const qint64 ms = seconds * 1000;
    if (ms > std::numeric_limits<int>::max())
        return QStringLiteral("The refresh interval is too long.");
    return int(ms);
}
