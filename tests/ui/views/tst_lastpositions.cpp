#include "../../support/TestDatabase.h"
#include "CountingReplica.h"
#include "RecordingSink.h"
#include "store/Connection.h"
#include "store/DateTimeValue.h"
#include "store/SqliteTableReplica.h"
#include "store/TableCursor.h"
#include "ui/views/CentreOnRadio.h"
#include "ui/views/LastPositionDisplay.h"
#include "ui/views/MarkerLabels.h"
#include "ui/views/SelectedRadios.h"

#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

namespace {

const QString kInfoStart =
    QStringLiteral("<div id=\\\"infowindowdiv\\\"> <b>Information</b><hr><br>Radio ID: ");

SelectedRadios radiosOf(const QStringList& ids) {
    QStringList texts;
    for (const QString& id : ids)
        texts << id + "-Someone";
    SelectedRadios radios;
    radios.rebuild(texts);
    return radios;
}

QString timeText(const QString& stored) {
    return displayText(readFixedFormDateTime(stored));
}

} // namespace

class TestLastPositions : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void commandsForSelection_data();
    void commandsForSelection();
    void exactMarkerAndCentringCommands();
    void fieldsAreEscapedInTheBubble();
    void midnightShowsTheDateAlone();
    void onlyEntriesUpTo255AreRead();
    void southAndWestAreNegative();
    void failingCommandEndsTheRunAndKeepsStatus();
    void unreadableReportLeavesOnlyItsRadioOff();
    void unreadableTableKeepsThePositionsReadBefore_data();
    void unreadableTableKeepsThePositionsReadBefore();
    void secondRunShowsNewReports();
    void aRunReadsTheTableOnce();
    void gridIsLeftOnTheLastRadiosRows();
    void labelsFollowTheirMarkers();
    void failingLabelLeavesTheGridOnItsRadio();
    void labelsOfStaleReports();
    void viewModes_data();
    void viewModes();
    void centreOnOneRadio_data();
    void centreOnOneRadio();

private:
    QTemporaryDir dir_;
    Connection connection_;
    std::unique_ptr<TableCursor> table_;
    RecordingSink sink_;
};

void TestLastPositions::init() {
    const QString path = dir_.filePath("last.db");
    QFile::remove(path);
    TestDatabase(path)
        .createSchema()
        .addReport(7, "2024-03-01 10:00:00", "41.000000", "29.000000")
        .addReport(12, "2024-03-01 10:00:05", "40.300000", "28.300000")
        .addReport(7, "2024-03-01 10:01:00", "41.041234", "29.061234", "Kadikoy")
        .addReport(12, "2024-03-01 10:01:05", "40.030000", "28.030000", "Besiktas");
    connection_.open(path);
    table_ = std::make_unique<TableCursor>(sqliteReplica(connection_, "map_coor"));
    table_->open();
    sink_ = RecordingSink();
}

void TestLastPositions::cleanup() {
    table_.reset();
    connection_.close();
}

void TestLastPositions::commandsForSelection_data() {
    QTest::addColumn<QStringList>("radios");
    QTest::addColumn<QStringList>("pairs"); // marker pairs, the last one centred
    QTest::addColumn<QString>("status");
    QTest::newRow("nothing selected") << QStringList() << QStringList() << "No records found";
    QTest::newRow("radio without records")
        << QStringList{"99"} << QStringList() << "No records found";
    QTest::newRow("radio 0 is never shown")
        << QStringList{"0"} << QStringList() << "No records found";
    QTest::newRow("two radios, last report each")
        << QStringList{"7", "12"} << QStringList{"41.0687,29.1020", "40.0500,28.0500"}
        << "Record found";
    QTest::newRow("centred on the last radio with records")
        << QStringList{"12", "7", "99"} << QStringList{"40.0500,28.0500", "41.0687,29.1020"}
        << "Record found";
    QTest::newRow("same id twice gives two markers")
        << QStringList{"7", "7"} << QStringList{"41.0687,29.1020", "41.0687,29.1020"}
        << "Record found";
}

