// A table read from a real PostgreSQL server: what a refresh shows against
// a fresh read, several writers committing out of id order, a hot standby,
// the server going away and coming back, a promoted standby, the messages
// of a connection that fails and the rights a desk needs.

#include "../../support/SilentServer.h"
#include "PgSchema.h"

#include "app/Error.h"
#include "store/DateTimeValue.h"
#include "store/postgres/PgConnection.h"
#include "store/postgres/PgTableReplica.h"
#include "tests/support/PgCluster.h"

#include <QProcess>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>

class PgReplicaTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void refreshEqualsAFreshRead_data();
    void refreshEqualsAFreshRead();
    void columnTypes_data();
    void columnTypes();
    void unreadableTypeNamesTheColumn();
    void missingTableSaysSo();
    void loadShowsProgressAndCancels();
    void lateSmallerIdShowsOnce();
    void wholeReadOrderedByWritingTransaction_data();
    void wholeReadOrderedByWritingTransaction();
    void concurrentWritersLoseNothing();
    void wakeUpFetchesAhead();
    void standbyShowsAppendsOnce();
    void serverStoppedAndStarted();
    void promotedStandbyIsPickedUp();
    void badConnectionMessages_data();
    void badConnectionMessages();
    void firstReadFailureIsReportedOnce();
    void connectingNeverHoldsTheWindow();
    void selectOnlyRoleIsEnough();

private:
    QString database() const { return primary_->connectionString(databaseName_); }

    std::unique_ptr<PgCluster> primary_;
    QTemporaryFile noPasswords_;
    QString databaseName_;
    int databases_ = 0;
};

namespace {

const QString reportColumns =
    QStringLiteral("map_coor(station_name, time, radio_short_id, ns, lat, ew, long, alt)");

QString reports(int count, int radio = 101) {
    return QStringLiteral("INSERT INTO %1 SELECT 'Base', '2024-05-03 14:22:05', %2, 'N',"
                          " '41.0' || v, 'E', '28.5', NULL FROM generate_series(1, %3) v")
        .arg(reportColumns)
        .arg(radio)
        .arg(count);
}

QStringList allText(const ColumnStore& rows) {
    QStringList lines;
    for (quint32 row = 0; row < rows.rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < rows.columnCount(); ++column)
            cells.append(rows.isNull(column, row) ? QStringLiteral("<null>")
                                                  : rows.displayText(column, row));
        lines.append(cells.join(u'|'));
    }
    return lines;
}

QList<qint64> ids(const ColumnStore& rows) {
    const int column = rows.columnIndex(u"id");
    QList<qint64> values;
    for (quint32 row = 0; row < rows.rowCount(); ++row)
        values.append(rows.integer(column, row));
    return values;
}

// A whole read runs beside the window and shows once adopted.
void readWhole(PgTableReplica& replica) {
    replica.refresh();
    replica.waitForBackgroundWork();
    replica.adoptLoad();
}

// A table read whole at each refresh: its connection is made beside the
// window first, as the window waits for it.
void readSmallTable(PgTableReplica& replica) {
    QSignalSpy ended(&replica, &PgTableReplica::connectAttemptEnded);
    QVERIFY_THROWS_EXCEPTION(Error, replica.refresh());
    QVERIFY(ended.wait(10000));
}

// The first read, then a refresh after it.
void readFirst(PgTableReplica& replica) {
    readWhole(replica);
    replica.refresh();
}

void verifyEachOnce(const QList<qint64>& shown, const QList<qint64>& stored) {
    QCOMPARE(QSet<qint64>(shown.begin(), shown.end()).size(), shown.size());
    QList<qint64> sorted = shown;
    std::sort(sorted.begin(), sorted.end());
    QCOMPARE(sorted, stored);
}

} // namespace

void PgReplicaTest::initTestCase() {
    // libpq finds no password for anyone, whatever the machine keeps.
    QVERIFY(noPasswords_.open());
    qputenv("PGPASSFILE", QFile::encodeName(noPasswords_.fileName()));
    primary_ = std::make_unique<PgCluster>();
}

// A database of its own for each test, with the schema's tables.
void PgReplicaTest::init() {
    databaseName_ = QStringLiteral("desk%1").arg(++databases_);
    PgSession(primary_->connectionString())
        .exec(QStringLiteral("CREATE DATABASE ") + databaseName_);
    PgSession session(database());
    createPgSchema(session);
    session.exec(reports(5)).exec(reports(3, 102));
}

