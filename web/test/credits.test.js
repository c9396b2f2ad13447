"use strict";

const assert = require("node:assert/strict");
const { describe, test } = require("node:test");
const { loadLayer, plain } = require("./loadLayer.js");

const layer = loadLayer("credits.js");
layer.URL = URL;

// Just enough of a document to hold text and elements; markup cannot be set.
class FakeNode {
    constructor(doc, tag, text) {
        Object.assign(this, { ownerDocument: doc, tagName: tag, text, children: [] });
    }
    get firstChild() { return this.children[0] || null; }
    appendChild(node) { this.children.push(node); return node; }
    removeChild(node) { this.children.splice(this.children.indexOf(node), 1); return node; }
    get textContent() { return this.tagName ? this.children.map((c) => c.textContent).join("") : this.text; }
    set textContent(text) { this.children = [new FakeNode(this.ownerDocument, null, text)]; }
    set innerHTML(html) { throw new Error(`markup set: ${html}`); }
}
const fakeDocument = {
    createTextNode(text) { return new FakeNode(this, null, text); },
    createElement(tag) { return new FakeNode(this, tag); }
};

function elementsOf(node) {
    return node.children.filter((c) => c.tagName).flatMap((c) => [c, ...elementsOf(c)]);
}

// Payloads from the INI key TileAttribution or a map file's metadata, what the
// credit line shows and the links it holds.
const cases = [
    ["plain text", "Tiles by the city survey", "Tiles by the city survey", []],
    ["image error handler", "<img src=x onerror=\"window.__pwned='img'\">",
        "<img src=x onerror=\"window.__pwned='img'\">", []],
    ["script element", "</div><script>window.__pwned='script'</script>",
        "</div><script>window.__pwned='script'</script>", []],
    ["script address", "<a href=\"javascript:window.__pwned='link'\">map</a>",
        "<a href=\"javascript:window.__pwned='link'\">map</a>", []],
    ["script address behind character references", "<a href=\"&#106;avascript:alert(1)\">map</a>",
        "<a href=\"javascript:alert(1)\">map</a>", []],
    ["local file address", "<a href='file:///etc/passwd'>local</a>",
        "<a href='file:///etc/passwd'>local</a>", []],
    ["relative address", "<a href=\"/copyright\">us</a>", "<a href=\"/copyright\">us</a>", []],
    ["markup inside a link", "<a href=\"https://example.org/\"><b>bold</b></a>",
        "<a href=\"https://example.org/\"><b>bold</b></a>", []],
    ["a link's handler is dropped",
        "<a href=\"https://example.org/\" onmouseover=\"window.__pwned=1\" target=\"_self\">Example</a>",
        "Example", ["https://example.org/"]],
    ["the common credit of map files",
        "<a href=\"https://www.openmaptiles.org/\" target=\"_blank\">&copy; OpenMapTiles</a> " +
        "<a href='https://www.openstreetmap.org/copyright'>&copy; OpenStreetMap contributors</a>",
        "\u00a9 OpenMapTiles \u00a9 OpenStreetMap contributors",
        ["https://www.openmaptiles.org/", "https://www.openstreetmap.org/copyright"]],
    ["character references become characters, never markup",
        "&lt;img src=x onerror=alert(1)&gt; &amp; &#169; &#x41; &bogus; &#0;",
        "<img src=x onerror=alert(1)> & \u00a9 A &bogus; &#0;", []],
    ["one link checked, one not",
        "<a href=\"vbscript:x\">a</a> and <a href=\"http://b.example/?a=1&amp;b=2\">b</a>",
        "<a href=\"vbscript:x\">a</a> and b", ["http://b.example/?a=1&b=2"]]
];

describe("credit lines from the INI file and map files", () => {
    test("show as text; only links to http and https addresses are links", () => {
        for (const [what, credit, shown, links] of cases) {
            const box = fakeDocument.createElement("div");
            layer.fillCredits(box, [credit]);
            assert.equal(box.textContent, shown, what);
            const elements = elementsOf(box);
            assert.ok(elements.every((e) => e.tagName === "a"), what);
            assert.deepEqual(elements.map((e) => e.href), links, what);
            assert.ok(elements.every((e) => e.target === "_blank" && e.rel === "noopener noreferrer"), what);
        }
    });

    test("creditParts splits links from the text around them", () => {
        assert.deepEqual(plain(layer.creditParts("A <a href=\"https://x.example\">x</a>, B")),
            [{ text: "A " }, { text: "x", href: "https://x.example/" }, { text: ", B" }]);
        assert.deepEqual(plain(layer.creditParts("")), []);
    });

    test("several credits in the order added, the line filled anew", () => {
        const box = fakeDocument.createElement("div");
        layer.fillCredits(box, ["old"]);
        layer.fillCredits(box, ["Tiles <img>", "File <a href=\"https://f.example/\">F</a>"]);
        assert.equal(box.textContent, "Tiles <img> | File F");
    });
});
