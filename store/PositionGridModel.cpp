#include "store/PositionGridModel.h"

#include "store/DateTimeValue.h"
#include "store/TableCursor.h"

namespace {

struct GridColumn {
    const char* name;
    const char* title;
    int width;
    const char* typicalText;
};

constexpr GridColumn gridColumns[] = {
    {"id", "Id", 50, ""},          {"station_name", "Station name", 229, ""},
    {"time", "Time", 0, nullptr},  {"radio_short_id", "Radio Short Id", 119, ""},
    {"ns", "NS", 0, "NS "},        {"lat", "Lat", 0, "00.000000 "},
    {"ew", "EW", 0, "EW "},        {"long", "Long", 0, "000.000000 "},
    {"alt", "Alt", 0, "00000.0 "},
};
constexpr int gridColumnCount = int(std::size(gridColumns));

} // namespace

PositionGridModel::PositionGridModel(TableCursor* cursor, QObject* parent)
    : QAbstractTableModel(parent)
    , cursor_(cursor) {
    mapColumns();
    connect(cursor_, &TableCursor::rowsAboutToReset, this, &PositionGridModel::beginResetModel);
    connect(cursor_, &TableCursor::rowsReset, this, [this] {
        mapColumns();
        endResetModel();
    });
}

int PositionGridModel::initialColumnWidth(int column) {
    return column >= 0 && column < gridColumnCount ? gridColumns[column].width : 0;
}

QString PositionGridModel::typicalText(int column) {
    if (column < 0 || column >= gridColumnCount)
        return QString();
    if (!gridColumns[column].typicalText) {
        // Two-digit day and month, an afternoon hour: the widest a date-time shows.
        return displayText(toDateTimeValue(QDateTime(QDate(2000, 12, 28), QTime(23, 58, 58))));
    }
    return QString::fromLatin1(gridColumns[column].typicalText);
}

int PositionGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : cursor_->rowCount();
}

int PositionGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : gridColumnCount;
}

QVariant PositionGridModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid())
        return QVariant();
    const int column = cursorColumns_[index.column()];
    return column < 0 ? QString() : cursor_->displayText(index.row(), column);
}

QVariant PositionGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    // The row header is the current-row indicator, drawn by the grid.
    if (orientation != Qt::Horizontal || section < 0 || section >= gridColumnCount)
        return QVariant();
    if (role == Qt::DisplayRole)
        return QString::fromLatin1(gridColumns[section].title);
    return QVariant();
}

Qt::ItemFlags PositionGridModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren
                           : Qt::NoItemFlags;
}

void PositionGridModel::mapColumns() {
    cursorColumns_.clear();
    for (const GridColumn& column : gridColumns)
        cursorColumns_.push_back(cursor_->columnIndex(QString::fromLatin1(column.name)));
}
