#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

// One position report of a route as the route tools read it: its time
// (invalid when the stored time does not read), its position in decimal
// degrees (none when the stored coordinates do not convert) and the stored
// altitude text.
struct TrackPoint {
    QDateTime time;
    std::optional<double> lat;
    std::optional<double> lng;
    QString altitude;

    bool hasPosition() const { return lat.has_value() && lng.has_value(); }
};
