#include "../support/TestDatabase.h"
#include "store/Connection.h"
#include "store/SqliteTableReplica.h"
#include "store/TableCursor.h"
#include "track/RouteReports.h"
#include "track/RouteSummary.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

const QDateTime kStart(QDate(2024, 3, 1), QTime(8, 0));

// lat, lng, seconds after kStart
struct Fix {
    double lat;
    double lng;
    int seconds;
};

QList<TrackPoint> track(const QList<Fix>& fixes) {
    QList<TrackPoint> points;
    for (const Fix& fix : fixes)
        points.append({kStart.addSecs(fix.seconds), fix.lat, fix.lng, QString()});
    return points;
}

} // namespace

Q_DECLARE_METATYPE(QList<TrackPoint>)

class TestRouteSummary : public QObject {
    Q_OBJECT

private slots:
    void figures_data();
    void figures();
    void unconvertedReportsAreSkippedAndCounted();
    void stopTimesAreThoseOfTheStandingReports();
    void readsTheNewestRowsAndLeavesTheCursor();
    void reportsKeepTheStoredMinutes_data();
    void reportsKeepTheStoredMinutes();
    void distanceUsesTheStoredMinutes();
};

void TestRouteSummary::figures_data() {
    QTest::addColumn<QList<TrackPoint>>("reports");
    QTest::addColumn<double>("metres"); // expected geodesic distance (GeodSolve)
    QTest::addColumn<int>("flagged");
    QTest::addColumn<double>("topKmh");
    QTest::addColumn<int>("stops");
    QTest::addColumn<qint64>("seconds");

    QTest::newRow("straight line on the equator")
        << track({{0, 0, 0}, {0, 0.5, 3600}, {0, 1, 7200}}) << 111319.490793 << 0
        << 111.319490793 / 2 << 0 << qint64(7200);
    QTest::newRow("a stop of six minutes")
        << track({{10, 10, 0}, {10.0002, 10, 120}, {10.0001, 10.0001, 360}, {10, 10.01, 960}})
        << -1.0 << 0 << -1.0 << 1 << qint64(960);
    QTest::newRow("four minutes standing is no stop")
        << track({{10, 10, 0}, {10.0002, 10, 120}, {10.0001, 10.0001, 240}, {10, 10.01, 960}})
        << -1.0 << 0 << -1.0 << 0 << qint64(960);
    QTest::newRow("duplicate times") << track({{0, 0, 0}, {0, 0.01, 0}, {0, 0.02, 60}})
                                     << 2 * 1113.194908 << 1 << 1.113194908 * 60 << 0 << qint64(60);
    QTest::newRow("a jump faster than 300 km/h")
        << track({{0, 0, 0}, {0, 1, 60}, {0, 1.001, 120}}) << 111319.490793 + 111.319491 << 1
        << 0.111319491 * 60 << 0 << qint64(120);
    QTest::newRow("one point") << track({{41, 29, 0}}) << 0.0 << 0 << 0.0 << 0 << qint64(0);
    QTest::newRow("south and west")
        << track({{-33.45, -70.66, 0}, {-34.60, -58.38, 4 * 3600}}) << 1140581.451262 << 0
        << 1140.581451262 / 4 << 0 << qint64(4 * 3600);
    QTest::newRow("across the antimeridian")
        << track({{0, 179.9, 0}, {0, -179.9, 3600}}) << 22263.898159 << 0 << 22.263898159 << 0
        << qint64(3600);
    // The example of GeographicLib's documentation: JFK to Singapore.
    QTest::newRow("published JFK to SIN")
        << track({{40.64, -73.78, 0}, {1.36, 103.99, 60 * 3600}}) << 15347512.94 << 0
        << 15347.51294 / 60 << 0 << qint64(60 * 3600);
}

