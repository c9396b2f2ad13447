#pragma once

#include <QString>

struct sqlite3;

// A read-only connection of a worker thread's own, closed with this object;
// its handle is null when the file does not open.
class ReadOnlyDatabase {
public:
    explicit ReadOnlyDatabase(const QString& fileName);
    ~ReadOnlyDatabase();
    ReadOnlyDatabase(const ReadOnlyDatabase&) = delete;
    ReadOnlyDatabase& operator=(const ReadOnlyDatabase&) = delete;

    sqlite3* handle() const { return db_; }
    // The database's message for the last failure, or why it did not open.
    QString lastMessage() const;

private:
    sqlite3* db_ = nullptr;
    QString openMessage_;
};
