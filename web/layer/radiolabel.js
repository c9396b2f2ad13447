// Radio labels: a permanent label beside a pin, the radio's title over the
// age of its report, right of the pin or, where that would cover another
// label or another radio's pin, left of it. A label with room on neither
// side gives way until zooming or moving makes room; it is not on the page
// at all, so that hundreds of crowded radios cost only the labels that show.

// Rectangles are {left, top, right, bottom} in screen pixels. places[i] lists
// the rectangles label i may take, in the order to try them; pins[i] is its
// own pin. Labels are taken in order, an earlier one keeping its place; a
// place is taken when it overlaps no label already placed and no pin but
// the label's own. Returns for each label the index of its place, or -1
// when it gives way.
function labelPlaces(places, pins) {
    function overlaps(a, b) {
        return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
    }
    var taken = [];
    return places.map(function (candidates, index) {
        var chosen = candidates.findIndex(function (place) {
            return !taken.some(function (other) { return overlaps(place, other); }) &&
                !pins.some(function (pin, owner) { return owner !== index && overlaps(place, pin); });
        });
        if (chosen >= 0)
            taken.push(candidates[chosen]);
        return chosen;
    });
}

// The age line and the label's classes: greyed when the report is stale,
// red-edged and its age line headed "alert" while the radio has an alert not yet
// acknowledged.
function radioLabelLook(age, stale, alerted) {
    var className = "gmap-radio-label";
    if (stale)
        className += " gmap-radio-stale";
    if (alerted)
        className += " gmap-radio-alert";
    return { age: alerted ? "alert \u00b7 " + age : age, className: className };
}

// The label's texts as text (names never become markup) and the size it
// takes on the screen.
function radioLabelContent(title, age, stale, alerted) {
    var look = radioLabelLook(age, stale, alerted);
    var node = document.createElement("div");
    var titleLine = document.createElement("div");
    titleLine.className = "gmap-radio-title";
    titleLine.textContent = title;
    var ageLine = document.createElement("div");
    ageLine.className = "gmap-radio-age";
    ageLine.textContent = look.age;
    node.appendChild(titleLine);
    node.appendChild(ageLine);
    return {
        node: node,
        title: title,
        className: look.className,
        size: radioLabelSize(title, look.age, stale)
    };
}

// From the texts and the label's style sheet (two 13-pixel lines of 11-pixel
// type, at most 220 pixels wide, in a frame of 6 pixels a side across and 2
// down), worked out without laying the page out.
var labelMeasure = null;
function radioLabelSize(title, age, stale) {
    var family = "\"DejaVu Sans\", Arial, Helvetica, sans-serif";
    labelMeasure = labelMeasure || document.createElement("canvas").getContext("2d");
    labelMeasure.font = "bold 11px " + family;
    var width = labelMeasure.measureText(title).width;
    labelMeasure.font = (stale ? "italic " : "") + "11px " + family;
    width = Math.max(width, labelMeasure.measureText(age).width);
    return { width: Math.min(Math.ceil(width), 220) + 12, height: 30 };
}

// Where a label's top-left corner goes from the pin's tip: two 13-pixel
// lines and their frame are 30 pixels tall, centred 20 above the tip; right
// of the pin, or left of it by the label's width. The pin spans 15 pixels
// left of the tip and 17 right.
var LABEL_SIDES = [
    function () { return L.point(24, -35); },
    function (size) { return L.point(-22 - size.width, -35); }
];

// Placed by its top-left corner: Leaflet's own tooltips read their size at
// every placement. It goes at once with its pin, where a tooltip would linger
// fading for a fifth of a second; changing sides it only moves.
var RadioLabel = null;
function showRadioLabel(marker, side) {
    RadioLabel = RadioLabel || L.Tooltip.extend({
        _setPosition: function (pos) {
            L.DomUtil.setPosition(this._container, pos.add(this.options.offset).round());
        },
        onRemove: function (map) {
            L.Tooltip.prototype.onRemove.call(this, map);
            clearTimeout(this._removeTimeout);
            L.DomUtil.remove(this._container);
        }
    });
    var label = marker.radioLabel_;
    var tooltip = marker.getTooltip();
    var offset = LABEL_SIDES[side](label.size);
    marker.radioLabelSide_ = side;
    if (tooltip && tooltip.isOpen() && tooltip.getContent() === label.node) {
        tooltip.options.offset = offset;
        tooltip.update();
        return;
    }
    hideRadioLabel(marker);
    marker.bindTooltip(new RadioLabel({
        permanent: true,
        offset: offset,
        opacity: 1,
        interactive: false,
        className: label.className
    }).setContent(label.node));
}

