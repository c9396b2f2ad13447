#include "store/TableCursor.h"

#include "app/Error.h"
#include "store/Connection.h"
#include "store/DatabaseBusyCursor.h"
#include "store/StatementRowReader.h"

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

Reading readTable(const Connection& connection, const QString& tableName, ColumnStore* earlier,
                  const TableCursor::ReadBounds& bounds) {
    if (!connection.isOpen())
        throw Error(QStringLiteral("The database is not connected"));
    const DatabaseBusyCursor busy;
    sqlite3* db = connection.handle();
    sqlite3_stmt* statement = nullptr;
    const QByteArray sql = QStringLiteral("SELECT * FROM %1").arg(tableName).toUtf8();
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &statement, nullptr) != SQLITE_OK)
        throw connection.lastError();

    StepBound steps(db, bounds.maxStepsWithoutRow);
    // The first step prepares the statement again when another connection
    // changed the schema, so the columns are known only after it.
    int result = sqlite3_step(statement);
    StatementRowReader reader(statement);
    Reading reading;
    ColumnStore* target = earlier;
    if (!earlier || earlier->columns() != reader.columns())
        target = &reading.fresh.emplace(reader.columns());
    else
        reading.earlier = earlier->rowCount();
    try {
        for (; result == SQLITE_ROW; result = sqlite3_step(statement)) {
            steps.rowGiven();
            if (quint64(reading.kept) + reading.appended >= bounds.maxRows)
                throw Error(QStringLiteral("Reading %1 stopped: it has more than %2 rows")
                                .arg(tableName)
                                .arg(bounds.maxRows));
            const std::vector<ColumnStore::Cell>& cells = reader.read();
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

TableCursor::~TableCursor() = default;

// Reads the table again unless no other connection has committed since the
// last read; on failure the rows read before stay.
void TableCursor::readRows() {
    connection_.reopenIfReplaced();
    const ReadStamp stamp{connection_.openSerial(), connection_.dataVersion()};
    if (open_ && stamp == readStamp_) {
        emit rowsAboutToReset();
        return;
    }
    Reading reading = readTable(connection_, tableName_, open_ ? &store_ : nullptr, bounds_);
    std::optional<RowFilter> filter;
    if (reading.fresh)
        filter = bind(expression_, *reading.fresh);
    emit rowsAboutToReset();
    if (reading.fresh) {
        store_ = std::move(*reading.fresh);
        rowFilter_ = std::move(filter);
        index_.clear();
    } else {
        store_.eraseRows(reading.kept, reading.earlier);
        if (reading.changed())
            index_.clear();
    }
    open_ = true;
    readStamp_ = stamp;
    if (reading.changed())
        computePassingRows();
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
    emit rowsAboutToReset();
    store_ = ColumnStore();
    index_.clear();
    rowFilter_.reset();
    open_ = false;
    computePassingRows();
    finishReset(-1);
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
