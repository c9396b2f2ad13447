#include "bench/support/BenchSupport.h"

#include "store/PositionTable.h"
#include "store/SqliteTableReplica.h"
#include "store/TableCursor.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <sqlite3.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace bench {

QStringList radioTexts(int count) {
    QStringList texts;
    for (int i = 0; i < count; ++i)
        texts << QString::number(firstRadio + i) + QStringLiteral("-Radio");
    return texts;
}

double medianSeconds(int runs, const std::function<void()>& work,
                     const std::function<void()>& prepare) {
    std::vector<double> seconds;
    for (int run = 0; run < runs; ++run) {
        if (prepare)
            prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        seconds.push_back(timer.nsecsElapsed() / 1e9);
    }
    std::sort(seconds.begin(), seconds.end());
    return seconds[seconds.size() / 2];
}

void printRatio(const char* name, double seconds, double referenceSeconds, const char* reference) {
    std::printf("%-46s %10.4f s   %s %.4f s   ratio %.3f\n", name, seconds, reference,
                referenceSeconds, seconds / referenceSeconds);
    std::fflush(stdout);
}

void printTime(const char* name, double seconds, const QString& detail) {
    std::printf("%-46s %10.4f s   %s\n", name, seconds, qPrintable(detail));
    std::fflush(stdout);
}

double sqliteShellSeconds(const QString& database, const QString& sql, int runs) {
    return medianSeconds(runs, [&] {
        QProcess shell;
        shell.setStandardOutputFile(QProcess::nullDevice());
        shell.start(QStringLiteral("sqlite3"), {database, sql});
        if (!shell.waitForFinished(-1) || shell.exitCode() != 0)
            qFatal("sqlite3 failed on %s", qPrintable(database));
    });
}

double peakResidentMiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& time) {
        return double(time.tv_sec) + double(time.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void appendReport(const QString& database, int radio, int count) {
    sqlite3* db = nullptr;
    sqlite3_open(database.toUtf8().constData(), &db);
    sqlite3_busy_timeout(db, 1000);
    const QByteArray sql =
        QStringLiteral("WITH RECURSIVE r(id) AS (SELECT %1 UNION ALL SELECT id + 1 FROM r"
                       " WHERE id < %2)"
                       " INSERT INTO map_coor(station_name, time, radio_short_id,"
                       " ns, lat, ew, long, alt) SELECT 'Bench', "
                       "strftime('%Y-%m-%d %H:%M:%S', 'now'), id, 'N',"
                       " '40.590000', 'E', '29.020000', '10' FROM r")
            .arg(radio)
            .arg(radio + count - 1)
            .toUtf8();
    if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        qFatal("Appending reports failed: %s", sqlite3_errmsg(db));
    sqlite3_close(db);
}

std::unique_ptr<TableCursor> openLoaded(Connection& connection) {
    auto replica = sqliteReplica(connection, PositionTable::name);
    replica->setIncrementalRefresh(true);
    replica->setIndexedColumn(PositionTable::radioShortId);
    auto cursor = std::make_unique<TableCursor>(std::move(replica));
    cursor->open();
    cursor->replica().waitForBackgroundWork();
    cursor->refresh();
    return cursor;
}

} // namespace bench
