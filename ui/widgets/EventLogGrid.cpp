#include "ui/widgets/EventLogGrid.h"

#include "store/DateTimeValue.h"
#include "store/PositionGridModel.h"
#include "store/TableCursor.h"

#include <QHeaderView>
#include <QPainter>
#include <QPainterPath>

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

    void setCursor(const TableCursor* cursor) { cursor_ = cursor; }

    QSize sizeHint() const override {
        return QSize(indicatorWidth, QHeaderView::sizeHint().height());
    }

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
        // The base leaves the painter clipped to nothing.
        painter->save();
        QHeaderView::paintSection(painter, rect, logicalIndex);
        painter->restore();
        if (!cursor_ || logicalIndex != cursor_->currentRow())
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
    QAbstractItemModel* previousModel = model_;
    QItemSelectionModel* previousSelection = selectionModel();
    if (cursor_)
        disconnect(cursor_, nullptr, this, nullptr);
    cursor_ = cursor;
    model_ = new PositionGridModel(cursor, this);
    static_cast<CurrentRowIndicator*>(verticalHeader())->setCursor(cursor);
    setModel(model_);
    delete previousSelection;
    delete previousModel;

    connect(model_, &QAbstractItemModel::modelReset, this,
            [this] { followCursor(cursor_->currentRow()); });
    connect(cursor, &TableCursor::currentRowChanged, this, &EventLogGrid::followCursor);
    applyInitialColumnWidths();
    followCursor(cursor->currentRow());
}

void EventLogGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (!followingCursor_ && cursor_ && current.isValid() && current.row() != cursor_->currentRow())
        cursor_->moveTo(current.row());
}

void EventLogGrid::followCursor(int row) {
    followingCursor_ = true;
    if (row < 0) {
        clearSelection();
        setCurrentIndex(QModelIndex());
    } else {
        const QModelIndex index = model_->index(row, qMax(currentIndex().column(), 0));
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
