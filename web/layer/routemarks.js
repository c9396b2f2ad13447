// Marks beside a drawn route: a pin at each end with its time, and small
// dark arrowheads along the line in the direction of travel. They are not
// figures: dark grey, never red, not clickable.

var ARROW_SPACING = 80; // pixels between arrowheads
var ARROW_SIZE = 7;     // pixels from tip to base

// Where arrowheads go along a line of screen points {x, y}: one every
// `spacing` pixels of its length, starting half a spacing in and short of
// its end, each with the angle (radians) of the segment it lies on.
function arrowPlaces(points, spacing) {
    var places = [];
    var next = spacing / 2;
    var walked = 0;
    for (var i = 1; i < points.length; i++) {
        var dx = points[i].x - points[i - 1].x;
        var dy = points[i].y - points[i - 1].y;
        var length = Math.sqrt(dx * dx + dy * dy);
        while (length > 0 && next < walked + length) {
            var t = (next - walked) / length;
            places.push({
                x: points[i - 1].x + t * dx,
                y: points[i - 1].y + t * dy,
                angle: Math.atan2(dy, dx)
            });
            next += spacing;
        }
        walked += length;
    }
    return places;
}

// The three corners of an arrowhead at a place: the tip ahead, the base
// corners behind it.
function arrowHead(place, size) {
    var back = place.angle + Math.PI;
    function corner(turn, distance) {
        return { x: place.x + distance * Math.cos(back + turn), y: place.y + distance * Math.sin(back + turn) };
    }
    return [corner(0, -size / 2), corner(0.5, size), corner(-0.5, size)];
}

// points: the route, oldest first, as GLatLng; the ends carry their texts.
function GRouteMarks(points, startText, endText) {
    this.points_ = points.slice();
    this.startText_ = String(startText);
    this.endText_ = String(endText);
    this.map_ = null;
    this.group_ = null;
    this.arrows_ = null;
    this.redraw_ = null;
}

GRouteMarks.prototype.initialize_ = function (map) {
    var self = this;
    this.map_ = map;
    this.group_ = L.layerGroup().addTo(map.leaflet_);
    this.arrows_ = L.layerGroup().addTo(this.group_);
    var ends = [[this.points_[0], this.startText_, "route-start"],
                [this.points_[this.points_.length - 1], this.endText_, "route-end"]];
    ends.forEach(function (end) {
        var time = document.createElement("span");
        time.textContent = end[1];
        L.circleMarker(toLeaflet(end[0]), {
            radius: 6, color: "#222222", weight: 2, fillColor: "#ffffff", fillOpacity: 1,
            interactive: false, className: "route-pin " + end[2]
        }).bindTooltip(time, {
            permanent: true, direction: "top", offset: [0, -6], className: "route-pin-time " + end[2]
        }).addTo(self.group_);
    });
    this.redraw_ = function () { self.drawArrows_(); };
    map.leaflet_.on("zoomend viewreset", this.redraw_);
    this.drawArrows_();
};

GRouteMarks.prototype.drawArrows_ = function () {
    var leaflet = this.map_.leaflet_;
    this.arrows_.clearLayers();
    var screen = this.points_.map(function (point) {
        return leaflet.latLngToLayerPoint(toLeaflet(point));
    });
    var arrows = this.arrows_;
    arrowPlaces(screen, ARROW_SPACING).forEach(function (place) {
        var corners = arrowHead(place, ARROW_SIZE).map(function (corner) {
            return leaflet.layerPointToLatLng([corner.x, corner.y]);
        });
        L.polygon(corners, {
            stroke: false, fillColor: "#222222", fillOpacity: 0.9,
            interactive: false, className: "route-arrow"
        }).addTo(arrows);
    });
};

GRouteMarks.prototype.remove_ = function () {
    if (this.map_)
        this.map_.leaflet_.off("zoomend viewreset", this.redraw_);
    if (this.group_)
        this.group_.remove();
    this.group_ = null;
    this.map_ = null;
};

window.GRouteMarks = GRouteMarks;
