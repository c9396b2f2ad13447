// Broken and hostile database files under the whole program: each gives a
// clear report on the path start-up or the views give it, nothing crashes or
// hangs, and the file is never written.
#include "../support/FileSnapshot.h"
#include "../support/MessageBoxWatcher.h"
#include "../support/ProgramFiles.h"
#include "../support/TestDatabase.h"
#include "ProgramUnderTest.h"
#include "app/Application.h"
#include "map/browser/MapUrlScheme.h"
#include "ui/coorposunit.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <QTreeWidget>

namespace {

enum class Content { Bytes, Statements, TruncatedDatabase };

// Projects and personnel for radios 7 and 12, and reports the program can show.
void writeGoodDatabase(const QString& path, int reportsPerRadio = 1) {
    TestDatabase db(path);
    db.createSchema()
        .addProject(1, "North")
        .addMember(1, 10)
        .addMember(1, 11)
        .addPerson(10, "Ann", "Lee", 7)
        .addPerson(11, "Bob", "Kay", 12);
    db.exec(QStringLiteral("BEGIN"));
    for (int i = 0; i < reportsPerRadio; ++i) {
        db.addReport(7, QStringLiteral("2024-03-01 10:00:00"), QStringLiteral("41.000000"),
                     QStringLiteral("29.000000"));
        db.addReport(12, QStringLiteral("2024-03-01 10:00:00"), QStringLiteral("41.020000"),
                     QStringLiteral("29.030000"));
    }
    db.exec(QStringLiteral("COMMIT"));
}

QByteArray randomBytes(int size) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator random(20240301);
    random.fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
    return bytes;
}

QByteArray megabyteText(char fill) {
    return "'" + QByteArray(1 << 20, fill) + "'";
}

const QByteArray positionColumns =
    "id INTEGER PRIMARY KEY, station_name TEXT, time DATETIME, radio_short_id INTEGER, ns TEXT,"
    " lat TEXT, ew TEXT, long TEXT, alt TEXT";

} // namespace

class TestHostileDatabases : public QObject {
    Q_OBJECT
private slots:
    void reportedClearly_data();
    void reportedClearly();
    void exclusiveLockOfAnotherProcess();
};

void TestHostileDatabases::reportedClearly_data() {
    QTest::addColumn<int>("content");
    QTest::addColumn<QByteArray>("data"); // file bytes, or statements run on the good database
    QTest::addColumn<QString>("startupError");
    QTest::addColumn<QString>("viewError");
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("markers");

    const auto row = [](const char* name, Content content, const QByteArray& data,
                        const QString& startupError, const QString& viewError,
                        const QString& status, int markers) {
        QTest::newRow(name) << int(content) << data << startupError << viewError << status
                            << markers;
    };
    const QString none;
    const QString nothingFound = QStringLiteral("No records found");
    const QString found = QStringLiteral("Record found");
    // A radio whose report cannot be read is left off; the others are drawn.
    const QString radio7Unreadable = QStringLiteral(" \u00b7 position of radio 7 cannot be read");
    const QByteArray replace = "DROP TABLE map_coor; CREATE TABLE map_coor(";

    row("zero-byte file", Content::Bytes, "", "no such table: map_coor", none, nothingFound, 0);
    row("random bytes", Content::Bytes, randomBytes(16384), "file is not a database", none,
        nothingFound, 0);
    row("truncated database", Content::TruncatedDatabase, "", "database disk image is malformed",
        none, nothingFound, 0);
    row("table missing", Content::Statements, "DROP TABLE map_coor", "no such table: map_coor",
        none, nothingFound, 0);
    row("radio column missing", Content::Statements,
        replace + "id INTEGER, station_name TEXT, time DATETIME, lat TEXT, long TEXT);"
                  "INSERT INTO map_coor VALUES(1, 'A', '2024-03-01 10:00:00', '41.0', '29.0')",
        none, none, nothingFound, 0);
    row("longitude column missing", Content::Statements,
        replace + "id INTEGER, station_name TEXT, time DATETIME, radio_short_id INTEGER,"
                  " ns TEXT, lat TEXT, ew TEXT);"
                  "INSERT INTO map_coor VALUES(1, 'A', '2024-03-01 10:00:00', 7, 'N', '41.0', 'E')",
        none, "Column \"long\" not found in table map_coor", nothingFound + radio7Unreadable, 0);
    row("unexpected declared types", Content::Statements,
        replace + "id TEXT, station_name INTEGER, time REAL, radio_short_id TEXT, ns BLOB,"
                  " lat REAL, ew DATETIME, long NUMERIC, alt INTEGER);"
                  "INSERT INTO map_coor VALUES('a', 'Depot', '2024-03-01 10:00:00', '7', 'N',"
                  " '41.041234', 'E', '29.041234', 'high');"
                  "INSERT INTO map_coor VALUES('b', 42, 41334.5, '12', 1, 41.5, 2, 29.5, 3)",
        none, none, found, 2);
    row("NULLs everywhere", Content::Statements,
        replace + positionColumns +
            ");"
            "INSERT INTO map_coor DEFAULT VALUES;"
            "INSERT INTO map_coor(radio_short_id) VALUES(7);"
            "INSERT INTO map_coor DEFAULT VALUES",
        none, "'' is not a valid coordinate", nothingFound + radio7Unreadable, 0);
    row("texts of 1 MB", Content::Statements,
        "UPDATE map_coor SET station_name = " + megabyteText('s') + ", time = " +
            megabyteText('9') + ", ns = " + megabyteText('N') + ", ew = " + megabyteText('E') +
            ", alt = " + megabyteText('1') + " WHERE radio_short_id = 7",
        none, none, found, 2);
    row("invalid UTF-8", Content::Statements,
        "UPDATE map_coor SET station_name = CAST(X'41FF42C3' AS TEXT),"
        " time = CAST(X'32303234FE2D' AS TEXT), ns = CAST(X'C0AF' AS TEXT),"
        " alt = CAST(X'EDA080' AS TEXT) WHERE radio_short_id = 7",
        none, none, found, 2);
    row("coordinate that does not convert", Content::Statements,
        "UPDATE map_coor SET lat = '41.O6l234' WHERE radio_short_id = 7", none,
        "'41.O6l234' is not a valid coordinate", found + radio7Unreadable, 1);
    row("coordinate whose degrees are script", Content::Statements,
        "UPDATE map_coor SET lat = '0);alert(1);(0.061234' WHERE radio_short_id = 7", none,
        "'0);alert(1);(0.061234' is not a valid coordinate", found + radio7Unreadable, 1);
}

