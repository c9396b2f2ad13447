#include "store/TableLoad.h"

#include "store/ReadOnlyDatabase.h"
#include "store/StatementRowReader.h"
#include "store/StepBound.h"

#include <sqlite3.h>

namespace {

// A slice's read lock lasts a few milliseconds.
constexpr int rowsPerSlice = 16384;
constexpr quint64 rowsPerProgress = 65536;

// Finalizes a statement however its use ends.
struct Statement {
    sqlite3_stmt* handle = nullptr;
    Statement(sqlite3* db, const QString& sql) {
        const QByteArray utf8 = sql.toUtf8();
        if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &handle, nullptr) !=
            SQLITE_OK)
            throw Error(QString::fromUtf8(sqlite3_errmsg(db)));
    }
    ~Statement() { sqlite3_finalize(handle); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
};

} // namespace

TableLoad::TableLoad(const QString& fileName, const QString& tableName, const ReadBounds& bounds,
                     bool rowidTable, Progress progress, std::function<void()> done)
    : fileName_(fileName)
    , tableName_(tableName)
    , bounds_(bounds)
    , rowidTable_(rowidTable)
    , progress_(std::move(progress))
    , done_(std::move(done))
    , thread_([this] { run(); }) {}

TableLoad::~TableLoad() {
    cancel();
    wait();
}

void TableLoad::cancel() {
    cancelled_ = true;
}

void TableLoad::wait() {
    if (thread_.joinable())
        thread_.join();
}

TableLoad::Outcome TableLoad::take() {
    wait();
    return std::move(outcome_);
}

void TableLoad::run() {
    try {
        const ReadOnlyDatabase database(fileName_);
        sqlite3* db = database.handle();
        if (!db)
            throw Error(database.lastMessage());
        StepBound steps(db, bounds_.maxStepsWithoutRow, &cancelled_);
        if (rowidTable_) {
            readSlices(db, steps);
        } else {
            Statement whole(db, QStringLiteral("SELECT * FROM %1").arg(tableName_));
            appendRows(db, whole.handle, steps);
        }
    } catch (const Error& error) {
        outcome_.store.reset();
        outcome_.error = error.message();
    }
    if (cancelled_) {
        outcome_.store.reset();
        outcome_.error.clear();
    }
    done_();
}

void TableLoad::readSlices(sqlite3* db, StepBound& steps) {
    expected_ = expectedRows(db);
    progress_(0, expected_);
    Statement slice(db, QStringLiteral("SELECT *, rowid FROM %1 WHERE rowid > ?1 "
                                       "ORDER BY rowid LIMIT %2")
                            .arg(tableName_)
                            .arg(rowsPerSlice));
    for (quint64 rows = rowsPerSlice; rows == rowsPerSlice && !cancelled_;) {
        sqlite3_bind_int64(slice.handle, 1, outcome_.lastRowid);
        rows = appendRows(db, slice.handle, steps);
        sqlite3_reset(slice.handle);
    }
}

// Steps the statement to its end, appending its rows; how many it gave.
quint64 TableLoad::appendRows(sqlite3* db, sqlite3_stmt* statement, StepBound& steps) {
    // The first step prepares the statement again when another connection
    // changed the schema, so the columns are known only after it.
    int result = sqlite3_step(statement);
    const int rowidColumn = rowidTable_ ? sqlite3_column_count(statement) - 1 : -1;
    StatementRowReader reader(statement, rowidColumn);
    std::optional<ColumnStore>& store = outcome_.store;
    if (!store)
        store.emplace(reader.columns());
    else if (store->columns() != reader.columns())
        throw Error(QStringLiteral("The columns of %1 changed while it was read").arg(tableName_));
    quint64 rows = 0;
    for (; result == SQLITE_ROW; result = sqlite3_step(statement)) {
        steps.rowGiven();
        if (store->rowCount() >= bounds_.maxRows)
            throw bounds_.tooManyRows(tableName_);
        const std::vector<ColumnStore::Cell>& cells = reader.read();
        if (rowidTable_) {
            outcome_.hashes.add(cells, reader.columns());
            outcome_.lastRowid = sqlite3_column_int64(statement, rowidColumn);
        }
        store->appendRow(cells);
        ++rows;
        if (store->rowCount() % rowsPerProgress == 0)
            progress_(store->rowCount(), expected_);
    }
    if (steps.exceeded())
        throw bounds_.tooManySteps(tableName_);
    if (result != SQLITE_DONE && !cancelled_)
        throw Error(QString::fromUtf8(sqlite3_errmsg(db)));
    return rows;
}

// From the first and last row ids, which the table's tree gives at once.
quint64 TableLoad::expectedRows(sqlite3* db) const {
    Statement span(db,
                   QStringLiteral("SELECT max(rowid) - min(rowid) + 1 FROM %1").arg(tableName_));
    return sqlite3_step(span.handle) == SQLITE_ROW
               ? quint64(std::max<sqlite3_int64>(0, sqlite3_column_int64(span.handle, 0)))
               : 0;
}
