// The whole program on a real page: tree, views, bubbles and auto refresh as
// a dispatcher uses them.
#include "../support/MessageBoxWatcher.h"
#include "../support/PageScript.h"
#include "../support/TestDatabase.h"
#include "app/Application.h"
#include "map/browser/MapUrlScheme.h"
#include "map/browser/TWebBrowser.h"
#include "store/TableCursor.h"
#include "ui/ExportActions.h"
#include "ui/coorposunit.h"
#include "ui/widgets/ReplayBar.h"

#include "ui/widgets/DateTimePicker.h"
#include <QAction>
#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWebEnginePage>

namespace {

int count(TWebBrowser* browser, const QString& selector) {
    return countInPage(browser->page(), selector);
}

QVariant evaluate(TWebBrowser* browser, const QString& script) {
    return evaluateInPage(browser->page(), script);
}

// Replay trails' bands with a line to draw on their canvas; -1 with no trails.
int drawnTrailBands(TWebBrowser* browser) {
    return evaluate(browser,
                    QStringLiteral(
                        "(function (trails) { return trails.length === 0 ? -1 : trails.reduce("
                        "function (n, t) { return n + t.lines_.filter(function (l) { return "
                        "l.getLatLngs().length > 1; }).length; }, 0); })(GMap2.fromContainer("
                        "document.getElementById('Canvas')).getOverlays().filter(function (o) { "
                        "return o instanceof GReplayTrail; }))"))
        .toInt();
}

// Markers and route vertices as "lat,lng" texts, in the order they were added.
QStringList overlayPositions(TWebBrowser* browser, const QString& kind) {
    const QString script =
        QStringLiteral("GMap2.fromContainer(document.getElementById('Canvas')).getOverlays()"
                       ".filter(function (o) { return o instanceof %1; })"
                       ".map(function (o) {"
                       "  var points = o.getLatLng ? [o.getLatLng()] : "
                       "    Array.from({length: o.getVertexCount()}, function (_, i) { return "
                       "o.getVertex(i); });"
                       "  return points.map(function (p) { return p.lat().toFixed(4) + ',' + "
                       "p.lng().toFixed(4); })"
                       "    .join(' ');"
                       "}).join(' ')")
            .arg(kind);
    return evaluate(browser, script).toString().split(u' ', Qt::SkipEmptyParts);
}

} // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void lastPositionsShowOneMarkerPerMemberWithReports();
    void zeroPaddedDegreesShowAtTheirPlace();
    void doubleClickCentresOnAMember();
    void labelsNameEachMarkerWithItsAge();
    void bubbleShowsStationTextLiterally();
    void viewModesFromTheMapMenu();
    void replayShowsTheFleetAtItsTimeAndGivesBackTheLiveView();
    void routeDrawsARedLineAndTheGridShowsItsRows();
    void routeSummaryShowsTheDrawnReports();
    void exportsTheRouteAndTheGridAsShown();
    void routeEndsArrowsAndFit();
    void ticksNeverRunInsideARun();
    void autoRefreshRunsOnTheTimerUntilUnticked();
    void clusterTickReachesThePageAndOutlivesAReload();
    void readProblemsAreReportedOnceAndKeepTheMarkers();

private:
    void tick(const QString& text);

    QTemporaryDir dir_;
    QString previousDir_;
    std::unique_ptr<Tcoor_pos> window_;
    TWebBrowser* browser_ = nullptr;
    QDateTime start_; // time of every radio's oldest report
};

