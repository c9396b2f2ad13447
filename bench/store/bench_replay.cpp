// The replay's time index on a large database, each figure beside its
// reference measured in the same run:
//   R1  positions at a time of 300 radios (a binary search per radio)
//       vs  sqlite3 FILE with an index on (radio_short_id, time, id), the
//       same 300 questions in one run of the shell
//   R3  the index's memory  vs  the table as the cursor holds it (the growth
//       of the peak resident memory over the load)
//
//   bench_replay DATABASE      works on a copy; the file itself is never written

#include "bench/support/BenchSupport.h"
#include "store/Connection.h"
#include "store/PositionTable.h"
#include "store/RadioTimeIndex.h"
#include "store/SqliteTableReplica.h"
#include "store/TableCursor.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int radioCount = 300;

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (app.arguments().size() != 2) {
        std::fprintf(stderr, "usage: bench_replay DATABASE\n");
        return 2;
    }
    QTemporaryDir dir;
    const QString database = dir.filePath(QStringLiteral("bench.db"));
    if (!QFile::copy(app.arguments()[1], database))
        qFatal("Cannot copy %s", qPrintable(app.arguments()[1]));

    const double baseMiB = bench::peakResidentMiB();
    Connection connection;
    connection.open(database);
    const std::unique_ptr<TableCursor> cursor = bench::openLoaded(connection);
    const double loadedMiB = bench::peakResidentMiB() - baseMiB;
    const ColumnStore& rows = cursor->rows();

    RadioTimeIndex index;
    QElapsedTimer build;
    build.start();
    index.extend(rows);
    const double buildSeconds = build.nsecsElapsed() / 1e9;
    std::printf("%s: %u reports; index built in %.3f s\n", qPrintable(app.arguments()[1]),
                rows.rowCount(), buildSeconds);

    std::vector<qint64> radios;
    for (int r = 0; r < radioCount; ++r)
        radios.push_back(bench::firstRadio + r);
    const DateTimeValue time = index.timeOf(rows, rows.rowCount() / 2);
    quint64 found = 0;
    const double atTime = bench::medianSeconds(201, [&] {
        for (const qint64 radio : radios)
            found += index.rowAt(rows, radio, time).has_value();
    });

    QProcess::execute(QStringLiteral("sqlite3"),
                      {database, QStringLiteral("CREATE INDEX replay_radio_time ON "
                                                "map_coor(radio_short_id, time, id)")});
    const QString stamp = fromDateTimeValue(time).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    QString questions;
    for (const qint64 radio : radios)
        questions += QStringLiteral("SELECT lat, long FROM map_coor WHERE radio_short_id=%1 AND "
                                    "time<='%2' ORDER BY time DESC, id DESC LIMIT 1;")
                         .arg(radio)
                         .arg(stamp);
    const double shell = bench::sqliteShellSeconds(database, questions, 5);
    bench::printRatio("R1 300 radios at a time", atTime, shell, "sqlite3+index");
    std::printf("   %.1f us a run, %llu of %d radios placed; speed-up over sqlite3 %.0fx\n",
                atTime * 1e6, found / 201, radioCount, shell / atTime);

    const double indexMiB = index.heldBytes() / 1048576.0;
    std::printf("%-46s %10.1f MiB %s %.1f MiB   ratio %.3f\n", "R3 time index held", indexMiB,
                "table loaded", loadedMiB, indexMiB / loadedMiB);
    return 0;
}
