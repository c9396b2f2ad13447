#include "../support/FileSnapshot.h"
#include "../support/TestDatabase.h"

#include "app/Error.h"
#include "store/Connection.h"
#include "store/CoordinateText.h"
#include "store/SqliteTableReplica.h"
#include "store/TableCursor.h"
#include <sqlite3.h>

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

// Databases the writing software should never leave behind, and the proof
// that reading never writes.
class BadDatabaseTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void missingFileIsCreatedEmpty();
    void openingFails_data();
    void openingFails();
    void danglingLinkIsNotFollowed();
    void walDatabaseInReadOnlyFolder();
    void missingColumnFailsNamingIt();
    void unexpectedDeclaredTypes();
    void nullEverywhere();
    void nonUtf8Bytes();
    void readingNeverWrites_data();
    void readingNeverWrites();
    void statementsCannotWrite();

private:
    QString path() const { return dir_->filePath(QStringLiteral("tavirelmonkas.db")); }
    void create(const QByteArray& sql);

    std::unique_ptr<QTemporaryDir> dir_;
    QString previousDirectory_;
};

namespace {

const QByteArray positionColumns =
    "station_name TEXT, time DATETIME, radio_short_id INTEGER, ns TEXT, lat TEXT, ew TEXT,"
    " long TEXT, alt TEXT";

} // namespace

void BadDatabaseTest::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    previousDirectory_ = QDir::currentPath();
    QDir::setCurrent(dir_->path());
}

void BadDatabaseTest::cleanup() {
    QDir::setCurrent(previousDirectory_);
    dir_.reset();
}

void BadDatabaseTest::create(const QByteArray& sql) {
    TestDatabase db(path());
    QCOMPARE(db.execute(sql), QString());
}

void BadDatabaseTest::missingFileIsCreatedEmpty() {
    Connection connection;
    connection.open(QStringLiteral("tavirelmonkas.db"));
    QVERIFY(QFileInfo::exists(path()));
    TableCursor cursor(sqliteReplica(connection, QStringLiteral("map_coor")));
    QVERIFY_THROWS_EXCEPTION(Error, cursor.open());
    QVERIFY(!cursor.isOpen());
    connection.close();
    QCOMPARE(QFileInfo(path()).size(), 0);
}

void BadDatabaseTest::openingFails_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("isSql");
    QTest::addColumn<QString>("message");
    QTest::newRow("zero-byte file") << QByteArray() << false << "no such table: map_coor";
    QTest::newRow("corrupted file")
        << QByteArray(8192, '\x5a') << false << "file is not a database";
    QTest::newRow("damaged header")
        << QByteArray("SQLite format 3").append('\0').append(QByteArray(4080, '\xff')) << false
        << "";
    QTest::newRow("missing table")
        << QByteArray("CREATE TABLE projects(id INTEGER)") << true << "no such table: map_coor";
}

