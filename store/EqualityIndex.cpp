#include "store/EqualityIndex.h"

#include "store/ColumnStore.h"

#include <algorithm>
#include <limits>

std::span<const quint32> EqualityIndex::rowsWith(const ColumnStore& store, int column,
                                                 qint64 value) {
    if (column != column_)
        build(store, column);
    const qint64 group = groupOf(value);
    if (group < 0 || group >= qint64(groupEnds_.size()))
        return {};
    const quint32 begin = group == 0 ? 0 : groupEnds_[group - 1];
    return std::span<const quint32>(rows_.data() + begin, groupEnds_[group] - begin);
}

void EqualityIndex::clear() {
    column_ = -1;
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

void EqualityIndex::build(const ColumnStore& store, int column) {
    clear();
    column_ = column;
    const quint32 rows = store.rowCount();
    qint64 lowest = std::numeric_limits<qint64>::max();
    qint64 highest = std::numeric_limits<qint64>::min();
    for (quint32 row = 0; row < rows; ++row) {
        if (!store.isNull(column, row)) {
            lowest = std::min(lowest, store.integer(column, row));
            highest = std::max(highest, store.integer(column, row));
        }
    }
    // The distance of the extremes fits 64 bits unsigned, not one more.
    const quint64 distance = lowest > highest ? 0 : quint64(highest) - quint64(lowest);
    dense_ = distance < quint64(rows) + 1024;
    const quint64 span = dense_ && lowest <= highest ? distance + 1 : 0;
    lowest_ = lowest;
    if (!dense_) {
        for (quint32 row = 0; row < rows; ++row) {
            if (!store.isNull(column, row))
                groupOf_.try_emplace(store.integer(column, row), quint32(groupOf_.size()));
        }
    }
    std::vector<quint32> counts(dense_ ? span : groupOf_.size(), 0);
    for (quint32 row = 0; row < rows; ++row) {
        if (!store.isNull(column, row))
            ++counts[groupOf(store.integer(column, row))];
    }
    groupEnds_.resize(counts.size());
    quint32 end = 0;
    for (std::size_t group = 0; group < counts.size(); ++group) {
        const quint32 count = counts[group];
        counts[group] = end; // from here on the group's next free place
        end += count;
        groupEnds_[group] = end;
    }
    rows_.resize(end);
    for (quint32 row = 0; row < rows; ++row) {
        if (!store.isNull(column, row))
            rows_[counts[groupOf(store.integer(column, row))]++] = row;
    }
}
