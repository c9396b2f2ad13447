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

// The labels of the markers on the map itself (not those inside a cluster)
// are checked again when the view or a label changes, once the commands of a
// run are all done and before the page is drawn. Nothing is read from the
// page: pins and labels are where their markers put them, at the sizes they
// were given, so that a hidden label is never laid out.
function declutterLabels(leafletMap) {
    var pending = false;
    function placed(marker) {
        var tooltip = marker.getTooltip();
        var point = leafletMap.latLngToContainerPoint(marker.getLatLng());
        var icon = marker.options.icon.options;
        var size = L.point(icon.iconSize);
        var pin = point.subtract(L.point(icon.iconAnchor));
        var label = point.add(L.point(tooltip.options.offset)).add([6, 0]);
        return {
            element: tooltip.getElement(),
            pin: { left: pin.x, top: pin.y, right: pin.x + size.x, bottom: pin.y + size.y },
            label: {
                left: label.x, top: label.y,
                right: label.x + tooltip.options.size.width, bottom: label.y + tooltip.options.size.height
            }
        };
    }
    function run() {
        pending = false;
        var labelled = [];
        leafletMap.eachLayer(function (layer) {
            var tooltip = layer instanceof L.Marker && layer.getTooltip();
            if (tooltip && tooltip.options.size && tooltip.isOpen())
                labelled.push(placed(layer));
        });
        var hide = labelsToHide(labelled.map(function (entry) { return entry.label; }),
                                labelled.map(function (entry) { return entry.pin; }));
        labelled.forEach(function (entry, index) {
            entry.element.classList.toggle("gmap-label-hidden", hide[index]);
        });
    }
    function schedule() {
        if (!pending) {
            pending = true;
            Promise.resolve().then(run);
        }
    }
    leafletMap.on("zoomend moveend layeradd", schedule);
}
