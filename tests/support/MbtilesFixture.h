#pragma once

// MBTiles files for tests and benchmarks: written with the SQLite C API,
// holding hand-encoded Mapbox Vector Tiles or any bytes.

#include <QByteArray>
#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <sqlite3.h>
#include <zlib.h>

namespace mbtilesfixture {

struct StoredTile {
    int zoom;
    int column;
    int tmsRow; // as the file stores it: counted from the bottom
    QByteArray data;
};

inline void varint(QByteArray& out, quint64 value) {
    while (value >= 0x80) {
        out.append(char((value & 0x7f) | 0x80));
        value >>= 7;
    }
    out.append(char(value));
}

inline void field(QByteArray& out, int number, const QByteArray& bytes) {
    varint(out, (quint64(number) << 3) | 2);
    varint(out, bytes.size());
    out.append(bytes);
}

inline quint32 zigzag(qint32 n) {
    return (quint32(n) << 1) ^ quint32(n >> 31);
}

// One layer of line features, all with the same properties.
inline QByteArray lineLayer(const QByteArray& name,
                            const QList<QPair<QByteArray, QByteArray>>& props,
                            const QList<QList<QPoint>>& lines) {
    QByteArray layer;
    varint(layer, (15 << 3) | 0);
    varint(layer, 2);
    field(layer, 1, name);
    for (const QList<QPoint>& line : lines) {
        QByteArray tags, geometry, feature;
        for (int i = 0; i < props.size(); ++i) {
            varint(tags, i);
            varint(tags, i);
        }
        varint(geometry, (1 << 3) | 1);
        varint(geometry, zigzag(line[0].x()));
        varint(geometry, zigzag(line[0].y()));
        varint(geometry, (quint64(line.size() - 1) << 3) | 2);
        for (int i = 1; i < line.size(); ++i) {
            varint(geometry, zigzag(line[i].x() - line[i - 1].x()));
            varint(geometry, zigzag(line[i].y() - line[i - 1].y()));
        }
        field(feature, 2, tags);
        varint(feature, (3 << 3) | 0);
        varint(feature, 2); // a line string
        field(feature, 4, geometry);
        field(layer, 2, feature);
    }
    for (const auto& [key, value] : props) {
        field(layer, 3, key);
        QByteArray text;
        field(text, 1, value);
        field(layer, 4, text);
    }
    varint(layer, (5 << 3) | 0);
    varint(layer, 4096);
    return layer;
}

// A vector tile of the OpenMapTiles schema with one street across its middle,
// from edge to edge, and its name.
inline QByteArray streetTile(const QByteArray& name, const QByteArray& roadClass = "primary") {
    const QList<QList<QPoint>> street{{QPoint(-128, 2048), QPoint(4224, 2048)}};
    QByteArray tile;
    field(tile, 3, lineLayer("transportation", {{"class", roadClass}}, street));
    field(tile, 3,
          lineLayer("transportation_name", {{"name", name}, {"class", roadClass}}, street));
    return tile;
}

inline QByteArray gzip(const QByteArray& data) {
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&stream, data.size())) + 32, Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return out;
}

// Zeros deflated with a gzip header: a hostile tile, about a thousandth of
// the size it unpacks to. Streamed, so the zeros are never held whole.
inline QByteArray gzippedZeros(qsizetype inflatedBytes) {
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    const QByteArray zeros(1024 * 1024, '\0');
    QByteArray out;
    char buffer[64 * 1024];
    int flush = Z_NO_FLUSH;
    for (qsizetype left = inflatedBytes; flush != Z_FINISH;) {
        const qsizetype step = qMin(left, zeros.size());
        left -= step;
        flush = left == 0 ? Z_FINISH : Z_NO_FLUSH;
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros.constData()));
        stream.avail_in = uInt(step);
        do {
            stream.next_out = reinterpret_cast<Bytef*>(buffer);
            stream.avail_out = sizeof buffer;
            deflate(&stream, flush);
            out.append(buffer, qsizetype(sizeof buffer - stream.avail_out));
        } while (stream.avail_out == 0);
    }
    deflateEnd(&stream);
    return out;
}

// Writes an MBTiles file; an empty format leaves the metadata table out.
inline bool writeMbtiles(const QString& path, const QString& format, const QList<StoredTile>& tiles,
                         int maxZoom = 16) {
    sqlite3* db = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK)
        return false;
    QStringList sql{QStringLiteral("CREATE TABLE tiles (zoom_level INTEGER, tile_column INTEGER, "
                                   "tile_row INTEGER, tile_data BLOB)")};
    if (!format.isEmpty())
        sql << QStringLiteral("CREATE TABLE metadata (name TEXT, value TEXT)")
            << QStringLiteral("INSERT INTO metadata VALUES ('format', '%1'), ('minzoom', '0'), "
                              "('maxzoom', '%2'), ('name', 'test')")
                   .arg(format)
                   .arg(maxZoom);
    bool ok = true;
    for (const QString& statement : sql)
        ok = ok && sqlite3_exec(db, statement.toUtf8().constData(), nullptr, nullptr, nullptr) ==
                       SQLITE_OK;
    // One transaction: a benchmark's file holds a hundred thousand tiles.
    ok = ok && sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO tiles VALUES (?, ?, ?, ?)", -1, &insert, nullptr);
    for (const StoredTile& tile : tiles) {
        sqlite3_bind_int(insert, 1, tile.zoom);
        sqlite3_bind_int(insert, 2, tile.column);
        sqlite3_bind_int(insert, 3, tile.tmsRow);
        sqlite3_bind_blob(insert, 4, tile.data.constData(), int(tile.data.size()),
                          SQLITE_TRANSIENT);
        ok = ok && sqlite3_step(insert) == SQLITE_DONE;
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    ok = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK && ok;
    sqlite3_close(db);
    return ok;
}

} // namespace mbtilesfixture
