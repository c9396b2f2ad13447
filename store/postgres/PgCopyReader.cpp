#include "store/postgres/PgCopyReader.h"

#include "app/Error.h"
#include "store/DateTimeValue.h"
#include "store/postgres/PgConnection.h"

#include <QtEndian>

#include <cstring>

namespace {

// The binary COPY stream starts with this signature, a flags word and the
// length of an extension area.
constexpr char signature[] = "PGCOPY\n\377\r\n";
constexpr qsizetype signatureSize = 11;

constexpr qint64 serverEpochMs = 946684800000; // 2000-01-01 UTC in Unix milliseconds

enum PgType : unsigned {
    Int8 = 20,
    Int2 = 21,
    Int4 = 23,
    Float4 = 700,
    Float8 = 701,
    Date = 1082,
    Timestamp = 1114,
    TimestampTz = 1184,
};

template <typename T> T bigEndian(const char* data) {
    return qFromBigEndian<T>(data);
}

double realOf(QByteArrayView value, unsigned type) {
    if (type == Float4) {
        const quint32 bits = bigEndian<quint32>(value.data());
        float number;
        std::memcpy(&number, &bits, sizeof number);
        return number;
    }
    const quint64 bits = bigEndian<quint64>(value.data());
    double number;
    std::memcpy(&number, &bits, sizeof number);
    return number;
}

qint64 integerOf(QByteArrayView value, unsigned type) {
    switch (type) {
    case Int2:
        return bigEndian<qint16>(value.data());
    case Int4:
        return bigEndian<qint32>(value.data());
    default:
        return bigEndian<qint64>(value.data());
    }
}

// Infinite times read as no time, as a time text that does not read.
template <typename T> bool isInfinite(T value) {
    return value == std::numeric_limits<T>::max() || value == std::numeric_limits<T>::min();
}

[[noreturn]] void malformed() {
    throw Error(QStringLiteral("The database server sent a row that does not read"));
}

} // namespace

PgCopyReader::PgCopyReader(const PgTableLayout& layout, IntegerColumn* writingTransactions)
    : columns_(layout.columns())
    , cells_(layout.columns().size())
    , timeMemos_(layout.columns().size())
    , writingTransactions_(writingTransactions) {}

bool PgCopyReader::read(PgConnection& connection, const QString& query, ColumnStore& into,
                        const std::atomic_bool* cancel, const Progress& progress) {
    pg_conn* handle = connection.handle();
    connection.exec(QStringLiteral("COPY (") + query +
                    QStringLiteral(") TO STDOUT (FORMAT binary)"));
    headerRead_ = false;
    quint64 rows = 0;
    bool cancelled = false;
    for (;;) {
        char* buffer = nullptr;
        const int length = PQgetCopyData(handle, &buffer, 0);
        if (length < 0)
            break;
        const QByteArrayView message(buffer, length);
        bool row = false;
        try {
            row = !cancelled && readRow(message, into);
        } catch (...) {
            PQfreemem(buffer);
            throw;
        }
        PQfreemem(buffer);
        if (row && (++rows & 0xffff) == 0) {
            if (progress)
                progress(rows);
            // The rest of the stream is drained after a cancel request: the
            // connection stays usable.
            if (cancel && *cancel) {
                cancelled = true;
                if (PGcancel* request = PQgetCancel(handle)) {
                    char error[256];
                    PQcancel(request, error, sizeof error);
                    PQfreeCancel(request);
                }
            }
        }
    }
    QString failure;
    while (PGresult* result = PQgetResult(handle)) {
        if (PQresultStatus(result) != PGRES_COMMAND_OK && failure.isEmpty())
            failure = QString::fromUtf8(PQresultErrorMessage(result)).trimmed();
        PQclear(result);
    }
    if (cancelled)
        return false;
    if (!failure.isEmpty())
        throw Error(failure);
    if (connection.isBroken())
        throw Error(QString::fromUtf8(PQerrorMessage(handle)).trimmed());
    if (progress)
        progress(rows);
    return true;
}

bool PgCopyReader::readRow(QByteArrayView message, ColumnStore& into) {
    if (!headerRead_) {
        if (message.size() < signatureSize + 8 ||
            std::memcmp(message.data(), signature, signatureSize) != 0)
            malformed();
        const qint32 extension = bigEndian<qint32>(message.data() + signatureSize + 4);
        message = message.sliced(signatureSize + 8 + extension);
        headerRead_ = true;
        if (message.isEmpty())
            return false;
    }
    if (message.size() < 2)
        malformed();
    const qint16 fields = bigEndian<qint16>(message.data());
    if (fields == -1)
        return false; // the trailer
    const qint16 columns = qint16(columns_.size());
    if (fields != columns + (writingTransactions_ ? 1 : 0))
        malformed();
    qsizetype at = 2;
    for (int c = 0; c < columns; ++c) {
        if (message.size() < at + 4)
            malformed();
        const qint32 length = bigEndian<qint32>(message.data() + at);
        at += 4;
        ColumnStore::Cell& cell = cells_[c];
        cell = {};
        if (length < 0) {
            cell.isNull = true;
            continue;
        }
        if (message.size() < at + length)
            malformed();
        readCell(c, message.sliced(at, length), cell);
        at += length;
    }
    if (writingTransactions_) {
        // xid8 is an unsigned 64-bit count, far below 2^63 in practice.
        if (message.size() != at + 12 || bigEndian<qint32>(message.data() + at) != 8)
            malformed();
        writingTransactions_->append(qint64(bigEndian<quint64>(message.data() + at + 4)));
    }
    into.appendRow(cells_);
    return true;
}

void PgCopyReader::readCell(int column, QByteArrayView value, ColumnStore::Cell& cell) {
    const unsigned type = columns_[column].type;
    const auto expect = [&](qsizetype size) {
        if (value.size() != size)
            malformed();
    };
    switch (columns_[column].kind) {
    case ColumnKind::Integer:
        expect(type == Int2 ? 2 : type == Int4 ? 4 : 8);
        cell.integer = integerOf(value, type);
        break;
    case ColumnKind::Real:
        expect(type == Float4 ? 4 : 8);
        cell.number = realOf(value, type);
        break;
    case ColumnKind::DateTime:
        cell.number = dateTimeOf(column, value);
        break;
    case ColumnKind::Text:
        cell.text = value;
        break;
    }
}

double PgCopyReader::dateTimeOf(int column, QByteArrayView value) {
    TimeMemo& memo = timeMemos_[column];
    if (memo.raw == value)
        return memo.value;
    memo.raw = value.toByteArray();
    const unsigned type = columns_[column].type;
    if (type == Date || type == Timestamp || type == TimestampTz) {
        if (value.size() != (type == Date ? 4 : 8))
            malformed();
        const qint32 days = type == Date ? bigEndian<qint32>(value.data()) : 0;
        const qint64 microseconds =
            type == Date ? qint64(days) * 86400000000 : bigEndian<qint64>(value.data());
        // A time zone's times show in the desk's zone, as the writer's local
        // times do; the others as written.
        memo.value = (type == Date ? isInfinite(days) : isInfinite(microseconds))
                         ? 0
                         : toDateTimeValue(QDateTime::fromMSecsSinceEpoch(
                               serverEpochMs + microseconds / 1000,
                               type == TimestampTz ? Qt::LocalTime : Qt::UTC));
    } else {
        memo.value = readStoredDateTime(QString::fromUtf8(value));
    }
    return memo.value;
}
