#include "store/StatementRowReader.h"

#include "store/DateTimeValue.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>

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
DateTimeValue dateTimeOfText(QByteArrayView text) {
    constexpr int stackLimit = 64;
    if (text.size() <= stackLimit) {
        char16_t wide[stackLimit];
        bool ascii = true;
        for (qsizetype i = 0; i < text.size() && ascii; ++i) {
            ascii = static_cast<unsigned char>(text[i]) < 0x80;
            wide[i] = char16_t(text[i]);
        }
        if (ascii)
            return readStoredDateTime(QStringView(wide, text.size()));
    }
    return readStoredDateTime(QString::fromUtf8(text));
}

QByteArrayView textOf(sqlite3_value* value) {
    const auto* data = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return data ? QByteArrayView(data, sqlite3_value_bytes(value)) : QByteArrayView();
}

} // namespace

StatementRowReader::StatementRowReader(sqlite3_stmt* statement, int leadingColumns)
    : statement_(statement) {
    const int all = sqlite3_column_count(statement);
    const int count = leadingColumns < 0 ? all : std::min(leadingColumns, all);
    for (int c = 0; c < count; ++c) {
        columns_.push_back(
            {QString::fromUtf8(sqlite3_column_name(statement, c)),
             columnKindOfDeclaredType(QString::fromUtf8(sqlite3_column_decltype(statement, c)))});
    }
    cells_.resize(count);
    timeMemos_.resize(count);
}

// The value interface reads a column in one call where the column interface
// takes three, each entering the connection; the connection stays on this
// thread, which is what that interface asks.
const std::vector<ColumnStore::Cell>& StatementRowReader::read() {
    for (int c = 0; c < int(columns_.size()); ++c) {
        ColumnStore::Cell& cell = cells_[c];
        sqlite3_value* value = sqlite3_column_value(statement_, c);
        const int type = sqlite3_value_type(value);
        cell = {};
        cell.isNull = type == SQLITE_NULL;
        if (cell.isNull)
            continue;
        switch (columns_[c].kind) {
        case ColumnKind::Integer:
            if (type == SQLITE_INTEGER)
                cell.integer = sqlite3_value_int64(value);
            else if (type == SQLITE_FLOAT)
                cell.integer = integerOfReal(sqlite3_value_double(value));
            else
                cell.integer = integerOfText(textOf(value));
            break;
        case ColumnKind::Real:
            if (type == SQLITE_TEXT || type == SQLITE_BLOB)
                cell.number = realOfText(textOf(value));
            else
                cell.number = sqlite3_value_double(value);
            break;
        case ColumnKind::DateTime:
            cell.number = dateTimeOf(c, textOf(value));
            break;
        case ColumnKind::Text:
            cell.text = textOf(value);
            break;
        }
    }
    return cells_;
}

double StatementRowReader::dateTimeOf(int column, QByteArrayView text) {
    TimeMemo& memo = timeMemos_[column];
    if (memo.text != text) {
        memo.text = text.toByteArray();
        memo.value = dateTimeOfText(text);
    }
    return memo.value;
}
