#include "../../support/TestDatabase.h"
#include "CountingReplica.h"
#include "RecordingSink.h"
#include "store/Connection.h"
#include "store/SqliteTableReplica.h"
#include "store/TableCursor.h"
#include "ui/views/RouteDisplay.h"
#include "ui/views/SelectedRadios.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

const QDateTime kStart(QDate(2024, 3, 1), QTime(0, 0));

// Report i of the radio lies at longitude i degrees, so a point names its report.
QString point(int i) {
    return QStringLiteral("41.0000,%1.0000").arg(i);
}

SelectedRadios radiosOf(const QStringList& texts) {
    SelectedRadios radios;
    radios.rebuild(texts);
    return radios;
}

} // namespace

class TestRoute : public QObject {
    Q_OBJECT

private slots:
    void cleanup();
    void walksBackFromTheNewest_data();
    void walksBackFromTheNewest();
    void shortCountsCentreOnTheNewest_data();
    void shortCountsCentreOnTheNewest();
    void noRecords_data();
    void noRecords();
    void nothingSelectedAsksAndUsesRadioZero();
    void firstNonEmptyEntryIsTheRadio();
    void boundsIncludeBothPickerValuesToTheMillisecond();
    void countAboveTheLimitIsRefused();
    void countThatIsNoNumberFails();
    void gridShowsTheRangeWithTheWalksLastRow();
    void readHookGetsTheRouteBeforeItIsDrawn_data();
    void readHookGetsTheRouteBeforeItIsDrawn();
    void unreadableReportFailsTheLineOnItsRow();
    void routeRunReadsTheTableOnce();

private:
    // Radio 5 with `reports` reports one minute apart from kStart; radio 6 interleaved.
    void makeDatabase(int reports);
    void run(const QString& count, const QStringList& radios = {"5-Ann"}, QDateTime first = kStart,
             QDateTime last = kStart.addDays(1));

    QTemporaryDir dir_;
    Connection connection_;
    std::unique_ptr<TableCursor> table_;
    CountingReplica* replica_ = nullptr;
    RecordingSink sink_;
};

void TestRoute::makeDatabase(int reports) {
    const QString path = dir_.filePath("route.db");
    QFile::remove(path);
    TestDatabase db(path);
    db.createSchema().exec("BEGIN");
    for (int i = 0; i < reports; ++i) {
        const QString time = kStart.addSecs(60 * i).toString("yyyy-MM-dd hh:mm:ss");
        db.addReport(5, time, "41.000000", QStringLiteral("%1.000000").arg(i));
        db.addReport(6, time, "40.000000", "1.000000");
    }
    db.exec("COMMIT");
    connection_.open(path);
    auto counting = std::make_unique<CountingReplica>(sqliteReplica(connection_, "map_coor"));
    replica_ = counting.get();
    table_ = std::make_unique<TableCursor>(std::move(counting));
    table_->open();
}

void TestRoute::cleanup() {
    table_.reset();
    connection_.close();
    sink_ = RecordingSink();
}

void TestRoute::run(const QString& count, const QStringList& radios, QDateTime first,
                    QDateTime last) {
    showRoute(radiosOf(radios), *table_, RouteRequest{first, last, count, "15"}, sink_.output());
}

void TestRoute::walksBackFromTheNewest_data() {
    QTest::addColumn<int>("reports");
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<int>>("line"); // report indexes of the fillline points
    QTest::addColumn<int>("centre");
    QList<int> newest99;
    for (int i = 499; i > 400; --i)
        newest99 << i;
    QTest::newRow("100 of 500") << 500 << 100 << newest99 << 400;
    QTest::newRow("3") << 500 << 3 << QList<int>{499, 498} << 497;
    QTest::newRow("2 draws a single point") << 500 << 2 << QList<int>{499} << 498;
    QTest::newRow("10 of 4 repeats the oldest")
        << 4 << 10 << QList<int>{3, 2, 1, 0, 0, 0, 0, 0, 0} << 0;
    QTest::newRow("5 of 1") << 1 << 5 << QList<int>{0, 0, 0, 0} << 0;
    QTest::newRow("more than 255 points") << 500 << 300 << QList<int>() << 200;
}

