// possim: writes simulated radio position reports into the position database,
// as the radio software would, for demos, benchmarks and concurrency tests.

#include "tools/simulator/PgReportWriter.h"
#include "tools/simulator/PositionWriter.h"
#include "tools/simulator/RadioTrack.h"

#include <QFile>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

namespace {

std::atomic<bool> stopRequested = false;

extern "C" void requestStop(int) {
    stopRequested = true;
}

struct Station {
    const char* name;
    double latitude;
    double longitude;
};

// Receiving stations spread over the city, at offsets from the track centre.
constexpr Station stations[] = {
    {"Galata Relay", 0.010, -0.025}, {"Kadikoy Base", -0.030, 0.030},
    {"Levent Tower", 0.070, 0.010},  {"Bakirkoy Mast", -0.020, -0.130},
    {"Uskudar Hill", 0.020, 0.045},  {"Sariyer North", 0.140, 0.060},
};

const char* nearestStation(double latitude, double longitude, double centreLatitude,
                           double centreLongitude) {
    const Station* best = &stations[0];
    double bestDistance = 1e300;
    for (const Station& station : stations) {
        const double dLat = latitude - (centreLatitude + station.latitude);
        const double dLng = longitude - (centreLongitude + station.longitude);
        const double distance = dLat * dLat + dLng * dLng;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = &station;
        }
    }
    return best->name;
}

struct Options {
    QString db;
    QString pg;
    int pgConnections;
    int radios;
    qint64 reports;
    double spanHours;
    bool follow;
    int intervalMs;
    int batch;
    int busyTimeoutMs;
    bool wal;
    bool fresh;
    double centreLatitude;
    double centreLongitude;
    unsigned seed;
    QString townFile;
};

constexpr int firstRadioId = 101;
// Reports per transaction when a PostgreSQL server is filled.
constexpr qint64 pgFillBatch = 10000;

