#include "app/AppPaths.h"
#include "app/Error.h"
#include "map/ScriptCommands.h"
#include "map/browser/MapPage.h"
#include "map/browser/MapUrlScheme.h"
#include "map/browser/TApplicationWrapper.h"
#include "map/browser/TWebBrowser.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QLocale>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestInterceptor>
#include <csignal>

namespace {

// Every address the engine asks for, so that a test can tell that nothing
// went to the network.
class RequestLog : public QWebEngineUrlRequestInterceptor {
public:
    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        urls.append(info.requestUrl());
    }
    QList<QUrl> urls;
};

const QString mapJs = QStringLiteral("GMap2.fromContainer(document.getElementById('Canvas'))");

} // namespace

class TestMapView : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void baseMapShowsLandSeaAndControlsOffline();
    void colourCycle();
    void shapeThenLineColoursAndRecolouringClick();
    void drawingEndsByDoubleClickAndLabelsMeasure();
    void clickOnVertexDeletesIt();
    void markerClickReportsMarkerOnly();
    void draggedMarkerReportsItsNewPosition();
    void mapClickText_data();
    void mapClickText();
    void drawline_data();
    void drawline();
    void clearscreenRemovesEveryOverlay();
    void markerLabelShowsTextLiterally_data();
    void markerLabelShowsTextLiterally();
    void labelSitsBesideItsPinAndGoesWithIt();
    void staleLabelIsGreyed();
    void keptRadiosMoveInPlaceAndLeaveTheView();
    void fitMarkersShowsEveryMarker();
    void replayMovesItsRadiosInPlaceAndGivesBackTheLiveView();
    void smallMapControlOnlyOnce();
    void placeMarkerPlacesExactlyOne();
    void failingCommandRaisesPageMessage_data();
    void failingCommandRaisesPageMessage();
    void renderZoomsTo_data();
    void renderZoomsTo();
    void batchStopsAtFailingCommand();
    void findGeoCode();
    void commandWithoutPage();
    void commandDuringLoadWaitsForTheMap();
    void renderProcessCrash();

private:
    void loadPage(TWebBrowser& browser);
    QVariant js(const QString& expression);
    QPoint pixelOf(double lat, double lng);
    QPoint elementCentre(const QString& selector);
    void click(QPoint at);
    void doubleClick(QPoint at);
    void moveTo(QPoint at);
    QStringList statusTexts(const std::function<void()>& action);
    int count(const QString& selector);

    QTemporaryDir dir_;
    TWebBrowser* browser_ = nullptr;
    RequestLog requests_;
};

void TestMapView::initTestCase() {
    QWebEngineProfile::defaultProfile()->setUrlRequestInterceptor(&requests_);
    browser_ = new TWebBrowser;
    browser_->resize(900, 500);
    browser_->show();
    QVERIFY(QTest::qWaitForWindowExposed(browser_));
}

void TestMapView::init() {
    QLocale::setDefault(QLocale::c());
    loadPage(*browser_);
}

void TestMapView::cleanup() {
    QLocale::setDefault(QLocale::c());
}

// What the main window's page generator does, then until the map exists.
void TestMapView::loadPage(TWebBrowser& browser) {
    const QString path = dir_.filePath(QStringLiteral("pelmormapsview.html"));
    startPageFile(path);
    for (const QString& line : mapPageLines(QString(), browser.width(), browser.height()))
        appendPageLine(path, line);
    browser.navigate(path);
    waitUntilInteractive(browser);
    QVERIFY(browser.readyState() >= 3);
    QTRY_COMPARE(browser.readyState(), 4);
    if (&browser == browser_)
        QTRY_VERIFY(js(mapJs + QStringLiteral(" !== null")).toBool());
}

QVariant TestMapView::js(const QString& expression) {
    QVariant result;
    bool done = false;
    browser_->page()->runJavaScript(expression, [&](const QVariant& value) {
        result = value;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 10000))
        qWarning("no answer from the page to %s", qPrintable(expression));
    return result;
}

QPoint TestMapView::pixelOf(double lat, double lng) {
    const QVariantList xy =
        js(QStringLiteral("(function () { var p = %1.fromLatLngToContainerPixel(new GLatLng(%2, "
                          "%3)); var r = document.getElementById('Canvas')"
                          ".getBoundingClientRect(); return [r.left + p.x, r.top + p.y]; })()")
               .arg(mapJs)
               .arg(lat)
               .arg(lng))
            .toList();
    return QPoint(qRound(xy.value(0).toDouble()), qRound(xy.value(1).toDouble()));
}

QPoint TestMapView::elementCentre(const QString& selector) {
    const QVariantList xy =
        js(QStringLiteral("(function () { var r = document.querySelector(\"%1\")"
                          ".getBoundingClientRect(); return [r.left + r.width / 2, r.top + "
                          "r.height / 2]; })()")
               .arg(selector))
            .toList();
    return QPoint(qRound(xy.value(0).toDouble()), qRound(xy.value(1).toDouble()));
}

// Real input through the view, so that the engine and Leaflet see what a
// user's mouse would produce.
void TestMapView::click(QPoint at) {
    QWidget* target = browser_->focusProxy();
    QTest::mouseMove(target, at);
    QTest::qWait(30);
    QTest::mouseClick(target, Qt::LeftButton, {}, at);
    QTest::qWait(350);
}