void TestEndToEnd::initTestCase() {
    previousDir_ = QDir::currentPath();
    QDir::setCurrent(dir_.path());
    TestDatabase db("tavirelmonkas.db");
    db.createSchema()
        .addProject(1, "North")
        .addProject(2, "South")
        .addMember(1, 10)
        .addMember(1, 11)
        .addMember(2, 12)
        .addPerson(10, "Ann", "Lee", 12)
        .addPerson(11, "Bob", "Kay", 7)
        .addPerson(12, "Cem", "Ak", 44);
    const QDateTime start = QDateTime::currentDateTime().addSecs(-3600);
    start_ = start;
    for (int i = 0; i < 30; ++i) {
        const QString time = start.addSecs(60 * i).toString("yyyy-MM-dd hh:mm:ss");
        // Degrees as much GPS software writes them: zero-padded, both hemispheres.
        db.addReport(12, time, "041.00" + QString::number(1000 + i * 100), "070.001000", "Base",
                     "S", "W");
        db.addReport(7, time, "41.020000", "029.00" + QString::number(1000 + i * 100),
                     "Depot \"North\" <b>\\ 1<img src=x onerror=\"window.injected=1\">");
    }
    window_ = std::make_unique<Tcoor_pos>();
    window_->resize(1200, 800);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    browser_ = window_->controls().WebBrowser1;
    window_->controls().DateTimePicker1->setValue(start.addDays(-1));
    window_->BaseHTML();
    QTRY_COMPARE_WITH_TIMEOUT(browser_->readyState(), 4, 20000);
}

void TestEndToEnd::cleanupTestCase() {
    window_.reset();
    QDir::setCurrent(previousDir_);
}

void TestEndToEnd::tick(const QString& text) {
    QTreeWidget* tree = window_->controls().JvTreeView1;
    tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive)
        .first()
        ->setCheckState(0, Qt::Checked);
}

void TestEndToEnd::lastPositionsShowOneMarkerPerMemberWithReports() {
    tick("North");
    window_->ToolButton1Click();
    QCOMPARE(window_->statusText(), QStringLiteral("Record found"));
    QTRY_COMPARE(count(browser_, ".leaflet-marker-icon"), 2);
    tick("Projects"); // radio 44 has no reports: still two markers
    window_->ToolButton1Click();
    QTRY_COMPARE(count(browser_, ".leaflet-marker-icon"), 2);
    QCOMPARE(window_->positionTable().filter(), QStringLiteral("radio_short_id=44"));
}

void TestEndToEnd::zeroPaddedDegreesShowAtTheirPlace() {
    window_->ToolButton1Click();
    QCOMPARE(overlayPositions(browser_, "GMarker"),
             QStringList({"-41.0065,-70.0016", "41.0333,29.0065"}));
    window_->controls().Edit2->setText("3");
    window_->controls().JvTreeView1->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
    tick("12-Ann Lee");
    window_->ToolButton2Click();
    QCOMPARE(overlayPositions(browser_, "GPolyline"),
             QStringList({"-41.0065,-70.0017", "-41.0063,-70.0017"}));
    tick("Projects");
}

void TestEndToEnd::labelsNameEachMarkerWithItsAge() {
    window_->ToolButton1Click();
    QTRY_COMPARE(count(browser_, ".gmap-radio-label"), 2);
    QCOMPARE(evaluate(browser_, "Array.from(document.querySelectorAll('.gmap-radio-title'))"
                                ".map(function (t) { return t.textContent; }).join('|')")
                 .toString(),
             QStringLiteral("12 Ann Lee|7 Bob Kay"));
    const QString ages = evaluate(browser_, "Array.from(document.querySelectorAll("
                                            "'.gmap-radio-age')).map(function (t) {"
                                            " return t.textContent; }).join('|')")
                             .toString();
    // Half an hour old, past the default 10 minutes: both stale.
    QVERIFY2(QRegularExpression(
                 QString::fromUtf8("^stale \xc2\xb7 3[12] min\\|stale \xc2\xb7 3[12] min$"))
                 .match(ages)
                 .hasMatch(),
             qPrintable(ages));
    QCOMPARE(count(browser_, ".gmap-radio-label.gmap-radio-stale"), 2);
    // A run replaces the labels with its own.
    window_->ToolButton1Click();
    QTRY_COMPARE(count(browser_, ".gmap-radio-label"), 2);
}

