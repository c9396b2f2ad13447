#include "../../support/TestDatabase.h"

#include "store/Connection.h"
#include "store/PositionGridModel.h"
#include "store/SqliteTableReplica.h"
#include "store/TableCursor.h"
#include "ui/widgets/EventLogGrid.h"
#include <sqlite3.h>

#include <QApplication>
#include <QHeaderView>
#include <QLocale>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// The grid and its model over a small position table.
class EventLogGridTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void modelShowsThePositionColumns();
    void modelFollowsTheFilter();
    void missingColumnShowsEmptyCells();
    void gridLooksAsLaidOut();
    void gridFollowsTheCursor();
    void clickAndArrowKeysMoveTheCursor();
    void gridHoldsOnlyTheRowsOnScreen();
    void indicatorMarksTheCurrentRow();
    void nothingIsEditable();

private:
    QTemporaryDir dir_;
    QString path_;
    Connection connection_;
    std::unique_ptr<TableCursor> cursor_;
};

void EventLogGridTest::initTestCase() {
    QVERIFY(dir_.isValid());
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
}

void EventLogGridTest::init() {
    path_ = dir_.filePath(QStringLiteral("%1.db").arg(QTest::currentTestFunction()));
    TestDatabase db(path_);
    QByteArray sql = "CREATE TABLE map_coor(id INTEGER PRIMARY KEY, station_name TEXT,"
                     " time DATETIME, radio_short_id INTEGER, ns TEXT, lat TEXT, ew TEXT,"
                     " long TEXT, alt TEXT);";
    for (int i = 1; i <= 40; ++i) {
        sql += QStringLiteral("INSERT INTO map_coor VALUES(%1, 'Station %2', '2012-05-%3 %4',"
                              " %5, 'N', '41.0%6', 'E', '29.0%6', '35');")
                   .arg(i)
                   .arg(i % 3)
                   .arg(i % 28 + 1, 2, 10, QLatin1Char('0'))
                   .arg(i == 1 ? QStringLiteral("00:00:00") : QStringLiteral("14:22:33"))
                   .arg(100 + i % 4)
                   .arg(i * 1000, 5, 10, QLatin1Char('0'))
                   .toUtf8();
    }
    QCOMPARE(db.execute(sql), QString());
    connection_.open(path_);
    cursor_ = std::make_unique<TableCursor>(sqliteReplica(connection_, QStringLiteral("map_coor")));
    cursor_->open();
}

void EventLogGridTest::cleanup() {
    cursor_.reset();
    connection_.close();
}

void EventLogGridTest::modelShowsThePositionColumns() {
    PositionGridModel model(cursor_.get());
    QCOMPARE(model.columnCount(), 9);
    QCOMPARE(model.rowCount(), 40);
    QStringList titles;
    for (int c = 0; c < model.columnCount(); ++c)
        titles << model.headerData(c, Qt::Horizontal).toString();
    QCOMPARE(titles, QStringList({"Id", "Station name", "Time", "Radio Short Id", "NS", "Lat", "EW",
                                  "Long", "Alt"}));
    QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("1"));
    QCOMPARE(model.data(model.index(0, 2)).toString(), QStringLiteral("02/05/2012"));
    QCOMPARE(model.data(model.index(1, 2)).toString(), QStringLiteral("03/05/2012 14:22:33"));
    QCOMPARE(model.data(model.index(1, 5)).toString(), QStringLiteral("41.002000"));
    QVERIFY(!model.headerData(0, Qt::Vertical).isValid());
}

void EventLogGridTest::modelFollowsTheFilter() {
    PositionGridModel model(cursor_.get());
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    cursor_->setFiltered(false);
    cursor_->setFilter(QStringLiteral("radio_short_id=101"));
    cursor_->setFiltered(true);
    QCOMPARE(resets.size(), 1);
    QCOMPARE(model.rowCount(), 10);
    QCOMPARE(model.data(model.index(0, 3)).toString(), QStringLiteral("101"));
    QCOMPARE(model.data(model.index(1, 0)).toString(), QStringLiteral("5"));
}

void EventLogGridTest::missingColumnShowsEmptyCells() {
    TestDatabase db(path_);
    QCOMPARE(db.execute("CREATE TABLE slim(id INTEGER, time DATETIME);"
                        "INSERT INTO slim VALUES(3, '2012-05-03 10:00:00')"),
             QString());
    TableCursor slim(sqliteReplica(connection_, QStringLiteral("slim")));
    slim.open();
    PositionGridModel model(&slim);
    QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("3"));
    QCOMPARE(model.data(model.index(0, 1)).toString(), QString());
    QCOMPARE(model.data(model.index(0, 2)).toString(), QStringLiteral("03/05/2012 10:00:00"));
}

void EventLogGridTest::gridLooksAsLaidOut() {
    EventLogGrid grid;
    grid.bind(cursor_.get());
    QHeaderView* titles = grid.horizontalHeader();
    QCOMPARE(titles->sectionSize(0), 50);
    QCOMPARE(titles->sectionSize(1), 229);
    QCOMPARE(titles->sectionSize(3), 119);
    // A derived width fits the widest date-time.
    const QString widestTime = EventLogGrid::typicalText(2);
    QVERIFY(titles->sectionSize(2) > QFontMetrics(grid.font()).horizontalAdvance(widestTime));
    for (int c = 0; c < 9; ++c)
        QCOMPARE(titles->sectionResizeMode(c), QHeaderView::Interactive);
    QCOMPARE(QFontInfo(grid.font()).family(), QStringLiteral("Carlito"));
    QCOMPARE(grid.font().pixelSize(), 13);
    QVERIFY(titles->font().bold());
}

