#pragma once

#include <QString>

// What a last-position run does with the dispatcher's view of the map.
enum class MapViewMode {
    FollowLast, // clear the map, then centre on the last radio at the zoom field's level
    FitAll,     // clear the map, then fit every marker shown, no deeper than the zoom field
    KeepMine,   // move the radios' markers in place: centre, zoom and drawings stay
};

// The INI value "MapView": the mode at start, named as above in any case.
// Empty means following the last radio; an unknown name too, with a message
// for the user.
struct MapViewSetting {
    MapViewMode mode = MapViewMode::FollowLast;
    QString problem; // empty when the value was usable

    static MapViewSetting fromIni(const QString& value);
};
