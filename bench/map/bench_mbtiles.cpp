// B12: one tile served from an MBTiles file of 100,000+ vector tiles, as the
// map's URL scheme gets it (lookup, y flip, gunzip), beside the bare blob
// lookup by its key through the SQLite C API, and the same tile asked of the
// tile reader's worker thread and answered through the event loop, as the
// scheme now serves it. Per-tile p50 and p99 over random addresses.

#include "map/MbtilesFile.h"
#include "map/TileReader.h"
#include "tests/support/MbtilesFixture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <sqlite3.h>
#include <vector>

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
    return mbtilesfixture::gzip(plain);
}

// 64 bodies taking turns, with the key index tile-making tools add.
void writeFile(const QString& path) {
    std::vector<QByteArray> bodies;
    for (int i = 0; i < 64; ++i)
        bodies.push_back(gzipped(i));
    QList<mbtilesfixture::StoredTile> tiles;
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r)
            tiles.append({zoom, c, r, bodies[std::size_t(c * rows + r) % bodies.size()]});
    sqlite3* db = nullptr;
    if (!mbtilesfixture::writeMbtiles(path, QStringLiteral("pbf"), tiles, zoom) ||
        sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK ||
        sqlite3_exec(db,
                     "CREATE UNIQUE INDEX tile_index ON tiles (zoom_level, tile_column, tile_row)",
                     nullptr, nullptr, nullptr) != SQLITE_OK)
        qFatal("Cannot write %s", qPrintable(path));
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

    TileReader reader;
    reader.add(std::make_unique<MbtilesFile>(path));
    const Percentiles worker = perTile([&](int c, int r) {
        QEventLoop answered;
        reader.read(QStringLiteral("0/%1/%2/%3").arg(zoom).arg(c).arg((1 << zoom) - 1 - r), &app,
                    [&](const TileReader::Reply& reply) {
                        bytes += reply.body.size();
                        answered.quit();
                    });
        answered.exec();
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
    std::printf("   through the worker thread:          p50 %.1f us  p99 %.1f us\n", worker.p50,
                worker.p99);
    std::printf("   (%lld bytes read)\n", bytes);
    return 0;
}
