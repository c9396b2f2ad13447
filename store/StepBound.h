#pragma once

#include <QtGlobal>

#include <atomic>

struct sqlite3;

// Stops the connection's statement once it runs too long without giving a
// row, or once it is cancelled from another thread: SQLite calls back every
// few virtual machine steps while the bound is installed.
class StepBound {
public:
    StepBound(sqlite3* db, quint64 maxStepsWithoutRow, const std::atomic_bool* cancelled = nullptr);
    ~StepBound();
    StepBound(const StepBound&) = delete;
    StepBound& operator=(const StepBound&) = delete;

    void rowGiven() { sinceRow_ = 0; }
    bool exceeded() const { return exceeded_; }

private:
    static int passed(void* context);

    sqlite3* db_;
    quint64 max_;
    const std::atomic_bool* cancelled_;
    quint64 sinceRow_ = 0;
    bool exceeded_ = false;
};
