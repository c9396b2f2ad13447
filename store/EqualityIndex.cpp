#include "store/EqualityIndex.h"

#include "store/ColumnStore.h"

const std::vector<quint32>& EqualityIndex::rowsWith(const ColumnStore& store, int column,
                                                    qint64 value) {
    if (column != column_) {
        clear();
        column_ = column;
        addRows(store, 0);
    }
    static const std::vector<quint32> none;
    const auto found = rows_.find(value);
    return found == rows_.end() ? none : found->second;
}

void EqualityIndex::rowsChanged(const ColumnStore& store, quint32 firstChanged) {
    if (column_ < 0)
        return;
    for (auto& [value, rows] : rows_) {
        while (!rows.empty() && rows.back() >= firstChanged)
            rows.pop_back();
    }
    addRows(store, firstChanged);
}

void EqualityIndex::clear() {
    column_ = -1;
    rows_.clear();
}

void EqualityIndex::addRows(const ColumnStore& store, quint32 from) {
    for (quint32 row = from; row < store.rowCount(); ++row) {
        if (!store.isNull(column_, row))
            rows_[store.integer(column_, row)].push_back(row);
    }
}
