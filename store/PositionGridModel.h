#pragma once

#include <QAbstractTableModel>

#include <vector>

class TableCursor;

// The event-log grid's view of the position cursor (DataSource1): the
// position columns in a fixed order, read-only, asking the cursor only for the
// cells on screen so that a million rows cost nothing up front.
class PositionGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit PositionGridModel(TableCursor* cursor, QObject* parent = nullptr);

    TableCursor* cursor() const { return cursor_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void mapColumns();

    TableCursor* cursor_;
    std::vector<int> cursorColumns_; // per grid column, -1 when the table lacks it
};
