#pragma once

#include "store/ColumnStore.h"
#include "store/postgres/PgTableLayout.h"

#include <atomic>
#include <functional>
#include <optional>

class PgConnection;

// The reads of one table, each in one read-only snapshot. With a txid column
// and the change count (PgTableLayout::readsExactly), rows are read by
// writing transaction: those below the oldest transaction still running
// when the snapshot was taken (the horizon), and at the next read those from
// that horizon up to the new one. Every committed row is read exactly once,
// whatever order the writers commit in and whatever ids they drew.
class PgTableReader {
public:
    // Where a read stopped: the horizon, and the count of changes in place
    // it saw.
    struct Mark {
        quint64 horizon = 0;
        qint64 changes = 0;
        bool operator==(const Mark&) const = default;
    };

    struct Whole {
        PgTableLayout layout;
        ColumnStore rows;
        Mark mark;
    };

    struct Since {
        ColumnStore rows;
        Mark mark;
        // Rows changed or deleted in place, or the columns changed: nothing
        // was read, the table must be read whole.
        bool wholeReadDue = false;
    };

    using Progress = std::function<void(quint64 rows, quint64 expected)>;

    // Empty when cancelled. Throws Error with the server's message.
    static std::optional<Whole> readWhole(PgConnection& connection, const QString& tableName,
                                          const std::atomic_bool* cancel = nullptr,
                                          const Progress& progress = {});
    // What was committed since `mark`; the layout must read exactly.
    static Since readSince(PgConnection& connection, const PgTableLayout& layout, const Mark& mark);
};
