#include "store/RowCheckRounds.h"

#include <QCoreApplication>

#include <cmath>

namespace {

// The check's share of one core while a writer commits: each step rests
// nine times the processor time it took. At about 0.5 µs a row, 10 million
// rows take 50 s a round.
constexpr double checkCoreShare = 0.1;
// A step's rows; it takes some 30 ms of one core.
constexpr quint64 rowsPerCheckStep = 4 * SliceFingerprints::rowsPerSlice;

} // namespace

RowCheckRounds::RowCheckRounds(QObject* parent)
    : QObject(parent) {
    rest_.setSingleShot(true);
    connect(&rest_, &QTimer::timeout, this, [this] { startStep(fileName_, tableName_); });
}

RowCheckRounds::~RowCheckRounds() {
    stop();
}

void RowCheckRounds::startStep(const QString& fileName, const QString& tableName) {
    fileName_ = fileName;
    tableName_ = tableName;
    std::vector<SliceFingerprints::Slice> slices = fingerprints_.nextStep(rowsPerCheckStep);
    const quint64 generation = generation_;
    thread_ = std::thread([this, fileName, tableName, slices = std::move(slices), generation] {
        const RowCheckStep step = checkSlices(fileName, tableName, slices, cancelled_);
        const std::size_t count = slices.size();
        QMetaObject::invokeMethod(
            this, [this, step, count, generation] { finishStep(step, count, generation); },
            Qt::QueuedConnection);
    });
}

// After a step that found the rows as held the check rests, to keep to its
// share of a core, and then goes on with the round.
void RowCheckRounds::finishStep(const RowCheckStep& step, std::size_t slices, quint64 generation) {
    // After a stop the thread is another step's, which sends its own finding.
    if (generation != generation_)
        return;
    if (thread_.joinable())
        thread_.join();
    rowsChecked_ += step.rowsRead;
    cpuSeconds_ += step.cpuSeconds;
    if (step.finding == RowCheckStep::Unchanged) {
        fingerprints_.passStep(slices);
        if (!fingerprints_.roundDone()) {
            rest_.start(
                int(std::ceil(step.cpuSeconds * 1000 * (1 - checkCoreShare) / checkCoreShare)));
            return;
        }
    }
    emit stepEnded(step.finding);
}

void RowCheckRounds::stop() {
    cancelled_ = true;
    if (thread_.joinable())
        thread_.join();
    cancelled_ = false;
    rest_.stop();
    ++generation_;
}

// The rests only pace the check: here its steps follow each other at once.
void RowCheckRounds::hurry() {
    if (rest_.isActive()) {
        rest_.stop();
        startStep(fileName_, tableName_);
    }
    if (thread_.joinable())
        thread_.join();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}
