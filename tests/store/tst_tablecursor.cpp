#include "../support/TestDatabase.h"

#include "app/Error.h"
#include "store/Connection.h"
#include "store/TableCursor.h"
#include <sqlite3.h>

#include <QLocale>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <cstdio>
#include <limits>
#include <thread>

class TableCursorTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void columnKindsFollowDeclaredTypes();
    void comparisonPerKind_data();
    void comparisonPerKind();
    void filterAppliesOnlyWhileSwitchedOn();
    void invalidFilterFailsWhenSet_data();
    void invalidFilterFailsWhenSet();
    void refilterKeepsThePassingCurrentRow();
    void filterNoRowPasses();
    void movesAndFlags();
    void walkUntilAtEnd_data();
    void walkUntilAtEnd();
    void readingFields_data();
    void readingFields();
    void unknownColumnNamesIt();
    void integerReadingFailures_data();
    void integerReadingFailures();
    void refreshShowsEveryChange_data();
    void refreshShowsEveryChange();
    void failedRereadKeepsTheEarlierRows();
    void equalityAgreesWithTheScan_data();
    void equalityAgreesWithTheScan();
    void refreshReturnsToTheEqualRow_data();
    void refreshReturnsToTheEqualRow();
    void refreshWaitsForAShortLock();
    void refreshFailsWhileLockIsHeld();
    void replacedFileIsReadAnew();
    void failedCheckChangesNothing();
    void endlessReadStopsAtItsBound_data();
    void endlessReadStopsAtItsBound();
    void applyFilterResetsOnce_data();
    void applyFilterResetsOnce();
    void loadBesideTheCursor_data();
    void loadBesideTheCursor();
    void largeTableLoadsInHalves();
    void checkRoundReadsEachRowOnce();

private:
    QList<qint32> passingKeys(TableCursor& cursor);
    static QStringList allText(const TableCursor& cursor);
    void openCursor(TableCursor& cursor);
    void openFiltered(TableCursor& cursor, const QString& filter);

    QTemporaryDir dir_;
    QString path_;
    Connection connection_;
};

void TableCursorTest::initTestCase() {
    QVERIFY(dir_.isValid());
    // A collation that orders lower case before upper case, and digits first.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TableCursorTest::init() {
    path_ = dir_.filePath(QStringLiteral("%1.db").arg(QTest::currentTestFunction()));
    QFile::remove(path_);
    TestDatabase db(path_);
    QCOMPARE(db.execute("CREATE TABLE kinds(k INTEGER, i INTEGER, r REAL, t TEXT, d DATETIME);"
                        "INSERT INTO kinds VALUES(1, 7, 1.5, 'apple', '2012-05-03 14:22:33');"
                        "INSERT INTO kinds VALUES(2, 8, 2.0, 'Apple', '2012-05-02 10:00:00');"
                        "INSERT INTO kinds VALUES(3, NULL, NULL, NULL, NULL);"
                        "INSERT INTO kinds VALUES(4, 12, 1.000005, 'banana', '2012/05/04 08:00');"
                        "INSERT INTO kinds VALUES(5, -3, 0.0, '7', '2012-05-03');"),
             QString());
    connection_.open(path_);
}

void TableCursorTest::cleanup() {
    connection_.close();
}

// An incremental cursor reads beside this thread: the refresh after that
// read shows its rows.
void TableCursorTest::openCursor(TableCursor& cursor) {
    cursor.open();
    cursor.waitForBackgroundWork();
    cursor.refresh();
    QVERIFY(cursor.isOpen());
}

void TableCursorTest::openFiltered(TableCursor& cursor, const QString& filter) {
    openCursor(cursor);
    cursor.setFiltered(false);
    cursor.setFilter(filter);
    cursor.setFiltered(true);
}

QList<qint32> TableCursorTest::passingKeys(TableCursor& cursor) {
    QList<qint32> keys;
    for (cursor.first(); !cursor.atEnd(); cursor.next())
        keys << cursor.fieldAsInteger(QStringLiteral("k"));
    return keys;
}

// Every passing row's values, the column names first.
QStringList TableCursorTest::allText(const TableCursor& cursor) {
    QStringList texts;
    for (int c = 0; c < cursor.columnCount(); ++c)
        texts << cursor.columnName(c);
    for (int row = 0; row < cursor.rowCount(); ++row) {
        for (int c = 0; c < cursor.columnCount(); ++c)
            texts << cursor.displayText(row, c);
    }
    return texts;
}

void TableCursorTest::columnKindsFollowDeclaredTypes() {
    TestDatabase db(path_);
    QCOMPARE(db.execute("CREATE TABLE types(a BIGINT, b DOUBLE PRECISION, c NUMERIC(10,2),"
                        " d TIMESTAMP, e DATE, f VARCHAR(20), g BLOB, h, i FLOAT, j TINYINT)"),
             QString());
    TableCursor cursor(connection_, QStringLiteral("types"));
    openCursor(cursor);
    const QList<ColumnKind> expected = {
        ColumnKind::Integer,  ColumnKind::Real,   ColumnKind::Real, ColumnKind::DateTime,
        ColumnKind::DateTime, ColumnKind::Text,   ColumnKind::Text, ColumnKind::Text,
        ColumnKind::Real,     ColumnKind::Integer};
    QCOMPARE(cursor.columnCount(), expected.size());
    for (int c = 0; c < cursor.columnCount(); ++c)
        QCOMPARE(cursor.columnKind(c), expected[c]);
}

