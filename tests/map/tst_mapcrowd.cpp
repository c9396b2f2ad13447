#include "../support/PageScript.h"
#include "map/ScriptCommands.h"
#include "map/browser/MapUrlScheme.h"
#include "map/browser/TWebBrowser.h"

#include <QApplication>
#include <QRectF>
#include <QTemporaryDir>
#include <QTest>

// Many radios on the real page: markers grouped into clusters that follow
// them, and labels that give way where they would cover each other.
class TestMapCrowd : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void crowdedRadiosClusterAndSplitAsTheMapZooms();
    void clustersFollowRadiosThatMove();
    void labelsThatWouldCoverOthersGiveWay();
    void labelsAreWhereTheyAreThoughtToBe();
    void fitAllHoldsEveryLabelAndUsesTheRoom_data();
    void fitAllHoldsEveryLabelAndUsesTheRoom();
    void cleanupTestCase();

private:
    QVariant js(const QString& expression) { return evaluateInPage(browser_->page(), expression); }
    int count(const QString& selector) { return countInPage(browser_->page(), selector); }
    QStringList labelTexts();

    QTemporaryDir dir_;
    TWebBrowser* browser_ = nullptr;
};

void TestMapCrowd::initTestCase() {
    browser_ = new TWebBrowser;
    browser_->resize(900, 500);
    browser_->show();
    QVERIFY(QTest::qWaitForWindowExposed(browser_));
}

void TestMapCrowd::init() {
    loadMapPage(*browser_, dir_.path());
}

// The labels on the page, each as its title and age run together.
QStringList TestMapCrowd::labelTexts() {
    return js("Array.from(document.querySelectorAll('.gmap-radio-label')).map(function (l) {"
              " return l.textContent; }).sort()")
        .toStringList();
}

void TestMapCrowd::crowdedRadiosClusterAndSplitAsTheMapZooms() {
    // Twenty radios a street apart: one cluster from afar, twenty pins close up.
    QStringList commands{ScriptCommands::clusterRadios(true)};
    for (int i = 0; i < 20; ++i)
        commands << QStringLiteral("GoogleMap.AddMarker(40.%1,29.5, \"r%2\", false);")
                        .arg(1000 + i * 3)
                        .arg(i);
    commands << QStringLiteral("GoogleMap.Render(40.103,29.5,9);");
    browser_->runScriptCommands(commands);
    QTRY_COMPARE(count(".marker-cluster"), 1);
    QCOMPARE(js("document.querySelector('.marker-cluster').textContent").toString(),
             QStringLiteral("20"));
    QTRY_COMPARE(count("img.gmap-marker"), 0);

    browser_->runScriptCommand(QStringLiteral("GoogleMap.Render(40.1012,29.5,19);"));
    QTRY_VERIFY(count("img.gmap-marker") >= 3);
    QTRY_COMPARE(count(".marker-cluster"), 0);

    // Off again: every pin on the map itself, and a clearing run removes them all.
    browser_->runScriptCommands(
        {ScriptCommands::clusterRadios(false), "GoogleMap.Render(40.103,29.5,9);"});
    QTRY_COMPARE(count("img.gmap-marker"), 20);
    QTRY_COMPARE(count(".marker-cluster"), 0);
    browser_->runScriptCommands({ScriptCommands::clusterRadios(true),
                                 ScriptCommands::clusterRadios(true), "GoogleMap.clearscreen();"});
    QTRY_COMPARE(count(".marker-cluster"), 0);
    QCOMPARE(count("img.gmap-marker"), 0);
}

void TestMapCrowd::clustersFollowRadiosThatMove() {
    browser_->runScriptCommands({ScriptCommands::clusterRadios(true),
                                 "GoogleMap.PlaceRadio(7, 40.0,29.0, \"seven\");",
                                 "GoogleMap.PlaceRadio(12, 40.0,31.0, \"twelve\");",
                                 "GoogleMap.KeepRadios([7,12]);", "GoogleMap.Render(40,30,8);"});
    // Clusters split with an animation: wait until it has ended.
    QTRY_COMPARE(count("img.gmap-marker"), 2);
    QTRY_COMPARE(count(".marker-cluster"), 0);

    // Radio 7 drives next to radio 12: they are one cluster of two. Clustered
    // markers move together once the commands are done, but each tells its
    // new place at once.
    browser_->runScriptCommands({"GoogleMap.PlaceRadio(7, 40.0,30.999, \"seven\");",
                                 "GoogleMap.PlaceRadio(12, 40.0,31.0, \"twelve\");",
                                 "GoogleMap.KeepRadios([7,12]);",
                                 "window.placesInRun = GMap2.fromContainer(document.getElementById("
                                 "'Canvas')).getOverlays().map(function (o) {"
                                 " return o.getLatLng().toUrlValue(3); }).join(' ');"});
    QCOMPARE(js("window.placesInRun").toString(), QStringLiteral("40,30.999 40,31"));
    QTRY_COMPARE(count(".marker-cluster"), 1);
    QCOMPARE(js("document.querySelector('.marker-cluster').textContent").toString(),
             QStringLiteral("2"));
    QTRY_COMPARE(count("img.gmap-marker"), 0);

    // And away again; a radio no longer kept leaves its cluster too.
    browser_->runScriptCommands(
        {"GoogleMap.PlaceRadio(7, 40.0,29.0, \"seven\");", "GoogleMap.KeepRadios([7]);"});
    QTRY_COMPARE(count("img.gmap-marker"), 1);
    QTRY_COMPARE(count(".marker-cluster"), 0);
}

