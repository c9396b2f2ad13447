"use strict";

const assert = require("node:assert/strict");
const path = require("node:path");
const { describe, test } = require("node:test");
const { loadLayer, plain } = require("./loadLayer.js");

const layer = loadLayer("basemap.js");

// The longest step east or west, but along a pole, which the map never shows.
function largestStep(line) {
    let largest = 0;
    for (let i = 1; i < line.length; i++) {
        if (Math.abs(line[i][1]) !== 90 || line[i][1] !== line[i - 1][1])
            largest = Math.max(largest, Math.abs(line[i][0] - line[i - 1][0]));
    }
    return largest;
}

describe("atlas rings across the 180th meridian", () => {
    test("unwrappedRing makes a ring continuous", () => {
        const cases = [
            ["away from the meridian",
                [[10, 40], [20, 40], [20, 50], [10, 40]],
                [[10, 40], [20, 40], [20, 50], [10, 40]]],
            ["an island across it, eastwards",
                [[179, -16], [-179, -16], [-179, -17], [179, -17], [179, -16]],
                [[179, -16], [181, -16], [181, -17], [179, -17], [179, -16]]],
            ["an island across it, westwards",
                [[-179, 65], [179, 66], [-179, 67], [-179, 65]],
                [[-179, 65], [-181, 66], [-179, 67], [-179, 65]]],
            ["round the south pole: closed over the pole",
                [[-170, -70], [-90, -75], [0, -70], [90, -75], [170, -70], [-170, -70]],
                [[-170, -70], [-90, -75], [0, -70], [90, -75], [170, -70], [190, -70],
                    [190, -90], [-170, -90], [-170, -70]]],
            ["round the north pole: closed over the pole",
                [[170, 80], [-170, 81], [-10, 80], [90, 82], [170, 80]],
                [[170, 80], [190, 81], [350, 80], [450, 82], [530, 80],
                    [530, 90], [170, 90], [170, 80]]]
        ];
        for (const [what, ring, expected] of cases)
            assert.deepEqual(plain(layer.unwrappedRing(ring)), expected, what);
    });

    test("flatPolygons drops the rings that only trace a pole", () => {
        const cap = [[-180, -90], [0, -90], [180, -90], [-180, -90]];
        const island = [[10, 40], [20, 40], [20, 50], [10, 40]];
        assert.deepEqual(plain(layer.flatPolygons([[cap], [island, cap]])), [[island]]);
    });

    test("flatLines cuts a border where it crosses", () => {
        const lines = [[[170, 60], [179, 61], [-179, 62], [-170, 63]], [[178, 0], [-178, 1]]];
        assert.deepEqual(plain(layer.flatLines(lines)),
            [[[170, 60], [179, 61]], [[-179, 62], [-170, 63]]]);
    });

    test("no land or border of the world atlas jumps round the world", () => {
        const world = loadLayer("basemap.js");
        const modules = path.join(__dirname, "..", "node_modules");
        world.topojson = require(path.join(modules, "topojson-client"));
        world.G_WORLD_ATLAS = require(path.join(modules, "world-atlas", "countries-50m.json"));
        const features = world.worldFeatures();
        const rings = features.land.coordinates.flat();
        for (const ring of rings)
            assert.ok(largestStep(ring) <= 180, `a ring from ${ring[0]} jumps`);
        for (const line of features.borders.coordinates)
            assert.ok(largestStep(line) <= 180, `a border from ${line[0]} jumps`);
        // The atlas does have land across the meridian and round the south pole.
        assert.ok(rings.some((ring) => ring.some((point) => point[0] > 180)));
        assert.ok(rings.some((ring) => ring.some((point) => point[1] === -90)));
    });
});
