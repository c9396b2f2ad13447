#include "CursorFixture.h"

#include "../support/TestDatabase.h"

#include "store/SqliteTableReplica.h"
#include "store/TableCursor.h"

#include <QTest>

void createKindsTable(const QString& path) {
    TestDatabase db(path);
    QCOMPARE(db.execute("CREATE TABLE kinds(k INTEGER, i INTEGER, r REAL, t TEXT, d DATETIME);"
                        "INSERT INTO kinds VALUES(1, 7, 1.5, 'apple', '2012-05-03 14:22:33');"
                        "INSERT INTO kinds VALUES(2, 8, 2.0, 'Apple', '2012-05-02 10:00:00');"
                        "INSERT INTO kinds VALUES(3, NULL, NULL, NULL, NULL);"
                        "INSERT INTO kinds VALUES(4, 12, 1.000005, 'banana', '2012/05/04 08:00');"
                        "INSERT INTO kinds VALUES(5, -3, 0.0, '7', '2012-05-03');"),
             QString());
}

void openLoaded(TableCursor& cursor) {
    cursor.open();
    cursor.replica().waitForBackgroundWork();
    cursor.refresh();
    QVERIFY(cursor.isOpen());
}

SqliteTableReplica& sqliteOf(TableCursor& cursor) {
    return static_cast<SqliteTableReplica&>(cursor.replica());
}

QList<qint32> passingKeys(TableCursor& cursor) {
    QList<qint32> keys;
    for (cursor.first(); !cursor.atEnd(); cursor.next())
        keys << cursor.fieldAsInteger(QStringLiteral("k"));
    return keys;
}

QStringList allText(const TableCursor& cursor) {
    QStringList texts;
    for (int c = 0; c < cursor.columnCount(); ++c)
        texts << cursor.columnName(c);
    for (int row = 0; row < cursor.rowCount(); ++row) {
        for (int c = 0; c < cursor.columnCount(); ++c)
            texts << cursor.displayText(row, c);
    }
    return texts;
}
