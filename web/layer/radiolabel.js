// Radio labels: a permanent label right of a pin, the radio's title over the
// age of its report. Labels that would cover another label or another
// radio's pin give way, and come back once zooming or moving makes room; a
// label that gives way is not on the page at all, so that hundreds of
// crowded radios cost only the labels that show.

// Rectangles are {left, top, right, bottom} in screen pixels. Labels are taken
// in order, an earlier one keeping its place; a label is hidden when it
// overlaps a label already kept or any pin but its own (labels[i] belongs to
// pins[i]). Returns one flag per label: true to hide it.
function labelsToHide(labels, pins) {
    function overlaps(a, b) {
        return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
    }
    var kept = [];
    return labels.map(function (label, index) {
        var covered = kept.some(function (other) { return overlaps(label, other); }) ||
            pins.some(function (pin, owner) { return owner !== index && overlaps(label, pin); });
        if (!covered)
            kept.push(label);
        return covered;
    });
}

// The label's texts as text (names never become markup), greyed when the
// report is stale, and the size it takes on the screen.
function radioLabelContent(title, age, stale) {
    var node = document.createElement("div");
    var titleLine = document.createElement("div");
    titleLine.className = "gmap-radio-title";
    titleLine.textContent = title;
    var ageLine = document.createElement("div");
    ageLine.className = "gmap-radio-age";
    ageLine.textContent = age;
    node.appendChild(titleLine);
    node.appendChild(ageLine);
    return {
        node: node,
        className: stale ? "gmap-radio-label gmap-radio-stale" : "gmap-radio-label",
        size: radioLabelSize(title, age, stale)
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

// Two 13-pixel lines and their frame: 30 pixels tall, centred 20 above the
// pin's tip, 6 pixels right of the offset (the tooltip's own margin).
var LABEL_OFFSET = [18, -35];
var LABEL_MARGIN = 6;

// Placed by its top-left corner: Leaflet's own tooltips read their size at
// every placement. It goes at once with its pin, where a tooltip would linger
// fading for a fifth of a second.
var RadioLabel = null;
function showRadioLabel(marker) {
    RadioLabel = RadioLabel || L.Tooltip.extend({
        _setPosition: function (pos) {
            L.DomUtil.addClass(this._container, "leaflet-tooltip-right");
            L.DomUtil.setPosition(this._container, pos.add(L.point(this.options.offset)).round());
        },
        onRemove: function (map) {
            L.Tooltip.prototype.onRemove.call(this, map);
            clearTimeout(this._removeTimeout);
            L.DomUtil.remove(this._container);
        }
    });
    var label = marker.radioLabel_;
    marker.unbindTooltip();
    marker.bindTooltip(new RadioLabel({
        permanent: true,
        offset: LABEL_OFFSET,
        opacity: 1,
        interactive: false,
        className: label.className
    }).setContent(label.node));
}

// Checks the labels of the markers on the map itself (not those inside a
// cluster) when the view changes or markers come and go, once the commands of
// a run are all done and before the page is drawn; returns the function that
// asks for that check. Nothing is read from the page: pins and labels are
// where their markers put them, at the sizes worked out for them.
function declutterLabels(leafletMap) {
    var pending = false;
    function placed(marker) {
        var point = leafletMap.latLngToContainerPoint(marker.getLatLng());
        var icon = marker.options.icon.options;
        var size = L.point(icon.iconSize);
        var pin = point.subtract(L.point(icon.iconAnchor));
        var label = point.add(L.point(LABEL_OFFSET)).add([LABEL_MARGIN, 0]);
        var labelSize = marker.radioLabel_.size;
        return {
            pin: { left: pin.x, top: pin.y, right: pin.x + size.x, bottom: pin.y + size.y },
            label: { left: label.x, top: label.y, right: label.x + labelSize.width, bottom: label.y + labelSize.height }
        };
    }
    function run() {
        pending = false;
        var labelled = [];
        leafletMap.eachLayer(function (layer) {
            if (layer instanceof L.Marker && layer.radioLabel_)
                labelled.push(layer);
        });
        var places = labelled.map(placed);
        var hide = labelsToHide(places.map(function (place) { return place.label; }),
                                places.map(function (place) { return place.pin; }));
        labelled.forEach(function (marker, index) {
            if (hide[index])
                marker.unbindTooltip();
            else if (!marker.getTooltip())
                showRadioLabel(marker);
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
