#pragma once

// What a last-position run does with the dispatcher's view of the map.
enum class MapViewMode {
    FollowLast, // clear the map, then centre on the last radio at the zoom field's level
    FitAll,     // clear the map, then fit every marker shown, no deeper than the zoom field
    KeepMine,   // move the radios' markers in place: centre, zoom and drawings stay
};
