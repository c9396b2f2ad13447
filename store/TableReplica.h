// The seam between the cursor and where a table's rows come from (a SQLite
// file, a PostgreSQL server): the rows held in memory and kept current.
#pragma once

#include "store/ColumnStore.h"

#include <QObject>
#include <QString>

class EqualityIndex;
class RadioTimeIndex;

// A table's rows held in memory. A refresh reads what changed since the last
// one and says what it did to the rows held; a whole read may run beside the
// window, and is then taken by a step of its own (adoptLoad).
class TableReplica : public QObject {
    Q_OBJECT
public:
    // Rows 0 .. kept - 1 stayed, the `erased` rows behind them went and
    // `appended` rows follow them. With `replaced` the store is another one
    // (its columns may differ) and every row counts as appended.
    struct Change {
        bool replaced = false;
        quint32 kept = 0;
        quint32 erased = 0;
        quint32 appended = 0;
        bool any() const { return replaced || erased > 0 || appended > 0; }
    };

    // Rows the check of the rows held has read, and the processor time it took.
    struct CheckStats {
        quint64 rows = 0;
        double cpuSeconds = 0;
    };

    explicit TableReplica(const QString& tableName, QObject* parent = nullptr)
        : QObject(parent)
        , tableName_(tableName) {}

    const QString& tableName() const { return tableName_; }

    virtual bool isOpen() const = 0;
    // The first read, then what changed since the last read; a finished whole
    // read waits for adoptLoad. Throws Error with the database's message and
    // keeps the rows held.
    virtual Change refresh() = 0;
    virtual void close() = 0;
    virtual const ColumnStore& rows() const = 0;
    // Over rows(): the integer column the table is mostly narrowed by.
    virtual EqualityIndex& index() = 0;
    // Over rows(): each radio's reports by time, for the replay. A whole read
    // beside the window builds it; rows appended since join it here.
    virtual const RadioTimeIndex& timeIndex() = 0;

    // A whole read beside the window: its progress and end are signalled, and
    // what it read waits until adoptLoad takes it.
    virtual bool isLoading() const = 0;
    virtual bool isLoadingHeld() const = 0;
    virtual bool hasLoad() const = 0;
    virtual Change adoptLoad() = 0;
    // Stops the whole read; the rows held stay, and none starts again until
    // resumeLoading.
    virtual void cancelLoading() = 0;
    virtual void resumeLoading() = 0;
    // Waits for the work beside the window and takes what it found, as the
    // event loop would (tests and benchmarks).
    virtual void waitForBackgroundWork() = 0;
    virtual CheckStats checkStats() const = 0;

signals:
    // Emitted just before the rows held change, for models over them.
    void rowsAboutToChange();
    void loadingChanged(bool loading);
    void loadProgress(quint64 rows, quint64 expected); // expected is 0 when not known
    // The first whole read failed; none starts again until resumeLoading.
    void loadFailed(const QString& message);

private:
    QString tableName_;
};
