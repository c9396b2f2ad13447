// The whole program beside a live writer, offscreen, through the real main
// window with every radio ticked and auto refresh on at 1 second:
//   B7  the simulator appends one report per radio per second for 300 radios
//       (one commit a second): the lateness of a 10 ms probe timer on the
//       user-interface thread, p50, p99 and worst, against their targets; the
//       writer's busy failures; and after every tick, whether the markers show
//       each radio's newest report committed before the tick
//   writer's rate: the simulator appending 20 reports a second, one commit
//       each, beside the program  vs  the simulator alone
// Each with a rollback journal and with a write-ahead log, the writer's choice.
//   B8  start-up on a large database, read where it lies: when the window is
//       shown and answers (the probe's first firing), the probe's lateness
//       while the reports load, the load against the sqlite3 shell's scan,
//       the process's peak memory against the file, and the first
//       last-position run after the load against the load
//
//   A2  B7 with alerts on: --areas N gives the window N areas of 50 vertices
//       round the places of N reports, whose radios enter and leave them
//   P7  B7 with the writer on a private PostgreSQL server (as the tests start
//       one) filled with as many reports as DATABASE holds, the window on it
//       by Database=: 300 reports a second from 4 writer connections
//       committing out of id order; the probe's lateness, and once the writer
//       stops, the reports the window holds against the server's: missed,
//       and shown twice
//
//   bench_live DATABASE [--seconds N] [--areas N]    B7, on copies of DATABASE
//   bench_live --writer-rate DATABASE [--seconds N]  the writer's rate, on copies
//   bench_live --startup DATABASE                    B8
//   bench_live --pg DATABASE [--seconds N]           P7
//   --possim PATH    the simulator; by default the build's possim
// Run headless: QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1
// QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu

#include "alerts/AreaFile.h"
#include "app/Application.h"
#include "bench/map/PageBench.h"
#include "bench/support/BenchSupport.h"
#include "bench/support/LatenessProbe.h"
#include "map/browser/MapUrlScheme.h"
#include "map/browser/TWebBrowser.h"
#include "store/CoordinateText.h"
#include "store/PositionTable.h"
#include "store/TableCursor.h"
#include "tests/support/MarkerFreshness.h"
#include "tests/support/PgCluster.h"
#include "tests/support/PgSession.h"
#include "tests/support/TestDatabase.h"
#include "ui/AlertDesk.h"
#include "ui/coorposunit.h"
#include "ui/views/SelectedRadios.h"

#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <memory>
#include <numbers>
#include <vector>

namespace {

using bench::LatenessProbe;

constexpr double targetP99Ms = 50;
constexpr double targetWorstMs = 150;
constexpr double targetRateRatio = 0.95;
constexpr int radioCount = 300;
constexpr int restSeconds = 5;

enum class Journal { Rollback, Wal };

const char* journalName(Journal journal) {
    return journal == Journal::Wal ? "WAL" : "rollback journal";
}

struct Options {
    QString database;
    QString possim;
    int seconds = 60;
    int areas = 0;
    bool writerRate = false;
    bool startup = false;
    bool postgres = false;
};

// A copy of `source` in `folder` under the name the window opens, in the
// writer's journal mode: switching needs the file to itself, so it is done
// before the window or the writer opens it.
QString copyDatabase(const QString& source, const QString& folder, Journal journal) {
    const QString copy = QDir(folder).filePath(QStringLiteral("tavirelmonkas.db"));
    QFile::remove(copy);
    QElapsedTimer timer;
    timer.start();
    if (!QFile::copy(source, copy))
        qFatal("Cannot copy %s", qPrintable(source));
    TestDatabase(copy).exec(journal == Journal::Wal ? QStringLiteral("PRAGMA journal_mode=WAL")
                                                    : QStringLiteral("PRAGMA journal_mode=DELETE"));
    std::printf("   copied to %s (%s) in %.1f s\n", qPrintable(copy), journalName(journal),
                timer.elapsed() / 1000.0);
    return copy;
}

// The simulator in follow mode as a process of its own; stopped with SIGINT,
// it tells what it appended and how many commits met a reader's lock.
class Writer {
public:
    struct Result {
        qint64 appended = -1;
        qint64 busyFailures = -1;
        double seconds = 0;
    };

