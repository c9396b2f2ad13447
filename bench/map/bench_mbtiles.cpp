// B12: one tile served from an MBTiles file of 100,000+ vector tiles, as the
// map's URL scheme gets it (lookup, y flip, gunzip), beside the bare blob
// lookup by its key through the SQLite C API. Per-tile p50 and p99 over
// random addresses.

#include "map/MbtilesFile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <random>
#include <sqlite3.h>
#include <vector>
#include <zlib.h>

namespace {

constexpr int zoom = 14;
constexpr int columns = 400;
constexpr int rows = 256; // 102,400 tiles

// A body the size of a busy town tile: 8 KB unpacked, about 4 KB packed.
QByteArray gzipped(int seed) {
    std::mt19937 random(seed);
    QByteArray plain;
    for (int i = 0; i < 8000; ++i)
        plain.append(char("roadsname\x1a\x08"[random() % 11]));
    z_stream stream{};
    deflateInit2(&stream, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&stream, plain.size())) + 32, Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef*>(plain.data());
    stream.avail_in = uInt(plain.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return out;
}

void writeFile(const QString& path) {
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    sqlite3_exec(db,
                 "CREATE TABLE metadata (name TEXT, value TEXT);"
                 "INSERT INTO metadata VALUES ('format', 'pbf');"
                 "CREATE TABLE tiles (zoom_level INTEGER, tile_column INTEGER, tile_row INTEGER, "
                 "tile_data BLOB);"
                 "CREATE UNIQUE INDEX tile_index ON tiles (zoom_level, tile_column, tile_row);"
                 "BEGIN",
                 nullptr, nullptr, nullptr);
    std::vector<QByteArray> bodies;
    for (int i = 0; i < 64; ++i)
        bodies.push_back(gzipped(i));
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO tiles VALUES (?, ?, ?, ?)", -1, &insert, nullptr);
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r) {
            const QByteArray& body = bodies[(c * rows + r) % bodies.size()];
            sqlite3_bind_int(insert, 1, zoom);
            sqlite3_bind_int(insert, 2, c);
            sqlite3_bind_int(insert, 3, r);
            sqlite3_bind_blob(insert, 4, body.constData(), int(body.size()), SQLITE_STATIC);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

struct Percentiles {
    double p50;
    double p99;
};

template <typename Work> Percentiles perTile(Work work) {
    std::mt19937 random(7);
    std::vector<double> micros;
    const int samples = 20000;
    micros.reserve(samples);
    for (int i = 0; i < samples; ++i) {
        const int c = int(random() % columns);
        const int r = int(random() % rows);
        QElapsedTimer timer;
        timer.start();
        work(c, r);
        micros.push_back(timer.nsecsElapsed() / 1000.0);
    }
    std::sort(micros.begin(), micros.end());
    return {micros[micros.size() / 2], micros[micros.size() * 99 / 100]};
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : dir.filePath(QStringLiteral("b7.mbtiles"));
    if (!QFile::exists(path))
        writeFile(path);

    const MbtilesFile file(path);
    if (!file.isOpen()) {
        std::fprintf(stderr, "bench_mbtiles: %s\n", qPrintable(file.error()));
        return 1;
    }
    qint64 bytes = 0;
    // The web address's row counts from the top; the file's from the bottom.
    const Percentiles served = perTile([&](int c, int r) {
        bytes += file.tile(zoom, c, (1 << zoom) - 1 - r).value_or(QByteArray()).size();
    });

    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* query = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT tile_data FROM tiles WHERE zoom_level = ?1 AND tile_column = ?2 "
                       "AND tile_row = ?3",
                       -1, &query, nullptr);
    const Percentiles blob = perTile([&](int c, int r) {
        sqlite3_bind_int(query, 1, zoom);
        sqlite3_bind_int(query, 2, c);
        sqlite3_bind_int(query, 3, r);
        if (sqlite3_step(query) == SQLITE_ROW)
            bytes += sqlite3_column_bytes(query, 0) + (sqlite3_column_blob(query, 0) != nullptr);
        sqlite3_reset(query);
    });
    sqlite3_finalize(query);
    sqlite3_close(db);

    std::printf("B12 tile served (lookup + gunzip), %d tiles: p50 %.1f us  p99 %.1f us\n",
                columns * rows, served.p50, served.p99);
    std::printf("   blob by key, SQLite C API:          p50 %.1f us  p99 %.1f us  ratio p50 %.1f\n",
                blob.p50, blob.p99, served.p50 / blob.p50);
    std::printf("   (%lld bytes read)\n", bytes);
    return 0;
}
