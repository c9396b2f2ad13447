#include "../support/MessageBoxWatcher.h"
#include "../support/PageScript.h"
#include "../support/ProgramFiles.h"
#include "../support/TestDatabase.h"
#include "alerts/AlertLog.h"
#include "app/Application.h"
#include "map/browser/MapUrlScheme.h"
#include "map/browser/TWebBrowser.h"
#include "store/TableCursor.h"
#include "ui/AlertDesk.h"
#include "ui/alerts/AlertPanel.h"
#include "ui/coorposunit.h"

#include <QDockWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

namespace {

// A block north-east of the radio's first report, alerting on enter.
const QByteArray kAreas = R"({"type":"FeatureCollection","features":[{"type":"Feature",
  "properties":{"name":"Yard <b>","rule":"enter"},"geometry":{"type":"Polygon",
  "coordinates":[[[29.05,41.05],[29.15,41.05],[29.15,41.15],[29.05,41.15],[29.05,41.05]]]}}]})";

} // namespace

// The alerts in the whole window: the areas file named in the INI file, a
// radio driving in, the panel, the marked marker, acknowledging.
class TestAlertDesk : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void areasFileIsReadAtStartUp();
    void aRadioDrivingInIsAlertedAndMarkedUntilAcknowledged();
    void aBadAreasFileKeepsTheAreasHeld();
    void cleanupTestCase();

private:
    QTemporaryDir dir_;
    QString previousDir_;
    std::unique_ptr<MessageBoxWatcher> boxes_;
    std::unique_ptr<Tcoor_pos> window_;
};

void TestAlertDesk::initTestCase() {
    previousDir_ = QDir::currentPath();
    QDir::setCurrent(dir_.path());
    TestDatabase db("tavirelmonkas.db");
    db.createSchema().addProject(1, "North").addMember(1, 10).addPerson(10, "Ann", "Lee", 12);
    // 41.000000 is 41 degrees 0 minutes: south-west of the yard.
    db.addReport(12, storedTime(QDateTime::currentDateTime().addSecs(-120)), "41.000000",
                 "29.000000");
    writeFile(QDir(QCoreApplication::applicationDirPath()).filePath("areas.geojson"), kAreas);
    writeFile(iniBesideExecutable(), "[General]\nAreasFile=areas.geojson\n");

    boxes_ = std::make_unique<MessageBoxWatcher>();
    window_ = std::make_unique<Tcoor_pos>();
    window_->resize(1200, 800);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    window_->BaseHTML();
    QTRY_COMPARE_WITH_TIMEOUT(window_->controls().WebBrowser1->readyState(), 4, 20000);
    QTRY_COMPARE_WITH_TIMEOUT(window_->positionTable().rows().rowCount(), quint32(1), 20000);
}

void TestAlertDesk::areasFileIsReadAtStartUp() {
    QVERIFY2(boxes_->texts().isEmpty(), qPrintable(boxes_->texts().join('\n')));
    QCOMPARE(window_->alertDesk().areas().size(), size_t(1));
    QCOMPARE(window_->alertDesk().areas().front().name(), "Yard <b>");
    // Shown on the map, the name as text.
    QTRY_COMPARE(countInPage(window_->controls().WebBrowser1->page(), ".gmap-area"), 1);
    QVERIFY(!window_->alertDesk().dock()->isVisible());
}

void TestAlertDesk::aRadioDrivingInIsAlertedAndMarkedUntilAcknowledged() {
    TWebBrowser* page = window_->controls().WebBrowser1;
    window_->controls()
        .JvTreeView1->findItems("North", Qt::MatchExactly | Qt::MatchRecursive)
        .first()
        ->setCheckState(0, Qt::Checked);
    window_->ToolButton1Click();
    QTRY_COMPARE(countInPage(page->page(), "img.gmap-marker"), 1);
    QCOMPARE(countInPage(page->page(), ".gmap-marker-alert"), 0);

    // 41.060000 is 41.1 degrees: inside the yard.
    TestDatabase("tavirelmonkas.db")
        .addReport(12, storedTime(QDateTime::currentDateTime()), "41.060000", "29.060000");
    window_->ToolButton1Click();

    AlertPanel& panel = window_->alertDesk().panel();
    QTRY_COMPARE(panel.log().entries().size(), 1);
    QVERIFY(window_->alertDesk().dock()->isVisible());
    auto* list = panel.findChild<QTreeWidget*>("AlertList");
    QCOMPARE(list->topLevelItem(0)->text(2), "Ann Lee");
    QCOMPARE(list->topLevelItem(0)->text(3), "entered");
    QCOMPARE(list->topLevelItem(0)->text(4), "Yard <b>");
    QTRY_COMPARE(countInPage(page->page(), "img.gmap-marker-alert"), 1);
    QVERIFY(evaluateInPage(page->page(), "document.querySelector('.gmap-radio-alert').textContent")
                .toString()
                .contains("alert \u00b7 "));

    // The next run keeps the mark; acknowledged, it goes.
    window_->ToolButton1Click();
    QTRY_COMPARE(countInPage(page->page(), "img.gmap-marker-alert"), 1);
    panel.findChild<QPushButton*>("AcknowledgeAllAlerts")->click();
    QTRY_COMPARE(countInPage(page->page(), "img.gmap-marker-alert"), 0);
    QCOMPARE(countInPage(page->page(), "img.gmap-marker"), 1);
}

void TestAlertDesk::aBadAreasFileKeepsTheAreasHeld() {
    boxes_->clear();
    writeFile("bad.geojson", R"({"type":"FeatureCollection","features":[{"type":"Feature",
      "geometry":{"type":"Polygon","coordinates":[[[0,0],[1,1],[1,0],[0,1],[0,0]]]}}]})");
    QVERIFY(!window_->alertDesk().openAreasFile("bad.geojson"));
    QCOMPARE(boxes_->texts(),
             QStringList{"The areas file \"bad.geojson\" could not be opened: feature 1: Area "
                         "\"Area 1\" is not a simple polygon: its edges cross each other."});
    QCOMPARE(window_->alertDesk().areas().size(), size_t(1));
}

void TestAlertDesk::cleanupTestCase() {
    window_.reset();
    QFile::remove(iniBesideExecutable());
    QFile::remove(QDir(QCoreApplication::applicationDirPath()).filePath("areas.geojson"));
    QDir::setCurrent(previousDir_);
}

int main(int argc, char** argv) {
    registerMapUrlScheme();
    Application application(argc, argv);
    TestAlertDesk test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_alertdesk.moc"
