#include "alerts/Area.h"
#include "alerts/AreaIndex.h"
#include "app/Error.h"

#include <QTest>

namespace {

QList<GeoPoint> square(double south, double west, double north, double east) {
    return {{south, west}, {south, east}, {north, east}, {north, west}};
}

} // namespace

Q_DECLARE_METATYPE(Area)

class TestArea : public QObject {
    Q_OBJECT

private slots:
    void holdsPoints_data();
    void holdsPoints();
    void refusesWithAMessage_data();
    void refusesWithAMessage();
    void indexFindsOnlyAreasWhoseBoxesHoldThePoint();
};

// Each case is checked twice: by the area, and by the index over it, which
// must offer the area wherever the area holds the point.
void TestArea::holdsPoints_data() {
    QTest::addColumn<Area>("area");
    QTest::addColumn<double>("lat");
    QTest::addColumn<double>("lng");
    QTest::addColumn<bool>("inside");

    const Area unit = Area::polygon("unit", {square(0, 0, 1, 1)});
    QTest::newRow("inside") << unit << 0.5 << 0.5 << true;
    QTest::newRow("outside") << unit << 0.5 << 1.5 << false;
    QTest::newRow("on an edge") << unit << 0.0 << 0.25 << true;
    QTest::newRow("on a vertex") << unit << 1.0 << 1.0 << true;
    QTest::newRow("just past an edge") << unit << 0.5 << 1.000001 << false;

    // An L: the notch at the top right is outside.
    const Area ell = Area::polygon("ell", {{{0, 0}, {0, 2}, {1, 2}, {1, 1}, {2, 1}, {2, 0}}});
    QTest::newRow("in the notch of a concave outline") << ell << 1.5 << 1.5 << false;
    QTest::newRow("in the foot of the L") << ell << 0.5 << 1.5 << true;

    const Area ring = Area::polygon("ring", {square(0, 0, 4, 4), square(1, 1, 3, 3)});
    QTest::newRow("in a hole") << ring << 2.0 << 2.0 << false;
    QTest::newRow("on a hole's edge") << ring << 1.0 << 2.0 << true;
    QTest::newRow("between hole and outline") << ring << 0.5 << 2.0 << true;

    // Written with the jump at the meridian, as a file from elsewhere has it.
    const Area strait = Area::polygon("strait", {{{0, 179}, {0, -179}, {1, -179}, {1, 179}}});
    QTest::newRow("across the antimeridian, east side") << strait << 0.5 << 179.5 << true;
    QTest::newRow("across the antimeridian, west side") << strait << 0.5 << -179.5 << true;
    QTest::newRow("across the antimeridian, on it") << strait << 0.5 << 180.0 << true;
    QTest::newRow("across the antimeridian, on it as -180") << strait << 0.5 << -180.0 << true;
    QTest::newRow("across the antimeridian, not the long way round")
        << strait << 0.5 << 0.0 << false;
    QTest::newRow("across the antimeridian, past its west edge") << strait << 0.5 << 178.5 << false;
    // As the map's drawing tool gives it: longitudes running past 180.
    const Area drawn = Area::polygon("drawn", {{{0, 179}, {0, 181}, {1, 181}, {1, 179}}});
    QTest::newRow("drawn past 180") << drawn << 0.5 << -179.5 << true;

    // 50 km round a point 11 km from the North Pole: the far side of the pole
    // (22 km away) is inside, and so is a point 46 km off at 90 degrees east;
    // one 57 km off is not.
    const Area polar = Area::circle("polar", {89.9, 0}, 50000);
    QTest::newRow("circle near a pole, centre") << polar << 89.9 << 0.0 << true;
    QTest::newRow("circle near a pole, across the pole") << polar << 89.9 << 180.0 << true;
    QTest::newRow("circle near a pole, 46 km east") << polar << 89.6 << 90.0 << true;
    QTest::newRow("circle near a pole, 57 km east") << polar << 89.5 << 90.0 << false;
    QTest::newRow("circle near a pole, the pole") << polar << 90.0 << -45.0 << true;

    // 1 km round a point on the equator: one degree of longitude is 111 km.
    const Area round = Area::circle("round", {0, 10}, 1000);
    QTest::newRow("circle, 900 m east") << round << 0.0 << 10.0 + 0.9 / 111.3195 << true;
    QTest::newRow("circle, 1100 m east") << round << 0.0 << 10.0 + 1.1 / 111.3195 << false;
    QTest::newRow("circle, 900 m north") << round << 0.9 / 110.574 << 10.0 << true;
    QTest::newRow("circle, 1100 m north") << round << 1.1 / 110.574 << 10.0 << false;

    const Area dateline = Area::circle("dateline", {0, 179.99}, 5000);
    QTest::newRow("circle across the antimeridian") << dateline << 0.0 << -179.99 << true;
}

