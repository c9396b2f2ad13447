#include "ui/ReplayMode.h"

#include "app/Application.h"
#include "map/ScriptCommands.h"
#include "map/browser/TApplicationWrapper.h"
#include "map/browser/TWebBrowser.h"
#include "store/EqualityIndex.h"
#include "store/PositionTable.h"
#include "store/RadioTimeIndex.h"
#include "store/TableCursor.h"
#include "ui/CoorPosLayout.h"
#include "ui/views/ExclusiveRun.h"
#include "ui/views/MarkerLabels.h"
#include "ui/views/QuickRange.h"
#include "ui/views/RadioTree.h"
#include "ui/views/ReplayView.h"
#include "ui/widgets/DateTimePicker.h"
#include "ui/widgets/ReplayBar.h"

#include <QSlider>

#include <algorithm>

ReplayMode::ReplayMode(CoorPosLayout& ui, TableCursor& positions, const RadioTree& tree,
                       ExclusiveRun& run, QObject* parent)
    : QObject(parent)
    , ui_(ui)
    , positions_(positions)
    , tree_(tree)
    , run_(run) {
    ReplayBar* bar = ui_.ReplayBar1;
    connect(bar, &ReplayBar::timeChanged, this, &ReplayMode::showFrame);
    connect(bar, &ReplayBar::trailMinutesChanged, this, &ReplayMode::showFrame);
    connect(bar, &ReplayBar::interpolateChanged, this, &ReplayMode::showFrame);
    connect(bar, &ReplayBar::backToLive, this, &ReplayMode::close);
    connect(bar, &ReplayBar::rangeChosen, this,
            [this](ReplayBar::Range range) { chooseRange(int(range)); });
    connect(ui_.WebBrowser1->external(), &TApplicationWrapper::markerClicked, this,
            &ReplayMode::followMarkerAt);
    connect(&positions_, &TableCursor::rowsRead, this, &ReplayMode::indexReadRows);
    bar->setNextReport([this](const QDateTime& after) -> std::optional<QDateTime> {
        const QList<qint32> radios = tickedRadios();
        const std::vector<qint64> ids(radios.begin(), radios.end());
        const auto next = positions_.replica().timeIndex().nextTimeAfter(positions_.rows(), ids,
                                                                         toDateTimeValue(after));
        return next ? std::optional(wallClock(fromDateTimeValue(*next))) : std::nullopt;
    });
}

ReplayMode::~ReplayMode() = default;

void ReplayMode::open() {
    if (active_)
        return;
    ui_.WebBrowser1->runScriptCommand(ScriptCommands::replayStart());
    active_ = true;
    followed_.reset();
    liveFilter_ = positions_.filter();
    liveRow_ = positions_.currentRow();
    chooseRange(int(ui_.ReplayBar1->range()));
    ui_.ReplayBar1->show();
    ui_.ReplayBar1->findChild<QSlider*>(QStringLiteral("ReplaySlider"))->setFocus();
    view_ = std::make_unique<ReplayView>(positions_.rows(), positions_.replica().timeIndex());
    showUnreadableTimes();
    positions_.applyFilter(FilterExpression());
    showFrame();
}

void ReplayMode::close() {
    if (!active_)
        return;
    active_ = false;
    ui_.ReplayBar1->setPlaying(false);
    ui_.ReplayBar1->hide();
    view_.reset();
    try {
        ui_.WebBrowser1->runScriptCommand(ScriptCommands::replayEnd());
        positions_.applyFilter(liveFilter_);
        if (liveRow_ >= 0 && liveRow_ < positions_.rowCount())
            positions_.moveTo(liveRow_);
    } catch (...) {
        Application::reportCurrentException();
    }
}

// The time index is the replica's, built beside the window with the load;
// reports the writer appends while the replay lasts join it at the next look,
// so the range reaches them.
void ReplayMode::indexReadRows(const TableReplica::Change& change) {
    if (active_ && change.any())
        showUnreadableTimes();
}

void ReplayMode::showUnreadableTimes() {
    const QList<qint32> radios = tickedRadios();
    ui_.ReplayBar1->setUnreadableTimes(positions_.replica().timeIndex().unreadableTimes(
        std::vector<qint64>(radios.begin(), radios.end())));
}

void ReplayMode::showFrame() {
    if (!active_ || !view_)
        return;
    run_.run([this] {
        // Ages and staleness against the replay's time, as a clock then read.
        const MarkerLabels labels{tree_.memberNames(), replayTime(), staleMinutes_};
        const QList<qint32> radios = tickedRadios();
        showUnreadableTimes();
        try {
            ui_.WebBrowser1->runScriptCommand(view_->frameCommand(
                radios, labels, ui_.ReplayBar1->trailMinutes(), ui_.ReplayBar1->interpolates()));
            moveGridTo(view_->newestRowAt(followed_ ? QList{*followed_} : radios,
                                          toDateTimeValue(labels.now)));
        } catch (...) {
            ui_.ReplayBar1->setPlaying(false);
            Application::reportCurrentException();
        }
    });
}

void ReplayMode::chooseRange(int range) {
    const QDateTime now = QDateTime::currentDateTime();
    std::pair<QDateTime, QDateTime> bounds{now.addSecs(-2 * 3600), now};
    switch (ReplayBar::Range(range)) {
    case ReplayBar::Range::LastTwoHours:
        break;
    case ReplayBar::Range::LastHour:
        bounds = quickRangeBounds(QuickRange::LastHour, now);
        break;
    case ReplayBar::Range::Today:
        bounds = quickRangeBounds(QuickRange::Today, now);
        break;
    case ReplayBar::Range::Yesterday:
        bounds = quickRangeBounds(QuickRange::Yesterday, now);
        break;
    case ReplayBar::Range::FastSearch:
        bounds = {ui_.DateTimePicker1->value(), ui_.DateTimePicker2->value()};
        break;
    }
    ui_.ReplayBar1->setRange(bounds.first, bounds.second);
}

void ReplayMode::followMarkerAt(double lat, double lng) {
    if (!active_ || !view_)
        return;
    const std::optional<qint32> radio = view_->radioAt(lat, lng);
    if (!radio || radio == followed_)
        return;
    followed_ = radio;
    positions_.applyFilter(PositionTable::radioFilter(*radio));
    moveGridTo(view_->newestRowAt({*radio}, toDateTimeValue(replayTime())));
}

// The grid holds every report, or the followed radio's in row order.
void ReplayMode::moveGridTo(std::optional<quint32> row) {
    if (!row)
        return;
    qint64 at = *row;
    if (followed_) {
        const ColumnStore& store = positions_.rows();
        const std::span<const quint32> rows = positions_.replica().index().rowsWith(
            store, store.columnIndex(PositionTable::radioShortId), *followed_);
        at = std::lower_bound(rows.begin(), rows.end(), *row) - rows.begin();
    }
    if (at < positions_.rowCount())
        positions_.moveTo(int(at));
}

QDateTime ReplayMode::replayTime() const {
    const QDateTime time = ui_.ReplayBar1->time();
    return QDateTime(time.date(), time.time());
}

QList<qint32> ReplayMode::tickedRadios() const {
    QList<qint32> radios;
    const SelectedRadios& selected = tree_.selectedRadios();
    for (int entry = 1; entry <= SelectedRadios::lastReadEntry; ++entry) {
        if (selected[entry] != 0 && !radios.contains(selected[entry]))
            radios << selected[entry];
    }
    return radios;
}
