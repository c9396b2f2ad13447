// Runs map API layer modules in a fresh context the way the page's joined
// script does (strict, in order), but without Leaflet: no module touches it
// until a map is made, and the names a module defines at its top level are
// properties of the context.
"use strict";

const fs = require("node:fs");
const path = require("node:path");
const vm = require("node:vm");

function loadLayer(...modules) {
    const context = vm.createContext({ setTimeout, clearTimeout });
    context.window = context;
    for (const name of modules) {
        const file = path.join(__dirname, "..", "layer", name);
        vm.runInContext("\"use strict\";" + fs.readFileSync(file, "utf8"), context, { filename: file });
    }
    return context;
}

// A value from the context as a plain one of this realm, to compare.
function plain(value) {
    return JSON.parse(JSON.stringify(value));
}

module.exports = { loadLayer, plain };
