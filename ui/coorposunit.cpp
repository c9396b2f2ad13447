#include "ui/coorposunit.h"

#include "app/AppPaths.h"
#include "app/Application.h"
#include "app/IniReader.h"
#include "app/Messages.h"
#include "map/ScriptCommands.h"
#include "map/browser/MapPage.h"
#include "map/browser/TApplicationWrapper.h"
#include "map/browser/TWebBrowser.h"
#include "store/DatabaseBusyCursor.h"
#include "store/PositionTable.h"
#include "store/SqliteTableReplica.h"
#include "store/TableCursor.h"
#include "store/postgres/PgConnection.h"
#include "store/postgres/PgTableReplica.h"
#include "track/RouteSummary.h"
#include "ui/AlertDesk.h"
#include "ui/ExportActions.h"
#include "ui/ReplayMode.h"
#include "ui/about/aboutunit.h"
#include "ui/views/AutoRefreshInterval.h"
#include "ui/views/CentreOnRadio.h"
#include "ui/views/ClusterSetting.h"
#include "ui/views/LastPositionDisplay.h"
#include "ui/views/MarkerLabels.h"
#include "ui/views/QuickRange.h"
#include "ui/views/RadioTree.h"
#include "ui/views/RouteDisplay.h"
#include "ui/views/RouteMarks.h"
#include "ui/views/StaleMinutes.h"
#include "ui/views/ViewOutput.h"
#include "ui/widgets/DateTimePicker.h"
#include "ui/widgets/DigitKeyFilter.h"
#include "ui/widgets/EventLogGrid.h"
#include "ui/widgets/LoadProgress.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

namespace {

// How often a refresh that met another run in progress is tried again.
constexpr int runRetryMs = 50;

void showBusyPointer(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else
        QApplication::restoreOverrideCursor();
}

// An optional key of [General]: its value as the setting reads it, after one
// message when it was not usable.
template <typename Setting> Setting readSetting(const IniReader& ini, const char* key) {
    const Setting setting =
        Setting::fromIni(ini.readString(QStringLiteral("General"), QLatin1String(key)));
    if (!setting.problem.isEmpty())
        showPlainMessage(setting.problem);
    return setting;
}

// The INI file's PostgreSQL connection string; empty for the SQLite file.
// A file that cannot be read is reported by readConfiguration.
QString databaseServer() {
    try {
        return IniReader(iniFilePath())
            .readString(QStringLiteral("General"), QStringLiteral("Database"))
            .trimmed();
    } catch (...) {
        return QString();
    }
}

std::unique_ptr<TableCursor> cursorOn(Connection& connection, const QString& server,
                                      const QString& table) {
    if (server.isEmpty())
        return std::make_unique<TableCursor>(sqliteReplica(connection, table));
    auto replica = std::make_unique<PgTableReplica>(server, table);
    replica->setIncrementalRefresh(false);
    return std::make_unique<TableCursor>(std::move(replica));
}

std::unique_ptr<TableCursor> positionCursor(Connection& connection, const QString& server) {
    // The position table only grows while the program runs beside its writer.
    if (server.isEmpty()) {
        auto replica = sqliteReplica(connection, PositionTable::name);
        replica->setIncrementalRefresh(true);
        replica->setIndexedColumn(PositionTable::radioShortId);
        return std::make_unique<TableCursor>(std::move(replica));
    }
    auto replica = std::make_unique<PgTableReplica>(server, PositionTable::name);
    replica->setIndexedColumn(PositionTable::radioShortId);
    return std::make_unique<TableCursor>(std::move(replica));
}

} // namespace

