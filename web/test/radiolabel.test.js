"use strict";

const assert = require("node:assert/strict");
const { describe, test } = require("node:test");
const { loadLayer, plain } = require("./loadLayer.js");

const { labelPlaces, fittedView, radioLabelLook } = loadLayer("radiolabel.js");

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

describe("fittedView", () => {
    // Two pins 100 pixels apart at level 10, twice as far a level deeper; a
    // label of 150 pixels goes left of the western pin up to level 11, right
    // of it deeper: its side changes with the level.
    function crowd(zoom) {
        const scale = 2 ** (zoom - 10);
        const west = 1000 * scale;
        const east = west + 100 * scale;
        const label = zoom <= 11 ? box(west - 172, -35, 150, 30) : box(west + 24, -35, 150, 30);
        return [box(west - 15, -32, 32, 32), box(east - 15, -32, 32, 32), label];
    }

    test("the deepest level at which pins and labels fit inside the margin", () => {
        const cases = [
            // [name, map size, margin, min, max, expected level]
            ["wide map: as deep as allowed", { x: 2000, y: 500 }, 0, 0, 14, 14],
            ["content 389 wide at level 11 fits 400", { x: 400, y: 300 }, 0, 0, 18, 11],
            ["the margin takes 20 of them", { x: 400, y: 300 }, 10, 0, 18, 10],
            ["too narrow even at the least level", { x: 100, y: 300 }, 0, 9, 18, 9],
            ["a maximum under the minimum", { x: 400, y: 300 }, 0, 3, 1, 3],
            ["a fractional maximum counts down", { x: 2000, y: 500 }, 0, 0, 12.7, 12]
        ];
        for (const [name, size, margin, min, max, expected] of cases)
            assert.equal(fittedView(crowd, size, margin, min, max).zoom, expected, name);
    });

    test("centres on everything the view holds, labels included", () => {
        const view = plain(fittedView(crowd, { x: 400, y: 300 }, 0, 0, 18));
        // Level 11: from the label's left at 1828 to the eastern pin's right at
        // 2217, from the label's top at -35 to the tips at 0.
        assert.deepEqual(view, { zoom: 11, centre: { x: (1828 + 2217) / 2, y: -17.5 } });
    });
});

describe("radioLabelLook", () => {
    test("an alert not yet acknowledged starts the age line and edges the label", () => {
        const cases = [
            // [name, stale, alerted, age line, classes]
            ["plain", false, false, "3 min", "gmap-radio-label"],
            ["stale", true, false, "stale · 30 min", "gmap-radio-label gmap-radio-stale"],
            ["alerted", false, true, "alert · 3 min", "gmap-radio-label gmap-radio-alert"],
            ["stale and alerted", true, true, "alert · stale · 30 min",
                "gmap-radio-label gmap-radio-stale gmap-radio-alert"]
        ];
        for (const [name, stale, alerted, age, className] of cases) {
            const look = radioLabelLook(stale ? "stale · 30 min" : "3 min", stale, alerted);
            assert.deepEqual(plain(look), { age, className }, name);
        }
    });
});
