#include "map/MbtilesFile.h"

#include "map/TileInflate.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <sqlite3.h>
#include <sys/stat.h>

namespace {

// A writer holding the file locks it only briefly; a reader waits no longer.
constexpr int busyTimeoutMs = 200;

bool startsWith(const QByteArray& data, const char* magic, int size) {
    return data.size() >= size && memcmp(data.constData(), magic, size) == 0;
}

QString formatOf(const QByteArray& tile) {
    if (startsWith(tile, "\x89PNG", 4))
        return QStringLiteral("png");
    if (startsWith(tile, "\xff\xd8\xff", 3))
        return QStringLiteral("jpg");
    if (startsWith(tile, "RIFF", 4) && tile.mid(8, 4) == "WEBP")
        return QStringLiteral("webp");
    return QStringLiteral("pbf");
}

// QDir::cleanPath keeps ".." above the root ("/../etc/passwd"), which the
// system takes as the root itself.
QString resolvedPath(const QString& path) {
    QString cleaned = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    while (cleaned.startsWith(QLatin1String("/../")))
        cleaned.remove(0, 3);
    return cleaned == QLatin1String("/..") ? QStringLiteral("/") : cleaned;
}

// Why there is no file SQLite could read at the path, or nothing. Only the
// path's kind is asked, so a named pipe is never opened (that would wait for
// a writer).
std::optional<QString> notAFile(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        if (errno == ELOOP)
            return QStringLiteral("is a link that loops");
        if (errno == ENOENT || errno == ENOTDIR)
            return QStringLiteral("the file does not exist");
        return qt_error_string(errno);
    }
    if (S_ISDIR(info.st_mode))
        return QStringLiteral("is a folder");
    if (S_ISFIFO(info.st_mode))
        return QStringLiteral("is a named pipe (FIFO), not a file");
    if (!S_ISREG(info.st_mode))
        return QStringLiteral("is a device or socket, not a file");
    return std::nullopt;
}

// Enough of a tile's start to hold a compressed header and the magic bytes.
constexpr int sniffBytes = 1024;
constexpr qsizetype magicBytes = 12;

} // namespace

MbtilesFile::MbtilesFile(const QString& path)
    : path_(resolvedPath(path)) {
    if (const std::optional<QString> reason = notAFile(path_)) {
        fail(*reason);
        return;
    }
    if (sqlite3_open_v2(QFile::encodeName(path_).constData(), &db_, SQLITE_OPEN_READONLY,
                        nullptr) != SQLITE_OK) {
        fail(QString::fromUtf8(sqlite3_errmsg(db_)));
        return;
    }
    sqlite3_busy_timeout(db_, busyTimeoutMs);
    if (sqlite3_prepare_v2(db_,
                           "SELECT tile_data FROM tiles WHERE zoom_level = ?1 AND tile_column = ?2 "
                           "AND tile_row = ?3",
                           -1, &query_, nullptr) != SQLITE_OK) {
        const int code = sqlite3_errcode(db_);
        fail(code == SQLITE_NOTADB  ? QStringLiteral("not an SQLite database")
             : code == SQLITE_ERROR ? QStringLiteral("not an MBTiles file (no tiles table)")
                                    : QString::fromUtf8(sqlite3_errmsg(db_)));
        return;
    }
    readMetadata();
    checkTiles();
}

MbtilesFile::~MbtilesFile() {
    sqlite3_finalize(query_);
    sqlite3_close(db_);
}

QString MbtilesFile::fail(const QString& reason) {
    error_ = reason;
    sqlite3_finalize(query_);
    query_ = nullptr;
    sqlite3_close(db_);
    db_ = nullptr;
    return error_;
}

