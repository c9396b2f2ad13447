// Marker labels that would cover another label or a pin are hidden, so that
// crowded radios stay readable at any zoom; they show again once there is room.

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

// The labels of the markers on the map's own pane (not those inside a
// cluster) are checked again when the view or a label changes: once per
// frame at most, after the markers of a run are all placed.
function declutterLabels(leafletMap) {
    var pending = false;
    function run() {
        pending = false;
        var labelled = [];
        leafletMap.eachLayer(function (layer) {
            var tooltip = layer instanceof L.Marker && layer.getTooltip && layer.getTooltip();
            if (tooltip && tooltip.getElement() && layer.getElement())
                labelled.push({ label: tooltip.getElement(), pin: layer.getElement() });
        });
        labelled.forEach(function (entry) { entry.label.classList.remove("gmap-label-hidden"); });
        var hide = labelsToHide(labelled.map(function (entry) { return entry.label.getBoundingClientRect(); }),
                                labelled.map(function (entry) { return entry.pin.getBoundingClientRect(); }));
        labelled.forEach(function (entry, index) {
            entry.label.classList.toggle("gmap-label-hidden", hide[index]);
        });
    }
    function schedule() {
        if (!pending) {
            pending = true;
            setTimeout(run, 0);
        }
    }
    leafletMap.on("zoomend moveend layeradd", schedule);
    return schedule;
}
