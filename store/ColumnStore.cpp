#include "store/ColumnStore.h"

#include "app/Error.h"

#include <sqlite3.h>

#include <cmath>
#include <limits>

namespace {

qint64 integerOfReal(double value) {
    constexpr double limit = 9.2e18;
    return std::isfinite(value) ? qint64(std::clamp(std::trunc(value), -limit, limit)) : 0;
}

// Text in an integer column: its whole-number value, the integer part of a
// real, else 0.
qint64 integerOfText(QByteArrayView text) {
    const QByteArray trimmed = text.trimmed().toByteArray();
    bool ok = false;
    const qint64 value = trimmed.toLongLong(&ok, 10);
    if (ok)
        return value;
    const double real = trimmed.toDouble(&ok);
    return ok ? integerOfReal(real) : 0;
}

double realOfText(QByteArrayView text) {
    bool ok = false;
    const double value = text.trimmed().toByteArray().toDouble(&ok);
    return ok ? value : 0.0;
}

// Times are mostly short ASCII; widening them on the stack spares an
// allocation per row on large tables.
DateTimeValue dateTimeOfText(const char* data, int size) {
    constexpr int stackLimit = 64;
    if (size <= stackLimit) {
        char16_t wide[stackLimit];
        bool ascii = true;
        for (int i = 0; i < size && ascii; ++i) {
            ascii = static_cast<unsigned char>(data[i]) < 0x80;
            wide[i] = char16_t(data[i]);
        }
        if (ascii)
            return readStoredDateTime(QStringView(wide, size));
    }
    return readStoredDateTime(QString::fromUtf8(data, size));
}

} // namespace

void ColumnStore::resetFor(sqlite3_stmt* statement) {
    columns_.clear();
    rowCount_ = 0;
    const int count = sqlite3_column_count(statement);
    columns_.resize(count);
    for (int c = 0; c < count; ++c) {
        columns_[c].info.name = QString::fromUtf8(sqlite3_column_name(statement, c));
        columns_[c].info.kind =
            columnKindOfDeclaredType(QString::fromUtf8(sqlite3_column_decltype(statement, c)));
    }
}

void ColumnStore::clear() {
    columns_.clear();
    rowCount_ = 0;
}

void ColumnStore::reserveLike(const ColumnStore& earlier) {
    const auto withRoom = [](std::size_t size) { return size + size / 32 + 64; };
    for (int c = 0; c < columnCount() && c < earlier.columnCount(); ++c) {
        Column& column = columns_[c];
        const Column& previous = earlier.columns_[c];
        if (column.info.kind != previous.info.kind)
            continue;
        const std::size_t rows = withRoom(earlier.rowCount_);
        column.nulls.reserve(rows);
        switch (column.info.kind) {
        case ColumnKind::Integer:
            column.integers.reserve(rows);
            break;
        case ColumnKind::Real:
        case ColumnKind::DateTime:
            column.numbers.reserve(rows);
            break;
        case ColumnKind::Text:
            column.ends.reserve(rows);
            column.bytes.reserve(withRoom(previous.bytes.size()));
            break;
        }
    }
}

void ColumnStore::appendRow(sqlite3_stmt* statement) {
    if (rowCount_ == std::numeric_limits<quint32>::max())
        throw Error(QStringLiteral("The table has too many rows to be read"));
    for (int c = 0; c < columnCount(); ++c) {
        Column& column = columns_[c];
        const int type = sqlite3_column_type(statement, c);
        column.nulls.push_back(type == SQLITE_NULL);
        switch (column.info.kind) {
        case ColumnKind::Integer:
            if (type == SQLITE_INTEGER || type == SQLITE_NULL) {
                column.integers.push_back(sqlite3_column_int64(statement, c));
            } else if (type == SQLITE_FLOAT) {
                column.integers.push_back(integerOfReal(sqlite3_column_double(statement, c)));
            } else {
                const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
                column.integers.push_back(
                    integerOfText(QByteArrayView(data, sqlite3_column_bytes(statement, c))));
            }
            break;
        case ColumnKind::Real:
            if (type == SQLITE_TEXT || type == SQLITE_BLOB) {
                const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
                column.numbers.push_back(
                    realOfText(QByteArrayView(data, sqlite3_column_bytes(statement, c))));
            } else {
                column.numbers.push_back(sqlite3_column_double(statement, c));
            }
            break;
        case ColumnKind::DateTime: {
            const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
            const int size = sqlite3_column_bytes(statement, c);
            column.numbers.push_back(data ? dateTimeOfText(data, size) : 0.0);
            break;
        }
        case ColumnKind::Text: {
            const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
            appendText(column, data, data ? sqlite3_column_bytes(statement, c) : 0);
            break;
        }
        }
    }
    ++rowCount_;
}

void ColumnStore::appendText(Column& column, const char* data, int size) {
    const std::size_t end = column.bytes.size() + std::size_t(size);
    if (end > std::numeric_limits<quint32>::max())
        throw Error(
            QStringLiteral("The text of column %1 is too large to be read").arg(column.info.name));
    column.bytes.insert(column.bytes.end(), data, data + size);
    column.ends.push_back(quint32(end));
}

int ColumnStore::columnIndex(QStringView name) const {
    for (int c = 0; c < columnCount(); ++c) {
        if (columns_[c].info.name.compare(name, Qt::CaseInsensitive) == 0)
            return c;
    }
    return -1;
}

QByteArrayView ColumnStore::utf8(int column, quint32 row) const {
    const Column& data = columns_[column];
    const quint32 begin = row == 0 ? 0 : data.ends[row - 1];
    return QByteArrayView(data.bytes.data() + begin, data.ends[row] - begin);
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
    for (int c = 0; c < columnCount(); ++c) {
        result.nulls.push_back(isNull(c, row));
        switch (info(c).kind) {
        case ColumnKind::Integer:
            result.integers.push_back(integer(c, row));
            break;
        case ColumnKind::Real:
        case ColumnKind::DateTime:
            result.reals.push_back(number(c, row));
            break;
        case ColumnKind::Text:
            result.texts.push_back(utf8(c, row).toByteArray());
            break;
        }
    }
    return result;
}

bool ColumnStore::matches(quint32 row, const RowSnapshot& snapshot) const {
    if (int(snapshot.nulls.size()) != columnCount())
        return false;
    std::size_t integer = 0, real = 0, text = 0;
    for (int c = 0; c < columnCount(); ++c) {
        if (isNull(c, row) != snapshot.nulls[c])
            return false;
        switch (info(c).kind) {
        case ColumnKind::Integer:
            if (integer >= snapshot.integers.size() ||
                this->integer(c, row) != snapshot.integers[integer++])
                return false;
            break;
        case ColumnKind::Real:
        case ColumnKind::DateTime:
            if (real >= snapshot.reals.size() || number(c, row) != snapshot.reals[real++])
                return false;
            break;
        case ColumnKind::Text:
            if (text >= snapshot.texts.size() || utf8(c, row) != snapshot.texts[text++])
                return false;
            break;
        }
    }
    return true;
}
