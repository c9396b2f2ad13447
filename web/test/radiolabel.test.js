"use strict";

const assert = require("node:assert/strict");
const { describe, test } = require("node:test");
const { loadLayer, plain } = require("./loadLayer.js");

const { labelPlaces } = loadLayer("radiolabel.js");

function box(left, top, width, height) {
    return { left, top, right: left + width, bottom: top + height };
}

// A pin 32 wide at x, and its label's places right and left of it.
function pin(x) {
    return box(x - 15, 0, 32, 32);
}
function sides(x, width) {
    return [box(x + 24, -35 + 32, width, 30), box(x - 22 - width, -35 + 32, width, 30)];
}

describe("labelPlaces", () => {
    test("right of the pin when there is room, else left, else it gives way", () => {
        const cases = [
            // [name, pin positions, label widths, expected places]
            ["apart", [0, 300], [60, 60], [0, 0]],
            ["right would cover the next pin, left is free", [0, 70], [60, 60], [1, 0]],
            ["pins close together: left, then right", [0, 10], [60, 60], [1, 0]],
            ["the middle one has room on neither side", [0, 10, 20], [60, 60, 60], [1, -1, 0]],
            ["none", [], [], []]
        ];
        for (const [name, xs, widths, expected] of cases) {
            const places = xs.map((x, i) => sides(x, widths[i]));
            assert.deepEqual(plain(labelPlaces(places, xs.map(pin))), expected, name);
        }
    });

    test("places that only touch do not overlap", () => {
        assert.deepEqual(plain(labelPlaces([[box(0, 0, 50, 20)], [box(50, 0, 50, 20)]],
                                           [box(-40, 0, 10, 10), box(200, 0, 10, 10)])), [0, 0]);
        assert.deepEqual(plain(labelPlaces([[box(0, 0, 50, 20)], [box(49, 0, 50, 20)]],
                                           [box(-40, 0, 10, 10), box(200, 0, 10, 10)])), [0, -1]);
    });

    test("a label never gives way to its own pin", () => {
        const own = box(0, 0, 100, 100);
        assert.deepEqual(plain(labelPlaces([[box(10, 10, 50, 20)]], [own])), [0]);
        assert.deepEqual(plain(labelPlaces([[box(10, 10, 50, 20)], [box(200, 0, 10, 10)]],
                                           [box(300, 0, 10, 10), own])), [-1, 0]);
    });
});
