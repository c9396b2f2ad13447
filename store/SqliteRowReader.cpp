#include "store/SqliteRowReader.h"

#include "app/Error.h"

#include <sqlite3.h>

#include <utility>

SqliteRowReader::SqliteRowReader(sqlite3* db, const QString& sql, bool lastColumnIsRowid)
    : lastColumnIsRowid_(lastColumnIsRowid) {
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &statement_, nullptr) !=
        SQLITE_OK) {
        sqlite3_finalize(statement_);
        throw Error(QString::fromUtf8(sqlite3_errmsg(db)));
    }
}

SqliteRowReader SqliteRowReader::rowidSlices(sqlite3* db, const QString& tableName) {
    return SqliteRowReader(db,
                           QStringLiteral("SELECT *, rowid FROM %1 WHERE rowid > ?1 AND "
                                          "rowid <= ?2 ORDER BY rowid LIMIT ?3")
                               .arg(tableName),
                           true);
}

SqliteRowReader::~SqliteRowReader() {
    sqlite3_finalize(statement_);
}

SqliteRowReader::SqliteRowReader(SqliteRowReader&& other) noexcept
    : statement_(std::exchange(other.statement_, nullptr))
    , lastColumnIsRowid_(other.lastColumnIsRowid_) {}

void SqliteRowReader::startSlice(qint64 after, qint64 last, qint64 limit) {
    sqlite3_reset(statement_);
    sqlite3_bind_int64(statement_, 1, after);
    sqlite3_bind_int64(statement_, 2, last);
    sqlite3_bind_int64(statement_, 3, limit);
    started_ = false;
}

bool SqliteRowReader::next() {
    const int result = sqlite3_step(statement_);
    if (!started_) {
        const int columns = sqlite3_column_count(statement_);
        reader_.emplace(statement_, lastColumnIsRowid_ ? columns - 1 : columns);
        started_ = true;
    }
    if (result == SQLITE_ROW) {
        cells_ = &reader_->read();
        return true;
    }
    // A failed statement keeps its error for the connection's message.
    if (result != SQLITE_DONE)
        throw Error(QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(statement_))));
    // Ends the read transaction at once: the writer is never held up by it.
    sqlite3_reset(statement_);
    return false;
}

qint64 SqliteRowReader::rowid() const {
    return integerAt(sqlite3_column_count(statement_) - 1);
}

qint64 SqliteRowReader::integerAt(int column) const {
    return sqlite3_column_int64(statement_, column);
}

bool SqliteRowReader::isNullAt(int column) const {
    return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}
