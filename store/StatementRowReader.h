#pragma once

#include "store/ColumnStore.h"

#include <vector>

struct sqlite3_stmt;

// Reads a statement's rows into cells through each column's kind, the kind
// following the declared type (see columnKindOfDeclaredType).
class StatementRowReader {
public:
    // Reads the statement's first leadingColumns columns, all when negative.
    explicit StatementRowReader(sqlite3_stmt* statement, int leadingColumns = -1);

    const std::vector<ColumnStore::ColumnInfo>& columns() const { return columns_; }

    // The current row; the cells' texts stay valid until the next step.
    const std::vector<ColumnStore::Cell>& read();

private:
    // The time text of the row before and its value: reports arrive in
    // bursts that share one time, and reading a time is the costly part.
    struct TimeMemo {
        QByteArray text;
        double value = 0;
    };

    double dateTimeOf(int column, QByteArrayView text);

    sqlite3_stmt* statement_;
    std::vector<ColumnStore::ColumnInfo> columns_;
    std::vector<ColumnStore::Cell> cells_;
    std::vector<TimeMemo> timeMemos_;
};
