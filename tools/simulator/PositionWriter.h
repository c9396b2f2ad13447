#pragma once

#include "tools/simulator/RadioTrack.h"

#include <QDateTime>
#include <QString>

#include <stdexcept>

struct sqlite3;
struct sqlite3_stmt;

struct WriteError : std::runtime_error {
    WriteError(const QString& message, bool lockHeld)
        : std::runtime_error(message.toStdString())
        , busy(lockHeld) {}
    bool busy; // another connection held the lock past the busy timeout
};

// Writes the four tables the way the radio software does.
class PositionWriter {
public:
    PositionWriter(const QString& fileName, bool wal, int busyTimeoutMs);
    ~PositionWriter();
    PositionWriter(const PositionWriter&) = delete;
    PositionWriter& operator=(const PositionWriter&) = delete;

    void createTables(bool dropExisting);
    bool hasDirectory();
    // Projects, personnel and members: radios carry ids firstRadioId, +1, ...;
    // one more person carries radio 0 and one member row points at nobody.
    void writeDirectory(int radios, int firstRadioId);

    void begin();
    void commit();
    void rollback();
    void insertReport(const QString& station, const QDateTime& time, int radioId,
                      const StoredPosition& position);
    qint64 count(const char* table);

private:
    void execute(const char* sql);
    [[noreturn]] void fail(int result);

    sqlite3* db_ = nullptr;
    sqlite3_stmt* insertReport_ = nullptr;
};
