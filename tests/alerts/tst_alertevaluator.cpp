#include "alerts/AlertEvaluator.h"
#include "store/DateTimeValue.h"

#include <QTest>

#include <cmath>

namespace {

const QDateTime kStart(QDate(2026, 3, 1), QTime(8, 0));
constexpr qint32 kRadio = 7;

// A degree value as the writer stores it: "DD.MMmmmm" and a hemisphere letter.
QByteArray stored(double degrees) {
    const double magnitude = std::abs(degrees);
    const int whole = int(magnitude);
    return QByteArray::number(whole) + '.' +
           QByteArray::number(qRound((magnitude - whole) * 600000)).rightJustified(6, '0');
}

// One report of the table: minutes after kStart, a position, the radio;
// `lat` may be written as stored text to make a report that does not convert.
struct Fix {
    int minutes;
    double lat;
    double lng;
    qint32 radio = kRadio;
    QByteArray storedLat = {};
};

// map_coor's columns, filled row by row with increasing ids.
class Reports {
public:
    Reports()
        : rows_({{"id", ColumnKind::Integer},
                 {"station_name", ColumnKind::Text},
                 {"time", ColumnKind::DateTime},
                 {"radio_short_id", ColumnKind::Integer},
                 {"ns", ColumnKind::Text},
                 {"lat", ColumnKind::Text},
                 {"ew", ColumnKind::Text},
                 {"long", ColumnKind::Text},
                 {"alt", ColumnKind::Text}}) {}

    Reports& add(const Fix& fix) {
        append(++lastId_, fix);
        return *this;
    }
    // The writer edits the row in place: same id, another position.
    void move(quint32 row, const Fix& fix) {
        ColumnStore edited(rows_.columns());
        for (quint32 r = 0; r < rows_.rowCount(); ++r) {
            if (r == row) {
                std::swap(edited, rows_);
                append(r + 1, fix);
                std::swap(edited, rows_);
            } else {
                edited.appendRow(rows_.snapshot(r).cells);
            }
        }
        rows_ = std::move(edited);
    }
    const ColumnStore& rows() const { return rows_; }
    quint32 count() const { return rows_.rowCount(); }
    // As the load builds it, over all of the rows.
    RadioTimeIndex index() const {
        RadioTimeIndex index;
        index.extend(rows_);
        return index;
    }

private:
    void append(qint64 id, const Fix& fix) {
        const QByteArray lat = fix.storedLat.isEmpty() ? stored(fix.lat) : fix.storedLat;
        const QByteArray lng = stored(fix.lng);
        const QByteArray ns = fix.lat < 0 ? "S" : "N";
        const QByteArray ew = fix.lng < 0 ? "W" : "E";
        std::vector<ColumnStore::Cell> cells(9);
        cells[0].integer = id;
        cells[1].text = "station";
        cells[2].number = toDateTimeValue(kStart.addSecs(fix.minutes * 60));
        cells[3].integer = fix.radio;
        cells[4].text = ns;
        cells[5].text = lat;
        cells[6].text = ew;
        cells[7].text = lng;
        cells[8].text = "0";
        rows_.appendRow(cells);
    }

    ColumnStore rows_;
    qint64 lastId_ = 0;
};

QList<GeoPoint> square(double south, double west, double north, double east) {
    return {{south, west}, {south, east}, {north, east}, {north, west}};
}

// Three blocks in a row along the equator: A at 0..1 east, B at 2..3, C at 4..5.
std::vector<Area> blocks() {
    return {Area::polygon("A", {square(0, 0, 1, 1)}), Area::polygon("B", {square(0, 2, 1, 3)}),
            Area::polygon("C", {square(0, 4, 1, 5)})};
}

QStringList described(const QList<Alert>& alerts) {
    QStringList texts;
    for (const Alert& alert : alerts)
        texts << QString::number(alert.radio) + ' ' + alert.what();
    return texts;
}

} // namespace

Q_DECLARE_METATYPE(QList<Fix>)

class TestAlertEvaluator : public QObject {
    Q_OBJECT

private slots:
    void sequences_data();
    void sequences();
    void rulesAndRadiosChooseTheAlerts_data();
    void rulesAndRadiosChooseTheAlerts();
    void alertsCarryTheReportsTimeAndPlace();
    void startRaisesNothingForThePast();
    void silenceIsAnnouncedOnceAndClearedByTheNextReport();
    void aReportMovedInPlaceRaisesNothing();
    void newAreasTakeRadiosInQuietly();
};

