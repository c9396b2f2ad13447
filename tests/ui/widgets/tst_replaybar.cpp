#include "ui/widgets/ReplayBar.h"

#include <QSignalSpy>
#include <QSlider>
#include <QTest>

// The replay bar's time under the keys, play and the range, without a map.
class ReplayBarTest : public QObject {
    Q_OBJECT
private slots:
    void keys_data();
    void keys();
    void advance_data();
    void advance();
    void rangeKeepsOrResetsTheTime();
    void escapeGoesBackToLive();
};

namespace {

const QDateTime start(QDate(2026, 3, 10), QTime(10, 0), Qt::UTC);

} // namespace

void ReplayBarTest::keys_data() {
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<int>("seconds"); // from the start of the range, at 10:30
    QTest::addColumn<int>("speed");
    QTest::addColumn<bool>("playing");
    QTest::newRow("right steps a minute") << QList{int(Qt::Key_Right)} << 1860 << 1 << false;
    QTest::newRow("left twice") << QList{int(Qt::Key_Left), int(Qt::Key_Left)} << 1680 << 1
                                << false;
    QTest::newRow("space plays, again pauses")
        << QList{int(Qt::Key_Space), int(Qt::Key_Space)} << 1800 << 1 << false;
    QTest::newRow("space plays") << QList{int(Qt::Key_Space)} << 1800 << 1 << true;
    QTest::newRow("plus twice: 60x")
        << QList{int(Qt::Key_Plus), int(Qt::Key_Plus)} << 1800 << 60 << false;
    QTest::newRow("plus stops at 600x") << QList<int>(6, Qt::Key_Plus) << 1800 << 600 << false;
    QTest::newRow("minus stops at 1x")
        << QList{int(Qt::Key_Plus), int(Qt::Key_Minus), int(Qt::Key_Minus)} << 1800 << 1 << false;
}

void ReplayBarTest::keys() {
    QFETCH(QList<int>, keys);
    QFETCH(int, seconds);
    QFETCH(int, speed);
    QFETCH(bool, playing);

    ReplayBar bar;
    bar.setRange(start, start.addSecs(7200));
    bar.setTime(start.addSecs(1800));
    bar.show();
    QSlider* slider = bar.findChild<QSlider*>(QStringLiteral("ReplaySlider"));
    slider->setFocus();
    for (const int key : keys)
        QTest::keyClick(slider, Qt::Key(key));
    QCOMPARE(bar.rangeStart().secsTo(bar.time()), seconds);
    QCOMPARE(slider->value(), seconds);
    QCOMPARE(bar.speed(), speed);
    QCOMPARE(bar.isPlaying(), playing);
}

void ReplayBarTest::advance_data() {
    QTest::addColumn<int>("speed");
    QTest::addColumn<bool>("skip");
    QTest::addColumn<int>("nextReport"); // seconds after the start; -1 for none
    QTest::addColumn<int>("elapsedMs");
    QTest::addColumn<int>("seconds"); // from the start, which is at 10:00
    QTest::addColumn<bool>("playing");
    QTest::newRow("real time") << 1 << false << -1 << 1000 << 1 << true;
    QTest::newRow("60x") << 60 << false << -1 << 500 << 30 << true;
    QTest::newRow("600x to the end stops play") << 600 << false << -1 << 20000 << 7200 << false;
    QTest::newRow("skip: a report within the step") << 60 << true << 10 << 1000 << 60 << true;
    QTest::newRow("skip: straight to the next report")
        << 60 << true << 3000 << 1000 << 3000 << true;
    QTest::newRow("skip: no report left, the end") << 60 << true << -1 << 1000 << 7200 << false;
}

void ReplayBarTest::advance() {
    QFETCH(int, speed);
    QFETCH(bool, skip);
    QFETCH(int, nextReport);
    QFETCH(int, elapsedMs);
    QFETCH(int, seconds);
    QFETCH(bool, playing);

    ReplayBar bar;
    bar.setRange(start, start.addSecs(7200));
    bar.setSpeed(speed);
    bar.setSkipQuietStretches(skip);
    bar.setNextReport([&](const QDateTime& after) -> std::optional<QDateTime> {
        if (nextReport < 0 || start.addSecs(nextReport) <= after)
            return std::nullopt;
        return start.addSecs(nextReport);
    });
    bar.setPlaying(true);
    QSignalSpy moved(&bar, &ReplayBar::timeChanged);
    bar.advance(elapsedMs);
    QCOMPARE(bar.rangeStart().secsTo(bar.time()), seconds);
    QCOMPARE(moved.count(), 1);
    QCOMPARE(bar.isPlaying(), playing);
}

void ReplayBarTest::rangeKeepsOrResetsTheTime() {
    ReplayBar bar;
    bar.setRange(start, start.addSecs(7200));
    bar.setTime(start.addSecs(3600));
    bar.setRange(start.addSecs(1800), start.addSecs(9000));
    QCOMPARE(bar.time(), start.addSecs(3600));
    bar.setRange(start.addSecs(-86400), start.addSecs(-3600));
    QCOMPARE(bar.time(), start.addSecs(-86400));
    bar.setTime(start);
    QCOMPARE(bar.time(), start.addSecs(-3600));
}

void ReplayBarTest::escapeGoesBackToLive() {
    QWidget window;
    auto* bar = new ReplayBar(&window);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QSignalSpy back(bar, &ReplayBar::backToLive);
    QTest::keyClick(&window, Qt::Key_Escape);
    QCOMPARE(back.count(), 1);
    bar->hide();
    QTest::keyClick(&window, Qt::Key_Escape);
    QCOMPARE(back.count(), 1);
}

QTEST_MAIN(ReplayBarTest)
#include "tst_replaybar.moc"
