// The version-2 style map interface that the page script talks to, built on
// Leaflet and drawn over an offline world map. Loaded after Leaflet,
// topojson-client, the world atlas (G_WORLD_ATLAS) and the tile settings
// (G_MAP_TILES) in the one script the page requests from "/maps".
(function (global) {
    "use strict";

    var L = global.L;
    var EARTH_RADIUS = 6378137;
    var API_HOST = (function () {
        var script = document.currentScript;
        var match = script && /^[a-z][a-z0-9+.-]*:\/\/[^\/?#]+/i.exec(script.src);
        return match ? match[0] : "";
    })();

    function toRadians(degrees) {
        return degrees * Math.PI / 180;
    }

    // ---- Events -----------------------------------------------------------

    var listeners = new WeakMap();

    function handlersOf(source, event) {
        var byEvent = listeners.get(source);
        if (!byEvent) {
            byEvent = {};
            listeners.set(source, byEvent);
        }
        if (!byEvent[event])
            byEvent[event] = [];
        return byEvent[event];
    }

    var GEvent = {
        addListener: function (source, event, handler) {
            var handle = { source: source, event: event, handler: handler };
            handlersOf(source, event).push(handle);
            if (source && typeof source.listenerAdded_ === "function")
                source.listenerAdded_(event);
            return handle;
        },
        removeListener: function (handle) {
            if (!handle || !handle.source)
                return;
            var list = handlersOf(handle.source, handle.event);
            var at = list.indexOf(handle);
            if (at >= 0)
                list.splice(at, 1);
            handle.source = null;
        },
        clearListeners: function (source, event) {
            var byEvent = listeners.get(source);
            if (byEvent)
                delete byEvent[event];
        },
        clearInstanceListeners: function (source) {
            listeners.delete(source);
        },
        // One failing handler must not keep the others from running; its
        // error still reaches the console.
        trigger: function (source, event) {
            var args = Array.prototype.slice.call(arguments, 2);
            var byEvent = listeners.get(source);
            if (!byEvent || !byEvent[event])
                return;
            byEvent[event].slice().forEach(function (handle) {
                if (!handle.source)
                    return;
                try {
                    handle.handler.apply(source, args);
                } catch (error) {
                    setTimeout(function () {
                        throw error;
                    });
                }
            });
        },
        bind: function (source, event, object, method) {
            return GEvent.addListener(source, event, function () {
                return method.apply(object, arguments);
            });
        },
        callback: function (object, method) {
            return function () {
                return method.apply(object, arguments);
            };
        }
    };

    // ---- Values -----------------------------------------------------------

    function GLatLng(lat, lng, unbounded) {
        lat = Number(lat);
        lng = Number(lng);
        if (!unbounded) {
            lat = Math.max(-90, Math.min(90, lat));
            if (lng < -180 || lng >= 180)
                lng = ((lng + 180) % 360 + 360) % 360 - 180;
        }
        this.lat_ = lat;
        this.lng_ = lng;
    }
    GLatLng.prototype.lat = function () { return this.lat_; };
    GLatLng.prototype.lng = function () { return this.lng_; };
    GLatLng.prototype.latRadians = function () { return toRadians(this.lat_); };
    GLatLng.prototype.lngRadians = function () { return toRadians(this.lng_); };
    GLatLng.prototype.equals = function (other) {
        return !!other && other.lat() === this.lat_ && other.lng() === this.lng_;
    };
    GLatLng.prototype.distanceFrom = function (other) {
        var dLat = toRadians(other.lat() - this.lat_);
        var dLng = toRadians(other.lng() - this.lng_);
        var a = Math.sin(dLat / 2) * Math.sin(dLat / 2) +
            Math.cos(toRadians(this.lat_)) * Math.cos(toRadians(other.lat())) *
            Math.sin(dLng / 2) * Math.sin(dLng / 2);
        return 2 * EARTH_RADIUS * Math.atan2(Math.sqrt(a), Math.sqrt(1 - a));
    };
    GLatLng.prototype.toUrlValue = function (precision) {
        var digits = precision === undefined ? 6 : precision;
        return Number(this.lat_.toFixed(digits)) + "," + Number(this.lng_.toFixed(digits));
    };
    GLatLng.prototype.toString = function () {
        return "(" + this.lat_ + ", " + this.lng_ + ")";
    };

    function toLeaflet(latlng) {
        return L.latLng(latlng.lat(), latlng.lng());
    }

    function fromLeaflet(latlng) {
        return new GLatLng(latlng.lat, latlng.lng, true);
    }

    function GPoint(x, y) {
        this.x = x;
        this.y = y;
    }
    GPoint.prototype.toString = function () { return "(" + this.x + ", " + this.y + ")"; };

    function GSize(width, height) {
        this.width = width;
        this.height = height;
    }
    GSize.prototype.toString = function () { return "(" + this.width + ", " + this.height + ")"; };

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

    var G_DEFAULT_ICON = new GIcon();
    G_DEFAULT_ICON.image = API_HOST + "/mapfiles/ms/micons/marker.png";
    G_DEFAULT_ICON.iconSize = new GSize(32, 32);
    G_DEFAULT_ICON.iconAnchor = new GPoint(15, 32);
    G_DEFAULT_ICON.infoWindowAnchor = new GPoint(15, 2);

    function leafletIcon(icon) {
        var size = icon.iconSize || G_DEFAULT_ICON.iconSize;
        var anchor = icon.iconAnchor || new GPoint(size.width / 2, size.height);
        var windowAnchor = icon.infoWindowAnchor || new GPoint(anchor.x, 0);
        return L.icon({
            iconUrl: icon.image,
            iconSize: [size.width, size.height],
            iconAnchor: [anchor.x, anchor.y],
            popupAnchor: [windowAnchor.x - anchor.x, windowAnchor.y - anchor.y],
            className: "gmap-marker"
        });
    }

    // ---- Markers ----------------------------------------------------------

    function GMarker(latlng, options) {
        if (options instanceof GIcon)
            options = { icon: options };
        this.options_ = options || {};
        this.latlng_ = latlng;
        this.map_ = null;
        this.marker_ = null;
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
        this.marker_.addTo(map.leaflet_);
    };
    GMarker.prototype.remove_ = function () {
        if (this.marker_)
            this.marker_.remove();
        this.marker_ = null;
        this.map_ = null;
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
    GMarker.prototype.openInfoWindowHtml = function (html) {
        if (this.map_)
            this.map_.openInfoWindowHtml(this.getLatLng(), html);
    };

    // ---- Lines and shapes -------------------------------------------------

    // Shared by GPolyline and GPolygon: the points, the drawing by clicks,
    // editing with vertex handles, and the label that follows the figure.
    function Poly(points, stroke, fill) {
        this.points_ = (points || []).slice();
        this.stroke_ = stroke;
        this.fill_ = fill;
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

    Poly.prototype.isPolygon_ = function () { return !!this.fill_; };

    Poly.prototype.leafletPoints_ = function () { return this.points_.map(toLeaflet); };

    Poly.prototype.initialize_ = function (map) {
        var self = this;
        this.map_ = map;
        var style = {
            color: this.stroke_.color,
            weight: this.stroke_.weight,
            opacity: this.stroke_.opacity,
            bubblingMouseEvents: false,
            className: this.isPolygon_() ? "gmap-polygon" : "gmap-polyline"
        };
        if (this.isPolygon_()) {
            style.fillColor = this.fill_.color;
            style.fillOpacity = this.fill_.opacity;
            this.path_ = L.polygon(this.leafletPoints_(), style);
        } else {
            style.fill = false;
            this.path_ = L.polyline(this.leafletPoints_(), style);
        }
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

    Poly.prototype.remove_ = function () {
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

    Poly.prototype.changed_ = function () {
        if (this.path_)
            this.path_.setLatLngs(this.leafletPoints_());
        this.updateLabel_();
        GEvent.trigger(this, "lineupdated");
    };

    Poly.prototype.getVertexCount = function () { return this.points_.length; };
    Poly.prototype.getVertex = function (index) { return this.points_[index]; };
    Poly.prototype.insertVertex = function (index, latlng) {
        this.points_.splice(index, 0, latlng);
        this.changed_();
        this.refreshHandles_();
    };
    Poly.prototype.deleteVertex = function (index) {
        if (index < 0 || index >= this.points_.length)
            return;
        this.points_.splice(index, 1);
        this.changed_();
        this.refreshHandles_();
    };

    Poly.prototype.setStrokeStyle = function (style) {
        for (var key in style)
            this.stroke_[key] = style[key];
        if (this.path_)
            this.path_.setStyle(this.stroke_);
    };
    Poly.prototype.setFillStyle = function (style) {
        if (!this.isPolygon_())
            return;
        for (var key in style)
            this.fill_[key] = style[key];
        if (this.path_)
            this.path_.setStyle({ fillColor: this.fill_.color, fillOpacity: this.fill_.opacity });
    };
    Poly.prototype.hide = function () { this.path_ && this.path_.setStyle({ opacity: 0, fillOpacity: 0 }); };
    Poly.prototype.show = function () {
        if (!this.path_)
            return;
        this.path_.setStyle(this.stroke_);
        if (this.isPolygon_())
            this.path_.setStyle({ fillOpacity: this.fill_.opacity });
    };

    // Great-circle length in metres.
    Poly.prototype.getLength = function () {
        var total = 0;
        for (var i = 1; i < this.points_.length; i++)
            total += this.points_[i - 1].distanceFrom(this.points_[i]);
        if (this.isPolygon_() && this.points_.length > 2)
            total += this.points_[this.points_.length - 1].distanceFrom(this.points_[0]);
        return total;
    };

    // Area on the sphere in square metres.
    Poly.prototype.getArea = function () {
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
    Poly.prototype.setLabel = function (node) {
        if (this.label_)
            this.label_.remove();
        this.label_ = L.tooltip({ permanent: true, direction: "center", className: "gmap-label" });
        this.label_.setContent(node);
        this.updateLabel_();
    };

    Poly.prototype.labelPosition_ = function () {
        var points = this.points_;
        if (this.isPolygon_() && points.length > 2)
            return this.path_.getCenter();
        var middle = points[Math.floor((points.length - 1) / 2)];
        if (points.length % 2 === 1)
            return toLeaflet(middle);
        var next = points[points.length / 2];
        return L.latLng((middle.lat() + next.lat()) / 2, (middle.lng() + next.lng()) / 2);
    };

    Poly.prototype.updateLabel_ = function () {
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

    // Drawing: each map click adds a vertex; a click on the last vertex (the
    // second click of a double click lands there too), or on the first vertex
    // of a polygon with at least three, ends it with "endline".
    Poly.prototype.enableDrawing = function () {
        if (!this.map_)
            return;
        this.map_.startDrawing_(this);
        this.drawing_ = true;
        this.refreshHandles_();
    };

    Poly.prototype.drawClick_ = function (leafletLatLng) {
        var map = this.map_.leaflet_;
        var clicked = map.latLngToContainerPoint(leafletLatLng);
        var count = this.points_.length;
        var near = function (point) {
            return map.latLngToContainerPoint(toLeaflet(point)).distanceTo(clicked) < 6;
        };
        if ((count > 0 && near(this.points_[count - 1])) ||
            (this.isPolygon_() && count > 2 && near(this.points_[0]))) {
            this.finishDrawing_();
            return;
        }
        this.points_.push(fromLeaflet(leafletLatLng));
        this.changed_();
        this.refreshHandles_();
    };

    Poly.prototype.finishDrawing_ = function () {
        if (!this.drawing_)
            return;
        this.drawing_ = false;
        this.map_.stopDrawing_();
        this.removeHandles_();
        GEvent.trigger(this, "endline");
    };

    // Editing: vertex handles to drag or click, and midpoint handles that add
    // a vertex when dragged. {onEvent: name} switches editing by that event.
    Poly.prototype.enableEditing = function (options) {
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
    Poly.prototype.disableEditing = function (options) {
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
    Poly.prototype.removeHandles_ = function () {
        var hovered = this.hoveredHandle_;
        this.hoveredHandle_ = null;
        this.handles_.forEach(function (handle) { handle.remove(); });
        this.handles_ = [];
        if (hovered && this.editing_)
            GEvent.trigger(this, "mouseout");
    };

    Poly.prototype.makeHandle_ = function (latlng, className, draggable) {
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

    Poly.prototype.refreshHandles_ = function () {
        var self = this;
        this.removeHandles_();
        if (!this.map_ || !(this.drawing_ || this.editing_))
            return;
        var count = this.points_.length;
        this.points_.forEach(function (point, index) {
            var handle = self.makeHandle_(toLeaflet(point), "gmap-vertex", self.editing_);
            handle.on("click", function () {
                if (self.drawing_) {
                    if (index === count - 1 || (index === 0 && self.isPolygon_() && count > 2))
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
        var edges = this.isPolygon_() && count > 2 ? count : count - 1;
        for (var i = 0; i < edges; i++)
            this.makeMidpointHandle_(i, this.points_[i], this.points_[(i + 1) % count]);
    };

    Poly.prototype.makeMidpointHandle_ = function (index, from, to) {
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

    function GPolyline(points, color, weight, opacity) {
        Poly.call(this, points, {
            color: color || "#0000ff",
            weight: weight === undefined ? 5 : weight,
            opacity: opacity === undefined ? 0.45 : opacity
        }, null);
    }
    GPolyline.prototype = Object.create(Poly.prototype);
    GPolyline.prototype.constructor = GPolyline;

    function GPolygon(points, strokeColor, strokeWeight, strokeOpacity, fillColor, fillOpacity) {
        Poly.call(this, points, {
            color: strokeColor || "#0000ff",
            weight: strokeWeight === undefined ? 5 : strokeWeight,
            opacity: strokeOpacity === undefined ? 0.45 : strokeOpacity
        }, {
            color: fillColor || strokeColor || "#0000ff",
            opacity: fillOpacity === undefined ? 0.25 : fillOpacity
        });
    }
    GPolygon.prototype = Object.create(Poly.prototype);
    GPolygon.prototype.constructor = GPolygon;

    // ---- Controls ---------------------------------------------------------

    function button(parent, text, title, action) {
        var link = L.DomUtil.create("a", "gmap-button", parent);
        link.href = "#";
        link.title = title;
        link.setAttribute("role", "button");
        link.innerHTML = text;
        L.DomEvent.on(link, "click", function (e) {
            L.DomEvent.preventDefault(e);
            action();
        });
        return link;
    }

    function panPad(parent, map) {
        var pad = L.DomUtil.create("div", "gmap-panpad", parent);
        var step = 100;
        button(pad, "&#9650;", "Pan up", function () { map.panBy([0, -step]); }).className += " gmap-pan-up";
        button(pad, "&#9664;", "Pan left", function () { map.panBy([-step, 0]); }).className += " gmap-pan-left";
        button(pad, "&#9654;", "Pan right", function () { map.panBy([step, 0]); }).className += " gmap-pan-right";
        button(pad, "&#9660;", "Pan down", function () { map.panBy([0, step]); }).className += " gmap-pan-down";
    }

    function NavigationControl(className, withPan) {
        this.className_ = className;
        this.withPan_ = withPan;
    }
    NavigationControl.prototype.leafletControl_ = function (map) {
        var self = this;
        var Control = L.Control.extend({
            onAdd: function () {
                var box = L.DomUtil.create("div", "gmap-control " + self.className_);
                if (self.withPan_)
                    panPad(box, map);
                var bar = L.DomUtil.create("div", "leaflet-bar gmap-zoom", box);
                button(bar, "+", "Zoom in", function () { map.zoomIn(); });
                button(bar, "&#8722;", "Zoom out", function () { map.zoomOut(); });
                L.DomEvent.disableClickPropagation(box);
                L.DomEvent.disableScrollPropagation(box);
                return box;
            }
        });
        return new Control({ position: "topleft" });
    };

    function GLargeMapControl3D() { NavigationControl.call(this, "gmap-large-map-control", true); }
    GLargeMapControl3D.prototype = Object.create(NavigationControl.prototype);
    function GSmallMapControl() { NavigationControl.call(this, "gmap-small-map-control", true); }
    GSmallMapControl.prototype = Object.create(NavigationControl.prototype);
    function GSmallZoomControl() { NavigationControl.call(this, "gmap-small-zoom-control", false); }
    GSmallZoomControl.prototype = Object.create(NavigationControl.prototype);

    function GScaleControl() {}
    GScaleControl.prototype.leafletControl_ = function () {
        return L.control.scale({ position: "bottomleft", imperial: false });
    };

    // ---- Offline base map -------------------------------------------------

    var baseMapData = null;

    // The atlas is in spherical coordinates: a ring that crosses the 180th
    // meridian jumps by 360 degrees, which a flat map would draw as a band
    // around the world. Such rings are made continuous (the copies of the
    // world either side show the part beyond 180), and a ring that goes
    // round a pole is closed over that pole.
    function unwrappedRing(ring) {
        var out = [ring[0]];
        var shift = 0;
        for (var i = 1; i < ring.length; i++) {
            var step = ring[i][0] - ring[i - 1][0];
            if (step > 180)
                shift -= 360;
            else if (step < -180)
                shift += 360;
            out.push([ring[i][0] + shift, ring[i][1]]);
        }
        if (shift !== 0) {
            var pole = ring[0][1] < 0 ? -90 : 90;
            out.push([out[out.length - 1][0], pole], [ring[0][0], pole], ring[0]);
        }
        return out;
    }

    function isPoleCap(ring) {
        return ring.every(function (point) { return Math.abs(point[1]) > 89.9; });
    }

    function flatPolygons(polygons) {
        return polygons.map(function (polygon) {
            return polygon.filter(function (ring) { return !isPoleCap(ring); }).map(unwrappedRing);
        }).filter(function (polygon) { return polygon.length > 0; });
    }

    // Border lines are cut where they cross the 180th meridian.
    function flatLines(lines) {
        var out = [];
        lines.forEach(function (line) {
            var piece = [line[0]];
            for (var i = 1; i < line.length; i++) {
                if (Math.abs(line[i][0] - line[i - 1][0]) > 180) {
                    out.push(piece);
                    piece = [];
                }
                piece.push(line[i]);
            }
            out.push(piece);
        });
        return out.filter(function (piece) { return piece.length > 1; });
    }

    function geometries(geoJson) {
        if (geoJson.type === "FeatureCollection")
            return geoJson.features.map(function (feature) { return feature.geometry; });
        return [geoJson.type === "Feature" ? geoJson.geometry : geoJson];
    }

    function worldFeatures() {
        if (!baseMapData) {
            var atlas = global.G_WORLD_ATLAS;
            var topojson = global.topojson;
            var polygons = [];
            geometries(topojson.feature(atlas, atlas.objects.land)).forEach(function (g) {
                polygons = polygons.concat(g.type === "Polygon" ? [g.coordinates] : g.coordinates);
            });
            var borders = topojson.mesh(atlas, atlas.objects.countries, function (a, b) { return a !== b; });
            baseMapData = {
                land: { type: "MultiPolygon", coordinates: flatPolygons(polygons) },
                borders: { type: "MultiLineString", coordinates: flatLines(borders.coordinates) },
                graticule: graticule()
            };
        }
        return baseMapData;
    }

    function graticule() {
        var lines = [];
        var lat, lng, line;
        for (lng = -180; lng <= 180; lng += 10) {
            line = [];
            for (lat = -80; lat <= 80; lat += 5)
                line.push([lng, lat]);
            lines.push(line);
        }
        for (lat = -80; lat <= 80; lat += 10) {
            line = [];
            for (lng = -180; lng <= 180; lng += 5)
                line.push([lng, lat]);
            lines.push(line);
        }
        return { type: "MultiLineString", coordinates: lines };
    }

    // The world is drawn three times side by side, so that a wide window at
    // a low zoom level shows no empty band.
    function addBaseMap(map) {
        map.createPane("basemap").style.zIndex = 150;
        var renderer = L.canvas({ pane: "basemap", padding: 0.2 });
        var data = worldFeatures();
        [-360, 0, 360].forEach(function (shift) {
            var options = function (style) {
                return {
                    renderer: renderer,
                    interactive: false,
                    style: style,
                    coordsToLatLng: function (c) { return L.latLng(c[1], c[0] + shift); }
                };
            };
            L.geoJSON(data.graticule, options({ color: "#8fb8c8", weight: 0.6, opacity: 0.8 })).addTo(map);
            L.geoJSON(data.land, options({
                color: "#7f9fae", weight: 0.8, fillColor: "#f2efe4", fillOpacity: 1
            })).addTo(map);
            L.geoJSON(data.borders, options({ color: "#9c84a8", weight: 0.9, dashArray: "4 3" })).addTo(map);
        });
        var tiles = global.G_MAP_TILES;
        if (tiles && tiles.url) {
            L.tileLayer(tiles.url, { maxZoom: 19, attribution: tiles.attribution || "" }).addTo(map);
            if (tiles.attribution)
                L.control.attribution({ prefix: false }).addTo(map);
        }
    }

    // ---- The map ----------------------------------------------------------

    var maps = [];
    var mapsByContainer = new WeakMap();

    function GMap2(container) {
        var self = this;
        this.container_ = container;
        this.overlays_ = [];
        this.controls_ = [];
        this.drawing_ = null;
        this.doubleClickZoom_ = false;
        this.infoWindow_ = L.popup({ maxWidth: 400, className: "gmap-infowindow" });
        this.leaflet_ = L.map(container, {
            zoomControl: false,
            attributionControl: false,
            doubleClickZoom: false,
            scrollWheelZoom: false,
            minZoom: 0,
            maxZoom: 19
        });
        addBaseMap(this.leaflet_);
        this.leaflet_.on("click", function (e) {
            if (self.drawing_)
                self.drawing_.drawClick_(e.latlng);
            GEvent.trigger(self, "click", null, fromLeaflet(e.latlng));
        });
        this.leaflet_.on("dblclick", function (e) { GEvent.trigger(self, "dblclick", null, fromLeaflet(e.latlng)); });
        this.leaflet_.on("moveend", function () { GEvent.trigger(self, "moveend"); });
        this.leaflet_.on("zoomend", function () { GEvent.trigger(self, "zoomend"); });
        maps.push(this);
        mapsByContainer.set(container, this);
    }

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

    // ---- Geocoder ---------------------------------------------------------

    // Offline: only a "lat,lng" text is found.
    function GClientGeocoder() {}
    GClientGeocoder.prototype.getLatLng = function (address, callback) {
        var match = /^\s*([-+]?\d+(?:\.\d+)?)\s*,\s*([-+]?\d+(?:\.\d+)?)\s*$/.exec(String(address));
        var found = null;
        if (match) {
            var lat = Number(match[1]);
            var lng = Number(match[2]);
            if (Math.abs(lat) <= 90 && Math.abs(lng) <= 180)
                found = new GLatLng(lat, lng);
        }
        setTimeout(function () { callback(found); }, 0);
    };

    function GUnload() {
        maps.splice(0).forEach(function (map) { map.remove_(); });
    }

    function GBrowserIsCompatible() {
        return true;
    }

    global.GEvent = GEvent;
    global.GLatLng = GLatLng;
    global.GPoint = GPoint;
    global.GSize = GSize;
    global.GIcon = GIcon;
    global.G_DEFAULT_ICON = G_DEFAULT_ICON;
    global.GMarker = GMarker;
    global.GPolyline = GPolyline;
    global.GPolygon = GPolygon;
    global.GLargeMapControl3D = GLargeMapControl3D;
    global.GLargeMapControl = GLargeMapControl3D;
    global.GSmallMapControl = GSmallMapControl;
    global.GSmallZoomControl = GSmallZoomControl;
    global.GScaleControl = GScaleControl;
    global.GMap2 = GMap2;
    global.GClientGeocoder = GClientGeocoder;
    global.GUnload = GUnload;
    global.GBrowserIsCompatible = GBrowserIsCompatible;
})(window);
