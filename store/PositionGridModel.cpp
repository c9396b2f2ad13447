#include "store/PositionGridModel.h"

#include "store/PositionTable.h"
#include "store/TableCursor.h"

namespace {

struct GridColumn {
    const QString& name;
    const char* title;
};

const GridColumn gridColumns[] = {
    {PositionTable::id, "Id"},     {PositionTable::stationName, "Station name"},
    {PositionTable::time, "Time"}, {PositionTable::radioShortId, "Radio Short Id"},
    {PositionTable::ns, "NS"},     {PositionTable::lat, "Lat"},
    {PositionTable::ew, "EW"},     {PositionTable::lng, "Long"},
    {PositionTable::alt, "Alt"},
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
        cursorColumns_.push_back(cursor_->columnIndex(column.name));
}
