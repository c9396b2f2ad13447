#include "../support/TestDatabase.h"
#include "CursorFixture.h"

#include "app/Error.h"
#include "store/Connection.h"
#include "store/SqliteTableReplica.h"
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
    void equalityAgreesWithTheScan_data();
    void equalityAgreesWithTheScan();
    void refreshReturnsToTheEqualRow_data();
    void refreshReturnsToTheEqualRow();
    void filterThatNoLongerFitsPassesNothing();
    void applyFilterResetsOnce_data();
    void applyFilterResetsOnce();

private:
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
    createKindsTable(path_);
    connection_.open(path_);
}

void TableCursorTest::cleanup() {
    connection_.close();
}

void TableCursorTest::openFiltered(TableCursor& cursor, const QString& filter) {
    openLoaded(cursor);
    cursor.setFiltered(false);
    cursor.setFilter(filter);
    cursor.setFiltered(true);
}

void TableCursorTest::columnKindsFollowDeclaredTypes() {
    TestDatabase db(path_);
    QCOMPARE(db.execute("CREATE TABLE types(a BIGINT, b DOUBLE PRECISION, c NUMERIC(10,2),"
                        " d TIMESTAMP, e DATE, f VARCHAR(20), g BLOB, h, i FLOAT, j TINYINT)"),
             QString());
    TableCursor cursor(sqliteReplica(connection_, QStringLiteral("types")));
    openLoaded(cursor);
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
    TableCursor cursor(sqliteReplica(connection_, QStringLiteral("kinds")));
    openFiltered(cursor, filter);
    QCOMPARE(cursor.rowCount(), keys.size());
    QCOMPARE(passingKeys(cursor), keys);
}

void TableCursorTest::filterAppliesOnlyWhileSwitchedOn() {
    TableCursor cursor(sqliteReplica(connection_, QStringLiteral("kinds")));
    openLoaded(cursor);
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
    TableCursor cursor(sqliteReplica(connection_, QStringLiteral("kinds")));
    openLoaded(cursor);
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
    TableCursor cursor(sqliteReplica(connection_, QStringLiteral("kinds")));
    openLoaded(cursor);
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
    TableCursor cursor(sqliteReplica(connection_, QStringLiteral("kinds")));
    openLoaded(cursor);
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
    TableCursor cursor(sqliteReplica(connection_, QStringLiteral("kinds")));
    openLoaded(cursor);
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
    TableCursor cursor(sqliteReplica(connection_, QStringLiteral("kinds")));
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
    TableCursor cursor(sqliteReplica(connection_, QStringLiteral("kinds")));
    openLoaded(cursor);
    cursor.moveTo(row);
    QCOMPARE(cursor.fieldAsText(column).replace(u'\u202f', u' '), text.replace(u'\u202f', u' '));
    QCOMPARE(cursor.fieldAsInteger(column), integer);
    QCOMPARE(cursor.fieldAsDateTime(column), dateTime);
}

void TableCursorTest::unknownColumnNamesIt() {
    TableCursor cursor(sqliteReplica(connection_, QStringLiteral("kinds")));
    openLoaded(cursor);
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
    TableCursor cursor(sqliteReplica(connection_, QStringLiteral("wide")));
    openLoaded(cursor);
    QVERIFY_THROWS_EXCEPTION(Error, cursor.fieldAsInteger(column));
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
    TableCursor indexed(sqliteReplica(connection_, QStringLiteral("numbers")));
    indexed.open();
    TableCursor scanned(sqliteReplica(connection_, QStringLiteral("numbers")));
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
    TableCursor cursor(sqliteReplica(connection_, QStringLiteral("kinds")));
    sqliteOf(cursor).setIncrementalRefresh(true);
    openLoaded(cursor);
    cursor.moveTo(row);
    QCOMPARE(writer.execute(change), QString());
    // A change before the last rows shows once their check has run.
    cursor.refresh();
    cursor.replica().waitForBackgroundWork();
    cursor.refresh();
    QCOMPARE(cursor.currentRow(), rowAfter);
    QCOMPARE(cursor.fieldAsInteger(QStringLiteral("k")), key);
}

// A column the filter names goes when the table is made anew: the refresh
// reads the new table, lets no row pass and says why; a filter that fits
// passes rows again.
void TableCursorTest::filterThatNoLongerFitsPassesNothing() {
    TableCursor cursor(sqliteReplica(connection_, QStringLiteral("kinds")));
    openLoaded(cursor);
    cursor.applyFilter(QStringLiteral("i=7"));
    QCOMPARE(passingKeys(cursor), QList<qint32>({1}));
    TestDatabase writer(path_);
    QCOMPARE(writer.execute("ALTER TABLE kinds DROP COLUMN i"), QString());
    try {
        cursor.refresh();
        QFAIL("a filter on a dropped column still filtered");
    } catch (const Error& error) {
        QVERIFY2(error.message().contains(QStringLiteral("\"i\"")), qPrintable(error.message()));
    }
    QCOMPARE(cursor.rowCount(), 0);
    QCOMPARE(cursor.columnCount(), 4);
    cursor.applyFilter(QStringLiteral("k<=2"));
    QCOMPARE(passingKeys(cursor), QList<qint32>({1, 2}));
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
    TableCursor once(sqliteReplica(connection_, QStringLiteral("kinds")));
    TableCursor steps(sqliteReplica(connection_, QStringLiteral("kinds")));
    for (TableCursor* cursor : {&once, &steps}) {
        openLoaded(*cursor);
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

QTEST_GUILESS_MAIN(TableCursorTest)
#include "tst_tablecursor.moc"
