#pragma once

#include "store/ColumnKind.h"
#include "store/IntegerColumn.h"
#include "store/TextColumn.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <vector>

// A table's rows held column by column, each column typed by its kind:
// integers in 32 or 64 bits, reals and date-times as doubles, texts coded or
// as UTF-8 bytes (see TextColumn). A million reports cost about fifty bytes
// each.
class ColumnStore {
public:
    struct ColumnInfo {
        QString name;
        ColumnKind kind = ColumnKind::Text;
        bool operator==(const ColumnInfo&) const = default;
    };

    // One value already read through its column's kind.
    struct Cell {
        bool isNull = false;
        qint64 integer = 0;
        double number = 0;   // reals and date-times
        QByteArrayView text; // valid until the next row is read
    };

    // One row's values kept apart from the store, comparable with a row of
    // another reading.
    struct RowSnapshot {
        std::vector<ColumnKind> kinds;
        std::vector<Cell> cells;
        std::vector<QByteArray> texts; // what the cells' texts view
    };

    explicit ColumnStore(std::vector<ColumnInfo> columns = {});

    const std::vector<ColumnInfo>& columns() const { return infos_; }
    int columnCount() const { return int(infos_.size()); }
    const ColumnInfo& info(int column) const { return infos_[column]; }
    int columnIndex(QStringView name) const; // -1 when there is none; case-insensitive
    quint32 rowCount() const { return rowCount_; }

    // A row of one cell per column; throws Error past 4 billion rows.
    void appendRow(const std::vector<Cell>& row);
    void reserve(quint32 rows);
    // The other store's rows after these; its columns must be the same.
    // Throws Error past 4 billion rows.
    void append(ColumnStore&& other);
    bool rowEquals(quint32 row, const std::vector<Cell>& cells) const;
    void truncate(quint32 rows); // at most rowCount(); also drops a row appendRow left half-done
    void eraseRows(quint32 first, quint32 last); // rows first .. last - 1
    // Row i becomes the row order[i] was; order holds every row once.
    void reorder(const std::vector<quint32>& order);

    bool isNull(int column, quint32 row) const {
        const Column& data = columns_[column];
        return data.hasNulls && data.nulls[row];
    }
    qint64 integer(int column, quint32 row) const { return columns_[column].integers.at(row); }
    const IntegerColumn& integers(int column) const { return columns_[column].integers; }
    bool hasNulls(int column) const { return columns_[column].hasNulls; }
    // Reals and date-times.
    double number(int column, quint32 row) const { return columns_[column].numbers[row]; }
    QByteArrayView utf8(int column, quint32 row) const { return columns_[column].texts.at(row); }
    QString text(int column, quint32 row) const { return QString::fromUtf8(utf8(column, row)); }

    // The value as the grid and text reading show it; empty for NULL.
    QString displayText(int column, quint32 row) const;

    RowSnapshot snapshot(quint32 row) const;
    // The snapshot's columns are of this store's kinds, so that rowEquals
    // compares a row with its cells.
    bool holdsKindsOf(const RowSnapshot& snapshot) const;

private:
    struct Column {
        bool hasNulls = false; // nulls stays empty until the first NULL
        std::vector<bool> nulls;
        IntegerColumn integers;
        std::vector<double> numbers;
        TextColumn texts;
    };

    std::vector<ColumnInfo> infos_;
    std::vector<Column> columns_;
    quint32 rowCount_ = 0;
};
