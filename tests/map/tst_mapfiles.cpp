#include "../support/MbtilesFixture.h"
#include "../support/PageScript.h"
#include "app/AppPaths.h"
#include "map/browser/MapPage.h"
#include "map/browser/MapUrlScheme.h"
#include "map/browser/TWebBrowser.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtMath>

using namespace mbtilesfixture;

// The real page drawing a map file of vector tiles named in the INI file,
// beside one that cannot be opened, then a raster file opened on the way. Its own program (and
// folder), because the INI file is read once, when the first browser control is made.
class TestMapFiles : public QObject {
    Q_OBJECT
private slots:
    void drawsStreetsAndNamesOfAVectorFile();

private:
    QVariant js(TWebBrowser& browser, const QString& expression);
};

QVariant TestMapFiles::js(TWebBrowser& browser, const QString& expression) {
    return evaluateInPage(browser.page(), expression);
}

namespace {

constexpr int zoom = 16;
constexpr int column = 36854; // a tile near (40.49, 22.44)
constexpr int row = 24647;

double tileCentreLng() {
    return (column + 0.5) / (1 << zoom) * 360.0 - 180.0;
}

double tileCentreLat() {
    return qRadiansToDegrees(std::atan(std::sinh(M_PI * (1.0 - 2.0 * (row + 0.5) / (1 << zoom)))));
}

bool near(const QColor& a, const QColor& b) {
    return qAbs(a.red() - b.red()) <= 6 && qAbs(a.green() - b.green()) <= 6 &&
           qAbs(a.blue() - b.blue()) <= 6;
}

} // namespace

