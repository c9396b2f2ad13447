// The user's areas on a layer of their own under the markers: clearing the
// map leaves them, and they come and go only with the area list. Each shows
// its name as plain text.

// A ring's points as [lat, lng] with each longitude the short way round from
// the one before, so that a ring across the 180th meridian is drawn across
// it and not round the world.
function continuousRing(ring) {
    var points = [];
    ring.forEach(function (point) {
        var lng = point[1];
        if (points.length > 0) {
            var previous = points[points.length - 1][1];
            lng = previous + ((((lng - previous) % 360) + 540) % 360) - 180;
        }
        points.push([point[0], lng]);
    });
    return points;
}

// areas: [{name, rings: [[[lat, lng], ...], ...]} or {name, centre: [lat, lng], radius}]
// with the radius in metres. Replaces the areas shown before.
function showAreas(leafletMap, layer, areas) {
    if (!layer) {
        layer = L.layerGroup();
        layer.addTo(leafletMap);
    }
    layer.clearLayers();
    var style = { className: "gmap-area", color: "#7a2ea8", weight: 2, fillOpacity: 0.12, interactive: false };
    areas.forEach(function (area) {
        var shape = area.rings ? L.polygon(area.rings.map(continuousRing), style) :
            L.circle(area.centre, Object.assign({ radius: area.radius }, style));
        var name = document.createElement("span");
        name.textContent = String(area.name);
        shape.bindTooltip(name, { permanent: true, direction: "center", className: "gmap-area-name" });
        layer.addLayer(shape);
    });
    return layer;
}
