#include "store/TableCursor.h"

#include "app/Error.h"
#include "store/Connection.h"
#include "store/DatabaseBusyCursor.h"
#include "store/RowCheck.h"
#include "store/StatementRowReader.h"

#include <QCoreApplication>
#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// What a read of the table found. With the same columns as before, the rows
// that differ from the earlier reading are appended behind it in its store,
// so that an append by the writer costs no second copy of the table.
struct Reading {
    std::optional<ColumnStore> fresh; // the whole table, when the columns changed
    quint32 kept = 0;                 // leading rows of the earlier reading still in the table
    quint32 earlier = 0;              // rows of the earlier reading
    quint32 appended = 0;

    bool changed() const { return fresh || kept != earlier || appended > 0; }
};

// Reads the whole table and finalizes the statement at once, so that no read
// lock outlives the call and the writer's commits are never held up. On
// failure the earlier store is as it was.
// Stops a statement that runs too long without giving a row: SQLite calls
// back every few virtual machine steps while it is installed.
class StepBound {
public:
    static constexpr int stepsPerCall = 1000;

    StepBound(sqlite3* db, quint64 maxStepsWithoutRow)
        : db_(db)
        , max_(maxStepsWithoutRow) {
        sqlite3_progress_handler(db_, stepsPerCall, &StepBound::passed, this);
    }
    ~StepBound() { sqlite3_progress_handler(db_, 0, nullptr, nullptr); }
    StepBound(const StepBound&) = delete;
    StepBound& operator=(const StepBound&) = delete;

    void rowGiven() { sinceRow_ = 0; }
    bool stopped() const { return stopped_; }

private:
    static int passed(void* context) {
        auto* bound = static_cast<StepBound*>(context);
        bound->sinceRow_ += stepsPerCall;
        bound->stopped_ = bound->sinceRow_ > bound->max_;
        return bound->stopped_ ? 1 : 0;
    }

    sqlite3* db_;
    quint64 max_;
    quint64 sinceRow_ = 0;
    bool stopped_ = false;
};

// The row ids and fingerprint of what a read of a rowid table holds; the
// statement's last column is the row id.
struct RowidTrack {
    qint64 last = std::numeric_limits<qint64>::min();
    RowHashes hashes;
};

// With appendOnly the statement gives only rows behind the earlier ones.
Reading readTable(const Connection& connection, const QString& tableName, const QString& sql,
                  ColumnStore* earlier, const TableCursor::ReadBounds& bounds, bool appendOnly,
                  RowidTrack* rowids) {
    if (!connection.isOpen())
        throw Error(QStringLiteral("The database is not connected"));
    const DatabaseBusyCursor busy;
    sqlite3* db = connection.handle();
    sqlite3_stmt* statement = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &statement, nullptr) !=
        SQLITE_OK)
        throw connection.lastError();

    StepBound steps(db, bounds.maxStepsWithoutRow);
    // The first step prepares the statement again when another connection
    // changed the schema, so the columns are known only after it.
    int result = sqlite3_step(statement);
    const int rowidColumn = rowids ? sqlite3_column_count(statement) - 1 : -1;
    StatementRowReader reader(statement, rowidColumn);
    Reading reading;
    ColumnStore* target = earlier;
    if (!earlier || earlier->columns() != reader.columns())
        target = &reading.fresh.emplace(reader.columns());
    else
        reading.earlier = earlier->rowCount();
    if (appendOnly)
        reading.kept = reading.earlier;
    try {
        for (; result == SQLITE_ROW; result = sqlite3_step(statement)) {
            steps.rowGiven();
            if (quint64(reading.kept) + reading.appended >= bounds.maxRows)
                throw Error(QStringLiteral("Reading %1 stopped: it has more than %2 rows")
                                .arg(tableName)
                                .arg(bounds.maxRows));
            const std::vector<ColumnStore::Cell>& cells = reader.read();
            if (rowids) {
                rowids->hashes.add(cells, reader.columns());
                rowids->last = std::max(rowids->last, sqlite3_column_int64(statement, rowidColumn));
            }
            if (reading.appended == 0 && reading.kept < reading.earlier &&
                target->rowEquals(reading.kept, cells)) {
                ++reading.kept;
                continue;
            }
            target->appendRow(cells);
            ++reading.appended;
        }
        if (steps.stopped())
            throw Error(QStringLiteral("Reading %1 stopped: more than %2 steps without a row")
                            .arg(tableName)
                            .arg(bounds.maxStepsWithoutRow));
        if (result != SQLITE_DONE)
            throw connection.lastError();
    } catch (...) {
        sqlite3_finalize(statement);
        if (target == earlier)
            earlier->truncate(reading.earlier);
        throw;
    }
    sqlite3_finalize(statement);
    return reading;
}