    Writer(const QString& possim, const QString& database, Journal journal, const QStringList& pace)
        : Writer(possim, QStringList{QStringLiteral("--db"), database} + pace +
                             (journal == Journal::Wal ? QStringList{QStringLiteral("--wal")}
                                                      : QStringList{})) {}

    // `target` names the database and the pace.
    Writer(const QString& possim, const QStringList& target) {
        QStringList arguments = {QStringLiteral("--radios"), QString::number(radioCount),
                                 QStringLiteral("--reports"), QStringLiteral("0"),
                                 QStringLiteral("--follow")};
        arguments << target;
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(possim, arguments);
        if (!process_.waitForStarted())
            qFatal("Cannot start %s", qPrintable(possim));
        // The follow loop starts once the counts are printed.
        // Waited for without the event loop, so that a stalled window does
        // not delay the start of the timed run.
        while (!output_.contains('\n')) {
            if (!process_.waitForReadyRead(60000))
                qFatal("The simulator did not start following");
            output_ += process_.readAllStandardOutput();
        }
        std::printf("   writer: %s", output_.constData());
        running_.start();
    }

    ~Writer() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished();
        }
    }

    Result stop() {
        Result result;
        result.seconds = running_.nsecsElapsed() / 1e9;
        ::kill(pid_t(process_.processId()), SIGINT);
        if (!process_.waitForFinished(30000))
            qFatal("The simulator did not stop on SIGINT");
        output_ += process_.readAllStandardOutput();
        const QRegularExpressionMatch match =
            QRegularExpression(QStringLiteral("follow: (\\d+) reports appended, (\\d+) busy "
                                              "failures"))
                .match(QString::fromUtf8(output_));
        if (!match.hasMatch() || process_.exitCode() != 0)
            qFatal("The simulator ended without its count (exit %d): %s", process_.exitCode(),
                   output_.constData());
        result.appended = match.captured(1).toLongLong();
        result.busyFailures = match.captured(2).toLongLong();
        return result;
    }

private:
    QProcess process_;
    QByteArray output_;
    QElapsedTimer running_;
};

// After every tick of the window's auto refresh, the markers' freshness
// (MarkerFreshness), and how long each tick's handler took. A tick that comes
// inside the previous tick's run is dropped by the window, and the page is
// halfway through that run's commands: it is counted, not checked.
class MarkerCheck : public QObject {
public:
    MarkerCheck(Tcoor_pos& window, const QString& database)
        : freshness_(window, database) {
        window.controls().Timer1->installEventFilter(this);
        // Connected after the window's handler, so it runs once the tick's run is done.
        connect(window.controls().Timer1, &QTimer::timeout, this, &MarkerCheck::afterTick);
    }

    void setActive(bool active) { active_ = active; }

