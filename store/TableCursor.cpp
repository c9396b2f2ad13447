#include "store/TableCursor.h"

#include "app/Error.h"

#include <cmath>
#include <limits>

namespace {

qint32 checkedInteger(qint64 value, const QString& column) {
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        throw Error(QStringLiteral("The value %1 of column %2 is not a 32-bit integer")
                        .arg(value)
                        .arg(column));
    return qint32(value);
}

} // namespace

TableCursor::TableCursor(std::unique_ptr<TableReplica> replica, QObject* parent)
    : QObject(parent)
    , replica_(std::move(replica))
    , passing_(replica_->rows()) {
    // Models over the rows hear of a change before the rows change.
    connect(replica_.get(), &TableReplica::rowsAboutToChange, this, &TableCursor::rowsAboutToReset);
    connect(replica_.get(), &TableReplica::loadingChanged, this, &TableCursor::loadingChanged);
    connect(replica_.get(), &TableReplica::loadProgress, this, &TableCursor::loadProgress);
    connect(replica_.get(), &TableReplica::loadFailed, this, &TableCursor::loadFailed);
}

TableCursor::~TableCursor() = default;

void TableCursor::open() {
    adoptLoad();
    const TableReplica::Change change = replica_->refresh();
    if (!change.any())
        emit rowsAboutToReset();
    settle(change, {}, true);
}

void TableCursor::refresh() {
    try {
        adoptLoad();
        const Remembered before = rememberCurrent();
        settle(replica_->refresh(), before, false);
    } catch (const Error& error) {
        refreshError_ = error.message();
        throw;
    }
    refreshError_.clear();
}

bool TableCursor::adoptLoad() {
    if (!replica_->hasLoad())
        return false;
    const Remembered before = rememberCurrent();
    settle(replica_->adoptLoad(), before, false);
    return true;
}

void TableCursor::resumeLoading() {
    replica_->resumeLoading();
    refresh();
}

TableCursor::Remembered TableCursor::rememberCurrent() const {
    Remembered remembered;
    remembered.storeRow = currentStoreRow();
    if (remembered.storeRow)
        remembered.values = rows().snapshot(*remembered.storeRow);
    return remembered;
}

// Takes what the replica did to the rows and finds the current row again:
// the one before while its values all match and it passes, else the first
// passing row that matches it. Rows that did not change need no reset,
// which would make a grid lay them out again. A filter that no longer fits
// the table's columns lets no row pass, and throws.
void TableCursor::settle(const TableReplica::Change& change, const Remembered& before, bool reset) {
    std::optional<Error> unbound;
    if (change.replaced) {
        try {
            passing_.rebind(expression_);
        } catch (const Error& error) {
            unbound = error;
        }
    }
    if (change.any())
        passing_.compute(filtered_, replica_->index());
    int row = rowCount() > 0 ? 0 : -1;
    if (before.values)
        row = rowMatching(*before.values, *before.storeRow).value_or(row);
    if (reset || change.any())
        finishReset(row);
    else
        moveToRow(row, row <= 0, rowCount() == 0);
    if (change.any())
        emit rowsRead(change);
    if (unbound)
        throw *unbound;
}

// In the scan one integer column is compared first: rows appended behind
// leave the current row where it was, and a view's step refreshes once per
// radio.
std::optional<int> TableCursor::rowMatching(const ColumnStore::RowSnapshot& remembered,
                                            quint32 storeRowBefore) const {
    const ColumnStore& store = rows();
    if (!store.holdsKindsOf(remembered))
        return std::nullopt;
    if (storeRowBefore < store.rowCount() && store.rowEquals(storeRowBefore, remembered.cells)) {
        if (const auto row = passing_.indexOf(storeRowBefore))
            return row;
    }
    int key = 0;
    while (key < columnCount() &&
           (store.info(key).kind != ColumnKind::Integer || remembered.cells[key].isNull))
        ++key;
    for (int candidate = 0; candidate < rowCount(); ++candidate) {
        const quint32 row = passing_.storeRow(candidate);
        if (key < columnCount() && store.integers(key).at(row) != remembered.cells[key].integer)
            continue;
        if (store.rowEquals(row, remembered.cells))
            return candidate;
    }
    return std::nullopt;
}

void TableCursor::close() {
    replica_->close();
    passing_.clear();
    finishReset(-1);
}

void TableCursor::setFiltered(bool on) {
    if (on == filtered_)
        return;
    filtered_ = on;
    if (isOpen())
        reapplyFilter();
}

void TableCursor::setFilter(const QString& text) {
    takeFilter(parseFilter(text), text);
    if (isOpen() && filtered_)
        reapplyFilter();
}

// The expression bound to the rows held; throws and keeps the filter before
// when it names no column.
void TableCursor::takeFilter(FilterExpression expression, std::optional<QString> text) {
    if (isOpen())
        passing_.bind(expression);
    filterText_ = std::move(text);
    expression_ = std::move(expression);
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
    if (isOpen())
        reapplyFilter();
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

QString TableCursor::fieldAsText(const QString& column) const {
    const int index = requireColumn(column);
    const auto row = currentStoreRow();
    return row ? rows().displayText(index, *row) : QString();
}

qint32 TableCursor::fieldAsInteger(const QString& column) const {
    const int index = requireColumn(column);
    const auto row = currentValueRow(index);
    if (!row)
        return 0;
    switch (rows().info(index).kind) {
    case ColumnKind::Integer:
        return checkedInteger(rows().integer(index, *row), column);
    case ColumnKind::Real:
    case ColumnKind::DateTime: {
        const double value = std::trunc(rows().number(index, *row));
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
    const QString text = rows().text(index, *row);
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
    switch (rows().info(index).kind) {
    case ColumnKind::Integer:
        return double(rows().integer(index, *row));
    case ColumnKind::Real:
    case ColumnKind::DateTime:
        return rows().number(index, *row);
    case ColumnKind::Text:
        break;
    }
    return readStoredDateTime(rows().text(index, *row));
}

QString TableCursor::columnName(int column) const {
    return column >= 0 && column < columnCount() ? rows().info(column).name : QString();
}

QString TableCursor::displayText(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return QString();
    return rows().displayText(column, passing_.storeRow(row));
}

void TableCursor::reapplyFilter() {
    const auto kept = currentStoreRow();
    emit rowsAboutToReset();
    passing_.compute(filtered_, replica_->index());
    int row = rowCount() > 0 ? 0 : -1;
    if (kept)
        row = passing_.indexOf(*kept).value_or(row);
    finishReset(row);
}

void TableCursor::finishReset(int row) {
    current_ = row;
    atBeginning_ = row <= 0;
    atEnd_ = rowCount() == 0;
    emit rowsReset();
    emit currentRowChanged(current_);
}

std::optional<quint32> TableCursor::currentStoreRow() const {
    if (current_ < 0 || current_ >= rowCount())
        return std::nullopt;
    return passing_.storeRow(current_);
}

// The current row, when there is one and its value in the column is not NULL.
std::optional<quint32> TableCursor::currentValueRow(int column) const {
    const auto row = currentStoreRow();
    return row && !rows().isNull(column, *row) ? row : std::nullopt;
}

int TableCursor::requireColumn(const QString& column) const {
    const int index = rows().columnIndex(column);
    if (index < 0)
        throw Error(QStringLiteral("Column \"%1\" not found in table %2")
                        .arg(column, replica_->tableName()));
    return index;
}

void TableCursor::moveToRow(int row, bool atBeginning, bool atEnd) {
    current_ = row;
    atBeginning_ = atBeginning;
    atEnd_ = atEnd;
    emit currentRowChanged(current_);
}
