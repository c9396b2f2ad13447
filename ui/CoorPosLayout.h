#pragma once

class DateTimePicker;
class EventLogGrid;
class GradientSplitter;
class LoadProgress;
class NavPanelHeader;
class OwnerDrawnTabWidget;
class QAction;
class QActionGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTimer;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QWidget;
class ReplayBar;
class TWebBrowser;
class UpDownButtons;

// The controls of the main window under their layout names, created and
// placed by setupUi; the window owns them through the widget tree.
class CoorPosLayout {
public:
    void setupUi(QMainWindow* window);

    QMenuBar* MainMenu1 = nullptr;
    QMenu* FileMenu = nullptr;
    QAction* ExportRoute1 = nullptr;
    QAction* ExportEventLog1 = nullptr;
    QAction* OpenMapFile1 = nullptr;
    // The areas file: open one, or save the areas held as another.
    QAction* OpenAreas1 = nullptr;
    QAction* SaveAreasAs1 = nullptr;
    QAction* Exit2 = nullptr;
    QMenu* HelpMenu = nullptr;
    QAction* About2 = nullptr;
    // Map menu: what a last-position run does with the view, one at a time.
    QMenu* MapMenu = nullptr;
    QActionGroup* MapViewModes = nullptr;
    QAction* ViewFollowLast = nullptr;
    QAction* ViewFitAll = nullptr;
    QAction* ViewKeepMine = nullptr;
    QAction* ClusterRadios = nullptr;
    // The areas dialog and the alert panel.
    QAction* Areas1 = nullptr;
    QAction* ShowAlerts = nullptr;
    QAction* Replay1 = nullptr;       // Map > Replay…: shows ReplayBar1
    QAction* SaveMapImage1 = nullptr; // File > Save Map Image…

    QFrame* JvDesignPanel1 = nullptr;
    GradientSplitter* JvOutlookSplitter2 = nullptr;
    GradientSplitter* JvOutlookSplitter3 = nullptr;
    QFrame* JvDesignPanel2 = nullptr;
    QFrame* JvDesignPanel3 = nullptr;
    QFrame* JvDesignPanel4 = nullptr;
    QFrame* JvDesignPanel5 = nullptr;
    NavPanelHeader* JvNavPanelHeader1 = nullptr;
    NavPanelHeader* JvNavPanelHeader7 = nullptr;

    QToolBar* ToolBar1 = nullptr;
    QToolButton* ToolButton1 = nullptr;
    QToolButton* ToolButton2 = nullptr;
    QToolButton* ToolButton4 = nullptr;
    QToolButton* ToolButton5 = nullptr;
    QToolButton* ToolButton7 = nullptr;
    QToolButton* ToolButton3 = nullptr;
    QWidget* ToolButton9 = nullptr;
    QToolButton* ToolButton8 = nullptr;
    TWebBrowser* WebBrowser1 = nullptr;
    ReplayBar* ReplayBar1 = nullptr; // under the map, hidden outside the replay

    OwnerDrawnTabWidget* JvgPageControl2 = nullptr;
    QWidget* TabSheet4 = nullptr;
    QTreeWidget* JvTreeView1 = nullptr;
    QWidget* TabSheet3 = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Edit20 = nullptr;
    UpDownButtons* UpDown4 = nullptr;
    // Narrows the radio tree on the "Users" page to the members it names.
    QLabel* RadioFilterLabel = nullptr;
    QLineEdit* RadioFilter = nullptr;
    QWidget* TabSheet2 = nullptr;
    QLabel* Label3 = nullptr;
    DateTimePicker* DateTimePicker1 = nullptr;
    QLabel* Label4 = nullptr;
    DateTimePicker* DateTimePicker2 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QPushButton* Button1 = nullptr;
    // Added below the fixed controls of the page.
    QComboBox* QuickRangeCombo = nullptr;
    QCheckBox* FitRouteCheck = nullptr;
    QPlainTextEdit* RouteSummaryText = nullptr;

    OwnerDrawnTabWidget* JvgPageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    EventLogGrid* DBGrid1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* StatusText = nullptr;
    LoadProgress* ReportLoad = nullptr; // beside the status text while the reports load

    QTimer* Timer1 = nullptr;
    QTimer* initalize_map = nullptr;

private:
    void setupMenu(QMainWindow* window);
    void setupExportMenu();
    void setupMapMenu();
    QFrame* setupMapPane();
    QFrame* setupRightPane();
    QFrame* setupBottomPane();
    QWidget* setupRealtimeOptionsPage();
    void setupRadioFilter();
    QWidget* setupFastSearchPage();
    void setupRouteTools();
    void setupTimers(QMainWindow* window);
};
