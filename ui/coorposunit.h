#pragma once

#include "store/Connection.h"
#include "ui/CoorPosLayout.h"
#include "ui/ExportActions.h"
#include "ui/views/ExclusiveRun.h"
#include "ui/views/MapViewMode.h"
#include "ui/views/RepeatedProblems.h"
#include "ui/views/RouteDisplay.h"
#include "ui/views/StaleMinutes.h"

#include <QMainWindow>
#include <chrono>
#include <functional>
#include <memory>

class AlertDesk;
class DigitKeyFilter;
class QTreeWidgetItem;
class RadioTree;
class ReplayMode;
class SelectedRadios;
class TableCursor;
struct ViewOutput;

// The main window: its start-up sequence and the handlers of its controls.
//
// The controls, handlers and cursors keep their layout names, which the tests
// and the screenshot tool use too. What each one is:
//   ToolButton1      last positions of the selected radios (ToolButton1Click)
//   ToolButton2      route of the first selected radio (ToolButton2Click)
//   ToolButton3      write and load the map page again (ToolButton3Click)
//   ToolButton4      start drawing a polygon (ToolButton4Click)
//   ToolButton5      start drawing a line (ToolButton5Click)
//   ToolButton7      clear the map (ToolButton7Click)
//   ToolButton8      close the window, which ends the program (ToolButton8Click)
//   ToolButton9      the toolbar's separator; there is no ToolButton6
//   Button1          "Show" on the fast-search page: the route, as ToolButton2
//   Edit1            seconds between automatic refreshes
//   CheckBox1        automatic refresh on or off
//   Edit2            number of route points
//   RouteSummaryText figures of the last route run
//   QuickRangeCombo  fills both date pickers: last hour, today or yesterday
//   FitRouteCheck    fit the view to the whole route after it is drawn
//   Edit20           zoom level of the map (UpDown4: its spin buttons, 0 to 21)
//   DateTimePicker1  first date of the route
//   DateTimePicker2  last date of the route
//   JvTreeView1      radio tree: projects and their members, with check boxes;
//                    a double-click on a member centres the map on it
//   DBGrid1          event-log grid over ZTable1
//   WebBrowser1      the map page
//   StatusText       the status bar's text (StatusBar1)
//   Exit2, About2    File > Exit and Help > About
//   ExportRoute1, ExportEventLog1  File > Export Route… and Export Event Log…
//   OpenMapFile1     File > Open Map File…: a street map for the session
//   ViewFollowLast, ViewFitAll, ViewKeepMine  Map menu: the last-position run's view mode
//   ClusterRadios    Map menu: group crowded markers into clusters (ClusterRadiosClick)
//   Areas1, ShowAlerts  Map menu: the areas dialog and the alert panel (AlertDesk)
//   OpenAreas1, SaveAreasAs1  File menu: the areas file
//   Replay1          Map > Replay…: the fleet at a past time (ReplayBar1 under the map)
//   SaveMapImage1    File > Save Map Image…: the map as shown, as PNG
//   RadioFilter      "Realtime Options": shows only the tree's members it names
//   Timer1           automatic refresh of the last positions (Timer1Timer)
//   initalize_map    one-shot timer for the first map load (initalize_mapTimer)
//   ZConnection1     the database connection
//   ZTable1          cursor over the position reports (PositionTable)
//   Projects, ProjectMembers, PersonelTeam  cursors the radio tree is built from
class Tcoor_pos : public QMainWindow {
    Q_OBJECT
public:
    explicit Tcoor_pos(QWidget* parent = nullptr);
    ~Tcoor_pos() override;

    const CoorPosLayout& controls() const { return ui; }
    const QString& mapApiKey() const { return MapApiKey; }
    TableCursor& positionTable() { return *ZTable1; }
    AlertDesk& alertDesk() { return *alertDesk_; }
    QString statusText() const;
    const SelectedRadios& selectedRadios() const;
    int staleMinutes() const { return staleMinutes_; }
    MapViewMode mapViewMode() const;
    ReplayMode& replay() { return *replay_; }

    void BaseHTML();

public slots:
    void ToolButton1Click();
    void ToolButton2Click();
    void Button1Click();
    void CheckBox1Click();
    void Timer1Timer();
    void JvTreeView1NodeCheckedChange(QTreeWidgetItem* Node);
    void JvTreeView1DblClick(QTreeWidgetItem* Node);
    void Exit2Click();
    void About2Click();
    void ToolButton8Click();
    void ToolButton3Click();
    void ToolButton4Click();
    void ToolButton5Click();
    void ToolButton7Click();
    void initalize_mapTimer();
    void setStatusText(const QString& text);
    // File > Export Route… and File > Export Event Log…: a save dialog, then
    // the export below.
    void ExportRoute1Click();
    void ExportEventLog1Click();
    void OpenMapFile1Click();
    void QuickRangeComboActivated(int index);
    void ClusterRadiosClick(bool on);
    void Replay1Click();
    void SaveMapImage1Click();

public:
    // The last route's reports as GPX or CSV (by the path's extension, else
    // the dialog's filter), and the grid's rows as CSV; a file that exists is
    // replaced only when confirmReplace says yes. Failures show one message.
    void exportRouteTo(const QString& path, const QString& selectedFilter,
                       const std::function<bool(const QString&)>& confirmReplace);
    void exportEventLogTo(const QString& path,
                          const std::function<bool(const QString&)>& confirmReplace);
    // The map as shown, labels and trails included, as PNG.
    void saveMapImageTo(const QString& path,
                        const std::function<bool(const QString&)>& confirmReplace);
    // The time the map shows: the replay's, else now.
    QDateTime mapShownTime() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void openServerTables();
    bool serverConnecting();
    void AppendPageLine(const QString& line);
    void BuildRadioTree();
    void ShowLastAllPointOnMap();
    void FormClose(QCloseEvent* event);
    void connectHandlers();
    void readConfiguration();
    void selectMapViewMode(MapViewMode mode);
    void reportMapFileErrors();
    void reportReadFailure();
    void reportsLoadingChanged(bool loading);
    void showLoadedReports();
    void setDatePickersToNow();
    ViewOutput viewOutput();
    void runMapCommand(const QString& command);
    void showRouteSummary(const Route& route);
    void markRoute();
    void leaveReplay();

    CoorPosLayout ui;
    DigitKeyFilter* digitKeyFilter_ = nullptr;
    RadioTree* radioTree_ = nullptr;
    AlertDesk* alertDesk_ = nullptr;
    QString areasFile_; // the INI file's AreasFile, resolved
    ReplayMode* replay_ = nullptr;
    ExclusiveRun viewRun_;
    bool deadPageReported_ = false;
    RepeatedProblems unreadableReports_;
    RepeatedProblems readFailures_;
    QString MapApiKey;
    // The last route run's reports, oldest first; none when it drew no line.
    Route lastRoute_;
    QString lastRouteName_;
    ExportActions exports_;
    int staleMinutes_ = StaleMinutes::byDefault;
    // Declared before the cursors: members go in reverse order, so the cursors close first.
    Connection ZConnection1;
    // The INI file's Database=: a PostgreSQL server instead of the SQLite file.
    QString databaseServer_;
    std::chrono::milliseconds serverRetryRest_{0}; // while the server does not answer at start
    bool serverTablesOpen_ = false;
    std::unique_ptr<TableCursor> ZTable1;
    std::unique_ptr<TableCursor> Projects;
    std::unique_ptr<TableCursor> ProjectMembers;
    std::unique_ptr<TableCursor> PersonelTeam;
};
