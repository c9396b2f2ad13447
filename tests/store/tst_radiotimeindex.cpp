#include "store/ColumnStore.h"
#include "store/DateTimeValue.h"
#include "store/PositionTable.h"
#include "store/RadioTimeIndex.h"

#include <QRandomGenerator>
#include <QTest>

#include <vector>

// Where each radio was at a time, against the stored times as written: the
// time column held as date-time numbers and as text, built at once and in
// appended parts.
class RadioTimeIndexTest : public QObject {
    Q_OBJECT
private slots:
    void rowAtTime_data();
    void rowAtTime();
    void trailAndNextTime_data();
    void trailAndNextTime();
    void appendedPartsEqualOneBuild_data();
    void appendedPartsEqualOneBuild();
};

namespace {

// "radio hh:mm" on the day the clocks go back; "radio garbage" for a time
// that does not read, "- hh:mm" for a row without a radio.
ColumnStore positions(ColumnKind timeKind, const QStringList& rows) {
    ColumnStore store({{PositionTable::id, ColumnKind::Integer},
                       {PositionTable::time, timeKind},
                       {PositionTable::radioShortId, ColumnKind::Integer}});
    for (qsizetype row = 0; row < rows.size(); ++row) {
        const QStringList parts = rows[row].split(u' ');
        const QByteArray text = parts[1].contains(u':')
                                    ? ("2026-10-25 " + parts[1] + ":00.000").toUtf8()
                                    : parts[1].toUtf8();
        std::vector<ColumnStore::Cell> cells(3);
        cells[0].integer = row + 1;
        if (timeKind == ColumnKind::Text) {
            cells[1].text = text;
        } else {
            cells[1].number = readStoredDateTime(QString::fromUtf8(text));
            cells[1].isNull = cells[1].number == 0;
        }
        cells[2].isNull = parts[0] == u"-";
        cells[2].integer = parts[0].toLongLong();
        store.appendRow(cells);
    }
    return store;
}

DateTimeValue at(const QString& hhmm) {
    return readStoredDateTime(QStringLiteral("2026-10-25 ") + hhmm + QStringLiteral(":00"));
}

void addForBothKinds(const char* name, const auto& add) {
    for (const auto& [kind, kindName] :
         {std::pair{ColumnKind::DateTime, "numbers"}, std::pair{ColumnKind::Text, "text"}})
        add(QTest::addRow("%s, times as %s", name, kindName) << int(kind));
}

const QStringList twoRadios = {"1 10:00", "2 10:02", "1 10:05", "1 10:05", "2 10:07", "1 10:12"};
// The clock went back at 03:00 to 02:00: 02:30 and 02:50 come twice.
const QStringList clockBack = {"1 02:30", "1 02:50", "1 02:10", "1 02:30", "1 02:50"};
const QStringList unreadable = {"1 10:00", "1 garbage",    "1 10:04",
                                "- 10:05", "1 2026/13/01", "2 garbage"};

} // namespace

void RadioTimeIndexTest::rowAtTime_data() {
    QTest::addColumn<int>("timeKind");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<qint64>("radio");
    QTest::addColumn<QString>("time");
    QTest::addColumn<int>("row"); // -1: not shown
    QTest::addColumn<int>("unreadableTimes");

    const auto add = [](const char* name, QStringList rows, qint64 radio, QString time, int row,
                        int unread = 0) {
        addForBothKinds(name,
                        [&](QTestData& data) { data << rows << radio << time << row << unread; });
    };
    add("before the first report", twoRadios, 1, "09:59", -1);
    add("exactly at the first report", twoRadios, 1, "10:00", 0);
    add("exactly at a later report", twoRadios, 2, "10:07", 4);
    add("between two reports", twoRadios, 2, "10:06", 1);
    add("equal times: the later row", twoRadios, 1, "10:05", 3);
    add("a radio that stopped keeps its last", twoRadios, 2, "23:00", 4);
    add("a radio with no reports", twoRadios, 3, "10:05", -1);
    add("clock back: the second 02:30", clockBack, 1, "02:30", 3);
    add("clock back: between the passes", clockBack, 1, "02:20", 2);
    add("clock back: the second 02:50", clockBack, 1, "02:59", 4);
    add("unreadable times left out", unreadable, 1, "23:00", 2, 2);
    add("a radio with only unreadable times", unreadable, 2, "23:00", -1, 1);
}

void RadioTimeIndexTest::rowAtTime() {
    QFETCH(int, timeKind);
    QFETCH(QStringList, rows);
    QFETCH(qint64, radio);
    QFETCH(QString, time);
    QFETCH(int, row);
    QFETCH(int, unreadableTimes);

    const ColumnStore store = positions(ColumnKind(timeKind), rows);
    RadioTimeIndex index;
    index.extend(store);
    const std::optional<quint32> found = index.rowAt(store, radio, at(time));
    QCOMPARE(found ? int(*found) : -1, row);
    const qint64 radios[] = {radio};
    QCOMPARE(int(index.unreadableTimes(radios)), unreadableTimes);
}