// The metadata table is optional in practice: without a format, the tiles
// tell it.
void MbtilesFile::readMetadata() {
    sqlite3_stmt* rows = nullptr;
    if (sqlite3_prepare_v2(db_, "SELECT name, value FROM metadata", -1, &rows, nullptr) ==
        SQLITE_OK) {
        while (sqlite3_step(rows) == SQLITE_ROW) {
            const QString key =
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(rows, 0)));
            const QString value =
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(rows, 1)));
            if (key == QLatin1String("format"))
                format_ = value.trimmed().toLower();
            else if (key == QLatin1String("name"))
                name_ = value;
            else if (key == QLatin1String("attribution"))
                attribution_ = value;
            else if (key == QLatin1String("minzoom"))
                minZoom_ = value.toInt();
            else if (key == QLatin1String("maxzoom"))
                maxZoom_ = value.toInt();
        }
    }
    sqlite3_finalize(rows);
    if (format_ == QLatin1String("jpeg"))
        format_ = QStringLiteral("jpg");
    if (format_ == QLatin1String("mvt"))
        format_ = QStringLiteral("pbf");
}

// A file needs tiles; without a format in the metadata, the first bytes of
// its first tile tell it (a huge first tile is not read for that).
void MbtilesFile::checkTiles() {
    if (!db_)
        return;
    sqlite3_stmt* first = nullptr;
    const bool any =
        sqlite3_prepare_v2(db_,
                           "SELECT CASE WHEN length(tile_data) <= ?1 THEN substr(tile_data, 1, ?2) "
                           "END FROM tiles LIMIT 1",
                           -1, &first, nullptr) == SQLITE_OK &&
        sqlite3_bind_int64(first, 1, maxTileBytes) == SQLITE_OK &&
        sqlite3_bind_int(first, 2, sniffBytes) == SQLITE_OK && sqlite3_step(first) == SQLITE_ROW;
    if (any && format_.isEmpty()) {
        const QByteArray head(static_cast<const char*>(sqlite3_column_blob(first, 0)),
                              sqlite3_column_bytes(first, 0));
        format_ = formatOf(isCompressed(head) ? inflatedPrefix(head, magicBytes) : head);
    }
    sqlite3_finalize(first);
    if (!any)
        fail(QStringLiteral("no tiles in the file"));
}

// A stored blob costs no more than the file's own size, so it is measured
// once read: asking SQLite for the length first costs more than half the
// read of a typical tile.
std::optional<QByteArray> MbtilesFile::storedTile(int zoom, int column, int tmsRow,
                                                  bool* tooLarge) const {
    sqlite3_reset(query_);
    sqlite3_bind_int(query_, 1, zoom);
    sqlite3_bind_int(query_, 2, column);
    sqlite3_bind_int(query_, 3, tmsRow);
    std::optional<QByteArray> found;
    if (sqlite3_step(query_) == SQLITE_ROW) {
        const int bytes = sqlite3_column_bytes(query_, 0);
        if (bytes > maxTileBytes)
            *tooLarge = true;
        else
            found = QByteArray(static_cast<const char*>(sqlite3_column_blob(query_, 0)), bytes);
    }
    sqlite3_reset(query_);
    return found;
}

std::optional<QByteArray> MbtilesFile::tile(int zoom, int column, int row, bool* tooLarge) const {
    bool refused = false;
    if (tooLarge)
        *tooLarge = false;
    if (!query_ || zoom < 0 || zoom > 30)
        return std::nullopt;
    const qint64 side = qint64(1) << zoom;
    if (column < 0 || column >= side || row < 0 || row >= side)
        return std::nullopt;
    const std::optional<QByteArray> stored =
        storedTile(zoom, column, static_cast<int>(side - 1 - row), &refused);
    if (tooLarge)
        *tooLarge = refused;
    if (!stored || !isVector() || !isCompressed(*stored))
        return stored;
    Inflated unpacked = inflateAtMost(*stored, maxTileBytes);
    if (tooLarge)
        *tooLarge = unpacked.status == Inflated::TooLarge;
    if (unpacked.status != Inflated::Done)
        return std::nullopt;
    return std::move(unpacked.data);
}