// A table whose rows have row ids in the order a plain scan gives them, none
// hidden behind a column of that name: a view or a table without row ids
// is read whole at every change.
bool isRowidTable(const Connection& connection, const QString& tableName) {
    sqlite3_stmt* statement = nullptr;
    const char* sql = "SELECT 1 FROM pragma_table_list WHERE schema = 'main' AND type = 'table'"
                      " AND wr = 0 AND name = ?1 COLLATE NOCASE AND NOT EXISTS"
                      " (SELECT 1 FROM pragma_table_info(?1) WHERE name IN"
                      " ('rowid', 'oid', '_rowid_') COLLATE NOCASE)";
    if (sqlite3_prepare_v2(connection.handle(), sql, -1, &statement, nullptr) != SQLITE_OK)
        return false;
    const QByteArray name = tableName.toUtf8();
    sqlite3_bind_text(statement, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
    const bool found = sqlite3_step(statement) == SQLITE_ROW;
    sqlite3_finalize(statement);
    return found;
}

std::optional<RowFilter> bind(const FilterExpression& expression, const ColumnStore& store) {
    if (expression.comparisons.empty())
        return std::nullopt;
    return RowFilter(expression, store);
}

qint32 checkedInteger(qint64 value, const QString& column) {
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        throw Error(QStringLiteral("The value %1 of column %2 is not a 32-bit integer")
                        .arg(value)
                        .arg(column));
    return qint32(value);
}

} // namespace

TableCursor::TableCursor(Connection& connection, const QString& tableName, QObject* parent)
    : QObject(parent)
    , connection_(connection)
    , tableName_(tableName) {}

TableCursor::~TableCursor() {
    stopCheck();
}

// Reads the table again unless no other connection has committed since the
// last read; on failure the rows read before stay. In a rowid table only the
// rows past the last row id are read here; a check beside this thread
// proves the rows before unchanged, and a change it finds is read whole at
// the next refresh.
void TableCursor::readRows() {
    connection_.reopenIfReplaced();
    const ReadStamp stamp{connection_.openSerial(), connection_.dataVersion()};
    const bool sameOpen = open_ && stamp.openSerial == readStamp_.openSerial;
    if (sameOpen && stamp == readStamp_ && !wholeReadDue_) {
        emit rowsAboutToReset();
        startCheck();
        return;
    }
    std::optional<RowidTrack> track;
    std::optional<Reading> reading;
    if (sameOpen && rowidTable_ && !wholeReadDue_) {
        track.emplace(RowidTrack{lastRowid_, hashes_});
        try {
            reading =
                readTable(connection_, tableName_,
                          QStringLiteral("SELECT *, rowid FROM %1 WHERE rowid > %2 ORDER BY rowid")
                              .arg(tableName_)
                              .arg(lastRowid_),
                          &store_, bounds_, true, &*track);
        } catch (const Error&) {
            // No longer a rowid table, or a failure the whole read reports.
        }
        if (reading && reading->fresh)
            reading.reset();
    }
    const bool appended = reading.has_value();
    if (!reading) {
        rowidTable_ = incremental_ && isRowidTable(connection_, tableName_);
        track.reset();
        if (rowidTable_)
            track.emplace();
        reading = readTable(
            connection_, tableName_,
            QString::fromLatin1(rowidTable_ ? "SELECT *, rowid FROM %1" : "SELECT * FROM %1")
                .arg(tableName_),
            open_ ? &store_ : nullptr, bounds_, false, track ? &*track : nullptr);
    }
    std::optional<RowFilter> filter;
    if (reading->fresh)
        filter = bind(expression_, *reading->fresh);
    emit rowsAboutToReset();
    if (reading->fresh) {
        store_ = std::move(*reading->fresh);
        rowFilter_ = std::move(filter);
        index_.clear();
    } else {
        store_.eraseRows(reading->kept, reading->earlier);
        // Rows only appended leave the index right for the rows before.
        if (reading->kept != reading->earlier)
            index_.clear();
    }
    if (track) {
        lastRowid_ = track->last;
        hashes_ = std::move(track->hashes);
    }
    open_ = true;
    readStamp_ = stamp;
    if (!appended) {
        wholeReadDue_ = false;
        checkedStamp_ = stamp;
    }
    if (reading->changed())
        computePassingRows();
    startCheck();
}

