#include "../support/TestDatabase.h"
#include "CursorFixture.h"

#include "app/Error.h"
#include "store/Connection.h"
#include "store/PositionTable.h"
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

class SqliteTableReplicaTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void changeSaysWhatTheReadDid_data();
    void changeSaysWhatTheReadDid();
    void loadWaitsForItsOwnStep();
    void loadIndexesTimesBesideTheWindow();
    void refreshShowsEveryChange_data();
    void refreshShowsEveryChange();
    void failedRereadKeepsTheEarlierRows();
    void refreshWaitsForAShortLock();
    void refreshFailsWhileLockIsHeld();
    void replacedFileIsReadAnew();
    void failedCheckChangesNothing();
    void endlessReadStopsAtItsBound_data();
    void endlessReadStopsAtItsBound();
    void loadBesideTheCursor_data();
    void loadBesideTheCursor();
    void largeTableLoadsInHalves();
    void checkRoundReadsEachRowOnce();

private:
    QTemporaryDir dir_;
    QString path_;
    Connection connection_;
};

void SqliteTableReplicaTest::initTestCase() {
    QVERIFY(dir_.isValid());
    // A collation that orders lower case before upper case, and digits first.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void SqliteTableReplicaTest::init() {
    path_ = dir_.filePath(QStringLiteral("%1.db").arg(QTest::currentTestFunction()));
    QFile::remove(path_);
    createKindsTable(path_);
    connection_.open(path_);
}

void SqliteTableReplicaTest::cleanup() {
    connection_.close();
}

void SqliteTableReplicaTest::changeSaysWhatTheReadDid_data() {
    QTest::addColumn<QByteArray>("change");
    QTest::addColumn<bool>("incremental");
    QTest::addColumn<bool>("replaced");
    QTest::addColumn<int>("kept");
    QTest::addColumn<int>("erased");
    QTest::addColumn<int>("appended");
    const QByteArray twoRows = "INSERT INTO kinds(k) VALUES(6); INSERT INTO kinds(k) VALUES(7)";
    QTest::newRow("nothing committed") << QByteArray() << false << false << 0 << 0 << 0;
    QTest::newRow("another table written")
        << QByteArray("CREATE TABLE other(x)") << true << false << 0 << 0 << 0;
    QTest::newRow("rows appended, whole read") << twoRows << false << false << 5 << 0 << 2;
    QTest::newRow("rows appended, past the row id") << twoRows << true << false << 5 << 0 << 2;
    QTest::newRow("a row in the middle changed")
        << QByteArray("UPDATE kinds SET t = 'x' WHERE k = 2") << false << false << 1 << 4 << 4;
    QTest::newRow("the last row deleted")
        << QByteArray("DELETE FROM kinds WHERE k = 5") << false << false << 4 << 1 << 0;
    QTest::newRow("a column added")
        << QByteArray("ALTER TABLE kinds ADD COLUMN extra INTEGER") << false << true << 0 << 5 << 5;
}

// A refresh says which rows stayed, went and came, and announces a change
// once, before the rows change.
void SqliteTableReplicaTest::changeSaysWhatTheReadDid() {
    QFETCH(QByteArray, change);
    QFETCH(bool, incremental);
    QFETCH(bool, replaced);
    QFETCH(int, kept);
    QFETCH(int, erased);
    QFETCH(int, appended);
    SqliteTableReplica replica(connection_, QStringLiteral("kinds"));
    replica.setIncrementalRefresh(incremental);
    replica.refresh();
    replica.waitForBackgroundWork();
    replica.adoptLoad();
    QCOMPARE(replica.rows().rowCount(), quint32(5));
    if (!change.isEmpty()) {
        TestDatabase writer(path_);
        QCOMPARE(writer.execute(change), QString());
    }
    QSignalSpy announced(&replica, &TableReplica::rowsAboutToChange);
    const TableReplica::Change read = replica.refresh();
    QCOMPARE(read.replaced, replaced);
    QCOMPARE(read.kept, quint32(kept));
    QCOMPARE(read.erased, quint32(erased));
    QCOMPARE(read.appended, quint32(appended));
    QCOMPARE(announced.count(), read.any() ? 1 : 0);
    if (read.any())
        QCOMPARE(replica.rows().rowCount(), read.kept + read.appended);
}

