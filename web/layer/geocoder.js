// The address search. Offline: only a "lat,lng" text is found.
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

window.GClientGeocoder = GClientGeocoder;
