// Street maps from the open map files (G_MAP_FILES), over the world map and
// under everything drawn on it. Raster files are image tiles; vector files
// of the OpenMapTiles schema are drawn on a canvas with the style below.

// Road classes, widest first: fill, casing and width in pixels at level 16.
var ROAD_STYLES = {
    motorway: { fill: "#e892a2", casing: "#b5566a", width: 10 },
    trunk: { fill: "#f9b29c", casing: "#c0745c", width: 9 },
    primary: { fill: "#fcd68a", casing: "#b88a3c", width: 8 },
    secondary: { fill: "#f7fabf", casing: "#a3a56e", width: 7 },
    tertiary: { fill: "#ffffff", casing: "#a89e8c", width: 6 },
    minor: { fill: "#ffffff", casing: "#b8ae9c", width: 5 },
    service: { fill: "#ffffff", casing: "#c4bcae", width: 3 }
};

var MAP_COLOURS = {
    water: "#aad3df",
    park: "#c8facc",
    wood: "#add19e",
    residential: "#e8e3da",
    industrial: "#ebdbe8",
    building: "#d9d0c9",
    buildingEdge: "#c4b6ab",
    path: "#a0877a",
    rail: "#8d8d8d",
    label: "#2b2b2b",
    halo: "#ffffff"
};

// Files made with the common OpenMapTiles configuration may carry only the
// Latin-script name.
var LABEL_PROPS = ["name", "name:latin", "name_en"];

// Widths grow with the zoom level, so that streets keep their share of the
// view when the map is enlarged beyond the file's deepest level.
function roadWidth(widthAt16, zoom) {
    return Math.max(0.5, widthAt16 * Math.pow(2, (zoom - 16) * 0.8));
}

function roadStyle(props) {
    return ROAD_STYLES[props["class"]] || null;
}

function classIs(classes) {
    return function (zoom, feature) { return classes.indexOf(feature.props["class"]) >= 0; };
}

function vectorPaintRules() {
    var P = window.protomapsL;
    var rules = [
        { dataLayer: "landuse", symbolizer: new P.PolygonSymbolizer({ fill: MAP_COLOURS.residential }),
            filter: classIs(["residential", "suburb", "neighbourhood", "commercial", "retail"]) },
        { dataLayer: "landuse", symbolizer: new P.PolygonSymbolizer({ fill: MAP_COLOURS.industrial }),
            filter: classIs(["industrial", "railway"]) },
        { dataLayer: "landcover", symbolizer: new P.PolygonSymbolizer({ fill: MAP_COLOURS.wood }),
            filter: classIs(["wood", "forest"]) },
        { dataLayer: "landcover", symbolizer: new P.PolygonSymbolizer({ fill: MAP_COLOURS.park }),
            filter: classIs(["grass", "farmland", "wetland"]) },
        { dataLayer: "park", symbolizer: new P.PolygonSymbolizer({ fill: MAP_COLOURS.park }) },
        { dataLayer: "water", symbolizer: new P.PolygonSymbolizer({ fill: MAP_COLOURS.water }) },
        { dataLayer: "waterway", symbolizer: new P.LineSymbolizer({
            color: MAP_COLOURS.water, width: function (z) { return roadWidth(3, z); } }) },
        { dataLayer: "building", minzoom: 14, symbolizer: new P.PolygonSymbolizer({
            fill: MAP_COLOURS.building, stroke: MAP_COLOURS.buildingEdge, width: 0.6 }) },
        { dataLayer: "transportation", symbolizer: new P.LineSymbolizer({
            color: MAP_COLOURS.path, dash: [2, 2], width: function (z) { return roadWidth(1.5, z); } }),
            filter: classIs(["path", "track"]) },
        { dataLayer: "transportation", symbolizer: new P.LineSymbolizer({
            color: MAP_COLOURS.rail, dash: [6, 3], width: function (z) { return roadWidth(2, z); } }),
            filter: classIs(["rail", "transit"]) }
    ];
    // All casings before all fills, so that crossing streets join cleanly.
    var classes = Object.keys(ROAD_STYLES).reverse();
    ["casing", "fill"].forEach(function (part) {
        classes.forEach(function (name) {
            var style = ROAD_STYLES[name];
            var extra = part === "casing" ? 2 : 0;
            rules.push({
                dataLayer: "transportation",
                filter: classIs([name]),
                symbolizer: new P.LineSymbolizer({
                    color: style[part],
                    lineCap: "round",
                    lineJoin: "round",
                    width: function (z) { return roadWidth(style.width, z) + extra; }
                })
            });
        });
    });
    return rules;
}