void TestMapView::doubleClick(QPoint at) {
    QWidget* target = browser_->focusProxy();
    QTest::mouseMove(target, at);
    QTest::mouseClick(target, Qt::LeftButton, {}, at);
    QTest::mouseDClick(target, Qt::LeftButton, {}, at);
    QTest::qWait(350);
}

void TestMapView::moveTo(QPoint at) {
    QTest::mouseMove(browser_->focusProxy(), at);
    QTest::qWait(100);
}

// The status texts that the action makes the page report, once its calls
// have come through the channel.
QStringList TestMapView::statusTexts(const std::function<void()>& action) {
    QSignalSpy spy(browser_->external(), &TApplicationWrapper::statusReported);
    action();
    QTest::qWait(300);
    QStringList texts;
    for (const QList<QVariant>& arguments : spy)
        texts.append(arguments.at(0).toString());
    return texts;
}

int TestMapView::count(const QString& selector) {
    return js(QStringLiteral("document.querySelectorAll(\"%1\").length").arg(selector)).toInt();
}

// The scene of the README screenshot: markers with an open information
// window, a route and a measured shape over the offline world map.
void TestMapView::baseMapShowsLandSeaAndControlsOffline() {
    loadPage(*browser_);
    QStringList commands;
    const QList<QPointF> radios = {{41.0082, 28.9784}, {39.9334, 32.8597}, {38.4237, 27.1428}};
    for (int i = 0; i < radios.size(); ++i)
        commands.append(QStringLiteral("GoogleMap.AddMarker(%1,%2, \"<div id=\\\"infowindowdiv\\\">"
                                       "<b>Radio %3</b><br>Station 1<br>01.05.2024 12:00</div>\", "
                                       "false);")
                            .arg(radios[i].x())
                            .arg(radios[i].y())
                            .arg(101 + i));
    commands.append(QStringLiteral("GoogleMap.initline();"));
    for (const QPointF& radio : radios)
        commands.append(QStringLiteral("GoogleMap.fillline(%1,%2);").arg(radio.x()).arg(radio.y()));
    commands.append(QStringLiteral("GoogleMap.drawline();"));
    commands.append(QStringLiteral("GoogleMap.Render(39.8,31, 6);"));
    browser_->runScriptCommands(commands);
    browser_->runScriptCommand(QStringLiteral("GoogleMap.startShape();"));
    for (const QPointF& corner : QList<QPointF>{{38.6, 33.6}, {38.6, 35.6}, {37.4, 35.0}})
        click(pixelOf(corner.x(), corner.y()));
    click(pixelOf(38.6, 33.6));
    moveTo({850, 450});
    click(pixelOf(39.9334, 32.8597) - QPoint(0, 20));
    QTest::qWait(800);
    const QImage shot = browser_->grab().toImage();
    shot.save(dir_.filePath(QStringLiteral("map.png"))); // to look at, beside the page

    // Sea and land differ where the map shows the Black Sea and Anatolia.
    QCOMPARE(shot.pixelColor(pixelOf(42.5, 35.0)), QColor(0xaa, 0xd3, 0xdf));
    QCOMPARE(shot.pixelColor(pixelOf(39.2, 29.5)), QColor(0xf2, 0xef, 0xe4));
    const QColor route =
        shot.pixelColor((pixelOf(39.9334, 32.8597) + pixelOf(38.4237, 27.1428)) / 2);
    QVERIFY2(route.red() > 200 && route.green() < 140 && route.blue() < 140,
             qPrintable(route.name()));
    QCOMPARE(count(".gmap-large-map-control"), 1);
    QCOMPARE(count("img.gmap-marker"), 3);
    QCOMPARE(js("document.querySelector('img.gmap-marker').naturalWidth").toInt(), 32);
    QCOMPARE(js("document.querySelector('.leaflet-popup b').textContent").toString(),
             QStringLiteral("Radio 102"));

    for (const QUrl& url : requests_.urls)
        QVERIFY2(url.scheme() == QLatin1String("file") || url.scheme() == mapSchemeName() ||
                     url.scheme() == QLatin1String("data"),
                 qPrintable(url.toString()));
    QVERIFY(requests_.urls.contains(
        QUrl(QStringLiteral("pelmor://maps.pelmor/maps?file=api&v=2&sensor=true&key="))));
}

void TestMapView::colourCycle() {
    QStringList codes;
    for (int i = 0; i < 6; ++i)
        codes.append(js("GoogleMap.getColor(false)").toString());
    QCOMPARE(codes,
             QStringList({"#ff0000", "#ff8800", "#008000", "#000080", "#800080", "#ff0000"}));

    // Names come from the same shared position in the cycle.
    QStringList names;
    for (int i = 0; i < 5; ++i)
        names.append(js("GoogleMap.getColor(true)").toString());
    QCOMPARE(names, QStringList({"orange", "green", "blue", "purple", "red"}));
}

