#include "ui/views/RepeatedProblems.h"

QStringList RepeatedProblems::newOf(const QStringList& problems) {
    QStringList fresh;
    QSet<QString> now;
    for (const QString& problem : problems) {
        if (!known_.contains(problem) && !now.contains(problem))
            fresh << problem;
        now.insert(problem);
    }
    known_ = std::move(now);
    return fresh;
}
