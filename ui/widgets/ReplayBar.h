#pragma once

#include <QDateTime>
#include <QList>
#include <QWidget>

#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QElapsedTimer;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;
class QTimer;
class QToolButton;

// The same date and clock time on a timeline without clock changes: replay
// times are stored local times taken as they read, so that the hour that
// repeats when the clocks go back is one stretch of the slider.
QDateTime wallClock(const QDateTime& dateTime);

// The replay's controls under the map: a slider over the range in real time,
// the time shown, play and pause (Space), the speed ("+" and "-"), steps of a
// minute (arrow keys), skipping quiet stretches, interpolated positions, the
// range and the trail's length, and "Back to live" (Esc). Times are wall-clock times (wallClock).
class ReplayBar : public QWidget {
    Q_OBJECT
public:
    // The choices of the range list, in its order.
    enum class Range { LastTwoHours, LastHour, Today, Yesterday, FastSearch };

    static const QList<int> speeds;
    static constexpr int stepSeconds = 60;
    static constexpr int frameMs = 50; // 20 frames a second while playing

    explicit ReplayBar(QWidget* parent = nullptr);
    ~ReplayBar() override;

    // Keeps the time where it lies within the range, else puts it at the start.
    void setRange(const QDateTime& first, const QDateTime& last);
    QDateTime rangeStart() const { return first_; }
    QDateTime rangeEnd() const { return last_; }
    QDateTime time() const { return time_; }
    // Within the range; signals timeChanged when the time moved.
    void setTime(const QDateTime& time);
    Range range() const;
    int speed() const;
    void setSpeed(int speed);
    bool isPlaying() const;
    void setPlaying(bool playing);
    int trailMinutes() const;
    bool skipsQuietStretches() const;
    void setSkipQuietStretches(bool on);
    // Markers between two close reports at the point interpolated in time.
    bool interpolates() const;
    // "3 reports without a readable time"; hidden for none.
    void setUnreadableTimes(quint32 count);
    // The first report after a time of the radios replayed, for skipping.
    void setNextReport(std::function<std::optional<QDateTime>(const QDateTime&)> nextReport);
    // Moves the time on as `elapsedMs` of play at the speed do; with quiet
    // stretches skipped, straight to the next report when none comes before.
    // Play stops at the range's end.
    void advance(qint64 elapsedMs);

signals:
    void timeChanged(const QDateTime& time);
    void rangeChosen(ReplayBar::Range range);
    void trailMinutesChanged(int minutes);
    void interpolateChanged(bool on);
    void backToLive();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showTime();
    void playTick();

    QDateTime first_;
    QDateTime last_;
    QDateTime time_;
    std::function<std::optional<QDateTime>(const QDateTime&)> nextReport_;
    QToolButton* play_;
    QToolButton* stepBack_;
    QToolButton* stepForward_;
    QSlider* slider_;
    QLabel* timeText_;
    QComboBox* speed_;
    QCheckBox* skipQuiet_;
    QCheckBox* interpolate_;
    QComboBox* range_;
    QSpinBox* trail_;
    QLabel* unreadable_;
    QPushButton* back_;
    QTimer* playTimer_;
    std::unique_ptr<QElapsedTimer> sinceTick_;
};