void TestRoute::walksBackFromTheNewest() {
    QFETCH(int, reports);
    QFETCH(int, count);
    QFETCH(QList<int>, line);
    QFETCH(int, centre);
    makeDatabase(reports);
    run(QString::number(count));

    QStringList expected{"GoogleMap.clearscreen();", "GoogleMap.initline();"};
    if (line.isEmpty())
        for (int i = reports - 1; i > centre; --i)
            line << i;
    for (int i : line)
        expected << "GoogleMap.fillline(" + point(i) + ");";
    expected << "GoogleMap.drawline();"
             << "GoogleMap.Render(" + point(centre) + ", 15);";
    QCOMPARE(sink_.commands, expected);
    QVERIFY(sink_.statuses.isEmpty());
    QCOMPARE(sink_.roundTrips, 2); // the clearing command, then the line in one batch
}

void TestRoute::shortCountsCentreOnTheNewest_data() {
    QTest::addColumn<QString>("count");
    QTest::newRow("0") << "0";
    QTest::newRow("1") << "1";
    QTest::newRow("negative") << "-4";
}

void TestRoute::shortCountsCentreOnTheNewest() {
    QFETCH(QString, count);
    makeDatabase(20);
    run(count);
    QCOMPARE(sink_.commands,
             QStringList({"GoogleMap.clearscreen();", "GoogleMap.Render(" + point(19) + ", 15);"}));
}

void TestRoute::noRecords_data() {
    QTest::addColumn<QStringList>("radios");
    QTest::addColumn<QDateTime>("first");
    QTest::addColumn<QDateTime>("last");
    QTest::newRow("first date after last") << QStringList{"5-Ann"} << kStart.addDays(1) << kStart;
    QTest::newRow("range before the reports")
        << QStringList{"5-Ann"} << kStart.addDays(-2) << kStart.addSecs(-1);
    QTest::newRow("radio without reports") << QStringList{"77-Bob"} << kStart << kStart.addDays(1);
}

void TestRoute::noRecords() {
    QFETCH(QStringList, radios);
    QFETCH(QDateTime, first);
    QFETCH(QDateTime, last);
    makeDatabase(10);
    run("100", radios, first, last);
    QCOMPARE(sink_.commands, QStringList{"GoogleMap.clearscreen();"});
    QCOMPARE(sink_.statuses, QStringList{"No records found"});
}

void TestRoute::nothingSelectedAsksAndUsesRadioZero() {
    makeDatabase(10);
    run("100", {});
    QCOMPARE(sink_.messages, QStringList{"Please select a user."});
    QCOMPARE(sink_.statuses, QStringList{"No records found"});
    QCOMPARE(table_->filter().section(' ', 0, 0), QStringLiteral("radio_short_id=0"));
}

void TestRoute::firstNonEmptyEntryIsTheRadio() {
    makeDatabase(10);
    run("3", {"0-Zero", "5-Ann", "6-Bob"});
    QCOMPARE(sink_.commands.last(), "GoogleMap.Render(" + point(7) + ", 15);");
}

void TestRoute::boundsIncludeBothPickerValuesToTheMillisecond() {
    makeDatabase(10);
    // Reports 3 to 6 lie in [3 min, 6 min]; the bounds are exact report times.
    run("100", {"5-Ann"}, kStart.addSecs(180), kStart.addSecs(360));
    QCOMPARE(table_->rowCount(), 4);
    run("100", {"5-Ann"}, kStart.addMSecs(180001), kStart.addMSecs(359999));
    QCOMPARE(table_->rowCount(), 2);
}

void TestRoute::countAboveTheLimitIsRefused() {
    makeDatabase(5);
    run(QString::number(maxRoutePoints + 1));
    QCOMPARE(sink_.commands, QStringList{"GoogleMap.clearscreen();"});
    QCOMPARE(sink_.messages.size(), 1);
}

