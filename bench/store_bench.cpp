// Times the position store on a large database: the whole-table read, the
// last-position view's filter, a refresh, the grid on a million rows, and
// the sqlite3 shell reading the same table for comparison.
//
//   store_bench [database] [reports]     (defaults: bench-1m.db, 1000000)
// A missing database is made first with possim.

#include "store/Connection.h"
#include "store/TableCursor.h"
#include "ui/EventLogGrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScrollBar>

#include <cstdio>
#include <functional>

namespace {

// Resident and peak resident memory of this process, in MiB.
double statusMiB(const char* key) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

double secondsOf(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e9;
}

void report(const char* what, double seconds, const QString& detail = QString()) {
    std::printf("%-44s %9.3f s  %s\n", what, seconds, qPrintable(detail));
}

void filterOn(TableCursor& cursor, const QString& text) {
    cursor.setFiltered(false);
    cursor.setFilter(text);
    cursor.setFiltered(true);
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const QString database = arguments.value(1, QStringLiteral("bench-1m.db"));
    const QString reports = arguments.value(2, QStringLiteral("1000000"));

    if (!QFileInfo::exists(database)) {
        const double seconds = secondsOf([&] {
            QProcess::execute(QStringLiteral(POSSIM_PATH),
                              {"--db", database, "--reports", reports, "--fresh"});
        });
        report("possim: write the database", seconds, reports + " reports");
    }
    std::printf("database %s, %.1f MiB\n", qPrintable(database),
                QFileInfo(database).size() / 1048576.0);
    std::printf("resident before loading: %.1f MiB\n", statusMiB("VmRSS:"));

    Connection connection;
    connection.open(database);
    TableCursor cursor(connection, QStringLiteral("map_coor"));

    double seconds = secondsOf([&] { cursor.open(); });
    report("open: read the whole table", seconds,
           QStringLiteral("%1 rows, resident %2 MiB")
               .arg(cursor.rowCount())
               .arg(statusMiB("VmRSS:"), 0, 'f', 1));

    seconds = secondsOf([&] { filterOn(cursor, QStringLiteral("radio_short_id=105")); });
    report("filter radio_short_id=105", seconds,
           QStringLiteral("%1 rows pass").arg(cursor.rowCount()));

    seconds = secondsOf([&] {
        filterOn(cursor, QStringLiteral("radio_short_id=105 and time>='2000-01-01 00:00:00' and "
                                        "time<='2100-01-01 00:00:00'"));
    });
    report("filter with the route's time range", seconds,
           QStringLiteral("%1 rows pass").arg(cursor.rowCount()));

    seconds = secondsOf([&] { filterOn(cursor, QStringLiteral("station_name='Galata Relay'")); });
    report("filter on text (collation)", seconds,
           QStringLiteral("%1 rows pass").arg(cursor.rowCount()));

    filterOn(cursor, QStringLiteral("radio_short_id=105"));
    cursor.last();
    seconds = secondsOf([&] { cursor.refresh(); });
    report("refresh, filtered, back to the same row", seconds,
           QStringLiteral("row %1 of %2").arg(cursor.currentRow()).arg(cursor.rowCount()));

    cursor.setFiltered(false);
    EventLogGrid grid;
    grid.resize(911, 147);
    seconds = secondsOf([&] {
        grid.bind(&cursor);
        grid.show();
        grid.grab();
    });
    report("grid: bind and paint 1M rows", seconds);
    seconds = secondsOf([&] {
        cursor.last();
        grid.grab();
    });
    report("grid: move to the last row and paint", seconds);
    seconds = secondsOf([&] {
        filterOn(cursor, QStringLiteral("radio_short_id=110"));
        grid.grab();
    });
    report("grid: filter and paint", seconds, QStringLiteral("%1 rows").arg(cursor.rowCount()));
    seconds = secondsOf([&] {
        cursor.setFiltered(false);
        grid.grab();
    });
    report("grid: filter off and paint", seconds, QStringLiteral("%1 rows").arg(cursor.rowCount()));

    std::printf("peak resident: %.1f MiB\n", statusMiB("VmHWM:"));

    QProcess shell;
    shell.setStandardOutputFile(QProcess::nullDevice());
    seconds = secondsOf([&] {
        shell.start(QStringLiteral("sqlite3"), {database, "SELECT * FROM map_coor"});
        shell.waitForFinished(-1);
    });
    report("sqlite3 FILE \"SELECT * FROM map_coor\" >/dev/null", seconds,
           shell.exitStatus() == QProcess::NormalExit && shell.exitCode() == 0
               ? QString()
               : QStringLiteral("(sqlite3 failed: %1)").arg(shell.errorString()));
    return 0;
}
