#include "track/TrailShape.h"

#include <QTest>

#include <vector>

using Points = std::vector<QPointF>;
using Kept = std::vector<qsizetype>;
using Bands = std::vector<int>;

// Which points of a trail are drawn: its ends, its turns and where its band
// of age changes.
class TrailShapeTest : public QObject {
    Q_OBJECT
private slots:
    void pointsKept_data();
    void pointsKept();
};

namespace {

// n points a step apart from the start, in the direction (dLat, dLng).
Points leg(QPointF start, double dLat, double dLng, int n) {
    Points points;
    for (int i = 1; i <= n; ++i)
        points.emplace_back(start.x() + i * dLat, start.y() + i * dLng);
    return points;
}

Points joined(std::initializer_list<Points> legs) {
    Points points{{41.0, 29.0}};
    for (const Points& part : legs)
        points.insert(points.end(), part.begin(), part.end());
    return points;
}

const QPointF origin{41.0, 29.0};

} // namespace

void TrailShapeTest::pointsKept_data() {
    QTest::addColumn<Points>("points");
    QTest::addColumn<Bands>("bands"); // empty: all in one band
    QTest::addColumn<qsizetype>("maxPoints");
    QTest::addColumn<Kept>("expected");

    QTest::newRow("two points: both")
        << joined({leg(origin, 1e-4, 0, 1)}) << Bands{} << qsizetype(120) << Kept{0, 1};
    QTest::newRow("a few points down a street: its ends")
        << joined({leg(origin, 1e-4, 0, 4)}) << Bands{} << qsizetype(120) << Kept{0, 4};
    QTest::newRow("a long straight street: its ends")
        << joined({leg(origin, 0, 1e-4, 300)}) << Bands{} << qsizetype(120) << Kept{0, 300};
    QTest::newRow("round a corner: the corner too")
        << joined({leg(origin, 0, 1e-4, 173), leg({41.0, 29.0173}, 1e-4, 0, 200)}) << Bands{}
        << qsizetype(120) << Kept{0, 173, 373};
    QTest::newRow("round a block and back along it")
        << joined({leg(origin, 0, 1e-4, 100), leg({41.0, 29.01}, 1e-4, 0, 100),
                   leg({41.01, 29.01}, 0, -1e-4, 100)})
        << Bands{} << qsizetype(120) << Kept{0, 100, 200, 300};
    QTest::newRow("a straight street through bands: where each begins")
        << joined({leg(origin, 0, 1e-4, 9)}) << Bands{2, 2, 2, 1, 1, 1, 0, 0, 0, 0}
        << qsizetype(120) << Kept{0, 3, 6, 9};
    QTest::newRow("standing still: first and last")
        << Points(200, origin) << Bands{} << qsizetype(120) << Kept{0, 199};
    QTest::newRow("more corners than room: no more than the room, bands aside")
        << joined({leg(origin, 0, 1e-4, 3), leg({41.0, 29.0003}, 1e-4, 0, 3),
                   leg({41.0003, 29.0003}, 0, 1e-4, 3), leg({41.0003, 29.0006}, -1e-4, 0, 3)})
        << Bands{} << qsizetype(4) << Kept{0, 6, 12};
}

void TrailShapeTest::pointsKept() {
    QFETCH(Points, points);
    QFETCH(Bands, bands);
    QFETCH(qsizetype, maxPoints);
    QFETCH(Kept, expected);
    if (bands.empty())
        bands.assign(points.size(), 0);
    QCOMPARE(trailPointsToKeep(points, bands, maxPoints), expected);
}

QTEST_GUILESS_MAIN(TrailShapeTest)
#include "tst_trailshape.moc"
