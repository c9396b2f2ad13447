#pragma once

#include "store/ColumnStore.h"
#include "store/ReadBounds.h"
#include "store/RowHashes.h"

#include <QString>

#include <atomic>
#include <functional>
#include <limits>
#include <optional>
#include <thread>

class StepBound;
struct sqlite3;
struct sqlite3_stmt;

// A whole read of a table on a connection and a thread of its own, so that
// the window answers while a large table loads. A rowid table is read in row
// id order a slice at a time, each slice its own read transaction, so that a
// writer never waits on it longer than milliseconds; its rows are
// fingerprinted as they come (see RowHashes).
class TableLoad {
public:
    struct Outcome {
        std::optional<ColumnStore> store; // none when the read failed or was cancelled
        qint64 lastRowid = std::numeric_limits<qint64>::min();
        RowHashes hashes;
        QString error; // why the read failed; empty when it was cancelled
    };
    // Rows read so far, and the rows expected; 0 when not known.
    using Progress = std::function<void(quint64 rows, quint64 expected)>;

    // Starts at once; `progress` and `done` are called on the load's thread.
    TableLoad(const QString& fileName, const QString& tableName, const ReadBounds& bounds,
              bool rowidTable, Progress progress, std::function<void()> done);
    ~TableLoad(); // cancels and waits for the thread
    TableLoad(const TableLoad&) = delete;
    TableLoad& operator=(const TableLoad&) = delete;

    void cancel();
    bool cancelled() const { return cancelled_; }
    void wait();
    // Waits for the thread and hands over what it read.
    Outcome take();

private:
    void run();
    void readSlices(sqlite3* db, StepBound& steps);
    quint64 appendRows(sqlite3* db, sqlite3_stmt* statement, StepBound& steps);
    quint64 expectedRows(sqlite3* db) const;

    QString fileName_;
    QString tableName_;
    ReadBounds bounds_;
    bool rowidTable_;
    Progress progress_;
    std::function<void()> done_;
    quint64 expected_ = 0;
    std::atomic_bool cancelled_ = false;
    Outcome outcome_;
    std::thread thread_;
};
