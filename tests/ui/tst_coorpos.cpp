#include "../support/MessageBoxWatcher.h"
#include "../support/ProgramFiles.h"
#include "../support/TestDatabase.h"
#include "../support/WorkingDirectory.h"
#include "app/Application.h"
#include "app/ApplicationTitle.h"
#include "map/browser/MapUrlScheme.h"
#include "map/browser/TWebBrowser.h"
#include "store/TableCursor.h"
#include "ui/coorposunit.h"
#include "ui/views/SelectedRadios.h"
#include "ui/widgets/GradientSplitter.h"
#include "ui/widgets/LoadProgress.h"
#include "ui/widgets/UpDownButtons.h"

#include "ui/widgets/DateTimePicker.h"
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

namespace {

void makeDemoDatabase(const QString& path) {
    TestDatabase(path)
        .createSchema()
        .addProject(1, "North")
        .addMember(1, 10)
        .addPerson(10, "Ann", "Lee", 12)
        .addReport(12, "2024-03-01 10:00:00", "41.000000", "29.000000");
}

// A click that waits in the event queue, as one made just before a slow handler starts.
void postClick(QWidget* button) {
    const QPointF centre = QRectF(button->rect()).center();
    const QPointF global = button->mapToGlobal(centre);
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
        QCoreApplication::postEvent(
            button,
            new QMouseEvent(type, centre, global, Qt::LeftButton,
                            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                            Qt::NoModifier));
}

const QDateTime kLayoutDate(QDate(2011, 10, 17), QTime(18, 37, 8));

} // namespace

class TestCoorPos : public QObject {
    Q_OBJECT

private slots:
    void cleanup();
    void startsOnAGoodDatabase();
    void startsWithoutDatabaseFile();
    void startsWhenTheDatabaseCannotBeOpened();
    void reportsLoadBesideTheStatusText();
    void reportsLoadedDuringARunShowAfterIt();
    void keyIsReadBesideTheExecutableOnly_data();
    void keyIsReadBesideTheExecutableOnly();
    void staleMinutesIsReadAtStartUp_data();
    void staleMinutesIsReadAtStartUp();
    void mapViewIsReadAtStartUp_data();
    void mapViewIsReadAtStartUp();
    void numberFieldsTakeDigitsOnly_data();
    void numberFieldsTakeDigitsOnly();
    void zoomSpinStopsAtTheRange();
    void layoutNamesCaptionsAndToolbarOrder();
    void mapMenuHoldsExclusiveViewModes();
    void radioFilterHidesMembersOnly();
    void splittersKeepThirtyPixels();
    void quickRangeFillsBothPickers();
    void closeButtonClosesTheWindow();
    void autoRefreshSwitch_data();
    void autoRefreshSwitch();
    void commandsWhileTheMapLoads();
};

void TestCoorPos::cleanup() {
    QFile::remove(iniBesideExecutable());
}

void TestCoorPos::startsOnAGoodDatabase() {
    WorkingDirectory cwd;
    makeDemoDatabase(cwd.filePath("tavirelmonkas.db"));
    MessageBoxWatcher boxes;
    const QDateTime before = QDateTime::currentDateTime();
    Tcoor_pos window;
    const CoorPosLayout& ui = window.controls();
    QVERIFY(boxes.boxes().isEmpty());
    QVERIFY(ui.initalize_map->isActive());
    QCOMPARE(ui.initalize_map->interval(), 1000);
    QVERIFY(ui.initalize_map->isSingleShot());
    QCOMPARE(ui.JvTreeView1->topLevelItem(0)->child(0)->child(0)->text(0),
             QStringLiteral("12-Ann Lee"));
    // The reports load beside the window, which shows them once read.
    QTRY_COMPARE(window.positionTable().rowCount(), 1);
    QVERIFY(ui.DateTimePicker1->value() >= before.addMSecs(-1));
    QVERIFY(ui.DateTimePicker2->value() >= ui.DateTimePicker1->value());
}

void TestCoorPos::startsWithoutDatabaseFile() {
    WorkingDirectory cwd;
    writeFile(iniBesideExecutable(), "[General]\nGoogleMapKey=K1\n");
    MessageBoxWatcher boxes;
    Tcoor_pos window;
    const CoorPosLayout& ui = window.controls();
    QCOMPARE(boxes.boxes().size(), 1);
    QCOMPARE(boxes.boxes().first().caption, applicationTitle());
    QVERIFY(boxes.boxes().first().critical);
    QVERIFY(boxes.boxes().first().text.contains("map_coor"));
    QVERIFY(QFile::exists(cwd.filePath("tavirelmonkas.db")));
    QCOMPARE(window.mapApiKey(), QStringLiteral("K1"));
    QVERIFY(ui.DateTimePicker1->value() != kLayoutDate);
    QVERIFY(!ui.initalize_map->isActive());
    QCOMPARE(ui.JvTreeView1->topLevelItemCount(), 0);
}

