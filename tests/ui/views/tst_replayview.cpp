#include "map/ScriptCommands.h"
#include "store/ColumnStore.h"
#include "store/DateTimeValue.h"
#include "store/PositionTable.h"
#include "store/RadioTimeIndex.h"
#include "ui/views/MarkerLabels.h"
#include "ui/views/ReplayView.h"

#include <QTest>

Q_DECLARE_METATYPE(ScriptCommands::ReplayRadio)

// The replay's frame command from the reports as stored: who is shown, where,
// with which label and trail, at a time.
class ReplayViewTest : public QObject {
    Q_OBJECT
private slots:
    void frameAtTime_data();
    void frameAtTime();
    void interpolatedPosition_data();
    void interpolatedPosition();
    void longTrailKeepsItsCornerAndEndsAtTheMarker();
    void gridRowAndClickedRadio();
};

namespace {

struct Report {
    qint32 radio;
    const char* time; // hh:mm:ss on 2026-03-10
    const char* lat;
    const char* lng;
};

ColumnStore positions(const QList<Report>& reports) {
    ColumnStore store({{PositionTable::id, ColumnKind::Integer},
                       {PositionTable::stationName, ColumnKind::Text},
                       {PositionTable::time, ColumnKind::DateTime},
                       {PositionTable::radioShortId, ColumnKind::Integer},
                       {PositionTable::ns, ColumnKind::Text},
                       {PositionTable::lat, ColumnKind::Text},
                       {PositionTable::ew, ColumnKind::Text},
                       {PositionTable::lng, ColumnKind::Text}});
    qint64 id = 0;
    for (const Report& report : reports) {
        std::vector<ColumnStore::Cell> cells(8);
        cells[0].integer = ++id;
        cells[1].text = "Depot";
        cells[2].number = readFixedFormDateTime(QStringLiteral("2026-03-10 ") + report.time);
        cells[3].integer = report.radio;
        cells[4].text = "N";
        cells[5].text = report.lat;
        cells[6].text = "E";
        cells[7].text = report.lng;
        store.appendRow(cells);
    }
    return store;
}

QDateTime at(const char* time) {
    return fromDateTimeValue(readFixedFormDateTime(QStringLiteral("2026-03-10 ") + time));
}

using Trail = QList<std::pair<QString, double>>;

ScriptCommands::ReplayRadio shown(qint32 radio, const QString& pair, const QString& title,
                                  const QString& age, bool stale, const char* time, Trail trail) {
    return {radio,
            pair,
            title,
            age,
            stale,
            ScriptCommands::infoWindowHtml(QString::number(radio), QStringLiteral("Depot"),
                                           displayText(toDateTimeValue(at(time)))),
            trail};
}

const QList<Report> reports = {{7, "10:00:00", "41.000000", "29.000000"},
                               {7, "10:04:00", "41.060000", "29.060000"},
                               {12, "10:05:00", "40.300000", "28.300000"},
                               {7, "10:06:00", "41.120000", "29.120000"},
                               {12, "10:07:00", "bad", "28.300000"}};

} // namespace

void ReplayViewTest::frameAtTime_data() {
    QTest::addColumn<QString>("time");
    QTest::addColumn<int>("staleMinutes");
    QTest::addColumn<QList<ScriptCommands::ReplayRadio>>("expected");
    QTest::newRow("before every first report")
        << "09:59:59" << 10 << QList<ScriptCommands::ReplayRadio>{};
    QTest::newRow("exactly at a report, the other radio not yet")
        << "10:04:00" << 10
        << QList{shown(7, "41.1000,29.1000", "7 Ann", "now", false, "10:04:00",
                       {{"41.0000,29.0000", 4}, {"41.1000,29.1000", 0}})};
    QTest::newRow("between reports, stale against the replay's time")
        << "10:06:30" << 1
        << QList{
               shown(
                   7, "41.2000,29.2000", "7 Ann", "now", false, "10:06:00",
                   {{"41.0000,29.0000", 6.5}, {"41.1000,29.1000", 2.5}, {"41.2000,29.2000", 0.5}}),
               shown(12, "40.5000,28.5000", "12", "stale \u00b7 1 min", true, "10:05:00",
                     {{"40.5000,28.5000", 1.5}})};
    QTest::newRow("older reports leave the trail, a position that does not convert the map")
        << "10:14:30" << 10
        << QList{shown(7, "41.2000,29.2000", "7 Ann", "8 min", false, "10:06:00",
                       {{"41.2000,29.2000", 8.5}})};
}

