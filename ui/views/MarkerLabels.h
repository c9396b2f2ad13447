#pragma once

#include "ui/views/StaleMinutes.h"

#include <QDateTime>
#include <QHash>
#include <QString>

// What the labels beside the last-position markers are made of: the members'
// names by radio id, the clock their reports' ages are measured against and
// the age at which a report turns stale.
struct MarkerLabels {
    static constexpr int maxTitleLength = 40;

    QHash<qint32, QString> names;
    QDateTime now;
    int staleMinutes = StaleMinutes::byDefault;

    // "<radio> <name>", or the radio alone when no name is known; cut to
    // maxTitleLength with an ellipsis, and on one line.
    QString titleOf(const QString& radioId, qint32 radio) const;
};