void EventLogGridTest::gridFollowsTheCursor() {
    EventLogGrid grid;
    grid.resize(900, 150);
    grid.bind(cursor_.get());
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QCOMPARE(grid.currentIndex().row(), 0);

    cursor_->last();
    QCOMPARE(grid.firstShownRow() + grid.currentIndex().row(), 39);
    QCOMPARE(grid.selectionModel()->selectedRows().size(), 1);
    QVERIFY(grid.selectionModel()->isRowSelected(grid.currentIndex().row(), QModelIndex()));
    QVERIFY(grid.viewport()->rect().contains(grid.visualRect(grid.currentIndex())));
    QCOMPARE(grid.currentIndex().data().toString(), QStringLiteral("40"));

    cursor_->setFiltered(false);
    cursor_->setFilter(QStringLiteral("radio_short_id=102"));
    cursor_->setFiltered(true);
    QCOMPARE(grid.verticalScrollBar()->maximum() + grid.verticalScrollBar()->pageStep(), 10);
    QCOMPARE(grid.firstShownRow() + grid.currentIndex().row(), 0);

    cursor_->setFilter(QStringLiteral("radio_short_id=7"));
    QVERIFY(!grid.currentIndex().isValid());
    QVERIFY(grid.selectionModel()->selectedRows().isEmpty());
}

void EventLogGridTest::clickAndArrowKeysMoveTheCursor() {
    EventLogGrid grid;
    grid.resize(900, 300);
    grid.bind(cursor_.get());
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));

    const QRect third = grid.visualRect(grid.model()->index(2, 1));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, third.center());
    QCOMPARE(cursor_->currentRow(), 2);
    QCOMPARE(cursor_->fieldAsText(QStringLiteral("id")), QStringLiteral("3"));

    QTest::keyClick(&grid, Qt::Key_Down);
    QCOMPARE(cursor_->currentRow(), 3);
    QTest::keyClick(&grid, Qt::Key_Up);
    QTest::keyClick(&grid, Qt::Key_Up);
    QCOMPARE(cursor_->currentRow(), 1);
    QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(cursor_->currentRow(), 39);
}

// The view holds the rows on screen only, whatever the table holds; its
// scroll bar spans the table, and keys and the bar reach every row.
void EventLogGridTest::gridHoldsOnlyTheRowsOnScreen() {
    EventLogGrid grid;
    grid.resize(900, 150);
    grid.bind(cursor_.get());
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    const int page = grid.verticalScrollBar()->pageStep();
    QVERIFY2(page >= 2 && page < 10, qPrintable(QString::number(page)));
    QCOMPARE(grid.verticalScrollBar()->maximum(), 40 - page);
    QVERIFY(grid.model()->rowCount() <= page + 1);
    QVERIFY(grid.verticalHeader()->count() <= page + 1);

    QTest::keyClick(&grid, Qt::Key_PageDown);
    QCOMPARE(cursor_->currentRow(), page);
    QCOMPARE(grid.currentIndex().data().toString(), QString::number(page + 1));
    QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(grid.firstShownRow(), 40 - page);
    QTest::keyClick(&grid, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(cursor_->currentRow(), 0);
    QCOMPARE(grid.firstShownRow(), 0);

    // Scrolled by the bar, the rows shown follow and the cursor stays.
    grid.verticalScrollBar()->setValue(30);
    QCOMPARE(grid.firstShownRow(), 30);
    QCOMPARE(grid.model()->index(0, 0).data().toString(), QStringLiteral("31"));
    QVERIFY(!grid.currentIndex().isValid());
    QCOMPARE(cursor_->currentRow(), 0);
    const QRect second = grid.visualRect(grid.model()->index(1, 1));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, second.center());
    QCOMPARE(cursor_->currentRow(), 31);
    QVERIFY(grid.verticalHeader()->count() <= page + 1);
}

namespace {

// Rows of the indicator column that hold dark (drawn) pixels.
QList<int> markedRows(EventLogGrid& grid) {
    QHeaderView* indicator = grid.verticalHeader();
    QImage image(indicator->size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    indicator->render(&image);
    QList<int> rows;
    for (int row = 0; row < grid.model()->rowCount(); ++row) {
        const int top = indicator->sectionViewportPosition(row);
        if (top < 0 || top >= image.height())
            continue;
        bool dark = false;
        for (int y = top; y < top + indicator->sectionSize(row) && y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                dark = dark || qGray(image.pixel(x, y)) < 80;
        }
        if (dark)
            rows << row;
    }
    return rows;
}

} // namespace

void EventLogGridTest::indicatorMarksTheCurrentRow() {
    EventLogGrid grid;
    grid.resize(900, 300);
    grid.bind(cursor_.get());
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QCOMPARE(markedRows(grid), QList<int>{0});
    cursor_->moveTo(4);
    QCOMPARE(markedRows(grid), QList<int>{4});
    cursor_->last();
    QCOMPARE(markedRows(grid), QList<int>{39 - grid.firstShownRow()});
    cursor_->setFilter(QStringLiteral("radio_short_id=7"));
    cursor_->setFiltered(true);
    QCOMPARE(markedRows(grid), QList<int>{});
}

void EventLogGridTest::nothingIsEditable() {
    EventLogGrid grid;
    grid.bind(cursor_.get());
    QCOMPARE(grid.editTriggers(), QAbstractItemView::NoEditTriggers);
    const QModelIndex cell = grid.model()->index(0, 1);
    QVERIFY(!(grid.model()->flags(cell) & Qt::ItemIsEditable));
    QVERIFY(!grid.model()->setData(cell, QStringLiteral("changed")));
}

QTEST_MAIN(EventLogGridTest)
#include "tst_eventloggrid.moc"