int parseOptions(const QCoreApplication& app, Options& options) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes simulated radio position reports into the position database."));
    parser.addHelpOption();
    const QCommandLineOption db(QStringLiteral("db"), QStringLiteral("Database file."),
                                QStringLiteral("file"), QStringLiteral("tavirelmonkas.db"));
    const QCommandLineOption pg(
        QStringLiteral("pg"),
        QStringLiteral("Write to this PostgreSQL server (a libpq connection string or URI) "
                       "instead of the database file; the tables are made as "
                       "tools/pg-schema.sql makes them."),
        QStringLiteral("conninfo"));
    const QCommandLineOption pgConnections(
        QStringLiteral("pg-connections"),
        QStringLiteral("Write batches through this many connections, committing the newest "
                       "first, so that reports become visible out of id order."),
        QStringLiteral("n"), QStringLiteral("1"));
    const QCommandLineOption radios(QStringLiteral("radios"),
                                    QStringLiteral("Number of reporting radios."),
                                    QStringLiteral("n"), QStringLiteral("20"));
    const QCommandLineOption reports(QStringLiteral("reports"),
                                     QStringLiteral("Reports to write at once."),
                                     QStringLiteral("n"), QStringLiteral("5000"));
    const QCommandLineOption span(QStringLiteral("span-hours"),
                                  QStringLiteral("The reports cover this many hours up to now."),
                                  QStringLiteral("h"), QStringLiteral("24"));
    const QCommandLineOption follow(QStringLiteral("follow"),
                                    QStringLiteral("Then append a report per radio every "
                                                   "interval until interrupted."));
    const QCommandLineOption interval(QStringLiteral("interval-ms"),
                                      QStringLiteral("Interval of the follow mode."),
                                      QStringLiteral("ms"), QStringLiteral("1000"));
    const QCommandLineOption batch(
        QStringLiteral("batch"),
        QStringLiteral("Reports per commit in follow mode, radios taking turns; 0 for one "
                       "per radio."),
        QStringLiteral("n"), QStringLiteral("0"));
    const QCommandLineOption busyTimeout(
        QStringLiteral("busy-timeout-ms"),
        QStringLiteral("How long a commit waits for readers before it counts as a busy failure."),
        QStringLiteral("ms"), QStringLiteral("1000"));
    const QCommandLineOption wal(QStringLiteral("wal"),
                                 QStringLiteral("Write-ahead log instead of a rollback journal."));
    const QCommandLineOption fresh(QStringLiteral("fresh"),
                                   QStringLiteral("Drop the four tables first; otherwise "
                                                  "reports are appended."));
    const QCommandLineOption centre(QStringLiteral("centre"),
                                    QStringLiteral("Centre of the tracks in decimal degrees."),
                                    QStringLiteral("lat,lng"), QStringLiteral("41.0082,28.9784"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Random seed."),
                                  QStringLiteral("n"), QStringLiteral("7"));
    const QCommandLineOption town(
        QStringLiteral("town"),
        QStringLiteral("Write a town of named streets around the centre to this OpenStreetMap "
                       "XML file and drive the radios along its streets."),
        QStringLiteral("file.osm"));
    parser.addOptions({db, pg, pgConnections, radios, reports, span, follow, interval, batch,
                       busyTimeout, wal, fresh, centre, seed, town});
    parser.process(app);

    bool ok = true;
    const auto number = [&](const QCommandLineOption& option, qint64 minimum) {
        bool valid = false;
        const qint64 value = parser.value(option).toLongLong(&valid);
        if (!valid || value < minimum) {
            std::fprintf(stderr, "possim: --%s needs a whole number of at least %lld\n",
                         qPrintable(option.names().first()), minimum);
            ok = false;
        }
        return value;
    };
    options.db = parser.value(db);
    options.pg = parser.value(pg);
    options.pgConnections = int(number(pgConnections, 1));
    options.radios = int(number(radios, 1));
    options.reports = number(reports, 0);
    options.spanHours = double(number(span, 0));
    options.follow = parser.isSet(follow);
    options.intervalMs = int(number(interval, 1));
    options.batch = int(number(batch, 0));
    options.busyTimeoutMs = int(number(busyTimeout, 0));
    options.wal = parser.isSet(wal);
    options.fresh = parser.isSet(fresh);
    options.seed = unsigned(number(seed, 0));
    options.townFile = parser.value(town);
    const QStringList centreParts = parser.value(centre).split(u',');
    bool latOk = false, lngOk = false;
    if (centreParts.size() == 2) {
        options.centreLatitude = centreParts[0].toDouble(&latOk);
        options.centreLongitude = centreParts[1].toDouble(&lngOk);
    }
    if (!latOk || !lngOk || std::fabs(options.centreLatitude) > 80 ||
        std::fabs(options.centreLongitude) > 179) {
        std::fprintf(stderr, "possim: --centre needs \"lat,lng\" in decimal degrees\n");
        ok = false;
    }
    return ok ? 0 : 2;
}

void writeReport(ReportWriter& writer, const Options& options, RadioTrack& track, int radioId,
                 const QDateTime& time) {
    writer.insertReport(
        QString::fromLatin1(nearestStation(track.latitude(), track.longitude(),
                                           options.centreLatitude, options.centreLongitude)),
        time, radioId, track.stored());
}