void PgReplicaTest::refreshEqualsAFreshRead_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("appendedOnly");
    QTest::addColumn<bool>("exact");
    struct Change {
        const char* name;
        QString sql;
        bool appendedOnly;
    };
    const QList<Change> changes = {
        {"rows appended", reports(4, 103), true},
        {"many rows appended", reports(20000, 104), true},
        {"nothing", QStringLiteral("SELECT 1"), true},
        {"another table written", QStringLiteral("INSERT INTO projects VALUES (9, 'x')"), true},
        {"a row changed in place",
         QStringLiteral("UPDATE map_coor SET lat = '40.5', time = '2013-01-01' WHERE id = 2"),
         false},
        {"a row became NULL",
         QStringLiteral("UPDATE map_coor SET radio_short_id = NULL, "
                        "station_name = NULL WHERE id = 4"),
         false},
        {"rows deleted", QStringLiteral("DELETE FROM map_coor WHERE id IN (1, 6)"), false},
        {"every row deleted", QStringLiteral("TRUNCATE map_coor"), false},
        {"a row changed and rows appended",
         reports(50, 105) + QStringLiteral("; UPDATE map_coor SET alt = '7' WHERE id = 3"), false},
        {"a column added",
         QStringLiteral("ALTER TABLE map_coor ADD COLUMN extra integer DEFAULT 7"), false},
    };
    for (const bool exact : {true, false}) {
        const char* mode = exact ? "txid" : "without txid";
        for (const auto& [name, sql, appendedOnly] : changes)
            QTest::addRow("%s, %s", name, mode) << sql << appendedOnly << exact;
    }
}

// Whatever a writer commits, the second refresh at the latest shows the
// table as a fresh read does; appended rows show at the first when the
// table carries the writing transaction.
void PgReplicaTest::refreshEqualsAFreshRead() {
    QFETCH(QString, change);
    QFETCH(bool, appendedOnly);
    QFETCH(bool, exact);
    PgSession writer(database());
    if (!exact)
        writer.exec(QStringLiteral("ALTER TABLE map_coor DROP COLUMN txid"));
    PgTableReplica replica(database(), QStringLiteral("map_coor"));
    readFirst(replica);
    QCOMPARE(replica.rows().rowCount(), 8u);
    // Without txid every refresh starts a whole read: the one under way
    // began before the change.
    replica.waitForBackgroundWork();
    replica.adoptLoad();

    writer.exec(change);
    const TableReplica::Change first = replica.refresh();
    PgTableReplica fresh(database(), QStringLiteral("map_coor"));
    readFirst(fresh);
    if (exact && appendedOnly) {
        QVERIFY(!first.replaced);
        QCOMPARE(first.kept, 8u);
        QCOMPARE(allText(replica.rows()), allText(fresh.rows()));
    }
    replica.waitForBackgroundWork();
    replica.adoptLoad();
    replica.refresh();
    QCOMPARE(allText(replica.rows()), allText(fresh.rows()));
    QCOMPARE(replica.rows().columns(), fresh.rows().columns());
}

void PgReplicaTest::columnTypes_data() {
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("shown");
    const int integer = int(ColumnKind::Integer), real = int(ColumnKind::Real),
              text = int(ColumnKind::Text), dateTime = int(ColumnKind::DateTime);
    QTest::newRow("smallint") << "value"
                              << "smallint"
                              << "-12" << integer << "-12";
    QTest::newRow("integer") << "value"
                             << "integer"
                             << "2147483647" << integer << "2147483647";
    QTest::newRow("bigint") << "value"
                            << "bigint"
                            << "7000000000" << integer << "7000000000";
    QTest::newRow("real") << "value"
                          << "real"
                          << "2.5" << real << "2.5";
    QTest::newRow("double") << "value"
                            << "double precision"
                            << "-0.125" << real << "-0.125";
    QTest::newRow("varchar") << "value"
                             << "varchar(20)"
                             << "Kadıköy" << text << "Kadıköy";
    QTest::newRow("char") << "value"
                          << "char(3)"
                          << "ab" << text << "ab ";
    QTest::newRow("empty text") << "value"
                                << "text"
                                << "" << text << "";
    // The writer's time text, a timestamp and a time with its zone read
    // alike; an infinite one is no time.
    const QString wallClock =
        displayText(toDateTimeValue(QDateTime(QDate(2024, 5, 3), QTime(14, 22, 5, 250))));
    QTest::newRow("time as text") << "time"
                                  << "text"
                                  << "2024-05-03 14:22:05.250" << dateTime << wallClock;
    QTest::newRow("time as varchar") << "time"
                                     << "varchar"
                                     << "2024-05-03 14:22:05.250" << dateTime << wallClock;
    QTest::newRow("timestamp") << "value"
                               << "timestamp"
                               << "2024-05-03 14:22:05.25" << dateTime << wallClock;
    QTest::newRow("timestamptz")
        << "value"
        << "timestamptz"
        << QDateTime(QDate(2024, 5, 3), QTime(14, 22, 5, 250)).toString(Qt::ISODateWithMs)
        << dateTime << wallClock;
    QTest::newRow("date") << "value"
                          << "date"
                          << "2024-05-03" << dateTime
                          << displayText(toDateTimeValue(QDateTime(QDate(2024, 5, 3), QTime())));
    QTest::newRow("before 2000") << "value"
                                 << "timestamp"
                                 << "1999-12-31 23:59:59" << dateTime
                                 << displayText(toDateTimeValue(
                                        QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59))));
    QTest::newRow("infinity") << "value"
                              << "timestamp"
                              << "infinity" << dateTime << "";
}