void TestHostileDatabases::reportedClearly() {
    QFETCH(int, content);
    QFETCH(QByteArray, data);
    QFETCH(QString, startupError);
    QFETCH(QString, viewError);
    QFETCH(QString, status);
    QFETCH(int, markers);

    ProgramUnderTest program;
    const QString path = program.databasePath();
    switch (Content(content)) {
    case Content::Bytes:
        writeFile(path, data);
        break;
    case Content::Statements:
        writeGoodDatabase(path);
        QCOMPARE(TestDatabase(path).execute(data), QString());
        break;
    case Content::TruncatedDatabase: {
        writeGoodDatabase(path, 2000);
        QFile file(path);
        QVERIFY(file.resize(file.size() / 2));
        break;
    }
    }
    const FileSnapshot before = FileSnapshot::of(path);

    MessageBoxWatcher boxes;
    program.start();
    if (startupError.isEmpty()) {
        QVERIFY2(boxes.boxes().isEmpty(), qPrintable(boxes.texts().join(u'\n')));
    } else {
        QCOMPARE(boxes.boxes().size(), 1);
        QVERIFY(boxes.boxes().first().critical);
        QVERIFY2(boxes.boxes().first().text.contains(startupError),
                 qPrintable(boxes.boxes().first().text));
    }
    program.loadMap();
    if (QTreeWidgetItem* root = program.window().controls().JvTreeView1->topLevelItem(0))
        root->setCheckState(0, Qt::Checked);

    boxes.clear();
    program.runHandler("ToolButton1Click");
    if (viewError.isEmpty()) {
        QVERIFY2(boxes.boxes().isEmpty(), qPrintable(boxes.texts().join(u'\n')));
    } else {
        QCOMPARE(boxes.boxes().size(), 1);
        QVERIFY(boxes.boxes().first().critical);
        QVERIFY2(boxes.boxes().first().text.contains(viewError),
                 qPrintable(boxes.boxes().first().text));
    }
    QCOMPARE(program.window().statusText(), status);
    QTRY_COMPARE(program.markerCount(), markers);

    program.stop();
    QCOMPARE(FileSnapshot::of(path), before);
}

// Another process holds the database exclusively for five seconds: the views
// go on with the reports read before and say so once, and the first run after
// it reads the reports again.
void TestHostileDatabases::exclusiveLockOfAnotherProcess() {
    ProgramUnderTest program;
    const QString path = program.databasePath();
    writeGoodDatabase(path);
    const FileSnapshot before = FileSnapshot::of(path);
    MessageBoxWatcher boxes;
    program.start();
    program.loadMap();
    program.window().controls().JvTreeView1->topLevelItem(0)->setCheckState(0, Qt::Checked);
    program.runHandler("ToolButton1Click");
    QCOMPARE(program.window().statusText(), QStringLiteral("Record found"));

    QProcess locker;
    locker.start(QStringLiteral("sqlite3"), {path});
    QVERIFY2(locker.waitForStarted(), "the sqlite3 shell is missing");
    locker.write("BEGIN EXCLUSIVE;\n.shell sleep 5\nCOMMIT;\n");
    locker.closeWriteChannel();
    TestDatabase reader(path);
    QVERIFY(QTest::qWaitFor(
        [&] { return reader.execute("SELECT count(*) FROM map_coor").contains("locked"); }));

    program.runHandler("ToolButton1Click");
    QCOMPARE(program.window().statusText(), QStringLiteral("Record found"));
    QTRY_COMPARE(program.markerCount(), 2);
    program.window().setStatusText(QString());
    program.runHandler("ToolButton2Click"); // the pickers' range holds no report
    QCOMPARE(program.window().statusText(), QStringLiteral("No records found"));
    QCOMPARE(boxes.boxes().size(), 1);
    QVERIFY2(boxes.texts().first().contains("could not be read again") &&
                 boxes.texts().first().contains("locked"),
             qPrintable(boxes.texts().first()));
    QCOMPARE(locker.state(), QProcess::Running); // the runs met the lock
    boxes.clear();

    QVERIFY(locker.waitForFinished(30000));
    QCOMPARE(locker.exitCode(), 0);
    program.runHandler("ToolButton1Click");
    QCOMPARE(program.window().statusText(), QStringLiteral("Record found"));
    QTRY_COMPARE(program.markerCount(), 2);
    QVERIFY2(boxes.boxes().isEmpty(), qPrintable(boxes.texts().join(u'\n')));

    program.stop();
    QCOMPARE(FileSnapshot::of(path), before);
}

int main(int argc, char** argv) {
    registerMapUrlScheme();
    Application application(argc, argv);
    TestHostileDatabases test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hostiledatabases.moc"
