#include "ui/views/RepeatedProblems.h"

#include <QTest>

// Runs in a row, each with the problems it met, and what each reports.
class TestRepeatedProblems : public QObject {
    Q_OBJECT

private slots:
    void reportsEachProblemOnceWhileItLasts_data() {
        QTest::addColumn<QList<QStringList>>("runs");
        QTest::addColumn<QList<QStringList>>("reported");
        QTest::newRow("the same problem at every tick")
            << QList<QStringList>{{"a"}, {"a"}, {"a"}} << QList<QStringList>{{"a"}, {}, {}};
        QTest::newRow("again after a run without it")
            << QList<QStringList>{{"a"}, {}, {"a"}} << QList<QStringList>{{"a"}, {}, {"a"}};
        QTest::newRow("a second problem beside the first")
            << QList<QStringList>{{"a"}, {"a", "b"}, {"b"}, {"a", "b"}}
            << QList<QStringList>{{"a"}, {"b"}, {}, {"a"}};
        QTest::newRow("twice in one run is reported once")
            << QList<QStringList>{{"a", "a"}} << QList<QStringList>{{"a"}};
    }

    void reportsEachProblemOnceWhileItLasts() {
        QFETCH(QList<QStringList>, runs);
        QFETCH(QList<QStringList>, reported);
        RepeatedProblems problems;
        for (int run = 0; run < runs.size(); ++run)
            QCOMPARE(problems.newOf(runs[run]), reported[run]);
    }
};

QTEST_GUILESS_MAIN(TestRepeatedProblems)
#include "tst_repeatedproblems.moc"
