// The alerts on appended reports, beside their references in the same run:
//   A1  300 appended reports against 1,000 areas of 50 vertices each (a town
//       of 20 by 20 km): which areas hold each report through the R-tree vs
//       a plain loop over every area; and the whole refresh of the evaluator
//       (the reports read from the store, placed, alerts raised) vs 2 ms.
//       Each radio moves some 100 m a report, as the simulator's radios do.
//
//   bench_alerts        needs no database

#include "alerts/AlertEvaluator.h"
#include "alerts/AreaIndex.h"
#include "bench/support/BenchSupport.h"
#include "store/DateTimeValue.h"

#include <QCoreApplication>
#include <QRandomGenerator>

#include <cmath>
#include <numbers>

namespace {

constexpr int kAreas = 1000;
constexpr int kVertices = 50;
constexpr int kReports = 300;
constexpr int kRuns = 101;
const GeoPoint kTownCorner{40.9, 28.85};
constexpr double kTownDegrees = 0.18; // about 20 km

// A regular polygon of kVertices round the centre, radius in degrees.
Area roundPolygon(int number, GeoPoint centre, double radius) {
    QList<GeoPoint> ring;
    for (int k = 0; k < kVertices; ++k) {
        const double angle = 2 * std::numbers::pi * k / kVertices;
        ring.append({centre.lat + radius * std::sin(angle),
                     centre.lng + radius * std::cos(angle) / std::cos(centre.lat * 0.01745)});
    }
    return Area::polygon(QString::number(number), {ring});
}

GeoPoint somewhereInTown(QRandomGenerator& random) {
    return {kTownCorner.lat + random.bounded(kTownDegrees),
            kTownCorner.lng + random.bounded(kTownDegrees)};
}

QByteArray stored(double degrees) {
    const int whole = int(degrees);
    return QByteArray::number(whole) + '.' +
           QByteArray::number(qRound((degrees - whole) * 600000)).rightJustified(6, '0');
}

// map_coor's columns with one report of each radio at `time`.
ColumnStore reportsAt(const std::vector<GeoPoint>& places, const QDateTime& time) {
    ColumnStore rows({{"id", ColumnKind::Integer},
                      {"time", ColumnKind::DateTime},
                      {"radio_short_id", ColumnKind::Integer},
                      {"ns", ColumnKind::Text},
                      {"lat", ColumnKind::Text},
                      {"ew", ColumnKind::Text},
                      {"long", ColumnKind::Text}});
    for (int k = 0; k < int(places.size()); ++k) {
        const QByteArray lat = stored(places[k].lat);
        const QByteArray lng = stored(places[k].lng);
        std::vector<ColumnStore::Cell> cells(7);
        cells[0].integer = k + 1;
        cells[1].number = toDateTimeValue(time);
        cells[2].integer = bench::firstRadio + k;
        cells[3].text = "N";
        cells[4].text = lat;
        cells[5].text = "E";
        cells[6].text = lng;
        rows.appendRow(cells);
    }
    return rows;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QRandomGenerator random(2026);

    std::vector<Area> areas;
    for (int k = 0; k < kAreas; ++k)
        areas.push_back(roundPolygon(k, somewhereInTown(random), 0.002 + random.bounded(0.006)));
    // Each radio drives on from its last place, some 100 m a report.
    std::vector<std::vector<GeoPoint>> rounds(1);
    for (int k = 0; k < kReports; ++k)
        rounds[0].push_back(somewhereInTown(random));
    for (int run = 1; run < kRuns + 1; ++run) {
        std::vector<GeoPoint> places = rounds.back();
        for (GeoPoint& place : places) {
            place.lat += random.bounded(0.002) - 0.001;
            place.lng += random.bounded(0.002) - 0.001;
        }
        rounds.push_back(places);
    }

    const AreaIndex index(areas);
    std::vector<int> found;
    size_t held = 0;
    int round = 0;
    const double indexed = bench::medianSeconds(kRuns, [&] {
        for (const GeoPoint& place : rounds[round % rounds.size()]) {
            index.candidates(place, found);
            for (const int place_ : found)
                held += areas[place_].contains(place);
        }
        ++round;
    });
    round = 0;
    const double looped = bench::medianSeconds(kRuns, [&] {
        for (const GeoPoint& place : rounds[round % rounds.size()]) {
            for (const Area& area : areas)
                held += area.contains(place);
        }
        ++round;
    });
    bench::printRatio("A1 areas of 300 reports, R-tree", indexed, looped, "plain loop");
    std::printf("   speed-up %.0fx; %zu report-in-area hits counted\n", looped / indexed, held);

    AlertEvaluator evaluator(10);
    evaluator.setAreas(areas);
    const QDateTime start = QDateTime::currentDateTime();
    const ColumnStore first = reportsAt(rounds[0], start);
    RadioTimeIndex firstIndex;
    firstIndex.extend(first);
    evaluator.start(first, firstIndex, start);
    ColumnStore appended;
    qsizetype alerts = 0;
    round = 1;
    const double refresh = bench::medianSeconds(
        kRuns, [&] { alerts += evaluator.evaluate(appended, 0, appended.rowCount()).size(); },
        [&] {
            appended = reportsAt(rounds[round], start.addSecs(round));
            ++round;
        });
    bench::printRatio("A1 refresh, 300 appended reports", refresh, 0.002, "target");
    std::printf("   %lld alerts over %d refreshes\n", static_cast<long long>(alerts), kRuns);
    return 0;
}
