#include "ui/views/StaleMinutes.h"

StaleMinutes StaleMinutes::fromIni(const QString& value) {
    if (value.isEmpty())
        return {};
    bool isNumber = false;
    const int minutes = value.toInt(&isNumber, 10);
    if (isNumber && minutes > 0)
        return {minutes, {}};
    return {byDefault, QStringLiteral("StaleMinutes in the INI file is not a positive whole number "
                                      "of minutes: \"") +
                           value +
                           QStringLiteral("\". Positions older than 10 minutes are shown "
                                          "as stale.")};
}
