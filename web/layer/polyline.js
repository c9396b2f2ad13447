// A line on the map: its points, the drawing by clicks, editing with vertex
// handles, and the label that follows the figure. GPolygon extends it.

function GPolyline(points, color, weight, opacity) {
    this.points_ = (points || []).slice();
    this.stroke_ = {
        color: color || "#0000ff",
        weight: weight === undefined ? 5 : weight,
        opacity: opacity === undefined ? 0.45 : opacity
    };
    this.map_ = null;
    this.path_ = null;
    this.drawing_ = false;
    this.editing_ = false;
    this.editSwitches_ = [];
    this.handles_ = [];
    this.dragging_ = false;
    this.hoveredHandle_ = null;
    this.editOffTimer_ = null;
    this.label_ = null;
}

GPolyline.prototype.leafletPoints_ = function () { return this.points_.map(toLeaflet); };

GPolyline.prototype.initialize_ = function (map) {
    var self = this;
    this.map_ = map;
    this.path_ = this.makePath_({
        color: this.stroke_.color,
        weight: this.stroke_.weight,
        opacity: this.stroke_.opacity,
        bubblingMouseEvents: false
    });
    this.path_.on("click", function (e) {
        if (map.drawing_) {
            map.drawing_.drawClick_(e.latlng);
            return;
        }
        GEvent.trigger(self, "click", fromLeaflet(e.latlng));
        GEvent.trigger(map, "click", self, undefined, fromLeaflet(e.latlng));
    });
    this.path_.on("mouseover", function () { GEvent.trigger(self, "mouseover"); });
    this.path_.on("mouseout", function () { GEvent.trigger(self, "mouseout"); });
    this.path_.addTo(map.leaflet_);
    this.updateLabel_();
};

GPolyline.prototype.makePath_ = function (style) {
    style.className = "gmap-polyline";
    style.fill = false;
    return L.polyline(this.leafletPoints_(), style);
};

GPolyline.prototype.remove_ = function () {
    if (this.map_ && this.map_.drawing_ === this)
        this.map_.stopDrawing_();
    this.drawing_ = false;
    this.editing_ = false;
    clearTimeout(this.editOffTimer_);
    this.removeHandles_();
    if (this.label_)
        this.label_.remove();
    if (this.path_)
        this.path_.remove();
    this.path_ = null;
    this.map_ = null;
};

GPolyline.prototype.changed_ = function () {
    if (this.path_)
        this.path_.setLatLngs(this.leafletPoints_());
    this.updateLabel_();
    GEvent.trigger(this, "lineupdated");
};

GPolyline.prototype.getVertexCount = function () { return this.points_.length; };
GPolyline.prototype.getVertex = function (index) { return this.points_[index]; };
GPolyline.prototype.insertVertex = function (index, latlng) {
    this.points_.splice(index, 0, latlng);
    this.changed_();
    this.refreshHandles_();
};
GPolyline.prototype.deleteVertex = function (index) {
    if (index < 0 || index >= this.points_.length)
        return;
    this.points_.splice(index, 1);
    this.changed_();
    this.refreshHandles_();
};

GPolyline.prototype.setStrokeStyle = function (style) {
    for (var key in style)
        this.stroke_[key] = style[key];
    if (this.path_)
        this.path_.setStyle(this.stroke_);
};
// A line has no fill.
GPolyline.prototype.setFillStyle = function () {};
GPolyline.prototype.hide = function () { this.path_ && this.path_.setStyle({ opacity: 0, fillOpacity: 0 }); };
GPolyline.prototype.show = function () {
    if (this.path_)
        this.path_.setStyle(this.stroke_);
};

// Great-circle length in metres.
GPolyline.prototype.getLength = function () {
    var total = 0;
    for (var i = 1; i < this.points_.length; i++)
        total += this.points_[i - 1].distanceFrom(this.points_[i]);
    return total;
};

// Area on the sphere in square metres.
GPolyline.prototype.getArea = function () {
    var points = this.points_;
    if (points.length < 3)
        return 0;
    var sum = 0;
    for (var i = 0; i < points.length; i++) {
        var p = points[i];
        var q = points[(i + 1) % points.length];
        var dLng = q.lng() - p.lng();
        if (dLng > 180)
            dLng -= 360;
        else if (dLng < -180)
            dLng += 360;
        sum += toRadians(dLng) * (2 + Math.sin(toRadians(p.lat())) + Math.sin(toRadians(q.lat())));
    }
    return Math.abs(sum * EARTH_RADIUS * EARTH_RADIUS / 2);
};

// Our own addition: a node shown on the figure (its name and measurement),
// kept in place as the figure changes.
GPolyline.prototype.setLabel = function (node) {
    if (this.label_)
        this.label_.remove();
    this.label_ = L.tooltip({ permanent: true, direction: "center", className: "gmap-label" });
    this.label_.setContent(node);
    this.updateLabel_();
};

GPolyline.prototype.labelPosition_ = function () {
    var points = this.points_;
    var middle = points[Math.floor((points.length - 1) / 2)];
    if (points.length % 2 === 1)
        return toLeaflet(middle);
    var next = points[points.length / 2];
    return L.latLng((middle.lat() + next.lat()) / 2, (middle.lng() + next.lng()) / 2);
};

GPolyline.prototype.updateLabel_ = function () {
    if (!this.label_ || !this.map_)
        return;
    if (this.points_.length === 0) {
        this.label_.remove();
        return;
    }
    this.label_.setLatLng(this.labelPosition_());
    if (!this.map_.leaflet_.hasLayer(this.label_))
        this.map_.leaflet_.openTooltip(this.label_);
};

