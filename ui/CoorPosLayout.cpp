#include "ui/CoorPosLayout.h"

#include "map/browser/TWebBrowser.h"
#include "ui/views/QuickRange.h"
#include "ui/widgets/ConnectedTreeWidget.h"
#include "ui/widgets/DateTimePicker.h"
#include "ui/widgets/EventLogGrid.h"
#include "ui/widgets/Fonts.h"
#include "ui/widgets/GradientSplitter.h"
#include "ui/widgets/LoadProgress.h"
#include "ui/widgets/NavPanelHeader.h"
#include "ui/widgets/OwnerDrawnTabWidget.h"
#include "ui/widgets/ReplayBar.h"
#include "ui/widgets/ToolbarImages.h"
#include "ui/widgets/UiArtwork.h"
#include "ui/widgets/UpDownButtons.h"

#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

template <typename Widget, typename... Args> Widget* named(const char* name, Args&&... args) {
    auto* widget = new Widget(std::forward<Args>(args)...);
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QFrame* raisedPanel(const char* name, QWidget* parent = nullptr) {
    auto* panel = named<QFrame>(name, parent);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(1);
    return panel;
}

QVBoxLayout* stackIn(QWidget* parent) {
    auto* layout = new QVBoxLayout(parent);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    return layout;
}

QLabel* placedLabel(const char* name, const QString& caption, QWidget* page, int left, int top,
                    const QFont& font) {
    auto* label = named<QLabel>(name, caption, page);
    label->setFont(font);
    label->move(left, top);
    label->adjustSize();
    return label;
}

QLineEdit* numberField(const char* name, const QString& text, QWidget* page, QRect geometry) {
    auto* edit = named<QLineEdit>(name, text, page);
    edit->setGeometry(geometry);
    return edit;
}

DateTimePicker* datePicker(const char* name, QWidget* page, QRect geometry) {
    auto* picker =
        named<DateTimePicker>(name, QDateTime(QDate(2011, 10, 17), QTime(18, 37, 8)), page);
    picker->setGeometry(geometry);
    return picker;
}

} // namespace

void CoorPosLayout::setupUi(QMainWindow* window) {
    window->setObjectName(QStringLiteral("coor_pos"));
    window->setWindowTitle(QStringLiteral("GPS Positions"));
    window->setWindowIcon(applicationIcon());
    window->setFont(calibriFont(11));
    setupMenu(window);
    setupMapMenu();

    JvDesignPanel1 = raisedPanel("JvDesignPanel1");
    window->setCentralWidget(JvDesignPanel1);

    JvOutlookSplitter3 = named<GradientSplitter>("JvOutlookSplitter3", Qt::Horizontal);
    JvOutlookSplitter3->setHandleWidth(5);
    JvOutlookSplitter3->addWidget(setupMapPane());
    JvOutlookSplitter3->addWidget(setupRightPane());
    JvOutlookSplitter3->setStretchFactor(0, 1);
    JvOutlookSplitter3->setStretchFactor(1, 0);
    JvOutlookSplitter3->setSizes({669, 247});

    JvOutlookSplitter2 = named<GradientSplitter>("JvOutlookSplitter2", Qt::Vertical);
    JvOutlookSplitter2->setHandleWidth(7);
    JvOutlookSplitter2->addWidget(JvOutlookSplitter3);
    JvOutlookSplitter2->addWidget(setupBottomPane());
    JvOutlookSplitter2->setStretchFactor(0, 1);
    JvOutlookSplitter2->setStretchFactor(1, 0);
    JvOutlookSplitter2->setSizes({471, 216});
    stackIn(JvDesignPanel1)->addWidget(JvOutlookSplitter2);

    setupRadioFilter();
    setupTimers(window);
    window->resize(923, 696 + MainMenu1->sizeHint().height());
}

void CoorPosLayout::setupMenu(QMainWindow* window) {
    MainMenu1 = named<QMenuBar>("MainMenu1", window);
    FileMenu = named<QMenu>("FileMenu", QStringLiteral("File"), MainMenu1);
    Exit2 = FileMenu->addAction(QStringLiteral("Exit"));
    Exit2->setObjectName(QStringLiteral("Exit2"));
    HelpMenu = named<QMenu>("HelpMenu", QStringLiteral("Help"), MainMenu1);
    About2 = HelpMenu->addAction(QStringLiteral("About"));
    About2->setObjectName(QStringLiteral("About2"));
    setupExportMenu();
    MainMenu1->addMenu(FileMenu);
    MainMenu1->addMenu(HelpMenu);
    window->setMenuBar(MainMenu1);
}

