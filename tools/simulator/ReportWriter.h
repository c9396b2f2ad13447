#pragma once

#include "tools/simulator/RadioTrack.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <stdexcept>

struct WriteError : std::runtime_error {
    WriteError(const QString& message, bool lockHeld, bool serverLost = false)
        : std::runtime_error(message.toStdString())
        , busy(lockHeld)
        , lost(serverLost) {}
    bool busy; // another connection held the lock past the busy timeout
    bool lost; // the server went away; a rollback connects again
};

// Writes the four tables the way the radio software does, into a SQLite file
// or a PostgreSQL server.
class ReportWriter {
public:
    virtual ~ReportWriter() = default;

    virtual void createTables(bool dropExisting) = 0;
    bool hasDirectory() { return count("projects") > 0; }
    // Projects, personnel and members: radios carry ids firstRadioId, +1, ...;
    // one more person carries radio 0 and one member row points at nobody.
    void writeDirectory(int radios, int firstRadioId);

    virtual void begin() = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;
    virtual void insertReport(const QString& station, const QDateTime& time, int radioId,
                              const StoredPosition& position) = 0;
    virtual qint64 count(const char* table) = 0;

protected:
    virtual void execute(const QByteArray& sql) = 0;
};
