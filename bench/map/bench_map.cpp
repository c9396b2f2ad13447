// How long one script command takes through TWebBrowser::runScriptCommand
// (median over 1,000 "fillline" commands), and how long 255 "AddMarker"
// commands and "Render" take until the page has painted them.
// Run headless: QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1
// QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu ./bench_map
#include "map/MapPage.h"
#include "map/MapUrlScheme.h"
#include "map/TWebBrowser.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

bool pagePainted(TWebBrowser& browser) {
    bool done = false;
    bool painted = false;
    browser.page()->runJavaScript(QStringLiteral("window.benchPainted === true"),
                                  [&](const QVariant& value) {
                                      painted = value.toBool();
                                      done = true;
                                  });
    return QTest::qWaitFor([&] { return done; }, 10000) && painted;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

QString markerCommand(int i) {
    return QStringLiteral("GoogleMap.AddMarker(%1,%2, \"<div id=\\\"infowindowdiv\\\">Radio %3<br>"
                          "Station 1<br>2024-05-01 12:00:00</div>\", false);")
        .arg(38.0 + (i % 16) * 0.25)
        .arg(26.0 + (i / 16) * 0.5)
        .arg(i);
}

} // namespace

int main(int argc, char** argv) {
    registerMapUrlScheme();
    QApplication app(argc, argv);
    TWebBrowser browser;
    browser.resize(1280, 800);
    browser.show();
    if (!QTest::qWaitForWindowExposed(&browser))
        return 1;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pelmormapsview.html"));
    QElapsedTimer load;
    load.start();
    for (const QString& line : mapPageLines(QString(), browser.width(), browser.height()))
        appendPageLine(path, line);
    browser.navigate(path);
    waitUntilInteractive(browser);
    const double interactiveMs = load.nsecsElapsed() / 1e6;
    if (!QTest::qWaitFor([&] { return browser.readyState() == 4; }, 30000))
        return 1;
    const double completeMs = load.nsecsElapsed() / 1e6;
    std::printf("page load: interactive %.1f ms, complete %.1f ms\n", interactiveMs, completeMs);

    browser.runScriptCommand(QStringLiteral("GoogleMap.initline();"));
    std::vector<double> perCommand;
    for (int i = 0; i < 1000; ++i) {
        const QString command = QStringLiteral("GoogleMap.fillline(%1,%2);")
                                    .arg(40.0 + i * 0.001)
                                    .arg(29.0 + i * 0.001);
        QElapsedTimer timer;
        timer.start();
        browser.runScriptCommand(command);
        perCommand.push_back(timer.nsecsElapsed() / 1e3);
    }
    std::printf("runScriptCommand fillline: median %.1f us, min %.1f us, max %.1f us (n=1000)\n",
                median(perCommand), *std::min_element(perCommand.begin(), perCommand.end()),
                *std::max_element(perCommand.begin(), perCommand.end()));

    const QString paintedMark =
        QStringLiteral("window.benchPainted = false; requestAnimationFrame(function () {"
                       " requestAnimationFrame(function () { window.benchPainted = true; }); });");
    for (const bool batched : {false, true}) {
        std::vector<double> runs;
        for (int run = 0; run < 5; ++run) {
            browser.runScriptCommand(QStringLiteral("GoogleMap.clearscreen();"));
            QElapsedTimer timer;
            timer.start();
            QStringList commands;
            for (int i = 0; i < 255; ++i)
                commands.append(markerCommand(i));
            commands.append(QStringLiteral("GoogleMap.Render(40,29.5,7);"));
            if (batched) {
                browser.runScriptCommands(commands);
            } else {
                for (const QString& command : commands)
                    browser.runScriptCommand(command);
            }
            browser.runScriptCommand(paintedMark);
            if (!QTest::qWaitFor([&] { return pagePainted(browser); }, 30000))
                return 1;
            runs.push_back(timer.nsecsElapsed() / 1e6);
        }
        std::printf("255 AddMarker + Render until painted (%s): median %.1f ms over 5 runs\n",
                    batched ? "one batch" : "one call each", median(runs));
    }
    return 0;
}
