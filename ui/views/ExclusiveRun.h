#pragma once

#include <QScopeGuard>

// One view run at a time. A run waits for the map page with the event loop
// running, so a timer tick or a button can arrive in the middle of it; such a
// request is dropped rather than run inside the other, which would clear or
// refilter what the outer run is drawing.
class ExclusiveRun {
public:
    bool running() const { return running_; }

    // Runs action unless a run is already in progress; true when it ran.
    template <typename Action> bool run(Action&& action) {
        if (running_)
            return false;
        running_ = true;
        const auto done = qScopeGuard([this] { running_ = false; });
        action();
        return true;
    }

private:
    bool running_ = false;
};
