// Replay trails: where each radio went in the minutes before the replay's
// time, drawn in bands of age that fade the older they are. A trail stays on
// the map from frame to frame and only takes new points.

var TRAIL_BANDS = 5;

// points: {lat, lng, age} oldest first, age in minutes before the frame's
// time. Each segment goes to the band of its older end's age (band 0 the
// newest, ages past span in the last band); as ages only fall along the
// trail, each band is one run of [lat, lng], starting where the older band
// ends so that the line stays joined.
function trailBands(points, span, bands) {
    var runs = [];
    for (var b = 0; b < bands; b++)
        runs.push([]);
    for (var i = 1; i < points.length; i++) {
        var age = points[i - 1].age;
        var band = span > 0 ? Math.min(bands - 1, Math.max(0, Math.floor(age / span * bands))) : 0;
        var run = runs[band];
        if (run.length === 0)
            run.push([points[i - 1].lat, points[i - 1].lng]);
        run.push([points[i].lat, points[i].lng]);
    }
    return runs;
}

// The newest band nearly opaque, the oldest faint.
function trailOpacity(band, bands) {
    return 0.85 - 0.7 * band / Math.max(1, bands - 1);
}

function GReplayTrail(points, span) {
    this.points_ = points;
    this.span_ = span;
    this.lines_ = [];
}
// All trails on one canvas: a frame redraws it once, where as SVG paths every
// band of every radio was laid out and painted again (R2 in bench/README.md).
GReplayTrail.prototype.initialize_ = function (map) {
    var renderer = map.replayTrails_ || (map.replayTrails_ = L.canvas({ padding: 0.2 }));
    this.lines_ = trailBands(this.points_, this.span_, TRAIL_BANDS).map(function (run, band) {
        return L.polyline(run, {
            renderer: renderer,
            color: "#1f5fbf",
            weight: 4,
            opacity: trailOpacity(band, TRAIL_BANDS),
            interactive: false
        }).addTo(map.leaflet_);
    });
};
// In place: the lines keep their elements and take the new points.
GReplayTrail.prototype.setPoints = function (points, span) {
    this.points_ = points;
    this.span_ = span;
    var runs = trailBands(points, span, TRAIL_BANDS);
    this.lines_.forEach(function (line, band) { line.setLatLngs(runs[band]); });
};
GReplayTrail.prototype.remove_ = function () {
    this.lines_.forEach(function (line) { line.remove(); });
    this.lines_ = [];
};

window.GReplayTrail = GReplayTrail;