// A first read of the reports that runs long shows beside the status text
// with a Cancel; cancelled, the window says so, reports nothing and offers
// to load again.
void TestCoorPos::reportsLoadBesideTheStatusText() {
    WorkingDirectory cwd;
    const QString path = cwd.filePath("tavirelmonkas.db");
    makeDemoDatabase(path);
    QCOMPARE(TestDatabase(path).execute(
                 "ALTER TABLE map_coor RENAME TO reports;"
                 "CREATE VIEW map_coor AS WITH RECURSIVE n(v) AS (SELECT 1 UNION ALL"
                 " SELECT v + 1 FROM n) SELECT * FROM reports UNION ALL"
                 " SELECT reports.* FROM reports, n WHERE v < 0"),
             QString());
    MessageBoxWatcher boxes;
    Tcoor_pos window;
    const CoorPosLayout& ui = window.controls();
    auto* button = ui.ReportLoad->findChild<QToolButton*>(QStringLiteral("LoadProgressButton"));
    auto* text = ui.ReportLoad->findChild<QLabel*>(QStringLiteral("LoadProgressText"));
    QVERIFY(window.positionTable().isLoading());
    QVERIFY(!ui.ReportLoad->isHidden());
    QCOMPARE(ui.ReportLoad->parentWidget(), ui.StatusText->parentWidget());
    QCOMPARE(button->text(), QStringLiteral("Cancel"));

    button->click();
    QTRY_VERIFY(!window.positionTable().isLoading());
    QVERIFY(!ui.ReportLoad->isHidden());
    QCOMPARE(text->text(), QStringLiteral("Reports not loaded"));
    QCOMPARE(button->text(), QStringLiteral("Load"));
    QCOMPARE(window.positionTable().rowCount(), 0);
    QVERIFY(boxes.boxes().isEmpty());

    button->click();
    QVERIFY(window.positionTable().isLoading());
    QCOMPARE(button->text(), QStringLiteral("Cancel"));
    button->click();
    QTRY_VERIFY(!window.positionTable().isLoading());
}

// A load that ends while another run waits for the map page shows once that
// run is over, though the run itself never refreshes the table.
void TestCoorPos::reportsLoadedDuringARunShowAfterIt() {
    WorkingDirectory cwd;
    makeDemoDatabase(cwd.filePath("tavirelmonkas.db"));
    Tcoor_pos window;
    QVERIFY(window.positionTable().isLoading());
    window.ToolButton3Click();
    QVERIFY(!window.positionTable().isLoading());
    QTRY_COMPARE(window.positionTable().rowCount(), 1);
}

void TestCoorPos::startsWhenTheDatabaseCannotBeOpened() {
    WorkingDirectory cwd;
    QDir(cwd.filePath(".")).mkdir("tavirelmonkas.db");
    writeFile(iniBesideExecutable(), "[General]\nGoogleMapKey=K1\n");
    MessageBoxWatcher boxes;
    Tcoor_pos window;
    const CoorPosLayout& ui = window.controls();
    QCOMPARE(boxes.boxes().size(), 1);
    QVERIFY(boxes.boxes().first().critical);
    QVERIFY(window.mapApiKey().isEmpty());
    QCOMPARE(ui.DateTimePicker1->value(), kLayoutDate);
    QCOMPARE(ui.DateTimePicker2->value(), kLayoutDate);
    QVERIFY(!ui.initalize_map->isActive());
    QCOMPARE(ui.JvTreeView1->topLevelItemCount(), 0);
}

void TestCoorPos::keyIsReadBesideTheExecutableOnly_data() {
    QTest::addColumn<QByteArray>("besideExe");
    QTest::addColumn<QByteArray>("inWorkingDir");
    QTest::addColumn<QString>("key");
    QTest::newRow("beside the executable")
        << QByteArray("[General]\nGoogleMapKey=abc\n") << QByteArray() << "abc";
    QTest::newRow("only in the working directory")
        << QByteArray() << QByteArray("[General]\nGoogleMapKey=abc\n") << "";
    QTest::newRow("section without key") << QByteArray("[General]\n") << QByteArray() << "";
    QTest::newRow("3000 characters")
        << "[General]\nGoogleMapKey=" + QByteArray(3000, 'x') << QByteArray() << QString(2047, 'x');
}