// Added above Exit, which stays the last item.
void CoorPosLayout::setupExportMenu() {
    ExportRoute1 = new QAction(QStringLiteral("Export Route\u2026"), FileMenu);
    ExportRoute1->setObjectName(QStringLiteral("ExportRoute1"));
    ExportEventLog1 = new QAction(QStringLiteral("Export Event Log\u2026"), FileMenu);
    ExportEventLog1->setObjectName(QStringLiteral("ExportEventLog1"));
    OpenMapFile1 = new QAction(QStringLiteral("Open Map File\u2026"), FileMenu);
    OpenMapFile1->setObjectName(QStringLiteral("OpenMapFile1"));
    OpenAreas1 = new QAction(QStringLiteral("Open Areas\u2026"), FileMenu);
    OpenAreas1->setObjectName(QStringLiteral("OpenAreas1"));
    SaveAreasAs1 = new QAction(QStringLiteral("Save Areas As\u2026"), FileMenu);
    SaveAreasAs1->setObjectName(QStringLiteral("SaveAreasAs1"));
    FileMenu->insertActions(Exit2, {ExportRoute1, ExportEventLog1});
    FileMenu->insertSeparator(Exit2);
    FileMenu->insertAction(Exit2, OpenMapFile1);
    SaveMapImage1 = new QAction(QStringLiteral("Save Map Image\u2026"), FileMenu);
    SaveMapImage1->setObjectName(QStringLiteral("SaveMapImage1"));
    FileMenu->insertAction(Exit2, SaveMapImage1);
    FileMenu->insertSeparator(Exit2);
    FileMenu->insertActions(Exit2, {OpenAreas1, SaveAreasAs1});
    FileMenu->insertSeparator(Exit2);
}

void CoorPosLayout::setupMapMenu() {
    MapMenu = named<QMenu>("MapMenu", QStringLiteral("Map"), MainMenu1);
    MapViewModes = named<QActionGroup>("MapViewModes", MapMenu);
    MapViewModes->setExclusive(true);
    const auto addMode = [this](const char* name, const QString& caption) {
        QAction* action = MapMenu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        action->setCheckable(true);
        MapViewModes->addAction(action);
        return action;
    };
    ViewFollowLast = addMode("ViewFollowLast", QStringLiteral("Follow the last radio"));
    ViewFitAll = addMode("ViewFitAll", QStringLiteral("Fit all radios"));
    ViewKeepMine = addMode("ViewKeepMine", QStringLiteral("Keep my view"));
    ViewFollowLast->setChecked(true);
    MapMenu->addSeparator();
    ClusterRadios = MapMenu->addAction(QStringLiteral("Group Crowded Radios"));
    ClusterRadios->setObjectName(QStringLiteral("ClusterRadios"));
    ClusterRadios->setCheckable(true);
    MapMenu->addSeparator();
    Areas1 = MapMenu->addAction(QStringLiteral("Areas\u2026"));
    Areas1->setObjectName(QStringLiteral("Areas1"));
    ShowAlerts = MapMenu->addAction(QStringLiteral("Alerts"));
    ShowAlerts->setObjectName(QStringLiteral("ShowAlerts"));
    Replay1 = MapMenu->addAction(QStringLiteral("Replay\u2026"));
    Replay1->setObjectName(QStringLiteral("Replay1"));
    Replay1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    MainMenu1->addMenu(MapMenu);
}

QFrame* CoorPosLayout::setupMapPane() {
    JvDesignPanel3 = raisedPanel("JvDesignPanel3");
    ToolBar1 = named<QToolBar>("ToolBar1", JvDesignPanel3);
    ToolBar1->setFixedHeight(42);
    ToolBar1->setIconSize(QSize(32, 32));
    ToolBar1->setMovable(false);
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    ToolBar1->setStyleSheet(QStringLiteral(
        "#ToolBar1 { border: 1px solid palette(mid); spacing: 0px; padding: 1px;"
        " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fdfdfd, stop:1 #dfe4ee); }"
        "#ToolBar1 QToolButton { border: 1px solid transparent; border-radius: 3px; }"
        "#ToolBar1 QToolButton:hover { border-color: #8aa4d6;"
        " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 #c9d8f3); }"
        "#ToolBar1 QToolButton:pressed { background: #a9c0ea; }"));
    const auto addButton = [this](const char* name, int image) {
        auto* button = named<QToolButton>(name, ToolBar1);
        button->setIcon(toolbarImage(image));
        button->setIconSize(QSize(32, 32));
        button->setFixedSize(39, 38);
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRaise(true);
        ToolBar1->addWidget(button);
        return button;
    };
    ToolButton1 = addButton("ToolButton1", 6);
    ToolButton2 = addButton("ToolButton2", 1);
    ToolButton4 = addButton("ToolButton4", 7);
    ToolButton5 = addButton("ToolButton5", 4);
    ToolButton7 = addButton("ToolButton7", 8);
    ToolButton3 = addButton("ToolButton3", 5);
    ToolButton9 = named<QWidget>("ToolButton9", ToolBar1);
    ToolButton9->setFixedSize(8, 38);
    ToolBar1->addWidget(ToolButton9);
    ToolButton8 = addButton("ToolButton8", 0);

    WebBrowser1 = named<TWebBrowser>("WebBrowser1", JvDesignPanel3);
    QVBoxLayout* layout = stackIn(JvDesignPanel3);
    layout->addWidget(ToolBar1);
    layout->addWidget(WebBrowser1, 1);
    ReplayBar1 = new ReplayBar(JvDesignPanel3);
    ReplayBar1->hide();
    layout->addWidget(ReplayBar1);
    return JvDesignPanel3;
}

