#include "ui/widgets/DateTimePicker.h"
#include "ui/widgets/GradientSplitter.h"
#include "ui/widgets/NavPanelHeader.h"
#include "ui/widgets/OwnerDrawnTabWidget.h"

#include <QLineEdit>
#include <QTabBar>
#include <QVBoxLayout>
#include <QtTest>

class TestLayoutWidgets : public QObject {
    Q_OBJECT
private slots:
    void splitterStopsAtThirtyPixels_data();
    void splitterStopsAtThirtyPixels();
    void splitterHandleIsAGradientAcrossItsThickness_data();
    void splitterHandleIsAGradientAcrossItsThickness();
    void headerBarIsABandedGradient();
    void headerCaptionIsElidedWhenTooLong();
    void tabsAreDrawnInTheirOwnColours();
    void tabKeySkipsTheTabs();
    void datePickerShowsTheTimeAndKeepsWhatAnEditLeaves();
};

namespace {

// A pane whose content asks for far more than the splitter's limit.
QWidget* paneWithLargeContent() {
    auto* pane = new QWidget;
    auto* layout = new QVBoxLayout(pane);
    auto* content = new QWidget;
    content->setMinimumSize(300, 300);
    layout->addWidget(content);
    return pane;
}

QPoint alongPoint(Qt::Orientation orientation, int distance) {
    return orientation == Qt::Horizontal ? QPoint(distance, 0) : QPoint(0, distance);
}

} // namespace

void TestLayoutWidgets::splitterStopsAtThirtyPixels_data() {
    QTest::addColumn<Qt::Orientation>("orientation");
    QTest::addColumn<bool>("largeContent");
    QTest::addColumn<bool>("towardsEnd");
    QTest::newRow("right pane, plain") << Qt::Horizontal << false << true;
    QTest::newRow("right pane, large content") << Qt::Horizontal << true << true;
    QTest::newRow("left pane, large content") << Qt::Horizontal << true << false;
    QTest::newRow("bottom pane, large content") << Qt::Vertical << true << true;
    QTest::newRow("top pane, plain") << Qt::Vertical << false << false;
}

void TestLayoutWidgets::splitterStopsAtThirtyPixels() {
    QFETCH(Qt::Orientation, orientation);
    QFETCH(bool, largeContent);
    QFETCH(bool, towardsEnd);

    GradientSplitter splitter(orientation);
    splitter.setHandleWidth(5);
    splitter.addWidget(largeContent ? paneWithLargeContent() : new QWidget);
    splitter.addWidget(largeContent ? paneWithLargeContent() : new QWidget);
    splitter.resize(600, 600);
    splitter.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splitter));
    QVERIFY(!splitter.childrenCollapsible());
    QVERIFY(splitter.opaqueResize());

    const int shrinking = towardsEnd ? 1 : 0;
    splitter.setSizes(towardsEnd ? QList<int>{595, 0} : QList<int>{0, 595});
    QCOMPARE(splitter.sizes()[shrinking], GradientSplitter::minimumPaneSize);

    splitter.setSizes({300, 295});
    QSplitterHandle* handle = splitter.handle(1);
    QCOMPARE(handle->cursor().shape(),
             orientation == Qt::Horizontal ? Qt::SizeHorCursor : Qt::SizeVerCursor);
    const QPoint grip = handle->rect().center();
    QTest::mousePress(handle, Qt::LeftButton, {}, grip);
    QTest::mouseMove(handle, grip + alongPoint(orientation, towardsEnd ? 1000 : -1000));
    QCOMPARE(splitter.sizes()[shrinking], GradientSplitter::minimumPaneSize);
    QTest::mouseRelease(handle, Qt::LeftButton, {},
                        grip + alongPoint(orientation, towardsEnd ? 1000 : -1000));
    QCOMPARE(splitter.sizes()[shrinking], GradientSplitter::minimumPaneSize);
}

void TestLayoutWidgets::splitterHandleIsAGradientAcrossItsThickness_data() {
    QTest::addColumn<Qt::Orientation>("orientation");
    QTest::newRow("side by side") << Qt::Horizontal;
    QTest::newRow("one above the other") << Qt::Vertical;
}

void TestLayoutWidgets::splitterHandleIsAGradientAcrossItsThickness() {
    QFETCH(Qt::Orientation, orientation);
    GradientSplitter splitter(orientation);
    splitter.setHandleWidth(7);
    splitter.addWidget(new QWidget);
    splitter.addWidget(new QWidget);
    splitter.resize(200, 200);
    splitter.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splitter));

    const QImage handle = splitter.handle(1)->grab().toImage();
    const bool across = orientation == Qt::Horizontal;
    const int thickness = across ? handle.width() : handle.height();
    QCOMPARE(thickness, 7);
    // Near an end of the handle, away from the grip in its middle.
    auto colourAt = [&](int depth) {
        return QColor(across ? handle.pixel(depth, 2) : handle.pixel(2, depth));
    };
    const QColor first = colourAt(0);
    const QColor last = colourAt(thickness - 1);
    QVERIFY2(qAbs(first.red() - 118) < 20 && qAbs(first.blue() - 183) < 20,
             qPrintable(first.name()));
    QVERIFY2(qAbs(last.red() - 9) < 20 && qAbs(last.blue() - 160) < 20, qPrintable(last.name()));
    QVERIFY(first.red() > colourAt(thickness / 2).red());
    QVERIFY(colourAt(thickness / 2).red() > last.red());
}

