#include "bench/map/PageBench.h"

#include "map/browser/MapPage.h"
#include "map/browser/TWebBrowser.h"

#include <QTest>

namespace bench {

void loadMapPage(TWebBrowser& browser, const QString& path) {
    for (const QString& line : mapPageLines(QString(), browser.width(), browser.height()))
        appendPageLine(path, line);
    browser.navigate(path);
    if (!QTest::qWaitFor([&] { return browser.readyState() == TWebBrowser::Complete; }, 30000))
        qFatal("The map page did not load");
}

void waitUntilPainted(TWebBrowser& browser) {
    browser.runScriptCommand(
        QStringLiteral("window.benchPainted = false; requestAnimationFrame(function () {"
                       " requestAnimationFrame(function () { window.benchPainted = true; }); });"));
    const bool painted = QTest::qWaitFor(
        [&] {
            bool done = false, value = false;
            browser.page()->runJavaScript(QStringLiteral("window.benchPainted === true"),
                                          [&](const QVariant& answer) {
                                              value = answer.toBool();
                                              done = true;
                                          });
            return QTest::qWaitFor([&] { return done; }, 10000) && value;
        },
        30000);
    if (!painted)
        qFatal("The page did not paint");
}

} // namespace bench