void TestMapFiles::drawsStreetsAndNamesOfAVectorFile() {
    const QString streets = besideExecutable(QStringLiteral("streets.mbtiles"));
    QFile::remove(streets);
    // Beside the street's tile, one that is not protobuf, one whose gzip is
    // cut short and two that unpack to 64 MiB: the page goes on without
    // them, and the refused ones are reported once.
    const int tmsRow = (1 << zoom) - 1 - row;
    const QByteArray bomb = gzippedZeros(64 * 1024 * 1024);
    QVERIFY(writeMbtiles(streets, QStringLiteral("pbf"),
                         {{zoom, column, tmsRow, gzip(streetTile("Long Street"))},
                          {zoom, column - 1, tmsRow, QByteArray("\xff\xff\xff not a tile")},
                          {zoom, column + 1, tmsRow, gzip(streetTile("Short Street")).left(30)},
                          {zoom, column - 2, tmsRow, bomb},
                          {zoom, column + 2, tmsRow, bomb}},
                         zoom));
    const QString broken = besideExecutable(QStringLiteral("broken.mbtiles"));
    {
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a database at all");
    }
    const QString ini = besideExecutable(QStringLiteral("tavirelmonkas.ini"));
    {
        QFile file(ini);
        QVERIFY(file.open(QIODevice::WriteOnly));
        // The last climbs above the root, where the system stops.
        file.write("[General]\r\nGoogleMapKey=\r\nMapFile=streets.mbtiles; broken.mbtiles; " +
                   QByteArray("../").repeated(40) + "nowhere.mbtiles\r\n");
    }
    TWebBrowser browser;
    QSignalSpy refused(&browser, &TWebBrowser::mapTileRefused);
    QFile::remove(ini);
    const QStringList errors = browser.takeMapFileErrors();
    QVERIFY2(errors.size() == 2, qPrintable(errors.join(QLatin1Char('\n'))));
    QVERIFY2(errors[0].contains(QStringLiteral("broken.mbtiles")) &&
                 errors[0].contains(QStringLiteral("not an SQLite database")),
             qPrintable(errors[0]));
    QCOMPARE(errors[1], QStringLiteral("/nowhere.mbtiles: the file does not exist"));
    QVERIFY(browser.takeMapFileErrors().isEmpty());

    browser.resize(900, 500);
    browser.show();
    QVERIFY(QTest::qWaitForWindowExposed(&browser));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pelmormapsview.html"));
    for (const QString& line : mapPageLines(QString(), browser.width(), browser.height()))
        appendPageLine(path, line);
    browser.navigate(path);
    waitUntilInteractive(browser);
    QTRY_COMPARE(browser.readyState(), 4);
    browser.runScriptCommand(QStringLiteral("GoogleMap.Render(%1,%2, %3);")
                                 .arg(tileCentreLat(), 0, 'f', 8)
                                 .arg(tileCentreLng(), 0, 'f', 8)
                                 .arg(zoom));
    QTRY_VERIFY_WITH_TIMEOUT(
        js(browser, "document.querySelectorAll('.leaflet-pane canvas').length").toInt() > 0, 10000);

    const QVariantList centre =
        js(browser,
           QStringLiteral("(function () { var m = GMap2.fromContainer(document.getElementById("
                          "'Canvas')); var p = m.fromLatLngToContainerPixel(new GLatLng(%1, %2)); "
                          "var r = document.getElementById('Canvas').getBoundingClientRect(); "
                          "return [r.left + p.x, r.top + p.y]; })()")
               .arg(tileCentreLat(), 0, 'f', 8)
               .arg(tileCentreLng(), 0, 'f', 8))
            .toList();
    const int x0 = qRound(centre.value(0).toDouble());
    const int y0 = qRound(centre.value(1).toDouble());

    // The street crosses the tile's middle in the primary road's colour; the
    // land above it is not road; its name is drawn in dark letters on it.
    const QColor roadFill(0xfc, 0xd6, 0x8a);
    const auto streetDrawn = [&](const QImage& shot) {
        int road = 0, letters = 0;
        for (int x = x0 - 120; x <= x0 + 120; ++x) {
            road += near(shot.pixelColor(x, y0), roadFill);
            for (int y = y0 - 6; y <= y0 + 6; ++y)
                letters += shot.pixelColor(x, y).lightness() < 80;
        }
        return road > 40 && letters > 20 && !near(shot.pixelColor(x0, y0 - 40), roadFill);
    };
    QImage shot;
    const bool drawn = QTest::qWaitFor(
        [&] {
            shot = browser.grab().toImage();
            return streetDrawn(shot);
        },
        15000);
    const QString shotPath = besideExecutable(QStringLiteral("mapfile-view.png"));
    shot.save(shotPath);
    QVERIFY2(drawn, qPrintable(QStringLiteral("no street drawn; see ") + shotPath));
    QTRY_COMPARE(refused.size(), 1);
    QVERIFY2(refused[0][0].toString().startsWith(streets + QStringLiteral(": a tile is larger")),
             qPrintable(refused[0][0].toString()));

    // Everything the page asked for came from the program's own scheme or
    // the page file itself.
    QCOMPARE(js(browser, "performance.getEntriesByType('resource').filter(function (e) { "
                         "return !/^(pelmor|file):/.test(e.name); }).length")
                 .toInt(),
             0);

    // File > Open Map File… for the session: a raster file's tile north of
    // the street is drawn at once over the vector map; a missing file is
    // named with the reason and changes nothing.
    QImage red(256, 256, QImage::Format_RGB32);
    red.fill(QColor(0xd0, 0x20, 0x20));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    red.save(&buffer, "PNG");
    const QString raster = dir.filePath(QStringLiteral("raster.mbtiles"));
    QVERIFY(writeMbtiles(raster, QStringLiteral("png"), {{zoom, column, (1 << zoom) - row, png}},
                         zoom));
    const QString missing = dir.filePath(QStringLiteral("gone.mbtiles"));
    const QString error = browser.openMapFile(missing);
    QVERIFY2(error.contains(QStringLiteral("gone.mbtiles")) &&
                 error.contains(QStringLiteral("does not exist")),
             qPrintable(error));
    QCOMPARE(browser.openMapFile(raster), QString());
    QVERIFY(QTest::qWaitFor(
        [&] {
            shot = browser.grab().toImage();
            return shot.pixelColor(x0, y0 - 192) == QColor(0xd0, 0x20, 0x20) && streetDrawn(shot);
        },
        10000));
    QFile::remove(streets);
    QFile::remove(broken);
}

int main(int argc, char** argv) {
    registerMapUrlScheme();
    QApplication app(argc, argv);
    TestMapFiles test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mapfiles.moc"