// Centred on the member's newest report; the markers and the ticks stay.
void TestEndToEnd::doubleClickCentresOnAMember() {
    window_->ToolButton1Click();
    const int markers = count(browser_, ".leaflet-marker-icon");
    QTreeWidget* tree = window_->controls().JvTreeView1;
    QTreeWidgetItem* member =
        tree->findItems("12-Ann Lee", Qt::MatchExactly | Qt::MatchRecursive).first();
    tree->expandAll();
    tree->scrollToItem(member);
    const QPoint text = tree->visualItemRect(member).center();
    // The view takes a double-click only on the item its first press chose.
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, text);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, text);
    QCOMPARE(evaluate(browser_, "(function () { var c = GMap2.fromContainer("
                                "document.getElementById('Canvas')).getCenter();"
                                " return c.lat().toFixed(4) + ',' + c.lng().toFixed(4); })()")
                 .toString(),
             QStringLiteral("-41.0065,-70.0016"));
    QCOMPARE(count(browser_, ".leaflet-marker-icon"), markers);
    QCOMPARE(member->checkState(0), Qt::Checked);
    QCOMPARE(window_->positionTable().filter(), QStringLiteral("radio_short_id=12"));
}

void TestEndToEnd::bubbleShowsStationTextLiterally() {
    window_->ToolButton1Click();
    evaluate(browser_, "document.querySelectorAll('.leaflet-marker-icon')[1]"
                       ".dispatchEvent(new MouseEvent('click', {bubbles: true}))");
    QTRY_VERIFY(window_->statusText().startsWith("Marker Clicked. Lat:41.0333"));
    QTRY_VERIFY(
        evaluate(browser_, "document.querySelector('.leaflet-popup-content') !== null").toBool());
    const QString bubble =
        evaluate(browser_, "document.querySelector('.leaflet-popup-content').textContent")
            .toString();
    QVERIFY2(bubble.contains("Station: Depot \"North\" <b>\\ 1<img src=x "
                             "onerror=\"window.injected=1\">"),
             qPrintable(bubble));
    QVERIFY(!evaluate(browser_, "window.injected === 1").toBool());
}

// Fit all shows every marker; keep my view leaves the route, the centre and
// the zoom, moves the markers in place and drops a radio no longer ticked.
void TestEndToEnd::viewModesFromTheMapMenu() {
    const CoorPosLayout& ui = window_->controls();
    const QString map = QStringLiteral("GMap2.fromContainer(document.getElementById('Canvas'))");
    const QString markersInView =
        map +
        ".getOverlays().filter(function (o) { return o instanceof GMarker; })"
        ".every(function (m) { var p = " +
        map + ".fromLatLngToContainerPixel(m.getLatLng()); var s = " + map +
        ".getSize(); return p.x >= 0 && p.y >= 0 && p.x <= s.width && p.y <= s.height; })";
    ui.ViewFitAll->trigger();
    window_->ToolButton1Click();
    QTRY_COMPARE(count(browser_, ".leaflet-marker-icon"), 2);
    QVERIFY(evaluate(browser_, markersInView).toBool());
    QVERIFY(evaluate(browser_, map + ".getZoom()").toInt() < 18);

    ui.ViewKeepMine->trigger();
    QVERIFY(!ui.ViewFitAll->isChecked());
    window_->ToolButton2Click();
    QTRY_COMPARE(count(browser_, ".leaflet-marker-icon"), 0);
    const QString view = map + ".getZoom() + ' ' + " + map + ".getCenter().toUrlValue(5)";
    const QString before = evaluate(browser_, view).toString();
    for (int run = 0; run < 2; ++run) {
        window_->ToolButton1Click();
        QCOMPARE(window_->statusText(), QStringLiteral("Record found"));
        QTRY_COMPARE(count(browser_, ".leaflet-marker-icon"), 2);
        QTRY_COMPARE(count(browser_, ".gmap-radio-label"), 2);
        QCOMPARE(count(browser_, "path[stroke=\"#ff0000\"]"), 1);
        QCOMPARE(evaluate(browser_, view).toString(), before);
    }
    window_->controls()
        .JvTreeView1->findItems("12-Ann Lee", Qt::MatchExactly | Qt::MatchRecursive)
        .first()
        ->setCheckState(0, Qt::Unchecked);
    window_->ToolButton1Click();
    QTRY_COMPARE(count(browser_, ".leaflet-marker-icon"), 1);
    QTRY_COMPARE(count(browser_, ".gmap-radio-label"), 1);
    QCOMPARE(evaluate(browser_, view).toString(), before);

    ui.ViewFollowLast->trigger();
    window_->ToolButton1Click();
    QTRY_COMPARE(count(browser_, "path[stroke=\"#ff0000\"]"), 0);
    QCOMPARE(evaluate(browser_, map + ".getZoom()").toInt(), 18);
    tick("Projects");
}

