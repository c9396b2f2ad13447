#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class Connection;
class TableCursor;

// Shared by the benchmarks: timing, memory and the reference commands.
namespace bench {

// The simulator numbers its radios from here.
inline constexpr int firstRadio = 101;

// The radio tree's texts ("101-Radio", …) of the simulator's first `count`
// radios, as a selection is built from them.
QStringList radioTexts(int count);

// Median wall time in seconds of `runs` calls of `work`, each after `prepare`.
double medianSeconds(int runs, const std::function<void()>& work,
                     const std::function<void()>& prepare = {});

// A line "name  value  reference  ratio" in the benchmarks' common layout.
void printRatio(const char* name, double seconds, double referenceSeconds, const char* reference);
void printTime(const char* name, double seconds, const QString& detail = QString());

// Median wall time of the sqlite3 shell running `sql` on `database`, its
// output thrown away.
double sqliteShellSeconds(const QString& database, const QString& sql, int runs);

// Peak resident memory of this process in MiB.
double peakResidentMiB();

// Processor time this process has used so far, user and system, in seconds.
double processCpuSeconds();

// Appends one report for each of `count` radios from `radio` on, in one
// commit, as the writing software does.
void appendReport(const QString& database, int radio, int count = 1);

// The position table's cursor opened as the program opens it, waiting until
// the rows read beside it show.
std::unique_ptr<TableCursor> openLoaded(Connection& connection);

} // namespace bench
