// A closed line with a fill: its last vertex joins the first once there are
// three, which the length, the label, the drawing and the editing follow.

function GPolygon(points, strokeColor, strokeWeight, strokeOpacity, fillColor, fillOpacity) {
    GPolyline.call(this, points, strokeColor, strokeWeight, strokeOpacity);
    this.fill_ = {
        color: fillColor || strokeColor || "#0000ff",
        opacity: fillOpacity === undefined ? 0.25 : fillOpacity
    };
}
GPolygon.prototype = Object.create(GPolyline.prototype);
GPolygon.prototype.constructor = GPolygon;

GPolygon.prototype.makePath_ = function (style) {
    style.className = "gmap-polygon";
    style.fillColor = this.fill_.color;
    style.fillOpacity = this.fill_.opacity;
    return L.polygon(this.leafletPoints_(), style);
};

GPolygon.prototype.isClosed_ = function () { return this.points_.length > 2; };

GPolygon.prototype.setFillStyle = function (style) {
    for (var key in style)
        this.fill_[key] = style[key];
    if (this.path_)
        this.path_.setStyle({ fillColor: this.fill_.color, fillOpacity: this.fill_.opacity });
};

GPolygon.prototype.show = function () {
    GPolyline.prototype.show.call(this);
    if (this.path_)
        this.path_.setStyle({ fillOpacity: this.fill_.opacity });
};

GPolygon.prototype.getLength = function () {
    var total = GPolyline.prototype.getLength.call(this);
    if (this.isClosed_())
        total += this.points_[this.points_.length - 1].distanceFrom(this.points_[0]);
    return total;
};

GPolygon.prototype.labelPosition_ = function () {
    return this.isClosed_() ? this.path_.getCenter() : GPolyline.prototype.labelPosition_.call(this);
};

// The first vertex too, once the shape is closed.
GPolygon.prototype.endsDrawingAt_ = function (index) {
    return GPolyline.prototype.endsDrawingAt_.call(this, index) || (index === 0 && this.isClosed_());
};

GPolygon.prototype.edgeCount_ = function () {
    return this.isClosed_() ? this.points_.length : GPolyline.prototype.edgeCount_.call(this);
};

window.GPolygon = GPolygon;
