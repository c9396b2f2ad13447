#include "store/EqualityIndex.h"

#include "store/ColumnStore.h"

#include <algorithm>

namespace {

// Calls visit(row, value) for every row of the column that is not NULL.
template <typename Visit> void forEachValue(const ColumnStore& store, int column, Visit&& visit) {
    const bool hasNulls = store.hasNulls(column);
    store.integers(column).forEach([&](quint32 row, qint64 value) {
        if (!hasNulls || !store.isNull(column, row))
            visit(row, value);
    });
}

} // namespace

// A first look at a column is one pass that only reads; the index, which
// costs two passes that also write, pays from the second look on.
std::span<const quint32> EqualityIndex::rowsWith(const ColumnStore& store, int column,
                                                 qint64 value) {
    // Scanning appended rows beats building again until they are many.
    if (column == column_ && store.rowCount() - indexedRows_ > std::max(indexedRows_ / 8, 4096u))
        column_ = -1;
    if (column != column_) {
        if (column != scannedColumn_) {
            scannedColumn_ = column;
            scannedRows_.clear();
            forEachValue(store, column, [&](quint32 row, qint64 rowValue) {
                if (rowValue == value)
                    scannedRows_.push_back(row);
            });
            return scannedRows_;
        }
        build(store, column);
    }
    const qint64 group = groupOf(value);
    std::span<const quint32> grouped;
    if (group >= 0 && group < qint64(groupEnds_.size())) {
        const quint32 begin = group == 0 ? 0 : groupEnds_[group - 1];
        grouped = std::span<const quint32>(rows_.data() + begin, groupEnds_[group] - begin);
    }
    if (store.rowCount() == indexedRows_)
        return grouped;
    withTail_.assign(grouped.begin(), grouped.end());
    const bool hasNulls = store.hasNulls(column);
    for (quint32 row = indexedRows_; row < store.rowCount(); ++row) {
        if (store.integer(column, row) == value && !(hasNulls && store.isNull(column, row)))
            withTail_.push_back(row);
    }
    return withTail_;
}

void EqualityIndex::clear() {
    scannedColumn_ = -1;
    scannedRows_ = {};
    column_ = -1;
    indexedRows_ = 0;
    withTail_ = {};
    groupOf_ = {};
    groupEnds_ = {};
    rows_ = {};
}

qint64 EqualityIndex::groupOf(qint64 value) const {
    if (dense_) {
        // Values far below lowest_ would overflow the difference.
        return value < lowest_ ? -1 : qint64(quint64(value) - quint64(lowest_));
    }
    const auto found = groupOf_.find(value);
    return found == groupOf_.end() ? -1 : qint64(found->second);
}

// Two passes over the column: one counts each value's rows, one places them.
void EqualityIndex::build(const ColumnStore& store, int column) {
    clear();
    column_ = column;
    indexedRows_ = store.rowCount();
    const IntegerColumn& values = store.integers(column);
    // The distance of the bounds fits 64 bits unsigned, not one more.
    const quint64 distance = quint64(values.highest()) - quint64(values.lowest());
    dense_ = distance < quint64(store.rowCount()) + 1024;
    lowest_ = values.lowest();
    if (!dense_) {
        forEachValue(store, column, [&](quint32, qint64 value) {
            groupOf_.try_emplace(value, quint32(groupOf_.size()));
        });
    }
    std::vector<quint32> counts(dense_ ? distance + 1 : groupOf_.size(), 0);
    forEachValue(store, column, [&](quint32, qint64 value) { ++counts[groupOf(value)]; });
    groupEnds_.resize(counts.size());
    quint32 end = 0;
    for (std::size_t group = 0; group < counts.size(); ++group) {
        const quint32 count = counts[group];
        counts[group] = end; // from here on the group's next free place
        end += count;
        groupEnds_[group] = end;
    }
    rows_.resize(end);
    forEachValue(store, column,
                 [&](quint32 row, qint64 value) { rows_[counts[groupOf(value)]++] = row; });
}