void TestMapView::shapeThenLineColoursAndRecolouringClick() {
    browser_->runScriptCommand(QStringLiteral("GoogleMap.startShape();"));
    const QList<QPoint> corners = {{300, 150}, {500, 150}, {400, 300}};
    for (const QPoint& corner : corners)
        click(corner);
    click(corners.last());
    browser_->runScriptCommand(QStringLiteral("GoogleMap.startLine();"));
    click({600, 100});
    click({700, 200});
    click({700, 200});

    QCOMPARE(js("document.querySelector('path.gmap-polygon').getAttribute('stroke')").toString(),
             QStringLiteral("#ff0000"));
    QCOMPARE(js("document.querySelector('path.gmap-polygon').getAttribute('fill')").toString(),
             QStringLiteral("#ff0000"));
    QCOMPARE(js("document.querySelector('path.gmap-polyline').getAttribute('stroke')").toString(),
             QStringLiteral("#ff8800"));

    click({400, 190});
    QCOMPARE(js("document.querySelector('path.gmap-polygon').getAttribute('stroke')").toString(),
             QStringLiteral("#008000"));
    QCOMPARE(
        js("document.querySelector('path.gmap-polygon').getAttribute('stroke-width')").toString(),
        QStringLiteral("4"));
    QCOMPARE(js("document.querySelector('path.gmap-polygon').getAttribute('fill')").toString(),
             QStringLiteral("#ff0000"));
    QCOMPARE(js(mapJs + ".getOverlays()[0].getVertexCount()").toInt(), 3);
}

void TestMapView::drawingEndsByDoubleClickAndLabelsMeasure() {
    browser_->runScriptCommand(QStringLiteral("GoogleMap.Render(40,30, 6);"));
    browser_->runScriptCommand(QStringLiteral("GoogleMap.startLine();"));
    click(pixelOf(40.0, 29.0));
    QCOMPARE(js("document.querySelector('.gmap-label').textContent").toString(),
             QStringLiteral("Line 1 0km"));
    doubleClick(pixelOf(40.0, 30.0));
    QCOMPARE(js(mapJs + ".getOverlays()[0].getVertexCount()").toInt(), 2);

    // The drawing has ended: a further map click adds nothing.
    click(pixelOf(41.0, 30.0));
    QCOMPARE(js(mapJs + ".getOverlays()[0].getVertexCount()").toInt(), 2);
    const double length = js(mapJs + ".getOverlays()[0].getLength()").toDouble();
    QVERIFY2(qAbs(length - 85393) < 1200, qPrintable(QString::number(length)));
    QCOMPARE(js("document.querySelector('.gmap-label').innerHTML").toString(),
             QStringLiteral("<div><b style=\"color: rgb(255, 0, 0);\">Line 1</b> "
                            "<span>%1km</span></div>")
                 .arg(qRound(length / 10) / 100.0));

    browser_->runScriptCommand(QStringLiteral("GoogleMap.startShape();"));
    click(pixelOf(40.5, 29.0));
    click(pixelOf(40.5, 30.0));
    click(pixelOf(41.0, 30.0));
    click(pixelOf(40.5, 29.0));
    const QString shape = js("document.querySelectorAll('.gmap-label')[1].innerHTML").toString();
    const double area = js(mapJs + ".getOverlays()[1].getArea()").toDouble();
    QCOMPARE(shape, QStringLiteral("<div><b style=\"color: rgb(255, 136, 0);\">Shape 1</b> "
                                   "<span>%1km<sup>2</sup></span></div>")
                        .arg(qRound(area / 10000) / 100.0));
    QVERIFY2(qAbs(area - 2.35e9) < 0.05e9, qPrintable(QString::number(area)));
}

void TestMapView::clickOnVertexDeletesIt() {
    browser_->runScriptCommand(QStringLiteral("GoogleMap.startShape();"));
    const QList<QPoint> corners = {{300, 150}, {500, 150}, {500, 350}, {300, 350}};
    for (const QPoint& corner : corners)
        click(corner);
    click(corners.first());
    const QString before = js("document.querySelector('.gmap-label span').innerHTML").toString();
    QCOMPARE(js(mapJs + ".getOverlays()[0].getVertexCount()").toInt(), 4);

    moveTo({400, 250});
    QTRY_COMPARE(count(".gmap-vertex"), 4);
    click({500, 350});
    QCOMPARE(js(mapJs + ".getOverlays()[0].getVertexCount()").toInt(), 3);
    // The measurement follows the edit: a triangle of half the area.
    const QString after = js("document.querySelector('.gmap-label span').innerHTML").toString();
    QVERIFY2(after != before, qPrintable(after));
    QCOMPARE(js("document.querySelector('path.gmap-polygon').getAttribute('stroke')").toString(),
             QStringLiteral("#ff0000"));

    moveTo({850, 450});
    QTRY_COMPARE(count(".gmap-vertex"), 0);
}

void TestMapView::markerClickReportsMarkerOnly() {
    browser_->runScriptCommands({QStringLiteral("GoogleMap.AddMarker(40.5,29.25, "
                                                "\"<b id=\\\"bubble\\\">Radio 7</b>\", false);"),
                                 QStringLiteral("GoogleMap.Render(40.5,29.25,6);")});
    const QPoint anchor = pixelOf(40.5, 29.25);
    QStringList texts = statusTexts([&] { click(anchor - QPoint(0, 20)); });
    QCOMPARE(texts, QStringList{QStringLiteral("Marker Clicked. Lat:40.5 / Lng:29.25")});
    QCOMPARE(js("document.querySelector('.leaflet-popup #bubble').textContent").toString(),
             QStringLiteral("Radio 7"));

    texts = statusTexts([&] { click(anchor + QPoint(-200, 100)); });
    QCOMPARE(texts.size(), 1);
    QVERIFY2(texts.first().startsWith(QLatin1String("Map Clicked. Lat:")),
             qPrintable(texts.first()));
}