void TestLayoutWidgets::headerBarIsABandedGradient() {
    NavPanelHeader header("Event Log");
    header.resize(200, 64);
    const QImage image = header.grab().toImage();
    const int x = image.width() - 1; // clear of the caption
    QCOMPARE(QColor(image.pixel(x, 0)), QColor(92, 131, 208));
    QCOMPARE(QColor(image.pixel(x, 63)), QColor(9, 59, 144));
    int bands = 1;
    for (int y = 1; y < 64; ++y) {
        if (image.pixel(x, y) != image.pixel(x, y - 1))
            ++bands;
        QVERIFY(qBlue(image.pixel(x, y)) <= qBlue(image.pixel(x, y - 1)));
    }
    QCOMPARE(bands, 32);
}

void TestLayoutWidgets::headerCaptionIsElidedWhenTooLong() {
    NavPanelHeader header("Realtime Reports");
    QFont font = header.font();
    font.setPixelSize(21);
    font.setBold(true);
    header.setFont(font);
    header.resize(header.sizeHint());
    QCOMPARE(header.displayedCaption(), QString("Realtime Reports"));

    header.resize(60, 27);
    const QString shown = header.displayedCaption();
    QVERIFY2(shown.endsWith(QChar(0x2026)), qPrintable(shown));
    QVERIFY(header.fontMetrics().horizontalAdvance(shown) <= 60 - 8);
}

void TestLayoutWidgets::tabsAreDrawnInTheirOwnColours() {
    OwnerDrawnTabWidget tabs;
    tabs.addTab(new QWidget, "Users");
    tabs.addTab(new QWidget, "Realtime Options");
    tabs.resize(300, 200);
    tabs.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tabs));

    QTabBar* bar = tabs.tabBar();
    QCOMPARE(bar->font().pixelSize(), 11);
    QVERIFY(QStringList({"Arial", "Liberation Sans"}).contains(QFontInfo(bar->font()).family()));
    const QImage image = bar->grab().toImage();
    const QPalette& colours = bar->palette();
    auto backgroundOf = [&](int index) {
        const QRect tab = bar->tabRect(index);
        return image.pixel(tab.left() + 2, tab.top() + 2);
    };
    auto borderOf = [&](int index) {
        const QRect tab = bar->tabRect(index);
        return image.pixel(tab.left(), tab.center().y());
    };
    QCOMPARE(backgroundOf(0), colours.color(QPalette::Button).rgb());
    QCOMPARE(backgroundOf(1), colours.color(QPalette::Dark).rgb());
    QCOMPARE(borderOf(1), colours.color(QPalette::Shadow).rgb());

    tabs.setCurrentIndex(1);
    const QImage switched = bar->grab().toImage();
    const QRect second = bar->tabRect(1);
    QCOMPARE(switched.pixel(second.left() + 2, second.top() + 2),
             colours.color(QPalette::Button).rgb());
}

void TestLayoutWidgets::tabKeySkipsTheTabs() {
    QWidget window;
    auto* before = new QLineEdit(&window);
    auto* tabs = new OwnerDrawnTabWidget(&window);
    auto* page = new QWidget;
    auto* onPage = new QLineEdit(page);
    tabs->addTab(page, "Users");
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(before);
    layout->addWidget(tabs);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    before->setFocus();
    QTest::keyClick(before, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), onPage);
    QTest::keyClick(onPage, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), before);
    QCOMPARE(tabs->tabBar()->focusPolicy(), Qt::NoFocus);
}

void TestLayoutWidgets::datePickerShowsTheTimeAndKeepsWhatAnEditLeaves() {
    const QDateTime start(QDate(2024, 3, 1), QTime(8, 15, 42, 123));
    DateTimePicker picker(start);
    QCOMPARE(picker.value(), start);
    QVERIFY2(picker.text().endsWith(" 08:15"), qPrintable(picker.text()));
    QCOMPARE(picker.text(), QStringLiteral("01.03.24 08:15"));

    picker.setDate(QDate(2024, 3, 5)); // as the calendar sets it
    QCOMPARE(picker.value(), QDateTime(QDate(2024, 3, 5), QTime(8, 15, 42, 123)));
    picker.setTime(QTime(21, 7));
    QCOMPARE(picker.value(), QDateTime(QDate(2024, 3, 5), QTime(21, 7)));

    // Typing into the hour section.
    picker.setValue(start);
    picker.setFocus();
    picker.setCurrentSection(QDateTimeEdit::HourSection);
    QTest::keyClick(&picker, Qt::Key_Up);
    QCOMPARE(picker.value(), QDateTime(QDate(2024, 3, 1), QTime(9, 15)));
}

QTEST_MAIN(TestLayoutWidgets)
#include "tst_layoutwidgets.moc"
