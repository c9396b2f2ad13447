#pragma once

#include <QTableView>

class PositionGridModel;
class TableCursor;

// The event-log grid (DBGrid1): a read-only view of the position cursor whose
// current row it marks at the left and shares both ways. A click or an
// arrow key moves the cursor; a move of the cursor moves the grid.
class EventLogGrid : public QTableView {
    Q_OBJECT
public:
    explicit EventLogGrid(QWidget* parent = nullptr);

    void bind(TableCursor* cursor);

    // Width in pixels a grid column starts with; 0 for the width derived from its content.
    static int initialColumnWidth(int column);
    // A cell's text the widest of its column typically shows, for the derived widths.
    static QString typicalText(int column);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void followCursor(int row);
    void applyInitialColumnWidths();

    TableCursor* cursor_ = nullptr;
    PositionGridModel* model_ = nullptr;
    bool followingCursor_ = false;
};
