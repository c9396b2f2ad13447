#pragma once

#include "alerts/AlertEvaluator.h"
#include "store/TableReplica.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>

class AlertPanel;
class ExportActions;
class QDockWidget;
class QMainWindow;
class RadioTree;
class TWebBrowser;

// The alerts in the main window: the evaluator fed by every read of the
// position table, the alert panel in a dock (hidden until the first alert or
// Map > Alerts), the areas file and dialog, and what the map shows of them.
// Nothing here changes a run's commands: areas and marks are sent apart.
class AlertDesk : public QObject {
    Q_OBJECT
public:
    AlertDesk(QMainWindow* window, TWebBrowser& page, RadioTree& tree, ExportActions& exports,
              std::function<QString()> zoom);
    ~AlertDesk() override;

    // Before the first rows are read.
    void setStaleMinutes(int minutes);
    // The areas of the file replace those held; a file that does not read
    // keeps them and shows one message. False then.
    bool openAreasFile(const QString& path);
    // After a refresh or an adopted load of the position table.
    void follow(const ColumnStore& rows, const RadioTimeIndex& index,
                const TableReplica::Change& change);
    // The areas and the marked radios again, on a page just loaded.
    void showOnPage();

    void showAreasDialog();
    void openAreas();
    void saveAreasAs();
    void showPanel();
    QDockWidget* dock() const { return dock_; }
    AlertPanel& panel() const { return *panel_; }
    const std::vector<Area>& areas() const { return evaluator_->areas(); }

private:
    void raise(const QList<Alert>& alerts);
    void checkSilence();
    void setAreas(std::vector<Area> areas);
    void markRadios(const QSet<qint32>& radios);
    void centreOn(GeoPoint position);
    void runOnPage(const QString& command);

    QMainWindow* window_;
    TWebBrowser& page_;
    RadioTree& tree_;
    ExportActions& exports_;
    std::function<QString()> zoom_;
    std::unique_ptr<AlertEvaluator> evaluator_;
    QDockWidget* dock_;
    AlertPanel* panel_;
    QTimer silenceCheck_;
    std::optional<GeoPoint> lastClick_;
    QString areasFile_;
};
