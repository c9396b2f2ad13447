"use strict";

const assert = require("node:assert/strict");
const { describe, test } = require("node:test");
const { loadLayer } = require("./loadLayer.js");

// A stand-in for the browser's XMLHttpRequest that answers from a table.
function fakeRequests(answers, opened) {
    return class {
        open(method, url) { this.url = url; opened.push(url); }
        send() {
            setTimeout(() => {
                if (this.aborted)
                    return;
                if (this.url in answers) {
                    this.response = answers[this.url];
                    this.onload();
                } else {
                    this.onerror();
                }
            }, 0);
        }
        abort() { this.aborted = true; this.onabort(); }
    };
}

function pageWithFetch() {
    const layer = loadLayer("mapfiles.js");
    const browserCalls = [];
    const opened = [];
    layer.fetch = (url) => { browserCalls.push(url); return Promise.resolve("browser"); };
    layer.Response = class { constructor(body, init) { this.body = body; this.status = init.status; } };
    layer.DOMException = DOMException;
    layer.XMLHttpRequest = fakeRequests({ "pelmor://maps.pelmor/tiles/0/1/0/0": "tile bytes" }, opened);
    layer.routeSchemeFetches("pelmor://maps.pelmor/tiles/0/{z}/{x}/{y}");
    return { layer, browserCalls, opened };
}

describe("the renderer's tile requests on the program's own scheme", () => {
    test("go through XMLHttpRequest; other addresses keep the browser's fetch", async () => {
        const { layer, browserCalls, opened } = pageWithFetch();
        const response = await layer.fetch("pelmor://maps.pelmor/tiles/0/1/0/0", {});
        assert.equal(response.body, "tile bytes");
        assert.equal(response.status, 200);
        assert.equal(await layer.fetch("https://example.org/x"), "browser");
        assert.deepEqual(browserCalls, ["https://example.org/x"]);
        assert.deepEqual(opened, ["pelmor://maps.pelmor/tiles/0/1/0/0"]);
    });

    test("a request that fails or is aborted rejects", async () => {
        const { layer } = pageWithFetch();
        await assert.rejects(layer.fetch("pelmor://maps.pelmor/tiles/0/9/9/9"), { name: "TypeError" });
        const controller = new AbortController();
        const pending = layer.fetch("pelmor://maps.pelmor/tiles/0/1/0/0", { signal: controller.signal });
        controller.abort();
        await assert.rejects(pending, { name: "AbortError" });
    });

    test("routing a second file's tiles does not wrap fetch again", () => {
        const { layer } = pageWithFetch();
        const routed = layer.fetch;
        layer.routeSchemeFetches("pelmor://maps.pelmor/tiles/1/{z}/{x}/{y}");
        assert.equal(layer.fetch, routed);
    });
});