// A whole read beside the window waits until it is adopted: a refresh of the
// replica meanwhile neither takes it nor reads behind the rows it replaces.
// The cursor takes it in one reset, and the rows appended since it began
// show at the next refresh.
void SqliteTableReplicaTest::loadWaitsForItsOwnStep() {
    auto replica = sqliteReplica(connection_, QStringLiteral("kinds"));
    replica->setIncrementalRefresh(true);
    TableCursor cursor(std::move(replica));
    cursor.open();
    QCOMPARE(cursor.rowCount(), 0);
    cursor.replica().waitForBackgroundWork();
    QVERIFY(cursor.replica().hasLoad());
    TestDatabase writer(path_);
    QCOMPARE(writer.execute("INSERT INTO kinds(k) VALUES(6)"), QString());
    QVERIFY(!cursor.replica().refresh().any());
    QCOMPARE(cursor.replica().rows().rowCount(), quint32(0));

    QSignalSpy resets(&cursor, &TableCursor::rowsReset);
    QSignalSpy reads(&cursor, &TableCursor::rowsRead);
    QVERIFY(cursor.adoptLoad());
    QCOMPARE(resets.count(), 1);
    QCOMPARE(reads.count(), 1);
    QCOMPARE(passingKeys(cursor), QList<qint32>({1, 2, 3, 4, 5}));
    QVERIFY(!cursor.adoptLoad());
    cursor.refresh();
    QCOMPARE(passingKeys(cursor), QList<qint32>({1, 2, 3, 4, 5, 6}));
}

// The replay's time index comes with a whole read of the position table,
// built on the load's thread; rows appended later join it.
void SqliteTableReplicaTest::loadIndexesTimesBesideTheWindow() {
    const QString path = dir_.filePath(QStringLiteral("positions.db"));
    QFile::remove(path);
    TestDatabase writer(path);
    writer.createSchema()
        .addReport(5, "2024-03-01 10:00:00", "41.000000", "29.000000")
        .addReport(6, "2024-03-01 10:01:00", "41.000000", "29.000000")
        .addReport(5, "2024-03-01 09:59:00", "41.000000", "29.000000");
    TableLoad load(
        path, PositionTable::name, PositionTable::radioShortId, ReadBounds(), true,
        [](quint64, quint64) {}, [] {});
    TableLoad::Outcome outcome = load.take();
    QVERIFY(outcome.store);
    QCOMPARE(outcome.timeIndex.indexedRows(), quint32(3));
    const DateTimeValue ten = toDateTimeValue(QDateTime(QDate(2024, 3, 1), QTime(10, 0)));
    QCOMPARE(outcome.timeIndex.rowAt(*outcome.store, 5, ten), std::optional<quint32>(0));
    QCOMPARE(outcome.timeIndex.rowAt(*outcome.store, 6, ten), std::nullopt);

    Connection connection;
    connection.open(path);
    auto replica = sqliteReplica(connection, PositionTable::name);
    replica->setIncrementalRefresh(true);
    replica->refresh();
    replica->waitForBackgroundWork();
    replica->adoptLoad();
    writer.addReport(6, "2024-03-01 09:30:00", "41.000000", "29.000000");
    replica->refresh();
    QCOMPARE(replica->timeIndex().indexedRows(), quint32(4));
    QCOMPARE(replica->timeIndex().rowAt(replica->rows(), 6, ten), std::optional<quint32>(3));
}

