#pragma once

#include "store/DateTimeValue.h"

#include <QtGlobal>

#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

class ColumnStore;

// The position table's rows per radio, ordered by their stored time, ties in
// row order (rows are held in row-id order): where every radio was at a time
// is then one binary search per radio. Holds row numbers only, about four
// bytes a report; the times are read from the store, which every call takes
// and which must be the one indexed. Rows whose time does not read are left
// out and counted; rows without a radio are left out.
class RadioTimeIndex {
public:
    // Indexes the store's rows behind those indexed so far. Rows already
    // indexed must be unchanged; after a removal or a replaced store, start
    // from a new index.
    void extend(const ColumnStore& store);
    quint32 indexedRows() const { return indexedRows_; }
    // The other index, over rows that `store` holds behind these, joined
    // behind this one: the halves of a whole read are indexed side by side.
    void append(RadioTimeIndex&& other, const ColumnStore& store);
    // What the index holds in memory, about four bytes a report.
    quint64 heldBytes() const;

    // Reports of the radios left out because their time does not read.
    quint32 unreadableTimes(std::span<const qint64> radios) const;

    // The radio's newest row at or before the time; none before its first.
    std::optional<quint32> rowAt(const ColumnStore& store, qint64 radio, DateTimeValue time) const;
    // The radio's oldest row after the time (the first of equal times); none
    // after its last.
    std::optional<quint32> rowAfter(const ColumnStore& store, qint64 radio,
                                    DateTimeValue time) const;
    // The radio's rows from first to last, both included, oldest first.
    std::span<const quint32> rowsBetween(const ColumnStore& store, qint64 radio,
                                         DateTimeValue first, DateTimeValue last) const;
    // The earliest time after `time` at which one of the radios reported.
    std::optional<DateTimeValue> nextTimeAfter(const ColumnStore& store,
                                               std::span<const qint64> radios,
                                               DateTimeValue time) const;
    // The row's stored time; 0 when it does not read.
    DateTimeValue timeOf(const ColumnStore& store, quint32 row) const;

    // The radios with a report whose time reads.
    std::vector<qint64> radios() const;
    // The radio's rows, oldest first.
    std::span<const quint32> rowsOf(qint64 radio) const;

private:
    struct Radio {
        std::vector<quint32> rows; // by time, ties in row order
        quint32 unreadable = 0;
    };

    std::optional<qint64> radioOf(const ColumnStore& store, quint32 row) const;
    void joinBehind(std::vector<quint32>& held, std::vector<quint32>&& rows,
                    const ColumnStore& store) const;

    int timeColumn_ = -1;
    int radioColumn_ = -1;
    quint32 indexedRows_ = 0;
    std::unordered_map<qint64, Radio> radios_;
};