void TestRouteSummary::figures() {
    QFETCH(QList<TrackPoint>, reports);
    QFETCH(double, metres);
    QFETCH(int, flagged);
    QFETCH(double, topKmh);
    QFETCH(int, stops);
    QFETCH(qint64, seconds);

    const RouteSummary summary = summarizeRoute(reports);
    QCOMPARE(summary.points, reports.size());
    QCOMPARE(summary.skipped, 0);
    if (metres >= 0)
        QVERIFY2(qAbs(summary.distanceMetres - metres) <= metres * 0.001,
                 qPrintable(QString::number(summary.distanceMetres, 'f', 3)));
    QCOMPARE(summary.flagged, flagged);
    if (topKmh >= 0)
        QVERIFY2(qAbs(summary.topKmh - topKmh) <= topKmh * 0.001 + 1e-9,
                 qPrintable(QString::number(summary.topKmh, 'f', 3)));
    QCOMPARE(summary.stops.size(), stops);
    QCOMPARE(summary.durationSeconds, seconds);
    if (seconds > 0)
        QVERIFY(qAbs(summary.averageKmh - summary.distanceMetres / 1000 / (seconds / 3600.0)) <
                1e-9);
    else
        QCOMPARE(summary.averageKmh, 0.0);
}

void TestRouteSummary::unconvertedReportsAreSkippedAndCounted() {
    QList<TrackPoint> reports = track({{0, 0, 0}, {0, 0.5, 3600}, {0, 1, 7200}});
    for (int i = 0; i < 3; ++i)
        reports.insert(1, TrackPoint{kStart.addSecs(60), std::nullopt, std::nullopt, QString()});
    const RouteSummary summary = summarizeRoute(reports);
    QCOMPARE(summary.points, 3);
    QCOMPARE(summary.skipped, 3);
    QVERIFY(qAbs(summary.distanceMetres - 111319.490793) < 1);
    const QString text = routeSummaryText(summary);
    QVERIFY2(text.contains("Points: 3 (3 reports skipped)"), qPrintable(text));
    QVERIFY2(text.contains("Distance: 111.32 km"), qPrintable(text));
    QVERIFY2(text.contains("Duration: 2:00:00"), qPrintable(text));
}

void TestRouteSummary::stopTimesAreThoseOfTheStandingReports() {
    const RouteSummary summary = summarizeRoute(
        track({{0, 0, 0}, {0, 0.01, 300}, {0, 0.0101, 600}, {0, 0.0102, 1200}, {0, 0.02, 1500}}));
    QCOMPARE(summary.stops.size(), 1);
    QCOMPARE(summary.stops[0].from, kStart.addSecs(300));
    QCOMPARE(summary.stops[0].to, kStart.addSecs(1200));
    QCOMPARE(summary.stops[0].lng, 0.01);
    QVERIFY2(routeSummaryText(summary).contains("Stops: 1\n  2024-03-01 08:05 - 08:20 (15 min)"),
             qPrintable(routeSummaryText(summary)));
}

void TestRouteSummary::readsTheNewestRowsAndLeavesTheCursor() {
    QTemporaryDir dir;
    const QString path = dir.filePath("route.db");
    {
        TestDatabase db(path);
        db.createSchema();
        db.addReport(5, "2024-03-01 08:00:00", "41.000000", "29.000000");
        db.addReport(5, "2024-03-01 08:01:00", "41.300000", "29.000000", "Base", "S", "W");
        db.addReport(5, "not a time", "4x.000000", "29.000000");
        db.addReport(5, "2024-03-01 08:03:00", "41.000000", "29.300000");
    }
    Connection connection;
    connection.open(path);
    TableCursor table(sqliteReplica(connection, "map_coor"));
    table.open();
    table.moveTo(1);

    const QList<TrackPoint> reports = newestRouteReports(table, 3);
    QCOMPARE(table.currentRow(), 1);
    QCOMPARE(reports.size(), 3);
    QCOMPARE(reports[0].time, QDateTime(QDate(2024, 3, 1), QTime(8, 1)));
    QCOMPARE(*reports[0].lat, -41.5);
    QCOMPARE(*reports[0].lng, -29.0);
    QVERIFY(!reports[1].hasPosition());
    QVERIFY(!reports[1].time.isValid());
    QCOMPARE(*reports[2].lng, 29.5);
    QCOMPARE(newestRouteReports(table, 100).size(), 4);
    QCOMPARE(newestRouteReports(table, 0).size(), 0);
}

