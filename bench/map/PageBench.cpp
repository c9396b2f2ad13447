#include "bench/map/PageBench.h"

#include "map/browser/MapPage.h"
#include "map/browser/TWebBrowser.h"

#include <QTest>

namespace bench {

void showMapPage(TWebBrowser& browser, const QString& path) {
    browser.resize(1280, 800);
    browser.show();
    if (!QTest::qWaitForWindowExposed(&browser))
        qFatal("The map view was not shown");
    for (const QString& line : mapPageLines(QString(), browser.width(), browser.height()))
        appendPageLine(path, line);
    browser.navigate(path);
    if (!QTest::qWaitFor([&] { return browser.readyState() == TWebBrowser::Complete; }, 30000))
        qFatal("The map page did not load");
}

QVariant evaluate(TWebBrowser& browser, const QString& expression) {
    QVariant result;
    bool done = false;
    browser.page()->runJavaScript(expression, [&](const QVariant& value) {
        result = value;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 10000))
        qFatal("The page did not answer");
    return result;
}

void waitUntilPainted(TWebBrowser& browser) {
    browser.runScriptCommand(
        QStringLiteral("window.benchPainted = false; requestAnimationFrame(function () {"
                       " requestAnimationFrame(function () { window.benchPainted = true; }); });"));
    if (!QTest::qWaitFor(
            [&] {
                return evaluate(browser, QStringLiteral("window.benchPainted === true")).toBool();
            },
            30000))
        qFatal("The page did not paint");
}

} // namespace bench