void TestMapView::draggedMarkerReportsItsNewPosition() {
    browser_->runScriptCommands({QStringLiteral("GoogleMap.AddMarker(40.5,29.25, "
                                                "\"<b id=\\\"bubble\\\">Radio 8</b>\", true);"),
                                 QStringLiteral("GoogleMap.Render(40.5,29.25,6);")});
    const QPoint from = pixelOf(40.5, 29.25) - QPoint(0, 20);
    QWidget* target = browser_->focusProxy();
    QTest::mouseMove(target, from);
    QTest::mousePress(target, Qt::LeftButton, {}, from);
    for (int step = 1; step <= 10; ++step) {
        QTest::mouseMove(target, from + QPoint(10 * step, 5 * step));
        QTest::qWait(20);
    }
    QTest::mouseRelease(target, Qt::LeftButton, {}, from + QPoint(100, 50));
    QTest::qWait(300);

    const QVariantList dragged =
        js(mapJs + ".getOverlays().map(function (m) { var p = m.getLatLng(); "
                   "return [p.lat(), p.lng()]; })[0]")
            .toList();
    QVERIFY2(dragged.value(0).toDouble() < 40.0 && dragged.value(1).toDouble() > 29.5,
             qPrintable(QString::number(dragged.value(0).toDouble())));
    const QStringList texts = statusTexts([&] { click(from + QPoint(100, 50)); });
    QCOMPARE(texts.size(), 1);
    QVERIFY2(
        texts.first().startsWith(
            QStringLiteral("Marker Clicked. Lat:%1").arg(dragged.value(0).toDouble(), 0, 'f', 3)),
        qPrintable(texts.first()));
    // The window still opens where the marker was first put.
    QCOMPARE(js("[document.querySelector('.leaflet-popup #bubble').textContent, " + mapJs +
                ".infoWindow_.getLatLng().lat, " + mapJs + ".infoWindow_.getLatLng().lng]")
                 .toList(),
             QVariantList({QStringLiteral("Radio 8"), 40.5, 29.25}));
}

void TestMapView::mapClickText_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::newRow("point") << "en_US"
                           << "Map Clicked. Lat:40.5 / Lng:29.25";
    QTest::newRow("comma") << "tr_TR"
                           << "Map Clicked. Lat:40,5 / Lng:29,25";
}

void TestMapView::mapClickText() {
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QLocale::setDefault(QLocale(locale));
    const QStringList texts = statusTexts([&] {
        js(QStringLiteral("GEvent.trigger(%1, 'click', null, new GLatLng(40.5, 29.25))")
               .arg(mapJs));
    });
    QCOMPARE(texts, QStringList{text});
}

void TestMapView::drawline_data() {
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QList<int>>("vertexCounts");

    QTest::newRow("no points") << QStringList{"GoogleMap.initline();", "GoogleMap.drawline();"}
                               << QList<int>{0};
    QTest::newRow("twice without initline")
        << QStringList{"GoogleMap.initline();", "GoogleMap.fillline(40.1,29.1);",
                       "GoogleMap.fillline(40.2,29.3);", "GoogleMap.drawline();",
                       "GoogleMap.drawline();"}
        << QList<int>{2, 2};
    QTest::newRow("fillline after drawline extends the list")
        << QStringList{"GoogleMap.initline();", "GoogleMap.fillline(40.1,29.1);",
                       "GoogleMap.drawline();", "GoogleMap.fillline(40.2,29.3);",
                       "GoogleMap.drawline();"}
        << QList<int>{1, 2};
    QTest::newRow("drawline without any initline")
        << QStringList{"GoogleMap.drawline();"} << QList<int>{0};
}

void TestMapView::drawline() {
    QFETCH(QStringList, commands);
    QFETCH(QList<int>, vertexCounts);
    browser_->runScriptCommands(commands);
    QList<int> counts;
    for (const QVariant& n :
         js(mapJs + ".getOverlays().map(function (o) { return o.getVertexCount(); })").toList())
        counts.append(n.toInt());
    QCOMPARE(counts, vertexCounts);
    QCOMPARE(count("path.gmap-polyline"), vertexCounts.size());
    for (int i = 0; i < vertexCounts.size(); ++i) {
        const QString path =
            QStringLiteral("document.querySelectorAll('path.gmap-polyline')[%1]").arg(i);
        QCOMPARE(js(path + ".getAttribute('stroke')").toString(), QStringLiteral("#ff0000"));
        QCOMPARE(js(path + ".getAttribute('stroke-width')").toString(), QStringLiteral("5"));
        QCOMPARE(js(path + ".getAttribute('stroke-opacity')").toString(), QStringLiteral("0.7"));
    }
}

void TestMapView::clearscreenRemovesEveryOverlay() {
    browser_->runScriptCommands({"GoogleMap.AddMarker(40.5,29.25, \"one\", false);",
                                 "GoogleMap.AddMarker(41,30, \"two\", true);",
                                 "GoogleMap.initline();", "GoogleMap.fillline(40.1,29.1);",
                                 "GoogleMap.fillline(40.2,29.3);", "GoogleMap.drawline();",
                                 "GoogleMap.OpenInfoWindow(40,29,\"note\");",
                                 "GoogleMap.startShape();"});
    click({300, 150});
    click({500, 150});
    QCOMPARE(count("img.gmap-marker"), 2);
    QCOMPARE(count(".gmap-label"), 1);

    browser_->runScriptCommand(QStringLiteral("GoogleMap.clearscreen();"));
    QCOMPARE(count("img.gmap-marker"), 0);
    QCOMPARE(count("path.gmap-polyline, path.gmap-polygon"), 0);
    QTRY_COMPARE(count(".gmap-label, .gmap-vertex, .leaflet-popup"), 0);
    QCOMPARE(js(mapJs + ".getOverlays().length").toInt(), 0);

    // The colour cycle goes on where it stood: the shape took red.
    QCOMPARE(js("GoogleMap.getColor(true)").toString(), QStringLiteral("orange"));
}