// Its element goes with it, whatever state Leaflet left the tooltip in.
function hideRadioLabel(marker) {
    var tooltip = marker.getTooltip();
    marker.unbindTooltip();
    if (tooltip && tooltip.getElement())
        L.DomUtil.remove(tooltip.getElement());
}

function screenRectangle(corner, size) {
    return { left: corner.x, top: corner.y, right: corner.x + size.x, bottom: corner.y + size.y };
}

// A marker's pin and its label on either side, with the pin's tip at a point.
function pinRectangle(marker, tip) {
    var icon = marker.options.icon.options;
    return screenRectangle(tip.subtract(L.point(icon.iconAnchor)), L.point(icon.iconSize));
}
function labelRectangle(marker, tip, side) {
    var size = marker.radioLabel_.size;
    return screenRectangle(tip.add(LABEL_SIDES[side](size)), L.point(size.width, size.height));
}

// The side each labelled marker's label takes with the pins' tips at the
// given points, or -1 where it gives way. A radio ticked in two projects has
// two markers on one spot: one label.
function labelSides(labelled, tips) {
    var seen = {};
    var places = labelled.map(function (marker, i) {
        var key = marker.radioLabel_.title + "@" + Math.round(tips[i].x) + "," + Math.round(tips[i].y);
        var twin = seen[key];
        seen[key] = true;
        return twin ? [] : LABEL_SIDES.map(function (side, at) { return labelRectangle(marker, tips[i], at); });
    });
    return labelPlaces(places, labelled.map(function (marker, i) { return pinRectangle(marker, tips[i]); }));
}

// Where the markers' pins and the labels that show would be at a zoom level,
// in pixels of that level. Labels are placed in the order of their markers'
// ids, as the map lists its layers.
function markerRectanglesAt(leafletMap, markers, zoom) {
    var ordered = markers.slice().sort(function (a, b) { return L.stamp(a) - L.stamp(b); });
    var tips = ordered.map(function (marker) { return leafletMap.project(marker.getLatLng(), zoom); });
    var rectangles = ordered.map(function (marker, i) { return pinRectangle(marker, tips[i]); });
    var labelled = [];
    var labelTips = [];
    ordered.forEach(function (marker, i) {
        if (marker.radioLabel_) {
            labelled.push(marker);
            labelTips.push(tips[i]);
        }
    });
    labelSides(labelled, labelTips).forEach(function (side, i) {
        if (side >= 0)
            rectangles.push(labelRectangle(labelled[i], labelTips[i], side));
    });
    return rectangles;
}

// Checks the labels of the markers on the map itself (not those inside a
// cluster) when the view changes or markers come and go, once the commands of
// a run are all done and before the page is drawn; returns the function that
// asks for that check. Nothing is read from the page: pins and labels are
// where their markers put them, at the sizes worked out for them.
function declutterLabels(leafletMap) {
    var pending = false;
    function run() {
        pending = false;
        var labelled = [];
        leafletMap.eachLayer(function (layer) {
            if (layer instanceof L.Marker && layer.radioLabel_)
                labelled.push(layer);
        });
        var tips = labelled.map(function (marker) {
            return leafletMap.latLngToContainerPoint(marker.getLatLng());
        });
        labelSides(labelled, tips).forEach(function (side, index) {
            var marker = labelled[index];
            if (side < 0)
                hideRadioLabel(marker);
            else if (!marker.getTooltip() || marker.radioLabelSide_ !== side)
                showRadioLabel(marker, side);
        });
    }
    function schedule() {
        if (!pending) {
            pending = true;
            Promise.resolve().then(run);
        }
    }
    leafletMap.on("zoomend moveend layeradd layerremove", schedule);
    return schedule;
}

// The deepest zoom level from maxZoom up to minZoom at which everything
// rectanglesAt(zoom) gives (in pixels of that level) fits in a map of the
// given size, a margin left free all round, and the point to centre on
// there. At minZoom it is that level, fitting or not.
function fittedView(rectanglesAt, size, margin, minZoom, maxZoom) {
    var zoom = Math.max(minZoom, Math.floor(maxZoom));
    for (;;) {
        var box = rectanglesAt(zoom).reduce(function (sum, r) {
            return {
                left: Math.min(sum.left, r.left), top: Math.min(sum.top, r.top),
                right: Math.max(sum.right, r.right), bottom: Math.max(sum.bottom, r.bottom)
            };
        });
        var fits = box.right - box.left <= size.x - 2 * margin && box.bottom - box.top <= size.y - 2 * margin;
        if (fits || zoom <= minZoom)
            return { zoom: zoom, centre: { x: (box.left + box.right) / 2, y: (box.top + box.bottom) / 2 } };
        zoom--;
    }
}
