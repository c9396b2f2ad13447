#include "store/RadioTimeIndex.h"

#include "store/ColumnStore.h"
#include "store/PositionTable.h"

#include <algorithm>

void RadioTimeIndex::extend(const ColumnStore& store) {
    const quint32 first = indexedRows_;
    const quint32 end = store.rowCount();
    indexedRows_ = end;
    if (first == 0) {
        timeColumn_ = store.columnIndex(PositionTable::time);
        radioColumn_ = store.columnIndex(PositionTable::radioShortId);
    }
    if (timeColumn_ < 0 || radioColumn_ < 0 || first >= end)
        return;

    // The new rows' times are read once here; the index keeps row numbers only.
    std::vector<DateTimeValue> times(end - first);
    std::unordered_map<qint64, std::vector<quint32>> added;
    for (quint32 row = first; row < end; ++row) {
        const auto radio = radioOf(store, row);
        if (!radio)
            continue;
        const DateTimeValue time = timeOf(store, row);
        if (!isReadableDateTime(time)) {
            ++radios_[*radio].unreadable;
            continue;
        }
        times[row - first] = time;
        added[*radio].push_back(row);
    }
    const auto byTime = [&](quint32 a, quint32 b) { return times[a - first] < times[b - first]; };
    for (auto& [radio, rows] : added) {
        // Rows come in row order, so a stable sort keeps ties in row order.
        if (!std::is_sorted(rows.begin(), rows.end(), byTime))
            std::stable_sort(rows.begin(), rows.end(), byTime);
        joinBehind(radios_[radio].rows, std::move(rows), store);
    }
}

void RadioTimeIndex::append(RadioTimeIndex&& other, const ColumnStore& store) {
    const quint32 offset = indexedRows_;
    if (offset == 0) {
        timeColumn_ = other.timeColumn_;
        radioColumn_ = other.radioColumn_;
    }
    indexedRows_ += other.indexedRows_;
    for (auto& [radio, part] : other.radios_) {
        for (quint32& row : part.rows)
            row += offset;
        Radio& held = radios_[radio];
        held.unreadable += part.unreadable;
        joinBehind(held.rows, std::move(part.rows), store);
    }
}

// Rows later in row order, sorted by time, joined behind the held ones.
void RadioTimeIndex::joinBehind(std::vector<quint32>& held, std::vector<quint32>&& rows,
                                const ColumnStore& store) const {
    if (rows.empty())
        return;
    if (held.empty()) {
        held = std::move(rows);
        held.shrink_to_fit(); // a whole read lands once: no room kept for growth
        return;
    }
    const bool behind = timeOf(store, held.back()) <= timeOf(store, rows.front());
    const auto middle = held.insert(held.end(), rows.begin(), rows.end());
    if (!behind) {
        // Held rows come before the new ones in row order, so ties keep it.
        std::inplace_merge(held.begin(), middle, held.end(), [&](quint32 a, quint32 b) {
            return timeOf(store, a) < timeOf(store, b);
        });
    }
}

quint64 RadioTimeIndex::heldBytes() const {
    quint64 bytes = sizeof(*this);
    for (const auto& [radio, held] : radios_)
        bytes += sizeof(radio) + sizeof(held) + 2 * sizeof(void*) + held.rows.capacity() * 4;
    return bytes;
}

quint32 RadioTimeIndex::unreadableTimes(std::span<const qint64> radios) const {
    quint32 count = 0;
    for (qint64 radio : radios) {
        const auto found = radios_.find(radio);
        if (found != radios_.end())
            count += found->second.unreadable;
    }
    return count;
}

std::optional<quint32> RadioTimeIndex::rowAt(const ColumnStore& store, qint64 radio,
                                             DateTimeValue time) const {
    const std::span<const quint32> rows = rowsOf(radio);
    const auto after =
        std::upper_bound(rows.begin(), rows.end(), time, [&](DateTimeValue value, quint32 row) {
            return value < timeOf(store, row);
        });
    if (after == rows.begin())
        return std::nullopt;
    return *(after - 1);
}

std::optional<quint32> RadioTimeIndex::rowAfter(const ColumnStore& store, qint64 radio,
                                                DateTimeValue time) const {
    const std::span<const quint32> rows = rowsOf(radio);
    const auto after =
        std::upper_bound(rows.begin(), rows.end(), time, [&](DateTimeValue value, quint32 row) {
            return value < timeOf(store, row);
        });
    if (after == rows.end())
        return std::nullopt;
    return *after;
}

std::span<const quint32> RadioTimeIndex::rowsBetween(const ColumnStore& store, qint64 radio,
                                                     DateTimeValue first,
                                                     DateTimeValue last) const {
    const std::span<const quint32> rows = rowsOf(radio);
    const auto begin =
        std::lower_bound(rows.begin(), rows.end(), first, [&](quint32 row, DateTimeValue value) {
            return timeOf(store, row) < value;
        });
    const auto end =
        std::upper_bound(begin, rows.end(), last, [&](DateTimeValue value, quint32 row) {
            return value < timeOf(store, row);
        });
    return {begin, end};
}

std::optional<DateTimeValue> RadioTimeIndex::nextTimeAfter(const ColumnStore& store,
                                                           std::span<const qint64> radios,
                                                           DateTimeValue time) const {
    std::optional<DateTimeValue> next;
    for (qint64 radio : radios) {
        if (const std::optional<quint32> after = rowAfter(store, radio, time)) {
            const DateTimeValue found = timeOf(store, *after);
            if (!next || found < *next)
                next = found;
        }
    }
    return next;
}

DateTimeValue RadioTimeIndex::timeOf(const ColumnStore& store, quint32 row) const {
    if (store.isNull(timeColumn_, row))
        return 0;
    switch (store.info(timeColumn_).kind) {
    case ColumnKind::Integer:
        return double(store.integer(timeColumn_, row));
    case ColumnKind::Real:
    case ColumnKind::DateTime:
        return store.number(timeColumn_, row);
    case ColumnKind::Text:
        break;
    }
    return readStoredDateTime(store.text(timeColumn_, row));
}

std::optional<qint64> RadioTimeIndex::radioOf(const ColumnStore& store, quint32 row) const {
    if (store.isNull(radioColumn_, row))
        return std::nullopt;
    if (store.info(radioColumn_).kind == ColumnKind::Integer)
        return store.integer(radioColumn_, row);
    bool ok = false;
    const qint64 radio = store.displayText(radioColumn_, row).toLongLong(&ok);
    return ok ? std::optional(radio) : std::nullopt;
}

std::vector<qint64> RadioTimeIndex::radios() const {
    std::vector<qint64> held;
    for (const auto& [radio, part] : radios_) {
        if (!part.rows.empty())
            held.push_back(radio);
    }
    return held;
}

std::span<const quint32> RadioTimeIndex::rowsOf(qint64 radio) const {
    const auto found = radios_.find(radio);
    return found == radios_.end() ? std::span<const quint32>() : found->second.rows;
}
