// Many radios on the real page, offscreen, each figure beside its reference:
//   B9   255-radio last-position run with labels, painted  vs  the same run without
//   B10  300 radios moved in place with their labels, clusters on, painted
//        vs  the same run with clusters off
//   B11  (--soak MINUTES) 300 radios moving every second, clusters on: the
//        page's script heap and element count each minute
//
//   bench_crowd DATABASE [--soak MINUTES]   works on a copy of a simulator database
// Run headless: QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1
// QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu

#include "bench/map/PageBench.h"
#include "bench/support/BenchSupport.h"
#include "map/ScriptCommands.h"
#include "map/browser/MapUrlScheme.h"
#include "map/browser/TWebBrowser.h"
#include "store/Connection.h"
#include "store/SqliteTableReplica.h"
#include "store/TableCursor.h"
#include "ui/views/LastPositionDisplay.h"
#include "ui/views/MarkerLabels.h"
#include "ui/views/SelectedRadios.h"
#include "ui/views/ViewOutput.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtMath>

#include <cstdio>

namespace {

using bench::firstRadio;
constexpr int crowd = 300;

SelectedRadios radios255() {
    const QStringList texts = bench::radioTexts(SelectedRadios::lastReadEntry);
    SelectedRadios radios;
    radios.rebuild(texts);
    return radios;
}

MarkerLabels labelsOf255() {
    MarkerLabels labels;
    for (int i = 0; i < SelectedRadios::lastReadEntry; ++i)
        labels.names.insert(firstRadio + i, QStringLiteral("Member %1").arg(i));
    labels.now = QDateTime::currentDateTime();
    return labels;
}

// Every radio of a town-sized crowd a little further along its own circle.
QStringList crowdMoves(int step) {
    QStringList commands;
    QList<qint32> ids;
    for (int i = 0; i < crowd; ++i) {
        const double angle = i * 0.7 + step * 0.01;
        const double lat = 40.76 + (i % 20) * 0.004 + 0.001 * qSin(angle);
        const double lng = 29.92 + (i / 20) * 0.005 + 0.001 * qCos(angle);
        const qint32 radio = firstRadio + i;
        commands << ScriptCommands::placeRadio(
                        radio, QStringLiteral("%1,%2").arg(lat, 0, 'f', 6).arg(lng, 0, 'f', 6),
                        QStringLiteral("Radio %1").arg(radio))
                 << ScriptCommands::labelMarker(QStringLiteral("%1 Member").arg(radio),
                                                QStringLiteral("now"), false);
        ids << radio;
    }
    commands << ScriptCommands::keepRadios(ids);
    return commands;
}

double crowdRun(TWebBrowser& browser, bool clusters) {
    browser.runScriptCommands({ScriptCommands::clearScreen(),
                               ScriptCommands::clusterRadios(clusters),
                               QStringLiteral("GoogleMap.Render(40.8,29.96,13);")});
    int step = 0;
    return bench::medianSeconds(7, [&] {
        browser.runScriptCommands(crowdMoves(++step));
        bench::waitUntilPainted(browser);
    });
}

QString pageMemory(TWebBrowser& browser) {
    return bench::evaluate(
               browser,
               QStringLiteral("gc(); (performance.memory.usedJSHeapSize / 1048576).toFixed(2) + "
                              "' MiB script heap, ' + document.getElementsByTagName('*').length + "
                              "' elements'"))
        .toString();
}

void soak(TWebBrowser& browser, int minutes) {
    browser.runScriptCommands({ScriptCommands::clearScreen(), ScriptCommands::clusterRadios(true),
                               QStringLiteral("GoogleMap.Render(40.8,29.96,13);")});
    QElapsedTimer clock;
    clock.start();
    for (int step = 1; step <= minutes * 60; ++step) {
        browser.runScriptCommands(crowdMoves(step));
        bench::waitUntilPainted(browser);
        if (step % 60 == 0) {
            std::printf("B11 minute %d: %s\n", step / 60, qPrintable(pageMemory(browser)));
            std::fflush(stdout);
        }
        QTest::qWait(qMax(0, int(step * 1000 - clock.elapsed())));
    }
}

} // namespace

int main(int argc, char** argv) {
    // A garbage collection before each memory reading, and exact readings.
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
            qgetenv("QTWEBENGINE_CHROMIUM_FLAGS") +
                " --js-flags=--expose-gc --enable-precise-memory-info");
    registerMapUrlScheme();
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int soakAt = args.indexOf(QStringLiteral("--soak"));
    if (args.size() != (soakAt > 0 ? 4 : 2) || soakAt == 1) {
        std::fprintf(stderr, "usage: bench_crowd DATABASE [--soak MINUTES]\n");
        return 2;
    }
    QTemporaryDir dir;
    const QString database = dir.filePath(QStringLiteral("bench.db"));
    if (!QFile::copy(args[1], database))
        qFatal("Cannot copy %s", qPrintable(args[1]));

    TWebBrowser browser;
    bench::showMapPage(browser, dir.filePath(QStringLiteral("pelmormapsview.html")));

    Connection connection;
    connection.open(database);
    TableCursor cursor(sqliteReplica(connection, QStringLiteral("map_coor")));
    cursor.open();
    const SelectedRadios radios = radios255();
    const MarkerLabels labels = labelsOf255();
    const ViewOutput out{browser, [](const QString&) {}, [](const QString&) {}};
    const auto lastPositions = [&](const MarkerLabels* withLabels) {
        return bench::medianSeconds(7, [&] {
            showLastPositions(radios, cursor, QStringLiteral("12"), out, withLabels);
            bench::waitUntilPainted(browser);
        });
    };
    const double plain = lastPositions(nullptr);
    const double labelled = lastPositions(&labels);
    bench::printRatio("B9 255-radio run with labels, painted", labelled, plain, "without labels");

    const double spread = crowdRun(browser, false);
    const double clustered = crowdRun(browser, true);
    bench::printRatio("B10 300 radios moved, clusters on, painted", clustered, spread,
                      "clusters off");

    if (soakAt > 0)
        soak(browser, args[soakAt + 1].toInt());
    return 0;
}