void TestLastPositions::commandsForSelection() {
    QFETCH(QStringList, radios);
    QFETCH(QStringList, pairs);
    QFETCH(QString, status);
    showLastPositions(radiosOf(radios), *table_, "18", sink_.output());

    QCOMPARE(sink_.commands.first(), QStringLiteral("GoogleMap.clearscreen();"));
    QStringList markerPairs;
    for (const QString& command : sink_.commands.mid(1, pairs.size()))
        markerPairs << command.section('(', 1).section(", \"", 0, 0);
    QCOMPARE(markerPairs, pairs);
    if (pairs.isEmpty())
        QCOMPARE(sink_.commands.size(), 1);
    else
        QCOMPARE(sink_.commands.last(), "GoogleMap.Render(" + pairs.last() + ",18);");
    QCOMPARE(sink_.statuses, QStringList{status});
}

void TestLastPositions::exactMarkerAndCentringCommands() {
    showLastPositions(radiosOf({"7"}), *table_, "18", sink_.output());
    QCOMPARE(sink_.commands, QStringList({"GoogleMap.clearscreen();",
                                          "GoogleMap.AddMarker(41.0687,29.1020, \"" + kInfoStart +
                                              "7<br>Station: Kadikoy<br>Time: " +
                                              timeText("2024-03-01 10:01:00") + "</div>\", false);",
                                          "GoogleMap.Render(41.0687,29.1020,18);"}));
}

void TestLastPositions::fieldsAreEscapedInTheBubble() {
    TestDatabase(dir_.filePath("last.db"))
        .addReport(5, "2024-03-01 11:00:00", "41.000000", "29.000000",
                   "Depot \"North\" <b>\\ 1\nx");
    showLastPositions(radiosOf({"5"}), *table_, "18", sink_.output());
    QVERIFY2(sink_.commands[1].contains(
                 "Station: Depot &quot;North&quot; &lt;b&gt;\\\\ 1\\nx<br>Time: "),
             qPrintable(sink_.commands[1]));
}

void TestLastPositions::midnightShowsTheDateAlone() {
    TestDatabase(dir_.filePath("last.db"))
        .addReport(5, "2024-03-01 00:00:00", "41.000000", "29.000000", "Midnight");
    showLastPositions(radiosOf({"5"}), *table_, "18", sink_.output());
    const QString date = QLocale().toString(QDate(2024, 3, 1), QLocale::ShortFormat);
    QVERIFY2(sink_.commands[1].contains("<br>Time: " + date + "</div>"),
             qPrintable(sink_.commands[1]));
}

void TestLastPositions::onlyEntriesUpTo255AreRead() {
    QStringList ids(255, "99");
    ids << "7";
    showLastPositions(radiosOf(ids), *table_, "18", sink_.output());
    QCOMPARE(sink_.commands.size(), 1);
    QCOMPARE(sink_.statuses, QStringList{"No records found"});
}

void TestLastPositions::southAndWestAreNegative() {
    TestDatabase(dir_.filePath("last.db"))
        .addReport(5, "2024-03-01 11:00:00", "33.520000", "70.390000", "Sydney", "S", "W");
    showLastPositions(radiosOf({"5"}), *table_, "18", sink_.output());
    QCOMPARE(sink_.commands.last(), QStringLiteral("GoogleMap.Render(-33.8666,-70.6500,18);"));
}

void TestLastPositions::failingCommandEndsTheRunAndKeepsStatus() {
    sink_.failAt = 2; // the second marker
    QVERIFY_THROWS_EXCEPTION(
        Error, showLastPositions(radiosOf({"7", "12", "7"}), *table_, "18", sink_.output()));
    QCOMPARE(sink_.commands.size(), 2);
    QCOMPARE(sink_.statuses, QStringList{"Record found"});
    // The markers went in one round trip after the clearing command, yet the
    // grid is left where the failing command's radio put it.
    QCOMPARE(sink_.roundTrips, 2);
    QCOMPARE(table_->filter(), QStringLiteral("radio_short_id=12"));
    QCOMPARE(table_->rowCount(), 2);
    QCOMPARE(table_->currentRow(), 1);
}