void SqliteTableReplicaTest::refreshShowsEveryChange_data() {
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
void SqliteTableReplicaTest::refreshShowsEveryChange() {
    QFETCH(QByteArray, change);
    QFETCH(QString, filter);
    QFETCH(bool, appended);
    QFETCH(bool, incremental);
    TableCursor cursor(sqliteReplica(connection_, QStringLiteral("kinds")));
    sqliteOf(cursor).setIncrementalRefresh(incremental);
    openLoaded(cursor);
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
        cursor.replica().waitForBackgroundWork();
        cursor.refresh();
    }

    Connection second;
    second.open(path_);
    TableCursor fresh(sqliteReplica(second, QStringLiteral("kinds")));
    fresh.open();
    fresh.setFilter(filter);
    fresh.setFiltered(true);
    QCOMPARE(allText(cursor), allText(fresh));
    cursor.setFiltered(false);
    fresh.setFiltered(false);
    QCOMPARE(allText(cursor), allText(fresh));
}

// A reading that fails part-way, after rows that differ have been read,
// leaves the rows read before exactly as they were.
void SqliteTableReplicaTest::failedRereadKeepsTheEarlierRows() {
    TestDatabase writer(path_);
    QCOMPARE(writer.execute("CREATE VIEW checked AS SELECT k, t,"
                            " CASE WHEN k = 99 THEN abs(-9223372036854775807 - 1) END AS fault"
                            " FROM kinds"),
             QString());
    TableCursor cursor(sqliteReplica(connection_, QStringLiteral("checked")));
    openLoaded(cursor);
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

// A writer's commit takes a moment; the read waits for it instead of failing.
void SqliteTableReplicaTest::refreshWaitsForAShortLock() {
    TableCursor cursor(sqliteReplica(connection_, QStringLiteral("kinds")));
    openLoaded(cursor);
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

void SqliteTableReplicaTest::refreshFailsWhileLockIsHeld() {
    TableCursor cursor(sqliteReplica(connection_, QStringLiteral("kinds")));
    openLoaded(cursor);
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
void SqliteTableReplicaTest::replacedFileIsReadAnew() {
    TableCursor cursor(sqliteReplica(connection_, QStringLiteral("kinds")));
    openLoaded(cursor);
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
void SqliteTableReplicaTest::failedCheckChangesNothing() {
    TableCursor cursor(sqliteReplica(connection_, QStringLiteral("kinds")));
    sqliteOf(cursor).setIncrementalRefresh(true);
    openLoaded(cursor);
    const QStringList before = allText(cursor);
    {
        TestDatabase writer(path_);
        QCOMPARE(writer.execute("UPDATE kinds SET t='changed' WHERE k=2"), QString());
    }
    const QString moved = path_ + QStringLiteral(".moved");
    QVERIFY(std::rename(qPrintable(path_), qPrintable(moved)) == 0);
    cursor.refresh();
    cursor.replica().waitForBackgroundWork();
    cursor.refresh();
    QCOMPARE(allText(cursor), before);
    // That refresh tried the check again; it must fail before the file is back.
    cursor.replica().waitForBackgroundWork();

    QVERIFY(std::rename(qPrintable(moved), qPrintable(path_)) == 0);
    cursor.refresh();
    cursor.replica().waitForBackgroundWork();
    cursor.refresh();
    QCOMPARE(cursor.displayText(1, 3), QStringLiteral("changed"));
}

void SqliteTableReplicaTest::endlessReadStopsAtItsBound_data() {
    QTest::addColumn<QByteArray>("endless");
    QTest::newRow("rows without end") << QByteArray("v > 0");
    QTest::newRow("no row ever") << QByteArray("v < 0");
}

// A view that turns endless once the table has a sixth row: the read stops at
// its bound with an error, the rows read before stay (none at the first
// read), and the cursor reads again once the view ends.
void SqliteTableReplicaTest::endlessReadStopsAtItsBound() {
    QFETCH(QByteArray, endless);
    TestDatabase writer(path_);
    QCOMPARE(writer.execute("CREATE VIEW growing AS WITH RECURSIVE n(v) AS ("
                            " SELECT 1 WHERE (SELECT count(*) FROM kinds) > 5"
                            " UNION ALL SELECT v + 1 FROM n)"
                            " SELECT k FROM kinds UNION ALL SELECT v FROM n WHERE " +
                            endless),
             QString());
    const ReadBounds bounds{1000, 1'000'000};
    TableCursor cursor(sqliteReplica(connection_, QStringLiteral("growing")));
    sqliteOf(cursor).setReadBounds(bounds);
    openLoaded(cursor);
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

    TableCursor starting(sqliteReplica(connection_, QStringLiteral("growing")));
    sqliteOf(starting).setReadBounds(bounds);
    QVERIFY_THROWS_EXCEPTION(Error, starting.open());
    QVERIFY(!starting.isOpen());
    QCOMPARE(starting.rowCount(), 0);

    QCOMPARE(writer.execute("DELETE FROM kinds WHERE k = 6"), QString());
    cursor.refresh();
    QCOMPARE(passingKeys(cursor), QList<qint32>({1, 2, 3, 4, 5}));
    starting.open();
    QCOMPARE(starting.rowCount(), 5);
}

void SqliteTableReplicaTest::loadBesideTheCursor_data() {
    QTest::addColumn<bool>("cancel");
    QTest::newRow("stopped at its bound") << false;
    QTest::newRow("cancelled") << true;
}

// An incremental cursor reads whole tables beside its thread. A view that
// turns endless once the table has a sixth row: while its read runs the rows
// before stay; a read cancelled or past its bound leaves them. A failed or
// cancelled first read starts no other until asked, and only a failed one
// is reported.
void SqliteTableReplicaTest::loadBesideTheCursor() {
    QFETCH(bool, cancel);
    TestDatabase writer(path_);
    QCOMPARE(writer.execute("CREATE VIEW growing AS WITH RECURSIVE n(v) AS ("
                            " SELECT 1 WHERE (SELECT count(*) FROM kinds) > 5"
                            " UNION ALL SELECT v + 1 FROM n)"
                            " SELECT k FROM kinds UNION ALL SELECT v FROM n WHERE v < 0"),
             QString());
    const ReadBounds bounds{1000, cancel ? std::numeric_limits<quint64>::max() : 1'000'000};
    TableCursor cursor(sqliteReplica(connection_, QStringLiteral("growing")));
    sqliteOf(cursor).setIncrementalRefresh(true);
    sqliteOf(cursor).setReadBounds(bounds);
    openLoaded(cursor);
    QCOMPARE(passingKeys(cursor), QList<qint32>({1, 2, 3, 4, 5}));

    QCOMPARE(writer.execute("INSERT INTO kinds(k) VALUES(6)"), QString());
    QSignalSpy loading(&cursor, &TableCursor::loadingChanged);
    QSignalSpy failed(&cursor, &TableCursor::loadFailed);
    cursor.refresh();
    QVERIFY(cursor.isLoading());
    QCOMPARE(passingKeys(cursor), QList<qint32>({1, 2, 3, 4, 5}));
    if (cancel)
        cursor.cancelLoading();
    cursor.replica().waitForBackgroundWork();
    cursor.refresh();
    QCOMPARE(passingKeys(cursor), QList<qint32>({1, 2, 3, 4, 5}));
    QCOMPARE(cursor.isLoadingHeld(), cancel);
    QCOMPARE(failed.count(), 0);
    // A failed later read is tried again at the next refresh.
    QCOMPARE(cursor.isLoading(), !cancel);
    cursor.cancelLoading();
    cursor.replica().waitForBackgroundWork();

    TableCursor starting(sqliteReplica(connection_, QStringLiteral("growing")));
    sqliteOf(starting).setIncrementalRefresh(true);
    sqliteOf(starting).setReadBounds(bounds);
    QSignalSpy startFailed(&starting, &TableCursor::loadFailed);
    starting.open();
    if (cancel)
        starting.cancelLoading();
    starting.replica().waitForBackgroundWork();
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
    starting.replica().waitForBackgroundWork();
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
void SqliteTableReplicaTest::largeTableLoadsInHalves() {
    TestDatabase writer(path_);
    QCOMPARE(writer.execute("CREATE TABLE big(id INTEGER, t TEXT, r REAL);"
                            "WITH RECURSIVE n(v) AS (SELECT 1 UNION ALL SELECT v + 1 FROM n"
                            " WHERE v < 250000) INSERT INTO big SELECT"
                            " CASE WHEN v % 9 = 0 THEN NULL WHEN v > 200000 THEN v * 10000000000"
                            " ELSE v END, CASE WHEN v < 125000 THEN 'station ' || (v % 5)"
                            " ELSE 'point ' || v END, v / 8.0 FROM n"),
             QString());
    TableCursor halves(sqliteReplica(connection_, QStringLiteral("big")));
    sqliteOf(halves).setIncrementalRefresh(true);
    sqliteOf(halves).setIndexedColumn(QStringLiteral("id"));
    QSignalSpy progress(&halves, &TableCursor::loadProgress);
    openLoaded(halves);
    QVERIFY(!progress.isEmpty());
    QCOMPARE(progress.last().at(1).toULongLong(), quint64(250000));

    const auto sameAsOneRead = [&] {
        TableCursor one(sqliteReplica(connection_, QStringLiteral("big")));
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
        halves.replica().waitForBackgroundWork();
        halves.refresh();
        sameAsOneRead();
    }
}

// With a writer appending, the check reads the rows held a few slices at a
// time, each row once a round, and no round starts while nothing is
// committed; a change in place in the middle of the table is found once the
// round has reached it.
void SqliteTableReplicaTest::checkRoundReadsEachRowOnce() {
    TestDatabase writer(path_);
    QCOMPARE(writer.execute("CREATE TABLE big(id INTEGER, t TEXT);"
                            "WITH RECURSIVE n(v) AS (SELECT 1 UNION ALL SELECT v + 1 FROM n"
                            " WHERE v < 120000) INSERT INTO big SELECT v, 'point ' || v FROM n"),
             QString());
    TableCursor cursor(sqliteReplica(connection_, QStringLiteral("big")));
    sqliteOf(cursor).setIncrementalRefresh(true);
    openLoaded(cursor);
    QCOMPARE(cursor.rowCount(), 120000);
    QCOMPARE(cursor.replica().checkStats().rows, quint64(0));

    QCOMPARE(writer.execute("INSERT INTO big SELECT id + 120000, t FROM big WHERE id <= 300"),
             QString());
    cursor.refresh();
    QCOMPARE(cursor.rowCount(), 120300);
    cursor.replica().waitForBackgroundWork();
    QVERIFY(!cursor.isLoading());
    QCOMPARE(cursor.replica().checkStats().rows, quint64(120300));
    cursor.refresh();
    cursor.replica().waitForBackgroundWork();
    QCOMPARE(cursor.replica().checkStats().rows, quint64(120300));

    QCOMPARE(writer.execute("UPDATE big SET t = 'moved' WHERE id = 60000"), QString());
    cursor.refresh();
    QCOMPARE(cursor.displayText(59999, 1), QStringLiteral("point 60000"));
    cursor.replica().waitForBackgroundWork();
    cursor.refresh();
    QCOMPARE(cursor.displayText(59999, 1), QStringLiteral("moved"));
    QCOMPARE(cursor.rowCount(), 120300);
}

QTEST_GUILESS_MAIN(SqliteTableReplicaTest)
#include "tst_sqlitetablereplica.moc"
