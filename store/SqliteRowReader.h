// A SQLite statement's rows read through each column's kind, the statement
// finalized however its use ends.
#pragma once

#include "store/StatementRowReader.h"

#include <QString>

#include <optional>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

class SqliteRowReader {
public:
    // Prepares `sql`; throws Error with the database's message. With
    // `lastColumnIsRowid` the last column is the row id, kept apart from the
    // cells.
    SqliteRowReader(sqlite3* db, const QString& sql, bool lastColumnIsRowid = false);
    // The rows of `tableName` with row ids after ?1 up to ?2, at most ?3 of
    // them, in row id order: one slice in one short read transaction.
    static SqliteRowReader rowidSlices(sqlite3* db, const QString& tableName);
    ~SqliteRowReader();
    SqliteRowReader(SqliteRowReader&& other) noexcept;
    SqliteRowReader(const SqliteRowReader&) = delete;
    SqliteRowReader& operator=(const SqliteRowReader&) = delete;
    SqliteRowReader& operator=(SqliteRowReader&&) = delete;

    // Starts the slice again with these bounds; a negative limit has none.
    void startSlice(qint64 after, qint64 last, qint64 limit);
    // Steps to the next row; false at the end, when the statement's read
    // transaction ends. Throws Error with the database's message.
    bool next();
    // Of the current row; the columns are known after the first step, as
    // the first step prepares the statement again when the schema changed.
    const std::vector<ColumnStore::ColumnInfo>& columns() const { return reader_->columns(); }
    const std::vector<ColumnStore::Cell>& cells() const { return *cells_; }
    qint64 rowid() const;
    // A column of the current row as SQLite gives it, past the column kinds:
    // for aggregates, which have no declared type.
    qint64 integerAt(int column) const;
    bool isNullAt(int column) const;

private:
    sqlite3_stmt* statement_ = nullptr;
    bool lastColumnIsRowid_ = false;
    bool started_ = false;
    std::optional<StatementRowReader> reader_;
    const std::vector<ColumnStore::Cell>* cells_ = nullptr;
};
