// The filter language, parsed and evaluated by a cursor over a small table
// with a column of every kind. Input: a filter text, optionally followed by a
// NUL and the cells of one more row separated by 0x1F; the cells are written
// as text, so each column's affinity decides what the table stores.

#include "app/Error.h"
#include "fuzz/FuzzCheck.h"
#include "store/Connection.h"
#include "store/DateTimeValue.h"
#include "store/FilterExpression.h"
#include "store/SqliteTableReplica.h"
#include "store/TableCursor.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cmath>
#include <cstdint>
#include <memory>

namespace {

constexpr const char* schema =
    "CREATE TABLE map_coor (id INTEGER, station_name TEXT, time DATETIME, radio_short_id "
    "INTEGER, lat TEXT, speed REAL, note)";

// Values a hostile or careless writer leaves: NULLs, extremes, text where
// numbers belong, times in several forms.
constexpr const char* rows =
    "INSERT INTO map_coor VALUES"
    " (1, 'Base', '2012-05-03 14:22:33', 7, '41.061234', 1.5, 'x'),"
    " (2, 'Ü-Station', '2012/5/3 14:22', 7, '41.599999', -0.00001, 12),"
    " (3, NULL, NULL, NULL, NULL, NULL, NULL),"
    " (4, 'it''s', '1899-12-29 06:00:00.5', 9223372036854775807, '-41.5', 1e308, x'00ff'),"
    " (5, '', 'yesterday', -9223372036854775808, '', 'nan', 3.25),"
    " (6, 'Base', '9999-12-31 23:59:59.999', 'abc', 'N41.06', '1e999', ''),"
    " (7, 'base', '0001-01-01', 2147483648, '41', '-inf', 'Base'),"
    " (8, 'Base', 2.5e300, 7.9, '41.06.1234', 'x', NULL)";

void execute(sqlite3* db, const char* sql) {
    fuzzCheck(sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK, sql);
}

struct Fixture {
    QTemporaryDir dir;
    sqlite3* writer = nullptr;
    Connection connection;
    std::unique_ptr<TableCursor> cursor;
    int baseRows = 0;

    Fixture() {
        const QByteArray path = dir.filePath(QStringLiteral("fuzz.db")).toUtf8();
        fuzzCheck(sqlite3_open(path.constData(), &writer) == SQLITE_OK, "open the writer");
        execute(writer, "PRAGMA journal_mode = MEMORY; PRAGMA synchronous = OFF");
        execute(writer, schema);
        execute(writer, rows);
        connection.open(dir.filePath(QStringLiteral("fuzz.db")));
        cursor =
            std::make_unique<TableCursor>(sqliteReplica(connection, QStringLiteral("map_coor")));
        cursor->open();
        baseRows = cursor->rowCount();
    }
};

Fixture& fixture() {
    static Fixture instance;
    return instance;
}

void insertRow(sqlite3* writer, QByteArrayView cells) {
    sqlite3_stmt* statement = nullptr;
    fuzzCheck(sqlite3_prepare_v2(writer, "INSERT INTO map_coor VALUES (?, ?, ?, ?, ?, ?, ?)", -1,
                                 &statement, nullptr) == SQLITE_OK,
              "prepare the insert");
    const QList<QByteArray> values = cells.toByteArray().split('\x1f');
    for (int i = 0; i < 7 && i < values.size(); ++i)
        sqlite3_bind_text(statement, i + 1, values[i].constData(), int(values[i].size()),
                          SQLITE_TRANSIENT);
    fuzzCheck(sqlite3_step(statement) == SQLITE_DONE, "insert the row");
    sqlite3_finalize(statement);
}

// Every column of the current row, read every way the views and the grid read.
void readCurrentRow(const TableCursor& cursor) {
    for (int c = 0; c < cursor.columnCount(); ++c) {
        const QString name = cursor.columnName(c);
        cursor.fieldAsText(name);
        try {
            cursor.fieldAsInteger(name);
        } catch (const Error&) {
        }
        const DateTimeValue value = cursor.fieldAsDateTime(name);
        displayText(value);
        cursor.displayText(cursor.currentRow(), c);
    }
}

void walkPassingRows(TableCursor& cursor) {
    int visited = 0;
    cursor.first();
    cursor.prior();
    fuzzCheck(cursor.rowCount() == 0 || cursor.currentRow() == 0, "prior stays on the first row");
    while (!cursor.atEnd()) {
        fuzzCheck(visited < cursor.rowCount(), "the walk ends after the passing rows");
        readCurrentRow(cursor);
        ++visited;
        cursor.next();
    }
    fuzzCheck(visited == cursor.rowCount(), "the walk visits every passing row");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Fixture& f = fixture();
    const QByteArrayView input(data, qsizetype(size));
    const qsizetype nul = input.indexOf('\0');
    const QString filter = QString::fromUtf8(nul < 0 ? input : input.first(nul));

    try {
        parseFilter(filter);
    } catch (const Error&) {
    }

    // Each input starts from the unfiltered cursor, so that a found input
    // repeats alone.
    TableCursor& cursor = *f.cursor;
    cursor.setFiltered(false);
    cursor.setFilter(QString());
    const bool extraRow = nul >= 0;
    if (extraRow) {
        insertRow(f.writer, input.sliced(nul + 1));
        cursor.refresh();
    }
    fuzzCheck(cursor.rowCount() == f.baseRows + (extraRow ? 1 : 0), "unfiltered, every row passes");
    try {
        cursor.setFilter(filter);
        cursor.setFiltered(true);
        fuzzCheck(cursor.rowCount() <= f.baseRows + 1, "no more rows pass than exist");
        walkPassingRows(cursor);
        cursor.refresh();
        walkPassingRows(cursor);
    } catch (const Error&) {
    }
    if (extraRow) {
        execute(f.writer, "DELETE FROM map_coor WHERE rowid = last_insert_rowid()");
        cursor.refresh();
    }
    return 0;
}