void TestCoorPos::keyIsReadBesideTheExecutableOnly() {
    QFETCH(QByteArray, besideExe);
    QFETCH(QByteArray, inWorkingDir);
    QFETCH(QString, key);
    WorkingDirectory cwd;
    makeDemoDatabase(cwd.filePath("tavirelmonkas.db"));
    if (!besideExe.isEmpty())
        writeFile(iniBesideExecutable(), besideExe);
    if (!inWorkingDir.isEmpty())
        writeFile(cwd.filePath("tavirelmonkas.ini"), inWorkingDir);
    MessageBoxWatcher boxes;
    Tcoor_pos window;
    QCOMPARE(window.mapApiKey(), key);
    QVERIFY(boxes.boxes().isEmpty());
}

void TestCoorPos::staleMinutesIsReadAtStartUp_data() {
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<int>("boxes");
    QTest::newRow("no INI file") << QByteArray() << 10 << 0;
    QTest::newRow("key missing") << QByteArray("[General]\nGoogleMapKey=K\n") << 10 << 0;
    QTest::newRow("five minutes") << QByteArray("[General]\nstaleminutes = 5\n") << 5 << 0;
    QTest::newRow("zero") << QByteArray("[General]\nStaleMinutes=0\n") << 10 << 1;
    QTest::newRow("text") << QByteArray("[General]\nStaleMinutes=soon\n") << 10 << 1;
    QTest::newRow("in another section") << QByteArray("[Map]\nStaleMinutes=5\n") << 10 << 0;
}

// A value that is no positive number falls back with one message, and the
// rest of the start-up goes on.
void TestCoorPos::staleMinutesIsReadAtStartUp() {
    QFETCH(QByteArray, ini);
    QFETCH(int, minutes);
    QFETCH(int, boxes);
    WorkingDirectory cwd;
    makeDemoDatabase(cwd.filePath("tavirelmonkas.db"));
    if (!ini.isEmpty())
        writeFile(iniBesideExecutable(), ini);
    MessageBoxWatcher watcher;
    Tcoor_pos window;
    QCOMPARE(window.staleMinutes(), minutes);
    QCOMPARE(watcher.boxes().size(), boxes);
    if (boxes == 1)
        QVERIFY(watcher.texts().first().contains("StaleMinutes"));
    QVERIFY(window.controls().initalize_map->isActive());
}

void TestCoorPos::mapViewIsReadAtStartUp_data() {
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("checked");
    QTest::addColumn<int>("boxes");
    QTest::newRow("no key") << QByteArray("[General]\n") << "ViewFollowLast" << 0;
    QTest::newRow("fit, any case")
        << QByteArray("[General]\nMapView=fitall\n") << "ViewFitAll" << 0;
    QTest::newRow("keep") << QByteArray("[General]\nMapView=KeepMine\n") << "ViewKeepMine" << 0;
    QTest::newRow("unknown") << QByteArray("[General]\nMapView=Zoom\n") << "ViewFollowLast" << 1;
}

void TestCoorPos::mapViewIsReadAtStartUp() {
    QFETCH(QByteArray, ini);
    QFETCH(QString, checked);
    QFETCH(int, boxes);
    WorkingDirectory cwd;
    makeDemoDatabase(cwd.filePath("tavirelmonkas.db"));
    writeFile(iniBesideExecutable(), ini);
    MessageBoxWatcher watcher;
    Tcoor_pos window;
    QCOMPARE(window.controls().MapViewModes->checkedAction()->objectName(), checked);
    QCOMPARE(watcher.boxes().size(), boxes);
    if (boxes == 1)
        QVERIFY(watcher.texts().first().contains("MapView"));
}

