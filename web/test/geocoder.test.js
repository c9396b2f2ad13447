"use strict";

const assert = require("node:assert/strict");
const { test } = require("node:test");
const { loadLayer } = require("./loadLayer.js");

const { GClientGeocoder } = loadLayer("latlng.js", "geocoder.js");

function find(address) {
    return new Promise((resolve) => new GClientGeocoder().getLatLng(address, resolve));
}

test("the geocoder finds a \"lat,lng\" text and nothing else", async () => {
    const cases = [
        ["41.1, -29.125", [41.1, -29.125]],
        ["  +41 ,29  ", [41, 29]],
        ["-90,-180", [-90, -180]],
        ["90,180", [90, -180]],
        ["0.5,0", [0.5, 0]],
        ["91,0", null],
        ["0,180.5", null],
        ["41.,29", null],
        ["1e3,2", null],
        ["41.1,29.1,3", null],
        ["41.1 29.1", null],
        ["Nowhere street 1", null],
        ["", null],
        [null, null]
    ];
    for (const [address, expected] of cases) {
        const found = await find(address);
        assert.deepEqual(found && [found.lat(), found.lng()], expected, String(address));
    }
});

test("the geocoder answers after the call has returned", async () => {
    let answered = false;
    const done = new Promise((resolve) => new GClientGeocoder().getLatLng("1,2", () => {
        answered = true;
        resolve();
    }));
    assert.equal(answered, false);
    await done;
    assert.equal(answered, true);
});
