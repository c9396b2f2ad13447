// Listeners on any object of the layer, kept out of the objects themselves.

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

window.GEvent = GEvent;
