// B13: from Render at zoom 16 to a painted 1280 x 800 view of a vector map
// file, beside the same view from a raster map file (made here: PNG tiles of
// a street grid at levels 15 and 16 around the place).
//
//   bench_mapfiles VECTOR.mbtiles LAT LNG    e.g. demo/streets.mbtiles 41.0082 28.9784
// Run headless: QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1
// QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu

#include "bench/map/PageBench.h"
#include "bench/support/BenchSupport.h"
#include "map/browser/MapUrlScheme.h"
#include "map/browser/TWebBrowser.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QtMath>
#include <cstdio>
#include <sqlite3.h>

namespace {

constexpr int runs = 7;

QVariant evaluate(TWebBrowser& browser, const QString& script) {
    QVariant result;
    bool done = false;
    browser.page()->runJavaScript(script, [&](const QVariant& value) {
        result = value;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 10000))
        qFatal("The page did not answer");
    return result;
}

QPoint tileAt(double lat, double lng, int zoom) {
    const double n = 1 << zoom;
    const double x = (lng + 180.0) / 360.0 * n;
    const double latRad = qDegreesToRadians(lat);
    const double y = (1.0 - std::asinh(std::tan(latRad)) / M_PI) / 2.0 * n;
    return {int(x), int(y)};
}

QByteArray gridTilePng() {
    QImage tile(256, 256, QImage::Format_RGB32);
    tile.fill(QColor(0xe8, 0xe3, 0xda));
    QPainter painter(&tile);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0xb8, 0xae, 0x9c), 9));
    painter.drawLine(0, 128, 256, 128);
    painter.drawLine(128, 0, 128, 256);
    painter.setPen(QPen(Qt::white, 7));
    painter.drawLine(0, 128, 256, 128);
    painter.drawLine(128, 0, 128, 256);
    painter.setPen(Qt::black);
    painter.drawText(20, 120, QStringLiteral("Raster Street"));
    painter.end();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    tile.save(&buffer, "PNG");
    return png;
}

void writeRasterFile(const QString& path, double lat, double lng) {
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    sqlite3_exec(db,
                 "CREATE TABLE metadata (name TEXT, value TEXT);"
                 "INSERT INTO metadata VALUES ('format', 'png'), ('minzoom', '15'), "
                 "('maxzoom', '16');"
                 "CREATE TABLE tiles (zoom_level INTEGER, tile_column INTEGER, tile_row INTEGER, "
                 "tile_data BLOB); BEGIN",
                 nullptr, nullptr, nullptr);
    const QByteArray png = gridTilePng();
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO tiles VALUES (?, ?, ?, ?)", -1, &insert, nullptr);
    for (int zoom = 15; zoom <= 16; ++zoom) {
        const QPoint centre = tileAt(lat, lng, zoom);
        for (int dx = -5; dx <= 5; ++dx)
            for (int dy = -4; dy <= 4; ++dy) {
                sqlite3_bind_int(insert, 1, zoom);
                sqlite3_bind_int(insert, 2, centre.x() + dx);
                sqlite3_bind_int(insert, 3, (1 << zoom) - 1 - (centre.y() + dy));
                sqlite3_bind_blob(insert, 4, png.constData(), int(png.size()), SQLITE_STATIC);
                sqlite3_step(insert);
                sqlite3_reset(insert);
            }
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

// The map file's layer has every tile of the view drawn, and a frame after
// that has been painted.
void waitUntilDrawn(TWebBrowser& browser) {
    const QString loading = QStringLiteral(
        "(function () { var m = GMap2.fromContainer(document.getElementById('Canvas')).leaflet_;"
        " var busy = false; m.eachLayer(function (l) { if (l.options && l.options.pane === "
        "'mapfiles' && l.isLoading()) busy = true; }); return busy; })()");
    if (!QTest::qWaitFor([&] { return !evaluate(browser, loading).toBool(); }, 30000))
        qFatal("The map file's tiles did not load");
    bench::waitUntilPainted(browser);
}

// Median over runs of Render at 16 after a view at 15, which the map drops.
double renderMs(TWebBrowser& browser, double lat, double lng) {
    const auto render = [&](int zoom) {
        browser.runScriptCommand(
            QStringLiteral("GoogleMap.Render(%1,%2, %3);").arg(lat).arg(lng).arg(zoom));
        waitUntilDrawn(browser);
    };
    return bench::medianSeconds(
               runs, [&] { render(16); }, [&] { render(15); }) *
           1000.0;
}

} // namespace

int main(int argc, char** argv) {
    registerMapUrlScheme();
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: bench_mapfiles VECTOR.mbtiles LAT LNG\n");
        return 2;
    }
    const QString vectorFile = QString::fromLocal8Bit(argv[1]);
    const double lat = QString::fromLocal8Bit(argv[2]).toDouble();
    const double lng = QString::fromLocal8Bit(argv[3]).toDouble();
    QTemporaryDir dir;
    const QString rasterFile = dir.filePath(QStringLiteral("raster.mbtiles"));
    writeRasterFile(rasterFile, lat, lng);

    // Both pages load before either file is opened, so each draws only its own.
    TWebBrowser vector, raster;
    for (TWebBrowser* browser : {&vector, &raster}) {
        browser->resize(1280, 800);
        browser->show();
    }
    bench::loadMapPage(vector, dir.filePath(QStringLiteral("vector.html")));
    bench::loadMapPage(raster, dir.filePath(QStringLiteral("raster.html")));
    for (const auto& [browser, file] : {std::pair{&vector, vectorFile}, {&raster, rasterFile}}) {
        const QString error = browser->openMapFile(file);
        if (!error.isEmpty())
            qFatal("%s", qPrintable(error));
    }
    const double vectorMs = renderMs(vector, lat, lng);
    const double rasterMs = renderMs(raster, lat, lng);
    std::printf("B13 Render at 16 to painted 1280 x 800, vector file: %.0f ms\n", vectorMs);
    std::printf("   same view, raster file:                       %.0f ms  ratio %.2f\n", rasterMs,
                vectorMs / rasterMs);
    return 0;
}