// Radio 7 stands west of A at start; then the reports of one refresh.
void TestAlertEvaluator::sequences_data() {
    QTest::addColumn<QList<Fix>>("appended");
    QTest::addColumn<QStringList>("alerts");

    QTest::newRow("enter then leave in one refresh")
        << QList<Fix>{{1, 0.5, 0.5}, {2, 0.5, 1.5}} << QStringList{"7 entered A", "7 left A"};
    QTest::newRow("a jump across an area enters only where it lands")
        << QList<Fix>{{1, 0.5, 0.5}, {2, 0.5, 4.5}}
        << QStringList{"7 entered A", "7 left A", "7 entered C"};
    QTest::newRow("appended out of time order, taken in time order")
        << QList<Fix>{{3, 0.5, 0.5}, {1, 0.5, 4.5}}
        << QStringList{"7 entered C", "7 left C", "7 entered A"};
    QTest::newRow("duplicate times keep the rows' order")
        << QList<Fix>{{1, 0.5, 0.5}, {1, 0.5, -1}} << QStringList{"7 entered A", "7 left A"};
    QTest::newRow("on the border counts as inside")
        << QList<Fix>{{1, 0.5, 0.0}} << QStringList{"7 entered A"};
    QTest::newRow("moving within an area raises nothing")
        << QList<Fix>{{1, 0.5, 0.5}, {2, 0.2, 0.8}} << QStringList{"7 entered A"};
    QTest::newRow("a report that does not convert is skipped")
        << QList<Fix>{{1, 0, 0, kRadio, "0.600000"}, {2, 0.5, 2.5}} << QStringList{"7 entered B"};
    QTest::newRow("a report older than the radio's last moves nothing")
        << QList<Fix>{{-5, 0.5, 0.5}} << QStringList{};
    QTest::newRow("each radio on its own")
        << QList<Fix>{{1, 0.5, 0.5}, {1, 0.5, 0.5, 8}, {2, 0.5, 2.5, 8}}
        << QStringList{"7 entered A", "8 entered A", "8 left A", "8 entered B"};
}

void TestAlertEvaluator::sequences() {
    QFETCH(QList<Fix>, appended);
    QFETCH(QStringList, alerts);

    Reports reports;
    reports.add({0, 0.5, -1});
    AlertEvaluator evaluator(10);
    evaluator.setAreas(blocks());
    evaluator.start(reports.rows(), reports.index(), kStart);
    const quint32 first = reports.count();
    for (const Fix& fix : appended)
        reports.add(fix);

    QCOMPARE(described(evaluator.evaluate(reports.rows(), first, reports.count())), alerts);
    // Nothing is raised twice.
    QVERIFY(evaluator.evaluate(reports.rows(), reports.count(), reports.count()).isEmpty());
}

void TestAlertEvaluator::rulesAndRadiosChooseTheAlerts_data() {
    QTest::addColumn<AreaRule>("rule");
    QTest::addColumn<AreaRadios>("radios");
    QTest::addColumn<QStringList>("alerts");

    const AreaRadios all;
    QTest::newRow("both") << AreaRule::Both << all << QStringList{"7 entered A", "7 left A"};
    QTest::newRow("enter") << AreaRule::Enter << all << QStringList{"7 entered A"};
    QTest::newRow("leave") << AreaRule::Leave << all << QStringList{"7 left A"};
    QTest::newRow("the radio's project")
        << AreaRule::Both << AreaRadios{AreaRadios::Kind::Project, 2, {}}
        << QStringList{"7 entered A", "7 left A"};
    QTest::newRow("another project")
        << AreaRule::Both << AreaRadios{AreaRadios::Kind::Project, 3, {}} << QStringList{};
    QTest::newRow("chosen, among them")
        << AreaRule::Both << AreaRadios{AreaRadios::Kind::Members, 0, {5, 7}}
        << QStringList{"7 entered A", "7 left A"};
    QTest::newRow("chosen, not among them")
        << AreaRule::Both << AreaRadios{AreaRadios::Kind::Members, 0, {8}} << QStringList{};
}

void TestAlertEvaluator::rulesAndRadiosChooseTheAlerts() {
    QFETCH(AreaRule, rule);
    QFETCH(AreaRadios, radios);
    QFETCH(QStringList, alerts);

    Area area = Area::polygon("A", {square(0, 0, 1, 1)});
    area.setRule(rule);
    area.setRadios(radios);
    Reports reports;
    reports.add({0, 0.5, -1});
    AlertEvaluator evaluator(10);
    evaluator.setAreas({area});
    evaluator.setProjectsOfRadios({{kRadio, {1, 2}}});
    evaluator.start(reports.rows(), reports.index(), kStart);
    reports.add({1, 0.5, 0.5}).add({2, 0.5, 1.5});

    QCOMPARE(described(evaluator.evaluate(reports.rows(), 1, 3)), alerts);
}

