// The window on a PostgreSQL server named by the INI file's Database= key.

#include "../support/ProgramFiles.h"
#include "../support/SilentServer.h"
#include "app/AppPaths.h"
#include "store/TableCursor.h"
#include "tests/support/MessageBoxWatcher.h"
#include "tests/support/PgCluster.h"
#include "tests/support/PgSession.h"
#include "tests/support/WorkingDirectory.h"
#include "ui/coorposunit.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

class PgDeskTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void readsTheFourTablesFromTheServer();
    void serverDownAtStart();
    void silentServerLeavesTheWindowTurning();

private:
    std::unique_ptr<PgCluster> server_;
};

namespace {} // namespace

void PgDeskTest::initTestCase() {
    server_ = std::make_unique<PgCluster>();
    PgSession writer(server_->connectionString());
    QFile schema(QStringLiteral(PG_SCHEMA_PATH));
    QVERIFY(schema.open(QIODevice::ReadOnly));
    writer.exec(QString::fromUtf8(schema.readAll()));
    writer.exec(QStringLiteral(
        "INSERT INTO projects VALUES (1, 'North'); INSERT INTO project_members VALUES (1, 10);"
        " INSERT INTO personel_team VALUES (10, 'Ann', 'Lee', 12);"
        " INSERT INTO map_coor(station_name, time, radio_short_id, ns, lat, ew, long, alt)"
        " VALUES ('Base', '2024-03-01 10:00:00', 12, 'N', '41.000000', 'E', '29.000000', '')"));
}

void PgDeskTest::cleanup() {
    QFile::remove(iniBesideExecutable());
}

// The radio tree and the reports come from the server, the title names it,
// and no database file is made in the working folder.
void PgDeskTest::readsTheFourTablesFromTheServer() {
    WorkingDirectory cwd;
    QFile ini(iniBesideExecutable());
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[General]\nDatabase=" + server_->connectionString().toUtf8() + "\n");
    ini.close();
    MessageBoxWatcher boxes;
    Tcoor_pos window;
    QVERIFY(boxes.boxes().isEmpty());
    QCOMPARE(window.windowTitle(),
             QStringLiteral("GPS Positions - PostgreSQL postgres on ") + server_->socketFolder());
    // The reports are read after the tree.
    QTRY_COMPARE(window.positionTable().rowCount(), 1);
    QCOMPARE(window.controls().JvTreeView1->topLevelItem(0)->child(0)->child(0)->text(0),
             QStringLiteral("12-Ann Lee"));
    QVERIFY(!QFile::exists(cwd.filePath("tavirelmonkas.db")));

    PgSession(server_->connectionString())
        .exec(QStringLiteral("INSERT INTO map_coor(radio_short_id, time) VALUES "
                             "(12, '2024-03-01 10:01:00')"));
    TableCursor& reports = window.positionTable();
    QTRY_COMPARE((reports.refresh(), reports.rowCount()), 2);
}

// A server that does not answer at start: the window opens, says why once,
// and reads the tables once the server answers.
void PgDeskTest::serverDownAtStart() {
    WorkingDirectory cwd;
    QFile ini(iniBesideExecutable());
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[General]\nDatabase=" + server_->connectionString().toUtf8() + "\n");
    ini.close();
    server_->stop();
    MessageBoxWatcher boxes;
    Tcoor_pos window;
    QTest::qWait(1500);
    server_->start();
    QTRY_COMPARE_WITH_TIMEOUT(window.positionTable().rowCount(), 2, 40000);
    QCOMPARE(window.controls().JvTreeView1->topLevelItem(0)->child(0)->child(0)->text(0),
             QStringLiteral("12-Ann Lee"));
    QCOMPARE(boxes.boxes().size(), 1);
    QVERIFY2(boxes.boxes().first().text.contains(u"not running"),
             qPrintable(boxes.boxes().first().text));
}

// A host that takes the connection and never answers: the window is made
// and keeps turning while it connects, then says once that the server did
// not answer.
void PgDeskTest::silentServerLeavesTheWindowTurning() {
    const SilentServer silent;
    WorkingDirectory cwd;
    QFile ini(iniBesideExecutable());
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write(("[General]\nDatabase=" + silent.connectionString() + "\n").toUtf8());
    ini.close();
    MessageBoxWatcher boxes;
    int turnsBeforeTheMessage = 0;
    QTimer turn;
    connect(&turn, &QTimer::timeout, this, [&] {
        if (boxes.boxes().isEmpty() && !QApplication::activeModalWidget())
            ++turnsBeforeTheMessage;
    });
    turn.start(0);
    Tcoor_pos window;
    QTRY_COMPARE_WITH_TIMEOUT(boxes.boxes().size(), 1, 15000);
    QVERIFY2(turnsBeforeTheMessage > 10, qPrintable(QString::number(turnsBeforeTheMessage)));
    QVERIFY2(boxes.boxes().first().text.contains(u"did not answer in time"),
             qPrintable(boxes.boxes().first().text));
    QTest::qWait(2500);
    QCOMPARE(boxes.boxes().size(), 1);
}

QTEST_MAIN(PgDeskTest)
#include "tst_pgdesk.moc"