void TestArea::holdsPoints() {
    QFETCH(Area, area);
    QFETCH(double, lat);
    QFETCH(double, lng);
    QFETCH(bool, inside);

    QCOMPARE(area.contains({lat, lng}), inside);
    if (inside) {
        const AreaIndex index({area});
        std::vector<int> found;
        index.candidates({lat, lng}, found);
        QCOMPARE(found, std::vector<int>{0});
    }
}

void TestArea::refusesWithAMessage_data() {
    QTest::addColumn<QList<QList<GeoPoint>>>("rings");
    QTest::addColumn<QString>("message");

    QTest::newRow("self-intersecting (a bow tie)")
        << QList<QList<GeoPoint>>{{{0, 0}, {1, 1}, {1, 0}, {0, 1}}}
        << "Area \"bad <b>\" is not a simple polygon: its edges cross each other.";
    QTest::newRow("two points")
        << QList<QList<GeoPoint>>{{{0, 0}, {1, 1}, {0, 0}}}
        << "Area \"bad <b>\" is not a simple polygon: a ring has fewer than 3 points.";
    QTest::newRow("points on one line")
        << QList<QList<GeoPoint>>{{{0, 0}, {1, 1}, {2, 2}}}
        << "Area \"bad <b>\" is not a simple polygon: an edge runs back along the one before it.";
    QTest::newRow("a hole outside the outline")
        << QList<QList<GeoPoint>>{square(0, 0, 1, 1), square(2, 2, 3, 3)}
        << "Area \"bad <b>\" is not a simple polygon: a hole lies outside the outline.";
    QTest::newRow("a latitude off the globe")
        << QList<QList<GeoPoint>>{square(89, 0, 91, 1)}
        << "Area \"bad <b>\" is not a simple polygon: a point is not on the globe.";
    QTest::newRow("no outline") << QList<QList<GeoPoint>>{}
                                << "Area \"bad <b>\" is not a simple polygon: it has no outline.";
}

void TestArea::refusesWithAMessage() {
    QFETCH(QList<QList<GeoPoint>>, rings);
    QFETCH(QString, message);
    try {
        Area::polygon("bad <b>", rings);
        QFAIL("the polygon was taken");
    } catch (const Error& error) {
        QCOMPARE(error.message(), message);
    }
    QVERIFY_THROWS_EXCEPTION(Error, Area::circle("c", {0, 0}, 0));
    QVERIFY_THROWS_EXCEPTION(Error, Area::circle("c", {95, 0}, 10));
}

void TestArea::indexFindsOnlyAreasWhoseBoxesHoldThePoint() {
    std::vector<Area> areas;
    for (int k = 0; k < 100; ++k)
        areas.push_back(Area::polygon(QString::number(k), {square(0, k, 1, k + 1)}));
    const AreaIndex index(areas);
    std::vector<int> found;
    index.candidates({0.5, 41.5}, found);
    QCOMPARE(found, std::vector<int>{41});
    // On the border of two: both.
    index.candidates({0.5, 42}, found);
    std::sort(found.begin(), found.end());
    QCOMPARE(found, (std::vector<int>{41, 42}));
    index.candidates({2, 41.5}, found);
    QVERIFY(found.empty());
}

QTEST_APPLESS_MAIN(TestArea)
#include "tst_area.moc"
