// The position table read from a private PostgreSQL server that the benchmark
// starts and fills with the simulator, each figure beside its reference
// measured in the same run:
//   P1  whole read of map_coor by PgTableReplica, as the window loads it
//       vs  psql -c "\copy (SELECT * FROM map_coor) TO '/dev/null'"
//   P3  last-position run, 255 radios, commands recorded, after 300 reports
//       appended in one commit (one per radio)   vs  P1
//   P5  peak resident memory of a process holding the loaded cursor
//       vs  the same for the SQLite file's table
//
//   bench_pg DATABASE [--possim PATH]   DATABASE: a simulator file of 300 radios;
//                                       the server gets as many reports
//   bench_pg --hold-pg CONNINFO         the P5 processes: load, run the view,
//   bench_pg --hold-sqlite DATABASE     print the peak memory

#include "app/Error.h"
#include "bench/support/BenchSupport.h"
#include "map/ScriptSink.h"
#include "store/Connection.h"
#include "store/PositionTable.h"
#include "store/SqliteTableReplica.h"
#include "store/TableCursor.h"
#include "store/postgres/PgTableReplica.h"
#include "tests/support/PgCluster.h"
#include "tests/support/PgSession.h"
#include "ui/views/LastPositionDisplay.h"
#include "ui/views/SelectedRadios.h"
#include "ui/views/ViewOutput.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>

#include <cstdio>

namespace {

using bench::firstRadio;
const int radioCount = 300;

struct RecordingSink : ScriptSink {
    QStringList commands;
    void runScriptCommand(const QString& command) override { commands << command; }
    void runScriptCommands(const QStringList& batch) override { commands << batch; }
};

SelectedRadios radios255() {
    SelectedRadios radios;
    radios.rebuild(bench::radioTexts(SelectedRadios::lastReadEntry));
    return radios;
}

void runLastPositions(TableCursor& cursor, const SelectedRadios& radios, RecordingSink& sink) {
    sink.commands.clear();
    showLastPositions(radios, cursor, QStringLiteral("12"),
                      {sink, [](const QString&) {}, [](const QString&) {}});
}

// As the window opens the position table: the whole read beside it, then
// the rows adopted.
std::unique_ptr<TableCursor> openLoaded(std::unique_ptr<TableReplica> replica) {
    auto cursor = std::make_unique<TableCursor>(std::move(replica));
    cursor->open();
    cursor->replica().waitForBackgroundWork();
    cursor->refresh();
    return cursor;
}

std::unique_ptr<TableCursor> openPg(const QString& server) {
    auto replica = std::make_unique<PgTableReplica>(server, PositionTable::name);
    replica->setIndexedColumn(PositionTable::radioShortId);
    return openLoaded(std::move(replica));
}

std::unique_ptr<TableCursor> openSqlite(Connection& connection) {
    auto replica = sqliteReplica(connection, PositionTable::name);
    replica->setIncrementalRefresh(true);
    replica->setIndexedColumn(PositionTable::radioShortId);
    return openLoaded(std::move(replica));
}

int holdAndPrintPeak(TableCursor& cursor) {
    RecordingSink sink;
    runLastPositions(cursor, radios255(), sink);
    std::printf("%.1f\n", bench::peakResidentMiB());
    return 0;
}

double peakOf(const QString& mode, const QString& source) {
    QProcess holder;
    holder.start(QCoreApplication::applicationFilePath(), {mode, source});
    holder.waitForFinished(-1);
    return holder.readAllStandardOutput().trimmed().toDouble();
}

void run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        qFatal("%s failed", qPrintable(program));
}

double loadAverage() {
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().split(' ').first().toDouble() : 0;
}