// Drawing: each map click adds a vertex; a click on a vertex that ends the
// drawing (see endsDrawingAt_) ends it with "endline".
GPolyline.prototype.enableDrawing = function () {
    if (!this.map_)
        return;
    this.map_.startDrawing_(this);
    this.drawing_ = true;
    this.refreshHandles_();
};

GPolyline.prototype.drawClick_ = function (leafletLatLng) {
    var map = this.map_.leaflet_;
    var clicked = map.latLngToContainerPoint(leafletLatLng);
    var self = this;
    var ends = this.points_.some(function (point, index) {
        return self.endsDrawingAt_(index) &&
            map.latLngToContainerPoint(toLeaflet(point)).distanceTo(clicked) < 6;
    });
    if (ends) {
        this.finishDrawing_();
        return;
    }
    this.points_.push(fromLeaflet(leafletLatLng));
    this.changed_();
    this.refreshHandles_();
};

// The last vertex: the second click of a double click lands there too.
GPolyline.prototype.endsDrawingAt_ = function (index) {
    return index === this.points_.length - 1;
};

GPolyline.prototype.finishDrawing_ = function () {
    if (!this.drawing_)
        return;
    this.drawing_ = false;
    this.map_.stopDrawing_();
    this.removeHandles_();
    GEvent.trigger(this, "endline");
};

// Editing: vertex handles to drag or click, and midpoint handles that add
// a vertex when dragged. {onEvent: name} switches editing by that event.
GPolyline.prototype.enableEditing = function (options) {
    if (options && options.onEvent) {
        this.editSwitches_.push(GEvent.addListener(this, options.onEvent, function () {
            this.enableEditing();
        }));
        return;
    }
    clearTimeout(this.editOffTimer_);
    if (this.editing_ || this.drawing_ || !this.map_)
        return;
    this.editing_ = true;
    this.refreshHandles_();
};

// Handles outlive the pointer leaving the path a little, so that the
// pointer can reach them.
GPolyline.prototype.disableEditing = function (options) {
    if (options && options.onEvent) {
        this.editSwitches_.push(GEvent.addListener(this, options.onEvent, function () {
            this.disableEditing();
        }));
        return;
    }
    var self = this;
    clearTimeout(this.editOffTimer_);
    if (!this.editing_)
        return;
    this.editOffTimer_ = setTimeout(function () {
        if (self.dragging_)
            return;
        self.editing_ = false;
        self.removeHandles_();
    }, 500);
};

// A handle taken away from under the pointer gets no "mouseout" from the
// browser; the figure is told instead, so that editing can end.
GPolyline.prototype.removeHandles_ = function () {
    var hovered = this.hoveredHandle_;
    this.hoveredHandle_ = null;
    this.handles_.forEach(function (handle) { handle.remove(); });
    this.handles_ = [];
    if (hovered && this.editing_)
        GEvent.trigger(this, "mouseout");
};

GPolyline.prototype.makeHandle_ = function (latlng, className, draggable) {
    var self = this;
    var handle = L.marker(latlng, {
        icon: L.divIcon({ className: className, iconSize: [11, 11] }),
        draggable: draggable,
        keyboard: false,
        bubblingMouseEvents: false,
        zIndexOffset: 1000
    });
    handle.on("mouseover", function () {
        self.hoveredHandle_ = handle;
        GEvent.trigger(self, "mouseover");
    });
    handle.on("mouseout", function () {
        self.hoveredHandle_ = null;
        GEvent.trigger(self, "mouseout");
    });
    handle.addTo(this.map_.leaflet_);
    this.handles_.push(handle);
    return handle;
};

GPolyline.prototype.refreshHandles_ = function () {
    var self = this;
    this.removeHandles_();
    if (!this.map_ || !(this.drawing_ || this.editing_))
        return;
    this.points_.forEach(function (point, index) {
        var handle = self.makeHandle_(toLeaflet(point), "gmap-vertex", self.editing_);
        handle.on("click", function () {
            if (self.drawing_) {
                if (self.endsDrawingAt_(index))
                    self.finishDrawing_();
                return;
            }
            GEvent.trigger(self, "click", self.points_[index], index);
        });
        handle.on("dragstart", function () { self.dragging_ = true; });
        handle.on("drag", function () {
            self.points_[index] = fromLeaflet(handle.getLatLng());
            self.changed_();
        });
        handle.on("dragend", function () {
            self.dragging_ = false;
            self.refreshHandles_();
        });
    });
    if (!this.editing_)
        return;
    var count = this.points_.length;
    var edges = this.edgeCount_();
    for (var i = 0; i < edges; i++)
        this.makeMidpointHandle_(i, this.points_[i], this.points_[(i + 1) % count]);
};

// The edges that get a handle to add a vertex between their ends.
GPolyline.prototype.edgeCount_ = function () { return this.points_.length - 1; };

GPolyline.prototype.makeMidpointHandle_ = function (index, from, to) {
    var self = this;
    var middle = L.latLng((from.lat() + to.lat()) / 2, (from.lng() + to.lng()) / 2);
    var handle = this.makeHandle_(middle, "gmap-midpoint", true);
    handle.on("dragstart", function () {
        self.dragging_ = true;
        self.points_.splice(index + 1, 0, fromLeaflet(handle.getLatLng()));
    });
    handle.on("drag", function () {
        self.points_[index + 1] = fromLeaflet(handle.getLatLng());
        self.changed_();
    });
    handle.on("dragend", function () {
        self.dragging_ = false;
        self.refreshHandles_();
    });
};

window.GPolyline = GPolyline;