// Each type the schema allows reaches the column kind and value the file's
// declared types give; NULL stays NULL.
void PgReplicaTest::columnTypes() {
    QFETCH(QString, column);
    QFETCH(QString, type);
    QFETCH(QString, value);
    QFETCH(int, kind);
    QFETCH(QString, shown);
    PgSession writer(database());
    writer.exec(QStringLiteral("CREATE TABLE typed (%1 %2, nothing %2);"
                               " INSERT INTO typed VALUES ('%3', NULL)")
                    .arg(column, type, value));
    PgTableReplica replica(database(), QStringLiteral("typed"));
    replica.setIncrementalRefresh(false);
    readSmallTable(replica);
    replica.refresh();
    const ColumnStore& rows = replica.rows();
    QCOMPARE(rows.rowCount(), 1u);
    QCOMPARE(int(rows.info(0).kind), kind);
    QCOMPARE(rows.displayText(0, 0), shown);
    QVERIFY(rows.isNull(1, 0));
}

void PgReplicaTest::unreadableTypeNamesTheColumn() {
    PgSession(database())
        .exec(QStringLiteral("ALTER TABLE map_coor ALTER lat TYPE numeric "
                             "USING lat::numeric"));
    PgTableReplica replica(database(), QStringLiteral("map_coor"));
    QSignalSpy failed(&replica, &TableReplica::loadFailed);
    replica.refresh();
    replica.waitForBackgroundWork();
    QCOMPARE(failed.count(), 1);
    const QString message = failed[0][0].toString();
    QVERIFY2(message.contains(u"Column lat of table map_coor has the type numeric"),
             qPrintable(message));
}

void PgReplicaTest::missingTableSaysSo() {
    PgTableReplica replica(database(), QStringLiteral("absent"));
    replica.setIncrementalRefresh(false);
    readSmallTable(replica);
    QVERIFY_THROWS_EXCEPTION(Error, replica.refresh());
    try {
        replica.refresh();
    } catch (const Error& error) {
        QCOMPARE(error.message(), QStringLiteral("no such table: absent"));
    }
}

// The whole read reports its progress against the planner's count; a
// cancelled one keeps the rows held, and none starts again until resumed.
void PgReplicaTest::loadShowsProgressAndCancels() {
    PgSession(database()).exec(reports(300000, 801)).exec(QStringLiteral("ANALYZE map_coor"));
    PgTableReplica replica(database(), QStringLiteral("map_coor"));
    QSignalSpy loading(&replica, &TableReplica::loadingChanged);
    replica.refresh();
    QVERIFY(replica.isLoading());
    replica.cancelLoading();
    QVERIFY(!replica.isLoading());
    QVERIFY(replica.isLoadingHeld());
    replica.refresh();
    QVERIFY(!replica.isLoading());
    QCOMPARE(replica.rows().rowCount(), 0u);
    QCOMPARE(loading.count(), 2);

    QSignalSpy progress(&replica, &TableReplica::loadProgress);
    replica.resumeLoading();
    QVERIFY(replica.isLoading());
    replica.waitForBackgroundWork();
    QVERIFY(replica.adoptLoad().replaced);
    QCOMPARE(replica.rows().rowCount(), 300008u);
    QCoreApplication::processEvents();
    QVERIFY(progress.count() >= 4);
    QCOMPARE(progress.last()[0].toULongLong(), 300008u);
    QVERIFY(progress.first()[1].toULongLong() >= 290000);
}