// One report for each radio in one commit, as the writing software does.
void appendReports(PgSession& writer) {
    writer.exec(QStringLiteral("INSERT INTO map_coor(station_name, time, radio_short_id, ns, lat,"
                               " ew, long, alt) SELECT 'Base', to_char(now(), 'YYYY-MM-DD"
                               " HH24:MI:SS'), r, 'N', '4100.5000', 'E', '02858.7000', '12'"
                               " FROM generate_series(%1, %2) r")
                    .arg(firstRadio)
                    .arg(firstRadio + radioCount - 1));
}

int compare(const QString& database, const QString& possim) {
    Connection connection;
    connection.open(database);
    const quint32 reports = openSqlite(connection)->rowCount();
    connection.close();

    PgCluster server;
    const QString fleet = server.connectionString(QStringLiteral("fleet"));
    PgSession(server.connectionString()).exec(QStringLiteral("CREATE DATABASE fleet"));
    QElapsedTimer fill;
    fill.start();
    run(possim,
        {QStringLiteral("--pg"), fleet, QStringLiteral("--radios"), QString::number(radioCount),
         QStringLiteral("--reports"), QString::number(reports), QStringLiteral("--fresh")});
    PgSession writer(fleet);
    writer.exec(QStringLiteral("VACUUM (ANALYZE) map_coor"));
    std::printf("%s: %u reports; server filled in %.1f s; load average %.2f\n",
                qPrintable(database), reports, fill.nsecsElapsed() / 1e9, loadAverage());

    std::unique_ptr<TableCursor> cursor;
    const double load = bench::medianSeconds(
        3, [&] { cursor = openPg(fleet); }, [&] { cursor.reset(); });
    const double copy = bench::medianSeconds(3, [&] {
        run(QStringLiteral("psql"), {QStringLiteral("-X"), QStringLiteral("-q"),
                                     QStringLiteral("-d"), fleet, QStringLiteral("-c"),
                                     QStringLiteral("\\copy (SELECT * FROM map_coor) TO "
                                                    "'/dev/null'")});
    });
    bench::printRatio("P1 whole read: PgTableReplica", load, copy, "psql \\copy");

    const SelectedRadios radios = radios255();
    RecordingSink sink;
    runLastPositions(*cursor, radios, sink);
    const double unchanged =
        bench::medianSeconds(5, [&] { runLastPositions(*cursor, radios, sink); });
    bench::printRatio("P3 255 radios, table unchanged", unchanged, load, "P1");
    const double appended = bench::medianSeconds(
        5, [&] { runLastPositions(*cursor, radios, sink); }, [&] { appendReports(writer); });
    bench::printRatio("P3 255 radios, 300 reports appended", appended, load, "P1");
    cursor.reset();

    const double pgPeak = peakOf(QStringLiteral("--hold-pg"), fleet);
    const double sqlitePeak = peakOf(QStringLiteral("--hold-sqlite"), database);
    std::printf("%-46s %10.1f MiB %s %.1f MiB   ratio %.3f\n", "P5 peak resident, cursor process",
                pgPeak, "SQLite", sqlitePeak, pgPeak / sqlitePeak);
    std::printf("load average at the end %.2f\n", loadAverage());
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    try {
        if (arguments.size() == 3 && arguments[1] == QStringLiteral("--hold-pg"))
            return holdAndPrintPeak(*openPg(arguments[2]));
        if (arguments.size() == 3 && arguments[1] == QStringLiteral("--hold-sqlite")) {
            Connection connection;
            connection.open(arguments[2]);
            return holdAndPrintPeak(*openSqlite(connection));
        }
        QString possim =
            QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../possim"));
        const bool possimGiven =
            arguments.size() == 4 && arguments[2] == QStringLiteral("--possim");
        if (possimGiven)
            possim = arguments[3];
        if (arguments.size() != 2 && !possimGiven) {
            std::fprintf(stderr, "usage: bench_pg DATABASE [--possim PATH] | --hold-pg CONNINFO"
                                 " | --hold-sqlite DATABASE\n");
            return 2;
        }
        return compare(arguments[1], possim);
    } catch (const Error& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
}
