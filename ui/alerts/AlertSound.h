#pragma once

#include <QObject>
#include <QTimer>

class QSoundEffect;

// The alert sound, shipped with the program: played when an alert comes and
// again every 30 s while any alert waits for its acknowledgement.
class AlertSound : public QObject {
    Q_OBJECT
public:
    static constexpr int repeatMs = 30000;

    explicit AlertSound(QObject* parent = nullptr);

    // Waiting alerts ring at once, then on repeat; none stops the sound.
    void setWaiting(bool waiting);
    bool isRepeating() const { return repeat_.isActive(); }
    void setVolume(int percent); // 0 to 100
    void setMuted(bool muted);

signals:
    void rang(); // each time the sound starts, muted or not

private:
    void ring();

    QSoundEffect* effect_;
    QTimer repeat_;
};