// Appends a report per radio (or the batch, radios taking turns) every
// interval until SIGINT or SIGTERM; a commit that meets a reader's lock past
// the busy timeout, or a server gone away (tried again at the next one), is
// counted and skipped.
void followReports(ReportWriter& writer, const Options& options, std::vector<RadioTrack>& tracks,
                   std::mt19937& random) {
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    qint64 appended = 0;
    qint64 busyFailures = 0;
    qint64 lostToServer = 0;
    const int perCommit = options.batch > 0 ? options.batch : int(tracks.size());
    const double seconds = options.intervalMs / 1000.0 * double(tracks.size()) / perCommit;
    std::size_t next = 0;
    while (!stopRequested) {
        std::this_thread::sleep_for(std::chrono::milliseconds(options.intervalMs));
        const QDateTime now = QDateTime::currentDateTime();
        const std::size_t first = next;
        try {
            writer.begin();
            for (int i = 0; i < perCommit; ++i) {
                const std::size_t r = (first + std::size_t(i)) % tracks.size();
                tracks[r].advance(seconds, random);
                writeReport(writer, options, tracks[r], firstRadioId + int(r), now);
            }
            writer.commit();
            appended += perCommit;
            next = (first + std::size_t(perCommit)) % tracks.size();
        } catch (const WriteError& error) {
            writer.rollback();
            if (!error.busy && !error.lost)
                throw;
            ++(error.busy ? busyFailures : lostToServer);
        }
    }
    std::printf("follow: %lld reports appended, %lld busy failures, %lld lost with the server\n",
                appended, busyFailures, lostToServer);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("possim"));
    Options options;
    if (const int status = parseOptions(app, options))
        return status;

    try {
        QElapsedTimer timer;
        timer.start();
        std::unique_ptr<ReportWriter> writerOwner;
        if (options.pg.isEmpty())
            writerOwner =
                std::make_unique<PositionWriter>(options.db, options.wal, options.busyTimeoutMs);
        else
            writerOwner = std::make_unique<PgReportWriter>(options.pg, options.pgConnections);
        ReportWriter& writer = *writerOwner;
        writer.createTables(options.fresh);
        if (!writer.hasDirectory())
            writer.writeDirectory(options.radios, firstRadioId);

        std::mt19937 random(options.seed);
        const TownGrid town(options.centreLatitude, options.centreLongitude);
        if (!options.townFile.isEmpty()) {
            QFile file(options.townFile);
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
                file.write(town.osmXml().toUtf8()) < 0 || !file.flush()) {
                std::fprintf(stderr, "possim: cannot write %s\n", qPrintable(options.townFile));
                return 1;
            }
        }
        std::vector<RadioTrack> tracks;
        for (int r = 0; r < options.radios; ++r) {
            if (options.townFile.isEmpty())
                tracks.emplace_back(options.centreLatitude, options.centreLongitude, random);
            else
                tracks.emplace_back(town, random);
        }

        // Reports in time order, radios taking turns, the last one stamped now;
        // one transaction for a file, batches for a server.
        const QDateTime end = QDateTime::currentDateTime();
        const qint64 spanMs = qint64(options.spanHours * 3600.0 * 1000.0);
        const double stepSeconds =
            options.reports > 0 ? spanMs / 1000.0 / double(options.reports) * options.radios : 0;
        const qint64 fillBatch = options.pg.isEmpty() ? options.reports : pgFillBatch;
        writer.begin();
        for (qint64 i = 0; i < options.reports; ++i) {
            if (i > 0 && i % fillBatch == 0) {
                writer.commit();
                writer.begin();
            }
            const qint64 beforeEndMs =
                options.reports > 1 ? spanMs - spanMs * i / (options.reports - 1) : 0;
            const int r = int(i % options.radios);
            tracks[r].advance(stepSeconds, random);
            writeReport(writer, options, tracks[r], firstRadioId + r, end.addMSecs(-beforeEndMs));
        }
        writer.commit();

        std::printf("%s: %lld projects, %lld personnel, %lld project members, %lld reports "
                    "(%lld written) in %.2f s\n",
                    qPrintable(options.pg.isEmpty() ? options.db : QStringLiteral("PostgreSQL")),
                    writer.count("projects"), writer.count("personel_team"),
                    writer.count("project_members"), writer.count("map_coor"), options.reports,
                    timer.elapsed() / 1000.0);
        std::fflush(stdout);

        if (options.follow)
            followReports(writer, options, tracks, random);
    } catch (const WriteError& error) {
        std::fprintf(stderr, "possim: %s\n", error.what());
        return 1;
    }
    return 0;
}
