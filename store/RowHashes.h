#pragma once

#include "store/ColumnStore.h"

#include <vector>

// A fingerprint of a table's rows in order, one hash per block of rows, so
// that two readings of a large table compare in a few hundred steps.
class RowHashes {
public:
    static constexpr quint32 rowsPerBlock = 4096;

    void add(const std::vector<ColumnStore::Cell>& cells,
             const std::vector<ColumnStore::ColumnInfo>& columns);
    quint32 rowCount() const { return rows_; }
    bool operator==(const RowHashes&) const = default;

private:
    std::vector<quint64> blocks_;
    quint32 rows_ = 0;
};
