#include "../support/TestDatabase.h"

#include "app/Error.h"
#include "store/ReadOnlyDatabase.h"
#include "store/SqliteRowReader.h"

#include <QTemporaryDir>
#include <QTest>

class SqliteRowReaderTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void sliceReadsItsBounds_data();
    void sliceReadsItsBounds();
    void sliceHoldsItsReadOnlyWhileRead();
    void failuresNameTheCause();

private:
    QTemporaryDir dir_;
    QString path_;
};

void SqliteRowReaderTest::init() {
    path_ = dir_.filePath(QStringLiteral("%1.db").arg(QTest::currentTestFunction()));
    QFile::remove(path_);
    TestDatabase db(path_);
    QCOMPARE(db.execute("CREATE TABLE t(v INTEGER, s TEXT);"
                        "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n"
                        " WHERE x < 10) INSERT INTO t SELECT x * 10, 'row ' || x FROM n"),
             QString());
}

void SqliteRowReaderTest::sliceReadsItsBounds_data() {
    QTest::addColumn<qint64>("after");
    QTest::addColumn<qint64>("last");
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<QList<qint64>>("rowids");
    QTest::newRow("every row") << qint64(0) << qint64(10) << qint64(-1)
                               << QList<qint64>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    QTest::newRow("after excluded, last included")
        << qint64(3) << qint64(6) << qint64(-1) << QList<qint64>{4, 5, 6};
    QTest::newRow("the limit first") << qint64(3) << qint64(9) << qint64(2) << QList<qint64>{4, 5};
    QTest::newRow("past the end") << qint64(10) << qint64(20) << qint64(-1) << QList<qint64>{};
}

// One prepared statement reads slice after slice: the rows of each in row id
// order, each with its cells and its row id apart.
void SqliteRowReaderTest::sliceReadsItsBounds() {
    QFETCH(qint64, after);
    QFETCH(qint64, last);
    QFETCH(qint64, limit);
    QFETCH(QList<qint64>, rowids);
    const ReadOnlyDatabase database(path_);
    SqliteRowReader reader = SqliteRowReader::rowidSlices(database.handle(), QStringLiteral("t"));
    for (int round = 0; round < 2; ++round) {
        reader.startSlice(after, last, limit);
        QList<qint64> read;
        while (reader.next()) {
            QCOMPARE(reader.columns().size(), std::size_t(2));
            QCOMPARE(reader.cells()[0].integer, reader.rowid() * 10);
            QCOMPARE(reader.cells()[1].text,
                     QByteArray("row " + QByteArray::number(reader.rowid())));
            read << reader.rowid();
        }
        QCOMPARE(read, rowids);
    }
}

// A writer's commit waits for a slice being read, never for one read to
// its end: the statement's read transaction ends with its last row.
void SqliteRowReaderTest::sliceHoldsItsReadOnlyWhileRead() {
    const ReadOnlyDatabase database(path_);
    SqliteRowReader reader = SqliteRowReader::rowidSlices(database.handle(), QStringLiteral("t"));
    TestDatabase writer(path_);
    reader.startSlice(0, 10, 3);
    QVERIFY(reader.next());
    QVERIFY(writer.execute("BEGIN EXCLUSIVE; COMMIT").contains(QStringLiteral("locked")));
    writer.execute("ROLLBACK");
    while (reader.next()) {
    }
    QCOMPARE(writer.execute("BEGIN EXCLUSIVE; INSERT INTO t VALUES(110, 'row 11'); COMMIT"),
             QString());
    reader.startSlice(10, 11, -1);
    QVERIFY(reader.next());
    QCOMPARE(reader.rowid(), qint64(11));
}

void SqliteRowReaderTest::failuresNameTheCause() {
    const ReadOnlyDatabase database(path_);
    try {
        SqliteRowReader::rowidSlices(database.handle(), QStringLiteral("missing"));
        QFAIL("a missing table was read");
    } catch (const Error& error) {
        QVERIFY2(error.message().contains(QStringLiteral("no such table: missing")),
                 qPrintable(error.message()));
    }
    SqliteRowReader reader(database.handle(),
                           QStringLiteral("SELECT abs(-9223372036854775807 - 1) FROM t"));
    QVERIFY_THROWS_EXCEPTION(Error, reader.next());
}

QTEST_GUILESS_MAIN(SqliteRowReaderTest)
#include "tst_sqliterowreader.moc"
