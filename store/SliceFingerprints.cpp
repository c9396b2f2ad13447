#include "store/SliceFingerprints.h"

void SliceFingerprints::append(qint64 after, qint64 last, const RowFingerprint& rows) {
    if (!slices_.empty() && slices_.back().last == after &&
        slices_.back().fingerprint.rowCount() + rows.rowCount() <= rowsPerSlice) {
        slices_.back().last = last;
        slices_.back().fingerprint.add(rows);
        return;
    }
    slices_.push_back({after, last, rows});
}

void SliceFingerprints::append(const SliceFingerprints& other) {
    for (const Slice& slice : other.slices_)
        append(slice.after, slice.last, slice.fingerprint);
}

void SliceFingerprints::extendTo(qint64 last) {
    if (slices_.empty())
        slices_.push_back({std::numeric_limits<qint64>::min(), last, {}});
    else
        slices_.back().last = last;
}

quint64 SliceFingerprints::rowCount() const {
    quint64 rows = 0;
    for (const Slice& slice : slices_)
        rows += slice.fingerprint.rowCount();
    return rows;
}

std::vector<SliceFingerprints::Slice> SliceFingerprints::nextStep(quint64 rowBudget) const {
    std::vector<Slice> step;
    quint64 rows = 0;
    for (std::ptrdiff_t i = next_; i >= 0 && (step.empty() || rows < rowBudget); --i) {
        step.push_back(slices_[std::size_t(i)]);
        rows += slices_[std::size_t(i)].fingerprint.rowCount();
    }
    return step;
}

void SliceFingerprints::passStep(std::size_t slices) {
    next_ -= std::ptrdiff_t(slices);
    if (next_ < -1)
        next_ = -1;
}

void SliceFingerprints::startRound() {
    next_ = std::ptrdiff_t(slices_.size()) - 1;
}
