#pragma once

#include "app/Error.h"

#include <QString>

#include <optional>

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
    const QString& fileName() const { return fileName_; }
    // A writer that renames a new file over the open one leaves this
    // connection reading the old, unlinked file for ever; when the name now
    // names another file, opens that one (a new open serial) and returns
    // true. A missing name keeps the open file: nothing is created.
    bool reopenIfReplaced(); // throws Error when the new file cannot be opened

private:
    // Device and inode of an existing file.
    struct FileIdentity {
        quint64 device = 0;
        quint64 inode = 0;
        bool operator==(const FileIdentity&) const = default;
    };
    static std::optional<FileIdentity> identityOf(const QString& fileName);

    sqlite3* db_ = nullptr;
    QString fileName_;
    std::optional<FileIdentity> identity_;
    quint64 openSerial_ = 0;
};
