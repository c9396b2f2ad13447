#pragma once

#include <QtGlobal>

#include <unordered_map>
#include <vector>

class ColumnStore;

// The rows of one integer column by value, in row order: a filter on one
// radio among hundreds then looks at that radio's rows only. Kept up to date
// by the reader, which mostly only appends.
class EqualityIndex {
public:
    // Rows whose value in the column is `value`, NULL excluded; builds the
    // index when it covers another column.
    const std::vector<quint32>& rowsWith(const ColumnStore& store, int column, qint64 value);

    // Rows from `firstChanged` on were replaced or removed, or rows were
    // added; the columns are those the index was built on.
    void rowsChanged(const ColumnStore& store, quint32 firstChanged);
    void clear();

private:
    void addRows(const ColumnStore& store, quint32 from);

    int column_ = -1;
    std::unordered_map<qint64, std::vector<quint32>> rows_;
};
