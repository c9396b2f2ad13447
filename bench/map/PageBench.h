#pragma once

class QString;
class TWebBrowser;

// The map page in a benchmark: loaded as the window loads it, and waited on
// until what the last commands changed is on the screen.
namespace bench {

// Writes the map page to `path` and loads it; fatal when it does not load.
void loadMapPage(TWebBrowser& browser, const QString& path);

// Returns once the page has painted two frames after the call.
void waitUntilPainted(TWebBrowser& browser);

} // namespace bench
