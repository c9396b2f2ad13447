"use strict";

const assert = require("node:assert/strict");
const { describe, test } = require("node:test");
const { loadLayer, plain } = require("./loadLayer.js");

const { labelsToHide } = loadLayer("radiolabel.js");

function box(left, top, width, height) {
    return { left, top, right: left + width, bottom: top + height };
}

describe("labelsToHide", () => {
    test("keeps the first of labels that overlap, and labels clear of them", () => {
        const cases = [
            // [name, labels, pins, expected]
            ["apart", [box(0, 0, 50, 20), box(100, 0, 50, 20)], [box(-20, 0, 16, 16), box(80, 0, 16, 16)],
                [false, false]],
            ["second over the first", [box(0, 0, 50, 20), box(30, 10, 50, 20)], [box(-20, 0, 16, 16), box(200, 0, 16, 16)],
                [false, true]],
            ["third over a hidden second only", [box(0, 0, 50, 20), box(30, 10, 50, 20), box(60, 25, 50, 20)],
                [box(-20, 0, 16, 16), box(200, 0, 16, 16), box(300, 0, 16, 16)], [false, true, false]],
            ["edges that touch do not overlap", [box(0, 0, 50, 20), box(50, 0, 50, 20)],
                [box(-20, 0, 16, 16), box(200, 0, 16, 16)], [false, false]],
            ["none", [], [], []]
        ];
        for (const [name, labels, pins, expected] of cases)
            assert.deepEqual(plain(labelsToHide(labels, pins)), expected, name);
    });

    test("hides a label that covers another radio's pin, never for its own pin", () => {
        const labels = [box(20, 0, 60, 20), box(200, 0, 60, 20)];
        const ownPinUnder = [box(10, 0, 32, 32), box(190, 0, 32, 32)];
        assert.deepEqual(plain(labelsToHide(labels, ownPinUnder)), [false, false]);
        const otherPinUnder = [box(-40, 0, 32, 32), box(30, 5, 32, 32)];
        assert.deepEqual(plain(labelsToHide(labels, otherPinUnder)), [true, false]);
    });
});
