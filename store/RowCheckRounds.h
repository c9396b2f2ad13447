// The rounds of the check that a rowid table's rows held are still those in
// the file: beside the window, a few slices a step, resting between steps.
#pragma once

#include "store/RowCheck.h"
#include "store/SliceFingerprints.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <atomic>
#include <thread>

class RowCheckRounds : public QObject {
    Q_OBJECT
public:
    explicit RowCheckRounds(QObject* parent = nullptr);
    ~RowCheckRounds() override;

    // The fingerprints of the rows held, by slices; changing them while a
    // step runs is safe, as a step works on a copy of its slices.
    SliceFingerprints& fingerprints() { return fingerprints_; }
    // A step runs or the check rests before the next one.
    bool isBusy() const { return thread_.joinable() || rest_.isActive(); }
    // Starts the next step of the round on a thread of its own, reading the
    // table with a connection of its own.
    void startStep(const QString& fileName, const QString& tableName);
    // Cancels a running step; its finding is dropped.
    void stop();
    // Ends the rest and waits for the running step, taking its finding.
    void hurry();

    quint64 rowsChecked() const { return rowsChecked_; }
    double cpuSeconds() const { return cpuSeconds_; }

signals:
    // A round is done with every slice as held (Unchanged), or a step found
    // other rows than held (Changed), or could not read them (Failed).
    void stepEnded(RowCheckStep::Finding finding);

private:
    void finishStep(const RowCheckStep& step, std::size_t slices, quint64 generation);

    SliceFingerprints fingerprints_;
    QString fileName_;
    QString tableName_;
    QTimer rest_;
    std::thread thread_;
    std::atomic_bool cancelled_ = false;
    quint64 generation_ = 0;
    quint64 rowsChecked_ = 0;
    double cpuSeconds_ = 0;
};