void TestCoorPos::numberFieldsTakeDigitsOnly_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("invalidBoxes");
    QTest::newRow("digit") << int(Qt::Key_7) << 0 << "307" << 0;
    QTest::newRow("letter") << int(Qt::Key_A) << 0 << "30" << 1;
    QTest::newRow("point") << int(Qt::Key_Period) << 0 << "30" << 1;
    QTest::newRow("minus") << int(Qt::Key_Minus) << 0 << "30" << 1;
    QTest::newRow("enter") << int(Qt::Key_Return) << 0 << "30" << 1;
    QTest::newRow("escape") << int(Qt::Key_Escape) << 0 << "30" << 1;
    QTest::newRow("ctrl+c") << int(Qt::Key_C) << int(Qt::ControlModifier) << "30" << 1;
    QTest::newRow("ctrl+v") << int(Qt::Key_V) << int(Qt::ControlModifier) << "30" << 1;
    QTest::newRow("backspace") << int(Qt::Key_Backspace) << 0 << "3" << 0;
    QTest::newRow("ctrl+h is backspace") << int(Qt::Key_H) << int(Qt::ControlModifier) << "3" << 0;
    QTest::newRow("left arrow types nothing") << int(Qt::Key_Left) << 0 << "30" << 0;
    QTest::newRow("delete types nothing") << int(Qt::Key_Delete) << 0 << "30" << 0;
}

void TestCoorPos::numberFieldsTakeDigitsOnly() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(int, invalidBoxes);
    WorkingDirectory cwd;
    makeDemoDatabase(cwd.filePath("tavirelmonkas.db"));
    Tcoor_pos window;
    MessageBoxWatcher boxes;
    for (QLineEdit* field :
         {window.controls().Edit1, window.controls().Edit2, window.controls().Edit20}) {
        field->setText("30");
        field->setCursorPosition(2);
        QTest::keyClick(field, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(field->text(), text);
    }
    QCOMPARE(boxes.texts(), QStringList(invalidBoxes * 3, "Invalid key"));
}

void TestCoorPos::zoomSpinStopsAtTheRange() {
    WorkingDirectory cwd;
    makeDemoDatabase(cwd.filePath("tavirelmonkas.db"));
    Tcoor_pos window;
    const CoorPosLayout& ui = window.controls();
    QCOMPARE(ui.Edit20->text(), QStringLiteral("18"));
    ui.UpDown4->stepBy(1);
    QCOMPARE(ui.Edit20->text(), QStringLiteral("19"));
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(ui.Edit20, Qt::Key_Up);
    QCOMPARE(ui.Edit20->text(), QStringLiteral("21"));
    ui.Edit20->setText("1");
    ui.UpDown4->stepBy(-1);
    ui.UpDown4->stepBy(-1);
    QCOMPARE(ui.Edit20->text(), QStringLiteral("0"));
    ui.Edit20->setText("99"); // typed numbers are not limited
    QCOMPARE(ui.Edit20->text(), QStringLiteral("99"));
}

void TestCoorPos::layoutNamesCaptionsAndToolbarOrder() {
    WorkingDirectory cwd;
    makeDemoDatabase(cwd.filePath("tavirelmonkas.db"));
    Tcoor_pos window;
    QCOMPARE(window.windowTitle(), QStringLiteral("GPS Positions"));
    QStringList order;
    for (QAction* action : window.controls().ToolBar1->actions())
        order << window.controls().ToolBar1->widgetForAction(action)->objectName();
    QCOMPARE(order, QStringList({"ToolButton1", "ToolButton2", "ToolButton4", "ToolButton5",
                                 "ToolButton7", "ToolButton3", "ToolButton9", "ToolButton8"}));
    for (const char* name : {"JvDesignPanel1",
                             "JvDesignPanel2",
                             "JvDesignPanel3",
                             "JvDesignPanel4",
                             "JvDesignPanel5",
                             "JvOutlookSplitter2",
                             "JvOutlookSplitter3",
                             "JvNavPanelHeader1",
                             "JvNavPanelHeader7",
                             "JvgPageControl1",
                             "JvgPageControl2",
                             "TabSheet1",
                             "TabSheet2",
                             "TabSheet3",
                             "TabSheet4",
                             "WebBrowser1",
                             "JvTreeView1",
                             "DBGrid1",
                             "StatusBar1",
                             "Edit1",
                             "Edit2",
                             "Edit20",
                             "UpDown4",
                             "CheckBox1",
                             "DateTimePicker1",
                             "DateTimePicker2",
                             "Button1",
                             "Label1",
                             "Label2",
                             "Label3",
                             "Label4",
                             "Label5",
                             "MainMenu1",
                             "FileMenu",
                             "HelpMenu"})
        QVERIFY2(window.findChild<QObject*>(name), name);
    QVERIFY(window.findChild<QTimer*>("Timer1"));
    QVERIFY(!window.controls().Timer1->isActive());
    QCOMPARE(window.controls().Timer1->interval(), 60000);
}

