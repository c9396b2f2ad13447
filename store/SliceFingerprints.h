#pragma once

#include "store/RowFingerprint.h"

#include <QtGlobal>

#include <limits>
#include <vector>

// The fingerprints of a rowid table's rows held, by slices of row ids that
// together cover every row id up to the last one read, and where a rolling
// check of them stands. A check step takes the next slices from the newest
// towards the oldest, so that one round reads every row once, and the rows
// a writer may still touch come first.
class SliceFingerprints {
public:
    struct Slice {
        qint64 after = std::numeric_limits<qint64>::min(); // row ids after this one
        qint64 last = std::numeric_limits<qint64>::min();  // up to this one
        RowFingerprint fingerprint;
    };

    // A slice's rows are read in one statement, so in one short read lock.
    static constexpr quint32 rowsPerSlice = 16384;

    // Rows after the last slice, up to `last`; they join it while it is
    // small, so that a writer's many small commits add few slices.
    void append(qint64 after, qint64 last, const RowFingerprint& rows);
    // The slices of another reading, after these.
    void append(const SliceFingerprints& other);
    // Stretches the last slice to `last`: the row ids up to it that no
    // row had when read.
    void extendTo(qint64 last);

    const std::vector<Slice>& slices() const { return slices_; }
    quint64 rowCount() const;

    // The next step of the round, about `rowBudget` rows and at least one
    // slice: the newest slices not yet checked in it. Empty once the round
    // is done. A round starts at the newest slice of its time.
    std::vector<Slice> nextStep(quint64 rowBudget) const;
    // The step's slices were found as held.
    void passStep(std::size_t slices);
    bool roundDone() const { return next_ < 0; }
    void startRound();

private:
    std::vector<Slice> slices_;
    // The index of the next slice to check; below 0 when no round runs.
    std::ptrdiff_t next_ = -1;
};
