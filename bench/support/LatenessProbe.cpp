#include "bench/support/LatenessProbe.h"

#include <algorithm>

namespace bench {

LatenessProbe::LatenessProbe() {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(int(intervalMs));
    connect(&timer_, &QTimer::timeout, this, [this] {
        latenessMs_.push_back(std::max(0.0, armed_.nsecsElapsed() / 1e6 - intervalMs));
        arm();
    });
}

void LatenessProbe::start() {
    latenessMs_.clear();
    arm();
}

double LatenessProbe::totalOverMs(double threshold) const {
    double total = 0;
    for (const double ms : latenessMs_)
        total += ms > threshold ? ms : 0;
    return total;
}

double LatenessProbe::percentileMs(double fraction) const {
    if (latenessMs_.empty())
        return 0;
    std::vector<double> sorted = latenessMs_;
    std::sort(sorted.begin(), sorted.end());
    return sorted[std::min(sorted.size() - 1, std::size_t(fraction * double(sorted.size())))];
}

double LatenessProbe::worstMs() const {
    return latenessMs_.empty() ? 0 : *std::max_element(latenessMs_.begin(), latenessMs_.end());
}

void LatenessProbe::arm() {
    armed_.start();
    timer_.start();
}

} // namespace bench
