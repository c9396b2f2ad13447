#include "store/PassingRows.h"

#include "store/ColumnStore.h"
#include "store/EqualityIndex.h"

#include <algorithm>
#include <span>

PassingRows::PassingRows(const ColumnStore& rows)
    : rows_(rows) {}

void PassingRows::bind(const FilterExpression& expression) {
    std::optional<RowFilter> filter;
    if (!expression.comparisons.empty())
        filter.emplace(expression, rows_);
    filter_ = std::move(filter);
    bindFailed_ = false;
}

void PassingRows::rebind(const FilterExpression& expression) {
    try {
        bind(expression);
    } catch (...) {
        filter_.reset();
        bindFailed_ = true;
        throw;
    }
}

void PassingRows::compute(bool filtered, EqualityIndex& index) {
    allPass_ = !filtered || (!filter_ && !bindFailed_);
    passing_.clear();
    if (allPass_ || bindFailed_) {
        passing_.shrink_to_fit();
        return;
    }
    if (const auto equality = filter_->integerEquality()) {
        const std::span<const quint32> rows =
            index.rowsWith(rows_, equality->column, equality->value);
        if (equality->alone) {
            passing_.assign(rows.begin(), rows.end());
            return;
        }
        for (const quint32 row : rows) {
            if (filter_->passes(rows_, row))
                passing_.push_back(row);
        }
        return;
    }
    for (quint32 row = 0; row < rows_.rowCount(); ++row) {
        if (filter_->passes(rows_, row))
            passing_.push_back(row);
    }
}

void PassingRows::clear() {
    filter_.reset();
    bindFailed_ = false;
    passing_.clear();
    passing_.shrink_to_fit();
    allPass_ = true;
}

int PassingRows::count() const {
    return allPass_ ? int(rows_.rowCount()) : int(passing_.size());
}

std::optional<int> PassingRows::indexOf(quint32 storeRow) const {
    if (allPass_)
        return storeRow < rows_.rowCount() ? std::optional<int>(int(storeRow)) : std::nullopt;
    const auto found = std::lower_bound(passing_.begin(), passing_.end(), storeRow);
    if (found == passing_.end() || *found != storeRow)
        return std::nullopt;
    return int(found - passing_.begin());
}
