#pragma once

#include "store/ColumnStore.h"

#include <vector>

// A fingerprint of a table's rows: the sum of one hash per row, each bound
// to its row id, so that readings made in parts add up and two readings
// compare in one step.
class RowFingerprint {
public:
    void add(const std::vector<ColumnStore::Cell>& cells,
             const std::vector<ColumnStore::ColumnInfo>& columns, qint64 rowid);
    void add(const RowFingerprint& other);
    quint32 rowCount() const { return rows_; }
    bool operator==(const RowFingerprint&) const = default;

private:
    quint64 sum_ = 0;
    quint32 rows_ = 0;
};
