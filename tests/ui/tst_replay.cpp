// Map > Replay… in the whole program on a real page: what the bar counts,
// following a clicked radio in the grid, and reports the writer appends while
// the replay lasts.
#include "../support/PageScript.h"
#include "../support/TestDatabase.h"
#include "app/Application.h"
#include "map/browser/MapUrlScheme.h"
#include "map/browser/TApplicationWrapper.h"
#include "map/browser/TWebBrowser.h"
#include "store/TableCursor.h"
#include "ui/coorposunit.h"
#include "ui/widgets/ReplayBar.h"

#include <QAction>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QWebEnginePage>

namespace {

const QString markers =
    QStringLiteral("GMap2.fromContainer(document.getElementById('Canvas')).getOverlays()"
                   ".filter(function (o) { return o instanceof GMarker; })"
                   ".map(function (o) { return o.getLatLng().toUrlValue(4); }).join(' ')");

} // namespace

class TestReplay : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void barCountsUnreadableTimes();
    void clickedRadioIsFollowedInTheGrid();
    void appendedReportsReachTheReplay();

private:
    QStringList shownMarkers() {
        return evaluateInPage(window_->controls().WebBrowser1->page(), markers)
            .toString()
            .split(u' ', Qt::SkipEmptyParts);
    }
    void replayAt(int secondsAfterStart) {
        window_->controls().ReplayBar1->setTime(wallClock(start_.addSecs(secondsAfterStart)));
    }

    QTemporaryDir dir_;
    QString previousDir_;
    std::unique_ptr<Tcoor_pos> window_;
    QDateTime start_;
};

// Radio 12 drives north a minute of latitude a minute from 40° 10', radio 7
// stays at 41° 30'; one report of radio 7 has a time that does not read.
void TestReplay::initTestCase() {
    previousDir_ = QDir::currentPath();
    QDir::setCurrent(dir_.path());
    TestDatabase db("tavirelmonkas.db");
    db.createSchema()
        .addProject(1, "North")
        .addMember(1, 10)
        .addMember(1, 11)
        .addPerson(10, "Ann", "Lee", 12)
        .addPerson(11, "Bob", "Kay", 7);
    start_ = QDateTime::currentDateTime().addSecs(-3600);
    for (int i = 0; i < 30; ++i) {
        const QString time = storedTime(start_.addSecs(60 * i));
        db.addReport(12, time, QStringLiteral("40.%1").arg(10 + i) + "0000", "29.000000");
        db.addReport(7, time, "41.300000", "29.300000");
    }
    db.addReport(7, "not a time", "41.300000", "29.300000");
    window_ = std::make_unique<Tcoor_pos>();
    window_->resize(1200, 800);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    window_->BaseHTML();
    QTRY_COMPARE_WITH_TIMEOUT(window_->controls().WebBrowser1->readyState(), 4, 20000);
    QTRY_COMPARE(window_->positionTable().rows().rowCount(), 61u);
    window_->controls()
        .JvTreeView1->findItems("North", Qt::MatchExactly | Qt::MatchRecursive)
        .first()
        ->setCheckState(0, Qt::Checked);
    window_->controls().Replay1->trigger();
    QVERIFY(window_->controls().ReplayBar1->isVisible());
}

void TestReplay::cleanupTestCase() {
    window_.reset();
    QDir::setCurrent(previousDir_);
}

void TestReplay::barCountsUnreadableTimes() {
    const auto* count = window_->findChild<QLabel*>(QStringLiteral("ReplayUnreadable"));
    QVERIFY(count->isVisible());
    QCOMPARE(count->text(), QStringLiteral("1 report without a readable time"));
}

void TestReplay::clickedRadioIsFollowedInTheGrid() {
    replayAt(10 * 60 + 30);
    QTRY_COMPARE(shownMarkers().size(), 2);
    QVERIFY(shownMarkers().contains("40.3333,29"));
    // The page reports a click on radio 12's marker at its point.
    window_->controls().WebBrowser1->external()->DoMarkerClick(40.3333, 29);
    TableCursor& grid = window_->positionTable();
    QCOMPARE(grid.filter(), QStringLiteral("radio_short_id=12"));
    QCOMPARE(grid.currentRow(), 10);
    replayAt(20 * 60);
    QCOMPARE(grid.currentRow(), 20);
    QCOMPARE(grid.fieldAsInteger("radio_short_id"), 12);
}

void TestReplay::appendedReportsReachTheReplay() {
    TestDatabase("tavirelmonkas.db")
        .addReport(7, storedTime(start_.addSecs(45 * 60)), "41.420000", "29.420000");
    window_->Timer1Timer();
    replayAt(45 * 60 + 10);
    QTRY_VERIFY2(shownMarkers().contains("41.7,29.7"), qPrintable(shownMarkers().join(' ')));
}

int main(int argc, char** argv) {
    registerMapUrlScheme();
    Application application(argc, argv);
    TestReplay test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_replay.moc"
