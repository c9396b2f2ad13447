// Coordinates, screen points and sizes, and their conversion to and from
// Leaflet's.

var EARTH_RADIUS = 6378137;

function toRadians(degrees) {
    return degrees * Math.PI / 180;
}

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

window.GLatLng = GLatLng;
window.GPoint = GPoint;
window.GSize = GSize;
