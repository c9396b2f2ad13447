// Markers and their icons.

// Where the page got this script from; the default icon is served there.
var API_HOST = (function () {
    var script = document.currentScript;
    var match = script && /^[a-z][a-z0-9+.-]*:\/\/[^/?#]+/i.exec(script.src);
    return match ? match[0] : "";
})();

function GIcon(copy, image) {
    if (copy) {
        for (var key in copy) {
            if (Object.prototype.hasOwnProperty.call(copy, key))
                this[key] = copy[key];
        }
    }
    if (image)
        this.image = image;
}

// The program serves its pins here, each with an "@2x" twin for dense screens.
var OWN_ICONS = API_HOST + "/mapfiles/ms/micons/";

var G_DEFAULT_ICON = new GIcon();
G_DEFAULT_ICON.image = OWN_ICONS + "marker.png";
G_DEFAULT_ICON.iconSize = new GSize(32, 32);
G_DEFAULT_ICON.iconAnchor = new GPoint(15, 32);
G_DEFAULT_ICON.infoWindowAnchor = new GPoint(15, 2);

function leafletIcon(icon) {
    var size = icon.iconSize || G_DEFAULT_ICON.iconSize;
    var anchor = icon.iconAnchor || new GPoint(size.width / 2, size.height);
    var windowAnchor = icon.infoWindowAnchor || new GPoint(anchor.x, 0);
    var ownPin = typeof icon.image === "string" && icon.image.indexOf(OWN_ICONS) === 0 &&
        /^[a-z]+\.png$/.test(icon.image.slice(OWN_ICONS.length));
    return L.icon({
        iconUrl: icon.image,
        iconRetinaUrl: ownPin ? icon.image.replace(/\.png$/, "@2x.png") : undefined,
        iconSize: [size.width, size.height],
        iconAnchor: [anchor.x, anchor.y],
        popupAnchor: [windowAnchor.x - anchor.x, windowAnchor.y - anchor.y],
        className: "gmap-marker"
    });
}

function GMarker(latlng, options) {
    if (options instanceof GIcon)
        options = { icon: options };
    this.options_ = options || {};
    this.latlng_ = latlng;
    this.map_ = null;
    this.marker_ = null;
    this.layer_ = null;
    this.label_ = null;
}
GMarker.prototype.initialize_ = function (map) {
    var self = this;
    this.map_ = map;
    this.marker_ = L.marker(toLeaflet(this.latlng_), {
        icon: leafletIcon(this.options_.icon || G_DEFAULT_ICON),
        draggable: !!this.options_.draggable,
        title: this.options_.title || "",
        keyboard: false,
        bubblingMouseEvents: false
    });
    this.marker_.on("click", function () {
        GEvent.trigger(self, "click", self.getLatLng());
        GEvent.trigger(map, "click", self, undefined, self.getLatLng());
    });
    this.marker_.on("dragstart", function () { GEvent.trigger(self, "dragstart", self.getLatLng()); });
    this.marker_.on("drag", function () { GEvent.trigger(self, "drag", self.getLatLng()); });
    this.marker_.on("dragend", function () {
        self.latlng_ = fromLeaflet(self.marker_.getLatLng());
        GEvent.trigger(self, "dragend", self.getLatLng());
    });
    if (this.label_)
        bindLabel(this.marker_, this.label_);
    this.layer_ = map.markerLayer_();
    this.layer_.addLayer(this.marker_);
};
GMarker.prototype.remove_ = function () {
    if (this.marker_)
        this.layer_.removeLayer(this.marker_);
    this.marker_ = null;
    this.layer_ = null;
    this.map_ = null;
};
// Into or out of the map's clusters, keeping the Leaflet marker and its label.
GMarker.prototype.moveToLayer_ = function (layer) {
    if (!this.marker_ || this.layer_ === layer)
        return;
    this.layer_.removeLayer(this.marker_);
    this.layer_ = layer;
    this.layer_.addLayer(this.marker_);
};
GMarker.prototype.getLatLng = function () {
    return this.marker_ ? fromLeaflet(this.marker_.getLatLng()) : this.latlng_;
};
GMarker.prototype.getPoint = GMarker.prototype.getLatLng;
GMarker.prototype.setLatLng = function (latlng) {
    this.latlng_ = latlng;
    if (this.marker_)
        this.marker_.setLatLng(toLeaflet(latlng));
};
GMarker.prototype.getIcon = function () { return this.options_.icon || G_DEFAULT_ICON; };
GMarker.prototype.hide = function () { this.marker_ && this.marker_.setOpacity(0); };
GMarker.prototype.show = function () { this.marker_ && this.marker_.setOpacity(1); };
// Our own addition: a permanent label right of the pin, the radio's title
// over the age of its report, as text (names never become markup), greyed
// when the report is stale; kept over moves and removed with the marker.
GMarker.prototype.setLabel = function (title, age, stale) {
    this.label_ = radioLabelContent(String(title), String(age), !!stale);
    if (this.marker_)
        bindLabel(this.marker_, this.label_);
};
function radioLabelContent(title, age, stale) {
    var node = document.createElement("div");
    var titleLine = document.createElement("div");
    titleLine.className = "gmap-radio-title";
    titleLine.textContent = title;
    var ageLine = document.createElement("div");
    ageLine.className = "gmap-radio-age";
    ageLine.textContent = age;
    node.appendChild(titleLine);
    node.appendChild(ageLine);
    return {
        node: node,
        className: stale ? "gmap-radio-label gmap-radio-stale" : "gmap-radio-label",
        size: radioLabelSize(title, age, stale)
    };
}
// The size a radio's label takes on the screen, from its texts and the
// label's style sheet (two 13-pixel lines of 11-pixel type, at most 220
// pixels wide, in a frame of 6 pixels a side across and 2 down), worked out
// without laying the page out.
var labelMeasure = null;
function radioLabelSize(title, age, stale) {
    var family = "\"DejaVu Sans\", Arial, Helvetica, sans-serif";
    labelMeasure = labelMeasure || document.createElement("canvas").getContext("2d");
    labelMeasure.font = "bold 11px " + family;
    var width = labelMeasure.measureText(title).width;
    labelMeasure.font = (stale ? "italic " : "") + "11px " + family;
    width = Math.max(width, labelMeasure.measureText(age).width);
    return { width: Math.min(Math.ceil(width), 220) + 12, height: 30 };
}

// A radio's label, placed by its top-left corner: Leaflet's own tooltips
// read their size at every placement, which with hundreds of labels makes
// each run lay the page out once per label. It goes at once with its pin,
// where a tooltip would linger fading for a fifth of a second.
var RadioLabel = null;
function radioLabel(options) {
    RadioLabel = RadioLabel || L.Tooltip.extend({
        _setPosition: function (pos) {
            L.DomUtil.addClass(this._container, "leaflet-tooltip-right");
            L.DomUtil.setPosition(this._container, pos.add(L.point(this.options.offset)).round());
        },
        onRemove: function (map) {
            L.Tooltip.prototype.onRemove.call(this, map);
            clearTimeout(this._removeTimeout);
            L.DomUtil.remove(this._container);
        }
    });
    return new RadioLabel(options);
}
function bindLabel(marker, label) {
    marker.unbindTooltip();
    // Two 13-pixel lines and their frame: 30 pixels tall, centred 20 above the tip.
    marker.bindTooltip(radioLabel({
        permanent: true,
        offset: [18, -35],
        opacity: 1,
        interactive: false,
        className: label.className,
        size: label.size
    }).setContent(label.node));
}
GMarker.prototype.openInfoWindowHtml = function (html) {
    if (this.map_)
        this.map_.openInfoWindowHtml(this.getLatLng(), html);
};

window.GIcon = GIcon;
window.G_DEFAULT_ICON = G_DEFAULT_ICON;
window.GMarker = GMarker;
