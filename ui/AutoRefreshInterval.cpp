#include "ui/AutoRefreshInterval.h"

#include "app/Error.h"

#include <limits>

std::variant<int, QString> autoRefreshIntervalMs(const QString& secondsText) {
    bool isNumber = false;
    const qint64 seconds = secondsText.toInt(&isNumber, 10);
    if (!isNumber)
        throw Error(QLatin1Char('\'') + secondsText +
                    QStringLiteral("' is not a valid integer value"));
    if (seconds < 0)
        return QStringLiteral("The refresh interval cannot be negative.");
    const qint64 ms = seconds * 1000;
    if (ms > std::numeric_limits<int>::max())
        return QStringLiteral("The refresh interval is too long.");
    return int(ms);
}
