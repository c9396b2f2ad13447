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
#include "tests/support/MbtilesFixture.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QtMath>
#include <cstdio>

namespace {

constexpr int runs = 7;

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
    const QByteArray png = gridTilePng();
    QList<mbtilesfixture::StoredTile> tiles;
    for (int zoom = 15; zoom <= 16; ++zoom) {
        const QPoint centre = tileAt(lat, lng, zoom);
        for (int dx = -5; dx <= 5; ++dx)
            for (int dy = -4; dy <= 4; ++dy)
                tiles.append({zoom, centre.x() + dx, (1 << zoom) - 1 - (centre.y() + dy), png});
    }
    if (!mbtilesfixture::writeMbtiles(path, QStringLiteral("png"), tiles))
        qFatal("Cannot write %s", qPrintable(path));
}

// The map file's layer has every tile of the view drawn, and a frame after
// that has been painted.
void waitUntilDrawn(TWebBrowser& browser) {
    const QString loading = QStringLiteral(
        "(function () { var m = GMap2.fromContainer(document.getElementById('Canvas')).leaflet_;"
        " var busy = false; m.eachLayer(function (l) { if (l.options && l.options.pane === "
        "'mapfiles' && l.isLoading()) busy = true; }); return busy; })()");
    if (!QTest::qWaitFor([&] { return !bench::evaluate(browser, loading).toBool(); }, 30000))
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
    bench::showMapPage(vector, dir.filePath(QStringLiteral("vector.html")));
    bench::showMapPage(raster, dir.filePath(QStringLiteral("raster.html")));
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