void TestMapView::markerLabelShowsTextLiterally_data() {
    QTest::addColumn<QString>("title");
    QTest::newRow("plain") << "7 Ann Lee";
    QTest::newRow("markup") << "7 <img src=x onerror=\"window.injected=1\"><b>Ann</b>";
    QTest::newRow("quotes and backslashes") << "7 'Ann' \"Lee\" \\ \\\" end";
    QTest::newRow("line breaks") << "7 Ann\nLee\r\n\u2028x";
    QTest::newRow("10,000 characters") << "7 " + QString(10000, u'x');
}

// Sent as the view sends them; the label box stays small, and a title too
// long for it ends in an ellipsis.
void TestMapView::markerLabelShowsTextLiterally() {
    QFETCH(QString, title);
    browser_->runScriptCommands(
        {"GoogleMap.AddMarker(40.5,29.25, \"one\", false);",
         ScriptCommands::labelMarker(title, "in 5 min (clock ahead)", false),
         "GoogleMap.Render(40.5,29.25,6);"});
    QTRY_COMPARE(count(".leaflet-tooltip.gmap-radio-label"), 1);
    QCOMPARE(js("document.querySelector('.gmap-radio-title').textContent").toString(), title);
    QCOMPARE(js("document.querySelector('.gmap-radio-age').textContent").toString(),
             QStringLiteral("in 5 min (clock ahead)"));
    QVERIFY(!js("window.injected === 1").toBool());
    QCOMPARE(count(".gmap-radio-label img, .gmap-radio-label b"), 0);
    QVERIFY(js("document.querySelector('.gmap-radio-label').offsetWidth").toInt() <= 240);
    QCOMPARE(
        js("getComputedStyle(document.querySelector('.gmap-radio-title')).textOverflow").toString(),
        QStringLiteral("ellipsis"));
}

void TestMapView::labelSitsBesideItsPinAndGoesWithIt() {
    browser_->runScriptCommands({"GoogleMap.LabelMarker(\"before any marker\", \"now\");",
                                 "GoogleMap.AddMarker(40.5,29.25, \"one\", false);",
                                 "GoogleMap.LabelMarker(\"7 Ann\", \"now\");",
                                 "GoogleMap.AddMarker(41,33, \"two\", false);",
                                 "GoogleMap.LabelMarker(\"12 Bob\", \"3 min\");",
                                 "GoogleMap.Render(40.5,29.25,6);"});
    QTRY_COMPARE(count(".gmap-radio-label"), 2);
    // Each label right of its own pin, clear of it.
    const QVariantList gap =
        js("Array.from(document.querySelectorAll('img.gmap-marker')).map(function (pin, i) {"
           "  var label = "
           "document.querySelectorAll('.gmap-radio-label')[i].getBoundingClientRect();"
           "  return label.left - pin.getBoundingClientRect().right; })")
            .toList();
    QCOMPARE(gap.size(), 2);
    for (const QVariant& pixels : gap)
        QVERIFY2(pixels.toDouble() >= 0 && pixels.toDouble() < 20, qPrintable(pixels.toString()));
    QCOMPARE(js("document.querySelectorAll('.gmap-radio-title')[1].textContent").toString(),
             QStringLiteral("12 Bob"));
    browser_->runScriptCommand(QStringLiteral("GoogleMap.clearscreen();"));
    QTRY_COMPARE(count(".gmap-radio-label"), 0);
}

void TestMapView::staleLabelIsGreyed() {
    browser_->runScriptCommands({"GoogleMap.AddMarker(40.5,29.25, \"one\", false);",
                                 ScriptCommands::labelMarker("7 Ann", "3 min", false),
                                 "GoogleMap.AddMarker(41,33, \"two\", false);",
                                 ScriptCommands::labelMarker("12 Bob", "stale 2 h", true),
                                 "GoogleMap.Render(40.5,29.25,6);"});
    QTRY_COMPARE(count(".gmap-radio-label"), 2);
    QCOMPARE(count(".gmap-radio-label.gmap-radio-stale"), 1);
    const QString colours =
        js("Array.from(document.querySelectorAll('.gmap-radio-label')).map(function (l) {"
           " return getComputedStyle(l).backgroundColor + '/' + getComputedStyle(l).color; })"
           ".join(' ')")
            .toString();
    QCOMPARE(colours, QStringLiteral("rgba(255, 255, 255, 0.92)/rgb(26, 26, 26) "
                                     "rgba(225, 225, 225, 0.92)/rgb(107, 107, 107)"));
}

