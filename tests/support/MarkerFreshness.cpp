#include "MarkerFreshness.h"

#include "store/CoordinateText.h"
#include "ui/coorposunit.h"
#include "ui/views/SelectedRadios.h"

#include "map/browser/TWebBrowser.h"

#include <QWebEnginePage>
#include <sqlite3.h>

#include <algorithm>

// The checker's own read-only connection to the database.
class MarkerFreshness::Reader {
public:
    explicit Reader(const QString& path) {
        if (sqlite3_open_v2(path.toUtf8().constData(), &db_, SQLITE_OPEN_READONLY, nullptr) !=
            SQLITE_OK)
            qFatal("Cannot open %s: %s", qPrintable(path), sqlite3_errmsg(db_));
        sqlite3_busy_timeout(db_, 1000);
    }
    ~Reader() {
        sqlite3_finalize(newRows_);
        sqlite3_close(db_);
    }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    qint64 maxRowId() {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db_, "SELECT max(rowid) FROM map_coor", -1, &statement, nullptr);
        if (sqlite3_step(statement) != SQLITE_ROW)
            qFatal("Reading the last row id failed: %s", sqlite3_errmsg(db_));
        const qint64 id = sqlite3_column_int64(statement, 0);
        sqlite3_finalize(statement);
        return id;
    }

    struct Report {
        qint64 id;
        qint32 radio;
        QString pair;
    };

    // The reports after row `after` up to row `last`, in row order.
    std::vector<Report> reports(qint64 after, qint64 last) {
        if (!newRows_ &&
            sqlite3_prepare_v2(db_,
                               "SELECT rowid, radio_short_id, lat, ns, long, ew FROM map_coor"
                               " WHERE rowid > ? AND rowid <= ? ORDER BY rowid",
                               -1, &newRows_, nullptr) != SQLITE_OK)
            qFatal("Preparing the report read failed: %s", sqlite3_errmsg(db_));
        sqlite3_bind_int64(newRows_, 1, after);
        sqlite3_bind_int64(newRows_, 2, last);
        const auto text = [this](int column) {
            return QString::fromUtf8(
                reinterpret_cast<const char*>(sqlite3_column_text(newRows_, column)));
        };
        std::vector<Report> rows;
        int result;
        while ((result = sqlite3_step(newRows_)) == SQLITE_ROW) {
            const QString ns = text(3), ew = text(5);
            rows.push_back(
                {sqlite3_column_int64(newRows_, 0), sqlite3_column_int(newRows_, 1),
                 coordinatePairText(text(2), ns.isEmpty() ? QChar() : ns[0], text(4),
                                    ew.isEmpty() ? QChar() : ew[0], QuotientRule::Truncating)});
        }
        sqlite3_reset(newRows_);
        if (result != SQLITE_DONE)
            qFatal("Reading reports failed: %s", sqlite3_errmsg(db_));
        return rows;
    }

    // The row of `radio`'s report at `pair` among its newest 100, and how many
    // of its reports are newer; {0, -1} when none of those is at `pair`.
    std::pair<qint64, int> rowAt(qint32 radio, const QString& pair) {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db_,
                           "SELECT rowid, lat, ns, long, ew FROM map_coor WHERE radio_short_id = ?"
                           " ORDER BY rowid DESC LIMIT 100",
                           -1, &statement, nullptr);
        sqlite3_bind_int(statement, 1, radio);
        std::pair<qint64, int> found = {0, -1};
        for (int newer = 0; sqlite3_step(statement) == SQLITE_ROW; ++newer) {
            const auto text = [statement](int column) {
                return QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(statement, column)));
            };
            const QString ns = text(2), ew = text(4);
            if (coordinatePairText(text(1), ns.isEmpty() ? QChar() : ns[0], text(3),
                                   ew.isEmpty() ? QChar() : ew[0],
                                   QuotientRule::Truncating) == pair) {
                found = {sqlite3_column_int64(statement, 0), newer};
                break;
            }
        }
        sqlite3_finalize(statement);
        return found;
    }

private:
    sqlite3* db_ = nullptr;
    sqlite3_stmt* newRows_ = nullptr;
};

