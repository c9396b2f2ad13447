#pragma once

#include "store/ColumnStore.h"
#include "store/EqualityIndex.h"
#include "store/RadioTimeIndex.h"
#include "store/ReadBounds.h"
#include "store/SliceFingerprints.h"

#include <QString>

#include <atomic>
#include <functional>
#include <limits>
#include <optional>
#include <thread>
#include <utility>

class SqliteRowReader;
class StepBound;

// A whole read of a table on connections and threads of its own, so that the
// window answers while a large table loads. A rowid table is read in row id
// order a slice at a time, each slice its own read transaction, so that a
// writer never waits on it longer than milliseconds; a large one in two
// halves side by side. Its rows are fingerprinted as they come.
class TableLoad {
public:
    struct Outcome {
        std::optional<ColumnStore> store; // none when the read failed or was cancelled
        qint64 lastRowid = std::numeric_limits<qint64>::min();
        SliceFingerprints fingerprints; // of a rowid table
        EqualityIndex index;            // of the indexed column, when the table has it as integers
        RadioTimeIndex timeIndex;       // of a position table
        QString error;                  // why the read failed; empty when it was cancelled
    };
    // Rows read so far, and the rows expected; 0 when not known.
    using Progress = std::function<void(quint64 rows, quint64 expected)>;

    // Starts at once; `progress` and `done` are called on the load's threads.
    // The index of `indexedColumn` is built beside the reading too.
    TableLoad(const QString& fileName, const QString& tableName, const QString& indexedColumn,
              const ReadBounds& bounds, bool rowidTable, Progress progress,
              std::function<void()> done);
    ~TableLoad(); // cancels and waits for the threads
    TableLoad(const TableLoad&) = delete;
    TableLoad& operator=(const TableLoad&) = delete;

    void cancel();
    bool cancelled() const { return cancelled_; }
    void wait();
    // Waits for the threads and hands over what they read.
    Outcome take();

private:
    // Row ids after `after` up to `last`, both as stored.
    struct Range {
        qint64 after = std::numeric_limits<qint64>::min();
        qint64 last = std::numeric_limits<qint64>::max();
    };

    void run();
    std::optional<std::pair<qint64, qint64>> rowidSpan() const;
    void readWhole(Outcome& part);
    void buildIndex();
    void readRange(Outcome& part, Range range, quint64 reserveRows);
    quint64 appendRows(Outcome& part, SqliteRowReader& reader, StepBound& steps,
                       quint64 reserveRows, RowFingerprint& fingerprint);

    QString fileName_;
    QString tableName_;
    QString indexedColumn_;
    ReadBounds bounds_;
    bool rowidTable_;
    Progress progress_;
    std::function<void()> done_;
    quint64 expected_ = 0;
    std::atomic<quint64> rowsRead_ = 0;
    std::atomic_bool cancelled_ = false;
    Outcome outcome_;
    std::thread thread_;
};
