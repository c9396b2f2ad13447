#include "store/TableCursor.h"

#include "app/Error.h"
#include "store/Connection.h"
#include "store/DatabaseBusyCursor.h"
#include "store/RowCheck.h"
#include "store/StatementRowReader.h"
#include "store/StepBound.h"

#include <QCoreApplication>
#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>

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

// The last row id and the fingerprint of the rows a read of a rowid table
// appended; the statement's last column is the row id.
struct RowidTrack {
    qint64 last = std::numeric_limits<qint64>::min();
    RowFingerprint appended;
};

// The check's share of one core while a writer commits: each step rests
// nine times the processor time it took. At about 0.5 µs a row, 10 million
// rows take 50 s a round.
constexpr double checkCoreShare = 0.1;
// A step's rows; it takes some 30 ms of one core.
constexpr quint64 rowsPerCheckStep = 4 * SliceFingerprints::rowsPerSlice;

// Reads the table and finalizes the statement at once, so that no read lock
// outlives the call and the writer's commits are never held up. With
// appendOnly the statement gives only rows behind the earlier ones. On
// failure the earlier store is as it was.
Reading readTable(const Connection& connection, const QString& tableName, const QString& sql,
                  ColumnStore* earlier, const ReadBounds& bounds, bool appendOnly,
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
                throw bounds.tooManyRows(tableName);
            const std::vector<ColumnStore::Cell>& cells = reader.read();
            if (rowids) {
                const qint64 rowid = sqlite3_column_int64(statement, rowidColumn);
                rowids->appended.add(cells, reader.columns(), rowid);
                rowids->last = std::max(rowids->last, rowid);
            }
            if (reading.appended == 0 && reading.kept < reading.earlier &&
                target->rowEquals(reading.kept, cells)) {
                ++reading.kept;
                continue;
            }
            target->appendRow(cells);
            ++reading.appended;
        }
        if (steps.exceeded())
            throw bounds.tooManySteps(tableName);
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

