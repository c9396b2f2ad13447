#include "store/RowCheck.h"

#include "store/ReadOnlyDatabase.h"
#include "store/StatementRowReader.h"
#include "store/WorkerPriority.h"

#include <sqlite3.h>

#include <ctime>

namespace {

double threadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Fingerprints the rows of one slice; one row more than held is enough to
// tell it changed.
RowCheckStep::Finding checkSlice(sqlite3_stmt* statement, const SliceFingerprints::Slice& slice,
                                 quint64& rowsRead) {
    sqlite3_bind_int64(statement, 1, slice.after);
    sqlite3_bind_int64(statement, 2, slice.last);
    sqlite3_bind_int64(statement, 3, qint64(slice.fingerprint.rowCount()) + 1);
    const int rowidColumn = sqlite3_column_count(statement) - 1;
    StatementRowReader reader(statement, rowidColumn);
    RowFingerprint found;
    int result = SQLITE_ROW;
    while ((result = sqlite3_step(statement)) == SQLITE_ROW) {
        found.add(reader.read(), reader.columns(), sqlite3_column_int64(statement, rowidColumn));
        ++rowsRead;
    }
    const bool failed = result != SQLITE_DONE || sqlite3_column_count(statement) != rowidColumn + 1;
    sqlite3_reset(statement);
    if (failed)
        return RowCheckStep::Failed;
    return found == slice.fingerprint ? RowCheckStep::Unchanged : RowCheckStep::Changed;
}

} // namespace

RowCheckStep checkSlices(const QString& fileName, const QString& tableName,
                         const std::vector<SliceFingerprints::Slice>& slices,
                         const std::atomic_bool& cancelled) {
    const double cpuBefore = threadCpuSeconds();
    lowerWorkerPriority();
    RowCheckStep step;
    {
        const ReadOnlyDatabase database(fileName);
        sqlite3* db = database.handle();
        const QByteArray sql = QStringLiteral("SELECT *, rowid FROM %1 WHERE rowid > ?1 AND "
                                              "rowid <= ?2 ORDER BY rowid LIMIT ?3")
                                   .arg(tableName)
                                   .toUtf8();
        sqlite3_stmt* statement = nullptr;
        if (db && sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &statement, nullptr) ==
                      SQLITE_OK) {
            step.finding = RowCheckStep::Unchanged;
            for (const SliceFingerprints::Slice& slice : slices) {
                if (cancelled) {
                    step.finding = RowCheckStep::Failed;
                    break;
                }
                step.finding = checkSlice(statement, slice, step.rowsRead);
                if (step.finding != RowCheckStep::Unchanged)
                    break;
            }
        }
        sqlite3_finalize(statement);
    }
    step.cpuSeconds = threadCpuSeconds() - cpuBefore;
    return step;
}