void TestMapCrowd::labelsThatWouldCoverOthersGiveWay() {
    // Three radios 22 m apart from north to south, each labelled.
    const auto labelRun = [this](const QString& age) {
        QStringList commands{"GoogleMap.clearscreen();"};
        for (int i = 0; i < 3; ++i)
            commands << QStringLiteral("GoogleMap.AddMarker(40.000%1,29.5, \"r\", false);")
                            .arg(4 - 2 * i)
                     << ScriptCommands::labelMarker(QStringLiteral("radio %1").arg(i), age, false);
        browser_->runScriptCommands(commands);
    };
    browser_->runScriptCommand(QStringLiteral("GoogleMap.Render(40.0002,29.5,19);"));
    labelRun("now");
    QTRY_COMPARE(labelTexts(), QStringList({"radio 0now", "radio 1now", "radio 2now"}));

    // From afar the pins almost meet: the first label stays right of its pin,
    // the second goes left, the third has room on neither side and is not on
    // the page; a new run keeps it so.
    browser_->runScriptCommand(QStringLiteral("GoogleMap.Render(40.0002,29.5,12);"));
    QTRY_COMPARE(labelTexts(), QStringList({"radio 0now", "radio 1now"}));
    QVERIFY(js("(function () { var at = {}; document.querySelectorAll('.gmap-radio-label')"
               ".forEach(function (l) { at[l.textContent] = l.getBoundingClientRect(); });"
               " return at['radio 1now'].right < at['radio 0now'].left; })()")
                .toBool());
    labelRun("1 min");
    QTRY_COMPARE(labelTexts(), QStringList({"radio 01 min", "radio 11 min"}));
    QCOMPARE(count("img.gmap-marker"), 3);

    // Room again: every label back, with the newest texts.
    browser_->runScriptCommand(QStringLiteral("GoogleMap.Render(40.0002,29.5,19);"));
    QTRY_COMPARE(labelTexts(), QStringList({"radio 01 min", "radio 11 min", "radio 21 min"}));

    // A radio ticked in two projects gets two markers on one spot: one label.
    browser_->runScriptCommands({"GoogleMap.clearscreen();",
                                 "GoogleMap.AddMarker(40.0002,29.5, \"r\", false);",
                                 ScriptCommands::labelMarker("radio 7", "now", false),
                                 "GoogleMap.AddMarker(40.0002,29.5, \"r\", false);",
                                 ScriptCommands::labelMarker("radio 7", "now", false)});
    QTRY_COMPARE(count("img.gmap-marker"), 2);
    QTRY_COMPARE(labelTexts(), QStringList({"radio 7now"}));
}

// Labels give way by the places and sizes worked out for them, never read
// from the page: those must be what the page then draws.
void TestMapCrowd::labelsAreWhereTheyAreThoughtToBe() {
    const QString longName = QStringLiteral("12 ") + QString(60, u'W');
    browser_->runScriptCommands(
        {"GoogleMap.AddMarker(40.0,29.0, \"a\", false);",
         ScriptCommands::labelMarker("7 Ann", "now", false),
         "GoogleMap.AddMarker(40.0,29.01, \"b\", false);",
         ScriptCommands::labelMarker(longName, "stale \u00b7 2 h 5 min", true),
         "GoogleMap.AddMarker(40.01,29.0, \"c\", false);",
         ScriptCommands::labelMarker("301", "in 5 min (clock ahead)", false),
         "GoogleMap.Render(40.005,29.005,17);"});
    QTRY_COMPARE(count(".gmap-radio-label"), 3);
    const QVariantList misses =
        js("(function () { var map = GMap2.fromContainer(document.getElementById('Canvas'));"
           " var box = document.getElementById('Canvas').getBoundingClientRect();"
           " return map.getOverlays().map(function (o) {"
           "  var marker = o.marker_, tooltip = marker.getTooltip(), size = "
           "marker.radioLabel_.size;"
           "  var drawn = tooltip.getElement().getBoundingClientRect();"
           "  var at = map.leaflet_.latLngToContainerPoint(marker.getLatLng());"
           "  return Math.max(Math.abs(drawn.width - size.width), Math.abs(drawn.height - "
           "size.height),"
           "   Math.abs(drawn.left - box.left - (at.x + 24)), Math.abs(drawn.top - box.top - (at.y "
           "- 35)));"
           " }); })()")
            .toList();
    QCOMPARE(misses.size(), 3);
    for (const QVariant& pixels : misses)
        QVERIFY2(pixels.toDouble() <= 1.5, qPrintable(pixels.toString()));
}

