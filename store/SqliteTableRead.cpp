#include "store/SqliteTableRead.h"

#include "app/Error.h"
#include "store/Connection.h"
#include "store/DatabaseBusyCursor.h"
#include "store/SqliteRowReader.h"
#include "store/StepBound.h"

#include <sqlite3.h>

#include <algorithm>
#include <memory>

namespace {

// With `track` the reader's rows are those past track->last, behind the
// earlier ones, and they are fingerprinted.
TableReading readRows(const Connection& connection, const QString& tableName,
                      SqliteRowReader& reader, ColumnStore* earlier, const ReadBounds& bounds,
                      RowidTrack* track) {
    const DatabaseBusyCursor busy;
    StepBound steps(connection.handle(), bounds.maxStepsWithoutRow);
    const auto next = [&] {
        try {
            return reader.next();
        } catch (const Error&) {
            if (steps.exceeded())
                throw bounds.tooManySteps(tableName);
            throw connection.lastError();
        }
    };
    bool more = next();
    TableReading reading;
    ColumnStore* target = earlier;
    if (earlier)
        reading.earlier = earlier->rowCount();
    if (!earlier || earlier->columns() != reader.columns())
        target = &reading.fresh.emplace(reader.columns());
    else if (track)
        reading.kept = reading.earlier;
    try {
        for (; more; more = next()) {
            steps.rowGiven();
            if (quint64(reading.kept) + reading.appended >= bounds.maxRows)
                throw bounds.tooManyRows(tableName);
            const std::vector<ColumnStore::Cell>& cells = reader.cells();
            if (track) {
                const qint64 rowid = reader.rowid();
                track->appended.add(cells, reader.columns(), rowid);
                track->last = std::max(track->last, rowid);
            }
            if (target == earlier && reading.appended == 0 && reading.kept < reading.earlier &&
                target->rowEquals(reading.kept, cells)) {
                ++reading.kept;
                continue;
            }
            target->appendRow(cells);
            ++reading.appended;
        }
        if (steps.exceeded())
            throw bounds.tooManySteps(tableName);
    } catch (...) {
        if (target == earlier)
            earlier->truncate(reading.earlier);
        throw;
    }
    return reading;
}

SqliteRowReader preparedOn(const Connection& connection, const QString& sql, bool withRowid) {
    if (!connection.isOpen())
        throw Error(QStringLiteral("The database is not connected"));
    try {
        return SqliteRowReader(connection.handle(), sql, withRowid);
    } catch (const Error&) {
        throw connection.lastError();
    }
}

} // namespace

TableReading readWholeTable(const Connection& connection, const QString& tableName,
                            ColumnStore* earlier, const ReadBounds& bounds) {
    SqliteRowReader reader =
        preparedOn(connection, QStringLiteral("SELECT * FROM %1").arg(tableName), false);
    return readRows(connection, tableName, reader, earlier, bounds, nullptr);
}

std::optional<TableReading> readAppendedRows(const Connection& connection, const QString& tableName,
                                             ColumnStore& held, const ReadBounds& bounds,
                                             RowidTrack& track) {
    try {
        SqliteRowReader reader =
            preparedOn(connection,
                       QStringLiteral("SELECT *, rowid FROM %1 WHERE rowid > %2 ORDER BY rowid")
                           .arg(tableName)
                           .arg(track.last),
                       true);
        TableReading reading = readRows(connection, tableName, reader, &held, bounds, &track);
        if (!reading.fresh)
            return reading;
    } catch (const Error&) {
    }
    return std::nullopt;
}

bool isRowidTable(const Connection& connection, const QString& tableName) {
    sqlite3_stmt* prepared = nullptr;
    const char* sql = "SELECT 1 FROM pragma_table_list WHERE schema = 'main' AND type = 'table'"
                      " AND wr = 0 AND name = ?1 COLLATE NOCASE AND NOT EXISTS"
                      " (SELECT 1 FROM pragma_table_info(?1) WHERE name IN"
                      " ('rowid', 'oid', '_rowid_') COLLATE NOCASE)";
    const int result = sqlite3_prepare_v2(connection.handle(), sql, -1, &prepared, nullptr);
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> statement(prepared,
                                                                          sqlite3_finalize);
    if (result != SQLITE_OK)
        return false;
    const QByteArray name = tableName.toUtf8();
    sqlite3_bind_text(prepared, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
    return sqlite3_step(prepared) == SQLITE_ROW;
}

void requireReadable(const Connection& connection, const QString& tableName) {
    preparedOn(connection, QStringLiteral("SELECT * FROM %1").arg(tableName), false);
}
