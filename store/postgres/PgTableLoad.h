#pragma once

#include "store/EqualityIndex.h"
#include "store/RadioTimeIndex.h"
#include "store/postgres/PgTableReader.h"

#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

// A whole read of a table on a thread of its own, with a connection of its
// own, beside the window.
class PgConnection;

class PgTableLoad {
public:
    struct Outcome {
        std::optional<PgTableReader::Whole> whole; // none when cancelled or failed
        EqualityIndex index;                       // over whole's rows, when asked for
        RadioTimeIndex timeIndex;                  // over whole's rows, of a position table
        QString error;
        // The load's session, kept after a read, so that the window's
        // thread does not connect again.
        std::unique_ptr<PgConnection> session;
    };

    // `done` is called on the load's thread once the outcome is ready.
    PgTableLoad(const QString& connectionString, const QString& tableName,
                const QString& indexedColumn, PgTableReader::Progress progress,
                std::function<void()> done);
    ~PgTableLoad(); // cancels and waits
    PgTableLoad(const PgTableLoad&) = delete;
    PgTableLoad& operator=(const PgTableLoad&) = delete;

    void cancel() { cancel_ = true; }
    void wait();
    Outcome take(); // after wait

private:
    void run(const QString& connectionString, const QString& tableName,
             const QString& indexedColumn, const PgTableReader::Progress& progress);

    std::atomic_bool cancel_ = false;
    Outcome outcome_;
    std::function<void()> done_;
    std::thread thread_;
};