void TestCoorPos::quickRangeFillsBothPickers() {
    WorkingDirectory cwd;
    makeDemoDatabase(cwd.filePath("tavirelmonkas.db"));
    Tcoor_pos window;
    const CoorPosLayout& ui = window.controls();
    QCOMPARE(ui.DateTimePicker1->geometry(), QRect(119, 35, 82, 22));
    QCOMPARE(ui.DateTimePicker2->geometry(), QRect(119, 91, 82, 22));
    QCOMPARE(ui.QuickRangeCombo->count(), 4);
    const QDate today = QDate::currentDate();
    emit ui.QuickRangeCombo->activated(3); // Yesterday
    QCOMPARE(ui.DateTimePicker1->value(), QDateTime(today.addDays(-1), QTime(0, 0)));
    QCOMPARE(ui.DateTimePicker2->value(), QDateTime(today.addDays(-1), QTime(23, 59, 59, 999)));
    QCOMPARE(ui.QuickRangeCombo->currentIndex(), 0);
    const QDateTime before = QDateTime::currentDateTime();
    emit ui.QuickRangeCombo->activated(1); // Last hour
    QVERIFY(ui.DateTimePicker2->value() >= before);
    QCOMPARE(ui.DateTimePicker1->value(), ui.DateTimePicker2->value().addSecs(-3600));
}

