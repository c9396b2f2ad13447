// The user's areas on a layer of their own under the markers: clearing the
// map leaves them, and they come and go only with the area list. Each shows
// its name as plain text.

// A GeoJSON ring's [lng, lat] positions as [lat, lng] with each longitude
// the short way round from the one before, so that a ring across the 180th
// meridian is drawn across it and not round the world.
function continuousRing(ring) {
    var points = [];
    ring.forEach(function (position) {
        var lng = position[0];
        if (points.length > 0) {
            var previous = points[points.length - 1][1];
            lng = previous + ((((lng - previous) % 360) + 540) % 360) - 180;
        }
        points.push([position[1], lng]);
    });
    return points;
}

// areas: a GeoJSON FeatureCollection as the areas file holds it, of Polygon
// features and of circles, Point features with a "radius" in metres.
// Replaces the areas shown before.
function showAreas(leafletMap, layer, areas) {
    if (!layer) {
        layer = L.layerGroup();
        layer.addTo(leafletMap);
    }
    layer.clearLayers();
    var style = { className: "gmap-area", color: "#7a2ea8", weight: 2, fillOpacity: 0.12, interactive: false };
    areas.features.forEach(function (feature) {
        var geometry = feature.geometry;
        var properties = feature.properties;
        var shape = geometry.type === "Polygon" ? L.polygon(geometry.coordinates.map(continuousRing), style) :
            L.circle(L.GeoJSON.coordsToLatLng(geometry.coordinates),
                Object.assign({ radius: properties.radius }, style));
        var name = document.createElement("span");
        name.textContent = String(properties.name);
        shape.bindTooltip(name, { permanent: true, direction: "center", className: "gmap-area-name" });
        layer.addLayer(shape);
    });
    return layer;
}
