#include "store/Connection.h"

#include "app/Error.h"
#include "store/DatabaseBusyCursor.h"

#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>
#include <sys/stat.h>

namespace {

// Long enough to ride out a writer's commit, short enough that the window
// never seems to hang.
constexpr int busyTimeoutMs = 250;

void execute(sqlite3* db, const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        const QString text = QString::fromUtf8(message ? message : sqlite3_errmsg(db));
        sqlite3_free(message);
        throw Error(text);
    }
}

// A WAL database needs its shared-memory file beside it; in a folder that
// cannot be written, without that file, SQLite's own message says nothing
// of it.
bool lacksWalSharedMemory(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // Bytes 18 and 19 of the header: the read and write versions, 2 for WAL.
    const QByteArray header = file.read(20);
    return header.size() == 20 && header.startsWith("SQLite format 3") && header[18] == 2 &&
           !QFileInfo::exists(fileName + QStringLiteral("-shm"));
}

// The database's message for its last failure, or what it means when a WAL
// database lacks its shared-memory file.
Error databaseError(sqlite3* db, const QString& fileName, const QString& message) {
    const int code = sqlite3_extended_errcode(db) & 0xff;
    if ((code == SQLITE_READONLY || code == SQLITE_CANTOPEN) && lacksWalSharedMemory(fileName))
        return Error(QStringLiteral("The database %1 uses a write-ahead log and its folder is "
                                    "read-only: %1-shm cannot be created there")
                         .arg(fileName));
    return Error(message);
}

} // namespace

Connection::~Connection() {
    close();
}

void Connection::open(const QString& fileName) {
    close();
    const DatabaseBusyCursor busy;
    // SQLite would create a missing file at the target of a link; a link is
    // only followed to a file that is there.
    const QFileInfo info(fileName);
    if (info.isSymLink() && !info.exists())
        throw Error(QStringLiteral("The database %1 is a link to a missing file").arg(fileName));
    // Read-write, because a WAL database needs its shared-memory file and a
    // missing file is created empty; query_only then keeps every statement
    // of ours from writing. The connection stays on one thread, so it goes
    // without the per-call mutex that costs a tenth of a whole-table read.
    sqlite3* db = nullptr;
    const int result =
        sqlite3_open_v2(fileName.toUtf8().constData(), &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (result != SQLITE_OK) {
        const QString message = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(result));
        sqlite3_close(db);
        throw Error(message);
    }
    try {
        sqlite3_busy_timeout(db, busyTimeoutMs);
        // The last connection to a WAL database would otherwise checkpoint
        // into the file when it closes.
        sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
        // Takes effect only on a file that is still empty.
        execute(db, "PRAGMA encoding = 'UTF-8'");
        execute(db, "PRAGMA query_only = 1");
    } catch (const Error& error) {
        const Error failure = databaseError(db, fileName, error.message());
        sqlite3_close(db);
        throw failure;
    }
    db_ = db;
    fileName_ = fileName;
    identity_ = identityOf(fileName);
    static quint64 opens = 0;
    openSerial_ = ++opens;
}

qint64 Connection::dataVersion() const {
    if (!db_)
        throw Error(QStringLiteral("The database is not connected"));
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, "PRAGMA data_version", -1, &statement, nullptr) != SQLITE_OK)
        throw lastError();
    const bool read = sqlite3_step(statement) == SQLITE_ROW;
    const Error failure = read ? Error(QString()) : lastError();
    const qint64 version = read ? sqlite3_column_int64(statement, 0) : 0;
    sqlite3_finalize(statement);
    if (!read)
        throw failure;
    return version;
}

std::optional<Connection::FileIdentity> Connection::identityOf(const QString& fileName) {
    struct stat status {};
    if (::stat(QFile::encodeName(fileName).constData(), &status) != 0)
        return std::nullopt;
    return FileIdentity{quint64(status.st_dev), quint64(status.st_ino)};
}

bool Connection::reopenIfReplaced() {
    if (!db_ || !identity_)
        return false;
    const auto now = identityOf(fileName_);
    if (!now || *now == *identity_)
        return false;
    // The old file stays open until the new one is, so that a failure
    // leaves the connection as it was and the next call tries again.
    sqlite3* old = db_;
    db_ = nullptr;
    try {
        open(QString(fileName_));
    } catch (...) {
        db_ = old;
        throw;
    }
    sqlite3_close_v2(old);
    return true;
}

Error Connection::lastError() const {
    return databaseError(db_, fileName_, QString::fromUtf8(sqlite3_errmsg(db_)));
}

void Connection::close() {
    if (db_) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}