Tcoor_pos::Tcoor_pos(QWidget* parent)
    : QMainWindow(parent)
    , digitKeyFilter_(new DigitKeyFilter(this))
    , exports_(this)
    , databaseServer_(databaseServer())
    , ZTable1(positionCursor(ZConnection1, databaseServer_))
    , Projects(cursorOn(ZConnection1, databaseServer_, QStringLiteral("projects")))
    , ProjectMembers(cursorOn(ZConnection1, databaseServer_, QStringLiteral("project_members")))
    , PersonelTeam(cursorOn(ZConnection1, databaseServer_, QStringLiteral("personel_team"))) {
    DatabaseBusyCursor::setHook(showBusyPointer);
    ui.setupUi(this);
    if (!databaseServer_.isEmpty())
        setWindowTitle(windowTitle() + QStringLiteral(" - ") +
                       PgConnection::describe(databaseServer_));
    radioTree_ = new RadioTree(ui.JvTreeView1, this);
    alertDesk_ = new AlertDesk(this, *ui.WebBrowser1, *radioTree_, exports_,
                               [this] { return ui.Edit20->text(); });
    replay_ = new ReplayMode(ui, *ZTable1, *radioTree_, viewRun_, this);
    ZTable1->setObjectName(QStringLiteral("ZTable1"));
    ui.DBGrid1->bind(ZTable1.get());
    ui.ReportLoad->bind(ZTable1.get());
    if (const QScreen* screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    connectHandlers();
    // The window is shown even when start-up fails part-way; the steps after
    // the failing one are skipped.
    try {
        FormCreate();
    } catch (...) {
        Application::reportCurrentException();
    }
}

Tcoor_pos::~Tcoor_pos() = default;

void Tcoor_pos::connectHandlers() {
    connect(ui.ToolButton1, &QToolButton::clicked, this, &Tcoor_pos::ToolButton1Click);
    connect(ui.ToolButton2, &QToolButton::clicked, this, &Tcoor_pos::ToolButton2Click);
    connect(ui.Button1, &QPushButton::clicked, this, &Tcoor_pos::Button1Click);
    connect(ui.CheckBox1, &QCheckBox::toggled, this, &Tcoor_pos::CheckBox1Click);
    connect(ui.Timer1, &QTimer::timeout, this, &Tcoor_pos::Timer1Timer);
    connect(ui.JvTreeView1, &QTreeWidget::itemChanged, this,
            &Tcoor_pos::JvTreeView1NodeCheckedChange);
    connect(ui.JvTreeView1, &QTreeWidget::itemDoubleClicked, this, &Tcoor_pos::JvTreeView1DblClick);
    connect(ui.Exit2, &QAction::triggered, this, &Tcoor_pos::Exit2Click);
    connect(ui.About2, &QAction::triggered, this, &Tcoor_pos::About2Click);
    connect(ui.ExportRoute1, &QAction::triggered, this, &Tcoor_pos::ExportRoute1Click);
    connect(ui.ExportEventLog1, &QAction::triggered, this, &Tcoor_pos::ExportEventLog1Click);
    connect(ui.OpenMapFile1, &QAction::triggered, this, &Tcoor_pos::OpenMapFile1Click);
    // Queued: the message box waits for no tile answer.
    connect(
        ui.WebBrowser1, &TWebBrowser::mapTileRefused, this,
        [](const QString& message) {
            showPlainMessage(QStringLiteral("A map file could not be drawn in full:\n") + message);
        },
        Qt::QueuedConnection);
    connect(ui.QuickRangeCombo, &QComboBox::activated, this, &Tcoor_pos::QuickRangeComboActivated);
    connect(ui.ClusterRadios, &QAction::toggled, this, &Tcoor_pos::ClusterRadiosClick);
    connect(ui.Replay1, &QAction::triggered, this, &Tcoor_pos::Replay1Click);
    connect(ui.SaveMapImage1, &QAction::triggered, this, &Tcoor_pos::SaveMapImage1Click);
    connect(ui.ToolButton8, &QToolButton::clicked, this, &Tcoor_pos::ToolButton8Click);
    connect(ui.ToolButton3, &QToolButton::clicked, this, &Tcoor_pos::ToolButton3Click);
    connect(ui.ToolButton4, &QToolButton::clicked, this, &Tcoor_pos::ToolButton4Click);
    connect(ui.ToolButton5, &QToolButton::clicked, this, &Tcoor_pos::ToolButton5Click);
    connect(ui.ToolButton7, &QToolButton::clicked, this, &Tcoor_pos::ToolButton7Click);
    connect(ui.initalize_map, &QTimer::timeout, this, &Tcoor_pos::initalize_mapTimer);
    connect(ui.WebBrowser1->external(), &TApplicationWrapper::statusReported, this,
            &Tcoor_pos::setStatusText);
    connect(ui.RadioFilter, &QLineEdit::textChanged, radioTree_, &RadioTree::filterMembers);
    connect(ZTable1.get(), &TableCursor::loadingChanged, this, &Tcoor_pos::reportsLoadingChanged);
    connect(ZTable1.get(), &TableCursor::loadFailed, this, showPlainMessage);
    connect(ZTable1.get(), &TableCursor::rowsRead, this,
            [this](const TableReplica::Change& change) {
                alertDesk_->follow(ZTable1->rows(), ZTable1->replica().timeIndex(), change);
            });
    connect(ui.Areas1, &QAction::triggered, alertDesk_, &AlertDesk::showAreasDialog);
    connect(ui.ShowAlerts, &QAction::triggered, alertDesk_, &AlertDesk::showPanel);
    connect(ui.OpenAreas1, &QAction::triggered, alertDesk_, &AlertDesk::openAreas);
    connect(ui.SaveAreasAs1, &QAction::triggered, alertDesk_, &AlertDesk::saveAreasAs);
    // Queued: the page's own load handling has made the map by then.
    connect(ui.WebBrowser1, &QWebEngineView::loadFinished, alertDesk_, &AlertDesk::showOnPage,
            Qt::QueuedConnection);
    for (QLineEdit* field : {ui.Edit1, ui.Edit2, ui.Edit20})
        field->installEventFilter(digitKeyFilter_);
}

void Tcoor_pos::FormCreate() {
    if (!databaseServer_.isEmpty()) {
        readConfiguration();
        reportMapFileErrors();
        setDatePickersToNow();
        ui.initalize_map->start();
        for (TableCursor* cursor :
             {ZTable1.get(), Projects.get(), ProjectMembers.get(), PersonelTeam.get()})
            connect(static_cast<PgTableReplica*>(&cursor->replica()),
                    &PgTableReplica::connectAttemptEnded, this, [this] {
                        if (!serverTablesOpen_)
                            openServerTables();
                    });
        openServerTables();
        return;
    }
    ZConnection1.open(QLatin1String(databaseFileName));
    readConfiguration();
    reportMapFileErrors();
    if (!areasFile_.isEmpty())
        alertDesk_->openAreasFile(areasFile_);
    setDatePickersToNow();
    ZTable1->open();
    ui.initalize_map->start();
    BuildRadioTree();
}

// A server that does not answer at start is said once, then tried again
// with growing rests while the window stays usable. A table whose
// connection is being made calls this again once it is made or fails.
void Tcoor_pos::openServerTables() {
    constexpr std::chrono::milliseconds firstRest{500}, longestRest{30000};
    try {
        BuildRadioTree();
        ZTable1->open();
        serverRetryRest_ = {};
        serverTablesOpen_ = true;
    } catch (const Error& error) {
        if (serverConnecting())
            return;
        if (serverRetryRest_.count() == 0)
            showPlainMessage(error.message());
        serverRetryRest_ = std::min(longestRest, std::max(firstRest, serverRetryRest_ * 2));
        QTimer::singleShot(serverRetryRest_, this, &Tcoor_pos::openServerTables);
    }
}

bool Tcoor_pos::serverConnecting() {
    for (TableCursor* cursor :
         {ZTable1.get(), Projects.get(), ProjectMembers.get(), PersonelTeam.get()})
        if (static_cast<PgTableReplica&>(cursor->replica()).isConnecting())
            return true;
    return false;
}

void Tcoor_pos::readConfiguration() {
    try {
        const IniReader ini(iniFilePath());
        MapApiKey = ini.readString(QStringLiteral("General"), QStringLiteral("GoogleMapKey"));
        staleMinutes_ = readSetting<StaleMinutes>(ini, "StaleMinutes").minutes;
        alertDesk_->setStaleMinutes(staleMinutes_);
        // Relative to the INI file's folder, as map files are.
        const QString areas =
            ini.readString(QStringLiteral("General"), QStringLiteral("AreasFile")).trimmed();
        if (!areas.isEmpty())
            areasFile_ =
                QDir::cleanPath(QFileInfo(iniFilePath()).absoluteDir().absoluteFilePath(areas));
        replay_->setStaleMinutes(staleMinutes_);
        selectMapViewMode(readSetting<MapViewSetting>(ini, "MapView").mode);
        ui.ClusterRadios->setChecked(readSetting<ClusterSetting>(ini, "ClusterRadios").on);
    } catch (...) {
        showPlainMessage(QStringLiteral("Configuration read error. Please check your settings!"));
    }
}

// The INI file's map files that cannot be drawn, all in one message; the
// map goes on with the others and the world map.
void Tcoor_pos::reportMapFileErrors() {
    const QStringList errors = ui.WebBrowser1->takeMapFileErrors();
    if (!errors.isEmpty())
        showPlainMessage(QStringLiteral("A map file could not be opened:\n") +
                         errors.join(QLatin1Char('\n')));
}

void Tcoor_pos::setDatePickersToNow() {
    ui.DateTimePicker1->setValue(QDateTime::currentDateTime());
    ui.DateTimePicker2->setValue(QDateTime::currentDateTime());
}

void Tcoor_pos::BuildRadioTree() {
    radioTree_->build(*Projects, *ProjectMembers, *PersonelTeam);
}

void Tcoor_pos::JvTreeView1NodeCheckedChange(QTreeWidgetItem* Node) {
    radioTree_->nodeCheckedChange(Node);
    replay_->showFrame();
}

void Tcoor_pos::JvTreeView1DblClick(QTreeWidgetItem* Node) {
    // Radio 0 marks an empty entry and is never shown.
    const std::optional<qint32> radio = RadioTree::radioOf(Node);
    if (!radio || *radio <= 0)
        return;
    leaveReplay();
    viewRun_.run([&] {
        centreOnRadio(*radio, *ZTable1, ui.Edit20->text(), viewOutput());
        reportReadFailure();
    });
}

const SelectedRadios& Tcoor_pos::selectedRadios() const {
    return radioTree_->selectedRadios();
}

ViewOutput Tcoor_pos::viewOutput() {
    return {*ui.WebBrowser1, [this](const QString& text) { setStatusText(text); },
            showPlainMessage};
}

void Tcoor_pos::ShowLastAllPointOnMap() {
    const MarkerLabels labels{radioTree_->memberNames(), QDateTime::currentDateTime(),
                              staleMinutes_};
    // A reloaded page starts without clusters.
    if (ui.ClusterRadios->isChecked())
        ui.WebBrowser1->runScriptCommand(ScriptCommands::clusterRadios(true));
    const QStringList unreadable = showLastPositions(selectedRadios(), *ZTable1, ui.Edit20->text(),
                                                     viewOutput(), &labels, mapViewMode());
    for (const QString& text : unreadableReports_.newOf(unreadable))
        showErrorReport(text);
    reportReadFailure();
}

// The views show the rows read before when the table cannot be read again;
// the failure is shown once, not at every auto-refresh tick, and again only
// after a read succeeded in between.
void Tcoor_pos::reportReadFailure() {
    const QString error = ZTable1->refreshError();
    // A server that went away: the status bar says since when until it answers again.
    if (!databaseServer_.isEmpty() && !error.isEmpty())
        setStatusText(error);
    for (const QString& text :
         readFailures_.newOf(error.isEmpty() ? QStringList() : QStringList{error}))
        showErrorReport(QStringLiteral("The position reports could not be read again; the map "
                                       "shows those read before, and every refresh tries "
                                       "again.\n") +
                        text);
}

// A page still loading gets its clusters with the next last-position run.
void Tcoor_pos::ClusterRadiosClick(bool on) {
    if (ui.WebBrowser1->readyState() == TWebBrowser::Complete)
        runMapCommand(ScriptCommands::clusterRadios(on));
}

void Tcoor_pos::selectMapViewMode(MapViewMode mode) {
    switch (mode) {
    case MapViewMode::FollowLast:
        ui.ViewFollowLast->setChecked(true);
        break;
    case MapViewMode::FitAll:
        ui.ViewFitAll->setChecked(true);
        break;
    case MapViewMode::KeepMine:
        ui.ViewKeepMine->setChecked(true);
        break;
    }
}

MapViewMode Tcoor_pos::mapViewMode() const {
    if (ui.ViewFitAll->isChecked())
        return MapViewMode::FitAll;
    if (ui.ViewKeepMine->isChecked())
        return MapViewMode::KeepMine;
    return MapViewMode::FollowLast;
}

void Tcoor_pos::ToolButton1Click() {
    leaveReplay();
    viewRun_.run([this] { ShowLastAllPointOnMap(); });
}

void Tcoor_pos::Timer1Timer() {
    // While a failed run's error box is open, further ticks would stack
    // boxes: skip them until it is closed. A page still loading has no map to
    // draw on yet, and one whose render process has ended fails every tick
    // alike until the map is reloaded: that is reported once.
    const TWebBrowser& browser = *ui.WebBrowser1;
    if (browser.readyState() != TWebBrowser::Complete ||
        (deadPageReported_ && browser.renderProcessEnded()))
        return;
    viewRun_.run([this] {
        // The replay keeps the map; the writer's new reports are still read.
        if (replay_->isActive()) {
            try {
                ZTable1->refresh();
            } catch (...) {
            }
            reportReadFailure();
            return;
        }
        try {
            ShowLastAllPointOnMap();
        } catch (...) {
            deadPageReported_ = ui.WebBrowser1->renderProcessEnded();
            Application::reportCurrentException();
        }
    });
}

void Tcoor_pos::CheckBox1Click() {
    if (!ui.CheckBox1->isChecked()) {
        ui.Timer1->stop();
        return;
    }
    const std::variant<int, QString> interval = autoRefreshIntervalMs(ui.Edit1->text());
    if (const QString* refusal = std::get_if<QString>(&interval)) {
        ui.CheckBox1->setChecked(false);
        showPlainMessage(*refusal);
        return;
    }
    const int ms = std::get<int>(interval);
    ui.Timer1->setInterval(ms);
    // An interval of 0 never ticks although auto refresh is on.
    if (ms > 0)
        ui.Timer1->start();
    else
        ui.Timer1->stop();
}

void Tcoor_pos::ToolButton2Click() {
    leaveReplay();
    viewRun_.run([this] {
        const RouteRequest request{ui.DateTimePicker1->value(), ui.DateTimePicker2->value(),
                                   ui.Edit2->text(), ui.Edit20->text()};
        lastRoute_ = Route();
        ui.RouteSummaryText->clear();
        showRoute(selectedRadios(), *ZTable1, request, viewOutput(),
                  [this](const Route& route) { showRouteSummary(route); });
        markRoute();
        reportReadFailure();
    });
}

// Only after a drawn line: shorter counts send no initline, and the page's
// list of line points would be an earlier route's.
void Tcoor_pos::markRoute() {
    if (lastRoute_.count < 2)
        return;
    const QStringList commands =
        routeMarkCommands(lastRoute_.reports, ui.FitRouteCheck->isChecked());
    if (!commands.isEmpty())
        ui.WebBrowser1->runScriptCommands(commands);
}

// The figures of the rows the route run draws, even when drawing then fails;
// a count below 1 draws no line and has none.
void Tcoor_pos::showRouteSummary(const Route& route) {
    if (route.count < 1)
        return;
    lastRoute_ = route;
    lastRouteName_ = QStringLiteral("Radio %1").arg(selectedRadios().firstRadio());
    ui.RouteSummaryText->setPlainText(routeSummaryText(summarizeRoute(lastRoute_.reports)));
}

void Tcoor_pos::Button1Click() {
    ToolButton2Click();
}

// The first entry names the choice; after filling the pickers it shows again,
// since editing a picker ends the chosen range.
void Tcoor_pos::QuickRangeComboActivated(int index) {
    if (index < 1)
        return;
    const auto [first, last] =
        quickRangeBounds(QuickRange(index - 1), QDateTime::currentDateTime());
    ui.DateTimePicker1->setValue(first);
    ui.DateTimePicker2->setValue(last);
    ui.QuickRangeCombo->setCurrentIndex(0);
}

void Tcoor_pos::ExportRoute1Click() {
    if (lastRoute_.reports.isEmpty()) {
        showPlainMessage(QStringLiteral("Show a route first."));
        return;
    }
    exports_.exportRoute(lastRoute_.reports, lastRouteName_);
}

void Tcoor_pos::ExportEventLog1Click() {
    exports_.exportEventLog(*ui.DBGrid1->tableModel());
}

void Tcoor_pos::SaveMapImage1Click() {
    exports_.saveMapImage(ui.WebBrowser1->grab().toImage(), mapShownTime());
}

void Tcoor_pos::saveMapImageTo(const QString& path,
                               const std::function<bool(const QString&)>& confirm) {
    exports_.saveMapImageTo(path, ui.WebBrowser1->grab().toImage(), confirm);
}

QDateTime Tcoor_pos::mapShownTime() const {
    return replay_->isActive() ? replay_->replayTime() : QDateTime::currentDateTime();
}

void Tcoor_pos::OpenMapFile1Click() {
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("Open Map File"), QString(),
                                     QStringLiteral("MBTiles map (*.mbtiles);;All files (*)"));
    if (path.isEmpty())
        return;
    const QString error = ui.WebBrowser1->openMapFile(path);
    if (!error.isEmpty())
        showPlainMessage(QStringLiteral("The map file could not be opened:\n") + error);
}

