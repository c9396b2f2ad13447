// The position store and the last-position view on a large database, each
// figure beside its reference measured in the same run:
//   B1  TableCursor open of map_coor    vs  sqlite3 FILE "SELECT * FROM map_coor"
//   B2  filter radio_short_id=N         vs  sqlite3 FILE "SELECT count(*) ... WHERE ..."
//   B3  last-position run, 255 radios, commands recorded: database unchanged
//       since the last run, one report appended before the run, and 300
//       reports appended (one per radio) before the run   vs  B1
//   B5  peak resident memory of a process holding the cursor  vs  the file size
//
//   bench_store DATABASE          works on a copy; the file itself is never written
//   bench_store --hold DATABASE   the B5 process: opens, runs the view, one
//                                 change, runs it again, prints its peak memory

#include "bench/support/BenchSupport.h"
#include "map/ScriptSink.h"
#include "store/Connection.h"
#include "store/PositionTable.h"
#include "store/SqliteTableReplica.h"
#include "store/TableCursor.h"
#include "ui/views/LastPositionDisplay.h"
#include "ui/views/SelectedRadios.h"
#include "ui/views/ViewOutput.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

using bench::firstRadio;

// Keeps the commands as the page would receive them, so that building them
// is part of the figure.
struct RecordingSink : ScriptSink {
    QStringList commands;
    void runScriptCommand(const QString& command) override { commands << command; }
    void runScriptCommands(const QStringList& batch) override { commands << batch; }
};

SelectedRadios radios255() {
    const QStringList texts = bench::radioTexts(SelectedRadios::lastReadEntry);
    SelectedRadios radios;
    radios.rebuild(texts);
    return radios;
}

void runLastPositions(TableCursor& cursor, const SelectedRadios& radios, RecordingSink& sink) {
    sink.commands.clear();
    showLastPositions(radios, cursor, QStringLiteral("12"),
                      {sink, [](const QString&) {}, [](const QString&) {}});
}

int hold(const QString& database) {
    Connection connection;
    connection.open(database);
    const std::unique_ptr<TableCursor> cursor = bench::openLoaded(connection);
    const SelectedRadios radios = radios255();
    RecordingSink sink;
    runLastPositions(*cursor, radios, sink);
    bench::appendReport(database, firstRadio);
    runLastPositions(*cursor, radios, sink);
    std::printf("%.1f\n", bench::peakResidentMiB());
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() == 3 && arguments[1] == QStringLiteral("--hold"))
        return hold(arguments[2]);
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: bench_store DATABASE | --hold DATABASE\n");
        return 2;
    }
    QTemporaryDir dir;
    const QString database = dir.filePath(QStringLiteral("bench.db"));
    if (!QFile::copy(arguments[1], database))
        qFatal("Cannot copy %s", qPrintable(arguments[1]));
    const double fileMiB = QFileInfo(database).size() / 1048576.0;

    Connection connection;
    connection.open(database);
    auto cursor = bench::openLoaded(connection);
    std::printf("%s: %d reports, %.1f MiB\n", qPrintable(arguments[1]), cursor->rowCount(),
                fileMiB);

    const double load = bench::medianSeconds(
        5, [&] { cursor = bench::openLoaded(connection); }, [&] { cursor.reset(); });
    const double shellLoad =
        bench::sqliteShellSeconds(database, QStringLiteral("SELECT * FROM map_coor"), 5);
    bench::printRatio("B1 load: TableCursor open", load, shellLoad, "sqlite3");

    const int radio = firstRadio + 150;
    const QString filter = QStringLiteral("radio_short_id=%1").arg(radio);
    const double firstFilter = bench::medianSeconds(
        5, [&] { cursor->applyFilter(filter); },
        [&] {
            cursor.reset();
            cursor = bench::openLoaded(connection);
        });
    const double nextFilter = bench::medianSeconds(
        25, [&] { cursor->applyFilter(filter); },
        [&] { cursor->applyFilter(QStringLiteral("radio_short_id=%1").arg(firstRadio)); });
    const double shellFilter = bench::sqliteShellSeconds(
        database, QStringLiteral("SELECT count(*) FROM map_coor WHERE ") + filter, 5);
    bench::printRatio("B2 filter, first on a fresh cursor", firstFilter, shellFilter, "sqlite3");
    bench::printRatio("B2 filter, later ones", nextFilter, shellFilter, "sqlite3");
    std::printf("   %d rows pass; speed-up over sqlite3 %.0fx (first) %.0fx (later)\n",
                cursor->rowCount(), shellFilter / firstFilter, shellFilter / nextFilter);

    const SelectedRadios radios = radios255();
    RecordingSink sink;
    cursor.reset();
    cursor = bench::openLoaded(connection);
    QElapsedTimer firstRun;
    firstRun.start();
    runLastPositions(*cursor, radios, sink);
    bench::printRatio("B8 255 radios, first run after the load", firstRun.nsecsElapsed() / 1e9,
                      load, "B1");
    const double unchanged =
        bench::medianSeconds(7, [&] { runLastPositions(*cursor, radios, sink); });
    bench::printRatio("B3 255 radios, database unchanged", unchanged, load, "B1");
    std::printf("   %lld commands\n", qint64(sink.commands.size()));
    // The check of the rows before the appended ones runs beside the user
    // interface between ticks; it is waited for outside the timed run.
    const auto changedBy = [&](int reports) {
        return bench::medianSeconds(
            5, [&] { runLastPositions(*cursor, radios, sink); },
            [&] {
                cursor->replica().waitForBackgroundWork();
                bench::appendReport(database, firstRadio, reports);
            });
    };
    bench::printRatio("B3 255 radios, 1 report appended", changedBy(1), load, "B1");
    bench::printRatio("B3 255 radios, 300 reports appended", changedBy(300), load, "B1");
    bench::printRatio("B3 255 radios, 3000 reports appended", changedBy(3000), load, "B1");

    QProcess holder;
    holder.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--hold"), database});
    holder.waitForFinished(-1);
    const double peak = holder.readAllStandardOutput().trimmed().toDouble();
    std::printf("%-46s %10.1f MiB %s %.1f MiB   ratio %.3f\n", "B5 peak resident, cursor process",
                peak, "file", fileMiB, peak / fileMiB);
    return 0;
}