    int ticks() const { return ticks_; }
    int ticksInsideRun() const { return insideRun_; }
    int ticksAnswered() const { return freshness_.runsAnswered(); }
    int ticksAllShown() const { return freshness_.runsAllShown(); }
    qint64 markersChecked() const { return freshness_.markersChecked(); }
    qint64 markersBehind() const { return freshness_.markersBehind(); }
    const QString& firstProblem() const { return freshness_.firstProblem(); }
    QList<qint32> viewedRadios() const { return freshness_.viewedRadios(); }
    // How long each checked tick's handler took, in milliseconds, sorted;
    // the next ones are counted afresh.
    std::vector<double> takeTickMs() {
        std::vector<double> ms;
        ms.swap(tickMs_);
        std::sort(ms.begin(), ms.end());
        return ms;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (active_ && event->type() == QEvent::Timer && depth_++ == 0) {
            freshness_.runStarting();
            tickTimer_.start();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void afterTick() {
        if (depth_ == 0)
            return;
        if (--depth_ > 0) {
            ++insideRun_;
            return;
        }
        ++ticks_;
        tickMs_.push_back(tickTimer_.nsecsElapsed() / 1e6);
        freshness_.runEnded(QStringLiteral("tick %1").arg(ticks_));
    }

    MarkerFreshness freshness_;
    int depth_ = 0; // ticks in progress, nested ones included
    QElapsedTimer tickTimer_;
    std::vector<double> tickMs_;
    bool active_ = false;
    int ticks_ = 0;
    int insideRun_ = 0;
};

// The main window on the database in `folder`, started as the program starts,
// with every project ticked and auto refresh on at 1 second, as a user sets it.
class LiveWindow {
public:
    explicit LiveWindow(const QString& folder) {
        QDir::setCurrent(folder);
        QElapsedTimer timer;
        timer.start();
        window_ = std::make_unique<Tcoor_pos>();
        window_->resize(1280, 800);
        window_->show();
        if (!QTest::qWaitForWindowExposed(window_.get()))
            qFatal("The window was not shown");
        TWebBrowser& browser = *window_->controls().WebBrowser1;
        if (!QTest::qWaitFor(
                [&] {
                    return !window_->controls().initalize_map->isActive() &&
                           browser.readyState() == TWebBrowser::Complete;
                },
                60000) ||
            !QTest::qWaitFor(
                [&] {
                    return bench::evaluate(browser, QStringLiteral("typeof GoogleMap"))
                               .toString() == QStringLiteral("object");
                },
                30000))
            qFatal("The map page did not load");
        QTreeWidget* tree = window_->controls().JvTreeView1;
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            tree->topLevelItem(i)->setCheckState(0, Qt::Checked);
        window_->controls().Edit1->setText(QStringLiteral("1"));
        window_->controls().CheckBox1->setChecked(true);
        if (!QTest::qWaitFor(
                [&] { return window_->statusText() == QStringLiteral("Record found"); }, 30000))
            qFatal("Auto refresh showed nothing");
        std::printf("   window up, first tick shown, in %.1f s\n", timer.elapsed() / 1000.0);
    }

    Tcoor_pos& window() { return *window_; }

private:
    std::unique_ptr<Tcoor_pos> window_;
};

// Areas of 50 vertices, about 300 m across, round the places of `count`
// reports spread over the table, opened as an areas file as a user would.
void giveAreas(Tcoor_pos& window, int count, const QString& folder) {
    const ColumnStore& rows = window.positionTable().rows();
    const int lat = rows.columnIndex(PositionTable::lat);
    const int lng = rows.columnIndex(PositionTable::lng);
    std::vector<Area> areas;
    for (int k = 0; k < count; ++k) {
        const quint32 row = quint32(qint64(rows.rowCount() - 1) * k / std::max(1, count - 1));
        const double centreLat = decimalDegrees(rows.text(lat, row));
        const double centreLng = decimalDegrees(rows.text(lng, row));
        QList<GeoPoint> ring;
        for (int v = 0; v < 50; ++v) {
            const double angle = 2 * std::numbers::pi * v / 50;
            ring.append(
                {centreLat + 0.0015 * std::sin(angle), centreLng + 0.002 * std::cos(angle)});
        }
        areas.push_back(Area::polygon(QStringLiteral("Area %1").arg(k + 1), {ring}));
    }
    const QString path = QDir(folder).filePath(QStringLiteral("areas.geojson"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(AreaFile::toJson(areas)) < 0)
        qFatal("Cannot write %s", qPrintable(path));
    file.close();
    if (!window.alertDesk().openAreasFile(path))
        qFatal("The areas were not taken");
    std::printf("   alerts on: %d areas of 50 vertices\n", count);
}

void printMs(const char* name, double ms, double targetMs) {
    bench::printRatio(name, ms / 1000.0, targetMs / 1000.0, "target");
}

void printCount(const char* name, qint64 count, const QString& detail) {
    std::printf("%-46s %10lld     %s\n", name, count, qPrintable(detail));
    std::fflush(stdout);
}

void printStalls(const char* what, const LatenessProbe& probe, double seconds) {
    std::printf("   %s: %zu probe samples, %.1f s of %.1f s lost in stalls over 50 ms\n", what,
                probe.samples(), probe.totalOverMs(targetP99Ms) / 1000.0, seconds);
    printMs("   probe lateness p50", probe.percentileMs(0.5), targetP99Ms);
    printMs("   probe lateness p99", probe.percentileMs(0.99), targetP99Ms);
    printMs("   probe lateness worst", probe.worstMs(), targetWorstMs);
}

void printTicks(const char* when, const std::vector<double>& sortedMs) {
    if (!sortedMs.empty())
        std::printf("   auto refresh tick, %s: median %.0f ms, longest %.0f ms, %zu ticks\n", when,
                    sortedMs[sortedMs.size() / 2], sortedMs.back(), sortedMs.size());
    std::fflush(stdout);
}

void runLive(const Options& options, Journal journal) {
    std::printf("B7 live, %s, %d s\n", journalName(journal), options.seconds);
    QTemporaryDir folder;
    const QString database = copyDatabase(options.database, folder.path(), journal);
    LiveWindow live(folder.path());
    if (options.areas > 0)
        giveAreas(live.window(), options.areas, folder.path());
    MarkerCheck check(live.window(), database);
    const qint64 wholeTable =
        TestDatabase(database).integers("SELECT max(rowid) FROM map_coor").value(0);
    const QList<qint32> viewed = check.viewedRadios();
    const QSet<qint32> distinct(viewed.begin(), viewed.end());
    // What the event-log grid is told: each reset of the cursor resets its model.
    struct {
        qint64 all = 0;
        qint64 whole = 0;
    } resets;
    TableCursor& cursor = live.window().positionTable();
    const QObject counting; // ends the connection before the counts go
    QObject::connect(&cursor, &TableCursor::rowsReset, &counting, [&] {
        ++resets.all;
        resets.whole += cursor.rowCount() >= wholeTable;
    });
    std::printf("   the view reads %lld entries, %lld distinct radios of %d\n",
                qint64(viewed.size()), qint64(distinct.size()), radioCount);

    // A few ticks on the file at rest first, for comparison.
    check.setActive(true);
    QTest::qWait(restSeconds * 1000);
    const std::vector<double> atRest = check.takeTickMs();

    resets = {};
    const int ticksBefore = check.ticks();
    LatenessProbe probe;
    Writer writer(options.possim, database, journal,
                  {QStringLiteral("--interval-ms"), QStringLiteral("1000")});
    const double cpuBefore = bench::processCpuSeconds();
    const quint64 checkedBefore = cursor.replica().checkStats().rows;
    const double checkCpuBefore = cursor.replica().checkStats().cpuSeconds;
    probe.start();
    QTest::qWait(options.seconds * 1000);
    probe.stop();
    const double cpuInRun = bench::processCpuSeconds() - cpuBefore;
    const quint64 checkedInRun = cursor.replica().checkStats().rows - checkedBefore;
    const double checkCpuInRun = cursor.replica().checkStats().cpuSeconds - checkCpuBefore;
    const auto resetsInRun = resets;
    const int ticksInRun = std::max(1, check.ticks() - ticksBefore);
    const Writer::Result written = writer.stop();
    // Two more ticks on the file at rest, then every answer is in.
    const int ticks = check.ticks();
    if (!QTest::qWaitFor([&] { return check.ticks() >= ticks + 2; }, 10000))
        std::printf("   auto refresh stopped ticking after the writer stopped\n");
    check.setActive(false);
    if (!QTest::qWaitFor([&] { return check.ticksAnswered() == check.ticks(); }, 10000))
        std::printf("   the page left %d checks unanswered\n",
                    check.ticks() - check.ticksAnswered());

    printStalls("user-interface thread while the writer ran", probe, written.seconds);
    std::printf("%-46s %10.1f s in %.1f s = %.3f of one core\n",
                "   process CPU time while the writer ran", cpuInRun, written.seconds,
                cpuInRun / written.seconds);
    std::printf("%-46s %10.0f rows a second, %llu in all, %.1f s CPU = %.3f of one core\n",
                "   the check of the rows held", checkedInRun / written.seconds,
                (unsigned long long)checkedInRun, checkCpuInRun, checkCpuInRun / written.seconds);
    printTicks("with the file at rest", atRest);
    std::printf("   position cursor resets a tick: %.0f, %.0f of them to the whole table\n",
                double(resetsInRun.all) / ticksInRun, double(resetsInRun.whole) / ticksInRun);
    printTicks("while the writer appends", check.takeTickMs());
    printCount("   writer busy failures", written.busyFailures, QStringLiteral("target 0"));
    printCount("   writer reports appended", written.appended,
               QStringLiteral("in %1 s, %2 a second")
                   .arg(written.seconds, 0, 'f', 1)
                   .arg(written.appended / written.seconds, 0, 'f', 1));
    printCount("   ticks checked", check.ticks(),
               QStringLiteral("%1 answered, %2 with every marker on its newest report;"
                              " %3 more came inside a run and were dropped")
                   .arg(check.ticksAnswered())
                   .arg(check.ticksAllShown())
                   .arg(check.ticksInsideRun()));
    printCount("   markers behind their newest report", check.markersBehind(),
               QStringLiteral("of %1 checked, target 0").arg(check.markersChecked()));
    if (!check.firstProblem().isEmpty())
        std::printf("   first: %s\n", qPrintable(check.firstProblem()));
    QDir::setCurrent(QDir::tempPath());
}

// P7: the window on a server that four writer connections append to.
void runLivePg(const Options& options) {
    std::printf("P7 live on PostgreSQL, %d s\n", options.seconds);
    const qint64 reports =
        TestDatabase(options.database).integers("SELECT count(*) FROM map_coor").value(0);
    PgCluster server;
    PgSession(server.connectionString()).exec(QStringLiteral("CREATE DATABASE fleet"));
    const QString fleet = server.connectionString(QStringLiteral("fleet"));
    QElapsedTimer fill;
    fill.start();
    QProcess filler;
    filler.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    filler.setStandardOutputFile(QProcess::nullDevice());
    filler.start(options.possim, {QStringLiteral("--pg"), fleet, QStringLiteral("--radios"),
                                  QString::number(radioCount), QStringLiteral("--reports"),
                                  QString::number(reports), QStringLiteral("--fresh")});
    if (!filler.waitForFinished(-1) || filler.exitCode() != 0)
        qFatal("The simulator did not fill the server");
    PgSession(fleet).exec(QStringLiteral("VACUUM (ANALYZE) map_coor"));
    std::printf("   server filled with %lld reports in %.1f s\n", reports, fill.elapsed() / 1000.0);

    // The window reads the INI file beside the program.
    const QString ini =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("tavirelmonkas.ini"));
    if (QFile::exists(ini))
        qFatal("%s is in the way; move it aside for P7", qPrintable(ini));
    QFile iniFile(ini);
    if (!iniFile.open(QIODevice::WriteOnly) ||
        iniFile.write("[General]\nDatabase=" + fleet.toUtf8() + "\n") < 0)
        qFatal("Cannot write %s", qPrintable(ini));
    iniFile.close();
    const auto removeIni = qScopeGuard([&] { QFile::remove(ini); });

    QTemporaryDir folder;
    LiveWindow live(folder.path());
    TableCursor& cursor = live.window().positionTable();
    LatenessProbe probe;
    // 300 reports a second: batches of 75 every 250 ms, through 4 connections
    // that commit the newest first.
    Writer writer(options.possim,
                  {QStringLiteral("--pg"), fleet, QStringLiteral("--pg-connections"),
                   QStringLiteral("4"), QStringLiteral("--batch"), QStringLiteral("75"),
                   QStringLiteral("--interval-ms"), QStringLiteral("250")});
    const double cpuBefore = bench::processCpuSeconds();
    probe.start();
    QTest::qWait(options.seconds * 1000);
    probe.stop();
    const double cpuInRun = bench::processCpuSeconds() - cpuBefore;
    const Writer::Result written = writer.stop();

    // Auto refresh goes on; once it has caught up, each stored report is held once.
    const QList<qint64> stored =
        PgSession(fleet).integers(QStringLiteral("SELECT id FROM map_coor"));
    if (!QTest::qWaitFor([&] { return cursor.rowCount() >= stored.size(); }, 15000))
        std::printf("   auto refresh had not caught up 15 s after the writer stopped\n");
    const ColumnStore& rows = cursor.replica().rows();
    const int id = rows.columnIndex(u"id");
    QSet<qint64> held;
    qint64 twice = 0;
    for (quint32 row = 0; row < rows.rowCount(); ++row) {
        const qint64 report = rows.integer(id, row);
        if (held.contains(report))
            ++twice;
        else
            held.insert(report);
    }
    qint64 missed = 0;
    for (const qint64 report : stored)
        missed += held.contains(report) ? 0 : 1;

    printStalls("user-interface thread while the writer ran", probe, written.seconds);
    std::printf("%-46s %10.1f s in %.1f s = %.3f of one core\n",
                "   process CPU time while the writer ran", cpuInRun, written.seconds,
                cpuInRun / written.seconds);
    printCount("   writer reports appended", written.appended,
               QStringLiteral("in %1 s, %2 a second")
                   .arg(written.seconds, 0, 'f', 1)
                   .arg(written.appended / written.seconds, 0, 'f', 1));
    printCount("   reports missed", missed,
               QStringLiteral("of %1 on the server, target 0").arg(stored.size()));
    printCount("   reports shown twice", twice, QStringLiteral("target 0"));
    QDir::setCurrent(QDir::tempPath());
}

// The writer's commits a second, alone and beside the program on auto
// refresh; the second run appends to the same copy as the first.
void runWriterRate(const Options& options, Journal journal) {
    std::printf("Writer's rate, %s, 20 commits of one report a second, %d s each\n",
                journalName(journal), options.seconds);
    QTemporaryDir folder;
    const QString database = copyDatabase(options.database, folder.path(), journal);
    const QStringList pace = {QStringLiteral("--interval-ms"), QStringLiteral("50"),
                              QStringLiteral("--batch"), QStringLiteral("1")};
    Writer::Result alone;
    {
        Writer writer(options.possim, database, journal, pace);
        QTest::qWait(options.seconds * 1000);
        alone = writer.stop();
    }
    LiveWindow live(folder.path());
    LatenessProbe probe;
    Writer writer(options.possim, database, journal, pace);
    probe.start();
    QTest::qWait(options.seconds * 1000);
    probe.stop();
    const Writer::Result beside = writer.stop();

    const double rateAlone = alone.appended / alone.seconds;
    const double rateBeside = beside.appended / beside.seconds;
    std::printf("%-46s %10.2f /s   alone %.2f /s   ratio %.3f   target >= %.2f\n",
                "   writer's rate beside the program", rateBeside, rateAlone,
                rateBeside / rateAlone, targetRateRatio);
    printCount("   busy failures alone", alone.busyFailures, QStringLiteral("target 0"));
    printCount("   busy failures beside the program", beside.busyFailures,
               QStringLiteral("target 0"));
    printStalls("user-interface thread beside the writer", probe, beside.seconds);
    QDir::setCurrent(QDir::tempPath());
}

void runStartup(const Options& options) {
    std::printf("B8 start-up, %s\n", qPrintable(options.database));
    QTemporaryDir folder;
    if (!QFile::link(options.database, folder.filePath(QStringLiteral("tavirelmonkas.db"))))
        qFatal("Cannot link %s", qPrintable(options.database));
    QDir::setCurrent(folder.path());
    LatenessProbe probe;
    QElapsedTimer sinceStart;
    sinceStart.start();
    double answeredSeconds = 0;
    QTimer firstAnswer;
    firstAnswer.setSingleShot(true);
    QObject::connect(&firstAnswer, &QTimer::timeout,
                     [&] { answeredSeconds = sinceStart.nsecsElapsed() / 1e9; });
    Tcoor_pos window;
    window.resize(1280, 800);
    window.show();
    probe.start();
    firstAnswer.start(0);
    if (!QTest::qWaitForWindowExposed(&window))
        qFatal("The window was not shown");
    const double shownSeconds = sinceStart.nsecsElapsed() / 1e9;
    TableCursor& cursor = window.positionTable();
    if (!QTest::qWaitFor([&] { return !cursor.isLoading() && cursor.rowCount() > 0; }, 600000))
        qFatal("The reports did not load");
    const double loadSeconds = sinceStart.nsecsElapsed() / 1e9;
    probe.stop();
    const double fileMiB = QFileInfo(options.database).size() / 1048576.0;
    const double peakMiB = bench::peakResidentMiB();

    TWebBrowser& browser = *window.controls().WebBrowser1;
    if (!QTest::qWaitFor([&] { return browser.readyState() == TWebBrowser::Complete; }, 60000))
        qFatal("The map page did not load");
    QTreeWidget* tree = window.controls().JvTreeView1;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        tree->topLevelItem(i)->setCheckState(0, Qt::Checked);
    QElapsedTimer run;
    run.start();
    window.controls().ToolButton1->click();
    const double runSeconds = run.nsecsElapsed() / 1e9;
    run.start();
    window.controls().ToolButton1->click();
    const double nextRunSeconds = run.nsecsElapsed() / 1e9;

    bench::printRatio("B8 window shown", shownSeconds, 1.0, "target");
    bench::printRatio("B8 window answering (probe's first firing)", answeredSeconds, 1.0, "target");
    printStalls("user-interface thread while the reports loaded", probe, loadSeconds);
    const double shellSeconds =
        bench::sqliteShellSeconds(options.database, QStringLiteral("SELECT * FROM map_coor"), 3);
    bench::printRatio("B8 load, from start to the rows shown", loadSeconds, shellSeconds,
                      "sqlite3");
    std::printf("%-46s %10.1f MiB file %.1f MiB   ratio %.3f   target <= 1.2\n",
                "B8 peak resident, window process", peakMiB, fileMiB, peakMiB / fileMiB);
    // The store's own first run, commands recorded, is bench_store's B8.
    bench::printRatio("   window's first last-position run, page included", runSeconds, loadSeconds,
                      "load");
    bench::printRatio("   window's next last-position run, page included", nextRunSeconds,
                      loadSeconds, "load");
    std::printf("   status: %s\n", qPrintable(window.statusText()));
    QDir::setCurrent(QDir::tempPath());
}

Options parseOptions(const QStringList& arguments) {
    Options options;
    options.possim =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../possim"));
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == QStringLiteral("--writer-rate"))
            options.writerRate = true;
        else if (argument == QStringLiteral("--startup"))
            options.startup = true;
        else if (argument == QStringLiteral("--pg"))
            options.postgres = true;
        else if (argument == QStringLiteral("--seconds") && hasValue)
            options.seconds = arguments[++i].toInt();
        else if (argument == QStringLiteral("--areas") && hasValue)
            options.areas = arguments[++i].toInt();
        else if (argument == QStringLiteral("--possim") && hasValue)
            options.possim = arguments[++i];
        else if (!argument.startsWith(QStringLiteral("--")) && options.database.isEmpty())
            options.database = QFileInfo(argument).absoluteFilePath();
        else {
            options.database.clear();
            return options;
        }
    }
    return options;
}

} // namespace

int main(int argc, char* argv[]) {
    registerMapUrlScheme();
    Application app(argc, argv);
    const Options options = parseOptions(app.arguments());
    if (options.database.isEmpty() || options.seconds < 1) {
        std::fprintf(stderr, "usage: bench_live [--writer-rate | --startup | --pg] DATABASE "
                             "[--seconds N] [--areas N] [--possim PATH]\n");
        return 2;
    }
    if (options.startup) {
        runStartup(options);
        return 0;
    }
    if (options.postgres) {
        runLivePg(options);
        return 0;
    }
    for (const Journal journal : {Journal::Rollback, Journal::Wal}) {
        if (options.writerRate)
            runWriterRate(options, journal);
        else
            runLive(options, journal);
    }
    return 0;
}