void TableCursorTest::comparisonPerKind_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QList<qint32>>("keys");
    QTest::newRow("integer =") << "i=7" << QList<qint32>{1};
    QTest::newRow("integer >=, NULL fails") << "i>=7" << QList<qint32>{1, 2, 4};
    QTest::newRow("integer <=, NULL holds") << "i<=7" << QList<qint32>{1, 3, 5};
    QTest::newRow("integer, text literal") << "i='8'" << QList<qint32>{2};
    QTest::newRow("integer, text literal not a number is 0") << "i<='x'" << QList<qint32>{3, 5};
    QTest::newRow("integer, negative literal") << "i=-3" << QList<qint32>{5};
    QTest::newRow("real within tolerance") << "r=1" << QList<qint32>{4};
    QTest::newRow("real, text literal") << "r='1.5'" << QList<qint32>{1};
    QTest::newRow("real >=") << "r>=2" << QList<qint32>{2};
    QTest::newRow("real <=, NULL holds") << "r<=0" << QList<qint32>{3, 5};
    QTest::newRow("real, text not a number is 0") << "r='abc'" << QList<qint32>{5};
    QTest::newRow("text is case-sensitive") << "t='apple'" << QList<qint32>{1};
    QTest::newRow("text by collation") << "t<='Apple'" << QList<qint32>{1, 2, 3, 5};
    QTest::newRow("text >=") << "t>='b'" << QList<qint32>{4};
    QTest::newRow("text, integer literal in decimal") << "t=7" << QList<qint32>{5};
    QTest::newRow("date-time >= fixed form")
        << "d>='2012-05-03 00:00:00'" << QList<qint32>{1, 4, 5};
    QTest::newRow("date-time <= date alone") << "d<='2012-05-03'" << QList<qint32>{2, 3, 5};
    QTest::newRow("date-time exact") << "d='2012-05-03 14:22:33'" << QList<qint32>{1};
    QTest::newRow("date-time, integer literal as days") << "d=41032" << QList<qint32>{5};
    QTest::newRow("date-time, literal of another form")
        << "d>='03.05.2012 00:00:00'" << QList<qint32>{1, 2, 4, 5};
    QTest::newRow("and") << "i>=7 and t<='b'" << QList<qint32>{1, 2};
    QTest::newRow("column names ignore case") << "I=7" << QList<qint32>{1};
}

void TableCursorTest::comparisonPerKind() {
    QFETCH(QString, filter);
    QFETCH(QList<qint32>, keys);
    TableCursor cursor(connection_, QStringLiteral("kinds"));
    openFiltered(cursor, filter);
    QCOMPARE(cursor.rowCount(), keys.size());
    QCOMPARE(passingKeys(cursor), keys);
}

void TableCursorTest::filterAppliesOnlyWhileSwitchedOn() {
    TableCursor cursor(connection_, QStringLiteral("kinds"));
    openCursor(cursor);
    QSignalSpy resets(&cursor, &TableCursor::rowsReset);

    cursor.setFilter(QStringLiteral("i=8"));
    QCOMPARE(cursor.filter(), QStringLiteral("i=8"));
    QCOMPARE(cursor.rowCount(), 5);
    QCOMPARE(resets.size(), 0);

    cursor.setFiltered(true);
    QCOMPARE(cursor.rowCount(), 1);
    QCOMPARE(cursor.fieldAsInteger(QStringLiteral("k")), 2);

    cursor.setFilter(QStringLiteral("i>=8"));
    QCOMPARE(cursor.rowCount(), 2);

    cursor.setFilter(QString());
    QCOMPARE(cursor.rowCount(), 5);

    cursor.setFilter(QStringLiteral("i=8"));
    cursor.setFiltered(false);
    QCOMPARE(cursor.rowCount(), 5);
    QCOMPARE(resets.size(), 5);
}

void TableCursorTest::invalidFilterFailsWhenSet_data() {
    QTest::addColumn<bool>("filtered");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("named");
    QTest::newRow("grammar, filtering off") << false << "i="
                                            << "i=";
    QTest::newRow("grammar, filtering on") << true << "i=7 or i=8"
                                           << "i=7 or i=8";
    QTest::newRow("unknown column, filtering off") << false << "radio=7"
                                                   << "radio";
}

// The previous text stays in force, so a view that sets filters with
// filtering off is left with every row passing.
void TableCursorTest::invalidFilterFailsWhenSet() {
    QFETCH(bool, filtered);
    QFETCH(QString, filter);
    QFETCH(QString, named);
    TableCursor cursor(connection_, QStringLiteral("kinds"));
    openCursor(cursor);
    cursor.setFilter(QStringLiteral("i>=7"));
    cursor.setFiltered(filtered);
    try {
        cursor.setFilter(filter);
        QFAIL("the filter was accepted");
    } catch (const Error& error) {
        QVERIFY2(error.message().contains(named), qPrintable(error.message()));
    }
    QCOMPARE(cursor.filter(), QStringLiteral("i>=7"));
    QCOMPARE(cursor.rowCount(), filtered ? 3 : 5);
}

void TableCursorTest::refilterKeepsThePassingCurrentRow() {
    TableCursor cursor(connection_, QStringLiteral("kinds"));
    openCursor(cursor);
    cursor.moveTo(3); // k = 4
    cursor.setFilter(QStringLiteral("i>=8"));
    cursor.setFiltered(true);
    QCOMPARE(cursor.fieldAsInteger(QStringLiteral("k")), 4);
    QCOMPARE(cursor.currentRow(), 1);

    cursor.setFilter(QStringLiteral("i<=7"));
    QCOMPARE(cursor.currentRow(), 0);
    QCOMPARE(cursor.fieldAsInteger(QStringLiteral("k")), 1);

    cursor.moveTo(2); // k = 5
    cursor.setFiltered(false);
    QCOMPARE(cursor.fieldAsInteger(QStringLiteral("k")), 5);
}