// A report whose coordinates do not convert leaves its radio off the map;
// the radios after it are still drawn and the map centred on the last one.
void TestLastPositions::unreadableReportLeavesOnlyItsRadioOff() {
    TestDatabase(dir_.filePath("last.db"))
        .addReport(5, "2024-03-01 11:00:00", "north", "70.390000")
        .addReport(9, "2024-03-01 11:00:00", "41.000000", "28.600000");
    const QStringList errors =
        showLastPositions(radiosOf({"7", "5", "12", "9"}), *table_, "18", sink_.output());
    QCOMPARE(sink_.commands.size(), 4);
    QVERIFY(sink_.commands[1].startsWith(QStringLiteral("GoogleMap.AddMarker(41.0687,29.1020")));
    QVERIFY(sink_.commands[2].startsWith(QStringLiteral("GoogleMap.AddMarker(40.0500,28.0500")));
    QCOMPARE(sink_.commands[3], QStringLiteral("GoogleMap.Render(40.0500,28.0500,18);"));
    QCOMPARE(sink_.statuses,
             QStringList(
                 {"Record found", "Record found \u00b7 positions of radios 5, 9 cannot be read"}));
    QCOMPARE(errors.size(), 2);
    QVERIFY2(errors[0].startsWith("Radio 5 is not shown: its report of " +
                                  timeText("2024-03-01 11:00:00") + " cannot be read. "),
             qPrintable(errors[0]));
    QVERIFY2(errors[1].startsWith("Radio 9 is not shown"), qPrintable(errors[1]));
    QCOMPARE(table_->filter(), QStringLiteral("radio_short_id=9"));

    sink_ = RecordingSink();
    QCOMPARE(showLastPositions(radiosOf({"5"}), *table_, "18", sink_.output()).size(), 1);
    QCOMPARE(sink_.commands, QStringList{"GoogleMap.clearscreen();"});
    QCOMPARE(sink_.statuses,
             QStringList{"No records found \u00b7 position of radio 5 cannot be read"});
}

// A database replaced by a file that is not one, or a position table gone,
// keeps the markers of the rows read before; the run names the failure
// through the table, and the next run after the table is back reads it anew.
void TestLastPositions::unreadableTableKeepsThePositionsReadBefore_data() {
    QTest::addColumn<QString>("breakage");
    QTest::newRow("not a database renamed over") << "garbage";
    QTest::newRow("table renamed") << "ALTER TABLE map_coor RENAME TO map_coor_old";
    QTest::newRow("table dropped") << "DROP TABLE map_coor";
}

void TestLastPositions::unreadableTableKeepsThePositionsReadBefore() {
    QFETCH(QString, breakage);
    const QString path = dir_.filePath("last.db");
    showLastPositions(radiosOf({"7", "12"}), *table_, "18", sink_.output());
    const QStringList before = sink_.commands;
    QVERIFY(table_->refreshError().isEmpty());

    QVERIFY(QFile::copy(path, dir_.filePath("saved.db")));
    if (breakage == "garbage") {
        QFile replacement(dir_.filePath("garbage.db"));
        QVERIFY(replacement.open(QIODevice::WriteOnly));
        replacement.write(QByteArray(8192, 'x'));
        replacement.close();
        QVERIFY(std::rename(qPrintable(replacement.fileName()), qPrintable(path)) == 0);
    } else {
        TestDatabase(path).exec(breakage);
    }
    for (int run = 0; run < 2; ++run) {
        sink_ = RecordingSink();
        showLastPositions(radiosOf({"7", "12"}), *table_, "18", sink_.output());
        QCOMPARE(sink_.commands, before);
        QCOMPARE(sink_.statuses, QStringList{"Record found"});
        QVERIFY(!table_->refreshError().isEmpty());
    }

    TestDatabase(dir_.filePath("saved.db"))
        .addReport(7, "2024-03-01 10:02:00", "41.500000", "29.500000", "Uskudar");
    QVERIFY(std::rename(qPrintable(dir_.filePath("saved.db")), qPrintable(path)) == 0);
    sink_ = RecordingSink();
    showLastPositions(radiosOf({"12", "7"}), *table_, "18", sink_.output());
    QVERIFY(table_->refreshError().isEmpty());
    QCOMPARE(sink_.commands.last(), QStringLiteral("GoogleMap.Render(41.8333,29.8333,18);"));
}

// Every radio of a run is shown from one read: on a server each read is a
// round trip on the window's thread.
void TestLastPositions::aRunReadsTheTableOnce() {
    auto counting = std::make_unique<CountingReplica>(sqliteReplica(connection_, "map_coor"));
    CountingReplica& replica = *counting;
    TableCursor table(std::move(counting));
    table.open();
    replica.reads = 0;
    showLastPositions(radiosOf({"7", "12"}), table, "18", sink_.output());
    QCOMPARE(replica.reads, 1);
    QCOMPARE(sink_.statuses, QStringList{"Record found"});
}