QFrame* CoorPosLayout::setupRightPane() {
    JvDesignPanel2 = raisedPanel("JvDesignPanel2");
    JvDesignPanel5 = raisedPanel("JvDesignPanel5", JvDesignPanel2);
    stackIn(JvDesignPanel2)->addWidget(JvDesignPanel5);

    JvNavPanelHeader1 =
        named<NavPanelHeader>("JvNavPanelHeader1", QStringLiteral("Realtime Reports"));
    JvNavPanelHeader1->setFont(calibriFont(21, true));
    JvNavPanelHeader1->setCaptionColor(JvNavPanelHeader1->palette().color(QPalette::Base));
    JvNavPanelHeader1->setFixedHeight(27);

    JvgPageControl2 = named<OwnerDrawnTabWidget>("JvgPageControl2");
    JvgPageControl2->setTabPosition(QTabWidget::North);
    TabSheet4 = named<QWidget>("TabSheet4");
    JvTreeView1 = named<ConnectedTreeWidget>("JvTreeView1", TabSheet4);
    JvTreeView1->setHeaderHidden(true);
    JvTreeView1->setIndentation(19);
    JvTreeView1->setUniformRowHeights(true);
    JvTreeView1->setFont(calibriFont(13));
    JvTreeView1->setStyleSheet(QStringLiteral("QTreeView::item { height: 18px; }"));
    stackIn(TabSheet4)->addWidget(JvTreeView1);
    JvgPageControl2->addTab(TabSheet4, QStringLiteral("Users"));
    JvgPageControl2->addTab(setupRealtimeOptionsPage(), QStringLiteral("Realtime Options"));
    JvgPageControl2->addTab(setupFastSearchPage(), QStringLiteral("Fast Search"));
    JvgPageControl2->setCurrentIndex(0);

    QVBoxLayout* layout = stackIn(JvDesignPanel5);
    layout->addWidget(JvNavPanelHeader1);
    layout->addWidget(JvgPageControl2, 1);
    return JvDesignPanel2;
}

QWidget* CoorPosLayout::setupRealtimeOptionsPage() {
    TabSheet3 = named<QWidget>("TabSheet3");
    Label5 =
        placedLabel("Label5", QStringLiteral("Control second"), TabSheet3, 16, 42, calibriFont(13));
    Edit1 = numberField("Edit1", QStringLiteral("30"), TabSheet3, QRect(151, 36, 33, 21));
    CheckBox1 = named<QCheckBox>("CheckBox1", QStringLiteral("Enable Map Auto Refresh"), TabSheet3);
    CheckBox1->setFont(calibriFont(12));
    CheckBox1->setLayoutDirection(Qt::RightToLeft);
    CheckBox1->setGeometry(14, 88, 171, 17);
    Label2 = placedLabel("Label2", QStringLiteral("Map zoom level"), TabSheet3, 17, 136,
                         calibriFont(12));
    Edit20 = numberField("Edit20", QStringLiteral("18"), TabSheet3, QRect(142, 134, 33, 21));
    UpDown4 = named<UpDownButtons>("UpDown4", Edit20, 0, 21, 18, TabSheet3);
    UpDown4->setGeometry(175, 134, 15, 21);
    QWidget::setTabOrder(Edit1, CheckBox1);
    QWidget::setTabOrder(CheckBox1, Edit20);
    return TabSheet3;
}

