#pragma once

#include <QString>

// The INI value "StaleMinutes": after how many minutes a report counts as
// stale. Empty means the default; anything but a positive whole number
// falls back to the default with a message for the user.
struct StaleMinutes {
    static constexpr int byDefault = 10;

    int minutes = byDefault;
    QString problem; // empty when the value was usable

    static StaleMinutes fromIni(const QString& value);
};
