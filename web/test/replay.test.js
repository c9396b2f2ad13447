"use strict";

const assert = require("node:assert/strict");
const { describe, test } = require("node:test");
const { loadLayer, plain } = require("./loadLayer.js");

const { trailBands, trailOpacity } = loadLayer("replay.js");

function point(lat, age) {
    return { lat: lat, lng: 10, age: age };
}

describe("trailBands", () => {
    test("puts each segment in the band of its older end, joined across bands", () => {
        const cases = [
            // [name, points, span, bands, expected runs as latitudes]
            ["one band each", [point(1, 9), point(2, 5), point(3, 1), point(4, 0)], 10, 2,
                [[3, 4], [1, 2, 3]]],
            ["all in the newest band", [point(1, 1.5), point(2, 1), point(3, 0)], 10, 5,
                [[1, 2, 3], [], [], [], []]],
            ["ages past the span in the oldest", [point(1, 30), point(2, 12), point(3, 0)], 10, 2,
                [[], [1, 2, 3]]],
            ["equal times stay one run", [point(1, 4), point(2, 4), point(3, 4)], 10, 2,
                [[1, 2, 3], []]],
            ["a single report draws nothing", [point(1, 0)], 10, 3, [[], [], []]],
            ["no reports", [], 10, 2, [[], []]]
        ];
        for (const [name, points, span, bands, expected] of cases) {
            const runs = plain(trailBands(points, span, bands));
            assert.deepEqual(runs.map((run) => run.map((p) => p[0])), expected, name);
            assert.ok(runs.every((run) => run.every((p) => p[1] === 10)), name);
        }
    });
});

describe("trailOpacity", () => {
    test("fades from the newest band to the oldest, never invisible", () => {
        const opacities = [0, 1, 2, 3, 4].map((band) => trailOpacity(band, 5));
        for (let i = 1; i < opacities.length; i++)
            assert.ok(opacities[i] < opacities[i - 1], JSON.stringify(opacities));
        assert.ok(opacities[4] > 0 && opacities[0] <= 1);
    });
});