// Radio 7's reports of the demo table run along latitude 41.0333, a minute
// apart; the replay shows the one at or before the bar's time.
void TestEndToEnd::replayShowsTheFleetAtItsTimeAndGivesBackTheLiveView() {
    const CoorPosLayout& ui = window_->controls();
    const QString map = QStringLiteral("GMap2.fromContainer(document.getElementById('Canvas'))");
    const QString view = map + ".getZoom() + ' ' + " + map + ".getCenter().toUrlValue(5)";
    QVERIFY(!ui.ReplayBar1->isVisible());
    tick("North");
    tick("12-Ann Lee");
    window_->ToolButton1Click();
    QTRY_COMPARE(overlayPositions(browser_, "GMarker").size(), 2);
    const QStringList liveMarkers = overlayPositions(browser_, "GMarker");
    const QString liveView = evaluate(browser_, view).toString();
    const QString liveFilter = window_->positionTable().filter();
    const int liveRow = window_->positionTable().currentRow();

    ui.Replay1->trigger();
    QVERIFY(ui.ReplayBar1->isVisible());
    QCOMPARE(overlayPositions(browser_, "GMarker").size(), 0); // the range starts before any report
    ui.ReplayBar1->setTime(wallClock(start_.addSecs(10 * 60 + 30)));
    QTRY_COMPARE(overlayPositions(browser_, "GMarker").size(), 2);
    QVERIFY2(overlayPositions(browser_, "GMarker").contains("41.0333,29.0033"),
             qPrintable(overlayPositions(browser_, "GMarker").join(' ')));
    QVERIFY(drawnTrailBands(browser_) > 0);
    // The grid's current row: the newest report by then of the ticked radios.
    QCOMPARE(window_->positionTable().fieldAsDateTime("time"),
             readFixedFormDateTime(start_.addSecs(600).toString("yyyy-MM-dd hh:mm:ss")));
    QCOMPARE(window_->positionTable().fieldAsInteger("radio_short_id"), 7);

    // Auto refresh reads on and leaves the replay's map alone.
    const QStringList replayed = overlayPositions(browser_, "GMarker");
    window_->Timer1Timer();
    QCOMPARE(overlayPositions(browser_, "GMarker"), replayed);

    // File > Save Map Image…: the picture as shown, named after the replay's time.
    const QDateTime shown = window_->mapShownTime();
    QCOMPARE(shown, start_.addSecs(630));
    const QString image = dir_.filePath(ExportActions::mapImageName(shown));
    QVERIFY(image.endsWith(shown.toString("'map-'yyyy-MM-dd-HH-mm-ss'.png'")));
    window_->saveMapImageTo(image, [](const QString&) { return true; });
    const QImage saved(image, "PNG");
    QCOMPARE(saved.size(), browser_->size() * browser_->devicePixelRatio());
    QSet<QRgb> colours; // the map drawn, not a blank grab
    for (int y = 0; y < saved.height(); y += 16) {
        for (int x = 0; x < saved.width(); x += 16)
            colours.insert(saved.pixel(x, y));
    }
    QVERIFY2(colours.size() > 8, qPrintable(QString::number(colours.size())));
    QStringList asked;
    window_->saveMapImageTo(image, [&](const QString& path) {
        asked << path;
        return false;
    });
    QCOMPARE(asked, QStringList{image});
    QCOMPARE(QImage(image, "PNG"), saved);

    QTest::keyClick(window_.get(), Qt::Key_Escape);
    QVERIFY(!ui.ReplayBar1->isVisible());
    QTRY_COMPARE(overlayPositions(browser_, "GMarker").size(), 2);
    QCOMPARE(overlayPositions(browser_, "GMarker"), liveMarkers);
    QCOMPARE(evaluate(browser_, view).toString(), liveView);
    QCOMPARE(drawnTrailBands(browser_), -1);
    QCOMPARE(window_->positionTable().filter(), liveFilter);
    QCOMPARE(window_->positionTable().currentRow(), liveRow);
}

