#pragma once

#include "store/ColumnStore.h"
#include "store/DateTimeValue.h"
#include "store/EqualityIndex.h"
#include "store/FilterExpression.h"
#include "store/ReadBounds.h"
#include "store/RowCheck.h"
#include "store/RowFilter.h"
#include "store/SliceFingerprints.h"
#include "store/TableLoad.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

class Connection;

// A whole table read into memory with "SELECT * FROM <table>", narrowed by a
// filter text evaluated row by row. Each column's kind follows its declared
// type (see columnKindOfDeclaredType); a read holds no lock once it returns.
class TableCursor : public QObject {
    Q_OBJECT
public:
    TableCursor(Connection& connection, const QString& tableName, QObject* parent = nullptr);
    ~TableCursor() override;

    void setReadBounds(const ReadBounds& bounds);
    // On, a refresh of a rowid table reads only the rows appended since the
    // last read, and a change before them shows once a check and a whole read
    // beside this thread have run (see waitForBackgroundWork). Every whole
    // read then runs beside this thread: the rows read before stay until a
    // refresh after it finishes (none at open). Off, every refresh equals a
    // fresh read. Set before open.
    void setIncrementalRefresh(bool on);
    // An integer column the table is mostly narrowed by: whole reads beside
    // this thread build its index as well.
    void setIndexedColumn(const QString& column);

    void open(); // throws Error with the database's message
    // Re-reads; stays on the current row while it holds the same values,
    // else goes to the first row whose values all match it. A read that
    // fails throws and keeps the rows held before.
    void refresh();
    // The last refresh's error; empty once a refresh succeeds again.
    const QString& refreshError() const { return refreshError_; }
    void close();
    bool isOpen() const;

    bool isLoading() const { return load_ != nullptr; }
    bool isLoadingHeld() const { return loadHeld_; }
    // Stops a whole read running beside this thread; the rows before stay,
    // and no whole read starts again until resumeLoading.
    void cancelLoading();
    void resumeLoading();
    // Waits for the reads beside this thread and takes what they found, as
    // the event loop would.
    void waitForBackgroundWork();
    // Rows the check of the rows held has read since the cursor was made,
    // and the processor time it took.
    quint64 rowsChecked() const { return rowsChecked_; }
    double checkCpuSeconds() const { return checkCpuSeconds_; }

    void setFiltered(bool on);
    void setFilter(const QString& text); // throws Error when the text does not parse
    QString filter() const;
    // Filtering off, the text set, filtering on: a text that does not parse
    // throws and leaves the table unfiltered.
    void applyFilter(const QString& text);
    // The same with an expression the caller built: the views narrow the
    // table once per radio, and nothing is written out or parsed for it.
    void applyFilter(FilterExpression expression);

    int rowCount() const;   // passing rows
    int currentRow() const; // index among the passing rows, -1 for none
    void first();
    void last();
    void next();
    void prior();
    void moveTo(int row);
    bool atBeginning() const;
    bool atEnd() const;

    // Columns of the current row by name; an unknown name throws Error naming it.
    QString fieldAsText(const QString& column) const;
    qint32 fieldAsInteger(const QString& column) const;
    DateTimeValue fieldAsDateTime(const QString& column) const;

    // For the grid: columns and any passing row.
    int columnCount() const;
    QString columnName(int column) const;
    QString displayText(int row, int column) const;

    ColumnKind columnKind(int column) const;
    int columnIndex(const QString& column) const; // -1 when the table has no such column

signals:
    void rowsAboutToReset();
    void rowsReset();                // the passing rows changed (open, refresh, filter)
    void currentRowChanged(int row); // a move, and the row after every reset

    void loadingChanged(bool loading); // a whole read beside this thread began or ended
    void loadProgress(quint64 rows, quint64 expected); // expected is 0 when not known
    // The first whole read failed; none starts again until resumeLoading.
    void loadFailed(const QString& message);

private:
    void refreshRows();
    bool readRows();
    void startLoad();
    void finishLoad(quint64 generation);
    void adoptLoad();
    void stopLoad();
    void startCheck();
    void startCheckStep();
    void finishCheck(const RowCheckStep& step, std::size_t slices, quint64 generation);
    void stopCheck();
    void computePassingRows();
    void takeFilter(FilterExpression expression, std::optional<QString> text);
    void applyFilterFrom(const std::function<FilterExpression()>& expression,
                         std::optional<QString> text);
    void reapplyFilter();
    void finishReset(int row);
    std::optional<int> rowMatching(const ColumnStore::RowSnapshot& remembered,
                                   quint32 storeRowBefore) const;
    quint32 storeRow(int row) const;
    int requireColumn(const QString& column) const;
    std::optional<quint32> currentStoreRow() const;
    std::optional<quint32> currentValueRow(int column) const;
    void moveToRow(int row, bool atBeginning, bool atEnd);

    // The connection's open and data version at the last read.
    struct ReadStamp {
        quint64 openSerial = 0;
        qint64 dataVersion = 0;
        bool operator==(const ReadStamp&) const = default;
    };

    Connection& connection_;
    QString tableName_;
    bool open_ = false;
    ReadStamp readStamp_;
    ReadBounds bounds_;
    QString refreshError_;

    // A rowid table: appended rows are read past lastRowid_, the rows held
    // are fingerprinted by slices in fingerprints_ and checked beside this
    // thread a few slices at a time, with rests between.
    bool incremental_ = false;
    QString indexedColumn_;
    bool rowidTable_ = false;
    qint64 lastRowid_ = 0;
    SliceFingerprints fingerprints_;
    bool wholeReadDue_ = false; // a check found a change before the appended rows
    std::unique_ptr<TableLoad> load_;
    ReadStamp loadStamp_; // this connection's stamp when the running load began
    std::optional<TableLoad::Outcome> loaded_; // a finished load the next refresh shows
    bool loadHeld_ = false;
    quint64 loadGeneration_ = 0;
    std::optional<ReadStamp> checkedStamp_; // the stamp when the last round began
    QTimer checkRest_;
    quint64 rowsChecked_ = 0;
    double checkCpuSeconds_ = 0;
    std::thread check_;
    std::atomic_bool cancelCheck_ = false;
    quint64 checkGeneration_ = 0;
    ColumnStore store_;
    EqualityIndex index_;

    bool filtered_ = false;
    std::optional<QString> filterText_; // as set; none for an expression built by the caller
    FilterExpression expression_;
    std::optional<RowFilter> rowFilter_;
    // Store rows that pass, in order; unused while every row passes.
    std::vector<quint32> passing_;
    bool allPass_ = true;

    int current_ = -1;
    bool atBeginning_ = true;
    bool atEnd_ = true;
};