void ReplayViewTest::frameAtTime() {
    QFETCH(QString, time);
    QFETCH(int, staleMinutes);
    QFETCH(QList<ScriptCommands::ReplayRadio>, expected);

    const ColumnStore rows = positions(reports);
    RadioTimeIndex index;
    index.extend(rows);
    ReplayView view(rows, index);
    const MarkerLabels labels{{{7, QStringLiteral("Ann")}}, at(qPrintable(time)), staleMinutes};
    QCOMPARE(view.frameCommand({7, 12, 30}, labels, 10), ScriptCommands::replayFrame(10, expected));
}

void ReplayViewTest::interpolatedPosition_data() {
    QTest::addColumn<bool>("interpolate");
    QTest::addColumn<qint32>("radio");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("pair"); // empty: not shown
    QTest::addColumn<QString>("age");
    QTest::addColumn<QString>("trailEnd"); // the newest trail point's minutes

    QTest::newRow("before the first report") << true << 7 << "09:59:00"
                                             << ""
                                             << ""
                                             << "";
    QTest::newRow("exactly at a report") << true << 7 << "10:04:00"
                                         << "41.1000,29.1000"
                                         << "now"
                                         << "0.00";
    QTest::newRow("halfway between two under the stale gap") << true << 7 << "10:05:00"
                                                             << "41.1500,29.1500"
                                                             << "~ 1 min"
                                                             << "0.00";
    QTest::newRow("a quarter of the way") << true << 7 << "10:01:00"
                                          << "41.0250,29.0250"
                                          << "~ 1 min"
                                          << "0.00";
    QTest::newRow("between two over the stale gap: at the older") << true << 7 << "10:13:00"
                                                                  << "41.2000,29.2000"
                                                                  << "7 min"
                                                                  << "7.00";
    QTest::newRow("at equal times: the one written last") << true << 9 << "10:02:00"
                                                          << "40.1000,28.1000"
                                                          << "now"
                                                          << "0.00";
    QTest::newRow("after equal times: from the one written last") << true << 9 << "10:02:30"
                                                                  << "40.1500,28.1500"
                                                                  << "~ now"
                                                                  << "0.00";
    QTest::newRow("a radio with one report") << true << 14 << "10:08:00"
                                             << "40.5000,28.5000"
                                             << "3 min"
                                             << "3.00";
    QTest::newRow("a next report that does not convert") << true << 12 << "10:05:30"
                                                         << "40.5000,28.5000"
                                                         << "now"
                                                         << "0.50";
    QTest::newRow("off: at the report before") << false << 7 << "10:05:00"
                                               << "41.1000,29.1000"
                                               << "1 min"
                                               << "1.00";
}

void ReplayViewTest::interpolatedPosition() {
    QFETCH(bool, interpolate);
    QFETCH(qint32, radio);
    QFETCH(QString, time);
    QFETCH(QString, pair);
    QFETCH(QString, age);
    QFETCH(QString, trailEnd);

    const ColumnStore rows = positions({{7, "10:00:00", "41.000000", "29.000000"},
                                        {9, "10:02:00", "40.000000", "28.000000"},
                                        {9, "10:02:00", "40.060000", "28.060000"},
                                        {9, "10:03:00", "40.120000", "28.120000"},
                                        {7, "10:04:00", "41.060000", "29.060000"},
                                        {12, "10:05:00", "40.300000", "28.300000"},
                                        {12, "10:06:00", "bad", "28.360000"},
                                        {14, "10:05:00", "40.300000", "28.300000"},
                                        {7, "10:06:00", "41.120000", "29.120000"},
                                        {7, "10:20:00", "41.180000", "29.180000"}});
    RadioTimeIndex index;
    index.extend(rows);
    ReplayView view(rows, index);
    const QString command =
        view.frameCommand({radio}, MarkerLabels{{}, at(qPrintable(time)), 10}, 10, interpolate);
    if (pair.isEmpty()) {
        QCOMPARE(command, ScriptCommands::replayFrame(10, {}));
        return;
    }
    const QString marker = QStringLiteral("[%1,%2,\"%1\",\"%3\",").arg(radio).arg(pair, age);
    QVERIFY2(command.contains(marker), qPrintable(command));
    QVERIFY2(command.endsWith(pair + u',' + trailEnd + QStringLiteral("]]]);")),
             qPrintable(command));
    QCOMPARE(view.radioAt(pair.section(u',', 0, 0).toDouble(), pair.section(u',', 1, 1).toDouble()),
             std::optional(radio));
}

