// One step of the check that the rows held are still those in the file.
#pragma once

#include "store/SliceFingerprints.h"

#include <QString>

#include <atomic>
#include <vector>

// What a check step found, and the processor time it took on its thread.
struct RowCheckStep {
    enum Finding { Unchanged, Changed, Failed } finding = Failed;
    quint64 rowsRead = 0;
    double cpuSeconds = 0;
};

// Reads a rowid table's rows in each slice on a connection of its own, so
// that it can run beside the user-interface thread, and compares them with
// the slice's fingerprint. Each slice is read by one statement, its own read
// transaction: a writer waits for none longer than milliseconds. Failed
// when the read fails or is cancelled.
RowCheckStep checkSlices(const QString& fileName, const QString& tableName,
                         const std::vector<SliceFingerprints::Slice>& slices,
                         const std::atomic_bool& cancelled);
