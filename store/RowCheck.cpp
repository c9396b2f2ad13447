#include "store/RowCheck.h"

#include "app/Error.h"
#include "store/ReadOnlyDatabase.h"
#include "store/SqliteRowReader.h"
#include "store/WorkerPriority.h"

#include <ctime>

namespace {

double threadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Fingerprints the rows of one slice; one row more than held is enough to
// tell it changed.
RowCheckStep::Finding checkSlice(SqliteRowReader& reader, const SliceFingerprints::Slice& slice,
                                 quint64& rowsRead) {
    reader.startSlice(slice.after, slice.last, qint64(slice.fingerprint.rowCount()) + 1);
    RowFingerprint found;
    while (reader.next()) {
        found.add(reader.cells(), reader.columns(), reader.rowid());
        ++rowsRead;
    }
    return found == slice.fingerprint ? RowCheckStep::Unchanged : RowCheckStep::Changed;
}

} // namespace

RowCheckStep checkSlices(const QString& fileName, const QString& tableName,
                         const std::vector<SliceFingerprints::Slice>& slices,
                         const std::atomic_bool& cancelled) {
    const double cpuBefore = threadCpuSeconds();
    lowerWorkerPriority();
    RowCheckStep step;
    try {
        const ReadOnlyDatabase database(fileName);
        if (!database.handle())
            throw Error(database.lastMessage());
        SqliteRowReader reader = SqliteRowReader::rowidSlices(database.handle(), tableName);
        step.finding = RowCheckStep::Unchanged;
        for (const SliceFingerprints::Slice& slice : slices) {
            if (cancelled) {
                step.finding = RowCheckStep::Failed;
                break;
            }
            step.finding = checkSlice(reader, slice, step.rowsRead);
            if (step.finding != RowCheckStep::Unchanged)
                break;
        }
    } catch (const Error&) {
        step.finding = RowCheckStep::Failed;
    }
    step.cpuSeconds = threadCpuSeconds() - cpuBefore;
    return step;
}