void TestMapView::keptRadiosMoveInPlaceAndLeaveTheView() {
    const QString view = mapJs + ".getZoom() + ' ' + " + mapJs + ".getCenter().toUrlValue(4)";
    browser_->runScriptCommands({"GoogleMap.AddMarker(40.5,29.25, \"earlier run\", false);",
                                 "GoogleMap.initline();", "GoogleMap.fillline(40.1,29.1);",
                                 "GoogleMap.fillline(40.2,29.3);", "GoogleMap.drawline();",
                                 "GoogleMap.Render(40,30,7);"});
    const QString before = js(view).toString();
    browser_->runScriptCommands({"GoogleMap.PlaceRadio(7, 40.1,29.9, \"<b>first</b>\");",
                                 ScriptCommands::labelMarker("7 Ann", "now", false),
                                 "GoogleMap.PlaceRadio(12, 39.6,31.2, \"other\");",
                                 ScriptCommands::labelMarker("12 Bob", "now", false),
                                 "GoogleMap.KeepRadios([7,12]);"});
    QCOMPARE(count("img.gmap-marker"), 2);
    QCOMPARE(count(".gmap-radio-label"), 2);
    js("document.querySelector('img.gmap-marker').dataset.seen = 'yes'");

    browser_->runScriptCommands({"GoogleMap.PlaceRadio(7, 40.2,29.8, \"<b>second</b>\");",
                                 ScriptCommands::labelMarker("7 Ann", "1 min", true),
                                 "GoogleMap.KeepRadios([7]);"});
    QTRY_COMPARE(count("img.gmap-marker"), 1);
    QCOMPARE(js("document.querySelector('img.gmap-marker').dataset.seen").toString(),
             QStringLiteral("yes"));
    QCOMPARE(js(mapJs + ".getOverlays().filter(function (o) { return o instanceof GMarker; })"
                        "[0].getLatLng().toUrlValue(4)")
                 .toString(),
             QStringLiteral("40.2,29.8"));
    QTRY_COMPARE(count(".gmap-radio-label"), 1);
    QCOMPARE(count(".gmap-radio-label.gmap-radio-stale"), 1);
    QCOMPARE(js("document.querySelector('.gmap-radio-age').textContent").toString(),
             QStringLiteral("1 min"));
    QCOMPARE(count("path.gmap-polyline"), 1);
    QCOMPARE(js(view).toString(), before);

    const QPoint pin = pixelOf(40.2, 29.8) - QPoint(0, 20);
    const QStringList texts = statusTexts([&] { click(pin); });
    QCOMPARE(texts, QStringList{QStringLiteral("Marker Clicked. Lat:40.2 / Lng:29.8")});
    QTRY_COMPARE(js("document.querySelector('.leaflet-popup-content b').textContent").toString(),
                 QStringLiteral("second"));

    // After a clearing run the radio gets a new marker.
    browser_->runScriptCommands(
        {"GoogleMap.clearscreen();", "GoogleMap.PlaceRadio(7, 40.2,29.8, \"third\");"});
    QCOMPARE(count("img.gmap-marker"), 1);
}

namespace {

ScriptCommands::ReplayRadio replayRadio(qint32 radio, const QString& pair, const QString& age,
                                        QList<std::pair<QString, double>> trail) {
    ScriptCommands::ReplayRadio shown;
    shown.radio = radio;
    shown.pair = pair;
    shown.title = QString::number(radio) + QStringLiteral(" Ann");
    shown.age = age;
    shown.infoHtml = QStringLiteral("<b>replayed</b>");
    shown.trail = trail;
    return shown;
}

} // namespace

void TestMapView::replayMovesItsRadiosInPlaceAndGivesBackTheLiveView() {
    const QString view = mapJs + ".getZoom() + ' ' + " + mapJs + ".getCenter().toUrlValue(4)";
    // Bands of trail with a line to draw, on the trails' canvas.
    const auto drawnBands = [&] {
        return js(mapJs + ".getOverlays().filter(function (o) { return o instanceof GReplayTrail; "
                          "}).reduce(function (n, t) { return n + t.lines_.filter(function (l) { "
                          "return l.getLatLngs().length > 1; }).length; }, 0)")
            .toInt();
    };
    browser_->runScriptCommands({"GoogleMap.AddMarker(40.5,29.25, \"live\", false);",
                                 ScriptCommands::labelMarker("3 Live", "now", false),
                                 "GoogleMap.initline();", "GoogleMap.fillline(40.1,29.1);",
                                 "GoogleMap.fillline(40.2,29.3);", "GoogleMap.drawline();",
                                 "GoogleMap.Render(40,30,7);"});
    const QString liveView = js(view).toString();

    browser_->runScriptCommands(
        {ScriptCommands::replayStart(),
         ScriptCommands::replayFrame(
             10, {replayRadio(7, "40.1,29.9", "2 min",
                              {{"40.0,29.7", 9}, {"40.05,29.8", 4}, {"40.1,29.9", 2}}),
                  replayRadio(12, "39.6,31.2", "now", {})})});
    QCOMPARE(count("img.gmap-marker"), 2);
    QCOMPARE(count("path.gmap-polyline"), 0);
    QTRY_COMPARE(count(".gmap-radio-label"), 2);
    QVERIFY(drawnBands() >= 1);
    js("document.querySelector('img.gmap-marker').dataset.seen = 'yes'");

    // The next frame moves radio 7 and drops 12, without clearing the map.
    browser_->runScriptCommands({ScriptCommands::replayFrame(
        10, {replayRadio(7, "40.2,29.8", "1 min", {{"40.1,29.9", 3}, {"40.2,29.8", 1}})})});
    QCOMPARE(count("img.gmap-marker"), 1);
    QCOMPARE(js("document.querySelector('img.gmap-marker').dataset.seen").toString(),
             QStringLiteral("yes"));
    QTRY_COMPARE(js("document.querySelector('.gmap-radio-age').textContent").toString(),
                 QStringLiteral("1 min"));
    QCOMPARE(drawnBands(), 1);

    // A click on the radio follows it; dragging the map would stop that.
    const QStringList texts = statusTexts([&] { click(pixelOf(40.2, 29.8) - QPoint(0, 20)); });
    QCOMPARE(texts, QStringList{QStringLiteral("Marker Clicked. Lat:40.2 / Lng:29.8")});
    ScriptCommands::ReplayRadio moved = replayRadio(7, "41.5,28.5", "now", {});
    moved.infoHtml = QStringLiteral("<b>later</b>");
    browser_->runScriptCommands({ScriptCommands::replayFrame(10, {moved})});
    QCOMPARE(js(mapJs + ".getCenter().toUrlValue(2)").toString(), QStringLiteral("41.5,28.5"));
    // Its bubble went with it and tells the report of now.
    QCOMPARE(
        js(mapJs + ".infoWindow_.getLatLng().lat + ',' + " + mapJs + ".infoWindow_.getLatLng().lng")
            .toString(),
        QStringLiteral("41.5,28.5"));
    QCOMPARE(js("document.querySelector('.gmap-infowindow .leaflet-popup-content').textContent")
                 .toString(),
             QStringLiteral("later"));
    // A radio that leaves the map takes its bubble along.
    browser_->runScriptCommands({ScriptCommands::replayFrame(10, {})});
    QTRY_COMPARE(count(".gmap-infowindow"), 0);

    browser_->runScriptCommand(ScriptCommands::replayEnd());
    QCOMPARE(js(view).toString(), liveView);
    QCOMPARE(count("img.gmap-marker"), 1);
    QCOMPARE(count("path.gmap-polyline"), 1);
    QCOMPARE(js(mapJs + ".getOverlays().filter(function (o) { return o instanceof GReplayTrail; "
                        "}).length")
                 .toInt(),
             0);
    QTRY_COMPARE(js("document.querySelector('.gmap-radio-title').textContent").toString(),
                 QStringLiteral("3 Live"));
}

