#pragma once

#include <QAbstractTableModel>

// Consecutive rows of a table model, from a first row on: a view over it
// keeps state for the rows it shows only, however many the table holds (a
// table view keeps a header section per row, 80 MB at ten million rows).
class RowWindowModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RowWindowModel(QAbstractItemModel* source, QObject* parent = nullptr);

    int firstRow() const { return first_; }
    int sourceRowCount() const { return source_->rowCount(); }
    // Shows up to `size` rows from `first` (at most the last row).
    void setWindow(int first, int size);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    int clampedFirst(int first) const;

    QAbstractItemModel* source_;
    int first_ = 0;
    int size_ = 0;
};
