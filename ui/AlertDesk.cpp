#include "ui/AlertDesk.h"

#include "alerts/AreaFile.h"
#include "app/ApplicationTitle.h"
#include "app/Error.h"
#include "app/Messages.h"
#include "map/ScriptCommands.h"
#include "map/browser/TApplicationWrapper.h"
#include "map/browser/TWebBrowser.h"
#include "ui/ExportActions.h"
#include "ui/alerts/AlertPanel.h"
#include "ui/alerts/AreaMapCommands.h"
#include "ui/alerts/AreasDialog.h"
#include "ui/alerts/DesktopNotifier.h"
#include "ui/views/MarkerLabels.h"
#include "ui/views/RadioTree.h"
#include "ui/views/StaleMinutes.h"

#include <QDockWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMainWindow>

namespace {

// A radio may fall silent between refreshes, or with auto refresh off.
constexpr int kSilenceCheckMs = 15000;
// The panel's first height: some eight alerts, the map keeping the most room.
constexpr int kPanelHeight = 200;

const QString kAreasFilter = QStringLiteral("GeoJSON areas (*.geojson *.json);;All files (*)");

} // namespace

AlertDesk::AlertDesk(QMainWindow* window, TWebBrowser& page, RadioTree& tree,
                     ExportActions& exports, std::function<QString()> zoom)
    : QObject(window)
    , window_(window)
    , page_(page)
    , tree_(tree)
    , exports_(exports)
    , zoom_(std::move(zoom))
    , evaluator_(std::make_unique<AlertEvaluator>(StaleMinutes::byDefault))
    , dock_(new QDockWidget(QStringLiteral("Alerts"), window))
    , panel_(new AlertPanel(dock_)) {
    dock_->setObjectName(QStringLiteral("AlertsDock"));
    dock_->setWidget(panel_);
    window->addDockWidget(Qt::BottomDockWidgetArea, dock_);
    dock_->hide();

    connect(panel_, &AlertPanel::markedRadiosChanged, this, &AlertDesk::markRadios);
    connect(panel_, &AlertPanel::centreRequested, this, &AlertDesk::centreOn);
    connect(panel_, &AlertPanel::exportRequested, this, [this] {
        exports_.saveAs(QStringLiteral("Export Alerts"), QStringLiteral("alerts.csv"),
                        QStringLiteral("CSV table (*.csv)"), panel_->csv());
    });
    connect(page_.external(), &TApplicationWrapper::mapClicked, this,
            [this](double lat, double lng) {
                lastClick_ = GeoPoint{lat, lng};
            });
    silenceCheck_.setInterval(kSilenceCheckMs);
    connect(&silenceCheck_, &QTimer::timeout, this, &AlertDesk::checkSilence);
}

AlertDesk::~AlertDesk() = default;

void AlertDesk::setStaleMinutes(int minutes) {
    std::vector<Area> areas = evaluator_->areas();
    evaluator_ = std::make_unique<AlertEvaluator>(minutes);
    evaluator_->setAreas(std::move(areas));
}

bool AlertDesk::openAreasFile(const QString& path) {
    try {
        setAreas(AreaFile::read(path));
        areasFile_ = path;
        return true;
    } catch (const Error& error) {
        showPlainMessage(error.message());
        return false;
    }
}

void AlertDesk::follow(const ColumnStore& rows, const RadioTimeIndex& index,
                       const TableReplica::Change& change) {
    const QDateTime now = QDateTime::currentDateTime();
    if (!evaluator_->isStarted())
        evaluator_->setProjectsOfRadios(tree_.projectsOfRadios());
    QList<Alert> alerts = evaluator_->follow(rows, index, change, now);
    alerts += evaluator_->silences(now);
    raise(alerts);
    if (!silenceCheck_.isActive())
        silenceCheck_.start();
}

void AlertDesk::checkSilence() {
    raise(evaluator_->silences(QDateTime::currentDateTime()));
}

