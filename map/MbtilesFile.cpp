#include "map/MbtilesFile.h"

#include <QFileInfo>
#include <sqlite3.h>
#include <zlib.h>

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

// Gzip or zlib data (the header tells which); nothing if it does not decode.
std::optional<QByteArray> inflated(const QByteArray& packed) {
    z_stream stream{};
    if (inflateInit2(&stream, 15 + 32) != Z_OK)
        return std::nullopt;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.constData()));
    stream.avail_in = static_cast<uInt>(packed.size());
    QByteArray out;
    char chunk[64 * 1024];
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(chunk);
        stream.avail_out = sizeof chunk;
        status = inflate(&stream, Z_NO_FLUSH);
        out.append(chunk, static_cast<qsizetype>(sizeof chunk - stream.avail_out));
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END)
        return std::nullopt;
    return out;
}

bool isCompressed(const QByteArray& tile) {
    return startsWith(tile, "\x1f\x8b", 2) ||
           (tile.size() >= 2 && static_cast<unsigned char>(tile[0]) == 0x78 &&
            ((static_cast<unsigned char>(tile[0]) << 8) | static_cast<unsigned char>(tile[1])) %
                    31 ==
                0);
}

} // namespace

MbtilesFile::MbtilesFile(const QString& path)
    : path_(path) {
    if (!QFileInfo(path).isFile()) {
        fail(QStringLiteral("the file does not exist"));
        return;
    }
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db_, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK) {
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

// The metadata table is optional in practice: without a format, the first
// tile's bytes tell it.
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
    if (format_.isEmpty()) {
        sqlite3_stmt* first = nullptr;
        if (sqlite3_prepare_v2(db_, "SELECT tile_data FROM tiles LIMIT 1", -1, &first, nullptr) ==
                SQLITE_OK &&
            sqlite3_step(first) == SQLITE_ROW) {
            const QByteArray tile(static_cast<const char*>(sqlite3_column_blob(first, 0)),
                                  sqlite3_column_bytes(first, 0));
            format_ = formatOf(isCompressed(tile) ? inflated(tile).value_or(QByteArray()) : tile);
        }
        sqlite3_finalize(first);
    }
    if (format_.isEmpty())
        fail(QStringLiteral("no tiles in the file"));
}

std::optional<QByteArray> MbtilesFile::storedTile(int zoom, int column, int tmsRow) const {
    sqlite3_reset(query_);
    sqlite3_bind_int(query_, 1, zoom);
    sqlite3_bind_int(query_, 2, column);
    sqlite3_bind_int(query_, 3, tmsRow);
    std::optional<QByteArray> found;
    if (sqlite3_step(query_) == SQLITE_ROW)
        found = QByteArray(static_cast<const char*>(sqlite3_column_blob(query_, 0)),
                           sqlite3_column_bytes(query_, 0));
    sqlite3_reset(query_);
    return found;
}

std::optional<QByteArray> MbtilesFile::tile(int zoom, int column, int row) const {
    if (!query_ || zoom < 0 || zoom > 30)
        return std::nullopt;
    const qint64 side = qint64(1) << zoom;
    if (column < 0 || column >= side || row < 0 || row >= side)
        return std::nullopt;
    const std::optional<QByteArray> stored =
        storedTile(zoom, column, static_cast<int>(side - 1 - row));
    if (!stored || !isVector() || !isCompressed(*stored))
        return stored;
    return inflated(*stored);
}
