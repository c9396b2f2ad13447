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

// With a red ring while its radio has an alert not yet acknowledged.
function leafletIcon(icon, alerted) {
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
        className: alerted ? "gmap-marker gmap-marker-alert" : "gmap-marker"
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
    this.labelTexts_ = null;
    this.alerted_ = false;
    this.movePending_ = false;
}
GMarker.prototype.initialize_ = function (map) {
    var self = this;
    this.map_ = map;
    this.marker_ = L.marker(toLeaflet(this.latlng_), {
        icon: leafletIcon(this.options_.icon || G_DEFAULT_ICON, this.alerted_),
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
    this.marker_.radioLabel_ = this.label_;
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
    return this.marker_ && !this.movePending_ ? fromLeaflet(this.marker_.getLatLng()) : this.latlng_;
};
GMarker.prototype.getPoint = GMarker.prototype.getLatLng;
GMarker.prototype.setLatLng = function (latlng) {
    this.latlng_ = latlng;
    if (this.marker_)
        this.map_.moveMarker_(this);
};
GMarker.prototype.getIcon = function () { return this.options_.icon || G_DEFAULT_ICON; };
GMarker.prototype.hide = function () { this.marker_ && this.marker_.setOpacity(0); };
GMarker.prototype.show = function () { this.marker_ && this.marker_.setOpacity(1); };
// Our own addition: a radio's label right of the pin (see radiolabel.js),
// kept over moves and removed with the marker.
GMarker.prototype.setLabel = function (title, age, stale, alerted) {
    this.labelTexts_ = [String(title), String(age), !!stale];
    this.label_ = radioLabelContent(String(title), String(age), !!stale, !!alerted);
    var ringChanged = this.alerted_ !== !!alerted;
    this.alerted_ = !!alerted;
    if (!this.marker_)
        return;
    if (ringChanged)
        this.marker_.setIcon(leafletIcon(this.getIcon(), this.alerted_));
    this.marker_.radioLabel_ = this.label_;
    if (this.marker_.getTooltip())
        showRadioLabel(this.marker_, this.marker_.radioLabelSide_);
    this.map_.declutter_();
};
// The label again with its radio's alert mark on or off.
GMarker.prototype.setAlerted = function (alerted) {
    if (this.labelTexts_ && this.alerted_ !== !!alerted)
        this.setLabel(this.labelTexts_[0], this.labelTexts_[1], this.labelTexts_[2], alerted);
};
GMarker.prototype.labelTitle = function () {
    return this.labelTexts_ ? this.labelTexts_[0] : null;
};
GMarker.prototype.openInfoWindowHtml = function (html) {
    if (this.map_)
        this.map_.openInfoWindowHtml(this.getLatLng(), html);
};

window.GIcon = GIcon;
window.G_DEFAULT_ICON = G_DEFAULT_ICON;
window.GMarker = GMarker;
