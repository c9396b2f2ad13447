#pragma once

#include <QtGlobal>

#include <span>
#include <unordered_map>
#include <vector>

class ColumnStore;

// The rows of one integer column grouped by value, in row order: a filter on
// one radio among hundreds then looks at that radio's rows only. Built on
// the second look at a column, in two passes; dropped whenever rows change
// or go, while rows appended behind it are scanned until they are many.
class EqualityIndex {
public:
    // Rows whose value in the column is `value`, NULL excluded.
    std::span<const quint32> rowsWith(const ColumnStore& store, int column, qint64 value);
    // Builds at once what the second look at the column would.
    void build(const ColumnStore& store, int column);
    void clear();

private:
    // The group of a value: value - lowest_ when the values lie close
    // together (radio ids), else numbered through groupOf_.
    qint64 groupOf(qint64 value) const;

    int scannedColumn_ = -1;
    std::vector<quint32> scannedRows_;

    int column_ = -1;
    quint32 indexedRows_ = 0;
    std::vector<quint32> withTail_; // a group followed by the appended rows that match
    bool dense_ = true;
    qint64 lowest_ = 0;
    std::unordered_map<qint64, quint32> groupOf_;
    std::vector<quint32> groupEnds_; // end of each group in rows_
    std::vector<quint32> rows_;
};
