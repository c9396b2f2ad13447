#pragma once

#include "store/ColumnKind.h"
#include "store/DateTimeValue.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <vector>

struct sqlite3_stmt;

// A table's rows held column by column, each column typed by its kind:
// integers as 64-bit, reals and date-times as doubles, text as UTF-8 in one
// buffer per column. Millions of rows cost a few dozen bytes each.
class ColumnStore {
public:
    struct ColumnInfo {
        QString name;
        ColumnKind kind = ColumnKind::Text;
    };

    // One row's values, comparable with a row of another reading.
    struct RowSnapshot {
        std::vector<bool> nulls;
        std::vector<qint64> integers;
        std::vector<double> reals;
        std::vector<QByteArray> texts;
    };

    // Names and kinds from the prepared statement's columns.
    void resetFor(sqlite3_stmt* statement);
    void clear();
    // Room for the rows of an earlier reading and a little more, so that a
    // re-read of a large table grows no vector step by step.
    void reserveLike(const ColumnStore& earlier);
    // The statement's current row, read through each column's kind.
    void appendRow(sqlite3_stmt* statement);

    int columnCount() const { return int(columns_.size()); }
    const ColumnInfo& info(int column) const { return columns_[column].info; }
    int columnIndex(QStringView name) const; // -1 when there is none; case-insensitive
    quint32 rowCount() const { return rowCount_; }

    bool isNull(int column, quint32 row) const { return columns_[column].nulls[row]; }
    qint64 integer(int column, quint32 row) const { return columns_[column].integers[row]; }
    // Reals and date-times.
    double number(int column, quint32 row) const { return columns_[column].numbers[row]; }
    QByteArrayView utf8(int column, quint32 row) const;
    QString text(int column, quint32 row) const { return QString::fromUtf8(utf8(column, row)); }

    // The value as the grid and text reading show it; empty for NULL.
    QString displayText(int column, quint32 row) const;

    RowSnapshot snapshot(quint32 row) const;
    bool matches(quint32 row, const RowSnapshot& snapshot) const;

private:
    struct Column {
        ColumnInfo info;
        std::vector<bool> nulls;
        std::vector<qint64> integers;
        std::vector<double> numbers;
        std::vector<char> bytes;
        std::vector<quint32> ends; // end offset of each row's text in bytes
    };

    void appendText(Column& column, const char* data, int size);

    std::vector<Column> columns_;
    quint32 rowCount_ = 0;
};
