"use strict";

const assert = require("node:assert/strict");
const { describe, test } = require("node:test");
const { loadLayer } = require("./loadLayer.js");

const layer = loadLayer("events.js", "latlng.js", "polyline.js", "polygon.js");
const { GLatLng, GPolyline, GPolygon, EARTH_RADIUS } = layer;

function points(...pairs) {
    return pairs.map(([lat, lng]) => new GLatLng(lat, lng));
}

function near(actual, expected, what) {
    assert.ok(Math.abs(actual - expected) <= 1e-9 * Math.max(1, Math.abs(expected)),
        `${what}: ${actual}, not ${expected}`);
}

// A one-degree cell from the equator up, on the sphere.
const CELL = EARTH_RADIUS * EARTH_RADIUS * (Math.PI / 180) * Math.sin(Math.PI / 180);

describe("getArea", () => {
    test("measures the figure on the sphere", () => {
        const cases = [
            ["one-degree cell", points([0, 10], [0, 11], [1, 11], [1, 10]), CELL],
            ["the same, the other way round", points([1, 10], [1, 11], [0, 11], [0, 10]), CELL],
            ["the same, across the 180th meridian", points([0, 179.5], [0, -179.5], [1, -179.5], [1, 179.5]), CELL],
            ["half of it", points([0, 10], [0, 11], [1, 11]), null],
            ["two points", points([0, 10], [1, 11]), 0],
            ["no points", [], 0]
        ];
        for (const [what, corners, area] of cases) {
            const measured = new GPolygon(corners).getArea();
            if (area === null)
                assert.ok(measured > 0.49 * CELL && measured < 0.51 * CELL, `${what}: ${measured}`);
            else
                near(measured, area, what);
        }
    });

    test("a line's points measure the same area as a shape's", () => {
        const corners = points([0, 10], [0, 11], [1, 11], [1, 10]);
        near(new GPolyline(corners).getArea(), CELL, "line");
    });
});

describe("getLength", () => {
    const triangle = points([0, 0], [0, 1], [1, 0]);
    const legs = triangle[0].distanceFrom(triangle[1]) + triangle[1].distanceFrom(triangle[2]);
    const closing = triangle[2].distanceFrom(triangle[0]);

    test("a line runs from its first point to its last", () => {
        near(new GPolyline(triangle).getLength(), legs, "line");
    });

    test("a shape of three points or more is closed", () => {
        near(new GPolygon(triangle).getLength(), legs + closing, "triangle");
        near(new GPolygon(triangle.slice(0, 2)).getLength(), triangle[0].distanceFrom(triangle[1]),
            "two points");
    });

    test("a shape is a line", () => {
        assert.ok(new GPolygon([]) instanceof GPolyline);
    });
});
