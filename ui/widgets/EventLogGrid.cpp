#include "ui/widgets/EventLogGrid.h"

#include "store/DateTimeValue.h"
#include "store/PositionGridModel.h"
#include "store/TableCursor.h"
#include "ui/widgets/RowWindowModel.h"

#include <QHeaderView>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>

namespace {

constexpr int indicatorWidth = 14;
constexpr int cellPadding = 12;

// Per grid column: the width in pixels it starts with, 0 for the width derived
// from its content, and the text the widest of its cells typically shows
// (null: a date-time).
struct ColumnWidth {
    int width;
    const char* typicalText;
};

constexpr ColumnWidth columnWidths[] = {
    {50, ""},          {229, ""},  {0, nullptr},       {119, ""},       {0, "NS "},
    {0, "00.000000 "}, {0, "EW "}, {0, "000.000000 "}, {0, "00000.0 "},
};
constexpr int widthCount = int(std::size(columnWidths));

// The narrow column at the left: a triangle on the cursor's current row.
class CurrentRowIndicator : public QHeaderView {
public:
    explicit CurrentRowIndicator(QWidget* parent)
        : QHeaderView(Qt::Vertical, parent) {}

    void setCursor(const TableCursor* cursor, const RowWindowModel* window) {
        cursor_ = cursor;
        window_ = window;
    }

    QSize sizeHint() const override {
        return QSize(indicatorWidth, QHeaderView::sizeHint().height());
    }

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
        // The base leaves the painter clipped to nothing.
        painter->save();
        QHeaderView::paintSection(painter, rect, logicalIndex);
        painter->restore();
        if (!cursor_ || window_->firstRow() + logicalIndex != cursor_->currentRow())
            return;
        const QPointF centre = QRectF(rect).center();
        const qreal half = qMin(rect.height(), rect.width()) * 0.3;
        QPainterPath triangle;
        triangle.moveTo(centre.x() - half * 0.7, centre.y() - half);
        triangle.lineTo(centre.x() + half * 0.9, centre.y());
        triangle.lineTo(centre.x() - half * 0.7, centre.y() + half);
        triangle.closeSubpath();
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->fillPath(triangle, palette().color(QPalette::WindowText));
        painter->restore();
    }

private:
    const TableCursor* cursor_ = nullptr;
    const RowWindowModel* window_ = nullptr;
};

QFont gridFont() {
    QFont font;
    font.setFamilies({QStringLiteral("Calibri"), QStringLiteral("Carlito")});
    font.setPixelSize(13);
    return font;
}

} // namespace

int EventLogGrid::initialColumnWidth(int column) {
    return column >= 0 && column < widthCount ? columnWidths[column].width : 0;
}

QString EventLogGrid::typicalText(int column) {
    if (column < 0 || column >= widthCount)
        return QString();
    if (!columnWidths[column].typicalText) {
        // Two-digit day and month, an afternoon hour: the widest a date-time shows.
        return displayText(toDateTimeValue(QDateTime(QDate(2000, 12, 28), QTime(23, 58, 58))));
    }
    return QString::fromLatin1(columnWidths[column].typicalText);
}

EventLogGrid::EventLogGrid(QWidget* parent)
    : QTableView(parent) {
    setFont(gridFont());
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int first) {
        showRowsFrom(first);
        markCurrentRow();
    });

    auto* indicator = new CurrentRowIndicator(this);
    setVerticalHeader(indicator);
    indicator->setSectionResizeMode(QHeaderView::Fixed);
    indicator->setDefaultSectionSize(fontMetrics().height() + 4);
    indicator->setMinimumWidth(indicatorWidth);

    QHeaderView* titles = horizontalHeader();
    QFont titleFont = gridFont();
    titleFont.setBold(true);
    titles->setFont(titleFont);
    titles->setSectionResizeMode(QHeaderView::Interactive);
    titles->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    titles->setHighlightSections(false);
    titles->setStyleSheet(QStringLiteral(
        "QHeaderView::section { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
        " stop:0 #ffffff, stop:0.5 #eef1f6, stop:1 #cfd6e2); font-weight: bold;"
        " border: none; border-right: 1px solid #a7afbc; border-bottom: 1px solid #a7afbc;"
        " padding: 2px 4px; }"));
}

void EventLogGrid::bind(TableCursor* cursor) {
    QAbstractItemModel* previousWindow = window_;
    QAbstractItemModel* previousModel = model_;
    QItemSelectionModel* previousSelection = selectionModel();
    if (cursor_)
        disconnect(cursor_, nullptr, this, nullptr);
    cursor_ = cursor;
    model_ = new PositionGridModel(cursor, this);
    window_ = new RowWindowModel(model_, this);
    static_cast<CurrentRowIndicator*>(verticalHeader())->setCursor(cursor, window_);
    setModel(window_);
    delete previousSelection;
    delete previousWindow;
    delete previousModel;

    connect(model_, &QAbstractItemModel::modelReset, this,
            [this] { followCursor(cursor_->currentRow()); });
    connect(cursor, &TableCursor::currentRowChanged, this, &EventLogGrid::followCursor);
    applyInitialColumnWidths();
    showRowsFrom(0);
    followCursor(cursor->currentRow());
}

int EventLogGrid::firstShownRow() const {
    return window_ ? window_->firstRow() : 0;
}