void TestRouteSummary::reportsKeepTheStoredMinutes_data() {
    QTest::addColumn<QString>("lat");
    QTest::addColumn<QString>("ns");
    QTest::addColumn<QString>("lng");
    QTest::addColumn<QString>("ew");
    QTest::addColumn<double>("latDegrees");
    QTest::addColumn<double>("lngDegrees");
    QTest::addColumn<QString>("mapPair"); // empty: no position
    QTest::newRow("minutes in full, the map rounded")
        << "38.516811"
        << "N"
        << "029.082345"
        << "E" << 38 + 516811 / 600000.0 << 29 + 82345 / 600000.0 << "38.8614,29.1372";
    QTest::newRow("south and west")
        << "38.516811"
        << "S"
        << "029.082345"
        << "W" << -(38 + 516811 / 600000.0) << -(29 + 82345 / 600000.0) << "-38.8614,-29.1372";
    QTest::newRow("signed zero degrees") << "-0.300000"
                                         << "N"
                                         << "000.300000"
                                         << "W" << -0.5 << -0.5 << "-0.5000,-0.5000";
    QTest::newRow("the map carries, the full value does not")
        << "009.599999"
        << "N"
        << "1.599999"
        << "E" << 9 + 599999 / 600000.0 << 1 + 599999 / 600000.0 << "10.0000,2.0000";
    QTest::newRow("what the map refuses has no position") << "41.0599999"
                                                          << "N"
                                                          << "29.000000"
                                                          << "E" << 0.0 << 0.0 << "";
}

// The figures and files read the stored minutes in full; the marks keep the
// map's rounded text.
void TestRouteSummary::reportsKeepTheStoredMinutes() {
    QFETCH(QString, lat);
    QFETCH(QString, ns);
    QFETCH(QString, lng);
    QFETCH(QString, ew);
    QFETCH(double, latDegrees);
    QFETCH(double, lngDegrees);
    QFETCH(QString, mapPair);
    QTemporaryDir dir;
    const QString path = dir.filePath("route.db");
    TestDatabase(path).createSchema().addReport(5, "2024-03-01 08:00:00", lat, lng, "Base", ns, ew);
    Connection connection;
    connection.open(path);
    TableCursor table(sqliteReplica(connection, "map_coor"));
    table.open();

    const QList<TrackPoint> reports = newestRouteReports(table, 1);
    QCOMPARE(reports.size(), 1);
    QCOMPARE(reports[0].mapPair, mapPair);
    QCOMPARE(reports[0].hasPosition(), !mapPair.isEmpty());
    if (mapPair.isEmpty())
        return;
    QVERIFY2(qAbs(*reports[0].lat - latDegrees) < 1e-12,
             qPrintable(QString::number(*reports[0].lat, 'f', 12)));
    QVERIFY2(qAbs(*reports[0].lng - lngDegrees) < 1e-12,
             qPrintable(QString::number(*reports[0].lng, 'f', 12)));
}

// Two reports 0.74 m apart that the map's four decimals put 11 m apart.
void TestRouteSummary::distanceUsesTheStoredMinutes() {
    QTemporaryDir dir;
    const QString path = dir.filePath("route.db");
    TestDatabase(path)
        .createSchema()
        .addReport(5, "2024-03-01 08:00:00", "38.516808", "27.082345")
        .addReport(5, "2024-03-01 08:10:00", "38.516812", "27.082345");
    Connection connection;
    connection.open(path);
    TableCursor table(sqliteReplica(connection, "map_coor"));
    table.open();

    const QList<TrackPoint> reports = newestRouteReports(table, 2);
    QCOMPARE(reports[0].mapPair, QStringLiteral("38.8613,27.1372"));
    QCOMPARE(reports[1].mapPair, QStringLiteral("38.8614,27.1372"));
    const RouteSummary summary = summarizeRoute(reports);
    QVERIFY2(qAbs(summary.distanceMetres - 0.74) < 0.01,
             qPrintable(QString::number(summary.distanceMetres, 'f', 3)));
}

QTEST_GUILESS_MAIN(TestRouteSummary)
#include "tst_routesummary.moc"