void TableCursorTest::filterNoRowPasses() {
    TableCursor cursor(connection_, QStringLiteral("kinds"));
    openCursor(cursor);
    cursor.setFilter(QStringLiteral("i=99"));
    cursor.setFiltered(true);
    QCOMPARE(cursor.rowCount(), 0);
    QCOMPARE(cursor.currentRow(), -1);
    cursor.first();
    QVERIFY(cursor.atEnd());
    cursor.last();
    QVERIFY(cursor.atBeginning());
    cursor.next();
    cursor.prior();
    QCOMPARE(cursor.currentRow(), -1);
    QCOMPARE(cursor.fieldAsText(QStringLiteral("t")), QString());
    QCOMPARE(cursor.fieldAsInteger(QStringLiteral("i")), 0);
    QCOMPARE(cursor.fieldAsDateTime(QStringLiteral("d")), 0.0);
    QCOMPARE(cursor.displayText(0, 0), QString());
}

void TableCursorTest::movesAndFlags() {
    TableCursor cursor(connection_, QStringLiteral("kinds"));
    openCursor(cursor);
    cursor.setFilter(QStringLiteral("i>=7"));
    cursor.setFiltered(true); // k = 1, 2, 4
    QSignalSpy moves(&cursor, &TableCursor::currentRowChanged);

    const auto expect = [&](int row, bool atBeginning, bool atEnd) {
        QCOMPARE(cursor.currentRow(), row);
        QCOMPARE(cursor.atBeginning(), atBeginning);
        QCOMPARE(cursor.atEnd(), atEnd);
    };
    expect(0, true, false);
    cursor.next();
    expect(1, false, false);
    cursor.last();
    expect(2, false, true);
    cursor.next();
    expect(2, false, true);
    cursor.prior();
    expect(1, false, false);
    cursor.first();
    expect(0, true, false);
    cursor.prior();
    expect(0, true, false);
    QCOMPARE(cursor.fieldAsInteger(QStringLiteral("k")), 1);
    cursor.moveTo(2);
    expect(2, false, false);
    cursor.moveTo(7);
    expect(2, false, false);
    QCOMPARE(moves.size(), 5); // the moves that went nowhere signal nothing
    QCOMPARE(moves.last().first().toInt(), 2);
}

void TableCursorTest::walkUntilAtEnd_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QList<qint32>>("keys");
    QTest::newRow("all rows") << "" << QList<qint32>{1, 2, 3, 4, 5};
    QTest::newRow("one row") << "k=3" << QList<qint32>{3};
    QTest::newRow("no row") << "k=9" << QList<qint32>{};
}

void TableCursorTest::walkUntilAtEnd() {
    QFETCH(QString, filter);
    QFETCH(QList<qint32>, keys);
    TableCursor cursor(connection_, QStringLiteral("kinds"));
    openFiltered(cursor, filter);
    QCOMPARE(passingKeys(cursor), keys);
}

void TableCursorTest::readingFields_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint32>("integer");
    QTest::addColumn<double>("dateTime");
    const double may3 = 41032;
    const double may3At142233 = may3 + (14 * 3600 + 22 * 60 + 33) / 86400.0;
    QTest::newRow("integer") << 0 << "i"
                             << "7" << 7 << 7.0;
    QTest::newRow("negative integer") << 4 << "i"
                                      << "-3" << -3 << -3.0;
    QTest::newRow("integer NULL") << 2 << "i"
                                  << "" << 0 << 0.0;
    QTest::newRow("text NULL") << 2 << "t"
                               << "" << 0 << 0.0;
    QTest::newRow("date-time NULL") << 2 << "d"
                                    << "" << 0 << 0.0;
    QTest::newRow("text holding an integer") << 4 << "t"
                                             << "7" << 7 << 0.0;
    QTest::newRow("date-time fixed form") << 0 << "d"
                                          << "5/3/12 2:22:33\u202fPM" << 41032 << may3At142233;
    QTest::newRow("date-time year first")
        << 3 << "d"
        << "5/4/12 8:00:00\u202fAM" << 41033 << may3 + 1 + 8 / 24.0;
    QTest::newRow("date-time at midnight") << 4 << "d"
                                           << "5/3/12" << 41032 << may3;
    QTest::newRow("real") << 0 << "r"
                          << "1.5" << 1 << 1.5;
}

void TableCursorTest::readingFields() {
    QFETCH(int, row);
    QFETCH(QString, column);
    QFETCH(QString, text);
    QFETCH(qint32, integer);
    QFETCH(double, dateTime);
    TableCursor cursor(connection_, QStringLiteral("kinds"));
    openCursor(cursor);
    cursor.moveTo(row);
    QCOMPARE(cursor.fieldAsText(column).replace(u'\u202f', u' '), text.replace(u'\u202f', u' '));
    QCOMPARE(cursor.fieldAsInteger(column), integer);
    QCOMPARE(cursor.fieldAsDateTime(column), dateTime);
}

void TableCursorTest::unknownColumnNamesIt() {
    TableCursor cursor(connection_, QStringLiteral("kinds"));
    openCursor(cursor);
    for (const auto& read :
         {std::function<void()>([&] { cursor.fieldAsText(QStringLiteral("station")); }),
          std::function<void()>([&] { cursor.fieldAsInteger(QStringLiteral("station")); }),
          std::function<void()>([&] { cursor.fieldAsDateTime(QStringLiteral("station")); })}) {
        try {
            read();
            QFAIL("an unknown column was read");
        } catch (const Error& error) {
            QVERIFY2(error.message().contains(QStringLiteral("station")),
                     qPrintable(error.message()));
        }
    }
}

