// The page's scripts are plain browser scripts that share globals. The map
// API layer's modules share one scope besides (the program joins them in
// layer/modules.txt's order), so the names one module takes from another
// are declared here too.
"use strict";

const js = require("@eslint/js");
const globals = require("globals");

// What the layer gives the page: each module sets its own on window.
const layerApi = [
    "GEvent", "GLatLng", "GPoint", "GSize", "GIcon", "G_DEFAULT_ICON", "GMarker", "GPolyline",
    "GPolygon", "GLargeMapControl3D", "GLargeMapControl", "GSmallMapControl", "GSmallZoomControl",
    "GScaleControl", "GMap2", "GClientGeocoder", "GUnload", "GBrowserIsCompatible", "GRouteMarks",
    "GReplayTrail"
];

// The helpers one layer module takes from another.
const layerShared = [
    "EARTH_RADIUS", "toRadians", "toLeaflet", "fromLeaflet", "addBaseMap", "addMapFiles",
    "addMapFileLayer", "addCredit", "declutterLabels", "fittedView", "markerRectanglesAt",
    "radioLabelContent", "showRadioLabel", "showAreas"
];

function readonly(names) {
    return Object.fromEntries(names.map((name) => [name, "readonly"]));
}

module.exports = [
    { ignores: ["node_modules/"] },
    js.configs.recommended,
    {
        files: ["**/*.js"],
        ignores: ["eslint.config.js", "test/**"],
        languageOptions: { sourceType: "script", globals: globals.browser },
        rules: {
            // Top-level names are for the scripts that come after.
            "no-unused-vars": ["error", { vars: "local" }]
        }
    },
    {
        files: ["layer/**/*.js"],
        languageOptions: {
            globals: { L: "readonly", ...readonly(layerApi), ...readonly(layerShared) }
        },
        rules: { "no-redeclare": ["error", { builtinGlobals: false }] }
    },
    {
        files: ["TGoogleMap.js"],
        languageOptions: { globals: readonly(layerApi) }
    },
    {
        files: ["externalshim.js"],
        languageOptions: { globals: { qt: "readonly", QWebChannel: "readonly" } }
    },
    {
        files: ["eslint.config.js", "test/**/*.js"],
        languageOptions: { sourceType: "commonjs", globals: globals.node }
    }
];
