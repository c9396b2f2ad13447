#pragma once

#include <QVariant>

class QString;
class TWebBrowser;

// The map page in a benchmark: loaded as the window loads it, asked for
// values, and waited on until what the last commands changed is on the screen.
namespace bench {

// Shows the browser at 1280 x 800, writes the map page to `path` and loads
// it; fatal when it does not show or load.
void showMapPage(TWebBrowser& browser, const QString& path);

// The value of a script expression in the page; fatal when it gives none.
QVariant evaluate(TWebBrowser& browser, const QString& expression);

// Returns once the page has painted two frames after the call.
void waitUntilPainted(TWebBrowser& browser);

} // namespace bench
