// The rows of a table that pass its filter, in row order.
#pragma once

#include "store/FilterExpression.h"
#include "store/RowFilter.h"

#include <optional>
#include <vector>

class ColumnStore;
class EqualityIndex;

class PassingRows {
public:
    // Over rows that live as long as this object; they may change between
    // calls, and compute() follows them.
    explicit PassingRows(const ColumnStore& rows);

    // Binds the expression to the rows' columns; throws Error naming a column
    // they do not have, keeping the binding before.
    void bind(const FilterExpression& expression);
    // The same once the rows' columns changed, when the binding before no
    // longer fits: on failure no row passes until the next bind.
    void rebind(const FilterExpression& expression);
    // Which rows pass; every row does while `filtered` is off or the
    // expression compares nothing. The index answers an equality on its
    // integer column.
    void compute(bool filtered, EqualityIndex& index);
    void clear();

    int count() const;
    quint32 storeRow(int row) const { return allPass_ ? quint32(row) : passing_[row]; }
    // Where the store's row is among the passing ones, if it passes.
    std::optional<int> indexOf(quint32 storeRow) const;

private:
    const ColumnStore& rows_;
    std::optional<RowFilter> filter_;
    bool bindFailed_ = false;
    std::vector<quint32> passing_; // unused while every row passes
    bool allPass_ = true;
};