void TestAlertEvaluator::alertsCarryTheReportsTimeAndPlace() {
    Reports reports;
    reports.add({0, 0.5, -1});
    AlertEvaluator evaluator(10);
    evaluator.setAreas(blocks());
    evaluator.start(reports.rows(), reports.index(), kStart);
    reports.add({3, 0.25, 0.75});

    const QList<Alert> alerts = evaluator.evaluate(reports.rows(), 1, 2);
    QCOMPARE(alerts.size(), 1);
    QCOMPARE(alerts[0].kind, Alert::Kind::Entered);
    QCOMPARE(alerts[0].area, "A");
    QCOMPARE(alerts[0].time, kStart.addSecs(180));
    QVERIFY(alerts[0].position);
    QVERIFY(std::abs(alerts[0].position->lat - 0.25) < 1e-9);
    QVERIFY(std::abs(alerts[0].position->lng - 0.75) < 1e-9);
}

void TestAlertEvaluator::startRaisesNothingForThePast() {
    Reports reports;
    // Radio 7 went into A and stays there (a late row of an older time in C
    // does not move it); radio 8 fell silent long ago.
    reports.add({0, 0.5, -1}).add({5, 0.5, 0.5}).add({-60, 0.5, 2.5, 8}).add({2, 0.5, 4.5});
    AlertEvaluator evaluator(10);
    evaluator.setAreas(blocks());
    evaluator.follow(reports.rows(), reports.index(), {true, 0, 0, reports.count()},
                     kStart.addSecs(6 * 60));
    QVERIFY(evaluator.isStarted());
    QVERIFY(evaluator.silences(kStart.addSecs(6 * 60)).isEmpty());

    reports.add({7, 0.5, 1.5}).add({8, 0.5, 3.5, 8});
    QCOMPARE(described(evaluator.follow(reports.rows(), reports.index(), {false, 4, 0, 2}, kStart)),
             (QStringList{"7 left A", "8 left B"}));
}

void TestAlertEvaluator::silenceIsAnnouncedOnceAndClearedByTheNextReport() {
    Reports reports;
    reports.add({0, 0.5, -1});
    AlertEvaluator evaluator(10);
    evaluator.start(reports.rows(), reports.index(), kStart);

    QVERIFY(evaluator.silences(kStart.addSecs(9 * 60 + 59)).isEmpty());
    const QList<Alert> silent = evaluator.silences(kStart.addSecs(12 * 60));
    QCOMPARE(described(silent), QStringList{"7 silent: no report for 10 min"});
    QCOMPARE(silent[0].time, kStart.addSecs(10 * 60));
    QVERIFY(evaluator.silences(kStart.addSecs(20 * 60)).isEmpty());

    reports.add({23, 0.5, -1});
    QCOMPARE(described(evaluator.evaluate(reports.rows(), 1, 2)),
             QStringList{"7 reporting again after 23 min"});
    // Reporting again, it may fall silent again.
    QVERIFY(evaluator.silences(kStart.addSecs(30 * 60)).isEmpty());
    QCOMPARE(evaluator.silences(kStart.addSecs(33 * 60)).size(), 1);
}

void TestAlertEvaluator::aReportMovedInPlaceRaisesNothing() {
    Reports reports;
    reports.add({0, 0.5, -1});
    AlertEvaluator evaluator(10);
    evaluator.setAreas(blocks());
    evaluator.start(reports.rows(), reports.index(), kStart);

    // The writer moves radio 7's report into A and appends one for radio 8 in
    // B; the table is read anew.
    reports.move(0, {0, 0.5, 0.5});
    reports.add({1, 0.5, 2.5, 8});
    QCOMPARE(described(evaluator.follow(reports.rows(), reports.index(), {true, 0, 0, 2}, kStart)),
             QStringList{"8 entered B"});

    // Radio 7 is in A now: its next report outside leaves it.
    reports.add({2, 0.5, -1});
    QCOMPARE(described(evaluator.follow(reports.rows(), reports.index(), {false, 2, 0, 1}, kStart)),
             QStringList{"7 left A"});
}

void TestAlertEvaluator::newAreasTakeRadiosInQuietly() {
    Reports reports;
    reports.add({0, 0.5, 0.5});
    AlertEvaluator evaluator(10);
    evaluator.start(reports.rows(), reports.index(), kStart);
    evaluator.setAreas(blocks());
    reports.add({1, 0.5, 1.5});
    QCOMPARE(described(evaluator.evaluate(reports.rows(), 1, 2)), QStringList{"7 left A"});
}

QTEST_APPLESS_MAIN(TestAlertEvaluator)
#include "tst_alertevaluator.moc"
