// Injected into every document before its own scripts run: `external` takes
// the page's calls at once and hands them on, in order, to the program's
// object once the web channel is connected; the channel also reports when
// the document has been parsed.
(function () {
    "use strict";
    var host = null;
    var waiting = [];

    function forward(name) {
        return function () {
            var args = Array.prototype.slice.call(arguments);
            if (host)
                host[name].apply(host, args);
            else
                waiting.push([name, args]);
        };
    }

    var external = {
        DoError: forward("DoError"),
        DoGeoCodeFound: forward("DoGeoCodeFound"),
        DoClick: forward("DoClick"),
        DoMarkerClick: forward("DoMarkerClick")
    };
    Object.defineProperty(window, "external", {
        value: external,
        configurable: true,
        writable: true
    });

    new QWebChannel(qt.webChannelTransport, function (channel) {
        host = channel.objects.external;
        waiting.splice(0).forEach(function (call) {
            host[call[0]].apply(host, call[1]);
        });
        var pageLoad = channel.objects.pageLoad;
        if (document.readyState === "loading")
            document.addEventListener("DOMContentLoaded", function () { pageLoad.documentParsed(); });
        else
            pageLoad.documentParsed();
    });
})();
