#include "store/IntegerColumn.h"

#include <algorithm>
#include <limits>

void IntegerColumn::append(qint64 value) {
    lowest_ = std::min(lowest_, value);
    highest_ = std::max(highest_, value);
    if (!wide_ &&
        (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max()))
        widen();
    if (wide_)
        wideValues_.push_back(value);
    else
        narrowValues_.push_back(qint32(value));
}

void IntegerColumn::append(const IntegerColumn& other) {
    lowest_ = std::min(lowest_, other.lowest_);
    highest_ = std::max(highest_, other.highest_);
    if (other.wide_ && !wide_)
        widen();
    if (!wide_)
        narrowValues_.insert(narrowValues_.end(), other.narrowValues_.begin(),
                             other.narrowValues_.end());
    else if (other.wide_)
        wideValues_.insert(wideValues_.end(), other.wideValues_.begin(), other.wideValues_.end());
    else
        wideValues_.insert(wideValues_.end(), other.narrowValues_.begin(),
                           other.narrowValues_.end());
}

void IntegerColumn::reserve(quint32 rows) {
    if (wide_)
        wideValues_.reserve(rows);
    else
        narrowValues_.reserve(rows);
}

void IntegerColumn::truncate(quint32 rows) {
    if (wide_)
        wideValues_.resize(rows);
    else
        narrowValues_.resize(rows);
}

void IntegerColumn::eraseRows(quint32 first, quint32 last) {
    if (wide_)
        wideValues_.erase(wideValues_.begin() + first, wideValues_.begin() + last);
    else
        narrowValues_.erase(narrowValues_.begin() + first, narrowValues_.begin() + last);
}

namespace {

template <typename T>
void reorderValues(std::vector<T>& values, const std::vector<quint32>& order) {
    std::vector<T> reordered;
    reordered.reserve(values.size());
    for (const quint32 row : order)
        reordered.push_back(values[row]);
    values = std::move(reordered);
}

} // namespace

void IntegerColumn::reorder(const std::vector<quint32>& order) {
    if (wide_)
        reorderValues(wideValues_, order);
    else
        reorderValues(narrowValues_, order);
}

void IntegerColumn::widen() {
    wideValues_.assign(narrowValues_.begin(), narrowValues_.end());
    narrowValues_ = {};
    wide_ = true;
}
