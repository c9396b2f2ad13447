#include "tools/simulator/TownGrid.h"

#include <QStringList>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr double metresPerDegreeLatitude = 111320.0;

const char* const eastWestNames[TownGrid::streetsEachWay] = {
    "Quarry Road", "Tannery Street", "Orchard Lane", "Station Road", "Harbour Road",
    "Bell Street", "Mill Lane",      "Chapel Row",   "Ridge Road"};
const char* const northSouthNames[TownGrid::streetsEachWay] = {
    "Willow Way",    "Ferry Street", "Cooper Lane", "Market Street", "King's Avenue",
    "Garden Street", "Saddler Lane", "North Road",  "Linden Way"};

// The middle streets are the main roads, two more carry through traffic.
const char* roadClass(int index) {
    if (index == TownGrid::streetsEachWay / 2)
        return "primary";
    if (index == 2 || index == TownGrid::streetsEachWay - 3)
        return "secondary";
    return "residential";
}

QString escaped(const char* text) {
    return QString::fromUtf8(text).toHtmlEscaped();
}

} // namespace

TownGrid::TownGrid(double centreLatitude, double centreLongitude)
    : centreLatitude_(centreLatitude)
    , centreLongitude_(centreLongitude) {}

QPointF TownGrid::metres(const Crossing& crossing) const {
    const double middle = (streetsEachWay - 1) / 2.0;
    return {(crossing.column - middle) * blockMetres, (crossing.row - middle) * blockMetres};
}

QPointF TownGrid::latLng(const QPointF& metres) const {
    const double latitude = centreLatitude_ + metres.y() / metresPerDegreeLatitude;
    const double perDegreeLongitude =
        metresPerDegreeLatitude * std::cos(centreLatitude_ * std::numbers::pi / 180.0);
    return {latitude, centreLongitude_ + metres.x() / perDegreeLongitude};
}

TownGrid::Crossing TownGrid::nextCrossing(const Crossing& from, const Crossing& at,
                                          std::mt19937& random) const {
    std::vector<Crossing> choices;
    for (const Crossing step : {Crossing{1, 0}, Crossing{-1, 0}, Crossing{0, 1}, Crossing{0, -1}}) {
        const Crossing next{at.column + step.column, at.row + step.row};
        if (next.column >= 0 && next.column < streetsEachWay && next.row >= 0 &&
            next.row < streetsEachWay && !(next == from))
            choices.push_back(next);
    }
    if (choices.empty())
        return from;
    return choices[std::uniform_int_distribution<std::size_t>(0, choices.size() - 1)(random)];
}

TownGrid::Crossing TownGrid::randomCrossing(std::mt19937& random) const {
    std::uniform_int_distribution<int> index(0, streetsEachWay - 1);
    const int column = index(random);
    return {column, index(random)};
}

// Node ids number the crossings row by row; ways follow them.
QString TownGrid::osmXml() const {
    QStringList lines{QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"),
                      QStringLiteral("<osm version=\"0.6\" generator=\"possim\">")};
    const auto nodeId = [](int column, int row) { return 1 + row * streetsEachWay + column; };
    const auto node = [&](qint64 id, const QPointF& position, const QString& tags) {
        const QPointF at = latLng(position);
        lines << QStringLiteral("<node id=\"%1\" version=\"1\" lat=\"%2\" lon=\"%3\">%4</node>")
                     .arg(id)
                     .arg(at.x(), 0, 'f', 7)
                     .arg(at.y(), 0, 'f', 7)
                     .arg(tags);
    };
    for (int row = 0; row < streetsEachWay; ++row)
        for (int column = 0; column < streetsEachWay; ++column)
            node(nodeId(column, row), metres({column, row}), QString());
    node(1000, {0.0, blockMetres / 2},
         QStringLiteral("<tag k=\"place\" v=\"town\"/><tag k=\"name\" v=\"Tavirel\"/>"));

    QStringList ways;
    const auto way = [&](int id, const QStringList& nodes, const QString& tags) {
        QString text = QStringLiteral("<way id=\"%1\" version=\"1\">").arg(id);
        for (const QString& n : nodes)
            text += QStringLiteral("<nd ref=\"%1\"/>").arg(n);
        ways << text + tags + QStringLiteral("</way>");
    };
    const auto street = [&](const char* name, const char* kind) {
        return QStringLiteral("<tag k=\"highway\" v=\"%1\"/><tag k=\"name\" v=\"%2\"/>")
            .arg(QLatin1String(kind), escaped(name));
    };
    for (int i = 0; i < streetsEachWay; ++i) {
        QStringList eastWest, northSouth;
        for (int j = 0; j < streetsEachWay; ++j) {
            eastWest << QString::number(nodeId(j, i));
            northSouth << QString::number(nodeId(i, j));
        }
        way(100 + i, eastWest, street(eastWestNames[i], roadClass(i)));
        way(200 + i, northSouth, street(northSouthNames[i], roadClass(i)));
    }
    // A park filling the block north-east of the middle crossing.
    const int m = streetsEachWay / 2;
    const double inset = 12.0;
    const QPointF sw = metres({m, m}) + QPointF(inset, inset);
    const QPointF ne = metres({m + 1, m + 1}) - QPointF(inset, inset);
    node(1001, sw, QString());
    node(1002, {ne.x(), sw.y()}, QString());
    node(1003, ne, QString());
    node(1004, {sw.x(), ne.y()}, QString());
    way(300,
        {QStringLiteral("1001"), QStringLiteral("1002"), QStringLiteral("1003"),
         QStringLiteral("1004"), QStringLiteral("1001")},
        QStringLiteral("<tag k=\"leisure\" v=\"park\"/><tag k=\"name\" v=\"Town Park\"/>"));
    // The town's built-up land, a block beyond its outer streets.
    const QPointF first = metres({0, 0}) - QPointF(blockMetres, blockMetres);
    const QPointF last =
        metres({streetsEachWay - 1, streetsEachWay - 1}) + QPointF(blockMetres, blockMetres);
    node(1011, first, QString());
    node(1012, {last.x(), first.y()}, QString());
    node(1013, last, QString());
    node(1014, {first.x(), last.y()}, QString());
    way(301,
        {QStringLiteral("1011"), QStringLiteral("1012"), QStringLiteral("1013"),
         QStringLiteral("1014"), QStringLiteral("1011")},
        QStringLiteral("<tag k=\"landuse\" v=\"residential\"/>"));
    lines << ways << QStringLiteral("</osm>");
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}
