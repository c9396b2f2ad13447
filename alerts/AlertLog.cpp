#include "alerts/AlertLog.h"

#include <algorithm>

void AlertLog::add(const QList<Alert>& alerts) {
    for (const Alert& alert : alerts) {
        const auto place = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& entry) {
            return entry.alert.time <= alert.time;
        });
        entries_.insert(place, Entry{++lastSerial_, alert, false});
    }
}

bool AlertLog::acknowledge(quint64 serial) {
    for (Entry& entry : entries_) {
        if (entry.serial == serial) {
            entry.acknowledged = true;
            return true;
        }
    }
    return false;
}

void AlertLog::acknowledgeAll() {
    for (Entry& entry : entries_)
        entry.acknowledged = true;
}

int AlertLog::unacknowledgedCount() const {
    return int(std::count_if(entries_.begin(), entries_.end(),
                             [](const Entry& entry) { return !entry.acknowledged; }));
}

QSet<qint32> AlertLog::radiosToMark() const {
    QSet<qint32> radios;
    for (const Entry& entry : entries_) {
        if (!entry.acknowledged)
            radios.insert(entry.alert.radio);
    }
    return radios;
}