void TestEndToEnd::routeDrawsARedLineAndTheGridShowsItsRows() {
    window_->controls().Edit2->setText("10");
    window_->controls().JvTreeView1->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
    tick("7-Bob Kay");
    window_->ToolButton2Click();
    QTRY_COMPARE(count(browser_, ".leaflet-marker-icon"), 0);
    QTRY_COMPARE(count(browser_, "path[stroke=\"#ff0000\"]"), 1);
    QCOMPARE(window_->positionTable().rowCount(), 30);
    QCOMPARE(window_->positionTable().currentRow(), 19);
}

void TestEndToEnd::routeSummaryShowsTheDrawnReports() {
    window_->controls().Edit2->setText("10");
    window_->ToolButton2Click();
    const QString summary = window_->controls().RouteSummaryText->toPlainText();
    QVERIFY2(summary.startsWith("Points: 10\nDistance: 0.1"), qPrintable(summary));
    QVERIFY2(summary.contains("Duration: 0:09:00"), qPrintable(summary));
    QVERIFY2(summary.contains("Stops: 0"), qPrintable(summary));
    window_->controls().DateTimePicker2->setValue(
        window_->controls().DateTimePicker1->value().addSecs(-1));
    window_->ToolButton2Click();
    QCOMPARE(window_->statusText(), QStringLiteral("No records found"));
    QCOMPARE(window_->controls().RouteSummaryText->toPlainText(), QString());
    window_->controls().DateTimePicker2->setValue(QDateTime::currentDateTime());
}

