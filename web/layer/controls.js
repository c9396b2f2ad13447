// The navigation controls (zoom, and pan where asked) and the scale.

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

window.GLargeMapControl3D = GLargeMapControl3D;
window.GLargeMapControl = GLargeMapControl3D;
window.GSmallMapControl = GSmallMapControl;
window.GSmallZoomControl = GSmallZoomControl;
window.GScaleControl = GScaleControl;
