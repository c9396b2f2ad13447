#include "store/StepBound.h"

#include <sqlite3.h>

namespace {

constexpr int stepsPerCall = 1000;

} // namespace

StepBound::StepBound(sqlite3* db, quint64 maxStepsWithoutRow, const std::atomic_bool* cancelled)
    : db_(db)
    , max_(maxStepsWithoutRow)
    , cancelled_(cancelled) {
    sqlite3_progress_handler(db_, stepsPerCall, &StepBound::passed, this);
}

StepBound::~StepBound() {
    sqlite3_progress_handler(db_, 0, nullptr, nullptr);
}

int StepBound::passed(void* context) {
    auto* bound = static_cast<StepBound*>(context);
    bound->sinceRow_ += stepsPerCall;
    bound->exceeded_ = bound->sinceRow_ > bound->max_;
    return bound->exceeded_ || (bound->cancelled_ && *bound->cancelled_) ? 1 : 0;
}
