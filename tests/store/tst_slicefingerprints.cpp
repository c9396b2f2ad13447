#include "store/SliceFingerprints.h"

#include <QTest>

#include <limits>

namespace {

// A fingerprint of `rows` rows with row ids from `first` on.
RowFingerprint rowsFrom(qint64 first, quint32 rows) {
    const std::vector<ColumnStore::ColumnInfo> columns = {
        {QStringLiteral("v"), ColumnKind::Integer}};
    RowFingerprint fingerprint;
    for (quint32 i = 0; i < rows; ++i) {
        ColumnStore::Cell cell;
        cell.integer = first + i;
        fingerprint.add({cell}, columns, first + i);
    }
    return fingerprint;
}

// Slices of the given sizes, one after the other from row id 1 on.
SliceFingerprints slicesOf(const QList<quint32>& sizes) {
    SliceFingerprints slices;
    qint64 last = 0;
    for (const quint32 size : sizes) {
        slices.append(last, last + size, rowsFrom(last + 1, size));
        last += size;
    }
    return slices;
}

// The first row id after each slice a round's steps take, in order.
QList<qint64> roundOrder(SliceFingerprints& slices, quint64 rowBudget, QList<int>* stepSizes) {
    QList<qint64> order;
    slices.startRound();
    while (!slices.roundDone()) {
        const auto step = slices.nextStep(rowBudget);
        if (step.empty())
            break;
        for (const auto& slice : step)
            order << slice.after;
        if (stepSizes)
            *stepSizes << int(step.size());
        slices.passStep(step.size());
    }
    return order;
}

} // namespace

class SliceFingerprintsTest : public QObject {
    Q_OBJECT
private slots:
    void roundTakesEverySliceOnceNewestFirst_data();
    void roundTakesEverySliceOnceNewestFirst();
    void appendsJoinTheLastSliceWhileSmall();
    void rowsAppendedDuringARoundComeFirstInTheNext();
};

void SliceFingerprintsTest::roundTakesEverySliceOnceNewestFirst_data() {
    QTest::addColumn<QList<quint32>>("sizes");
    QTest::addColumn<quint64>("budget");
    QTest::addColumn<QList<int>>("stepSizes");
    const quint32 full = SliceFingerprints::rowsPerSlice;
    QTest::newRow("one slice a step")
        << QList<quint32>{full, full, full} << quint64(full) << QList<int>{1, 1, 1};
    QTest::newRow("two slices a step")
        << QList<quint32>{full, full, full} << quint64(2 * full) << QList<int>{2, 1};
    QTest::newRow("a slice larger than the budget")
        << QList<quint32>{full, full} << quint64(10) << QList<int>{1, 1};
    QTest::newRow("no slices") << QList<quint32>{} << quint64(full) << QList<int>{};
}

// A round reads each row once, the newest first, a budget of rows a step,
// and at least a slice: a step never re-reads the table whole.
void SliceFingerprintsTest::roundTakesEverySliceOnceNewestFirst() {
    QFETCH(QList<quint32>, sizes);
    QFETCH(quint64, budget);
    QFETCH(QList<int>, stepSizes);
    SliceFingerprints slices = slicesOf(sizes);
    QCOMPARE(slices.slices().size(), std::size_t(sizes.size()));
    QList<qint64> expected;
    for (auto it = slices.slices().rbegin(); it != slices.slices().rend(); ++it)
        expected << it->after;
    QList<int> steps;
    QCOMPARE(roundOrder(slices, budget, &steps), expected);
    QCOMPARE(steps, stepSizes);
    QVERIFY(slices.roundDone());
    // Another round takes them all again.
    QCOMPARE(roundOrder(slices, budget, nullptr), expected);
}

// A writer's small commits join the last slice until it is full; the slices
// stay contiguous, and hold every row appended.
void SliceFingerprintsTest::appendsJoinTheLastSliceWhileSmall() {
    SliceFingerprints slices;
    const quint32 perCommit = 300;
    const int commits = 2 * SliceFingerprints::rowsPerSlice / perCommit + 3;
    qint64 last = 0;
    for (int i = 0; i < commits; ++i) {
        slices.append(last, last + perCommit, rowsFrom(last + 1, perCommit));
        last += perCommit;
    }
    QCOMPARE(slices.slices().size(), std::size_t(3));
    QCOMPARE(slices.rowCount(), quint64(commits) * perCommit);
    qint64 after = 0;
    for (const auto& slice : slices.slices()) {
        QCOMPARE(slice.after, after);
        QVERIFY(slice.fingerprint.rowCount() <= SliceFingerprints::rowsPerSlice);
        after = slice.last;
    }
    QCOMPARE(after, last);
    // The same rows in one slice add up to the same fingerprint.
    RowFingerprint whole;
    for (const auto& slice : slices.slices())
        whole.add(slice.fingerprint);
    QCOMPARE(whole, rowsFrom(1, quint32(last)));

    SliceFingerprints stretched = slicesOf({5});
    stretched.extendTo(100);
    QCOMPARE(stretched.slices().back().last, qint64(100));
    SliceFingerprints empty;
    empty.extendTo(100);
    QCOMPARE(empty.slices().size(), std::size_t(1));
    QCOMPARE(empty.slices().front().after, std::numeric_limits<qint64>::min());
}

// Rows appended while a round runs were just read; the round goes on over
// the slices it began with, and the next round starts with the new rows.
void SliceFingerprintsTest::rowsAppendedDuringARoundComeFirstInTheNext() {
    const quint32 full = SliceFingerprints::rowsPerSlice;
    SliceFingerprints slices = slicesOf({full, full});
    slices.startRound();
    auto step = slices.nextStep(full);
    QCOMPARE(step.front().after, qint64(full));
    slices.passStep(step.size());
    slices.append(2 * full, 2 * full + 10, rowsFrom(2 * full + 1, 10));
    step = slices.nextStep(full);
    QCOMPARE(step.size(), std::size_t(1));
    QCOMPARE(step.front().after, qint64(0));
    slices.passStep(step.size());
    QVERIFY(slices.roundDone());
    slices.startRound();
    QCOMPARE(slices.nextStep(1).front().after, qint64(2 * full));
}

QTEST_GUILESS_MAIN(SliceFingerprintsTest)
#include "tst_slicefingerprints.moc"