// Fingerprints the rows held before the last appended ones on a thread of
// its own, when the table changed since the last check began.
void TableCursor::startCheck() {
    if (!rowidTable_ || check_.joinable() || wholeReadDue_ || checkedStamp_ == readStamp_)
        return;
    checkedStamp_ = readStamp_;
    checkBasis_ = hashes_;
    const QString fileName = connection_.fileName();
    const QString tableName = tableName_;
    const qint64 lastRowid = lastRowid_;
    const quint64 generation = checkGeneration_;
    check_ = std::thread([this, fileName, tableName, lastRowid, generation] {
        std::optional<RowHashes> found =
            fingerprintRows(fileName, tableName, lastRowid, cancelCheck_);
        QMetaObject::invokeMethod(
            this, [this, found, generation] { finishCheck(found, generation); },
            Qt::QueuedConnection);
    });
}

// A check that failed changes nothing and is tried again at the next
// refresh; one that found other rows than held has the next refresh read the
// table whole.
void TableCursor::finishCheck(const std::optional<RowHashes>& found, quint64 generation) {
    // After a close the thread is another check's, which sends its own finding.
    if (generation != checkGeneration_)
        return;
    if (check_.joinable())
        check_.join();
    if (!found) {
        checkedStamp_.reset();
        return;
    }
    if (!(*found == checkBasis_))
        wholeReadDue_ = true;
    startCheck();
}

void TableCursor::stopCheck() {
    cancelCheck_ = true;
    if (check_.joinable())
        check_.join();
    cancelCheck_ = false;
    ++checkGeneration_;
}