// Start-up gets an Error with the database's message; nothing crashes.
void BadDatabaseTest::openingFails() {
    QFETCH(QByteArray, content);
    QFETCH(bool, isSql);
    QFETCH(QString, message);
    if (isSql) {
        create(content);
    } else {
        QFile file(path());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    const FileSnapshot before = FileSnapshot::of(path());
    try {
        Connection connection;
        connection.open(QStringLiteral("tavirelmonkas.db"));
        TableCursor cursor(sqliteReplica(connection, QStringLiteral("map_coor")));
        cursor.open();
        QFAIL("the table opened");
    } catch (const Error& error) {
        QVERIFY2(error.message().contains(message), qPrintable(error.message()));
        QVERIFY(!error.message().isEmpty());
    }
    QCOMPARE(FileSnapshot::of(path()), before);
}

// Opening through a link to a missing file would create the file there.
void BadDatabaseTest::danglingLinkIsNotFollowed() {
    const QString target = QDir::current().filePath("elsewhere.db");
    QVERIFY(QFile::link(target, path()));
    Connection connection;
    try {
        connection.open(QStringLiteral("tavirelmonkas.db"));
        QFAIL("opened through a dangling link");
    } catch (const Error& error) {
        QVERIFY2(error.message().contains("tavirelmonkas.db"), qPrintable(error.message()));
    }
    QVERIFY(!QFileInfo::exists(target));
}

// Without its shared-memory file and unable to create one, a WAL database
// cannot be read; the message says why. Root may write any folder, so this
// runs only for other users.
void BadDatabaseTest::walDatabaseInReadOnlyFolder() {
    if (geteuid() == 0)
        QSKIP("root may write to a read-only folder");
    {
        TestDatabase db(path());
        QCOMPARE(db.execute("PRAGMA journal_mode=WAL; CREATE TABLE t(a); INSERT INTO t VALUES(1)"),
                 QString());
    }
    QFile::remove(path() + "-shm");
    QFile::remove(path() + "-wal");
    const QString folder = QDir::currentPath();
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    const auto restore = qScopeGuard([&] {
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    });
    Connection connection;
    try {
        connection.open(QStringLiteral("tavirelmonkas.db"));
        TableCursor cursor(sqliteReplica(connection, QStringLiteral("t")));
        cursor.open();
        QFAIL("read a WAL database without its shared-memory file");
    } catch (const Error& error) {
        QVERIFY2(error.message().contains("write-ahead log") &&
                     error.message().contains("tavirelmonkas.db"),
                 qPrintable(error.message()));
    }
}

void BadDatabaseTest::missingColumnFailsNamingIt() {
    create("CREATE TABLE map_coor(id INTEGER PRIMARY KEY, station_name TEXT, time DATETIME);"
           "INSERT INTO map_coor VALUES(1, 'A', '2012-05-03 10:00:00')");
    Connection connection;
    connection.open(QStringLiteral("tavirelmonkas.db"));
    TableCursor cursor(sqliteReplica(connection, QStringLiteral("map_coor")));
    cursor.open();
    QCOMPARE(cursor.rowCount(), 1);
    try {
        cursor.fieldAsText(QStringLiteral("lat"));
        QFAIL("read a missing column");
    } catch (const Error& error) {
        QVERIFY2(error.message().contains(QStringLiteral("lat")), qPrintable(error.message()));
    }
    try {
        cursor.setFilter(QStringLiteral("radio_short_id=7"));
        QFAIL("filtered on a missing column");
    } catch (const Error& error) {
        QVERIFY2(error.message().contains(QStringLiteral("radio_short_id")),
                 qPrintable(error.message()));
    }
}

// The comparison rules of each kind apply as they stand.
void BadDatabaseTest::unexpectedDeclaredTypes() {
    create("CREATE TABLE map_coor(id REAL, station_name BLOB, time TEXT, radio_short_id TEXT,"
           " ns INTEGER, lat REAL, ew TEXT, long TEXT, alt DATETIME);"
           "INSERT INTO map_coor VALUES(1, 'A', '2012-05-03 10:00:00', '101', 'N', 41.061234,"
           " 'E', '29.041234', '35');"
           "INSERT INTO map_coor VALUES(2, 'B', '2012-05-04 10:00:00', '1010', 'N', 41.5,"
           " 'E', '29.041234', '35')");
    Connection connection;
    connection.open(QStringLiteral("tavirelmonkas.db"));
    TableCursor cursor(sqliteReplica(connection, QStringLiteral("map_coor")));
    cursor.open();
    cursor.setFilter(QStringLiteral("radio_short_id=101 and time>='2012-05-03 00:00:00'"));
    cursor.setFiltered(true);
    QCOMPARE(cursor.rowCount(), 1);
    QCOMPARE(cursor.fieldAsInteger(QStringLiteral("radio_short_id")), 101);
    QCOMPARE(cursor.fieldAsDateTime(QStringLiteral("time")), 41032 + 10 / 24.0);
    QCOMPARE(ToDecimalDegrees(cursor.fieldAsText(QStringLiteral("lat")), QuotientRule::Truncating),
             QStringLiteral("41.1020"));
    QCOMPARE(cursor.fieldAsText(QStringLiteral("ns")), QStringLiteral("0"));
    QCOMPARE(cursor.fieldAsDateTime(QStringLiteral("alt")), 0.0);
}

void BadDatabaseTest::nullEverywhere() {
    create("CREATE TABLE map_coor(id INTEGER, " + positionColumns +
           ");"
           "INSERT INTO map_coor DEFAULT VALUES; INSERT INTO map_coor DEFAULT VALUES");
    Connection connection;
    connection.open(QStringLiteral("tavirelmonkas.db"));
    TableCursor cursor(sqliteReplica(connection, QStringLiteral("map_coor")));
    cursor.open();
    QCOMPARE(cursor.rowCount(), 2);
    cursor.last();
    QCOMPARE(cursor.fieldAsText(QStringLiteral("station_name")), QString());
    QCOMPARE(cursor.fieldAsInteger(QStringLiteral("radio_short_id")), 0);
    QCOMPARE(cursor.fieldAsDateTime(QStringLiteral("time")), 0.0);
    for (int c = 0; c < cursor.columnCount(); ++c)
        QCOMPARE(cursor.displayText(1, c), QString());
    QVERIFY_THROWS_EXCEPTION(Error, ToDecimalDegrees(cursor.fieldAsText(QStringLiteral("lat")),
                                                     QuotientRule::Truncating));
    cursor.setFilter(QStringLiteral("radio_short_id=0"));
    cursor.setFiltered(true);
    QCOMPARE(cursor.rowCount(), 0);
    cursor.refresh();
    QCOMPARE(cursor.rowCount(), 0);
}

void BadDatabaseTest::nonUtf8Bytes() {
    create("CREATE TABLE map_coor(id INTEGER PRIMARY KEY, " + positionColumns +
           ");"
           "INSERT INTO map_coor VALUES(1, CAST(X'41FF42' AS TEXT), CAST(X'32303132FF' AS TEXT),"
           " CAST(X'3130FF' AS TEXT), 'N', CAST(X'34312EFF' AS TEXT), 'E', '29.041234', '')");
    Connection connection;
    connection.open(QStringLiteral("tavirelmonkas.db"));
    TableCursor cursor(sqliteReplica(connection, QStringLiteral("map_coor")));
    cursor.open();
    cursor.setFilter(QStringLiteral("station_name='A'"));
    cursor.setFiltered(true);
    QCOMPARE(cursor.rowCount(), 0);
    cursor.setFiltered(false);
    QCOMPARE(cursor.fieldAsText(QStringLiteral("station_name")), QStringLiteral("A\uFFFDB"));
    QCOMPARE(cursor.fieldAsDateTime(QStringLiteral("time")), 0.0);
    // Not a whole number: reads as 0, like any unconvertible integer.
    QCOMPARE(cursor.fieldAsInteger(QStringLiteral("radio_short_id")), 0);
    QVERIFY_THROWS_EXCEPTION(
        Error, ToDecimalDegrees(cursor.fieldAsText(QStringLiteral("lat")), QuotientRule::Rounding));
}

void BadDatabaseTest::readingNeverWrites_data() {
    QTest::addColumn<bool>("wal");
    QTest::newRow("rollback journal") << false;
    QTest::newRow("write-ahead log left by the writer") << true;
}

// Everything the program does with the file leaves its bytes and time
// stamp as they were, even when it is the last connection to a WAL database
// (which would otherwise checkpoint on closing).
void BadDatabaseTest::readingNeverWrites() {
    QFETCH(bool, wal);
    {
        TestDatabase writer(path());
        if (wal) {
            int persist = 1;
            sqlite3_file_control(writer.handle(), "main", SQLITE_FCNTL_PERSIST_WAL, &persist);
            sqlite3_db_config(writer.handle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
            QCOMPARE(writer.execute("PRAGMA journal_mode=WAL"), QString());
        }
        QCOMPARE(writer.execute("CREATE TABLE map_coor(id INTEGER PRIMARY KEY, " + positionColumns +
                                ");"
                                "INSERT INTO map_coor(radio_short_id, time) VALUES(7, "
                                "'2012-05-03 10:00:00'), (8, '2012-05-03 11:00:00')"),
                 QString());
    }
    const FileSnapshot before = FileSnapshot::of(path());
    QTest::qWait(20); // a write would show in the time stamp too

    Connection connection;
    connection.open(QStringLiteral("tavirelmonkas.db"));
    TableCursor cursor(sqliteReplica(connection, QStringLiteral("map_coor")));
    cursor.open();
    QCOMPARE(cursor.rowCount(), 2);
    cursor.setFilter(QStringLiteral("radio_short_id=7"));
    cursor.setFiltered(true);
    cursor.refresh();
    cursor.last();
    QCOMPARE(cursor.rowCount(), 1);
    cursor.close();
    connection.close();

    QCOMPARE(FileSnapshot::of(path()), before);
}

void BadDatabaseTest::statementsCannotWrite() {
    create("CREATE TABLE projects(id INTEGER)");
    Connection connection;
    connection.open(QStringLiteral("tavirelmonkas.db"));
    QVERIFY(sqlite3_exec(connection.handle(), "INSERT INTO projects VALUES(1)", nullptr, nullptr,
                         nullptr) != SQLITE_OK);
    QVERIFY(sqlite3_exec(connection.handle(), "CREATE TABLE t(x)", nullptr, nullptr, nullptr) !=
            SQLITE_OK);
}

QTEST_GUILESS_MAIN(BadDatabaseTest)
#include "tst_baddatabase.moc"
