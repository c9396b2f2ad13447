// The program on auto refresh while the simulator appends reports every few
// milliseconds: no failure, no report missed, every marker on its radio's
// newest report after every run, the writer never held up, and memory that
// stays flat.
#include "../support/MarkerFreshness.h"
#include "../support/MessageBoxWatcher.h"
#include "../support/TestDatabase.h"
#include "ProgramUnderTest.h"
#include "app/Application.h"
#include "map/browser/MapUrlScheme.h"
#include "store/TableCursor.h"
#include "ui/coorposunit.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <sys/prctl.h>

namespace {

constexpr int radioCount = 50;
constexpr int firstRadio = 101; // the simulator's first radio id
constexpr int earlyRun = 20;
constexpr int lastRun = 200;

qint64 residentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return 0;
}

qint64 capturedNumber(const QByteArray& output, const QString& pattern) {
    const QRegularExpressionMatch match =
        QRegularExpression(pattern).match(QString::fromUtf8(output));
    return match.hasMatch() ? match.captured(1).toLongLong() : -1;
}

// The ids of the cursor's passing rows, in its order.
QList<qint64> idsOf(const TableCursor& table) {
    const int column = table.columnIndex(QStringLiteral("id"));
    QList<qint64> ids;
    for (int row = 0; row < table.rowCount(); ++row)
        ids.append(table.displayText(row, column).toLongLong());
    return ids;
}

} // namespace

class TestLiveWriter : public QObject {
    Q_OBJECT
private slots:
    void autoRefreshBesideTheWriter_data();
    void autoRefreshBesideTheWriter();
};

void TestLiveWriter::autoRefreshBesideTheWriter_data() {
    QTest::addColumn<bool>("wal");
    QTest::newRow("rollback journal") << false;
    QTest::newRow("write-ahead log") << true;
}

void TestLiveWriter::autoRefreshBesideTheWriter() {
    QFETCH(bool, wal);
    ProgramUnderTest program;
    // Two reports a radio to start with, then one report every 10 ms; the
    // writer waits up to a second for our reads before a commit fails.
    QStringList arguments =
        QStringLiteral("--fresh --reports 100 --follow --interval-ms 10 --batch 1 "
                       "--busy-timeout-ms 1000")
            .split(u' ');
    arguments << "--db" << program.databasePath() << "--radios" << QString::number(radioCount);
    if (wal)
        arguments << "--wal";
    QProcess writer;
    // A test that dies must not leave the writer running.
    writer.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    writer.start(QStringLiteral(POSSIM_PATH), arguments);
    QVERIFY(writer.waitForStarted());
    QByteArray output;
    QVERIFY(QTest::qWaitFor(
        [&] {
            output += writer.readAllStandardOutput();
            return output.contains("written)");
        },
        30000));

    MessageBoxWatcher boxes;
    program.start();
    program.loadMap();
    QList<int> radios;
    for (int i = 0; i < radioCount; ++i)
        radios.append(firstRadio + i);
    program.selectRadios(radios);
    Tcoor_pos& window = program.window();
    window.controls().Edit1->setText(QStringLiteral("1"));
    window.controls().CheckBox1->setChecked(true);
    QVERIFY(window.controls().Timer1->isActive());

    // The timer's own slot, run back to back; the timer still ticks in between.
    MarkerFreshness freshness(window, program.databasePath());
    QCOMPARE(freshness.viewedRadios().size(), radioCount);
    qint64 earlyKiB = 0;
    int earlyRows = 0;
    for (int run = 1; run <= lastRun; ++run) {
        freshness.runStarting();
        window.Timer1Timer();
        freshness.runEnded(QStringLiteral("run %1").arg(run));
        QCoreApplication::processEvents();
        if (run == earlyRun) {
            earlyKiB = residentKiB();
            earlyRows = window.positionTable().rowCount();
        }
    }
    const qint64 lateKiB = residentKiB();
    const int lateRows = window.positionTable().rowCount();
    window.controls().CheckBox1->setChecked(false);

    writer.terminate();
    QVERIFY(writer.waitForFinished(10000));
    QCOMPARE(writer.exitStatus(), QProcess::NormalExit);
    QCOMPARE(writer.exitCode(), 0);
    output += writer.readAllStandardOutput();
    const qint64 initial = capturedNumber(output, QStringLiteral("\\((\\d+) written\\)"));
    const qint64 appended = capturedNumber(output, QStringLiteral("(\\d+) reports appended"));
    const qint64 busyFailures = capturedNumber(output, QStringLiteral("(\\d+) busy failures"));
    QVERIFY2(initial >= 0 && appended >= 0 && busyFailures >= 0, output.constData());

    // One more run after the writer has stopped sees every report.
    window.Timer1Timer();
    QCOMPARE(window.statusText(), QStringLiteral("Record found"));
    QTRY_COMPARE(program.markerCount(), radioCount);
    TableCursor& table = window.positionTable();
    const int lastRadio = firstRadio + radioCount - 1;
    QCOMPARE(table.filter(), QStringLiteral("radio_short_id=%1").arg(lastRadio));
    TestDatabase file(program.databasePath());
    QCOMPARE(idsOf(table), file.integers(QStringLiteral("SELECT id FROM map_coor WHERE "
                                                        "radio_short_id = %1")
                                             .arg(lastRadio)
                                             .toUtf8()));
    table.setFiltered(false);
    const QList<qint64> allIds = file.integers("SELECT id FROM map_coor");
    QCOMPARE(idsOf(table), allIds);
    QCOMPARE(qint64(allIds.size()), initial + appended);

    qInfo("%s: reports written %lld (%lld + %lld in follow mode), seen %lld; writer busy "
          "failures %lld; VmRSS after %d runs %lld KiB, after %d runs %lld KiB (%+.1f %%)",
          wal ? "WAL" : "rollback journal", initial + appended, initial, appended,
          qint64(table.rowCount()), busyFailures, earlyRun, earlyKiB, lastRun, lateKiB,
          100.0 * double(lateKiB - earlyKiB) / double(earlyKiB));
    QVERIFY2(boxes.boxes().isEmpty(), qPrintable(boxes.texts().join(u'\n')));
    QVERIFY2(lateRows > earlyRows, "the runs did not see the writer's reports");
    QTRY_COMPARE(freshness.runsAnswered(), lastRun);
    QVERIFY2(freshness.markersBehind() == 0, qPrintable(freshness.firstProblem()));
    QCOMPARE(freshness.runsAllShown(), lastRun);
    QCOMPARE(freshness.markersChecked(), qint64(lastRun) * radioCount);
    QCOMPARE(busyFailures, 0);
    QVERIFY(earlyKiB > 0);
    QVERIFY2(qAbs(lateKiB - earlyKiB) * 10 <= earlyKiB,
             qPrintable(QStringLiteral("%1 KiB after %2 runs, %3 KiB after %4")
                            .arg(earlyKiB)
                            .arg(earlyRun)
                            .arg(lateKiB)
                            .arg(lastRun)));
}

int main(int argc, char** argv) {
    registerMapUrlScheme();
    Application application(argc, argv);
    TestLiveWriter test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_livewriter.moc"
