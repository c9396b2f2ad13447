#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

// One position report of a route as the route tools read it: its time
// (invalid when the stored time does not read), its position in decimal
// degrees at full precision (none when the stored coordinates do not
// convert), the stored altitude text, and the rounded "lat,lng" text the map
// was sent for it (empty without a position, `unreadable` then saying why).
struct TrackPoint {
    QDateTime time;
    std::optional<double> lat;
    std::optional<double> lng;
    QString altitude;
    QString mapPair{};    // {}: points made without a map may leave it out
    QString unreadable{}; // why the coordinates do not convert, when they do not

    bool hasPosition() const { return lat.has_value() && lng.has_value(); }
};