// A second run shows what another connection wrote after the first.
void TestLastPositions::secondRunShowsNewReports() {
    showLastPositions(radiosOf({"7"}), *table_, "18", sink_.output());
    QCOMPARE(sink_.commands.last(), QStringLiteral("GoogleMap.Render(41.0687,29.1020,18);"));
    showLastPositions(radiosOf({"7"}), *table_, "18", sink_.output());
    QCOMPARE(sink_.commands.last(), QStringLiteral("GoogleMap.Render(41.0687,29.1020,18);"));

    TestDatabase(dir_.filePath("last.db"))
        .addReport(7, "2024-03-01 10:02:00", "41.500000", "29.500000", "Uskudar");
    showLastPositions(radiosOf({"7"}), *table_, "18", sink_.output());
    QCOMPARE(sink_.commands.last(), QStringLiteral("GoogleMap.Render(41.8333,29.8333,18);"));
    QVERIFY(sink_.commands[sink_.commands.size() - 2].contains(QStringLiteral("Uskudar")));
}

void TestLastPositions::gridIsLeftOnTheLastRadiosRows() {
    showLastPositions(radiosOf({"7", "12", "99"}), *table_, "18", sink_.output());
    QCOMPARE(table_->filter(), QStringLiteral("radio_short_id=99"));
    QCOMPARE(table_->rowCount(), 0);
    showLastPositions(radiosOf({"12", "7"}), *table_, "18", sink_.output());
    QCOMPARE(table_->rowCount(), 2);
    QCOMPARE(table_->currentRow(), 1);
}

void TestLastPositions::labelsFollowTheirMarkers() {
    TestDatabase(dir_.filePath("last.db"))
        .addReport(5, "not a time", "41.000000", "29.000000", "Clockless");
    const MarkerLabels labels{{{7, "Bob \"Kay\"\n<i>"}},
                              fromDateTimeValue(readFixedFormDateTime(u"2024-03-01 10:04:30"))};
    showLastPositions(radiosOf({"7", "99", "12", "5"}), *table_, "18", sink_.output(), &labels);
    const QStringList& commands = sink_.commands;
    QCOMPARE(commands.size(), 8);
    QVERIFY(commands[1].startsWith("GoogleMap.AddMarker(41.0687,29.1020, "));
    QCOMPARE(commands[2], "GoogleMap.LabelMarker(\"7 Bob \\\"Kay\\\" <i>\", \"3 min\", false);");
    QVERIFY(commands[3].startsWith("GoogleMap.AddMarker(40.0500,28.0500, "));
    QCOMPARE(commands[4], "GoogleMap.LabelMarker(\"12\", \"3 min\", false);");
    QCOMPARE(commands[6], "GoogleMap.LabelMarker(\"5\", \"stale \u00b7 unknown age\", true);");
    QVERIFY(commands[7].startsWith("GoogleMap.Render("));
    QCOMPARE(sink_.statuses, QStringList{"Record found"});
}

void TestLastPositions::failingLabelLeavesTheGridOnItsRadio() {
    const MarkerLabels labels{{}, QDateTime::currentDateTime()};
    sink_.failAt = 2; // the first label
    QVERIFY_THROWS_EXCEPTION(
        Error, showLastPositions(radiosOf({"7", "12"}), *table_, "18", sink_.output(), &labels));
    QCOMPARE(sink_.commands.size(), 2);
    QCOMPARE(table_->filter(), QStringLiteral("radio_short_id=7"));
    QCOMPARE(table_->currentRow(), 1);
}

// Radio 7's report is 3 min 30 s old, radio 12's 3 min 25 s.
void TestLastPositions::labelsOfStaleReports() {
    const QDateTime now = fromDateTimeValue(readFixedFormDateTime(u"2024-03-01 10:04:30"));
    const MarkerLabels labels{{}, now, 3};
    showLastPositions(radiosOf({"7", "12"}), *table_, "18", sink_.output(), &labels);
    QCOMPARE(sink_.commands[2], "GoogleMap.LabelMarker(\"7\", \"stale \u00b7 3 min\", true);");
    QCOMPARE(sink_.commands[4], "GoogleMap.LabelMarker(\"12\", \"stale \u00b7 3 min\", true);");
    sink_ = RecordingSink();
    const MarkerLabels laterLimit{{}, now, 4};
    showLastPositions(radiosOf({"7"}), *table_, "18", sink_.output(), &laterLimit);
    QCOMPARE(sink_.commands[2], "GoogleMap.LabelMarker(\"7\", \"3 min\", false);");
}

