#pragma once

#include <QtGlobal>

#include <vector>

// A column of 64-bit integers held in 32 bits each until a value needs more:
// ids and radio numbers then cost half.
class IntegerColumn {
public:
    void append(qint64 value);
    qint64 at(quint32 row) const { return wide_ ? wideValues_[row] : narrowValues_[row]; }
    void truncate(quint32 rows);
    void eraseRows(quint32 first, quint32 last); // rows first .. last - 1

private:
    void widen();

    bool wide_ = false;
    std::vector<qint32> narrowValues_;
    std::vector<qint64> wideValues_;
};
