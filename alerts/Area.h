#pragma once

#include <QList>
#include <QString>

#include <memory>
#include <vector>

struct GeoPoint {
    double lat = 0;
    double lng = 0;
    bool operator==(const GeoPoint&) const = default;
};

// A box in degrees that never runs across the 180th meridian: west <= east.
struct GeoBox {
    double south = 0;
    double west = 0;
    double north = 0;
    double east = 0;
};

// When an area raises an alert.
enum class AreaRule { Enter, Leave, Both };

// The radios an area watches: every radio, the members of one project, or
// the radios chosen.
struct AreaRadios {
    enum class Kind { All, Project, Members };
    Kind kind = Kind::All;
    qint32 project = 0;
    QList<qint32> members;
    bool operator==(const AreaRadios&) const = default;
};

// A named area on the map: a polygon (an outline and its holes, its edges
// straight in degrees as the map draws them) or a circle (a geodesic radius
// round a centre). A point on the border is inside.
class Area {
public:
    enum class Kind { Polygon, Circle };

    // Rings: the outline, then its holes; a ring's last point may repeat its
    // first. Longitudes may leave -180..180 or jump across the 180th
    // meridian: each step between neighbours is taken the short way round.
    // Throws Error naming the area when the rings do not make one simple
    // polygon (too few points, edges that cross, a hole outside the outline).
    static Area polygon(const QString& name, const QList<QList<GeoPoint>>& rings);
    // Throws Error when the radius is not a positive number of metres or the
    // centre is not on the globe.
    static Area circle(const QString& name, GeoPoint centre, double radiusMetres);

    Kind kind() const { return kind_; }
    const QString& name() const { return name_; }
    void setName(const QString& name) { name_ = name; }
    AreaRule rule() const { return rule_; }
    void setRule(AreaRule rule) { rule_ = rule; }
    const AreaRadios& radios() const { return radios_; }
    void setRadios(const AreaRadios& radios) { radios_ = radios; }
    bool isShown() const { return shown_; }
    void setShown(bool shown) { shown_ = shown; }

    // Polygon: the rings as given, without a closing repeat.
    const QList<QList<GeoPoint>>& rings() const { return rings_; }
    // Circle.
    GeoPoint centre() const { return centre_; }
    double radiusMetres() const { return radius_; }

    bool contains(GeoPoint point) const;
    // Boxes that hold the area: two when it runs across the 180th meridian.
    const std::vector<GeoBox>& boxes() const { return boxes_; }

private:
    struct Shape;

    Area() = default;

    Kind kind_ = Kind::Polygon;
    QString name_;
    AreaRule rule_ = AreaRule::Both;
    AreaRadios radios_;
    bool shown_ = true;
    QList<QList<GeoPoint>> rings_;
    // The polygon with continuous longitudes, the outline's first point
    // within -180..180: its extent may pass +-180. Shared by copies.
    std::shared_ptr<const Shape> shape_;
    GeoPoint centre_;
    double radius_ = 0;
    std::vector<GeoBox> boxes_;
};
