#pragma once

#include <QString>
#include <QVariant>

class QWebEnginePage;
class TWebBrowser;

// Evaluates an expression in the page's main world and waits for its value;
// fails the running test when the page gives no answer.
QVariant evaluateInPage(QWebEnginePage* page, const QString& expression);

// How many elements of the page match the CSS selector.
int countInPage(QWebEnginePage* page, const QString& selector);

// Writes the map page into the folder as the main window does, loads it in
// the browser and waits until the map exists.
void loadMapPage(TWebBrowser& browser, const QString& folder);
