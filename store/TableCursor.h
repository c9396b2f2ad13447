// The cursor the views and the grid move over a table's rows: filtering,
// moves and field reading, over a replica that keeps the rows current.
#pragma once

#include "store/ColumnStore.h"
#include "store/DateTimeValue.h"
#include "store/FilterExpression.h"
#include "store/PassingRows.h"
#include "store/TableReplica.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

// A table's rows narrowed by a filter, with a current row. Each column's
// kind follows its declared type (see columnKindOfDeclaredType).
class TableCursor : public QObject {
    Q_OBJECT
public:
    explicit TableCursor(std::unique_ptr<TableReplica> replica, QObject* parent = nullptr);
    ~TableCursor() override;

    TableReplica& replica() { return *replica_; }
    const ColumnStore& rows() const { return replica_->rows(); }

    void open(); // throws Error with the database's message
    // Takes a finished whole read, then re-reads as far as the table changed;
    // stays on the current row while it
    // holds the same values, else goes to the first row whose values all
    // match it. A read that fails throws and keeps the rows held before.
    void refresh();
    // Takes a whole read that finished beside the window, as the next
    // refresh would: a step of its own for the window when a load ends.
    // False when there is none.
    bool adoptLoad();
    // The last refresh's error; empty once a refresh succeeds again.
    const QString& refreshError() const { return refreshError_; }
    void close();
    bool isOpen() const { return replica_->isOpen(); }

    bool isLoading() const { return replica_->isLoading(); }
    bool isLoadingHeld() const { return replica_->isLoadingHeld(); }
    void cancelLoading() { replica_->cancelLoading(); }
    // Lets whole reads start again, and refreshes.
    void resumeLoading();

    void setFiltered(bool on);
    void setFilter(const QString& text); // throws Error when the text does not parse
    QString filter() const;
    // Filtering off, the text set, filtering on: a text that does not parse
    // throws and leaves the table unfiltered.
    void applyFilter(const QString& text);
    // The same with an expression the caller built: the views narrow the
    // table once per radio, and nothing is written out or parsed for it.
    void applyFilter(FilterExpression expression);

    int rowCount() const { return passing_.count(); } // passing rows
    int currentRow() const { return current_; }       // among the passing rows, -1 for none
    void first();
    void last();
    void next();
    void prior();
    void moveTo(int row);
    bool atBeginning() const { return atBeginning_; }
    bool atEnd() const { return atEnd_; }

    // Columns of the current row by name; an unknown name throws Error naming it.
    QString fieldAsText(const QString& column) const;
    qint32 fieldAsInteger(const QString& column) const;
    DateTimeValue fieldAsDateTime(const QString& column) const;

    // For the grid: columns and any passing row.
    int columnCount() const { return rows().columnCount(); }
    QString columnName(int column) const;
    QString displayText(int row, int column) const;

    ColumnKind columnKind(int column) const { return rows().info(column).kind; }
    // -1 when the table has no such column
    int columnIndex(const QString& column) const { return rows().columnIndex(column); }

signals:
    void rowsAboutToReset();
    void rowsReset();                // the passing rows changed (open, refresh, filter)
    void currentRowChanged(int row); // a move, and the row after every reset
    // What a refresh or an adopted load did to the rows, after the reset.
    void rowsRead(const TableReplica::Change& change);

    void loadingChanged(bool loading); // a whole read beside the window began or ended
    void loadProgress(quint64 rows, quint64 expected); // expected is 0 when not known
    // The first whole read failed; none starts again until resumeLoading.
    void loadFailed(const QString& message);

private:
    // The current row's place and values, to find it again after a change.
    struct Remembered {
        std::optional<quint32> storeRow;
        std::optional<ColumnStore::RowSnapshot> values;
    };

    Remembered rememberCurrent() const;
    void settle(const TableReplica::Change& change, const Remembered& before, bool reset);
    void takeFilter(FilterExpression expression, std::optional<QString> text);
    void applyFilterFrom(const std::function<FilterExpression()>& expression,
                         std::optional<QString> text);
    void reapplyFilter();
    void finishReset(int row);
    std::optional<int> rowMatching(const ColumnStore::RowSnapshot& remembered,
                                   quint32 storeRowBefore) const;
    int requireColumn(const QString& column) const;
    std::optional<quint32> currentStoreRow() const;
    std::optional<quint32> currentValueRow(int column) const;
    void moveToRow(int row, bool atBeginning, bool atEnd);

    std::unique_ptr<TableReplica> replica_;
    QString refreshError_;

    bool filtered_ = false;
    std::optional<QString> filterText_; // as set; none for an expression built by the caller
    FilterExpression expression_;
    PassingRows passing_;

    int current_ = -1;
    bool atBeginning_ = true;
    bool atEnd_ = true;
};
