"use strict";

const assert = require("node:assert/strict");
const { describe, test } = require("node:test");
const { loadLayer, plain } = require("./loadLayer.js");

const { continuousRing } = loadLayer("areas.js");

describe("continuousRing", () => {
    test("each longitude the short way round from the one before", () => {
        const cases = [
            ["away from the meridian", [[0, 10], [0, 11], [1, 11]], [[0, 10], [0, 11], [1, 11]]],
            ["across it eastwards", [[0, 179], [0, -179], [1, -179], [1, 179]],
                [[0, 179], [0, 181], [1, 181], [1, 179]]],
            ["across it westwards", [[0, -179], [0, 179], [1, 179]], [[0, -179], [0, -181], [1, -181]]],
            ["already past 180", [[0, 179], [0, 181], [1, 181]], [[0, 179], [0, 181], [1, 181]]],
            ["none", [], []]
        ];
        for (const [name, ring, expected] of cases)
            assert.deepEqual(plain(continuousRing(ring)), expected, name);
    });
});
