// GMap2: the map in a page element, its overlays, controls and information
// window, over the offline base map.

var maps = [];
var mapsByContainer = new WeakMap();

function GMap2(container) {
    var self = this;
    this.container_ = container;
    this.overlays_ = [];
    this.controls_ = [];
    this.drawing_ = null;
    this.clusters_ = null;
    this.pendingMoves_ = [];
    this.doubleClickZoom_ = false;
    this.infoWindow_ = L.popup({ maxWidth: 400, className: "gmap-infowindow" });
    this.leaflet_ = L.map(container, {
        zoomControl: false,
        attributionControl: false,
        doubleClickZoom: false,
        scrollWheelZoom: false,
        minZoom: 0,
        maxZoom: 21 // as deep as the zoom field goes
    });
    addBaseMap(this.leaflet_);
    addMapFiles(this.leaflet_);
    this.declutter_ = declutterLabels(this.leaflet_);
    this.leaflet_.on("click", function (e) {
        if (self.drawing_)
            self.drawing_.drawClick_(e.latlng);
        GEvent.trigger(self, "click", null, fromLeaflet(e.latlng));
    });
    this.leaflet_.on("dblclick", function (e) { GEvent.trigger(self, "dblclick", null, fromLeaflet(e.latlng)); });
    this.leaflet_.on("dragstart", function () { GEvent.trigger(self, "dragstart"); });
    this.leaflet_.on("moveend", function () { GEvent.trigger(self, "moveend"); });
    this.leaflet_.on("zoomend", function () { GEvent.trigger(self, "zoomend"); });
    maps.push(this);
    mapsByContainer.set(container, this);
}

// Our own addition: a map file opened while the page runs, on every map.
GMap2.addMapFile = function (file) {
    maps.forEach(function (map) { addMapFileLayer(map.leaflet_, file); });
};

// Our own addition, for tools and tests: the map living in a page element.
GMap2.fromContainer = function (container) {
    return mapsByContainer.get(container) || null;
};

GMap2.prototype.getContainer = function () { return this.container_; };
GMap2.prototype.setCenter = function (latlng, zoom) {
    if (zoom === undefined)
        zoom = this.leaflet_._loaded ? this.leaflet_.getZoom() : 0;
    this.leaflet_.setView(toLeaflet(latlng), zoom, { animate: false });
};
GMap2.prototype.panTo = function (latlng) { this.leaflet_.panTo(toLeaflet(latlng)); };
GMap2.prototype.getCenter = function () { return fromLeaflet(this.leaflet_.getCenter()); };
GMap2.prototype.getZoom = function () { return this.leaflet_.getZoom(); };
GMap2.prototype.setZoom = function (zoom) { this.leaflet_.setZoom(zoom); };
GMap2.prototype.zoomIn = function () { this.leaflet_.zoomIn(); };
GMap2.prototype.zoomOut = function () { this.leaflet_.zoomOut(); };
GMap2.prototype.checkResize = function () { this.leaflet_.invalidateSize(); };
GMap2.prototype.getSize = function () {
    var size = this.leaflet_.getSize();
    return new GSize(size.x, size.y);
};
GMap2.prototype.fromLatLngToContainerPixel = function (latlng) {
    var point = this.leaflet_.latLngToContainerPoint(toLeaflet(latlng));
    return new GPoint(point.x, point.y);
};
GMap2.prototype.fromContainerPixelToLatLng = function (pixel) {
    return fromLeaflet(this.leaflet_.containerPointToLatLng([pixel.x, pixel.y]));
};

GMap2.prototype.enableDoubleClickZoom = function () {
    this.doubleClickZoom_ = true;
    if (!this.drawing_)
        this.leaflet_.doubleClickZoom.enable();
};
GMap2.prototype.disableDoubleClickZoom = function () {
    this.doubleClickZoom_ = false;
    this.leaflet_.doubleClickZoom.disable();
};
GMap2.prototype.enableScrollWheelZoom = function () { this.leaflet_.scrollWheelZoom.enable(); };
GMap2.prototype.disableScrollWheelZoom = function () { this.leaflet_.scrollWheelZoom.disable(); };
GMap2.prototype.enableDragging = function () { this.leaflet_.dragging.enable(); };
GMap2.prototype.disableDragging = function () { this.leaflet_.dragging.disable(); };