void TableCursorTest::integerReadingFailures_data() {
    QTest::addColumn<QString>("column");
    QTest::addColumn<QByteArray>("value");
    QTest::newRow("beyond 32 bits") << "n" << QByteArray("3000000000");
    QTest::newRow("below 32 bits") << "n" << QByteArray("-3000000000");
    QTest::newRow("text that is no integer") << "s" << QByteArray("'apple'");
    QTest::newRow("real beyond 32 bits") << "x" << QByteArray("3e9");
    QTest::newRow("real infinite") << "x" << QByteArray("-1e999");
    QTest::newRow("real not a number") << "x" << QByteArray("'nan'");
}

void TableCursorTest::integerReadingFailures() {
    QFETCH(QString, column);
    QFETCH(QByteArray, value);
    TestDatabase db(path_);
    QCOMPARE(db.execute("CREATE TABLE wide(n INTEGER, s TEXT, x REAL); INSERT INTO wide VALUES(" +
                        value + ", " + value + ", " + value + ")"),
             QString());
    TableCursor cursor(connection_, QStringLiteral("wide"));
    openCursor(cursor);
    QVERIFY_THROWS_EXCEPTION(Error, cursor.fieldAsInteger(column));
}

void TableCursorTest::refreshShowsEveryChange_data() {
    QTest::addColumn<QByteArray>("change");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<bool>("appended");
    QTest::addColumn<bool>("incremental");
    // Appended rows show at the next refresh; with incremental refresh any
    // other change, a new column too, shows once the check and the whole read
    // beside the cursor's thread have run.
    struct Change {
        const char* name;
        QByteArray sql;
        bool appended;
    };
    const QList<Change> changes = {
        {"rows appended",
         "INSERT INTO kinds VALUES(6, 7, 0, 'x', '2012-05-05 00:00:00');"
         "INSERT INTO kinds VALUES(7, 9, 0, 'y', '2012-05-05 00:00:00')",
         true},
        {"a row in the middle changed", "UPDATE kinds SET t='cherry', d='2013-01-01' WHERE k=2",
         false},
        {"the indexed value changed", "UPDATE kinds SET i=7 WHERE k=4", false},
        {"a row became NULL", "UPDATE kinds SET i=NULL, t=NULL WHERE k=1", false},
        {"rows deleted", "DELETE FROM kinds WHERE k IN (1, 4)", false},
        {"the last row deleted", "DELETE FROM kinds WHERE k=5", false},
        {"every row deleted", "DELETE FROM kinds", false},
        {"a row moved to the front", "UPDATE kinds SET rowid=0 WHERE k=5", false},
        {"a row changed before many appended",
         "WITH RECURSIVE n(v) AS (SELECT 1 UNION ALL SELECT v + 1 FROM n WHERE v < 9000)"
         " INSERT INTO kinds SELECT 100 + v, v % 9, v / 7.0, 'text ' || v, NULL FROM n;"
         " UPDATE kinds SET r = 2.5 WHERE k = 4",
         false},
        {"a column added", "ALTER TABLE kinds ADD COLUMN extra INTEGER DEFAULT 7", false},
        {"another table written", "CREATE TABLE other(x); INSERT INTO other VALUES(1)", true},
        {"a wide integer and many distinct texts",
         "WITH RECURSIVE n(v) AS (SELECT 1 UNION ALL SELECT v + 1 FROM n WHERE v < 9000)"
         " INSERT INTO kinds SELECT 100 + v, CASE v WHEN 8000 THEN 7000000000 ELSE v % 9 END,"
         " v / 7.0, 'text ' || v, '2012-05-05 00:00:00' FROM n",
         true},
    };
    for (const bool incremental : {false, true}) {
        const char* mode = incremental ? "incremental" : "whole";
        for (const auto& [name, sql, appended] : changes) {
            QTest::addRow("%s, unfiltered, %s", name, mode)
                << sql << QString() << appended << incremental;
            QTest::addRow("%s, i=7, %s", name, mode)
                << sql << QStringLiteral("i=7") << appended << incremental;
            QTest::addRow("%s, text range, %s", name, mode)
                << sql << QStringLiteral("t>='b' and k<=6000") << appended << incremental;
        }
    }
}

// Whatever another connection commits, a refresh shows the table exactly as
// a first reading by a new connection does: at once for appended rows, once
// the check of the rows before has run for any other change.
void TableCursorTest::refreshShowsEveryChange() {
    QFETCH(QByteArray, change);
    QFETCH(QString, filter);
    QFETCH(bool, appended);
    QFETCH(bool, incremental);
    TableCursor cursor(connection_, QStringLiteral("kinds"));
    cursor.setIncrementalRefresh(incremental);
    openCursor(cursor);
    cursor.setFilter(filter);
    // The second look at a column builds its index, which rows appended
    // later must join.
    cursor.setFiltered(true);
    cursor.setFiltered(false);
    cursor.setFiltered(true);
    cursor.refresh();

    TestDatabase writer(path_);
    QCOMPARE(writer.execute(change), QString());
    cursor.refresh();
    if (incremental && !appended) {
        cursor.waitForBackgroundWork();
        cursor.refresh();
    }

    Connection second;
    second.open(path_);
    TableCursor fresh(second, QStringLiteral("kinds"));
    fresh.open();
    fresh.setFilter(filter);
    fresh.setFiltered(true);
    QCOMPARE(allText(cursor), allText(fresh));
    cursor.setFiltered(false);
    fresh.setFiltered(false);
    QCOMPARE(allText(cursor), allText(fresh));
}