void TestCoorPos::mapMenuHoldsExclusiveViewModes() {
    WorkingDirectory cwd;
    makeDemoDatabase(cwd.filePath("tavirelmonkas.db"));
    Tcoor_pos window;
    const CoorPosLayout& ui = window.controls();
    QStringList menus;
    for (QAction* action : ui.MainMenu1->actions())
        menus << action->text();
    QCOMPARE(menus, QStringList({"File", "Help", "Map"}));
    QStringList modes;
    for (QAction* action : ui.MapMenu->actions())
        modes << action->objectName() + "=" + action->text();
    QCOMPARE(modes,
             QStringList({"ViewFollowLast=Follow the last radio", "ViewFitAll=Fit all radios",
                          "ViewKeepMine=Keep my view", "=", "ClusterRadios=Group Crowded Radios",
                          "=", "Areas1=Areas\u2026", "ShowAlerts=Alerts", "Replay1=Replay\u2026"}));
    QVERIFY(ui.MapMenu->actions()[3]->isSeparator());
    QCOMPARE(ui.Replay1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
    QCOMPARE(window.mapViewMode(), MapViewMode::FollowLast);
    // Clusters are a tick of their own, off at start, beside whichever mode.
    QVERIFY(ui.ClusterRadios->isCheckable() && !ui.ClusterRadios->isChecked());
    QCOMPARE(ui.ClusterRadios->actionGroup(), nullptr);
    ui.ClusterRadios->trigger();
    QVERIFY(ui.ClusterRadios->isChecked());
    QCOMPARE(window.mapViewMode(), MapViewMode::FollowLast);
    ui.ViewKeepMine->trigger();
    QCOMPARE(window.mapViewMode(), MapViewMode::KeepMine);
    ui.ViewFitAll->trigger();
    QVERIFY(!ui.ViewKeepMine->isChecked());
    QCOMPARE(window.mapViewMode(), MapViewMode::FitAll);
    ui.ViewFitAll->trigger(); // an exclusive group keeps one checked
    QVERIFY(ui.ViewFitAll->isChecked());
}

// Typed on the options page, in space clear of its controls; the member
// hides, stays ticked and selected.
void TestCoorPos::radioFilterHidesMembersOnly() {
    WorkingDirectory cwd;
    makeDemoDatabase(cwd.filePath("tavirelmonkas.db"));
    Tcoor_pos window;
    const CoorPosLayout& ui = window.controls();
    const QList<QWidget*> pageControls{ui.Label5, ui.Edit1,  ui.CheckBox1,
                                       ui.Label2, ui.Edit20, ui.UpDown4};
    for (QWidget* control : pageControls)
        for (QWidget* added : QList<QWidget*>{ui.RadioFilter, ui.RadioFilterLabel})
            QVERIFY2(!control->geometry().intersects(added->geometry()),
                     qPrintable(control->objectName()));
    QTreeWidgetItem* member = ui.JvTreeView1->topLevelItem(0)->child(0)->child(0);
    member->setCheckState(0, Qt::Checked);
    QTest::keyClicks(ui.RadioFilter, "bob");
    QVERIFY(member->isHidden());
    QCOMPARE(member->checkState(0), Qt::Checked);
    QCOMPARE(window.selectedRadios()[1], 12);
    ui.RadioFilter->clear();
    QVERIFY(!member->isHidden());
    QTest::keyClicks(ui.RadioFilter, "ANN");
    QVERIFY(!member->isHidden());
}

void TestCoorPos::splittersKeepThirtyPixels() {
    WorkingDirectory cwd;
    makeDemoDatabase(cwd.filePath("tavirelmonkas.db"));
    Tcoor_pos window;
    window.resize(923, 720);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (QSplitter* splitter : {static_cast<QSplitter*>(window.controls().JvOutlookSplitter2),
                                static_cast<QSplitter*>(window.controls().JvOutlookSplitter3)}) {
        const int total = splitter->sizes().value(0) + splitter->sizes().value(1);
        splitter->setSizes({total, 0});
        QVERIFY2(splitter->sizes().value(1) >= 30, qPrintable(splitter->objectName()));
        splitter->setSizes({0, total});
        QVERIFY2(splitter->sizes().value(0) >= 30, qPrintable(splitter->objectName()));
    }
}

void TestCoorPos::closeButtonClosesTheWindow() {
    WorkingDirectory cwd;
    makeDemoDatabase(cwd.filePath("tavirelmonkas.db"));
    Tcoor_pos window;
    window.show();
    QVERIFY(window.isVisible());
    window.controls().ToolButton8->click();
    QVERIFY(!window.isVisible());
}

void TestCoorPos::autoRefreshSwitch_data() {
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<bool>("timerActive");
    QTest::addColumn<bool>("boxTicked");
    QTest::addColumn<int>("interval");
    QTest::addColumn<QString>("message");
    QTest::newRow("30 seconds") << "30" << true << true << 30000 << "";
    QTest::newRow("0 never runs") << "0" << false << true << 0 << "";
    QTest::newRow("too long for the timer")
        << "3000000" << false << false << 60000 << "The refresh interval is too long.";
    QTest::newRow("negative, pasted into the field")
        << "-5" << false << false << 60000 << "The refresh interval cannot be negative.";
    QTest::newRow("empty field") << "" << false << true << 60000
                                 << "'' is not a valid integer value.";
}

void TestCoorPos::autoRefreshSwitch() {
    QFETCH(QString, seconds);
    QFETCH(bool, timerActive);
    QFETCH(bool, boxTicked);
    QFETCH(int, interval);
    QFETCH(QString, message);
    WorkingDirectory cwd;
    makeDemoDatabase(cwd.filePath("tavirelmonkas.db"));
    Tcoor_pos window;
    window.show();
    const CoorPosLayout& ui = window.controls();
    ui.Edit1->setText(seconds);
    MessageBoxWatcher boxes;
    QTest::mouseClick(ui.CheckBox1, Qt::LeftButton);
    QCOMPARE(ui.Timer1->isActive(), timerActive);
    QCOMPARE(ui.CheckBox1->isChecked(), boxTicked);
    QCOMPARE(ui.Timer1->interval(), interval);
    QCOMPARE(boxes.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    if (boxTicked) {
        QTest::mouseClick(ui.CheckBox1, Qt::LeftButton);
        QVERIFY(!ui.Timer1->isActive());
    }
}

// Real clicks while the map page loads: before the first load a clear
// message; a click queued during a reload is dropped, and one right after
// the reload waits for the map; never a raw script error or a long freeze.
void TestCoorPos::commandsWhileTheMapLoads() {
    WorkingDirectory cwd;
    makeDemoDatabase(cwd.filePath("tavirelmonkas.db"));
    Tcoor_pos window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const CoorPosLayout& ui = window.controls();
    MessageBoxWatcher boxes;
    QTest::mouseClick(ui.ToolButton7, Qt::LeftButton);
    QCOMPARE(boxes.texts(), QStringList{"The map is not loaded yet."});
    QTRY_COMPARE_WITH_TIMEOUT(ui.WebBrowser1->readyState(), 4, 20000);

    boxes.clear();
    ui.JvTreeView1->topLevelItem(0)->setCheckState(0, Qt::Checked);
    postClick(ui.ToolButton1);
    QTest::mouseClick(ui.ToolButton3, Qt::LeftButton);
    QTest::mouseClick(ui.ToolButton1, Qt::LeftButton);
    QCOMPARE(boxes.texts(), QStringList());
    QCOMPARE(window.statusText(), QStringLiteral("Record found"));
    QCOMPARE(ui.WebBrowser1->readyState(), 4);
}

int main(int argc, char** argv) {
    registerMapUrlScheme();
    Application application(argc, argv);
    TestCoorPos test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_coorpos.moc"
