#include "ui/widgets/ReplayBar.h"

#include <QAction>
#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

QDateTime wallClock(const QDateTime& dateTime) {
    return QDateTime(dateTime.date(), dateTime.time(), Qt::UTC);
}

const QList<int> ReplayBar::speeds = {1, 10, 60, 300, 600};

namespace {

template <typename Widget> Widget* named(const char* name, QWidget* parent) {
    auto* widget = new Widget(parent);
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// Buttons take no focus, so that keys stay with the slider.
QToolButton* button(const char* name, const QString& text, QWidget* parent) {
    auto* tool = named<QToolButton>(name, parent);
    tool->setText(text);
    tool->setFocusPolicy(Qt::NoFocus);
    return tool;
}

} // namespace

ReplayBar::ReplayBar(QWidget* parent)
    : QWidget(parent)
    , play_(button("ReplayPlay", QStringLiteral("Play"), this))
    , stepBack_(button("ReplayStepBack", QStringLiteral("\u2212 1 min"), this))
    , stepForward_(button("ReplayStepForward", QStringLiteral("+ 1 min"), this))
    , slider_(named<QSlider>("ReplaySlider", this))
    , timeText_(named<QLabel>("ReplayTime", this))
    , speed_(named<QComboBox>("ReplaySpeed", this))
    , skipQuiet_(named<QCheckBox>("ReplaySkipQuiet", this))
    , interpolate_(named<QCheckBox>("ReplayInterpolate", this))
    , range_(named<QComboBox>("ReplayRange", this))
    , trail_(named<QSpinBox>("ReplayTrail", this))
    , unreadable_(named<QLabel>("ReplayUnreadable", this))
    , back_(named<QPushButton>("ReplayBackToLive", this))
    , playTimer_(new QTimer(this))
    , sinceTick_(std::make_unique<QElapsedTimer>()) {
    setObjectName(QStringLiteral("ReplayBar"));
    slider_->setOrientation(Qt::Horizontal);
    slider_->setSingleStep(stepSeconds);
    slider_->setPageStep(10 * stepSeconds);
    slider_->setFocusPolicy(Qt::StrongFocus);
    for (const int speed : speeds)
        speed_->addItem(QString::number(speed) + QChar(0x00d7), speed);
    speed_->setFocusPolicy(Qt::ClickFocus);
    speed_->setToolTip(QStringLiteral("Speed (\"+\" and \"-\")"));
    skipQuiet_->setText(QStringLiteral("Skip quiet stretches"));
    skipQuiet_->setFocusPolicy(Qt::NoFocus);
    interpolate_->setText(QStringLiteral("Between reports"));
    interpolate_->setToolTip(
        QStringLiteral("Put a radio between its two reports around the time, when they are "
                       "closer than the stale age; its label then shows \"~\""));
    interpolate_->setFocusPolicy(Qt::NoFocus);
    range_->addItems({QStringLiteral("Last 2 hours"), QStringLiteral("Last hour"),
                      QStringLiteral("Today"), QStringLiteral("Yesterday"),
                      QStringLiteral("Fast Search range")});
    range_->setFocusPolicy(Qt::ClickFocus);
    trail_->setRange(0, 120);
    trail_->setValue(10);
    trail_->setPrefix(QStringLiteral("Trail "));
    trail_->setSuffix(QStringLiteral(" min"));
    trail_->setFocusPolicy(Qt::ClickFocus);
    back_->setText(QStringLiteral("Back to live"));
    back_->setFocusPolicy(Qt::NoFocus);
    unreadable_->hide();
    timeText_->setMinimumWidth(
        fontMetrics().horizontalAdvance(QStringLiteral("00.00.00 00:00:00")));

    // The slider gets a row of its own so that it stays long in a narrow window.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(2);
    auto* timeRow = new QHBoxLayout;
    timeRow->setSpacing(6);
    timeRow->addWidget(play_);
    timeRow->addWidget(stepBack_);
    timeRow->addWidget(slider_, 1);
    timeRow->addWidget(stepForward_);
    timeRow->addWidget(timeText_);
    auto* optionsRow = new QHBoxLayout;
    optionsRow->setSpacing(6);
    optionsRow->addWidget(speed_);
    optionsRow->addWidget(skipQuiet_);
    optionsRow->addWidget(interpolate_);
    optionsRow->addWidget(range_);
    optionsRow->addWidget(trail_);
    optionsRow->addWidget(unreadable_);
    optionsRow->addStretch(1);
    optionsRow->addWidget(back_);
    layout->addLayout(timeRow);
    layout->addLayout(optionsRow);

    // Esc works wherever the focus is in the window while the bar shows.
    auto* leave = new QAction(this);
    leave->setShortcut(Qt::Key_Escape);
    leave->setShortcutContext(Qt::WindowShortcut);
    addAction(leave);
    connect(leave, &QAction::triggered, this, &ReplayBar::backToLive);
    connect(back_, &QPushButton::clicked, this, &ReplayBar::backToLive);
    connect(play_, &QToolButton::clicked, this, [this] { setPlaying(!isPlaying()); });
    connect(stepBack_, &QToolButton::clicked, this,
            [this] { setTime(time_.addSecs(-stepSeconds)); });
    connect(stepForward_, &QToolButton::clicked, this,
            [this] { setTime(time_.addSecs(stepSeconds)); });
    connect(slider_, &QSlider::valueChanged, this, [this](int seconds) {
        // The slider holds whole seconds: a time between them stays.
        if (first_.secsTo(time_) != seconds)
            setTime(first_.addSecs(seconds));
    });
    connect(range_, &QComboBox::activated, this,
            [this](int index) { emit rangeChosen(Range(index)); });
    connect(trail_, &QSpinBox::valueChanged, this, &ReplayBar::trailMinutesChanged);
    connect(interpolate_, &QCheckBox::toggled, this, &ReplayBar::interpolateChanged);
    playTimer_->setInterval(frameMs);
    connect(playTimer_, &QTimer::timeout, this, &ReplayBar::playTick);
    const QDateTime now = wallClock(QDateTime::currentDateTime());
    setRange(now.addSecs(-2 * 3600), now);
}

ReplayBar::~ReplayBar() = default;

void ReplayBar::setRange(const QDateTime& first, const QDateTime& last) {
    first_ = wallClock(first);
    last_ = std::max(first_, wallClock(last));
    const QDateTime kept = time_.isValid() && time_ >= first_ && time_ <= last_ ? time_ : first_;
    {
        const QSignalBlocker blocker(slider_);
        slider_->setRange(0, int(first_.secsTo(last_)));
    }
    time_ = QDateTime();
    setTime(kept);
}

void ReplayBar::setTime(const QDateTime& time) {
    const QDateTime within = std::clamp(wallClock(time), first_, last_);
    if (within == time_)
        return;
    time_ = within;
    showTime();
    emit timeChanged(time_);
}

ReplayBar::Range ReplayBar::range() const {
    return Range(range_->currentIndex());
}

int ReplayBar::speed() const {
    return speed_->currentData().toInt();
}

void ReplayBar::setSpeed(int speed) {
    const int index = speed_->findData(speed);
    if (index >= 0)
        speed_->setCurrentIndex(index);
}

bool ReplayBar::isPlaying() const {
    return playTimer_->isActive();
}

void ReplayBar::setPlaying(bool playing) {
    if (playing && time_ >= last_)
        playing = false;
    if (playing) {
        sinceTick_->start();
        playTimer_->start();
    } else {
        playTimer_->stop();
    }
    play_->setText(playing ? QStringLiteral("Pause") : QStringLiteral("Play"));
}

int ReplayBar::trailMinutes() const {
    return trail_->value();
}

bool ReplayBar::skipsQuietStretches() const {
    return skipQuiet_->isChecked();
}

void ReplayBar::setSkipQuietStretches(bool on) {
    skipQuiet_->setChecked(on);
}

bool ReplayBar::interpolates() const {
    return interpolate_->isChecked();
}

void ReplayBar::setUnreadableTimes(quint32 count) {
    unreadable_->setVisible(count > 0);
    unreadable_->setText(
        count == 1
            ? QStringLiteral("1 report without a readable time")
            : QStringLiteral("%1 reports without a readable time").arg(QLocale().toString(count)));
}

void ReplayBar::setNextReport(
    std::function<std::optional<QDateTime>(const QDateTime&)> nextReport) {
    nextReport_ = std::move(nextReport);
}

void ReplayBar::advance(qint64 elapsedMs) {
    QDateTime next = time_.addMSecs(elapsedMs * speed());
    if (skipsQuietStretches() && nextReport_) {
        const std::optional<QDateTime> report = nextReport_(time_);
        next = !report ? last_ : std::max(next, wallClock(*report));
    }
    setTime(next);
    if (time_ >= last_)
        setPlaying(false);
}

void ReplayBar::playTick() {
    advance(sinceTick_->restart());
}

void ReplayBar::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Space:
        setPlaying(!isPlaying());
        return;
    case Qt::Key_Left:
        setTime(time_.addSecs(-stepSeconds));
        return;
    case Qt::Key_Right:
        setTime(time_.addSecs(stepSeconds));
        return;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        speed_->setCurrentIndex(std::min(speed_->currentIndex() + 1, speed_->count() - 1));
        return;
    case Qt::Key_Minus:
        speed_->setCurrentIndex(std::max(speed_->currentIndex() - 1, 0));
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void ReplayBar::showTime() {
    timeText_->setText(time_.toString(QStringLiteral("dd.MM.yy HH:mm:ss")));
    const QSignalBlocker blocker(slider_);
    slider_->setValue(int(first_.secsTo(time_)));
}