void TableCursorTest::equalityAgreesWithTheScan_data() {
    QTest::addColumn<QByteArray>("values");
    QTest::newRow("close together") << QByteArray("101, 102, 101, NULL, 103, 101");
    QTest::newRow("far apart") << QByteArray(
        "-9223372036854775808, 9223372036854775807, 0, 5, NULL, 5, -1, 77777777777");
    QTest::newRow("texts and reals in the column") << QByteArray("'12', 12.7, ' 12 ', 'x', 0, 12");
}

// The index that serves "column=value" finds exactly the rows a scan does.
void TableCursorTest::equalityAgreesWithTheScan() {
    QFETCH(QByteArray, values);
    TestDatabase writer(path_);
    QCOMPARE(writer.execute("CREATE TABLE numbers(n INTEGER); INSERT INTO numbers VALUES(" +
                            values.replace(", ", "), (") + ")"),
             QString());
    TableCursor indexed(connection_, QStringLiteral("numbers"));
    indexed.open();
    TableCursor scanned(connection_, QStringLiteral("numbers"));
    scanned.open();
    for (int row = 0; row < indexed.rowCount(); ++row) {
        const QString value = indexed.displayText(row, 0);
        if (value.isEmpty())
            continue;
        indexed.setFilter(QStringLiteral("n=") + value);
        indexed.setFiltered(true);
        scanned.setFilter(QStringLiteral("n>=%1 and n<=%1").arg(value));
        scanned.setFiltered(true);
        QCOMPARE(allText(indexed), allText(scanned));
        indexed.setFiltered(false);
    }
}

// A reading that fails part-way, after rows that differ have been read,
// leaves the rows read before exactly as they were.
void TableCursorTest::failedRereadKeepsTheEarlierRows() {
    TestDatabase writer(path_);
    QCOMPARE(writer.execute("CREATE VIEW checked AS SELECT k, t,"
                            " CASE WHEN k = 99 THEN abs(-9223372036854775807 - 1) END AS fault"
                            " FROM kinds"),
             QString());
    TableCursor cursor(connection_, QStringLiteral("checked"));
    openCursor(cursor);
    const QStringList before = allText(cursor);

    QCOMPARE(writer.execute("UPDATE kinds SET t='changed' WHERE k=2;"
                            "INSERT INTO kinds(k, t) VALUES(6, 'new'), (99, 'fails')"),
             QString());
    QVERIFY_THROWS_EXCEPTION(Error, cursor.refresh());
    QCOMPARE(allText(cursor), before);

    QCOMPARE(writer.execute("DELETE FROM kinds WHERE k=99"), QString());
    cursor.refresh();
    QCOMPARE(cursor.rowCount(), 6);
    QCOMPARE(cursor.displayText(1, 1), QStringLiteral("changed"));
    QCOMPARE(cursor.displayText(5, 1), QStringLiteral("new"));
}

void TableCursorTest::refreshReturnsToTheEqualRow_data() {
    QTest::addColumn<QByteArray>("before"); // run before the cursor opens
    QTest::addColumn<int>("row");
    QTest::addColumn<QByteArray>("change");
    QTest::addColumn<qint32>("key");
    QTest::addColumn<int>("rowAfter");
    const QByteArray none("SELECT 1");
    QTest::newRow("nothing changed") << none << 3 << none << 4 << 3;
    QTest::newRow("rows before it deleted")
        << none << 3 << QByteArray("DELETE FROM kinds WHERE k<3") << 4 << 1;
    QTest::newRow("rows appended")
        << none << 4 << QByteArray("INSERT INTO kinds(k) VALUES(9)") << 5 << 4;
    QTest::newRow("the row changed")
        << none << 3 << QByteArray("UPDATE kinds SET t='cherry' WHERE k=4") << 1 << 0;
    QTest::newRow("the row deleted")
        << none << 3 << QByteArray("DELETE FROM kinds WHERE k=4") << 1 << 0;
    QTest::newRow("an equal row before it")
        << none << 2 << QByteArray("INSERT INTO kinds(rowid, k) VALUES(0, 3)") << 3 << 0;
    QTest::newRow("NULLs equal NULLs")
        << none << 2 << QByteArray("DELETE FROM kinds WHERE k<3") << 3 << 0;
    // A refresh that finds its row where it was stays on it.
    QTest::newRow("the later of two equal rows, rows appended")
        << QByteArray("INSERT INTO kinds(k) VALUES(3)") << 5
        << QByteArray("INSERT INTO kinds(k) VALUES(9)") << 3 << 5;
}

void TableCursorTest::refreshReturnsToTheEqualRow() {
    QFETCH(QByteArray, before);
    QFETCH(int, row);
    QFETCH(QByteArray, change);
    QFETCH(qint32, key);
    QFETCH(int, rowAfter);
    TestDatabase writer(path_);
    QCOMPARE(writer.execute(before), QString());
    TableCursor cursor(connection_, QStringLiteral("kinds"));
    cursor.setIncrementalRefresh(true);
    openCursor(cursor);
    cursor.moveTo(row);
    QCOMPARE(writer.execute(change), QString());
    // A change before the last rows shows once their check has run.
    cursor.refresh();
    cursor.waitForBackgroundWork();
    cursor.refresh();
    QCOMPARE(cursor.currentRow(), rowAfter);
    QCOMPARE(cursor.fieldAsInteger(QStringLiteral("k")), key);
}

// A writer's commit takes a moment; the read waits for it instead of failing.
void TableCursorTest::refreshWaitsForAShortLock() {
    TableCursor cursor(connection_, QStringLiteral("kinds"));
    openCursor(cursor);
    std::atomic<bool> locked = false;
    std::thread writer([&] {
        TestDatabase db(path_);
        db.execute("BEGIN EXCLUSIVE; INSERT INTO kinds(k) VALUES(6)");
        locked = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        db.execute("COMMIT");
    });
    while (!locked)
        std::this_thread::yield();
    try {
        cursor.refresh();
    } catch (const Error& error) {
        writer.join();
        QFAIL(qPrintable(error.message()));
    }
    writer.join();
    QCOMPARE(cursor.rowCount(), 6);
}