GMap2.prototype.addControl = function (control) {
    if (this.controls_.indexOf(control) >= 0)
        return;
    control.control_ = control.leafletControl_(this.leaflet_);
    this.leaflet_.addControl(control.control_);
    this.controls_.push(control);
};
GMap2.prototype.removeControl = function (control) {
    var at = this.controls_.indexOf(control);
    if (at < 0)
        return;
    this.controls_.splice(at, 1);
    control.control_.remove();
};
GMap2.prototype.setUIToDefault = function () {
    this.enableDoubleClickZoom();
    this.enableScrollWheelZoom();
    var hasNavigation = this.controls_.some(function (c) { return c instanceof GLargeMapControl3D; });
    if (!hasNavigation)
        this.addControl(new GLargeMapControl3D());
    if (!this.controls_.some(function (c) { return c instanceof GScaleControl; }))
        this.addControl(new GScaleControl());
};

GMap2.prototype.addOverlay = function (overlay) {
    overlay.initialize_(this);
    this.overlays_.push(overlay);
    GEvent.trigger(this, "addoverlay", overlay);
};
GMap2.prototype.removeOverlay = function (overlay) {
    var at = this.overlays_.indexOf(overlay);
    if (at < 0)
        return;
    this.overlays_.splice(at, 1);
    overlay.remove_();
    GEvent.trigger(this, "removeoverlay", overlay);
};
GMap2.prototype.clearOverlays = function () {
    var overlays = this.overlays_;
    this.overlays_ = [];
    overlays.forEach(function (overlay) { overlay.remove_(); });
    this.closeInfoWindow();
    GEvent.trigger(this, "clearoverlays");
};
// Our own addition: crowded markers grouped into clusters that show their
// count, split as the map zooms in and follow markers that move.
GMap2.prototype.setClustering = function (on) {
    if (!!this.clusters_ === on)
        return;
    var clusters = this.clusters_ || L.markerClusterGroup({ showCoverageOnHover: false, maxClusterRadius: 50 });
    if (on)
        this.leaflet_.addLayer(clusters);
    var layer = on ? clusters : this.leaflet_;
    this.overlays_.forEach(function (overlay) {
        if (overlay instanceof GMarker)
            overlay.moveToLayer_(layer);
    });
    if (!on)
        this.leaflet_.removeLayer(clusters);
    this.clusters_ = on ? clusters : null;
};
GMap2.prototype.isClustering = function () { return !!this.clusters_; };
// Our own addition: the user's areas, kept when the overlays are cleared.
GMap2.prototype.showAreas = function (areas) {
    this.areas_ = showAreas(this.leaflet_, this.areas_, areas);
};
// A marker in a cluster moves with the others of the same commands, in one
// step once they are all done: the clusters plugin would redraw the
// clusters' icons at every single move.
GMap2.prototype.moveMarker_ = function (marker) {
    if (marker.layer_ !== this.clusters_) {
        marker.marker_.setLatLng(toLeaflet(marker.latlng_));
        return;
    }
    if (marker.movePending_)
        return;
    marker.movePending_ = true;
    if (this.pendingMoves_.push(marker) === 1)
        Promise.resolve().then(this.finishMoves_.bind(this));
};
GMap2.prototype.finishMoves_ = function () {
    var clusters = this.clusters_;
    var moved = this.pendingMoves_.splice(0).filter(function (marker) {
        marker.movePending_ = false;
        return marker.marker_ !== null;
    });
    var clustered = moved.filter(function (marker) { return marker.layer_ === clusters; })
        .map(function (marker) { return marker.marker_; });
    if (clusters)
        clusters.removeLayers(clustered);
    moved.forEach(function (marker) { marker.marker_.setLatLng(toLeaflet(marker.latlng_)); });
    if (clusters)
        clusters.addLayers(clustered);
};
GMap2.prototype.markerLayer_ = function () { return this.clusters_ || this.leaflet_; };
// Our own addition: the view that shows every point, with room right of the
// pins for their labels, no deeper than maxZoom (a route's ends and times).
GMap2.prototype.fitPoints = function (latlngs, maxZoom) {
    if (latlngs.length === 0)
        return;
    this.leaflet_.fitBounds(L.latLngBounds(latlngs.map(toLeaflet)), {
        paddingTopLeft: [40, 50],
        paddingBottomRight: [190, 20],
        maxZoom: maxZoom,
        animate: false
    });
};
// Our own addition: the deepest view, no deeper than maxZoom, that holds
// every marker's pin and every label that shows, on whichever side of its pin
// the crowd leaves it at that level.
var FIT_MARGIN = 10;
GMap2.prototype.fitMarkers = function (markers, maxZoom) {
    var map = this.leaflet_;
    var leafletMarkers = markers.map(function (marker) { return marker.marker_; })
        .filter(function (marker) { return marker !== null; });
    if (leafletMarkers.length === 0)
        return;
    var view = fittedView(function (zoom) { return markerRectanglesAt(map, leafletMarkers, zoom); },
        map.getSize(), FIT_MARGIN, map.getMinZoom(), Math.min(maxZoom, map.getMaxZoom()));
    map.setView(map.unproject(L.point(view.centre), view.zoom), view.zoom, { animate: false });
};
// Our own addition, for tools and tests.
GMap2.prototype.getOverlays = function () { return this.overlays_.slice(); };