void TestMapView::fitMarkersShowsEveryMarker() {
    browser_->runScriptCommands({"GoogleMap.AddMarker(41,29, \"one\", false);",
                                 "GoogleMap.AddMarker(38,35, \"two\", false);",
                                 "GoogleMap.FitMarkers(18);"});
    const int zoom = js(mapJs + ".getZoom()").toInt();
    QVERIFY2(zoom > 2 && zoom < 18, qPrintable(QString::number(zoom)));
    for (const QPoint& pin : {pixelOf(41, 29), pixelOf(38, 35)}) {
        QVERIFY2(pin.x() >= 30 && pin.x() <= browser_->width() - 150,
                 qPrintable(QString::number(pin.x())));
        QVERIFY2(pin.y() >= 40 && pin.y() <= browser_->height(),
                 qPrintable(QString::number(pin.y())));
    }
    // One marker: no deeper than the zoom given.
    browser_->runScriptCommands({"GoogleMap.clearscreen();",
                                 "GoogleMap.AddMarker(41,29, \"one\", false);",
                                 "GoogleMap.FitMarkers(12);"});
    QCOMPARE(js(mapJs + ".getZoom()").toInt(), 12);
    QVERIFY_THROWS_EXCEPTION(Error,
                             browser_->runScriptCommand(QStringLiteral("GoogleMap.FitMarkers();")));
}

void TestMapView::smallMapControlOnlyOnce() {
    browser_->runScriptCommands({"GoogleMap.RemoveSmallMapControl();",
                                 "GoogleMap.AddSmallMapControl();",
                                 "GoogleMap.AddSmallMapControl();"});
    QCOMPARE(count(".gmap-small-map-control"), 1);
    browser_->runScriptCommands(
        {"GoogleMap.RemoveSmallMapControl();", "GoogleMap.RemoveSmallMapControl();"});
    QCOMPARE(count(".gmap-small-map-control"), 0);
    QCOMPARE(count(".gmap-large-map-control"), 1);
}

void TestMapView::placeMarkerPlacesExactlyOne() {
    browser_->runScriptCommands({"GoogleMap.AddMarker(40.5,29.25, \"fixed\", false);",
                                 "GoogleMap.Render(40.5,29.25,6);", "GoogleMap.placeMarker();"});
    const QPoint fixed = pixelOf(40.5, 29.25) - QPoint(0, 20);
    click(fixed);
    QCOMPARE(count("img.gmap-marker"), 1);

    const QStringList texts = statusTexts([&] { click(fixed + QPoint(150, 80)); });
    QCOMPARE(texts.size(), 1);
    QVERIFY(texts.first().startsWith(QLatin1String("Map Clicked.")));
    click(fixed + QPoint(-150, 80));
    QCOMPARE(count("img.gmap-marker"), 2);
    QVERIFY(js("document.querySelectorAll('img.gmap-marker')[1].src")
                .toString()
                .endsWith(QLatin1String("/mapfiles/ms/micons/red.png")));
    QCOMPARE(js("document.querySelectorAll('img.gmap-marker')[1].naturalHeight").toInt(), 32);
}

void TestMapView::failingCommandRaisesPageMessage_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty zoom field")
        << "GoogleMap.Render(41.1,29.1,);"
        << "TypeError: Render: the zoom level undefined is not a number";
    QTest::newRow("zoom that is text") << "GoogleMap.Render(41.1,29.1, \"x\");"
                                       << "TypeError: Render: the zoom level x is not a number";
    QTest::newRow("unknown method") << "GoogleMap.NoSuchMethod();"
                                    << "TypeError: GoogleMap.NoSuchMethod is not a function";
    QTest::newRow("unescaped quote in HTML")
        << "GoogleMap.AddMarker(40,29, \"<div id=\"x\">\", false);"
        << "SyntaxError: missing ) after argument list";
    QTest::newRow("coordinate that is not a number") << "GoogleMap.AddMarker(40,abc, \"x\", false);"
                                                     << "ReferenceError: abc is not defined";
}