void ReplayViewTest::longTrailKeepsItsCornerAndEndsAtTheMarker() {
    // 600 reports a second apart: east along a street for 347 s, then north
    // round the corner, 1e-4 degrees a second.
    constexpr int corner = 347;
    QList<Report> many;
    std::vector<QByteArray> texts;
    for (int second = 0; second < 600; ++second) {
        const int north = std::max(0, second - corner);
        const int east = std::min(second, corner);
        texts.push_back(QTime(10, 0).addSecs(second).toString("HH:mm:ss").toLatin1());
        texts.push_back(QByteArray("41.") + QByteArray::number(60 * north).rightJustified(6, '0'));
        texts.push_back(QByteArray("29.") + QByteArray::number(60 * east).rightJustified(6, '0'));
    }
    for (int i = 0; i < 600; ++i)
        many.append({7, texts[3 * i].constData(), texts[3 * i + 1].constData(),
                     texts[3 * i + 2].constData()});
    const ColumnStore rows = positions(many);
    RadioTimeIndex index;
    index.extend(rows);
    ReplayView view(rows, index);
    const QString command = view.frameCommand({7}, MarkerLabels{{}, at("10:09:59"), 10}, 10);
    const QStringList trail = command.section(u'[', 3).section(u']', 0, 0).split(u',');
    QVERIFY2(trail.size() <= 3 * ReplayView::maxTrailPoints, qPrintable(trail.join(u',')));
    QVERIFY2(trail.join(u',').startsWith(QStringLiteral("41.0000,29.0000,9.98")),
             qPrintable(trail.join(u',')));
    QVERIFY2(trail.join(u',').contains(QStringLiteral("41.0000,29.0347,4.20")),
             qPrintable(trail.join(u',')));
    QVERIFY2(trail.join(u',').endsWith(QStringLiteral("41.0252,29.0347,0.00")),
             qPrintable(trail.join(u',')));
}

void ReplayViewTest::gridRowAndClickedRadio() {
    // Radio 12's report at 10:06:00 shares its time with radio 7's, one row later.
    QList<Report> tied = reports;
    tied.append({12, "10:06:00", "40.300000", "28.300000"});
    const ColumnStore rows = positions(tied);
    RadioTimeIndex index;
    index.extend(rows);
    ReplayView view(rows, index);
    QCOMPARE(view.newestRowAt({7, 12}, toDateTimeValue(at("10:06:00"))), std::optional(5u));
    QCOMPARE(view.newestRowAt({7}, toDateTimeValue(at("10:06:00"))), std::optional(3u));
    QCOMPARE(view.newestRowAt({7, 12}, toDateTimeValue(at("09:00:00"))), std::nullopt);

    view.frameCommand({7, 12}, MarkerLabels{{}, at("10:04:30"), 10}, 10);
    QCOMPARE(view.radioAt(41.1, 29.1), std::optional(7));
    QCOMPARE(view.radioAt(41.2, 29.2), std::nullopt);
    // A click the page reported while the next frame was on its way.
    view.frameCommand({7, 12}, MarkerLabels{{}, at("10:06:30"), 10}, 10);
    QCOMPARE(view.radioAt(41.1, 29.1), std::optional(7));
    QCOMPARE(view.radioAt(41.2, 29.2), std::optional(7));
    view.frameCommand({7, 12}, MarkerLabels{{}, at("10:07:00"), 10}, 10);
    QCOMPARE(view.radioAt(41.1, 29.1), std::nullopt);
}

QTEST_GUILESS_MAIN(ReplayViewTest)
#include "tst_replayview.moc"