GMap2.prototype.openInfoWindowHtml = function (latlng, html) {
    this.infoWindow_.setLatLng(toLeaflet(latlng)).setContent(String(html)).openOn(this.leaflet_);
    GEvent.trigger(this, "infowindowopen");
};
GMap2.prototype.openInfoWindow = function (latlng, node) {
    this.infoWindow_.setLatLng(toLeaflet(latlng)).setContent(node).openOn(this.leaflet_);
    GEvent.trigger(this, "infowindowopen");
};
// Our own addition: whether the bubble shows (the user may have closed it).
GMap2.prototype.isInfoWindowOpen = function () {
    return this.leaflet_.hasLayer(this.infoWindow_);
};
GMap2.prototype.closeInfoWindow = function () {
    if (this.leaflet_.hasLayer(this.infoWindow_)) {
        this.leaflet_.closePopup(this.infoWindow_);
        GEvent.trigger(this, "infowindowclose");
    }
};

// One figure is drawn at a time; starting another ends the one before.
// Double-click zoom waits until the double click that ended a drawing
// has passed.
GMap2.prototype.startDrawing_ = function (poly) {
    if (this.drawing_ && this.drawing_ !== poly)
        this.drawing_.finishDrawing_();
    this.drawing_ = poly;
    this.leaflet_.doubleClickZoom.disable();
    L.DomUtil.addClass(this.container_, "gmap-drawing");
};
GMap2.prototype.stopDrawing_ = function () {
    var self = this;
    this.drawing_ = null;
    L.DomUtil.removeClass(this.container_, "gmap-drawing");
    setTimeout(function () {
        if (self.doubleClickZoom_ && !self.drawing_)
            self.leaflet_.doubleClickZoom.enable();
    }, 500);
};

GMap2.prototype.remove_ = function () {
    this.clearOverlays();
    this.leaflet_.remove();
    GEvent.clearInstanceListeners(this);
};

function GUnload() {
    maps.splice(0).forEach(function (map) { map.remove_(); });
}

function GBrowserIsCompatible() {
    return true;
}

window.GMap2 = GMap2;
window.GUnload = GUnload;
window.GBrowserIsCompatible = GBrowserIsCompatible;
