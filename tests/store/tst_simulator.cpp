#include "app/Error.h"
#include "store/Connection.h"
#include "store/CoordinateText.h"
#include "store/SqliteTableReplica.h"
#include "store/TableCursor.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

// The simulator's databases, read the way the program reads them.
class SimulatorTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void demoDatabaseReads();
    void followWhileReading_data();
    void followWhileReading();

private:
    QString path() const { return dir_->filePath(QStringLiteral("sim.db")); }
    std::unique_ptr<QTemporaryDir> dir_;
};

void SimulatorTest::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
}

void SimulatorTest::demoDatabaseReads() {
    QProcess possim;
    possim.start(QStringLiteral(POSSIM_PATH),
                 {"--db", path(), "--radios", "6", "--reports", "600", "--span-hours", "2"});
    QVERIFY(possim.waitForFinished(60000));
    QCOMPARE(possim.exitCode(), 0);
    QVERIFY(possim.readAllStandardOutput().contains("600 reports"));

    Connection connection;
    connection.open(path());
    TableCursor reports(sqliteReplica(connection, QStringLiteral("map_coor")));
    reports.open();
    QCOMPARE(reports.rowCount(), 600);
    QCOMPARE(reports.columnKind(reports.columnIndex(QStringLiteral("time"))), ColumnKind::DateTime);
    QCOMPARE(reports.columnKind(reports.columnIndex(QStringLiteral("radio_short_id"))),
             ColumnKind::Integer);

    // In time order, the newest stamped now, every position near the city.
    DateTimeValue previous = 0;
    QSet<qint32> radios;
    for (reports.first(); !reports.atEnd(); reports.next()) {
        const DateTimeValue time = reports.fieldAsDateTime(QStringLiteral("time"));
        QVERIFY(time >= previous);
        previous = time;
        radios << reports.fieldAsInteger(QStringLiteral("radio_short_id"));
        const QString pair = coordinatePairText(reports.fieldAsText(QStringLiteral("lat")),
                                                reports.fieldAsText(QStringLiteral("ns")).front(),
                                                reports.fieldAsText(QStringLiteral("long")),
                                                reports.fieldAsText(QStringLiteral("ew")).front(),
                                                QuotientRule::Rounding);
        const double latitude = pair.section(u',', 0, 0).toDouble();
        const double longitude = pair.section(u',', 1, 1).toDouble();
        QVERIFY2(latitude > 40.8 && latitude < 41.2 && longitude > 28.7 && longitude < 29.3,
                 qPrintable(pair));
    }
    QCOMPARE(radios.size(), 6);
    const qint64 secondsFromNow = fromDateTimeValue(previous).secsTo(QDateTime::currentDateTime());
    QVERIFY(secondsFromNow >= 0 && secondsFromNow < 60);

    // The directory holds the awkward cases the radio tree must cope with.
    TableCursor projects(sqliteReplica(connection, QStringLiteral("projects")));
    TableCursor members(sqliteReplica(connection, QStringLiteral("project_members")));
    TableCursor people(sqliteReplica(connection, QStringLiteral("personel_team")));
    projects.open();
    members.open();
    people.open();
    QMap<qint32, int> projectsOfPerson;
    int projectsWithoutMembers = 0;
    int membersWithoutPerson = 0;
    for (projects.first(); !projects.atEnd(); projects.next()) {
        members.setFiltered(false);
        members.setFilter("project_id=" +
                          QString::number(projects.fieldAsInteger(QStringLiteral("id"))));
        members.setFiltered(true);
        projectsWithoutMembers += members.rowCount() == 0;
        for (members.first(); !members.atEnd(); members.next()) {
            const qint32 person = members.fieldAsInteger(QStringLiteral("personel_team_id"));
            people.setFiltered(false);
            people.setFilter("id=" + QString::number(person));
            people.setFiltered(true);
            membersWithoutPerson += people.rowCount() == 0;
            ++projectsOfPerson[person];
        }
    }
    QCOMPARE(projectsWithoutMembers, 1);
    QCOMPARE(membersWithoutPerson, 1);
    QVERIFY(std::count_if(projectsOfPerson.begin(), projectsOfPerson.end(),
                          [](int n) { return n > 1; }) > 0);
    people.setFilter(QStringLiteral("radio_short_id_gps=0"));
    QCOMPARE(people.rowCount(), 1);
}

void SimulatorTest::followWhileReading_data() {
    QTest::addColumn<bool>("wal");
    QTest::newRow("rollback journal") << false;
    QTest::newRow("write-ahead log") << true;
}

// Refreshing as fast as possible while the simulator appends: each refresh
// either sees a consistent table or fails with the lock message, and the
// writer keeps going.
void SimulatorTest::followWhileReading() {
    QFETCH(bool, wal);
    QStringList arguments = {"--db", path(),          "--radios", "5",       "--reports",
                             "2000", "--interval-ms", "5",        "--follow"};
    if (wal)
        arguments << "--wal";
    QProcess possim;
    possim.start(QStringLiteral(POSSIM_PATH), arguments);
    QVERIFY(possim.waitForStarted());
    QByteArray output;
    QElapsedTimer waiting;
    waiting.start();
    while (!output.contains("2000 reports") && waiting.elapsed() < 30000) {
        possim.waitForReadyRead(1000);
        output += possim.readAllStandardOutput();
    }
    QVERIFY2(output.contains("2000 reports"), output.constData());

    Connection connection;
    connection.open(path());
    TableCursor reports(sqliteReplica(connection, QStringLiteral("map_coor")));
    reports.open();
    const int initialRows = reports.rowCount();
    int refreshes = 0;
    int lockFailures = 0;
    int lastRows = initialRows;
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < 1500) {
        try {
            reports.refresh();
            ++refreshes;
            QVERIFY(reports.rowCount() >= lastRows);
            QCOMPARE(reports.rowCount() % 5, 0); // whole commits only
            lastRows = reports.rowCount();
        } catch (const Error& error) {
            QVERIFY2(error.message().contains(QStringLiteral("locked")),
                     qPrintable(error.message()));
            ++lockFailures;
        }
    }
    possim.terminate();
    QVERIFY(possim.waitForFinished(10000));
    QCOMPARE(possim.exitCode(), 0);
    const QByteArray summary = possim.readAllStandardOutput();
    QVERIFY2(summary.contains("busy failures"), summary.constData());
    QVERIFY(refreshes > 0);
    QVERIFY(lastRows > initialRows);
    qInfo("%d refreshes, %d lock failures; writer: %s", refreshes, lockFailures,
          summary.trimmed().constData());
}

QTEST_GUILESS_MAIN(SimulatorTest)
#include "tst_simulator.moc"
