#pragma once

#include <QtGlobal>

#include <vector>

// A column of 64-bit integers held in 32 bits each until a value needs more:
// ids and radio numbers then cost half.
class IntegerColumn {
public:
    void append(qint64 value);
    void append(const IntegerColumn& other);
    qint64 at(quint32 row) const { return wide_ ? wideValues_[row] : narrowValues_[row]; }
    // No value lies outside them; removals leave them as they were.
    qint64 lowest() const { return lowest_; }
    qint64 highest() const { return highest_; }

    // Calls visit(row, value) for every row in order, in a loop per width.
    template <typename Visit> void forEach(Visit&& visit) const {
        if (wide_) {
            for (std::size_t row = 0; row < wideValues_.size(); ++row)
                visit(quint32(row), wideValues_[row]);
        } else {
            for (std::size_t row = 0; row < narrowValues_.size(); ++row)
                visit(quint32(row), qint64(narrowValues_[row]));
        }
    }
    void reserve(quint32 rows);
    void truncate(quint32 rows);
    void eraseRows(quint32 first, quint32 last); // rows first .. last - 1
    // Row i becomes the row order[i] was; order holds every row once.
    void reorder(const std::vector<quint32>& order);

private:
    void widen();

    bool wide_ = false;
    qint64 lowest_ = 0;
    qint64 highest_ = 0;
    std::vector<qint32> narrowValues_;
    std::vector<qint64> wideValues_;
};