void TableCursorTest::refreshFailsWhileLockIsHeld() {
    TableCursor cursor(connection_, QStringLiteral("kinds"));
    openCursor(cursor);
    cursor.moveTo(2);
    TestDatabase writer(path_);
    QCOMPARE(writer.execute("BEGIN EXCLUSIVE; INSERT INTO kinds(k) VALUES(6)"), QString());
    try {
        cursor.refresh();
        QFAIL("the read went through an exclusive lock");
    } catch (const Error& error) {
        QVERIFY2(error.message().contains(QStringLiteral("locked")), qPrintable(error.message()));
    }
    // The rows read before stay.
    QCOMPARE(cursor.rowCount(), 5);
    QCOMPARE(cursor.currentRow(), 2);
    QCOMPARE(writer.execute("COMMIT"), QString());
    cursor.refresh();
    QCOMPARE(cursor.rowCount(), 6);
}

// A writer that renames a new file over the open one: the next refresh reads
// the new file; one that cannot be opened fails the refresh and keeps the
// rows, and a later good file is still picked up.
void TableCursorTest::replacedFileIsReadAnew() {
    TableCursor cursor(connection_, QStringLiteral("kinds"));
    openCursor(cursor);
    const QStringList before = allText(cursor);

    const QString broken = dir_.filePath(QStringLiteral("broken.db"));
    {
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'x'));
    }
    QVERIFY(std::rename(qPrintable(broken), qPrintable(path_)) == 0);
    QVERIFY_THROWS_EXCEPTION(Error, cursor.refresh());
    QCOMPARE(allText(cursor), before);

    const QString replacement = dir_.filePath(QStringLiteral("replacement.db"));
    QFile::remove(replacement);
    {
        TestDatabase writer(replacement);
        QCOMPARE(
            writer.execute("CREATE TABLE kinds(k INTEGER, i INTEGER, r REAL, t TEXT, d DATETIME);"
                           "INSERT INTO kinds VALUES(41, 1, 1.0, 'new', '2020-01-01');"
                           "INSERT INTO kinds VALUES(42, 2, 2.0, 'file', '2020-01-02')"),
            QString());
    }
    QVERIFY(std::rename(qPrintable(replacement), qPrintable(path_)) == 0);
    cursor.refresh();
    QCOMPARE(passingKeys(cursor), QList<qint32>({41, 42}));

    // Written through the new file, seen as any change is.
    TestDatabase writer(path_);
    QCOMPARE(writer.execute("INSERT INTO kinds(k) VALUES(43)"), QString());
    cursor.refresh();
    QCOMPARE(passingKeys(cursor), QList<qint32>({41, 42, 43}));
}

// The check of the rows before the appended ones reads through a connection
// of its own, by the file's name: with the file moved away it fails, which
// changes nothing and reports nothing; the next refresh checks again.
void TableCursorTest::failedCheckChangesNothing() {
    TableCursor cursor(connection_, QStringLiteral("kinds"));
    cursor.setIncrementalRefresh(true);
    openCursor(cursor);
    const QStringList before = allText(cursor);
    {
        TestDatabase writer(path_);
        QCOMPARE(writer.execute("UPDATE kinds SET t='changed' WHERE k=2"), QString());
    }
    const QString moved = path_ + QStringLiteral(".moved");
    QVERIFY(std::rename(qPrintable(path_), qPrintable(moved)) == 0);
    cursor.refresh();
    cursor.waitForBackgroundWork();
    cursor.refresh();
    QCOMPARE(allText(cursor), before);
    // That refresh tried the check again; it must fail before the file is back.
    cursor.waitForBackgroundWork();

    QVERIFY(std::rename(qPrintable(moved), qPrintable(path_)) == 0);
    cursor.refresh();
    cursor.waitForBackgroundWork();
    cursor.refresh();
    QCOMPARE(cursor.displayText(1, 3), QStringLiteral("changed"));
}

void TableCursorTest::endlessReadStopsAtItsBound_data() {
    QTest::addColumn<QByteArray>("endless");
    QTest::newRow("rows without end") << QByteArray("v > 0");
    QTest::newRow("no row ever") << QByteArray("v < 0");
}

// A view that turns endless once the table has a sixth row: the read stops at
// its bound with an error, the rows read before stay (none at the first
// read), and the cursor reads again once the view ends.
void TableCursorTest::endlessReadStopsAtItsBound() {
    QFETCH(QByteArray, endless);
    TestDatabase writer(path_);
    QCOMPARE(writer.execute("CREATE VIEW growing AS WITH RECURSIVE n(v) AS ("
                            " SELECT 1 WHERE (SELECT count(*) FROM kinds) > 5"
                            " UNION ALL SELECT v + 1 FROM n)"
                            " SELECT k FROM kinds UNION ALL SELECT v FROM n WHERE " +
                            endless),
             QString());
    const ReadBounds bounds{1000, 1'000'000};
    TableCursor cursor(connection_, QStringLiteral("growing"));
    cursor.setReadBounds(bounds);
    openCursor(cursor);
    cursor.moveTo(3);
    const QStringList before = allText(cursor);

    QCOMPARE(writer.execute("INSERT INTO kinds(k) VALUES(6)"), QString());
    try {
        cursor.refresh();
        QFAIL("an endless read ended");
    } catch (const Error& error) {
        QVERIFY2(error.message().startsWith(QStringLiteral("Reading growing stopped")),
                 qPrintable(error.message()));
    }
    QCOMPARE(allText(cursor), before);
    QCOMPARE(cursor.currentRow(), 3);

    TableCursor starting(connection_, QStringLiteral("growing"));
    starting.setReadBounds(bounds);
    QVERIFY_THROWS_EXCEPTION(Error, starting.open());
    QVERIFY(!starting.isOpen());
    QCOMPARE(starting.rowCount(), 0);

    QCOMPARE(writer.execute("DELETE FROM kinds WHERE k = 6"), QString());
    cursor.refresh();
    QCOMPARE(passingKeys(cursor), QList<qint32>({1, 2, 3, 4, 5}));
    starting.open();
    QCOMPARE(starting.rowCount(), 5);
}

