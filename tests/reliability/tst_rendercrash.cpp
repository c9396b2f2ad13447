// The page's render process killed while auto refresh runs: one report, a
// window that keeps working, and the reload button brings the map back.
#include "../support/MessageBoxWatcher.h"
#include "../support/TestDatabase.h"
#include "ProgramUnderTest.h"
#include "app/Application.h"
#include "map/browser/MapUrlScheme.h"
#include "map/browser/TWebBrowser.h"
#include "ui/coorposunit.h"
#include "ui/views/SelectedRadios.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWebEnginePage>

#include <csignal>

namespace {

const QString deadPageMessage =
    QStringLiteral("The map page has stopped working; reload the map to go on.");

} // namespace

class TestRenderCrash : public QObject {
    Q_OBJECT
private slots:
    void crashDuringAutoRefreshIsReportedOnce();
};

void TestRenderCrash::crashDuringAutoRefreshIsReportedOnce() {
    ProgramUnderTest program;
    TestDatabase(program.databasePath())
        .createSchema()
        .addProject(1, "North")
        .addMember(1, 10)
        .addMember(1, 11)
        .addPerson(10, "Ann", "Lee", 7)
        .addPerson(11, "Bob", "Kay", 12)
        .addReport(7, "2024-03-01 10:00:00", "41.000000", "29.000000")
        .addReport(12, "2024-03-01 10:00:00", "41.020000", "29.030000");
    MessageBoxWatcher boxes;
    program.start();
    program.loadMap();
    program.selectRadios({7, 12});
    Tcoor_pos& window = program.window();
    window.controls().Edit1->setText(QStringLiteral("1"));
    window.controls().CheckBox1->setChecked(true);
    QTRY_COMPARE_WITH_TIMEOUT(window.statusText(), QStringLiteral("Record found"), 5000);
    QTRY_COMPARE(program.markerCount(), 2);

    QWebEnginePage* page = program.browser().page();
    QSignalSpy ended(page, &QWebEnginePage::renderProcessTerminated);
    const qint64 pid = page->renderProcessPid();
    QVERIFY(pid > 0);
    QCOMPARE(::kill(pid_t(pid), SIGKILL), 0);
    QVERIFY(ended.wait(10000));

    // Ticks of the timer, and runs of its slot, while the page is dead.
    QTest::qWait(2500);
    for (int run = 0; run < 3; ++run)
        window.Timer1Timer();
    QCOMPARE(boxes.boxes().size(), 1);
    QVERIFY(boxes.boxes().first().critical);
    QCOMPARE(boxes.boxes().first().text, deadPageMessage);
    QVERIFY(window.controls().Timer1->isActive());

    // The window still answers: the tree selects, and the button says why
    // the map cannot show anything.
    window.controls().JvTreeView1->topLevelItem(0)->child(0)->child(0)->setCheckState(
        0, Qt::Unchecked);
    QCOMPARE(window.selectedRadios()[1], 12);
    boxes.clear();
    program.runHandler("ToolButton1Click");
    QCOMPARE(boxes.texts(), QStringList{deadPageMessage});

    // The reload, with a tick of auto refresh while the page loads.
    boxes.clear();
    window.setStatusText(QString());
    const QMetaObject::Connection tickWhileLoading =
        connect(&program.browser(), &QWebEngineView::loadStarted, &window,
                [&window] { QTimer::singleShot(0, &window, &Tcoor_pos::Timer1Timer); });
    program.runHandler("ToolButton3Click");
    disconnect(tickWhileLoading);
    QTRY_COMPARE_WITH_TIMEOUT(program.browser().readyState(), 4, 20000);
    QTRY_COMPARE_WITH_TIMEOUT(window.statusText(), QStringLiteral("Record found"), 5000);
    QTRY_COMPARE(program.markerCount(), 1);
    QVERIFY2(boxes.boxes().isEmpty(), qPrintable(boxes.texts().join(u'\n')));

    // A second crash after the reload is reported again.
    QCOMPARE(::kill(pid_t(page->renderProcessPid()), SIGKILL), 0);
    QVERIFY(ended.wait(10000));
    QTRY_COMPARE_WITH_TIMEOUT(boxes.texts(), QStringList{deadPageMessage}, 5000);
}

int main(int argc, char** argv) {
    registerMapUrlScheme();
    Application application(argc, argv);
    TestRenderCrash test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_rendercrash.moc"
