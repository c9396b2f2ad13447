#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <vector>

namespace bench {

// How late a 10 ms timer fires on the user-interface thread: re-armed at each
// firing, so every sample is one wait measured from its own start.
class LatenessProbe : public QObject {
public:
    static constexpr double intervalMs = 10;

    LatenessProbe();

    void start();
    void stop() { timer_.stop(); }

    std::size_t samples() const { return latenessMs_.size(); }
    // The lateness summed over the samples later than the threshold.
    double totalOverMs(double threshold) const;
    double percentileMs(double fraction) const;
    double worstMs() const;

private:
    void arm();

    QTimer timer_;
    QElapsedTimer armed_;
    std::vector<double> latenessMs_;
};

} // namespace bench
