#pragma once

#include "store/ColumnStore.h"
#include "store/postgres/PgTableLayout.h"

#include <QByteArray>

#include <atomic>
#include <functional>
#include <vector>

class PgConnection;

// Reads a query's rows with COPY ... TO STDOUT (FORMAT binary) into a store
// through the layout's column kinds: no text round trip for numbers and
// times, and one message per row from the server.
class PgCopyReader {
public:
    using Progress = std::function<void(quint64 rows)>;

    // With `writingTransactions`, each row of the query ends with its txid,
    // which goes there instead of into the rows.
    explicit PgCopyReader(const PgTableLayout& layout,
                          IntegerColumn* writingTransactions = nullptr);

    // Appends the rows of `query` (a SELECT of the layout's columns) to
    // `into`. Returns false when `cancel` was set, with the rows read so far
    // appended; throws Error with the server's message.
    bool read(PgConnection& connection, const QString& query, ColumnStore& into,
              const std::atomic_bool* cancel = nullptr, const Progress& progress = {});

private:
    // The text of the row before and its value: reports arrive in bursts
    // that share one time, and reading a time is the costly part.
    struct TimeMemo {
        QByteArray raw;
        double value = 0;
    };

    // False for the stream's header or trailer.
    bool readRow(QByteArrayView message, ColumnStore& into);
    void readCell(int column, QByteArrayView value, ColumnStore::Cell& cell);
    double dateTimeOf(int column, QByteArrayView value);

    std::vector<PgTableLayout::Column> columns_;
    std::vector<ColumnStore::Cell> cells_;
    std::vector<TimeMemo> timeMemos_;
    IntegerColumn* writingTransactions_;
    bool headerRead_ = false;
};