void TestEndToEnd::exportsTheRouteAndTheGridAsShown() {
    const QList<QAction*> file = window_->controls().FileMenu->actions();
    QCOMPARE(file.first(), window_->controls().ExportRoute1);
    QCOMPARE(file.last(), window_->controls().Exit2);
    QCOMPARE(window_->controls().ExportRoute1->text(), QStringLiteral("Export Route\u2026"));

    window_->controls().Edit2->setText("5");
    window_->ToolButton2Click();
    QTemporaryDir out;
    int asked = 0;
    const auto answer = [&asked](bool yes) {
        return [&asked, yes](const QString&) {
            ++asked;
            return yes;
        };
    };
    window_->exportRouteTo(out.filePath("route"), "CSV table (*.csv)", answer(true));
    QFile csv(out.filePath("route.csv"));
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    QCOMPARE(lines.size(), 7); // title, five reports, the end after the last CRLF
    QCOMPARE(lines[0], QByteArray("time,latitude,longitude,altitude\r"));
    QVERIFY2(lines[5].startsWith(start_.addSecs(29 * 60).toString("yyyy-MM-ddThh:mm:ss").toUtf8()),
             lines[5].constData());
    // 41 02.0000' is 41.0333333 at full precision, not the map's 41.0333.
    QVERIFY2(lines[5].contains(",41.0333333,29.0065000,12"), lines[5].constData());
    csv.close();

    window_->exportRouteTo(out.filePath("route.csv"), "GPX track (*.gpx)", answer(false));
    QCOMPARE(asked, 1);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    QVERIFY(csv.readAll().startsWith("time,"));
    csv.close();

    window_->exportEventLogTo(out.filePath("log"), answer(true));
    QFile log(out.filePath("log.csv"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> rows = log.readAll().split('\n');
    QCOMPARE(rows.size(), window_->positionTable().rowCount() + 2);
    QVERIFY2(rows[1].contains("\"Depot \"\"North\"\" <b>"), rows[1].constData());
    window_->controls().Edit2->setText("10");
    window_->ToolButton2Click();
}

void TestEndToEnd::routeEndsArrowsAndFit() {
    const CoorPosLayout& ui = window_->controls();
    ui.Edit2->setText("30");
    ui.Edit20->setText("21");
    window_->ToolButton2Click();
    // Two dark pins with their times, no marker, arrowheads that are not the red line.
    QTRY_COMPARE(count(browser_, ".route-pin"), 2);
    QCOMPARE(count(browser_, ".leaflet-marker-icon"), 0);
    QCOMPARE(count(browser_, "path[stroke=\"#ff0000\"]"), 1);
    QVERIFY(count(browser_, ".route-arrow") > 0);
    QCOMPARE(count(browser_, ".route-arrow[stroke=\"#ff0000\"], .route-arrow[fill=\"#ff0000\"]"),
             0);
    const QString start = start_.toString("hh:mm:ss");
    const QString end = start_.addSecs(29 * 60).toString("hh:mm:ss");
    const QString times =
        evaluate(browser_, "Array.from(document.querySelectorAll('.route-pin-time'))"
                           ".map(function (t) { return t.textContent; }).join('|')")
            .toString();
    QVERIFY2(times.startsWith("Start ") && times.contains(start) && times.contains("|End ") &&
                 times.contains(end),
             qPrintable(times));

    const QString allShown =
        "(function () { var m = GMap2.fromContainer(document.getElementById('Canvas'));"
        " var b = m.leaflet_.getBounds(); return m.getOverlays()"
        ".filter(function (o) { return o instanceof GPolyline; })[0].points_"
        ".every(function (p) { return b.contains([p.lat(), p.lng()]); }); })()";
    QVERIFY(!evaluate(browser_, allShown).toBool()); // zoom 21 shows a part only
    ui.FitRouteCheck->setChecked(true);
    window_->ToolButton2Click();
    QTRY_VERIFY(evaluate(browser_, allShown).toBool());

    window_->ToolButton7Click();
    QTRY_COMPARE(count(browser_, ".route-pin"), 0);
    QCOMPARE(count(browser_, ".route-arrow"), 0);
    ui.FitRouteCheck->setChecked(false);
    ui.Edit20->setText("18");
    ui.Edit2->setText("10");
    window_->ToolButton2Click();
}

// A tick in every wait of a run: each is dropped, so the route stays drawn
// and the grid on its rows instead of the auto refresh's.
void TestEndToEnd::ticksNeverRunInsideARun() {
    QTimer* timer = window_->controls().Timer1;
    window_->controls().Edit1->setText("1");
    window_->controls().CheckBox1->setChecked(true);
    for (int run = 0; run < 5; ++run) {
        timer->start(1);
        window_->ToolButton2Click();
        timer->stop();
        QCOMPARE(window_->positionTable().rowCount(), 30);
        QCOMPARE(window_->positionTable().currentRow(), 19);
        QCOMPARE(count(browser_, ".leaflet-marker-icon"), 0);
        QCOMPARE(count(browser_, "path[stroke=\"#ff0000\"]"), 1);
    }
    window_->controls().CheckBox1->setChecked(false);
}

void TestEndToEnd::autoRefreshRunsOnTheTimerUntilUnticked() {
    window_->setStatusText(QString());
    window_->controls().Edit1->setText("1");
    window_->controls().CheckBox1->setChecked(true);
    QTRY_COMPARE_WITH_TIMEOUT(window_->statusText(), QStringLiteral("Record found"), 5000);
    QTRY_COMPARE(count(browser_, ".leaflet-marker-icon"), 1);
    window_->controls().CheckBox1->setChecked(false);
    window_->setStatusText(QString());
    QTest::qWait(1500);
    QVERIFY(window_->statusText().isEmpty());
}

// The tick applies at once to a loaded page; a reloaded page starts without
// clusters and gets them back with the next run; unticked, runs leave it so.
void TestEndToEnd::clusterTickReachesThePageAndOutlivesAReload() {
    const auto clustering = [this] {
        return evaluate(browser_, "GMap2.fromContainer(document.getElementById('Canvas'))"
                                  ".isClustering()")
            .toBool();
    };
    QAction* tick = window_->controls().ClusterRadios;
    window_->ToolButton1Click();
    QVERIFY(!clustering());
    tick->trigger();
    QVERIFY(clustering());
    window_->BaseHTML();
    QTRY_COMPARE_WITH_TIMEOUT(browser_->readyState(), 4, 20000);
    QTRY_VERIFY(evaluate(browser_, "typeof GoogleMap !== 'undefined'").toBool());
    QVERIFY(!clustering());
    window_->ToolButton1Click();
    QVERIFY(clustering());
    QTRY_VERIFY(count(browser_, ".leaflet-marker-icon") > 0);
    tick->trigger();
    QVERIFY(!clustering());
    window_->ToolButton1Click();
    QVERIFY(!clustering());
}

// Last, since it breaks the database: a radio whose newest report does not
// read, and then a database replaced by a file that is not one, are each
// reported once over several runs while the markers that can be drawn stay.
void TestEndToEnd::readProblemsAreReportedOnceAndKeepTheMarkers() {
    tick("Projects");
    TestDatabase("tavirelmonkas.db")
        .addReport(7, QDateTime::currentDateTime().toString("yyyy-MM-dd hh:mm:ss"), "41.000000",
                   "28.600000");
    MessageBoxWatcher boxes;
    for (int run = 0; run < 3; ++run) {
        window_->ToolButton1Click();
        QTRY_COMPARE(count(browser_, ".leaflet-marker-icon"), 1);
        QCOMPARE(window_->statusText(),
                 QStringLiteral("Record found \u00b7 position of radio 7 cannot be read"));
    }
    QCOMPARE(boxes.boxes().size(), 1);
    QVERIFY(boxes.boxes()[0].critical);
    QVERIFY2(boxes.texts()[0].startsWith("Radio 7 is not shown"), qPrintable(boxes.texts()[0]));

    boxes.clear();
    QVERIFY(QFile::rename("tavirelmonkas.db", "saved.db"));
    QFile garbage("tavirelmonkas.db");
    QVERIFY(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(8192, 'x'));
    garbage.close();
    for (int run = 0; run < 3; ++run) {
        window_->ToolButton1Click();
        QTRY_COMPARE(count(browser_, ".leaflet-marker-icon"), 1);
    }
    QCOMPARE(boxes.boxes().size(), 1);
    QVERIFY2(boxes.texts()[0].startsWith("The position reports could not be read again"),
             qPrintable(boxes.texts()[0]));

    QVERIFY(QFile::remove("tavirelmonkas.db"));
    QVERIFY(QFile::rename("saved.db", "tavirelmonkas.db"));
    window_->ToolButton1Click();
    QTRY_COMPARE(count(browser_, ".leaflet-marker-icon"), 1);
    QCOMPARE(boxes.boxes().size(), 1);
    QVERIFY(window_->positionTable().refreshError().isEmpty());
}

int main(int argc, char** argv) {
    registerMapUrlScheme();
    Application application(argc, argv);
    TestEndToEnd test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_endtoend.moc"
