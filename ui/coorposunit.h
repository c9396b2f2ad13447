#pragma once

#include "store/Connection.h"
#include "ui/CoorPosLayout.h"
#include "ui/ExclusiveRun.h"

#include <QMainWindow>
#include <memory>

class DigitKeyFilter;
class QTreeWidgetItem;
class RadioTree;
class SelectedRadios;
class TableCursor;
struct ViewOutput;

// The main window: its start-up sequence and the handlers of its controls.
class Tcoor_pos : public QMainWindow {
    Q_OBJECT
public:
    explicit Tcoor_pos(QWidget* parent = nullptr);
    ~Tcoor_pos() override;

    const CoorPosLayout& controls() const { return ui; }
    const QString& mapApiKey() const { return MapApiKey; }
    TableCursor& positionTable() { return *ZTable1; }
    QString statusText() const;
    const SelectedRadios& selectedRadios() const;

    void FormCreate();
    void BaseHTML();
    void AppendPageLine(const QString& line);
    void BuildRadioTree();
    void ShowLastAllPointOnMap();

public slots:
    void ToolButton1Click();
    void ToolButton2Click();
    void Button1Click();
    void CheckBox1Click();
    void Timer1Timer();
    void JvTreeView1NodeCheckedChange(QTreeWidgetItem* Node);
    void Exit2Click();
    void About2Click();
    void ToolButton8Click();
    void ToolButton3Click();
    void ToolButton4Click();
    void ToolButton5Click();
    void ToolButton7Click();
    void initalize_mapTimer();
    void setStatusText(const QString& text);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormClose(QCloseEvent* event);
    void connectHandlers();
    void readConfiguration();
    void setDatePickersToNow();
    ViewOutput viewOutput();
    void runMapCommand(const QString& command);

    CoorPosLayout ui;
    DigitKeyFilter* digitKeyFilter_ = nullptr;
    RadioTree* radioTree_ = nullptr;
    ExclusiveRun viewRun_;
    bool deadPageReported_ = false;
    QString MapApiKey;
    // Declared before the cursors: members go in reverse order, so the cursors close first.
    Connection ZConnection1;
    std::unique_ptr<TableCursor> ZTable1;
    std::unique_ptr<TableCursor> Projects;
    std::unique_ptr<TableCursor> ProjectMembers;
    std::unique_ptr<TableCursor> PersonelTeam;
};
