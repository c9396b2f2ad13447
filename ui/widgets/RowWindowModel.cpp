#include "ui/widgets/RowWindowModel.h"

#include <algorithm>

RowWindowModel::RowWindowModel(QAbstractItemModel* source, QObject* parent)
    : QAbstractTableModel(parent)
    , source_(source) {
    connect(source_, &QAbstractItemModel::modelAboutToBeReset, this,
            &RowWindowModel::beginResetModel);
    connect(source_, &QAbstractItemModel::modelReset, this, [this] {
        first_ = clampedFirst(first_);
        endResetModel();
    });
}

int RowWindowModel::clampedFirst(int first) const {
    return std::clamp(first, 0, std::max(0, source_->rowCount() - 1));
}

void RowWindowModel::setWindow(int first, int size) {
    size = std::max(size, 0);
    if (size == size_ && clampedFirst(first) == first_)
        return;
    beginResetModel();
    size_ = size;
    first_ = clampedFirst(first);
    endResetModel();
}

int RowWindowModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::clamp(source_->rowCount() - first_, 0, size_);
}

int RowWindowModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : source_->columnCount();
}

QVariant RowWindowModel::data(const QModelIndex& index, int role) const {
    return index.isValid() ? source_->index(first_ + index.row(), index.column()).data(role)
                           : QVariant();
}

QVariant RowWindowModel::headerData(int section, Qt::Orientation orientation, int role) const {
    return orientation == Qt::Horizontal ? source_->headerData(section, orientation, role)
                                         : QVariant();
}

Qt::ItemFlags RowWindowModel::flags(const QModelIndex& index) const {
    return index.isValid() ? source_->flags(source_->index(first_ + index.row(), index.column()))
                           : Qt::NoItemFlags;
}
