"use strict";

const assert = require("node:assert/strict");
const { describe, test } = require("node:test");
const { loadLayer, plain } = require("./loadLayer.js");

const { arrowPlaces, arrowHead } = loadLayer("routemarks.js");

function rounded(places) {
    return plain(places).map((p) => Object.fromEntries(
        Object.entries(p).map(([k, v]) => [k, Math.round(v * 1000) / 1000])));
}

describe("arrowPlaces", () => {
    test("spaces arrowheads along the whole line, half a spacing in", () => {
        const cases = [
            // [points, spacing, expected places]
            [[{ x: 0, y: 0 }, { x: 100, y: 0 }], 40,
                [{ x: 20, y: 0, angle: 0 }, { x: 60, y: 0, angle: 0 }]],
            [[{ x: 0, y: 0 }, { x: 30, y: 0 }, { x: 30, y: 50 }], 40,
                [{ x: 20, y: 0, angle: 0 }, { x: 30, y: 30, angle: 1.571 }]],
            [[{ x: 10, y: 10 }, { x: 0, y: 10 }], 10,
                [{ x: 5, y: 10, angle: 3.142 }]],
            [[{ x: 0, y: 0 }], 10, []],
            [[{ x: 5, y: 5 }, { x: 5, y: 5 }, { x: 5, y: 25 }], 20,
                [{ x: 5, y: 15, angle: 1.571 }]],
            [[{ x: 0, y: 0 }, { x: 10, y: 0 }], 40, []]
        ];
        for (const [points, spacing, expected] of cases)
            assert.deepEqual(rounded(arrowPlaces(points, spacing)), expected, JSON.stringify(points));
    });
});

describe("arrowHead", () => {
    test("points its tip in the direction of travel", () => {
        const [tip, left, right] = plain(arrowHead({ x: 0, y: 0, angle: 0 }, 10));
        assert.ok(tip.x > 0 && Math.abs(tip.y) < 1e-9, JSON.stringify(tip));
        assert.ok(left.x < 0 && right.x < 0);
        assert.ok(Math.abs(left.y + right.y) < 1e-9 && left.y !== 0);
        const [up] = plain(arrowHead({ x: 0, y: 0, angle: -Math.PI / 2 }, 10));
        assert.ok(up.y < 0 && Math.abs(up.x) < 1e-9, JSON.stringify(up));
    });
});
