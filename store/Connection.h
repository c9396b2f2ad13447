#pragma once

#include "app/Error.h"

#include <QString>

struct sqlite3;

// The one database connection (ZConnection1). Opens the file by a name
// relative to the current working directory; never writes to it.
class Connection {
public:
    Connection() = default;
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void open(const QString& fileName); // throws Error with the database's message
    void close();
    bool isOpen() const { return db_ != nullptr; }
    sqlite3* handle() const { return db_; }

    // Changes whenever another connection commits to the file; ours never
    // writes, so an equal value means every table reads as before.
    qint64 dataVersion() const; // throws Error with the database's message
    // The database's message for the last failed call on this connection.
    Error lastError() const;
    // Different for every open, so that versions of two opens never meet.
    quint64 openSerial() const { return openSerial_; }

private:
    sqlite3* db_ = nullptr;
    QString fileName_;
    quint64 openSerial_ = 0;
};
