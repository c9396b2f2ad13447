#include "store/ColumnStore.h"

#include "app/Error.h"
#include "store/DateTimeValue.h"

#include <limits>

ColumnStore::ColumnStore(std::vector<ColumnInfo> columns)
    : infos_(std::move(columns))
    , columns_(infos_.size()) {}

int ColumnStore::columnIndex(QStringView name) const {
    for (int c = 0; c < columnCount(); ++c) {
        if (infos_[c].name.compare(name, Qt::CaseInsensitive) == 0)
            return c;
    }
    return -1;
}

void ColumnStore::appendRow(const std::vector<Cell>& row) {
    if (rowCount_ == std::numeric_limits<quint32>::max())
        throw Error(QStringLiteral("The table has too many rows to be read"));
    for (int c = 0; c < columnCount(); ++c) {
        Column& column = columns_[c];
        const Cell& cell = row[c];
        if (cell.isNull && !column.hasNulls) {
            column.nulls.assign(rowCount_, false);
            column.hasNulls = true;
        }
        if (column.hasNulls)
            column.nulls.push_back(cell.isNull);
        switch (infos_[c].kind) {
        case ColumnKind::Integer:
            column.integers.append(cell.integer);
            break;
        case ColumnKind::Real:
        case ColumnKind::DateTime:
            column.numbers.push_back(cell.number);
            break;
        case ColumnKind::Text:
            column.texts.append(cell.text);
            break;
        }
    }
    ++rowCount_;
}

void ColumnStore::reserve(quint32 rows) {
    for (int c = 0; c < columnCount(); ++c) {
        Column& column = columns_[c];
        switch (infos_[c].kind) {
        case ColumnKind::Integer:
            column.integers.reserve(rows);
            break;
        case ColumnKind::Real:
        case ColumnKind::DateTime:
            column.numbers.reserve(rows);
            break;
        case ColumnKind::Text:
            column.texts.reserve(rows);
            break;
        }
    }
}

bool ColumnStore::rowEquals(quint32 row, const std::vector<Cell>& cells) const {
    for (int c = 0; c < columnCount(); ++c) {
        const Cell& cell = cells[c];
        if (isNull(c, row) != cell.isNull)
            return false;
        switch (infos_[c].kind) {
        case ColumnKind::Integer:
            if (integer(c, row) != cell.integer)
                return false;
            break;
        case ColumnKind::Real:
        case ColumnKind::DateTime:
            if (number(c, row) != cell.number)
                return false;
            break;
        case ColumnKind::Text:
            if (utf8(c, row) != cell.text)
                return false;
            break;
        }
    }
    return true;
}

// Also cuts a row that failed half-way through appendRow.
void ColumnStore::append(ColumnStore&& other) {
    if (quint64(rowCount_) + other.rowCount_ > std::numeric_limits<quint32>::max())
        throw Error(QStringLiteral("The table has too many rows to be read"));
    for (int c = 0; c < columnCount(); ++c) {
        Column& column = columns_[c];
        Column& more = other.columns_[c];
        if (column.hasNulls || more.hasNulls) {
            column.nulls.resize(rowCount_, false);
            more.nulls.resize(other.rowCount_, false);
            column.nulls.insert(column.nulls.end(), more.nulls.begin(), more.nulls.end());
            column.hasNulls = true;
        }
        switch (infos_[c].kind) {
        case ColumnKind::Integer:
            column.integers.append(more.integers);
            break;
        case ColumnKind::Real:
        case ColumnKind::DateTime:
            column.numbers.insert(column.numbers.end(), more.numbers.begin(), more.numbers.end());
            break;
        case ColumnKind::Text:
            column.texts.append(more.texts);
            break;
        }
        more = Column();
    }
    rowCount_ += other.rowCount_;
    other.rowCount_ = 0;
}

void ColumnStore::truncate(quint32 rows) {
    for (int c = 0; c < columnCount(); ++c) {
        Column& column = columns_[c];
        if (column.hasNulls)
            column.nulls.resize(rows);
        switch (infos_[c].kind) {
        case ColumnKind::Integer:
            column.integers.truncate(rows);
            break;
        case ColumnKind::Real:
        case ColumnKind::DateTime:
            column.numbers.resize(rows);
            break;
        case ColumnKind::Text:
            column.texts.truncate(rows);
            break;
        }
    }
    rowCount_ = rows;
}

void ColumnStore::eraseRows(quint32 first, quint32 last) {
    if (first >= last)
        return;
    for (int c = 0; c < columnCount(); ++c) {
        Column& column = columns_[c];
        if (column.hasNulls)
            column.nulls.erase(column.nulls.begin() + first, column.nulls.begin() + last);
        switch (infos_[c].kind) {
        case ColumnKind::Integer:
            column.integers.eraseRows(first, last);
            break;
        case ColumnKind::Real:
        case ColumnKind::DateTime:
            column.numbers.erase(column.numbers.begin() + first, column.numbers.begin() + last);
            break;
        case ColumnKind::Text:
            column.texts.eraseRows(first, last);
            break;
        }
    }
    rowCount_ -= last - first;
}

void ColumnStore::reorder(const std::vector<quint32>& order) {
    for (int c = 0; c < columnCount(); ++c) {
        Column& column = columns_[c];
        if (column.hasNulls) {
            std::vector<bool> nulls(order.size());
            for (std::size_t row = 0; row < order.size(); ++row)
                nulls[row] = column.nulls[order[row]];
            column.nulls = std::move(nulls);
        }
        switch (infos_[c].kind) {
        case ColumnKind::Integer:
            column.integers.reorder(order);
            break;
        case ColumnKind::Real:
        case ColumnKind::DateTime: {
            std::vector<double> numbers;
            numbers.reserve(order.size());
            for (const quint32 row : order)
                numbers.push_back(column.numbers[row]);
            column.numbers = std::move(numbers);
            break;
        }
        case ColumnKind::Text:
            column.texts.reorder(order);
            break;
        }
    }
}

QString ColumnStore::displayText(int column, quint32 row) const {
    if (isNull(column, row))
        return QString();
    switch (info(column).kind) {
    case ColumnKind::Integer:
        return QString::number(integer(column, row));
    case ColumnKind::Real:
        return QString::number(number(column, row), 'g', 15);
    case ColumnKind::DateTime:
        return ::displayText(number(column, row));
    case ColumnKind::Text:
        return text(column, row);
    }
    return QString();
}

ColumnStore::RowSnapshot ColumnStore::snapshot(quint32 row) const {
    RowSnapshot result;
    result.texts.reserve(infos_.size());
    for (int c = 0; c < columnCount(); ++c) {
        Cell cell;
        cell.isNull = isNull(c, row);
        switch (infos_[c].kind) {
        case ColumnKind::Integer:
            cell.integer = integer(c, row);
            break;
        case ColumnKind::Real:
        case ColumnKind::DateTime:
            cell.number = number(c, row);
            break;
        case ColumnKind::Text:
            result.texts.push_back(utf8(c, row).toByteArray());
            cell.text = result.texts.back();
            break;
        }
        result.kinds.push_back(infos_[c].kind);
        result.cells.push_back(cell);
    }
    return result;
}

bool ColumnStore::holdsKindsOf(const RowSnapshot& snapshot) const {
    if (snapshot.kinds.size() != infos_.size())
        return false;
    for (int c = 0; c < columnCount(); ++c) {
        if (snapshot.kinds[c] != infos_[c].kind)
            return false;
    }
    return true;
}