// The commands of each mode, shortened to their function and first argument.
void TestLastPositions::viewModes_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("radios");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QString>("status");
    const int follow = int(MapViewMode::FollowLast);
    const int fit = int(MapViewMode::FitAll);
    const int keep = int(MapViewMode::KeepMine);
    QTest::newRow("follow the last radio")
        << follow << QStringList{"7", "12"}
        << QStringList{"clearscreen()",     "AddMarker(41.0687",  "LabelMarker(\"7\"",
                       "AddMarker(40.0500", "LabelMarker(\"12\"", "Render(40.0500"}
        << "Record found";
    QTest::newRow("fit all radios")
        << fit << QStringList{"7", "12"}
        << QStringList{"clearscreen()",     "AddMarker(41.0687",  "LabelMarker(\"7\"",
                       "AddMarker(40.0500", "LabelMarker(\"12\"", "FitMarkers(18)"}
        << "Record found";
    QTest::newRow("fit with nothing to show")
        << fit << QStringList{"99"} << QStringList{"clearscreen()"} << "No records found";
    QTest::newRow("keep my view") << keep << QStringList{"7", "99", "12"}
                                  << QStringList{"PlaceRadio(7", "LabelMarker(\"7\"",
                                                 "PlaceRadio(12", "LabelMarker(\"12\"",
                                                 "KeepRadios([7"}
                                  << "Record found";
    QTest::newRow("keep my view, nothing selected removes every radio")
        << keep << QStringList() << QStringList{"KeepRadios([])"} << "No records found";
}

void TestLastPositions::viewModes() {
    QFETCH(int, mode);
    QFETCH(QStringList, radios);
    QFETCH(QStringList, commands);
    QFETCH(QString, status);
    const MarkerLabels labels{{}, QDateTime::currentDateTime()};
    showLastPositions(radiosOf(radios), *table_, "18", sink_.output(), &labels, MapViewMode(mode));
    QStringList heads;
    for (const QString& command : sink_.commands)
        heads << command.mid(10).section(',', 0, 0).section(';', 0, 0);
    QCOMPARE(heads, commands);
    QCOMPARE(sink_.statuses, QStringList{status});
    if (MapViewMode(mode) == MapViewMode::KeepMine && !radios.isEmpty()) {
        QCOMPARE(sink_.commands.last(), QStringLiteral("GoogleMap.KeepRadios([7,12]);"));
        QCOMPARE(sink_.commands[0], "GoogleMap.PlaceRadio(7, 41.0687,29.1020, \"" + kInfoStart +
                                        "7<br>Station: "
                                        "Kadikoy<br>Time: " +
                                        timeText("2024-03-01 10:01:00") + "</div>\");");
    }
}

// A double-click on a member: only the centring, nothing cleared or added;
// the grid on that radio's newest report.
void TestLastPositions::centreOnOneRadio_data() {
    QTest::addColumn<int>("radio");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QString>("status");
    QTest::newRow("radio with reports")
        << 12 << QStringList{"GoogleMap.Render(40.0500,28.0500,15);"} << "Record found";
    QTest::newRow("radio without reports") << 99 << QStringList() << "No records found";
}

void TestLastPositions::centreOnOneRadio() {
    QFETCH(int, radio);
    QFETCH(QStringList, commands);
    QFETCH(QString, status);
    centreOnRadio(radio, *table_, "15", sink_.output());
    QCOMPARE(sink_.commands, commands);
    QCOMPARE(sink_.statuses, QStringList{status});
    QCOMPARE(table_->filter(), QStringLiteral("radio_short_id=%1").arg(radio));
    if (!commands.isEmpty())
        QCOMPARE(table_->currentRow(), table_->rowCount() - 1);
}

QTEST_MAIN(TestLastPositions)
#include "tst_lastpositions.moc"
