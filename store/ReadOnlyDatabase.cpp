#include "store/ReadOnlyDatabase.h"

#include <QFile>
#include <sqlite3.h>

namespace {

// Rides out a writer's commit; each read of a worker is short, so it never
// waits long.
constexpr int busyTimeoutMs = 250;

} // namespace

ReadOnlyDatabase::ReadOnlyDatabase(const QString& fileName) {
    if (sqlite3_open_v2(QFile::encodeName(fileName).constData(), &db_,
                        SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
        openMessage_ = QString::fromUtf8(sqlite3_errmsg(db_));
        sqlite3_close(db_);
        db_ = nullptr;
        return;
    }
    sqlite3_busy_timeout(db_, busyTimeoutMs);
}

ReadOnlyDatabase::~ReadOnlyDatabase() {
    sqlite3_close(db_);
}

QString ReadOnlyDatabase::lastMessage() const {
    return db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : openMessage_;
}
