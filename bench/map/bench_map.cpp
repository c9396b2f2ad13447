// The views and the script bridge through the real page, offscreen:
//   B4  route run of 10,000 points in range, route count 10,000, from the
//       button's work to the line painted, the grid following the walk  vs  B1
//   B6  255 AddMarker + Render, and 10,000 fillline: one round trip per
//       command against one batch
//
//   bench_map DATABASE     works on a copy with 10,000 extra reports of one radio
// Run headless: QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1
// QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu

#include "bench/map/PageBench.h"
#include "bench/support/BenchSupport.h"
#include "map/browser/MapUrlScheme.h"
#include "map/browser/TWebBrowser.h"
#include "store/Connection.h"
#include "store/SqliteTableReplica.h"
#include "store/TableCursor.h"
#include "ui/views/RouteDisplay.h"
#include "ui/views/SelectedRadios.h"
#include "ui/views/ViewOutput.h"
#include "ui/widgets/EventLogGrid.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdio>

namespace {

constexpr int routeRadio = 101;
constexpr int routePoints = 10000;

// Reports a second apart over the last hours, all in the route's range.
void addDenseRadio(const QString& database) {
    sqlite3* db = nullptr;
    sqlite3_open(database.toUtf8().constData(), &db);
    const QByteArray sql =
        QStringLiteral("WITH RECURSIVE n(v) AS (SELECT 1 UNION ALL SELECT v + 1 FROM n"
                       " WHERE v < %1) INSERT INTO map_coor(station_name, time,"
                       " radio_short_id, ns, lat, ew, long, alt) SELECT 'Dense',"
                       " strftime('%Y-%m-%d %H:%M:%S', 'now', '-' || v || ' seconds'),"
                       " %2, 'N', '40.' || substr('0' || (v % 60), -2) || substr('000' || (v % "
                       "10000), -4), 'E',"
                       " '29.' || substr('0' || (v / 200), -2) || substr('000' || (v % 7000), -4), "
                       "'10' FROM n")
            .arg(routePoints)
            .arg(routeRadio)
            .toUtf8();
    if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        qFatal("Adding the route's reports failed: %s", sqlite3_errmsg(db));
    sqlite3_close(db);
}

QString markerCommand(int i) {
    return QStringLiteral("GoogleMap.AddMarker(%1,%2, \"<div id=\\\"infowindowdiv\\\">Radio %3<br>"
                          "Station 1<br>2024-05-01 12:00:00</div>\", false);")
        .arg(38.0 + (i % 16) * 0.25)
        .arg(26.0 + (i / 16) * 0.5)
        .arg(i);
}

void compareBatching(TWebBrowser& browser, const char* name, const QStringList& commands,
                     int runs) {
    const auto run = [&](bool batched) {
        return bench::medianSeconds(
            runs,
            [&] {
                if (batched) {
                    browser.runScriptCommands(commands);
                } else {
                    for (const QString& command : commands)
                        browser.runScriptCommand(command);
                }
                bench::waitUntilPainted(browser);
            },
            [&] { browser.runScriptCommand(QStringLiteral("GoogleMap.clearscreen();")); });
    };
    const double single = run(false);
    const double batched = run(true);
    bench::printRatio(name, batched, single, "one per round trip");
    std::printf("   batch %.0fx faster\n", single / batched);
}

} // namespace

int main(int argc, char** argv) {
    registerMapUrlScheme();
    QApplication app(argc, argv);
    if (app.arguments().size() != 2) {
        std::fprintf(stderr, "usage: bench_map DATABASE\n");
        return 2;
    }
    QTemporaryDir dir;
    const QString database = dir.filePath(QStringLiteral("bench.db"));
    if (!QFile::copy(app.arguments()[1], database))
        qFatal("Cannot copy %s", qPrintable(app.arguments()[1]));
    addDenseRadio(database);

    TWebBrowser browser;
    bench::showMapPage(browser, dir.filePath(QStringLiteral("pelmormapsview.html")));

    Connection connection;
    connection.open(database);
    const double load = bench::medianSeconds(3, [&] {
        TableCursor cursor(sqliteReplica(connection, QStringLiteral("map_coor")));
        cursor.open();
    });
    TableCursor cursor(sqliteReplica(connection, QStringLiteral("map_coor")));
    cursor.open();
    EventLogGrid grid;
    grid.resize(911, 147);
    grid.bind(&cursor);
    grid.show();

    SelectedRadios radios;
    radios.rebuild({QString::number(routeRadio) + QStringLiteral("-Dense")});
    const RouteRequest request{QDateTime(QDate(2000, 1, 1), QTime(0, 0)),
                               QDateTime(QDate(2100, 1, 1), QTime(0, 0)),
                               QString::number(routePoints), QStringLiteral("12")};
    const ViewOutput out{browser, [](const QString&) {}, [](const QString&) {}};
    const double route = bench::medianSeconds(3, [&] {
        showRoute(radios, cursor, request, out);
        bench::waitUntilPainted(browser);
    });
    bench::printRatio("B4 route of 10,000 points, painted", route, load, "B1");
    std::printf("   %d reports in the range\n", cursor.rowCount());

    QStringList markers;
    for (int i = 0; i < 255; ++i)
        markers << markerCommand(i);
    markers << QStringLiteral("GoogleMap.Render(40,29.5,7);");
    compareBatching(browser, "B6 255 AddMarker + Render, painted", markers, 5);

    QStringList line{QStringLiteral("GoogleMap.initline();")};
    for (int i = 0; i < routePoints; ++i)
        line << QStringLiteral("GoogleMap.fillline(%1,%2);")
                    .arg(40.0 + i * 1e-4)
                    .arg(29.0 + i * 1e-4);
    line << QStringLiteral("GoogleMap.drawline();");
    compareBatching(browser, "B6 10,000 fillline + drawline, painted", line, 3);
    return 0;
}
