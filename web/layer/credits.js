// The credit lines of the tile source (INI file) and of the map files (their
// metadata), bottom right of the map. Both come from outside the program, and
// the page is a local file that could read other local files: they are never
// markup. Files commonly credit their sources with HTML links and character
// references ("<a href="https://…">&copy; OpenStreetMap</a>"), so such a link
// to an http or https address shows as a link with its text, a character
// reference as its character; anything else shows exactly as written.

var CREDIT_LINK = /<a\s(?:[^<>]*?\s)?href\s*=\s*(?:"([^"<>]*)"|'([^'<>]*)')[^<>]*>([^<>]*)<\/a\s*>/gi;
var NAMED_CHARACTERS = { amp: "&", lt: "<", gt: ">", quot: "\"", apos: "'", nbsp: "\u00a0", copy: "\u00a9" };

// A reference to a name not listed, or to no character, stays as written.
function decodeCharacters(text) {
    var reference = /&(?:#(\d{1,7})|#x([0-9a-f]{1,6})|([a-z]+));/gi;
    return text.replace(reference, function (whole, decimal, hex, name) {
        if (name)
            return Object.prototype.hasOwnProperty.call(NAMED_CHARACTERS, name) ? NAMED_CHARACTERS[name] : whole;
        var code = decimal ? parseInt(decimal, 10) : parseInt(hex, 16);
        var character = code > 0 && code <= 0x10ffff && !(code >= 0xd800 && code <= 0xdfff);
        return character ? String.fromCodePoint(code) : whole;
    });
}

// The address when it parses as an absolute http or https one, else null.
function creditLinkAddress(text) {
    var url;
    try {
        url = new URL(decodeCharacters(text).trim());
    } catch {
        return null;
    }
    return url.protocol === "http:" || url.protocol === "https:" ? url.href : null;
}

// The credit line as pieces of text, each {text} or {text, href}.
function creditParts(credit) {
    var parts = [];
    var rest = 0;
    var match;
    CREDIT_LINK.lastIndex = 0;
    while ((match = CREDIT_LINK.exec(credit)) !== null) {
        var href = creditLinkAddress(match[1] !== undefined ? match[1] : match[2]);
        if (href === null)
            continue;
        if (match.index > rest)
            parts.push({ text: decodeCharacters(credit.slice(rest, match.index)) });
        parts.push({ text: decodeCharacters(match[3]), href: href });
        rest = CREDIT_LINK.lastIndex;
    }
    if (rest < credit.length)
        parts.push({ text: decodeCharacters(credit.slice(rest)) });
    return parts;
}

// Links open nowhere in the map's own window: the map page stays.
function appendCredit(parent, credit) {
    var doc = parent.ownerDocument;
    creditParts(credit).forEach(function (part) {
        if (part.href === undefined) {
            parent.appendChild(doc.createTextNode(part.text));
            return;
        }
        var link = doc.createElement("a");
        link.textContent = part.text;
        link.href = part.href;
        link.title = part.href;
        link.target = "_blank";
        link.rel = "noopener noreferrer";
        parent.appendChild(link);
    });
}

// Each text once, in the order added, separated by " | ".
function fillCredits(box, credits) {
    while (box.firstChild)
        box.removeChild(box.firstChild);
    credits.forEach(function (credit, index) {
        if (index > 0)
            box.appendChild(box.ownerDocument.createTextNode(" | "));
        appendCredit(box, credit);
    });
}

var CreditControl = null;
function addCredit(map, credit) {
    if (!credit)
        return;
    CreditControl = CreditControl || L.Control.extend({
        options: { position: "bottomright" },
        initialize: function () { this.credits_ = []; },
        onAdd: function () {
            var box = L.DomUtil.create("div", "leaflet-control-attribution");
            L.DomEvent.disableClickPropagation(box);
            fillCredits(box, this.credits_);
            return box;
        },
        add_: function (text) {
            if (this.credits_.indexOf(text) >= 0)
                return;
            this.credits_.push(text);
            if (this.getContainer())
                fillCredits(this.getContainer(), this.credits_);
        }
    });
    map.credits_ = map.credits_ || new CreditControl().addTo(map);
    map.credits_.add_(String(credit));
}
