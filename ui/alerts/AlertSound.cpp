#include "ui/alerts/AlertSound.h"

#include <QSoundEffect>
#include <QUrl>

// The sound lives in a static library: its resource must be registered
// explicitly, or the linker leaves it out. Q_INIT_RESOURCE needs the global namespace.
static void registerAlertResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(alerts);
        return true;
    }();
    Q_UNUSED(registered);
}

AlertSound::AlertSound(QObject* parent)
    : QObject(parent)
    , effect_(new QSoundEffect(this)) {
    registerAlertResources();
    effect_->setSource(QUrl(QStringLiteral("qrc:/alerts/sounds/alert.wav")));
    repeat_.setInterval(repeatMs);
    connect(&repeat_, &QTimer::timeout, this, &AlertSound::ring);
}

void AlertSound::setWaiting(bool waiting) {
    if (!waiting) {
        repeat_.stop();
        effect_->stop();
        return;
    }
    ring();
    repeat_.start();
}

void AlertSound::setVolume(int percent) {
    effect_->setVolume(qBound(0, percent, 100) / 100.0);
}

void AlertSound::setMuted(bool muted) {
    effect_->setMuted(muted);
}

void AlertSound::ring() {
    effect_->play();
    emit rang();
}
