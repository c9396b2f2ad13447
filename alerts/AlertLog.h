#pragma once

#include "alerts/Alert.h"

#include <QList>
#include <QSet>

// The alerts raised so far, newest first, each until the dispatcher
// acknowledges it.
class AlertLog {
public:
    struct Entry {
        quint64 serial = 0; // names the entry while others come and go
        Alert alert;
        bool acknowledged = false;
    };

    // Each alert goes before the older ones; of one time, the later added first.
    void add(const QList<Alert>& alerts);
    const QList<Entry>& entries() const { return entries_; }
    // The serial of the entry added last; 0 before the first.
    quint64 lastSerial() const { return lastSerial_; }
    // False when no entry has that serial.
    bool acknowledge(quint64 serial);
    void acknowledgeAll();
    int unacknowledgedCount() const;
    // The radios with an alert not yet acknowledged: the map marks them.
    QSet<qint32> radiosToMark() const;

private:
    QList<Entry> entries_;
    quint64 lastSerial_ = 0;
};