void AlertDesk::raise(const QList<Alert>& alerts) {
    if (alerts.isEmpty())
        return;
    const QHash<qint32, QString> names = tree_.memberNames();
    panel_->setMemberNames(names);
    panel_->addAlerts(alerts);
    showPanel();
    if (!window_->isActiveWindow()) {
        const Alert& newest = alerts.back();
        const QString name = names.value(newest.radio);
        DesktopNotifier::notify(
            alerts.size() == 1 ? QStringLiteral("An alert")
                               : QStringLiteral("%1 alerts").arg(alerts.size()),
            QStringLiteral("Radio %1%2 %3")
                .arg(newest.radio)
                .arg(name.isEmpty() ? QString() : QStringLiteral(" (") + name + u')',
                     newest.what()));
    }
}

void AlertDesk::setAreas(std::vector<Area> areas) {
    evaluator_->setProjectsOfRadios(tree_.projectsOfRadios());
    evaluator_->setAreas(std::move(areas));
    runOnPage(AreaMapCommands::showAreas(evaluator_->areas()));
}

void AlertDesk::markRadios(const QSet<qint32>& radios) {
    const MarkerLabels labels{tree_.memberNames(), QDateTime::currentDateTime(),
                              StaleMinutes::byDefault};
    runOnPage(AreaMapCommands::markRadios(radios, labels));
}

void AlertDesk::showOnPage() {
    runOnPage(AreaMapCommands::showAreas(evaluator_->areas()));
    markRadios(panel_->log().radiosToMark());
}

// Areas and marks wait for a page that is still loading, and one replaced
// while they were sent drops them: each load gets them again (showOnPage),
// and a page that stopped working is reported by the runs.
void AlertDesk::runOnPage(const QString& command) {
    if (page_.readyState() != TWebBrowser::Complete)
        return;
    try {
        page_.runScriptCommand(command);
    } catch (const Error&) {
    }
}

void AlertDesk::centreOn(GeoPoint position) {
    runOnPage(ScriptCommands::centreOnMarkers(QString::number(position.lat, 'f', 4) + u',' +
                                                  QString::number(position.lng, 'f', 4),
                                              zoom_()));
}

void AlertDesk::showPanel() {
    if (!dock_->isVisible()) {
        dock_->show();
        window_->resizeDocks({dock_}, {kPanelHeight}, Qt::Vertical);
    }
    dock_->raise();
}

void AlertDesk::showAreasDialog() {
    QList<AreasDialog::Project> projects;
    for (const auto& [id, name] : tree_.projects())
        projects.append({id, name});
    AreasDialog dialog(evaluator_->areas(), projects, window_);
    dialog.setCircleCentre(lastClick_);
    dialog.setDrawnPolygon([this]() -> std::optional<QList<GeoPoint>> {
        const QJsonArray shapes = QJsonDocument::fromJson(page_.drawnShapesJson()).array();
        if (shapes.isEmpty())
            return std::nullopt;
        QList<GeoPoint> outline;
        for (const QJsonValue point : shapes.last().toArray())
            outline.append({point.toArray().at(0).toDouble(), point.toArray().at(1).toDouble()});
        return outline;
    });
    connect(&dialog, &AreasDialog::areasChanged, this,
            [this](const std::vector<Area>& areas) { setAreas(areas); });
    dialog.exec();
}

void AlertDesk::openAreas() {
    const QString path = QFileDialog::getOpenFileName(
        window_, QStringLiteral("Open Areas"),
        areasFile_.isEmpty() ? QString() : QFileInfo(areasFile_).absolutePath(), kAreasFilter);
    if (!path.isEmpty())
        openAreasFile(path);
}

void AlertDesk::saveAreasAs() {
    const QString path = exports_.saveAs(QStringLiteral("Save Areas As"),
                                         areasFile_.isEmpty() ? QStringLiteral("areas.geojson")
                                                              : QFileInfo(areasFile_).fileName(),
                                         kAreasFilter, AreaFile::toJson(evaluator_->areas()));
    if (!path.isEmpty())
        areasFile_ = path;
}