void TestMapCrowd::fitAllHoldsEveryLabelAndUsesTheRoom_data() {
    QTest::addColumn<QString>("eastPair");
    QTest::newRow("the crowd at the map's west edge") << QStringLiteral("40.01,29.1");
    QTest::newRow("a level deeper than room for any label allows")
        << QStringLiteral("40.01,29.1142");
}

// What a "Fit all radios" run sends: a crowd at the west end, where the
// western radio's label goes left because the next pin is right of it and the
// radio between them gives way, and radios to the south and far east. The
// fitted view holds every pin and label inside the map and spreads the pins
// over most of it.
void TestMapCrowd::fitAllHoldsEveryLabelAndUsesTheRoom() {
    QFETCH(QString, eastPair);
    const QList<std::pair<QString, QString>> radios{{"40.0,29.0", "12 Ann"},
                                                    {"40.0,29.007", "7 Bob"},
                                                    {"40.0,29.0035", "31 Cem"},
                                                    {eastPair, "5 Dan"},
                                                    {"39.995,29.06", "44 Eda"}};
    QStringList commands{ScriptCommands::clearScreen()};
    for (const auto& [pair, title] : radios)
        commands << ScriptCommands::addMarker(pair, QStringLiteral("info"))
                 << ScriptCommands::labelMarker(title, QStringLiteral("now"), false);
    commands << ScriptCommands::fitMarkers(QStringLiteral("18"));
    browser_->runScriptCommands(commands);
    QTRY_COMPARE(labelTexts(), QStringList({"12 Annnow", "44 Edanow", "5 Dannow", "7 Bobnow"}));

    const QVariantMap view =
        js("(function () {"
           " function box(r) { return {left: r.left, top: r.top, right: r.right, bottom: r.bottom};"
           " }"
           " function boxes(selector) { return Array.from(document.querySelectorAll(selector),"
           "  function (e) { return box(e.getBoundingClientRect()); }); }"
           " var ann = Array.from(document.querySelectorAll('.gmap-radio-label')).find("
           "  function (l) { return l.textContent === '12 Annnow'; });"
           " return {map: box(document.getElementById('Canvas').getBoundingClientRect()),"
           "  labels: boxes('.gmap-radio-label'), pins: boxes('img.gmap-marker'),"
           "  annLabel: box(ann.getBoundingClientRect()),"
           "  annPin: box(document.querySelector('img.gmap-marker').getBoundingClientRect())};"
           "})()")
            .toMap();
    const auto rect = [](const QVariant& value) {
        const QVariantMap box = value.toMap();
        return QRectF(QPointF(box["left"].toDouble(), box["top"].toDouble()),
                      QPointF(box["right"].toDouble(), box["bottom"].toDouble()));
    };
    const QRectF map = rect(view["map"]);
    QVERIFY(rect(view["annLabel"]).right() < rect(view["annPin"]).left());
    const QVariantList labels = view["labels"].toList();
    QCOMPARE(labels.size(), 4);
    for (const QVariant& label : labels)
        QVERIFY2(map.contains(rect(label)),
                 qPrintable(QStringLiteral("label at x %1 to %2, y %3 to %4; map x %5 to %6")
                                .arg(rect(label).left())
                                .arg(rect(label).right())
                                .arg(rect(label).top())
                                .arg(rect(label).bottom())
                                .arg(map.left())
                                .arg(map.right())));
    QRectF pins;
    for (const QVariant& pin : view["pins"].toList()) {
        QVERIFY(map.contains(rect(pin)));
        pins = pins.isNull() ? rect(pin) : pins.united(rect(pin));
    }
    QVERIFY2(pins.width() >= 0.6 * map.width() || pins.height() >= 0.6 * map.height(),
             qPrintable(QStringLiteral("pins over %1 x %2 of %3 x %4")
                            .arg(pins.width())
                            .arg(pins.height())
                            .arg(map.width())
                            .arg(map.height())));
}

void TestMapCrowd::cleanupTestCase() {
    delete browser_;
}

int main(int argc, char** argv) {
    registerMapUrlScheme();
    QApplication app(argc, argv);
    TestMapCrowd test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_mapcrowd.moc"