void Tcoor_pos::exportRouteTo(const QString& path, const QString& selectedFilter,
                              const std::function<bool(const QString&)>& confirm) {
    exports_.exportRouteTo(path, selectedFilter, lastRoute_.reports, lastRouteName_, confirm);
}

void Tcoor_pos::exportEventLogTo(const QString& path,
                                 const std::function<bool(const QString&)>& confirm) {
    exports_.exportEventLogTo(path, *ui.DBGrid1->tableModel(), confirm);
}

void Tcoor_pos::reportsLoadingChanged(bool loading) {
    if (!loading)
        showLoadedReports();
}

// The grid shows a finished load at once. A run in progress (the map page
// loading, say) reads the rows as they are, so the load waits for its end.
void Tcoor_pos::showLoadedReports() {
    const bool ran = viewRun_.run([this] {
        try {
            ZTable1->adoptLoad();
        } catch (...) {
            Application::reportCurrentException();
        }
    });
    if (!ran)
        QTimer::singleShot(runRetryMs, this, &Tcoor_pos::showLoadedReports);
}

QString Tcoor_pos::statusText() const {
    return ui.StatusText->text();
}

void Tcoor_pos::setStatusText(const QString& text) {
    ui.StatusText->setText(text);
}

void Tcoor_pos::BaseHTML() {
    const QString path = mapPagePath();
    startPageFile(path);
    for (const QString& line :
         mapPageLines(MapApiKey, ui.WebBrowser1->width(), ui.WebBrowser1->height()))
        AppendPageLine(line);
    deadPageReported_ = false;
    ui.WebBrowser1->navigate(path);
    waitUntilInteractive(*ui.WebBrowser1);
}

