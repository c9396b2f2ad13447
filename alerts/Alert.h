#pragma once

#include "alerts/Area.h"

#include <QDateTime>
#include <QString>

#include <optional>

// Something a dispatcher must see: a radio entered or left an area, went
// silent, or reports again after a silence.
struct Alert {
    enum class Kind { Entered, Left, Silent, ReportingAgain };

    Kind kind = Kind::Entered;
    qint32 radio = 0;
    QString area; // entered and left
    // The report's time; for a silence, when the radio had been quiet for
    // StaleMinutes.
    QDateTime time;
    // The report's position; for a silence, the last one.
    std::optional<GeoPoint> position;
    int minutes = 0; // silent: no report for so long; reporting again: after so long

    // "entered <area>", "left <area>", "silent: no report for 10 min",
    // "reporting again after 23 min".
    QString what() const;
    bool operator==(const Alert&) const = default;
};
