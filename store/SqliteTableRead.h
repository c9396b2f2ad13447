// The reads of a table on the main SQLite connection: the whole table, the
// rows appended past a row id, and whether the table has row ids to read by.
#pragma once

#include "store/ColumnStore.h"
#include "store/ReadBounds.h"
#include "store/RowFingerprint.h"

#include <QString>

#include <limits>
#include <optional>

class Connection;

// What a read of the table found. With the same columns as before, the rows
// that differ from the earlier reading are appended behind it in its store,
// so that an append by the writer costs no second copy of the table.
struct TableReading {
    std::optional<ColumnStore> fresh; // the whole table, when the columns changed
    quint32 kept = 0;                 // leading rows of the earlier reading still in the table
    quint32 earlier = 0;              // rows of the earlier reading
    quint32 appended = 0;

    bool changed() const { return fresh || kept != earlier || appended > 0; }
};

// The last row id and the fingerprint of the rows a read of a rowid table
// appended.
struct RowidTrack {
    qint64 last = std::numeric_limits<qint64>::min();
    RowFingerprint appended;
};

// Reads the whole table behind the earlier rows, keeping those still equal;
// a null `earlier` reads into a fresh store. On failure the earlier store is
// as it was; throws Error with the database's message. No read lock
// outlives the call, so the writer's commits are never held up.
TableReading readWholeTable(const Connection& connection, const QString& tableName,
                            ColumnStore* earlier, const ReadBounds& bounds);

// The rows past `track.last` behind the rows held; none when the table's
// columns changed, it is no longer a rowid table, or the read fails: a whole
// read then finds out which.
std::optional<TableReading> readAppendedRows(const Connection& connection, const QString& tableName,
                                             ColumnStore& held, const ReadBounds& bounds,
                                             RowidTrack& track);

// A table whose rows have row ids in the order a plain scan gives them, none
// hidden behind a column of that name: a view or a table without row ids
// is read whole at every change.
bool isRowidTable(const Connection& connection, const QString& tableName);

// Throws Error with the database's message when the table cannot be read
// at all (a missing one, say).
void requireReadable(const Connection& connection, const QString& tableName);
