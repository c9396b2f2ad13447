"use strict";

const assert = require("node:assert/strict");
const { describe, test } = require("node:test");
const { loadLayer, plain } = require("./loadLayer.js");

const { continuousRing } = loadLayer("areas.js");

describe("continuousRing", () => {
    test("[lng, lat] positions to [lat, lng], each longitude the short way round", () => {
        const cases = [
            ["away from the meridian", [[10, 0], [11, 0], [11, 1]], [[0, 10], [0, 11], [1, 11]]],
            ["across it eastwards", [[179, 0], [-179, 0], [-179, 1], [179, 1]],
                [[0, 179], [0, 181], [1, 181], [1, 179]]],
            ["across it westwards", [[-179, 0], [179, 0], [179, 1]], [[0, -179], [0, -181], [1, -181]]],
            ["already past 180", [[179, 0], [181, 0], [181, 1]], [[0, 179], [0, 181], [1, 181]]],
            ["none", [], []]
        ];
        for (const [name, ring, expected] of cases)
            assert.deepEqual(plain(continuousRing(ring)), expected, name);
    });
});