void TableCursor::waitForCheck() {
    if (check_.joinable())
        check_.join();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void TableCursor::open() {
    readRows();
    finishReset(rowCount() > 0 ? 0 : -1);
}

void TableCursor::refresh() {
    std::optional<ColumnStore::RowSnapshot> remembered;
    if (const auto row = currentStoreRow())
        remembered = store_.snapshot(*row);

    readRows();

    int row = rowCount() > 0 ? 0 : -1;
    if (remembered) {
        for (int candidate = 0; candidate < rowCount(); ++candidate) {
            if (store_.matches(storeRow(candidate), *remembered)) {
                row = candidate;
                break;
            }
        }
    }
    finishReset(row);
}

void TableCursor::close() {
    stopCheck();
    rowidTable_ = false;
    wholeReadDue_ = false;
    emit rowsAboutToReset();
    store_ = ColumnStore();
    index_.clear();
    rowFilter_.reset();
    open_ = false;
    computePassingRows();
    finishReset(-1);
}

void TableCursor::setIncrementalRefresh(bool on) {
    incremental_ = on;
}

void TableCursor::setReadBounds(const ReadBounds& bounds) {
    bounds_ = bounds;
}

bool TableCursor::isOpen() const {
    return open_;
}

void TableCursor::setFiltered(bool on) {
    if (on == filtered_)
        return;
    filtered_ = on;
    if (open_)
        reapplyFilter();
}

void TableCursor::setFilter(const QString& text) {
    FilterExpression expression = parseFilter(text);
    std::optional<RowFilter> filter;
    if (open_)
        filter = bind(expression, store_);
    filterText_ = text;
    expression_ = std::move(expression);
    rowFilter_ = std::move(filter);
    if (open_ && filtered_)
        reapplyFilter();
}

const QString& TableCursor::filter() const {
    return filterText_;
}

void TableCursor::applyFilter(const QString& text) {
    setFiltered(false);
    setFilter(text);
    setFiltered(true);
}

int TableCursor::rowCount() const {
    return allPass_ ? int(store_.rowCount()) : int(passing_.size());
}

int TableCursor::currentRow() const {
    return current_;
}

void TableCursor::first() {
    moveToRow(rowCount() > 0 ? 0 : -1, true, rowCount() == 0);
}

void TableCursor::last() {
    moveToRow(rowCount() - 1, rowCount() == 0, true);
}

void TableCursor::next() {
    if (current_ + 1 < rowCount() && current_ >= 0)
        moveToRow(current_ + 1, false, false);
    else
        atEnd_ = true;
}

void TableCursor::prior() {
    if (current_ > 0)
        moveToRow(current_ - 1, false, false);
    else
        atBeginning_ = true;
}

void TableCursor::moveTo(int row) {
    if (row >= 0 && row < rowCount())
        moveToRow(row, false, false);
}

bool TableCursor::atBeginning() const {
    return atBeginning_;
}

bool TableCursor::atEnd() const {
    return atEnd_;
}

QString TableCursor::fieldAsText(const QString& column) const {
    const int index = requireColumn(column);
    const auto row = currentStoreRow();
    return row ? store_.displayText(index, *row) : QString();
}

qint32 TableCursor::fieldAsInteger(const QString& column) const {
    const int index = requireColumn(column);
    const auto row = currentValueRow(index);
    if (!row)
        return 0;
    switch (store_.info(index).kind) {
    case ColumnKind::Integer:
        return checkedInteger(store_.integer(index, *row), column);
    case ColumnKind::Real:
    case ColumnKind::DateTime: {
        const double value = std::trunc(store_.number(index, *row));
        // NaN (a real column holding "nan") is no integer either.
        if (!(std::fabs(value) <= double(std::numeric_limits<qint32>::max())))
            throw Error(QStringLiteral("The value %1 of column %2 is not a 32-bit integer")
                            .arg(value)
                            .arg(column));
        return qint32(value);
    }
    case ColumnKind::Text:
        break;
    }
    const QString text = store_.text(index, *row);
    bool ok = false;
    const qint32 value = text.trimmed().toInt(&ok, 10);
    if (!ok)
        throw notAnIntegerError(text, column);
    return value;
}

DateTimeValue TableCursor::fieldAsDateTime(const QString& column) const {
    const int index = requireColumn(column);
    const auto row = currentValueRow(index);
    if (!row)
        return 0;
    switch (store_.info(index).kind) {
    case ColumnKind::Integer:
        return double(store_.integer(index, *row));
    case ColumnKind::Real:
    case ColumnKind::DateTime:
        return store_.number(index, *row);
    case ColumnKind::Text:
        break;
    }
    return readStoredDateTime(store_.text(index, *row));
}

int TableCursor::columnCount() const {
    return store_.columnCount();
}

QString TableCursor::columnName(int column) const {
    return column >= 0 && column < columnCount() ? store_.info(column).name : QString();
}

QString TableCursor::displayText(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return QString();
    return store_.displayText(column, storeRow(row));
}

ColumnKind TableCursor::columnKind(int column) const {
    return store_.info(column).kind;
}

int TableCursor::columnIndex(const QString& column) const {
    return store_.columnIndex(column);
}

void TableCursor::computePassingRows() {
    allPass_ = !filtered_ || !rowFilter_;
    passing_.clear();
    if (allPass_) {
        passing_.shrink_to_fit();
        return;
    }
    if (const auto equality = rowFilter_->integerEquality()) {
        for (const quint32 row : index_.rowsWith(store_, equality->column, equality->value)) {
            if (rowFilter_->passes(store_, row))
                passing_.push_back(row);
        }
        return;
    }
    for (quint32 row = 0; row < store_.rowCount(); ++row) {
        if (rowFilter_->passes(store_, row))
            passing_.push_back(row);
    }
}

void TableCursor::reapplyFilter() {
    const auto kept = currentStoreRow();
    emit rowsAboutToReset();
    computePassingRows();
    int row = rowCount() > 0 ? 0 : -1;
    if (kept) {
        if (allPass_) {
            row = int(*kept);
        } else {
            const auto found = std::lower_bound(passing_.begin(), passing_.end(), *kept);
            if (found != passing_.end() && *found == *kept)
                row = int(found - passing_.begin());
        }
    }
    finishReset(row);
}

void TableCursor::finishReset(int row) {
    current_ = row;
    atBeginning_ = row <= 0;
    atEnd_ = rowCount() == 0;
    emit rowsReset();
    emit currentRowChanged(current_);
}

quint32 TableCursor::storeRow(int row) const {
    return allPass_ ? quint32(row) : passing_[row];
}

std::optional<quint32> TableCursor::currentStoreRow() const {
    if (current_ < 0 || current_ >= rowCount())
        return std::nullopt;
    return storeRow(current_);
}

// The current row, when there is one and its value in the column is not NULL.
std::optional<quint32> TableCursor::currentValueRow(int column) const {
    const auto row = currentStoreRow();
    return row && !store_.isNull(column, *row) ? row : std::nullopt;
}

int TableCursor::requireColumn(const QString& column) const {
    const int index = store_.columnIndex(column);
    if (index < 0)
        throw Error(QStringLiteral("Column \"%1\" not found in table %2").arg(column, tableName_));
    return index;
}

void TableCursor::moveToRow(int row, bool atBeginning, bool atEnd) {
    current_ = row;
    atBeginning_ = atBeginning;
    atEnd_ = atEnd;
    emit currentRowChanged(current_);
}
