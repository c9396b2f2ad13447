#pragma once

#include <QSet>
#include <QStringList>

// Problems that a repeating run meets at every tick, such as auto refresh:
// each is reported the first time only, and again only after a run without it.
class RepeatedProblems {
public:
    // The problems of this run that the last run did not have; the others
    // are forgotten.
    QStringList newOf(const QStringList& problems);

private:
    QSet<QString> known_;
};
