#pragma once

#include "app/Error.h"

#include <QString>

// A table that never ends (a view over an endless recursive query) must not
// hang the program or eat its memory: a read stops with an error past either
// bound, keeping the rows read before.
struct ReadBounds {
    quint64 maxRows = 50'000'000; // about 2.5 GB of reports
    // SQLite virtual machine steps between two rows, a few seconds' work.
    quint64 maxStepsWithoutRow = 1'000'000'000;

    Error tooManyRows(const QString& table) const {
        return Error(
            QStringLiteral("Reading %1 stopped: it has more than %2 rows").arg(table).arg(maxRows));
    }
    Error tooManySteps(const QString& table) const {
        return Error(QStringLiteral("Reading %1 stopped: more than %2 steps without a row")
                         .arg(table)
                         .arg(maxStepsWithoutRow));
    }
};