void RadioTimeIndexTest::trailAndNextTime_data() {
    QTest::addColumn<int>("timeKind");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QList<qint64>>("radios");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QList<int>>("trail"); // of the first radio, oldest first
    QTest::addColumn<QString>("next");     // after `to`; empty: none

    const auto add = [](const char* name, QStringList rows, QList<qint64> radios, QString from,
                        QString to, QList<int> trail, QString next) {
        addForBothKinds(
            name, [&](QTestData& data) { data << rows << radios << from << to << trail << next; });
    };
    add("both ends included", twoRadios, {1}, "10:00", "10:05", {0, 2, 3}, "10:12");
    add("ties in row order", twoRadios, {1}, "10:05", "10:11", {2, 3}, "10:12");
    add("a range with no reports", twoRadios, {1, 2}, "10:13", "11:00", {}, "");
    add("next of any radio", twoRadios, {1, 2}, "10:01", "10:05", {2, 3}, "10:07");
    add("next skips a quiet stretch", twoRadios, {1}, "09:00", "10:06", {0, 2, 3}, "10:12");
    add("clock back: by time, ties in row order", clockBack, {1}, "02:00", "02:40", {2, 0, 3},
        "02:50");
    add("unreadable times left out", unreadable, {1}, "09:00", "23:00", {0, 2}, "");
}

void RadioTimeIndexTest::trailAndNextTime() {
    QFETCH(int, timeKind);
    QFETCH(QStringList, rows);
    QFETCH(QList<qint64>, radios);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QList<int>, trail);
    QFETCH(QString, next);

    const ColumnStore store = positions(ColumnKind(timeKind), rows);
    RadioTimeIndex index;
    index.extend(store);
    const std::span<const quint32> found = index.rowsBetween(store, radios[0], at(from), at(to));
    QCOMPARE(QList<int>(found.begin(), found.end()), trail);
    const std::optional<DateTimeValue> nextTime =
        index.nextTimeAfter(store, std::span(radios.cbegin(), radios.cend()), at(to));
    QCOMPARE(nextTime.has_value(), !next.isEmpty());
    if (nextTime)
        QCOMPARE(*nextTime, at(next));
}

void RadioTimeIndexTest::appendedPartsEqualOneBuild_data() {
    QTest::addColumn<int>("timeKind");
    QTest::addColumn<int>("parts");
    QTest::addColumn<int>("minutesBack"); // how far a report may be stamped before the newest
    addForBothKinds("one part, in order", [](QTestData& data) { data << 1 << 0; });
    addForBothKinds("many parts, in order", [](QTestData& data) { data << 40 << 0; });
    addForBothKinds("many parts, clocks astray", [](QTestData& data) { data << 40 << 30; });
    // As a whole read's two halves: each indexed on its own, then joined.
    addForBothKinds("two halves joined, in order", [](QTestData& data) { data << -2 << 0; });
    addForBothKinds("two halves joined, clocks astray", [](QTestData& data) { data << -2 << 30; });
}

// Random reports of a few radios, indexed in appended parts (or in two
// halves joined, for a negative count), against a scan of every row: the
// newest at or before the time, ties to the later row.
void RadioTimeIndexTest::appendedPartsEqualOneBuild() {
    QFETCH(int, timeKind);
    QFETCH(int, parts);
    QFETCH(int, minutesBack);

    QRandomGenerator random(7);
    QStringList rows;
    int minute = 0;
    for (int row = 0; row < 2000; ++row) {
        minute += random.bounded(2);
        const int stamped = std::max(0, minute - (minutesBack ? random.bounded(minutesBack) : 0));
        rows << QStringLiteral("%1 %2:%3")
                    .arg(random.bounded(5))
                    .arg(stamped / 60 % 24, 2, 10, QChar(u'0'))
                    .arg(stamped % 60, 2, 10, QChar(u'0'));
    }
    const ColumnStore whole = positions(ColumnKind(timeKind), rows);
    RadioTimeIndex index;
    ColumnStore growing = positions(ColumnKind(timeKind), {});
    if (parts < 0) {
        const qsizetype half = rows.size() / 2 + 7;
        growing = positions(ColumnKind(timeKind), rows.mid(0, half));
        index.extend(growing);
        const ColumnStore secondHalf = positions(ColumnKind(timeKind), rows.mid(half));
        RadioTimeIndex other;
        other.extend(secondHalf);
        growing.append(positions(ColumnKind(timeKind), rows.mid(half)));
        index.append(std::move(other), growing);
    } else {
        const qsizetype partSize = rows.size() / parts;
        for (qsizetype begin = 0; begin < rows.size(); begin += partSize) {
            growing.append(positions(ColumnKind(timeKind), rows.mid(begin, partSize)));
            index.extend(growing);
        }
    }
    QCOMPARE(index.indexedRows(), whole.rowCount());

    for (int probe = 0; probe < 300; ++probe) {
        const qint64 radio = random.bounded(5);
        const int probeMinute = random.bounded(minute + 2);
        const DateTimeValue time = at(QStringLiteral("%1:%2")
                                          .arg(probeMinute / 60 % 24, 2, 10, QChar(u'0'))
                                          .arg(probeMinute % 60, 2, 10, QChar(u'0')));
        std::optional<quint32> expected;
        DateTimeValue expectedTime = 0;
        for (quint32 row = 0; row < whole.rowCount(); ++row) {
            const DateTimeValue rowTime = index.timeOf(whole, row);
            if (whole.integer(2, row) == radio && rowTime <= time && rowTime >= expectedTime) {
                expected = row;
                expectedTime = rowTime;
            }
        }
        QCOMPARE(index.rowAt(growing, radio, time), expected);
    }
}

QTEST_GUILESS_MAIN(RadioTimeIndexTest)
#include "tst_radiotimeindex.moc"