const QAbstractItemModel* EventLogGrid::tableModel() const {
    return model_;
}

void EventLogGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (followingCursor_ || !cursor_ || !current.isValid())
        return;
    const int row = window_->firstRow() + current.row();
    if (row != cursor_->currentRow())
        cursor_->moveTo(row);
}

// Row moves count in table rows: the window moves first, so the row the key
// goes to is always on screen.
QModelIndex EventLogGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    if (!cursor_ || cursor_->rowCount() == 0)
        return QTableView::moveCursor(action, modifiers);
    const int row = cursor_->currentRow();
    const int page = fullRowsOnScreen();
    const bool toEdge = modifiers & Qt::ControlModifier;
    int target = row;
    switch (action) {
    case MoveUp:
        target = row - 1;
        break;
    case MoveDown:
        target = row + 1;
        break;
    case MovePageUp:
        target = row - page;
        break;
    case MovePageDown:
        target = row + page;
        break;
    case MoveHome:
    case MoveEnd:
        if (!toEdge)
            return QTableView::moveCursor(action, modifiers);
        target = action == MoveHome ? 0 : cursor_->rowCount() - 1;
        break;
    default:
        return QTableView::moveCursor(action, modifiers);
    }
    target = std::clamp(target, 0, cursor_->rowCount() - 1);
    bringIntoView(target);
    return window_->index(target - window_->firstRow(), std::max(currentIndex().column(), 0));
}

// Only columns scroll inside the view; rows come into view by moving the window.
void EventLogGrid::scrollTo(const QModelIndex& index, ScrollHint hint) {
    QScrollBar* rows = verticalScrollBar();
    const QSignalBlocker blocker(rows);
    const int first = rows->value();
    QTableView::scrollTo(index, hint);
    rows->setValue(first);
}

void EventLogGrid::scrollContentsBy(int dx, int) {
    QTableView::scrollContentsBy(dx, 0);
}

// The base sizes the scroll bar to the window's rows; it spans the table.
// What the base set is undone unseen, so that only a real change of range or
// first row is signalled (and shows or hides the bar).
void EventLogGrid::updateGeometries() {
    QScrollBar* rows = verticalScrollBar();
    const int minimum = rows->minimum();
    const int maximum = rows->maximum();
    const int value = rows->value();
    {
        const QSignalBlocker blocker(rows);
        QTableView::updateGeometries();
        rows->setRange(minimum, maximum);
        rows->setValue(value);
    }
    if (!window_)
        return;
    const int page = fullRowsOnScreen();
    rows->setRange(0, std::max(0, window_->sourceRowCount() - page));
    rows->setPageStep(page);
    rows->setSingleStep(1);
    rows->setValue(window_->firstRow());
}

void EventLogGrid::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    if (!window_)
        return;
    showRowsFrom(window_->firstRow());
    if (cursor_)
        followCursor(cursor_->currentRow());
}

int EventLogGrid::fullRowsOnScreen() const {
    return std::max(1, viewport()->height() / std::max(1, verticalHeader()->defaultSectionSize()));
}

// One row more than fits whole, so that the last one shows in part.
void EventLogGrid::showRowsFrom(int first) {
    const int page = fullRowsOnScreen();
    followingCursor_ = true;
    window_->setWindow(std::clamp(first, 0, std::max(0, window_->sourceRowCount() - page)),
                       page + 1);
    followingCursor_ = false;
    updateGeometries();
}

void EventLogGrid::bringIntoView(int row) {
    const int first = window_->firstRow();
    const int page = fullRowsOnScreen();
    if (row < first)
        showRowsFrom(row);
    else if (row >= first + page)
        showRowsFrom(row - page + 1);
}

void EventLogGrid::followCursor(int row) {
    if (row >= 0)
        bringIntoView(row);
    markCurrentRow();
}

// The cursor's row as the view's current and selected row, when on screen.
void EventLogGrid::markCurrentRow() {
    followingCursor_ = true;
    const int row = cursor_ ? cursor_->currentRow() - window_->firstRow() : -1;
    if (row < 0 || row >= window_->rowCount()) {
        clearSelection();
        setCurrentIndex(QModelIndex());
    } else {
        const QModelIndex index = window_->index(row, qMax(currentIndex().column(), 0));
        if (index != currentIndex())
            setCurrentIndex(index);
        else if (!selectionModel()->isRowSelected(row, QModelIndex()))
            selectRow(row);
        scrollTo(index);
    }
    followingCursor_ = false;
    verticalHeader()->viewport()->update();
}

// Columns without a set width fit their title or a typical value, whichever
// is wider; the user may drag every width afterwards.
void EventLogGrid::applyInitialColumnWidths() {
    const QFontMetrics cellMetrics(font());
    const QFontMetrics titleMetrics(horizontalHeader()->font());
    for (int column = 0; column < model_->columnCount(); ++column) {
        int width = initialColumnWidth(column);
        if (width == 0) {
            const QString title = model_->headerData(column, Qt::Horizontal).toString();
            width = qMax(cellMetrics.horizontalAdvance(typicalText(column)),
                         titleMetrics.horizontalAdvance(title)) +
                    cellPadding;
        }
        horizontalHeader()->resizeSection(column, width);
    }
}
