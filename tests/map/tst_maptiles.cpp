#include "../support/PageScript.h"
#include "app/AppPaths.h"
#include "map/browser/MapPage.h"
#include "map/browser/MapUrlScheme.h"
#include "map/browser/TWebBrowser.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

// The start-up view with a tile source that answers nothing: the offline
// world map stays visible; deeper than the tiles go, their deepest level is
// enlarged.
// Its own program (and folder), because the INI file is read once, when the
// first browser control is made.
class TestMapTiles : public QObject {
    Q_OBJECT
private slots:
    void failingTilesLeaveTheVectorMap();

private:
    QVariant js(TWebBrowser& browser, const QString& expression);
};

QVariant TestMapTiles::js(TWebBrowser& browser, const QString& expression) {
    return evaluateInPage(browser.page(), expression);
}

void TestMapTiles::failingTilesLeaveTheVectorMap() {
    const QString ini = besideExecutable(QStringLiteral("tavirelmonkas.ini"));
    {
        QFile file(ini);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[General]\r\nGoogleMapKey=\r\n"
                   "TileUrl=\"pelmor://maps.pelmor/no-tiles/{z}/{x}/{y}.png\"\r\n");
    }
    TWebBrowser browser;
    QFile::remove(ini);
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

    QCOMPARE(js(browser, "G_MAP_TILES.url").toString(),
             QStringLiteral("pelmor://maps.pelmor/no-tiles/{z}/{x}/{y}.png"));
    QTRY_VERIFY(js(browser, "document.querySelectorAll('img.leaflet-tile').length").toInt() > 0);
    QTest::qWait(800);
    QCOMPARE(js(browser, "document.querySelectorAll('img.leaflet-tile-loaded').length").toInt(), 0);

    // At zoom 1 around (40.49, 29.17) in an 880 x 480 map: the middle of the
    // Atlantic is sea, Libya is land.
    const QImage shot = browser.grab().toImage();
    const auto pixel = [&](double lat, double lng) {
        const QVariantList xy =
            js(browser,
               QStringLiteral("(function () { var m = GMap2.fromContainer(document."
                              "getElementById('Canvas')); var p = m.fromLatLngToContainerPixel("
                              "new GLatLng(%1, %2)); var r = document.getElementById('Canvas')"
                              ".getBoundingClientRect(); return [r.left + p.x, r.top + p.y]; })()")
                   .arg(lat)
                   .arg(lng))
                .toList();
        return shot.pixelColor(qRound(xy.value(0).toDouble()), qRound(xy.value(1).toDouble()));
    };
    QCOMPARE(pixel(33.0, -45.0), QColor(0xaa, 0xd3, 0xdf));
    QCOMPARE(pixel(27.0, 17.0), QColor(0xf2, 0xef, 0xe4));
    // Land that crosses the 180th meridian draws no band around the world.
    QCOMPARE(pixel(67.0, -5.0), QColor(0xaa, 0xd3, 0xdf));

    // Deeper than tile servers go, the map shows their level-19 tiles enlarged.
    browser.runScriptCommand(QStringLiteral("GoogleMap.Render(40.49,29.17, 21);"));
    QCOMPARE(
        js(browser, "GMap2.fromContainer(document.getElementById('Canvas')).getZoom()").toInt(),
        21);
    QTRY_COMPARE(js(browser, "Array.from(new Set(Array.from(document.querySelectorAll("
                             "'img.leaflet-tile'), function (t) { return t.src.split('/')"
                             ".slice(-3)[0]; }))).join()")
                     .toString(),
                 QStringLiteral("19"));
}

int main(int argc, char** argv) {
    registerMapUrlScheme();
    QApplication app(argc, argv);
    TestMapTiles test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_maptiles.moc"