void TableCursorTest::applyFilterResetsOnce_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("filter");
    QTest::newRow("unfiltered, the row passes") << QString() << 3 << QStringLiteral("k>=2");
    QTest::newRow("unfiltered, the row fails") << QString() << 0 << QStringLiteral("k>=2");
    QTest::newRow("filtered before") << QStringLiteral("k<=3") << 1 << QStringLiteral("k>=2");
    QTest::newRow("no row passes") << QStringLiteral("k<=3") << 2 << QStringLiteral("k>99");
    QTest::newRow("a filter that does not parse")
        << QStringLiteral("k<=3") << 1 << QStringLiteral("k>=");
    QTest::newRow("an unknown column") << QStringLiteral("k<=3") << 1 << QStringLiteral("x=1");
}

// applyFilter ends where its three steps (filter off, the text, filter on)
// end, with one reset of the rows instead of three; a refresh that finds
// nothing changed only moves back to its row.
void TableCursorTest::applyFilterResetsOnce() {
    QFETCH(QString, before);
    QFETCH(int, row);
    QFETCH(QString, filter);
    TableCursor once(connection_, QStringLiteral("kinds"));
    TableCursor steps(connection_, QStringLiteral("kinds"));
    for (TableCursor* cursor : {&once, &steps}) {
        openCursor(*cursor);
        if (!before.isEmpty())
            cursor->applyFilter(before);
        cursor->moveTo(row);
    }
    QSignalSpy resets(&once, &TableCursor::rowsReset);
    bool onceFailed = false;
    bool stepsFailed = false;
    try {
        once.applyFilter(filter);
    } catch (const Error&) {
        onceFailed = true;
    }
    try {
        steps.setFiltered(false);
        steps.setFilter(filter);
        steps.setFiltered(true);
    } catch (const Error&) {
        stepsFailed = true;
    }
    QCOMPARE(onceFailed, stepsFailed);
    QCOMPARE(resets.count(), 1);
    QCOMPARE(once.currentRow(), steps.currentRow());
    QCOMPARE(once.filter(), steps.filter());
    QCOMPARE(allText(once), allText(steps));
    QCOMPARE(once.atBeginning(), steps.atBeginning());
    QCOMPARE(once.atEnd(), steps.atEnd());

    QSignalSpy moves(&once, &TableCursor::currentRowChanged);
    once.refresh();
    QCOMPARE(resets.count(), 1);
    QCOMPARE(moves.count(), 1);
    QCOMPARE(once.currentRow(), steps.currentRow());
}

void TableCursorTest::loadBesideTheCursor_data() {
    QTest::addColumn<bool>("cancel");
    QTest::newRow("stopped at its bound") << false;
    QTest::newRow("cancelled") << true;
}

// An incremental cursor reads whole tables beside its thread. A view that
// turns endless once the table has a sixth row: while its read runs the rows
// before stay; a read cancelled or past its bound leaves them. A failed or
// cancelled first read starts no other until asked, and only a failed one
// is reported.
void TableCursorTest::loadBesideTheCursor() {
    QFETCH(bool, cancel);
    TestDatabase writer(path_);
    QCOMPARE(writer.execute("CREATE VIEW growing AS WITH RECURSIVE n(v) AS ("
                            " SELECT 1 WHERE (SELECT count(*) FROM kinds) > 5"
                            " UNION ALL SELECT v + 1 FROM n)"
                            " SELECT k FROM kinds UNION ALL SELECT v FROM n WHERE v < 0"),
             QString());
    const ReadBounds bounds{1000, cancel ? std::numeric_limits<quint64>::max() : 1'000'000};
    TableCursor cursor(connection_, QStringLiteral("growing"));
    cursor.setIncrementalRefresh(true);
    cursor.setReadBounds(bounds);
    openCursor(cursor);
    QCOMPARE(passingKeys(cursor), QList<qint32>({1, 2, 3, 4, 5}));

    QCOMPARE(writer.execute("INSERT INTO kinds(k) VALUES(6)"), QString());
    QSignalSpy loading(&cursor, &TableCursor::loadingChanged);
    QSignalSpy failed(&cursor, &TableCursor::loadFailed);
    cursor.refresh();
    QVERIFY(cursor.isLoading());
    QCOMPARE(passingKeys(cursor), QList<qint32>({1, 2, 3, 4, 5}));
    if (cancel)
        cursor.cancelLoading();
    cursor.waitForBackgroundWork();
    cursor.refresh();
    QCOMPARE(passingKeys(cursor), QList<qint32>({1, 2, 3, 4, 5}));
    QCOMPARE(cursor.isLoadingHeld(), cancel);
    QCOMPARE(failed.count(), 0);
    // A failed later read is tried again at the next refresh.
    QCOMPARE(cursor.isLoading(), !cancel);
    cursor.cancelLoading();
    cursor.waitForBackgroundWork();

    TableCursor starting(connection_, QStringLiteral("growing"));
    starting.setIncrementalRefresh(true);
    starting.setReadBounds(bounds);
    QSignalSpy startFailed(&starting, &TableCursor::loadFailed);
    starting.open();
    if (cancel)
        starting.cancelLoading();
    starting.waitForBackgroundWork();
    starting.refresh();
    QVERIFY(!starting.isLoading());
    QVERIFY(starting.isLoadingHeld());
    QCOMPARE(starting.rowCount(), 0);
    QCOMPARE(startFailed.count(), cancel ? 0 : 1);
    if (!cancel)
        QVERIFY2(startFailed.first().first().toString().startsWith(
                     QStringLiteral("Reading growing stopped")),
                 qPrintable(startFailed.first().first().toString()));

    QCOMPARE(writer.execute("DELETE FROM kinds WHERE k = 6"), QString());
    starting.resumeLoading();
    QVERIFY(starting.isLoading());
    starting.waitForBackgroundWork();
    starting.refresh();
    QCOMPARE(passingKeys(starting), QList<qint32>({1, 2, 3, 4, 5}));
    // Each read beside the first cursor began and ended: one when cancelled,
    // the failed one and its retry otherwise.
    QCOMPARE(loading.count(), cancel ? 2 : 4);
}