void Tcoor_pos::AppendPageLine(const QString& line) {
    appendPageLine(mapPagePath(), line);
}

void Tcoor_pos::initalize_mapTimer() {
    ui.initalize_map->stop();
    viewRun_.run([this] { BaseHTML(); });
}

void Tcoor_pos::ToolButton3Click() {
    leaveReplay();
    viewRun_.run([this] { BaseHTML(); });
}

void Tcoor_pos::ToolButton4Click() {
    runMapCommand(ScriptCommands::startShape());
}

void Tcoor_pos::ToolButton5Click() {
    runMapCommand(ScriptCommands::startLine());
}

void Tcoor_pos::ToolButton7Click() {
    leaveReplay();
    runMapCommand(ScriptCommands::clearScreen());
}

void Tcoor_pos::Replay1Click() {
    if (replay_->isActive())
        return;
    viewRun_.run([this] {
        try {
            replay_->open();
        } catch (...) {
            Application::reportCurrentException();
        }
    });
}

// A live run, a cleared or reloaded map end the replay first, giving the live
// map back as it was.
void Tcoor_pos::leaveReplay() {
    if (replay_->isActive() && !viewRun_.running())
        replay_->close();
}

void Tcoor_pos::runMapCommand(const QString& command) {
    viewRun_.run([&] { ui.WebBrowser1->runScriptCommand(command); });
}

void Tcoor_pos::Exit2Click() {
    QApplication::quit();
}

void Tcoor_pos::ToolButton8Click() {
    close();
}

void Tcoor_pos::About2Click() {
    auto* formabout = new Tformabout;
    formabout->exec();
}

void Tcoor_pos::closeEvent(QCloseEvent* event) {
    FormClose(event);
}

void Tcoor_pos::FormClose(QCloseEvent* event) {
    event->accept();
    QApplication::quit();
}