void TestRoute::countThatIsNoNumberFails() {
    makeDatabase(5);
    QVERIFY_THROWS_EXCEPTION(Error, run(""));
    QVERIFY_THROWS_EXCEPTION(Error, run("99999999999"));
    QCOMPARE(sink_.commands, QStringList({"GoogleMap.clearscreen();", "GoogleMap.clearscreen();"}));
}

void TestRoute::gridShowsTheRangeWithTheWalksLastRow() {
    makeDatabase(10);
    run("4");
    QCOMPARE(table_->rowCount(), 10);
    // The walk took points 9, 8, 7, 6 and stepped once more.
    QCOMPARE(table_->currentRow(), 5);
}

void TestRoute::readHookGetsTheRouteBeforeItIsDrawn_data() {
    QTest::addColumn<QString>("count");
    QTest::addColumn<QDateTime>("last");
    QTest::addColumn<QList<int>>("reports"); // report indexes handed over, oldest first
    QTest::newRow("drawn") << "4" << kStart.addDays(1) << QList<int>{6, 7, 8, 9};
    QTest::newRow("more than the range holds")
        << "40" << kStart.addDays(1) << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    QTest::newRow("count 0 centres on the newest") << "0" << kStart.addDays(1) << QList<int>{9};
    QTest::newRow("count no number: the run fails first")
        << "x" << kStart.addDays(1) << QList<int>();
    QTest::newRow("no records: not called") << "4" << kStart.addSecs(-1) << QList<int>();
}

void TestRoute::readHookGetsTheRouteBeforeItIsDrawn() {
    QFETCH(QString, count);
    QFETCH(QDateTime, last);
    QFETCH(QList<int>, reports);
    makeDatabase(10);
    QList<int> seen;
    const auto read = [&](const Route& route) {
        QCOMPARE(route.count, count.toInt());
        for (const TrackPoint& report : route.reports)
            seen << int(*report.lng);
        QCOMPARE(sink_.commands, QStringList{"GoogleMap.clearscreen();"});
    };
    try {
        showRoute(radiosOf({"5-Ann"}), *table_, RouteRequest{kStart, last, count, "15"},
                  sink_.output(), read);
    } catch (const Error&) {
        QCOMPARE(count, QStringLiteral("x"));
    }
    QCOMPARE(seen, reports);
}

// The line, its centre and the reports handed over come from one reading of
// the rows: a report that does not convert fails the line where the walk
// meets it, and the table is left on that report.
void TestRoute::unreadableReportFailsTheLineOnItsRow() {
    makeDatabase(10);
    TestDatabase(dir_.filePath("route.db"))
        .addReport(5, kStart.addSecs(60 * 10).toString("yyyy-MM-dd hh:mm:ss"), "41.000000",
                   "28.600000");
    QVERIFY_THROWS_EXCEPTION(Error, run("3"));
    QCOMPARE(sink_.commands, QStringList{"GoogleMap.clearscreen();"});
    QCOMPARE(table_->currentRow(), 10);
    sink_ = RecordingSink();
    run("3", {"5-Ann"}, kStart, kStart.addSecs(60 * 9));
    QCOMPARE(sink_.commands.last(), "GoogleMap.Render(" + point(7) + ", 15);");
}

// The line, the end marks, the summary and the export come from one read of
// the table.
void TestRoute::routeRunReadsTheTableOnce() {
    makeDatabase(50);
    const int before = replica_->reads;
    int routes = 0;
    showRoute(radiosOf({"5-Ann"}), *table_, RouteRequest{kStart, kStart.addDays(1), "20", "15"},
              sink_.output(), [&](const Route& route) {
                  ++routes;
                  QCOMPARE(route.reports.size(), 20);
              });
    QCOMPARE(routes, 1);
    QCOMPARE(replica_->reads - before, 1);
    QVERIFY(sink_.commands.contains("GoogleMap.drawline();"));
}

QTEST_MAIN(TestRoute)
#include "tst_route.moc"
