function TGoogleMap() {
    var map = null;
    var smallMapControl = null;
    var smallZoomControl = null;
    var COLORS = [["red", "#ff0000"], ["orange", "#ff8800"], ["green", "#008000"],
                  ["blue", "#000080"], ["purple", "#800080"]];
    var colorIndex_ = 0;
    var options = {};
    var linepoints = [];
    var shapeCounter_ = 0;
    var lineCounter_ = 0;
    var lastMarker = null;
    var addedMarkers = new WeakSet();
    var radioMarkers = {};
    var alertedTitles = {};
    var self = this;

    function OpenInfoWindowHTML(lat, lng, message) {
        map.openInfoWindowHtml(new GLatLng(lat, lng), message);
    }

    // The figure's name in its colour, and a part that its measurement
    // routine fills.
    function figureLabel(name, color) {
        var box = document.createElement("div");
        var title = document.createElement("b");
        title.style.color = color;
        title.appendChild(document.createTextNode(name));
        var value = document.createElement("span");
        box.appendChild(title);
        box.appendChild(document.createTextNode(" "));
        box.appendChild(value);
        return { box: box, value: value };
    }

    this.CreateMap = function () {
        map = new GMap2(document.getElementById("Canvas"));
        GEvent.addListener(map, "click", function (overlay, latlng) {
            if (latlng) {
                external.DoClick(latlng.lat(), latlng.lng());
            }
        });
        map.setCenter(new GLatLng(40.490607, 29.173578), 1);
        map.enableDoubleClickZoom();
        map.enableScrollWheelZoom();
        map.addControl(new GLargeMapControl3D());
        map.setUIToDefault();
    };

    // An empty zoom field gives "Render(lat,lng,)", which the script language
    // accepts; refusing it keeps such a command a failure.
    function checkZoom(method, viewlev) {
        if (typeof viewlev !== "number" || !isFinite(viewlev)) {
            throw new TypeError(method + ": the zoom level " + viewlev + " is not a number");
        }
    }

    this.Render = function (lat, lng, viewlev) {
        checkZoom("Render", viewlev);
        map.setCenter(new GLatLng(lat, lng), viewlev);
    };

    // Every marker on the map in view, with its label on either side.
    this.FitMarkers = function (viewlev) {
        checkZoom("FitMarkers", viewlev);
        map.fitMarkers(map.getOverlays().filter(function (overlay) {
            return overlay instanceof GMarker;
        }), viewlev);
    };

    this.FindGeoCode = function (address) {
        var geocoder = new GClientGeocoder();
        geocoder.getLatLng(address, function (point) {
            if (!point) {
                external.DoError("Address not found.!");
            } else {
                external.DoGeoCodeFound(point.lat(), point.lng());
            }
        });
    };

    this.AddMarker = function (lat, lng, message, draggable) {
        var marker = new GMarker(new GLatLng(lat, lng), { draggable: draggable });
        map.addOverlay(marker);
        addedMarkers.add(marker);
        lastMarker = marker;
        GEvent.addListener(marker, "click", function () {
            var point = marker.getLatLng();
            if (point) {
                external.DoMarkerClick(point.lat(), point.lng());
            }
            OpenInfoWindowHTML(lat, lng, message);
        });
    };

    // A radio's marker that stays over runs: moved in place, with the bubble
    // of its newest report, so that the view and the drawings stay.
    this.PlaceRadio = function (radio, lat, lng, message) {
        var entry = radioMarkers[radio];
        if (!entry || map.getOverlays().indexOf(entry.marker) < 0) {
            var marker = new GMarker(new GLatLng(lat, lng), { draggable: false });
            entry = { marker: marker, message: message };
            radioMarkers[radio] = entry;
            map.addOverlay(marker);
            GEvent.addListener(marker, "click", function () {
                var point = marker.getLatLng();
                external.DoMarkerClick(point.lat(), point.lng());
                OpenInfoWindowHTML(point.lat(), point.lng(), entry.message);
            });
        } else {
            entry.marker.setLatLng(new GLatLng(lat, lng));
            entry.message = message;
        }
        lastMarker = entry.marker;
    };

    // Removes the markers of radios not listed, and those of runs that
    // cleared the map.
    this.KeepRadios = function (radios) {
        var keep = {};
        radios.forEach(function (radio) {
            keep[radio] = true;
        });
        Object.keys(radioMarkers).forEach(function (radio) {
            if (!keep[radio]) {
                map.removeOverlay(radioMarkers[radio].marker);
                delete radioMarkers[radio];
            }
        });
        map.getOverlays().forEach(function (overlay) {
            if (addedMarkers.has(overlay)) {
                map.removeOverlay(overlay);
            }
        });
    };

    // The radio's title over the age of its report beside the marker added
    // last. Nothing to label before the first marker.
    this.LabelMarker = function (title, age, stale) {
        if (lastMarker) {
            lastMarker.setLabel(title, age, stale, alertedTitles[title] === true);
        }
    };

    // The labels' titles of the radios with an alert not yet acknowledged:
    // their markers get a red ring and their labels start with "alert", now and at
    // every later run, until the next list.
    this.SetAlertedRadios = function (titles) {
        alertedTitles = {};
        titles.forEach(function (title) {
            alertedTitles[title] = true;
        });
        map.getOverlays().forEach(function (overlay) {
            if (overlay instanceof GMarker && overlay.labelTitle() !== null) {
                overlay.setAlerted(alertedTitles[overlay.labelTitle()] === true);
            }
        });
    };

    // The user's areas (see the map layer's areas.js); clearing the map keeps them.
    this.ShowAreas = function (areas) {
        map.showAreas(areas);
    };

    // The vertices of every polygon drawn on the map, oldest first, each as
    // [[lat, lng], ...]: the program keeps one as an area.
    this.DrawnShapes = function () {
        return map.getOverlays().filter(function (overlay) {
            return overlay instanceof GPolygon && overlay.getVertexCount() > 2;
        }).map(function (polygon) {
            var points = [];
            for (var i = 0; i < polygon.getVertexCount(); i++) {
                var point = polygon.getVertex(i);
                points.push([point.lat(), point.lng()]);
            }
            return points;
        });
    };

    // Crowded markers grouped into clusters with their count, or not.
    this.ClusterRadios = function (on) {
        map.setClustering(!!on);
    };

    // Replay: the live overlays and view are put aside while it lasts and
    // come back as they were. Its radios stay on the map from frame to frame
    // and move in place; a click on one follows it until the map is dragged.
    var replay = null;

    this.ReplayStart = function () {
        if (replay) {
            return;
        }
        replay = { centre: map.getCenter(), zoom: map.getZoom(), live: map.getOverlays(),
                   radios: {}, follow: null, bubble: null };
        map.closeInfoWindow();
        replay.live.forEach(function (overlay) {
            map.removeOverlay(overlay);
        });
        replay.stopFollowing = GEvent.addListener(map, "dragstart", function () {
            replay.follow = null;
        });
    };

    function replayRadio(id, lat, lng) {
        var marker = new GMarker(new GLatLng(lat, lng), { draggable: false });
        var entry = { marker: marker, trail: new GReplayTrail([], 1), message: "", label: "" };
        map.addOverlay(entry.trail);
        map.addOverlay(marker);
        GEvent.addListener(marker, "click", function () {
            var point = marker.getLatLng();
            replay.follow = id;
            replay.bubble = id;
            external.DoMarkerClick(point.lat(), point.lng());
            OpenInfoWindowHTML(point.lat(), point.lng(), entry.message);
        });
        return entry;
    }

    // radios: [id, lat, lng, title, age, stale, message, trail] per radio
    // shown, the trail as lat, lng, minutes before the frame's time, oldest
    // first; span: the trail's length in minutes. Radios not listed go.
    this.ReplayFrame = function (span, radios) {
        var shown = {};
        radios.forEach(function (radio) {
            var id = radio[0];
            var entry = replay.radios[id] || (replay.radios[id] = replayRadio(id, radio[1], radio[2]));
            shown[id] = true;
            entry.marker.setLatLng(new GLatLng(radio[1], radio[2]));
            entry.message = radio[6];
            var label = radio[3] + "\n" + radio[4] + "\n" + radio[5];
            if (label !== entry.label) {
                entry.label = label;
                entry.marker.setLabel(radio[3], radio[4], radio[5]);
            }
            var trail = [];
            for (var i = 0; i + 2 < radio[7].length; i += 3) {
                trail.push({ lat: radio[7][i], lng: radio[7][i + 1], age: radio[7][i + 2] });
            }
            entry.trail.setPoints(trail, span);
        });
        Object.keys(replay.radios).forEach(function (id) {
            if (!shown[id]) {
                map.removeOverlay(replay.radios[id].marker);
                map.removeOverlay(replay.radios[id].trail);
                delete replay.radios[id];
            }
        });
        var followed = replay.follow !== null && replay.radios[replay.follow];
        if (followed) {
            map.setCenter(followed.marker.getLatLng());
        }
        // An open bubble goes with its radio and tells its report of now.
        var bubble = replay.bubble !== null && map.isInfoWindowOpen() && replay.radios[replay.bubble];
        if (bubble) {
            var point = bubble.marker.getLatLng();
            OpenInfoWindowHTML(point.lat(), point.lng(), bubble.message);
        } else if (replay.bubble !== null) {
            replay.bubble = null;
            map.closeInfoWindow();
        }
    };

    this.ReplayEnd = function () {
        if (!replay) {
            return;
        }
        GEvent.removeListener(replay.stopFollowing);
        map.closeInfoWindow();
        Object.keys(replay.radios).forEach(function (id) {
            map.removeOverlay(replay.radios[id].marker);
            map.removeOverlay(replay.radios[id].trail);
        });
        replay.live.forEach(function (overlay) {
            map.addOverlay(overlay);
        });
        map.setCenter(replay.centre, replay.zoom);
        replay = null;
    };

    this.OpenInfoWindow = function (lat, lng, message) {
        map.openInfoWindow(new GLatLng(lat, lng), document.createTextNode(message));
    };

    this.CloseInfoWindow = function () {
        map.closeInfoWindow();
    };

    this.AddSmallMapControl = function () {
        if (smallMapControl == null) {
            smallMapControl = new GSmallMapControl();
            map.addControl(smallMapControl);
        }
    };

    this.AddSmallZoomControl = function () {
        if (smallZoomControl == null) {
            smallZoomControl = new GSmallZoomControl();
            map.addControl(smallZoomControl);
        }
    };

    this.RemoveSmallMapControl = function () {
        if (smallMapControl != null) {
            map.removeControl(smallMapControl);
            smallMapControl = null;
        }
    };

    this.RemoveSmallZoomControl = function () {
        if (smallZoomControl != null) {
            map.removeControl(smallZoomControl);
            smallZoomControl = null;
        }
    };

    this.GotoCoordinat = function (lat, lng) {
        map.panTo(new GLatLng(lat, lng));
    };

    this.getColor = function (named) {
        var color = COLORS[colorIndex_ % COLORS.length];
        colorIndex_++;
        return named ? color[0] : color[1];
    };

    this.getIcon = function (color) {
        var icon = new GIcon();
        icon.image = "pelmor://maps.pelmor/mapfiles/ms/micons/" + color + ".png";
        icon.iconSize = new GSize(32, 32);
        icon.iconAnchor = new GPoint(15, 32);
        return icon;
    };

    this.startShape = function () {
        var color = self.getColor(false);
        var polygon = new GPolygon([], color, 2, 0.7, color, 0.2);
        shapeCounter_++;
        self.startDrawing(polygon, "Shape " + shapeCounter_, function () {
            var area = polygon.getArea();
            this.innerHTML = (Math.round(area / 10000) / 100) + "km<sup>2</sup>";
        }, color);
    };

    this.startLine = function () {
        var color = self.getColor(false);
        var line = new GPolyline([], color);
        lineCounter_++;
        self.startDrawing(line, "Line " + lineCounter_, function () {
            var length = line.getLength();
            this.innerHTML = (Math.round(length / 10) / 100) + "km";
        }, color);
    };

    // The label is bound before the figure is finished so that its
    // measurement follows every added, moved and deleted vertex.
    this.startDrawing = function (poly, name, onUpdate, color) {
        map.addOverlay(poly);
        poly.enableDrawing(options);
        poly.enableEditing({ onEvent: "mouseover" });
        poly.disableEditing({ onEvent: "mouseout" });
        var label = figureLabel(name, color);
        poly.setLabel(label.box);
        GEvent.bind(poly, "lineupdated", label.value, onUpdate);
        GEvent.addListener(poly, "endline", function () {
            GEvent.addListener(poly, "click", function (latlng, index) {
                if (typeof index == "number") {
                    poly.deleteVertex(index);
                } else {
                    var newColor = self.getColor(false);
                    poly.setStrokeStyle({ color: newColor, weight: 4 });
                }
            });
        });
    };

    this.placeMarker = function () {
        var listener = GEvent.addListener(map, "click", function (overlay, latlng) {
            if (latlng) {
                GEvent.removeListener(listener);
                var color = self.getColor(true);
                var marker = new GMarker(latlng, { icon: self.getIcon(color), draggable: true });
                map.addOverlay(marker);
            }
        });
    };

    this.clearscreen = function () {
        map.clearOverlays();
    };

    this.initline = function () {
        linepoints = [];
    };

    this.fillline = function (lat, lon) {
        linepoints.push(new GLatLng(lat, lon));
    };

    this.drawline = function () {
        map.addOverlay(new GPolyline(linepoints, "#ff0000", 5, 0.7));
    };

    // Beside the route line: its ends with their times and arrowheads in the
    // direction of travel. The line's points run newest first; the start is
    // the oldest report collected, on which the map was centred.
    var routePoints = [];
    this.markroute = function (startLat, startLng, startText, endLat, endLng, endText) {
        routePoints = [new GLatLng(startLat, startLng)].concat(linepoints.slice().reverse());
        if (linepoints.length === 0) {
            routePoints.push(new GLatLng(endLat, endLng));
        }
        map.addOverlay(new GRouteMarks(routePoints, startText, endText));
    };

    this.fitroute = function () {
        map.fitPoints(routePoints.length > 0 ? routePoints : linepoints, 18);
    };
}

var GoogleMap = new TGoogleMap();