namespace {

bool samePlace(const QString& shown, const QString& pair) {
    const QStringList a = shown.split(u','), b = pair.split(u',');
    return a.size() == 2 && b.size() == 2 && qAbs(a[0].toDouble() - b[0].toDouble()) < 1e-9 &&
           qAbs(a[1].toDouble() - b[1].toDouble()) < 1e-9;
}

} // namespace

MarkerFreshness::MarkerFreshness(Tcoor_pos& window, const QString& database)
    : window_(window)
    , reader_(std::make_unique<Reader>(database)) {
    lastRead_ = reader_->maxRowId();
    for (const Reader::Report& report : reader_->reports(0, lastRead_))
        reports_[report.radio] = {{report.id, report.pair}};
}

MarkerFreshness::~MarkerFreshness() = default;

QList<qint32> MarkerFreshness::viewedRadios() const {
    QList<qint32> radios;
    const SelectedRadios& selected = window_.selectedRadios();
    for (int entry = 1; entry <= SelectedRadios::lastReadEntry; ++entry) {
        if (selected[entry] != 0 && reports_.count(selected[entry]))
            radios << selected[entry];
    }
    return radios;
}

void MarkerFreshness::runStarting() {
    beforeRun_ = reader_->maxRowId();
}

void MarkerFreshness::runEnded(const QString& name) {
    ++checked_;
    const qint64 afterRun = reader_->maxRowId();
    for (const Reader::Report& report : reader_->reports(lastRead_, afterRun))
        reports_[report.radio].push_back({report.id, report.pair});
    lastRead_ = afterRun;
    // For each marker, the places it may show: the newest report before the
    // run and the ones after it.
    QList<QStringList> allowed;
    const QList<qint32> radios = viewedRadios();
    for (const qint32 radio : radios) {
        QStringList places;
        const std::vector<Report>& reports = reports_.at(radio);
        for (auto report = reports.rbegin(); report != reports.rend(); ++report) {
            places << report->pair;
            if (report->id <= beforeRun_)
                break;
        }
        allowed << places;
    }
    const QString run = QStringLiteral("%1 (rows up to %2 committed before it, %3 after it)")
                            .arg(name)
                            .arg(beforeRun_)
                            .arg(afterRun);
    window_.controls().WebBrowser1->page()->runJavaScript(
        QStringLiteral(
            "GMap2.fromContainer(document.getElementById('Canvas')).getOverlays()"
            ".filter(function (o) { return o instanceof GMarker; })"
            ".map(function (o) { var p = o.getLatLng(); return p.lat() + ',' + p.lng(); })"
            ".join(';')"),
        [this, run, radios, allowed](const QVariant& answer) {
            compare(run, answer.toString().split(u';', Qt::SkipEmptyParts), radios, allowed);
        });
}

void MarkerFreshness::compare(const QString& tick, const QStringList& shown,
                              const QList<qint32>& radios, const QList<QStringList>& allowed) {
    ++answered_;
    qint64 behind = 0;
    for (int i = 0; i < radios.size(); ++i) {
        if (i < shown.size() &&
            std::any_of(allowed[i].begin(), allowed[i].end(),
                        [&](const QString& pair) { return samePlace(shown[i], pair); }))
            continue;
        ++behind;
        if (!firstProblem_.isEmpty())
            continue;
        const auto [row, newer] =
            i < shown.size() ? reader_->rowAt(radios[i], shown[i]) : std::pair<qint64, int>{0, -1};
        firstProblem_ = QStringLiteral("%1: marker %2 of %3 (radio %4) at %5, its report in "
                                       "row %6 with %7 newer reports of the radio now; it "
                                       "may show %8")
                            .arg(tick)
                            .arg(i + 1)
                            .arg(shown.size())
                            .arg(radios[i])
                            .arg(i < shown.size() ? shown[i] : QStringLiteral("(none)"))
                            .arg(row)
                            .arg(newer)
                            .arg(allowed[i].join(QStringLiteral(" or ")));
    }
    if (shown.size() != radios.size() && firstProblem_.isEmpty())
        firstProblem_ = QStringLiteral("%1: %2 markers for %3 radios")
                            .arg(tick)
                            .arg(shown.size())
                            .arg(radios.size());
    markersChecked_ += radios.size();
    markersBehind_ += behind;
    if (behind == 0 && shown.size() == radios.size())
        ++allShown_;
}
