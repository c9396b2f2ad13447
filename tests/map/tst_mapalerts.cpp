#include "../support/PageScript.h"
#include "map/ScriptCommands.h"
#include "map/browser/MapUrlScheme.h"
#include "map/browser/TWebBrowser.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>

// The alerts on the real page: marked radios and the user's areas, beside
// the runs' own commands.
class TestMapAlerts : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void alertedRadiosAreRingedAndLabelledUntilTheNextList();
    void areasStayWhenTheMapIsCleared();
    void drawnPolygonsAreReadBack();
    void cleanupTestCase();

private:
    QVariant js(const QString& expression) { return evaluateInPage(browser_->page(), expression); }
    int count(const QString& selector) { return countInPage(browser_->page(), selector); }
    void labelRun();

    QTemporaryDir dir_;
    TWebBrowser* browser_ = nullptr;
};

void TestMapAlerts::initTestCase() {
    browser_ = new TWebBrowser;
    browser_->resize(900, 500);
    browser_->show();
    QVERIFY(QTest::qWaitForWindowExposed(browser_));
    loadMapPage(*browser_, dir_.path());
}

// A last-position run's commands as they are sent, two radios far apart.
void TestMapAlerts::labelRun() {
    browser_->runScriptCommands({ScriptCommands::clearScreen(),
                                 ScriptCommands::addMarker("40.0000,29.5000", "a"),
                                 ScriptCommands::labelMarker("7 Ann <b>Lee</b>", "3 min", false),
                                 ScriptCommands::addMarker("40.0100,29.5100", "b"),
                                 ScriptCommands::labelMarker("8 Bo", "stale · 30 min", true),
                                 ScriptCommands::centreOnMarkers("40.0050,29.5050", "14")});
}

void TestMapAlerts::alertedRadiosAreRingedAndLabelledUntilTheNextList() {
    labelRun();
    QTRY_COMPARE(count(".gmap-radio-label"), 2);
    QCOMPARE(count(".gmap-marker-alert"), 0);

    // Marked at once, the title matched literally.
    browser_->runScriptCommand(ScriptCommands::setAlertedRadios({"7 Ann <b>Lee</b>"}));
    QTRY_COMPARE(count("img.gmap-marker-alert"), 1);
    QTRY_COMPARE(js("document.querySelector('.gmap-radio-alert').textContent").toString(),
                 "7 Ann <b>Lee</b>alert · 3 min");

    // The next run's markers keep the mark; the other radio has none.
    labelRun();
    QTRY_COMPARE(count("img.gmap-marker"), 2);
    QTRY_COMPARE(count("img.gmap-marker-alert"), 1);
    QCOMPARE(count(".gmap-radio-alert"), 1);

    // Acknowledged: an empty list takes the marks away.
    browser_->runScriptCommand(ScriptCommands::setAlertedRadios({}));
    QTRY_COMPARE(count("img.gmap-marker-alert"), 0);
    QTRY_COMPARE(count(".gmap-radio-alert"), 0);
    QCOMPARE(count("img.gmap-marker"), 2);
}

void TestMapAlerts::areasStayWhenTheMapIsCleared() {
    browser_->runScriptCommand(ScriptCommands::showAreas(
        R"({"type":"FeatureCollection","features":[)"
        R"({"type":"Feature","properties":{"name":"<i>Yard</i>"},"geometry":{"type":"Polygon",)"
        R"("coordinates":[[[29.5,40],[29.6,40],[29.6,40.1],[29.5,40]]]}},)"
        R"({"type":"Feature","properties":{"name":"Gate","radius":300},)"
        R"("geometry":{"type":"Point","coordinates":[29.7,40.2]}}]})"));
    QTRY_COMPARE(count(".gmap-area"), 2);
    QCOMPARE(count(".gmap-area-name i"), 0);
    QVERIFY(js("Array.from(document.querySelectorAll('.gmap-area-name'))"
               ".map(function (n) { return n.textContent; }).sort().join('|')")
                .toString() == "<i>Yard</i>|Gate");

    browser_->runScriptCommand(ScriptCommands::clearScreen());
    QCOMPARE(count(".gmap-area"), 2);
    browser_->runScriptCommand(
        ScriptCommands::showAreas(R"({"type":"FeatureCollection","features":[]})"));
    QTRY_COMPARE(count(".gmap-area"), 0);
}

void TestMapAlerts::drawnPolygonsAreReadBack() {
    browser_->runScriptCommand(ScriptCommands::clearScreen());
    QCOMPARE(browser_->drawnShapesJson(), QByteArray("[]"));
    // As the drawing tool leaves a finished polygon.
    js("(function () { var map = GMap2.fromContainer(document.getElementById('Canvas'));"
       " map.addOverlay(new GPolygon([new GLatLng(40, 29.5), new GLatLng(40, 29.6),"
       " new GLatLng(40.1, 29.6)])); map.addOverlay(new GPolyline([new GLatLng(1, 1),"
       " new GLatLng(2, 2), new GLatLng(3, 1)])); return true; })()");
    const QJsonArray shapes = QJsonDocument::fromJson(browser_->drawnShapesJson()).array();
    QCOMPARE(shapes.size(), 1);
    QCOMPARE(shapes[0].toArray().size(), 3);
    QCOMPARE(shapes[0].toArray()[2].toArray()[0].toDouble(), 40.1);
}

void TestMapAlerts::cleanupTestCase() {
    delete browser_;
}

int main(int argc, char** argv) {
    registerMapUrlScheme();
    QApplication app(argc, argv);
    TestMapAlerts test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_mapalerts.moc"