// Below the page's own controls, in space they leave free.
void CoorPosLayout::setupRadioFilter() {
    RadioFilterLabel = placedLabel("RadioFilterLabel", QStringLiteral("Find radio in the tree"),
                                   TabSheet3, 17, 184, calibriFont(12));
    RadioFilter = named<QLineEdit>("RadioFilter", TabSheet3);
    RadioFilter->setGeometry(17, 204, 173, 21);
    RadioFilter->setPlaceholderText(QStringLiteral("radio id or name"));
    RadioFilter->setClearButtonEnabled(true);
    QWidget::setTabOrder(Edit20, RadioFilter);
}

QWidget* CoorPosLayout::setupFastSearchPage() {
    TabSheet2 = named<QWidget>("TabSheet2");
    Label3 =
        placedLabel("Label3", QStringLiteral("First date"), TabSheet2, 24, 42, calibriFont(13));
    DateTimePicker1 = datePicker("DateTimePicker1", TabSheet2, QRect(119, 35, 82, 22));
    Label4 =
        placedLabel("Label4", QStringLiteral("Last date "), TabSheet2, 24, 98, calibriFont(13));
    DateTimePicker2 = datePicker("DateTimePicker2", TabSheet2, QRect(119, 91, 82, 22));
    Label1 =
        placedLabel("Label1", QStringLiteral("Route count  "), TabSheet2, 24, 143, calibriFont(13));
    Edit2 = numberField("Edit2", QStringLiteral("100"), TabSheet2, QRect(167, 137, 33, 21));
    Button1 = named<QPushButton>("Button1", QStringLiteral("Show"), TabSheet2);
    Button1->setGeometry(120, 183, 75, 25);
    QWidget::setTabOrder(Edit2, DateTimePicker2);
    QWidget::setTabOrder(DateTimePicker2, DateTimePicker1);
    QWidget::setTabOrder(DateTimePicker1, Button1);
    setupRouteTools();
    return TabSheet2;
}

void CoorPosLayout::setupRouteTools() {
    QuickRangeCombo = named<QComboBox>("QuickRangeCombo", TabSheet2);
    QuickRangeCombo->addItem(QStringLiteral("Quick range\u2026"));
    QuickRangeCombo->addItems(quickRangeNames());
    QuickRangeCombo->setGeometry(24, 220, 176, 22);
    FitRouteCheck = named<QCheckBox>("FitRouteCheck", QStringLiteral("Fit the route"), TabSheet2);
    FitRouteCheck->setFont(calibriFont(12));
    FitRouteCheck->setGeometry(24, 252, 171, 17);
    QWidget::setTabOrder(Button1, QuickRangeCombo);
    QWidget::setTabOrder(QuickRangeCombo, FitRouteCheck);
    RouteSummaryText = named<QPlainTextEdit>("RouteSummaryText", TabSheet2);
    RouteSummaryText->setReadOnly(true);
    RouteSummaryText->setFont(calibriFont(12));
    RouteSummaryText->setGeometry(16, 280, 212, 128);
}

QFrame* CoorPosLayout::setupBottomPane() {
    JvDesignPanel4 = raisedPanel("JvDesignPanel4");
    JvNavPanelHeader7 = named<NavPanelHeader>("JvNavPanelHeader7", QStringLiteral("Event Log"));
    JvNavPanelHeader7->setFont(calibriFont(13, true));
    JvNavPanelHeader7->setCaptionColor(Qt::white);
    JvNavPanelHeader7->setFixedHeight(20);

    JvgPageControl1 = named<OwnerDrawnTabWidget>("JvgPageControl1");
    JvgPageControl1->setTabPosition(QTabWidget::South);
    TabSheet1 = named<QWidget>("TabSheet1");
    DBGrid1 = named<EventLogGrid>("DBGrid1", TabSheet1);
    stackIn(TabSheet1)->addWidget(DBGrid1);
    JvgPageControl1->addTab(TabSheet1, QStringLiteral("Last GPS Activities"));

    StatusBar1 = named<QStatusBar>("StatusBar1");
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setFixedHeight(19);
    // A label rather than showMessage(): menu hovering would clear a message.
    StatusText = named<QLabel>("StatusText");
    StatusBar1->addWidget(StatusText, 1);
    ReportLoad = named<LoadProgress>("ReportLoad");
    StatusBar1->addPermanentWidget(ReportLoad);

    QVBoxLayout* layout = stackIn(JvDesignPanel4);
    layout->addWidget(JvNavPanelHeader7);
    layout->addWidget(JvgPageControl1, 1);
    layout->addWidget(StatusBar1);
    return JvDesignPanel4;
}

void CoorPosLayout::setupTimers(QMainWindow* window) {
    Timer1 = named<QTimer>("Timer1", window);
    Timer1->setInterval(60000);
    initalize_map = named<QTimer>("initalize_map", window);
    initalize_map->setInterval(1000);
    initalize_map->setSingleShot(true);
}
