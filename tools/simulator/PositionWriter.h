#pragma once

#include "tools/simulator/ReportWriter.h"

struct sqlite3;
struct sqlite3_stmt;

// Writes the four tables into a SQLite file.
class PositionWriter : public ReportWriter {
public:
    PositionWriter(const QString& fileName, bool wal, int busyTimeoutMs);
    ~PositionWriter() override;
    PositionWriter(const PositionWriter&) = delete;
    PositionWriter& operator=(const PositionWriter&) = delete;

    void createTables(bool dropExisting) override;
    void begin() override;
    void commit() override;
    void rollback() override;
    void insertReport(const QString& station, const QDateTime& time, int radioId,
                      const StoredPosition& position) override;
    qint64 count(const char* table) override;

protected:
    void execute(const QByteArray& sql) override;

private:
    [[noreturn]] void fail(int result);

    sqlite3* db_ = nullptr;
    sqlite3_stmt* insertReport_ = nullptr;
};