// A writer that drew the smaller id commits after one that drew a larger:
// reading past the last id would lose the smaller for good.
void PgReplicaTest::lateSmallerIdShowsOnce() {
    PgTableReplica replica(database(), QStringLiteral("map_coor"));
    readFirst(replica);
    PgSession early(database());
    PgSession late(database());
    early.exec(QStringLiteral("BEGIN; ") + reports(1, 201));
    late.exec(reports(1, 202));
    replica.refresh();
    QCOMPARE(ids(replica.rows()), (QList<qint64>{1, 2, 3, 4, 5, 6, 7, 8}));

    early.exec(QStringLiteral("COMMIT"));
    replica.refresh();
    replica.refresh();
    QCOMPARE(ids(replica.rows()), (QList<qint64>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

void PgReplicaTest::wholeReadOrderedByWritingTransaction_data() {
    QTest::addColumn<QString>("firstBefore");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("firstAfter");
    QTest::newRow("a writer that began first commits last")
        << QStringLiteral("BEGIN; SELECT pg_current_xact_id()") << reports(1, 202)
        << reports(1, 201) + QStringLiteral("; COMMIT");
    QTest::newRow("a row rewritten in place")
        << QStringLiteral("SELECT 1")
        << QStringLiteral("UPDATE map_coor SET lat = lat WHERE id = 2")
        << QStringLiteral("SELECT 1");
}

// Rows that lie in the table out of their writing order: a whole read shows
// them in the order a refresh appends in, as the server sorts them.
void PgReplicaTest::wholeReadOrderedByWritingTransaction() {
    QFETCH(QString, firstBefore);
    QFETCH(QString, second);
    QFETCH(QString, firstAfter);
    PgSession first(database());
    PgSession other(database());
    first.exec(firstBefore);
    other.exec(second);
    first.exec(firstAfter);
    const QList<qint64> stored = other.integers(QStringLiteral("SELECT id FROM map_coor"));
    const QList<qint64> ordered =
        other.integers(QStringLiteral("SELECT id FROM map_coor ORDER BY txid, id"));
    QVERIFY(stored != ordered);

    PgTableReplica replica(database(), QStringLiteral("map_coor"));
    readFirst(replica);
    QCOMPARE(ids(replica.rows()), ordered);
}

// The simulator's batches through three connections, committing newest
// first, while the replica refreshes: every report shows, once.
void PgReplicaTest::concurrentWritersLoseNothing() {
    PgTableReplica replica(database(), QStringLiteral("map_coor"));
    readFirst(replica);
    QProcess possim;
    possim.start(QStringLiteral(POSSIM_PATH),
                 {"--pg", database(), "--reports", "0", "--radios", "7", "--follow",
                  "--interval-ms", "5", "--batch", "3", "--pg-connections", "3"});
    QVERIFY(possim.waitForStarted());
    PgSession counter(database());
    QTRY_VERIFY_WITH_TIMEOUT(
        counter.integers(QStringLiteral("SELECT count(*) FROM map_coor"))[0] > 600, 20000);
    for (int i = 0; i < 50; ++i) {
        replica.refresh();
        QTest::qWait(5);
    }
    possim.terminate();
    QVERIFY(possim.waitForFinished());
    replica.refresh();
    verifyEachOnce(ids(replica.rows()),
                   counter.integers(QStringLiteral("SELECT id FROM map_coor ORDER BY id")));
}

// The schema's trigger wakes a replica on the primary, which fetches the new
// rows before any refresh asks.
void PgReplicaTest::wakeUpFetchesAhead() {
    PgTableReplica replica(database(), QStringLiteral("map_coor"));
    replica.setPollInterval(std::chrono::hours(1));
    readFirst(replica);
    QTRY_VERIFY(replica.isListening());
    QSignalSpy fetched(&replica, &PgTableReplica::rowsFetched);
    PgSession(database()).exec(reports(4, 301));
    QVERIFY(fetched.wait(5000));
    const TableReplica::Change change = replica.refresh();
    QCOMPARE(change.appended, 4u);
    QCOMPARE(replica.rows().rowCount(), 12u);
}

void PgReplicaTest::standbyShowsAppendsOnce() {
    const std::unique_ptr<PgCluster> standby = primary_->makeStandby();
    PgTableReplica replica(standby->connectionString(databaseName_), QStringLiteral("map_coor"));
    replica.setPollInterval(std::chrono::milliseconds(50));
    readFirst(replica);
    QVERIFY(!replica.isListening());
    PgSession writer(database());
    PgSession early(database());
    for (int batch = 0; batch < 5; ++batch) {
        early.exec(QStringLiteral("BEGIN; ") + reports(2, 400 + batch));
        writer.exec(reports(3, 410 + batch));
        replica.refresh();
        early.exec(QStringLiteral("COMMIT"));
        replica.refresh();
    }
    const QList<qint64> stored =
        writer.integers(QStringLiteral("SELECT id FROM map_coor ORDER BY id"));
    QTRY_COMPARE_WITH_TIMEOUT((replica.refresh(), replica.rows().rowCount()),
                              quint32(stored.size()), 10000);
    verifyEachOnce(ids(replica.rows()), stored);
}

// The rows stay while the server is away, the refresh says since when, and
// the first read after it comes back catches up.
void PgReplicaTest::serverStoppedAndStarted() {
    PgTableReplica replica(database(), QStringLiteral("map_coor"));
    readFirst(replica);
    primary_->stop();
    // One text while the server is away, so that the window says it once.
    QStringList messages;
    for (int attempt = 0; attempt < 3; ++attempt) {
        try {
            replica.refresh();
            QFAIL("a refresh without a server succeeded");
        } catch (const Error& error) {
            messages.append(error.message());
        }
        QTest::qWait(600);
    }
    QVERIFY2(messages[0].contains(u"unreachable since"), qPrintable(messages[0]));
    QCOMPARE(messages.count(messages[0]), 3);
    QVERIFY(replica.unreachableSince().isValid());
    QCOMPARE(replica.rows().rowCount(), 8u);
    primary_->start();
    PgSession(database()).exec(reports(6, 501));
    const auto refreshed = [&] {
        try {
            replica.refresh();
            replica.waitForBackgroundWork();
            replica.adoptLoad();
        } catch (const Error&) {
        }
        return replica.rows().rowCount();
    };
    QTRY_COMPARE_WITH_TIMEOUT(refreshed(), 14u, 15000);
    QVERIFY(!replica.unreachableSince().isValid());
    QTRY_VERIFY(replica.isListening());
    verifyEachOnce(ids(replica.rows()),
                   QList<qint64>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14});
}

// A desk with both servers in its connection string follows the standby
// once it is promoted.
void PgReplicaTest::promotedStandbyIsPickedUp() {
    PgCluster primary;
    {
        PgSession session(primary.connectionString());
        createPgSchema(session);
        session.exec(reports(5));
    }
    const std::unique_ptr<PgCluster> standby = primary.makeStandby();
    const QString both = QStringLiteral("host=%1,%2 port=%3,%4 user=postgres dbname=postgres "
                                        "target_session_attrs=primary")
                             .arg(primary.socketFolder(), standby->socketFolder())
                             .arg(primary.port())
                             .arg(standby->port());
    PgTableReplica replica(both, QStringLiteral("map_coor"));
    readFirst(replica);
    QCOMPARE(replica.rows().rowCount(), 5u);

    primary.stop();
    standby->promote();
    PgSession(standby->connectionString()).exec(reports(3, 601));
    const auto refreshed = [&] {
        try {
            replica.refresh();
            replica.waitForBackgroundWork();
            replica.adoptLoad();
        } catch (const Error&) {
        }
        return replica.rows().rowCount();
    };
    QTRY_COMPARE_WITH_TIMEOUT(refreshed(), 8u, 15000);
    verifyEachOnce(ids(replica.rows()), QList<qint64>{1, 2, 3, 4, 5, 6, 7, 8});
}

void PgReplicaTest::badConnectionMessages_data() {
    QTest::addColumn<QString>("connection");
    QTest::addColumn<QString>("cause");
    const QString socket =
        QStringLiteral("host=%1 port=%2 ").arg(primary_->socketFolder()).arg(primary_->port());
    QTest::newRow("wrong password") << socket + "dbname=postgres user=desk_pw password=wrong"
                                    << "refused the password";
    QTest::newRow("no password") << socket + "dbname=postgres user=desk_pw"
                                 << "asks for a password and none was found";
    QTest::newRow("unknown host") << "host=no-such-host.invalid dbname=postgres"
                                  << "host name is unknown";
    QTest::newRow("TLS refused") << QStringLiteral("host=127.0.0.1 port=%1 user=postgres "
                                                   "sslmode=require")
                                        .arg(primary_->port())
                                 << "does not offer TLS";
    QTest::newRow("nothing listening") << "host=127.0.0.1 port=1 user=postgres"
                                       << "not running or does not accept connections";
    QTest::newRow("no such database") << socket + "dbname=nowhere user=postgres"
                                      << "does not exist";
}

// Each fault a desk meets is named first, with libpq's own words after it.
void PgReplicaTest::badConnectionMessages() {
    QFETCH(QString, connection);
    QFETCH(QString, cause);
    PgSession(primary_->connectionString())
        .execute(QStringLiteral("CREATE ROLE password_users; CREATE ROLE desk_pw LOGIN "
                                "PASSWORD 'right' IN ROLE password_users"));
    try {
        PgConnection session(connection);
        QFAIL("the connection succeeded");
    } catch (const Error& error) {
        QVERIFY2(error.message().startsWith(QStringLiteral("The ")), qPrintable(error.message()));
        QVERIFY2(error.message().contains(cause), qPrintable(error.message()));
    }
}

// A server that cannot be reached at the first read: one signal, no retry
// until asked, and the rows held stay empty.
void PgReplicaTest::firstReadFailureIsReportedOnce() {
    PgTableReplica replica(QStringLiteral("host=127.0.0.1 port=1 user=postgres"),
                           QStringLiteral("map_coor"));
    QSignalSpy failed(&replica, &TableReplica::loadFailed);
    replica.refresh();
    replica.waitForBackgroundWork();
    replica.refresh();
    replica.waitForBackgroundWork();
    QCOMPARE(failed.count(), 1);
    QVERIFY(replica.isLoadingHeld());
    QCOMPARE(replica.rows().rowCount(), 0u);
}

// A server that takes the connection and never answers: the window's
// thread goes on turning while the connection is tried, until the
// connection string's connect_timeout ends it with one clear message.
void PgReplicaTest::connectingNeverHoldsTheWindow() {
    const SilentServer silent;

    PgTableReplica replica(silent.connectionString(), QStringLiteral("projects"));
    replica.setIncrementalRefresh(false);
    int turnsWhileConnecting = 0;
    QTimer turn;
    connect(&turn, &QTimer::timeout, &replica, [&] {
        if (!replica.unreachableSince().isValid())
            ++turnsWhileConnecting;
    });
    turn.start(0);
    QStringList messages;
    const auto refreshed = [&] {
        try {
            replica.refresh();
        } catch (const Error& error) {
            messages.append(error.message());
        }
        return replica.unreachableSince().isValid();
    };
    QTRY_VERIFY_WITH_TIMEOUT(refreshed(), 15000);
    QVERIFY2(turnsWhileConnecting > 10, qPrintable(QString::number(turnsWhileConnecting)));
    QVERIFY2(messages.last().contains(u"did not answer in time"), qPrintable(messages.last()));
}

// The role of the README: SELECT on the tables and the change count, and
// every session is read only whatever the role may do.
void PgReplicaTest::selectOnlyRoleIsEnough() {
    PgSession owner(database());
    owner.execute(QStringLiteral("CREATE ROLE desk LOGIN"));
    owner.exec(QStringLiteral("GRANT CONNECT ON DATABASE %1 TO desk;"
                              " GRANT SELECT ON map_coor, projects, project_members,"
                              " personel_team, coorpos_table_changes TO desk")
                   .arg(databaseName_));
    const QString desk = QStringLiteral("host=%1 port=%2 user=desk dbname=%3")
                             .arg(primary_->socketFolder())
                             .arg(primary_->port())
                             .arg(databaseName_);
    PgTableReplica replica(desk, QStringLiteral("map_coor"));
    readFirst(replica);
    QTRY_VERIFY(replica.isListening());
    owner.exec(reports(2, 701)).exec(QStringLiteral("DELETE FROM map_coor WHERE id = 1"));
    readWhole(replica);
    QCOMPARE(ids(replica.rows()), (QList<qint64>{2, 3, 4, 5, 6, 7, 8, 9, 10}));

    PgConnection superuser(database());
    QVERIFY_THROWS_EXCEPTION(Error, superuser.exec(reports(1)));
    QCOMPARE(PgSession(database()).integers(QStringLiteral("SELECT count(*) FROM map_coor"))[0], 9);
}

QTEST_GUILESS_MAIN(PgReplicaTest)
#include "tst_pgreplica.moc"
