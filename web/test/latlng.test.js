"use strict";

const assert = require("node:assert/strict");
const { describe, test } = require("node:test");
const { loadLayer } = require("./loadLayer.js");

const { GLatLng, EARTH_RADIUS } = loadLayer("latlng.js");
const METRES_PER_DEGREE = 2 * Math.PI * EARTH_RADIUS / 360;

describe("GLatLng", () => {
    test("wraps the longitude into [-180, 180) and clamps the latitude", () => {
        const cases = [
            // [lat, lng, expected lat, expected lng]
            [41.1, 29.1, 41.1, 29.1],
            [0, 179.5, 0, 179.5],
            [0, 180, 0, -180],
            [0, -180, 0, -180],
            [0, 190, 0, -170],
            [0, -190, 0, 170],
            [0, 540, 0, -180],
            [0, -725, 0, -5],
            [95, 10, 90, 10],
            [-100, 10, -90, 10],
            ["41.25", "-29.5", 41.25, -29.5]
        ];
        for (const [lat, lng, wantLat, wantLng] of cases) {
            const point = new GLatLng(lat, lng);
            assert.deepEqual([point.lat(), point.lng()], [wantLat, wantLng], `(${lat}, ${lng})`);
        }
    });

    test("keeps the values as given when unbounded", () => {
        const point = new GLatLng(100, 200, true);
        assert.deepEqual([point.lat(), point.lng()], [100, 200]);
    });

    test("distanceFrom is the great-circle distance", () => {
        const cases = [
            // [from, to, expected metres]
            [[0, 0], [0, 0], 0],
            [[0, 0], [1, 0], METRES_PER_DEGREE],
            [[0, 0], [0, 1], METRES_PER_DEGREE],
            [[60, 0], [60, 180], 60 * METRES_PER_DEGREE],
            [[0, 0], [90, 0], Math.PI / 2 * EARTH_RADIUS],
            [[0, 0], [0, -180], Math.PI * EARTH_RADIUS],
            // The short way across the 180th meridian, not round the world.
            [[0, 179.5], [0, -179.5], METRES_PER_DEGREE]
        ];
        for (const [from, to, metres] of cases) {
            const a = new GLatLng(from[0], from[1]);
            const b = new GLatLng(to[0], to[1]);
            assert.ok(Math.abs(a.distanceFrom(b) - metres) < 1e-3 * (1 + metres / 1e6),
                `${from} to ${to}: ${a.distanceFrom(b)}, not ${metres}`);
            assert.equal(a.distanceFrom(b), b.distanceFrom(a));
        }
    });
});