function vectorLabelRules() {
    var P = window.protomapsL;
    return [
        { dataLayer: "place", symbolizer: new P.CenteredTextSymbolizer({
            labelProps: LABEL_PROPS, fill: MAP_COLOURS.label, stroke: MAP_COLOURS.halo, width: 3,
            font: function (z, f) {
                return (f && ["city", "town"].indexOf(f.props["class"]) >= 0 ? "700 16px" : "600 13px") +
                    " sans-serif";
            } }) },
        { dataLayer: "transportation_name", minzoom: 13, symbolizer: new P.LineLabelSymbolizer({
            labelProps: LABEL_PROPS, fill: MAP_COLOURS.label, stroke: MAP_COLOURS.halo, width: 3,
            font: "600 13px sans-serif" }) },
        { dataLayer: "water_name", symbolizer: new P.CenteredTextSymbolizer({
            labelProps: LABEL_PROPS, fill: "#3f6f8c", stroke: MAP_COLOURS.halo, width: 2,
            font: "italic 400 12px sans-serif" }) }
    ];
}

// The renderer fetches its tiles, but the browser's fetch takes no custom
// scheme; XMLHttpRequest does, so requests for the program's own scheme go
// through it.
function schemeFetch(url, init) {
    return new Promise(function (resolve, reject) {
        var request = new XMLHttpRequest();
        var signal = init && init.signal;
        request.open("GET", url);
        request.responseType = "arraybuffer";
        request.onload = function () { resolve(new Response(request.response, { status: 200 })); };
        request.onerror = function () { reject(new TypeError("Failed to load " + url)); };
        request.onabort = function () { reject(new DOMException("Aborted", "AbortError")); };
        if (signal)
            signal.addEventListener("abort", function () { request.abort(); });
        request.send();
    });
}

function routeSchemeFetches(tileUrl) {
    var protocol = tileUrl.slice(0, tileUrl.indexOf(":") + 1);
    var browserFetch = window.fetch;
    if (browserFetch.routedProtocol === protocol)
        return;
    var routed = function (resource, init) {
        if (typeof resource === "string" && resource.indexOf(protocol) === 0)
            return schemeFetch(resource, init);
        return browserFetch.call(window, resource, init);
    };
    routed.routedProtocol = protocol;
    window.fetch = routed;
}

function addMapFileLayer(map, file) {
    if (!map.getPane("mapfiles"))
        map.createPane("mapfiles").style.zIndex = 160;
    // The file's credit goes to our own credit line; the renderer's default
    // one is turned off.
    var options = {
        pane: "mapfiles",
        maxZoom: map.getMaxZoom(),
        attribution: ""
    };
    addCredit(map, file.attribution);
    if (file.vector) {
        routeSchemeFetches(file.url);
        options.url = file.url;
        options.maxDataZoom = file.maxZoom;
        // A file's level-z tile covers the map's level-z tile, as raster files do.
        options.levelDiff = 0;
        options.paintRules = vectorPaintRules();
        options.labelRules = vectorLabelRules();
        return window.protomapsL.leafletLayer(options).addTo(map);
    }
    options.maxNativeZoom = file.maxZoom;
    return L.tileLayer(file.url, options).addTo(map);
}

function addMapFiles(map) {
    (window.G_MAP_FILES || []).forEach(function (file) { addMapFileLayer(map, file); });
}