void TestMapView::failingCommandRaisesPageMessage() {
    QFETCH(QString, command);
    QFETCH(QString, message);
    try {
        browser_->runScriptCommand(command);
        QFAIL("the command did not fail");
    } catch (const Error& error) {
        QCOMPARE(error.message(), message);
    }
    // The page goes on working.
    browser_->runScriptCommand(QStringLiteral("GoogleMap.Render(41.1,29.1, 7);"));
    QCOMPARE(js(mapJs + ".getZoom()").toInt(), 7);
}

// Every level the zoom field accepts, past the deepest tiles too.
void TestMapView::renderZoomsTo_data() {
    QTest::addColumn<int>("zoom");
    for (int zoom : {0, 19, 20, 21})
        QTest::addRow("%d", zoom) << zoom;
}

void TestMapView::renderZoomsTo() {
    QFETCH(int, zoom);
    browser_->runScriptCommand(QStringLiteral("GoogleMap.Render(41.0082,28.9784, %1);").arg(zoom));
    QCOMPARE(js(mapJs + ".getZoom()").toInt(), zoom);
    QCOMPARE(js(mapJs + ".getCenter().toUrlValue(4)").toString(),
             QStringLiteral("41.0082,28.9784"));
}

void TestMapView::batchStopsAtFailingCommand() {
    QStringList commands;
    for (int i = 1; i <= 5; ++i)
        commands.append(QStringLiteral("GoogleMap.AddMarker(40.%1,29.%1, \"%2\", false);")
                            .arg(i)
                            .arg(i == 3 ? QStringLiteral("a\"b") : QStringLiteral("m")));
    try {
        browser_->runScriptCommands(commands);
        QFAIL("the batch did not fail");
    } catch (const Error& error) {
        QVERIFY2(error.message().startsWith(QLatin1String("SyntaxError:")),
                 qPrintable(error.message()));
    }
    QCOMPARE(
        js(mapJs + ".getOverlays().map(function (m) { return m.getLatLng().lat(); })").toList(),
        QVariantList({40.1, 40.2}));
    QCOMPARE(count("img.gmap-marker"), 2);
}

void TestMapView::findGeoCode() {
    // The box is modal: a timer reads and closes it from inside its own loop.
    QString shown;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->accept();
        }
    });
    closer.start(50);
    browser_->runScriptCommand(QStringLiteral("GoogleMap.FindGeoCode(\"Nowhere street 1\");"));
    QTRY_COMPARE(shown, QStringLiteral("Error:Address not found.!"));

    const QStringList texts = statusTexts([&] {
        browser_->runScriptCommand(QStringLiteral("GoogleMap.FindGeoCode(\"41.1, -29.125\");"));
    });
    QCOMPARE(texts, QStringList{QStringLiteral("DoGeoCodeFound Lat:41.1 / Lng:-29.125")});
}

void TestMapView::commandWithoutPage() {
    TWebBrowser fresh;
    QCOMPARE(fresh.readyState(), 0);
    try {
        fresh.runScriptCommand(QStringLiteral("GoogleMap.clearscreen();"));
        QFAIL("a command ran without a page");
    } catch (const Error& error) {
        QCOMPARE(error.message(), QStringLiteral("The map is not loaded yet."));
    }
}

// Sent right after navigation, on the first load and on a reload, a command
// waits for the new map instead of failing in, or going to, the document
// being replaced.
void TestMapView::commandDuringLoadWaitsForTheMap() {
    const QString path = dir_.filePath(QStringLiteral("pelmormapsview.html"));
    TWebBrowser fresh;
    fresh.resize(900, 500);
    fresh.show();
    fresh.navigate(path);
    fresh.runScriptCommand(QStringLiteral("GoogleMap.Render(41.1,29.1, 5);"));
    QCOMPARE(fresh.readyState(), 4);

    browser_->navigate(path);
    browser_->runScriptCommand(QStringLiteral("GoogleMap.Render(41.1,29.1, 5);"));
    QCOMPARE(browser_->readyState(), 4);
    QCOMPARE(js(mapJs + ".getZoom()").toInt(), 5);
}

void TestMapView::renderProcessCrash() {
    const qint64 pid = browser_->page()->renderProcessPid();
    QVERIFY(pid > 0);
    QSignalSpy ended(browser_->page(), &QWebEnginePage::renderProcessTerminated);
    QCOMPARE(::kill(pid_t(pid), SIGKILL), 0);
    QVERIFY(ended.wait(10000));
    try {
        browser_->runScriptCommand(QStringLiteral("GoogleMap.clearscreen();"));
        QFAIL("a command ran in a dead page");
    } catch (const Error& error) {
        QCOMPARE(error.message(),
                 QStringLiteral("The map page has stopped working; reload the map to go on."));
    }
    // Reloading brings the map back.
    loadPage(*browser_);
    browser_->runScriptCommand(QStringLiteral("GoogleMap.Render(41.1,29.1, 3);"));
    QCOMPARE(js(mapJs + ".getZoom()").toInt(), 3);
}

int main(int argc, char** argv) {
    registerMapUrlScheme();
    QApplication app(argc, argv);
    TestMapView test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mapview.moc"