// A large rowid table is read in two halves side by side and joined: the
// same rows as one read on this thread, NULLs, wide integers and texts
// alike, the index built beside them gives the same rows as a scan, and a
// change in either half is found.
void TableCursorTest::largeTableLoadsInHalves() {
    TestDatabase writer(path_);
    QCOMPARE(writer.execute("CREATE TABLE big(id INTEGER, t TEXT, r REAL);"
                            "WITH RECURSIVE n(v) AS (SELECT 1 UNION ALL SELECT v + 1 FROM n"
                            " WHERE v < 250000) INSERT INTO big SELECT"
                            " CASE WHEN v % 9 = 0 THEN NULL WHEN v > 200000 THEN v * 10000000000"
                            " ELSE v END, CASE WHEN v < 125000 THEN 'station ' || (v % 5)"
                            " ELSE 'point ' || v END, v / 8.0 FROM n"),
             QString());
    TableCursor halves(connection_, QStringLiteral("big"));
    halves.setIncrementalRefresh(true);
    halves.setIndexedColumn(QStringLiteral("id"));
    QSignalSpy progress(&halves, &TableCursor::loadProgress);
    openCursor(halves);
    QVERIFY(!progress.isEmpty());
    QCOMPARE(progress.last().at(1).toULongLong(), quint64(250000));

    const auto sameAsOneRead = [&] {
        TableCursor one(connection_, QStringLiteral("big"));
        one.open();
        QCOMPARE(halves.rowCount(), one.rowCount());
        for (int row = 0; row < one.rowCount(); row += 997) {
            for (int column = 0; column < 3; ++column)
                QCOMPARE(halves.displayText(row, column), one.displayText(row, column));
        }
        for (int row = one.rowCount() - 3; row < one.rowCount(); ++row)
            QCOMPARE(halves.displayText(row, 1), one.displayText(row, 1));
        for (const QString& filter :
             {QStringLiteral("id=77"), QStringLiteral("id=2100000000000000")}) {
            halves.applyFilter(filter);
            one.applyFilter(filter);
            QCOMPARE(allText(halves), allText(one));
            QCOMPARE(halves.rowCount(), 1);
        }
        halves.setFiltered(false);
    };
    sameAsOneRead();

    for (const char* change : {"UPDATE big SET t = 'moved' WHERE rowid = 10",
                               "UPDATE big SET r = -1 WHERE rowid = 240000"}) {
        QCOMPARE(writer.execute(change), QString());
        halves.refresh();
        halves.waitForBackgroundWork();
        halves.refresh();
        sameAsOneRead();
    }
}

// With a writer appending, the check reads the rows held a few slices at a
// time, each row once a round, and no round starts while nothing is
// committed; a change in place in the middle of the table is found once the
// round has reached it.
void TableCursorTest::checkRoundReadsEachRowOnce() {
    TestDatabase writer(path_);
    QCOMPARE(writer.execute("CREATE TABLE big(id INTEGER, t TEXT);"
                            "WITH RECURSIVE n(v) AS (SELECT 1 UNION ALL SELECT v + 1 FROM n"
                            " WHERE v < 120000) INSERT INTO big SELECT v, 'point ' || v FROM n"),
             QString());
    TableCursor cursor(connection_, QStringLiteral("big"));
    cursor.setIncrementalRefresh(true);
    openCursor(cursor);
    QCOMPARE(cursor.rowCount(), 120000);
    QCOMPARE(cursor.rowsChecked(), quint64(0));

    QCOMPARE(writer.execute("INSERT INTO big SELECT id + 120000, t FROM big WHERE id <= 300"),
             QString());
    cursor.refresh();
    QCOMPARE(cursor.rowCount(), 120300);
    cursor.waitForBackgroundWork();
    QVERIFY(!cursor.isLoading());
    QCOMPARE(cursor.rowsChecked(), quint64(120300));
    cursor.refresh();
    cursor.waitForBackgroundWork();
    QCOMPARE(cursor.rowsChecked(), quint64(120300));

    QCOMPARE(writer.execute("UPDATE big SET t = 'moved' WHERE id = 60000"), QString());
    cursor.refresh();
    QCOMPARE(cursor.displayText(59999, 1), QStringLiteral("point 60000"));
    cursor.waitForBackgroundWork();
    cursor.refresh();
    QCOMPARE(cursor.displayText(59999, 1), QStringLiteral("moved"));
    QCOMPARE(cursor.rowCount(), 120300);
}

QTEST_GUILESS_MAIN(TableCursorTest)
#include "tst_tablecursor.moc"
