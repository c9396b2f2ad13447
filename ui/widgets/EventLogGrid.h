#pragma once

#include <QTableView>

class PositionGridModel;
class RowWindowModel;
class TableCursor;

// The event-log grid (DBGrid1): a read-only view of the position cursor whose
// current row it marks at the left and shares both ways. A click or an
// arrow key moves the cursor; a move of the cursor moves the grid.
//
// The view holds only the rows on screen (RowWindowModel); its vertical
// scroll bar spans the whole table and moves that window, so ten million
// rows cost the grid nothing per row and a new load lands at once.
class EventLogGrid : public QTableView {
    Q_OBJECT
public:
    explicit EventLogGrid(QWidget* parent = nullptr);

    void bind(TableCursor* cursor);

    // Width in pixels a grid column starts with; 0 for the width derived from its content.
    static int initialColumnWidth(int column);
    // A cell's text the widest of its column typically shows, for the derived widths.
    static QString typicalText(int column);

    // The table row the view's first row shows.
    int firstShownRow() const;
    // Every row of the table as the grid shows it (the view holds those on screen).
    const QAbstractItemModel* tableModel() const;

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void followCursor(int row);
    void applyInitialColumnWidths();
    int fullRowsOnScreen() const;
    void showRowsFrom(int first);
    void bringIntoView(int row);
    void markCurrentRow();

    TableCursor* cursor_ = nullptr;
    PositionGridModel* model_ = nullptr;
    RowWindowModel* window_ = nullptr;
    bool followingCursor_ = false;
};