// The rows past the last row id read, behind the rows held; none when the
// table's columns changed, it is no longer a rowid table, or the read fails:
// a whole read then finds out which.
std::optional<Reading> readAppended(const Connection& connection, const QString& tableName,
                                    qint64 lastRowid, ColumnStore& held, const ReadBounds& bounds,
                                    RowidTrack& track) {
    try {
        Reading reading =
            readTable(connection, tableName,
                      QStringLiteral("SELECT *, rowid FROM %1 WHERE rowid > %2 ORDER BY rowid")
                          .arg(tableName)
                          .arg(lastRowid),
                      &held, bounds, true, &track);
        if (!reading.fresh)
            return reading;
    } catch (const Error&) {
    }
    return std::nullopt;
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
    , tableName_(tableName) {
    checkRest_.setSingleShot(true);
    connect(&checkRest_, &QTimer::timeout, this, &TableCursor::startCheckStep);
}

TableCursor::~TableCursor() {
    stopCheck();
}

// Reads the table again unless no other connection has committed since the
// last read; on failure the rows read before stay. In a rowid table only the
// rows past the last row id are read here; a check beside this thread
// proves the rows before unchanged. With incremental refresh every whole
// read runs beside this thread, and a refresh after it shows what it read.
// True when the rows changed, rowsAboutToReset then having been emitted.
bool TableCursor::readRows() {
    connection_.reopenIfReplaced();
    const ReadStamp stamp{connection_.openSerial(), connection_.dataVersion()};
    bool reset = false;
    if (loaded_) {
        emit rowsAboutToReset();
        reset = true;
        adoptLoad();
    }
    const bool sameOpen = open_ && stamp.openSerial == readStamp_.openSerial;
    const bool unchanged = sameOpen && stamp == readStamp_ && !wholeReadDue_;
    const bool appendable = sameOpen && rowidTable_ && !wholeReadDue_;
    if (load_ || unchanged || (loadHeld_ && !appendable)) {
        startCheck();
        return reset;
    }
    std::optional<RowidTrack> track;
    std::optional<Reading> reading;
    if (appendable) {
        track.emplace(RowidTrack{lastRowid_, {}});
        reading = readAppended(connection_, tableName_, lastRowid_, store_, bounds_, *track);
    }
    if (!reading && incremental_) {
        if (!loadHeld_)
            startLoad();
        return reset;
    }
    if (!reading) {
        track.reset();
        reading =
            readTable(connection_, tableName_, QStringLiteral("SELECT * FROM %1").arg(tableName_),
                      open_ ? &store_ : nullptr, bounds_, false, nullptr);
    }
    std::optional<RowFilter> filter;
    if (reading->fresh)
        filter = bind(expression_, *reading->fresh);
    const bool changed = reading->changed();
    if (changed && !reset) {
        emit rowsAboutToReset();
        reset = true;
    }
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
    if (track && track->last != lastRowid_) {
        fingerprints_.append(lastRowid_, track->last, track->appended);
        lastRowid_ = track->last;
    }
    open_ = true;
    readStamp_ = stamp;
    if (changed)
        computePassingRows();
    startCheck();
    return reset;
}

// Reads the whole table on a thread of its own; the rows held stay until a
// refresh after it finishes. A table that cannot be read at all (a missing
// one, say) throws here at once, as a read on this thread does.
void TableCursor::startLoad() {
    sqlite3_stmt* statement = nullptr;
    const QByteArray sql = QStringLiteral("SELECT * FROM %1").arg(tableName_).toUtf8();
    const int prepared = sqlite3_prepare_v2(connection_.handle(), sql.constData(), int(sql.size()),
                                            &statement, nullptr);
    sqlite3_finalize(statement);
    if (prepared != SQLITE_OK)
        throw connection_.lastError();
    rowidTable_ = isRowidTable(connection_, tableName_);
    loadStamp_ = {connection_.openSerial(), connection_.dataVersion()};
    stopCheck();
    const quint64 generation = ++loadGeneration_;
    load_ = std::make_unique<TableLoad>(
        connection_.fileName(), tableName_, indexedColumn_, bounds_, rowidTable_,
        [this, generation](quint64 rows, quint64 expected) {
            QMetaObject::invokeMethod(
                this,
                [this, generation, rows, expected] {
                    if (generation == loadGeneration_)
                        emit loadProgress(rows, expected);
                },
                Qt::QueuedConnection);
        },
        [this, generation] {
            QMetaObject::invokeMethod(
                this, [this, generation] { finishLoad(generation); }, Qt::QueuedConnection);
        });
    emit loadingChanged(true);
}

// A failed first load is reported and not tried again until asked; a failed
// later one is tried again at the next refresh, the rows held staying
// meanwhile.
void TableCursor::finishLoad(quint64 generation) {
    if (generation != loadGeneration_ || !load_)
        return;
    const bool cancelled = load_->cancelled();
    TableLoad::Outcome outcome = load_->take();
    load_.reset();
    const QString error = outcome.error;
    if (outcome.store)
        loaded_ = std::move(outcome);
    else if (cancelled || !open_)
        loadHeld_ = true;
    emit loadingChanged(false);
    if (!error.isEmpty() && !open_)
        emit loadFailed(error);
}

// Takes a finished load's rows in place of those held. Changes committed
// since the load began are found by the next refresh: appended rows past the
// last row id read, any other change by the check.
void TableCursor::adoptLoad() {
    std::optional<RowFilter> filter = bind(expression_, *loaded_->store);
    store_ = std::move(*loaded_->store);
    rowFilter_ = std::move(filter);
    index_ = std::move(loaded_->index);
    lastRowid_ = loaded_->lastRowid;
    fingerprints_ = std::move(loaded_->fingerprints);
    loaded_.reset();
    open_ = true;
    wholeReadDue_ = false;
    readStamp_ = loadStamp_;
    checkedStamp_ = loadStamp_;
    computePassingRows();
}

void TableCursor::stopLoad() {
    ++loadGeneration_;
    const bool wasLoading = load_ != nullptr;
    load_.reset();
    loaded_.reset();
    if (wasLoading)
        emit loadingChanged(false);
}

void TableCursor::cancelLoading() {
    if (load_)
        load_->cancel();
}

void TableCursor::resumeLoading() {
    loadHeld_ = false;
    refresh();
}

// Starts a round of the check of the rows held when the table changed since
// the last round began, or goes on with the round running. A change
// committed anywhere is found within a round's time after it.
void TableCursor::startCheck() {
    if (!rowidTable_ || load_ || check_.joinable() || checkRest_.isActive() || wholeReadDue_)
        return;
    if (fingerprints_.roundDone()) {
        if (checkedStamp_ == readStamp_)
            return;
        checkedStamp_ = readStamp_;
        fingerprints_.startRound();
        if (fingerprints_.roundDone())
            return;
    }
    startCheckStep();
}

// Compares the next slices of the round with the table on a thread of its own.
void TableCursor::startCheckStep() {
    std::vector<SliceFingerprints::Slice> slices = fingerprints_.nextStep(rowsPerCheckStep);
    const QString fileName = connection_.fileName();
    const QString tableName = tableName_;
    const quint64 generation = checkGeneration_;
    check_ = std::thread([this, fileName, tableName, slices = std::move(slices), generation] {
        const RowCheckStep step = checkSlices(fileName, tableName, slices, cancelCheck_);
        const std::size_t count = slices.size();
        QMetaObject::invokeMethod(
            this, [this, step, count, generation] { finishCheck(step, count, generation); },
            Qt::QueuedConnection);
    });
}

// A step that failed changes nothing; the round goes on at the next refresh.
// One that found other rows than held has the table read whole. After one
// that found them as held the check rests, to keep to its share of a core.
void TableCursor::finishCheck(const RowCheckStep& step, std::size_t slices, quint64 generation) {
    // After a close the thread is another check's, which sends its own finding.
    if (generation != checkGeneration_)
        return;
    if (check_.joinable())
        check_.join();
    rowsChecked_ += step.rowsRead;
    checkCpuSeconds_ += step.cpuSeconds;
    switch (step.finding) {
    case RowCheckStep::Failed:
        checkedStamp_.reset();
        return;
    case RowCheckStep::Unchanged:
        fingerprints_.passStep(slices);
        if (fingerprints_.roundDone())
            startCheck();
        else
            checkRest_.start(
                int(std::ceil(step.cpuSeconds * 1000 * (1 - checkCoreShare) / checkCoreShare)));
        return;
    case RowCheckStep::Changed:
        break;
    }
    wholeReadDue_ = true;
    if (loadHeld_)
        return;
    try {
        startLoad();
    } catch (const Error&) {
        // The next refresh starts it, or reports why it cannot.
    }
}

void TableCursor::stopCheck() {
    cancelCheck_ = true;
    if (check_.joinable())
        check_.join();
    cancelCheck_ = false;
    checkRest_.stop();
    ++checkGeneration_;
}

// The check's rests only pace it: here its steps follow each other at once.
void TableCursor::waitForBackgroundWork() {
    while (check_.joinable() || load_ || checkRest_.isActive()) {
        if (checkRest_.isActive()) {
            checkRest_.stop();
            startCheckStep();
        }
        if (check_.joinable())
            check_.join();
        if (load_)
            load_->wait();
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    }
}

void TableCursor::open() {
    if (!readRows())
        emit rowsAboutToReset();
    finishReset(rowCount() > 0 ? 0 : -1);
}

void TableCursor::refresh() {
    try {
        refreshRows();
    } catch (const Error& error) {
        refreshError_ = error.message();
        throw;
    }
    refreshError_.clear();
}

void TableCursor::refreshRows() {
    const std::optional<quint32> storeRowBefore = currentStoreRow();
    std::optional<ColumnStore::RowSnapshot> remembered;
    if (storeRowBefore)
        remembered = store_.snapshot(*storeRowBefore);

    const bool reset = readRows();

    int row = rowCount() > 0 ? 0 : -1;
    if (remembered)
        row = rowMatching(*remembered, *storeRowBefore).value_or(row);
    // Unchanged rows need no reset, which would make a grid lay them out again.
    if (reset)
        finishReset(row);
    else
        moveToRow(row, row <= 0, rowCount() == 0);
}

// The row that was current when its values all still match and it passes;
// else the first passing row whose values all match. In the scan one integer
// column is compared first: rows appended behind leave the current row where
// it was, and a view's step refreshes once per radio.
std::optional<int> TableCursor::rowMatching(const ColumnStore::RowSnapshot& remembered,
                                            quint32 storeRowBefore) const {
    if (!store_.holdsKindsOf(remembered))
        return std::nullopt;
    if (storeRowBefore < store_.rowCount() && store_.rowEquals(storeRowBefore, remembered.cells)) {
        if (allPass_)
            return int(storeRowBefore);
        const auto found = std::lower_bound(passing_.begin(), passing_.end(), storeRowBefore);
        if (found != passing_.end() && *found == storeRowBefore)
            return int(found - passing_.begin());
    }
    int key = 0;
    while (key < columnCount() &&
           (store_.info(key).kind != ColumnKind::Integer || remembered.cells[key].isNull))
        ++key;
    for (int candidate = 0; candidate < rowCount(); ++candidate) {
        const quint32 row = storeRow(candidate);
        if (key < columnCount() && store_.integers(key).at(row) != remembered.cells[key].integer)
            continue;
        if (store_.rowEquals(row, remembered.cells))
            return candidate;
    }
    return std::nullopt;
}

void TableCursor::close() {
    stopCheck();
    stopLoad();
    loadHeld_ = false;
    rowidTable_ = false;
    wholeReadDue_ = false;
    fingerprints_ = SliceFingerprints();
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

void TableCursor::setIndexedColumn(const QString& column) {
    indexedColumn_ = column;
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
    takeFilter(parseFilter(text), text);
    if (open_ && filtered_)
        reapplyFilter();
}

// The expression bound to the rows held; throws and keeps the filter before
// when it names no column.
void TableCursor::takeFilter(FilterExpression expression, std::optional<QString> text) {
    std::optional<RowFilter> filter;
    if (open_)
        filter = bind(expression, store_);
    filterText_ = std::move(text);
    expression_ = std::move(expression);
    rowFilter_ = std::move(filter);
}

QString TableCursor::filter() const {
    return filterText_ ? *filterText_ : filterText(expression_);
}

void TableCursor::applyFilter(const QString& text) {
    applyFilterFrom([&text] { return parseFilter(text); }, text);
}

void TableCursor::applyFilter(FilterExpression expression) {
    applyFilterFrom([&expression] { return std::move(expression); }, std::nullopt);
}

// As its three steps would, with one reset instead of three: a grid lays out
// its rows at every reset, and a view filters once per radio.
void TableCursor::applyFilterFrom(const std::function<FilterExpression()>& expression,
                                  std::optional<QString> text) {
    try {
        takeFilter(expression(), std::move(text));
    } catch (...) {
        setFiltered(false);
        throw;
    }
    filtered_ = true;
    if (open_)
        reapplyFilter();
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
        const std::span<const quint32> rows =
            index_.rowsWith(store_, equality->column, equality->value);
        if (equality->alone) {
            passing_.assign(rows.begin(), rows.end());
            return;
        }
        for (const quint32 row : rows) {
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
