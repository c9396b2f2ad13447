// The offline world map under everything: land, borders and a graticule
// from the world atlas (G_WORLD_ATLAS), and the configured tile layer
// (G_MAP_TILES) over them with its credit line.

var baseMapData = null;

// The atlas is in spherical coordinates: a ring that crosses the 180th
// meridian jumps by 360 degrees, which a flat map would draw as a band
// around the world. Such rings are made continuous (the copies of the
// world either side show the part beyond 180), and a ring that goes
// round a pole is closed over that pole.
function unwrappedRing(ring) {
    var out = [ring[0]];
    var shift = 0;
    for (var i = 1; i < ring.length; i++) {
        var step = ring[i][0] - ring[i - 1][0];
        if (step > 180)
            shift -= 360;
        else if (step < -180)
            shift += 360;
        out.push([ring[i][0] + shift, ring[i][1]]);
    }
    if (shift !== 0) {
        var pole = ring[0][1] < 0 ? -90 : 90;
        out.push([out[out.length - 1][0], pole], [ring[0][0], pole], ring[0]);
    }
    return out;
}

function isPoleCap(ring) {
    return ring.every(function (point) { return Math.abs(point[1]) > 89.9; });
}

function flatPolygons(polygons) {
    return polygons.map(function (polygon) {
        return polygon.filter(function (ring) { return !isPoleCap(ring); }).map(unwrappedRing);
    }).filter(function (polygon) { return polygon.length > 0; });
}

// Border lines are cut where they cross the 180th meridian.
function flatLines(lines) {
    var out = [];
    lines.forEach(function (line) {
        var piece = [line[0]];
        for (var i = 1; i < line.length; i++) {
            if (Math.abs(line[i][0] - line[i - 1][0]) > 180) {
                out.push(piece);
                piece = [];
            }
            piece.push(line[i]);
        }
        out.push(piece);
    });
    return out.filter(function (piece) { return piece.length > 1; });
}

function geometries(geoJson) {
    if (geoJson.type === "FeatureCollection")
        return geoJson.features.map(function (feature) { return feature.geometry; });
    return [geoJson.type === "Feature" ? geoJson.geometry : geoJson];
}

function worldFeatures() {
    if (!baseMapData) {
        var atlas = window.G_WORLD_ATLAS;
        var topojson = window.topojson;
        var polygons = [];
        geometries(topojson.feature(atlas, atlas.objects.land)).forEach(function (g) {
            polygons = polygons.concat(g.type === "Polygon" ? [g.coordinates] : g.coordinates);
        });
        var borders = topojson.mesh(atlas, atlas.objects.countries, function (a, b) { return a !== b; });
        baseMapData = {
            land: { type: "MultiPolygon", coordinates: flatPolygons(polygons) },
            borders: { type: "MultiLineString", coordinates: flatLines(borders.coordinates) },
            graticule: graticule()
        };
    }
    return baseMapData;
}

function graticule() {
    var lines = [];
    var lat, lng, line;
    for (lng = -180; lng <= 180; lng += 10) {
        line = [];
        for (lat = -80; lat <= 80; lat += 5)
            line.push([lng, lat]);
        lines.push(line);
    }
    for (lat = -80; lat <= 80; lat += 10) {
        line = [];
        for (lng = -180; lng <= 180; lng += 5)
            line.push([lng, lat]);
        lines.push(line);
    }
    return { type: "MultiLineString", coordinates: lines };
}

// The world is drawn three times side by side, so that a wide window at
// a low zoom level shows no empty band.
function addBaseMap(map) {
    map.createPane("basemap").style.zIndex = 150;
    var renderer = L.canvas({ pane: "basemap", padding: 0.2 });
    var data = worldFeatures();
    [-360, 0, 360].forEach(function (shift) {
        var options = function (style) {
            return {
                renderer: renderer,
                interactive: false,
                style: style,
                coordsToLatLng: function (c) { return L.latLng(c[1], c[0] + shift); }
            };
        };
        L.geoJSON(data.graticule, options({ color: "#8fb8c8", weight: 0.6, opacity: 0.8 })).addTo(map);
        L.geoJSON(data.land, options({
            color: "#7f9fae", weight: 0.8, fillColor: "#f2efe4", fillOpacity: 1
        })).addTo(map);
        L.geoJSON(data.borders, options({ color: "#9c84a8", weight: 0.9, dashArray: "4 3" })).addTo(map);
    });
    // Tile servers commonly stop at level 19; deeper, the map shows their
    // level-19 tiles enlarged, as far as the map itself goes.
    var tiles = window.G_MAP_TILES;
    if (tiles && tiles.url) {
        L.tileLayer(tiles.url, {
            maxZoom: map.getMaxZoom(),
            maxNativeZoom: 19
        }).addTo(map);
        addCredit(map, tiles.attribution);
    }
}
