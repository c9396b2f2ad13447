#include "ui/alerts/AlertPanel.h"

#include "export/CsvWriter.h"
#include "ui/alerts/AlertSound.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kSerialRole = Qt::UserRole;
const QStringList kColumns{QStringLiteral("Time"),   QStringLiteral("Radio"),
                           QStringLiteral("Member"), QStringLiteral("What"),
                           QStringLiteral("Area"),   QString()};
constexpr int kAreaColumn = 4;
constexpr int kButtonColumn = 5;

QString timeText(const QDateTime& time) {
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace

AlertPanel::AlertPanel(QWidget* parent)
    : QWidget(parent)
    , list_(new QTreeWidget(this))
    , acknowledgeAll_(new QPushButton(QStringLiteral("Acknowledge all"), this))
    , volume_(new QSlider(Qt::Horizontal, this))
    , mute_(new QCheckBox(QStringLiteral("Mute"), this))
    , sound_(new AlertSound(this)) {
    list_->setObjectName(QStringLiteral("AlertList"));
    acknowledgeAll_->setObjectName(QStringLiteral("AcknowledgeAllAlerts"));
    volume_->setObjectName(QStringLiteral("AlertVolume"));
    mute_->setObjectName(QStringLiteral("AlertMute"));
    auto* exportButton = new QPushButton(QStringLiteral("Export CSV…"), this);
    exportButton->setObjectName(QStringLiteral("ExportAlerts"));

    list_->setColumnCount(int(kColumns.size()));
    list_->setHeaderLabels(kColumns);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // The area takes the room left, so that the buttons line up at the right.
    list_->header()->setSectionResizeMode(kAreaColumn, QHeaderView::Stretch);
    volume_->setRange(0, 100);
    volume_->setValue(80);
    volume_->setMaximumWidth(120);
    sound_->setVolume(volume_->value());

    auto* controls = new QHBoxLayout;
    controls->addWidget(acknowledgeAll_);
    controls->addStretch();
    controls->addWidget(new QLabel(QStringLiteral("Volume"), this));
    controls->addWidget(volume_);
    controls->addWidget(mute_);
    controls->addWidget(exportButton);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(controls);
    layout->addWidget(list_);

    connect(acknowledgeAll_, &QPushButton::clicked, this, &AlertPanel::acknowledgeAll);
    connect(volume_, &QSlider::valueChanged, sound_, &AlertSound::setVolume);
    connect(mute_, &QCheckBox::toggled, sound_, &AlertSound::setMuted);
    connect(exportButton, &QPushButton::clicked, this, &AlertPanel::exportRequested);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        const quint64 serial = item->data(0, kSerialRole).toULongLong();
        for (const AlertLog::Entry& entry : log_.entries()) {
            if (entry.serial == serial && entry.alert.position)
                emit centreRequested(*entry.alert.position);
        }
    });
    acknowledgeAll_->setEnabled(false);
}

void AlertPanel::setMemberNames(const QHash<qint32, QString>& names) {
    if (names == names_)
        return;
    names_ = names;
    for (int row = 0; row < log_.entries().size(); ++row)
        list_->topLevelItem(row)->setText(2, names_.value(log_.entries()[row].alert.radio));
}

// The list's rows follow the log's entries one for one, so a change touches
// only its own rows: a long shift's alerts cost nothing at the next one.
void AlertPanel::addAlerts(const QList<Alert>& alerts) {
    if (alerts.isEmpty())
        return;
    const quint64 lastBefore = log_.lastSerial();
    log_.add(alerts);
    for (int row = 0; row < log_.entries().size(); ++row) {
        const AlertLog::Entry& entry = log_.entries()[row];
        if (entry.serial <= lastBefore)
            continue;
        auto* item = new QTreeWidgetItem(rowTexts(entry.alert));
        item->setData(0, kSerialRole, entry.serial);
        list_->insertTopLevelItem(row, item);
        showState(row);
    }
    acknowledgeAll_->setEnabled(true);
    emit markedRadiosChanged(log_.radiosToMark());
    // Every new alert rings at once, then on repeat.
    sound_->setWaiting(true);
}

void AlertPanel::acknowledge(quint64 serial) {
    if (!log_.acknowledge(serial))
        return;
    for (int row = 0; row < log_.entries().size(); ++row) {
        if (log_.entries()[row].serial == serial)
            showState(row);
    }
    changed();
}

void AlertPanel::acknowledgeAll() {
    const int waiting = log_.unacknowledgedCount();
    log_.acknowledgeAll();
    for (int row = 0; waiting > 0 && row < log_.entries().size(); ++row)
        showState(row);
    changed();
}

void AlertPanel::changed() {
    acknowledgeAll_->setEnabled(log_.unacknowledgedCount() > 0);
    emit markedRadiosChanged(log_.radiosToMark());
    if (log_.unacknowledgedCount() == 0)
        sound_->setWaiting(false);
}

// Bold with its own button while it waits; plain once acknowledged.
void AlertPanel::showState(int row) {
    const AlertLog::Entry& entry = log_.entries()[row];
    QTreeWidgetItem* item = list_->topLevelItem(row);
    QFont font = item->font(0);
    font.setBold(!entry.acknowledged);
    for (int column = 0; column < kButtonColumn; ++column)
        item->setFont(column, font);
    if (entry.acknowledged) {
        list_->removeItemWidget(item, kButtonColumn);
        return;
    }
    if (!list_->itemWidget(item, kButtonColumn)) {
        auto* button = new QPushButton(QStringLiteral("Acknowledge"), list_);
        const quint64 serial = entry.serial;
        connect(button, &QPushButton::clicked, this, [this, serial] { acknowledge(serial); });
        list_->setItemWidget(item, kButtonColumn, button);
    }
}

QStringList AlertPanel::rowTexts(const Alert& alert) const {
    const bool aboutArea = alert.kind == Alert::Kind::Entered || alert.kind == Alert::Kind::Left;
    QString what = alert.what();
    if (aboutArea)
        what =
            alert.kind == Alert::Kind::Entered ? QStringLiteral("entered") : QStringLiteral("left");
    return {timeText(alert.time), QString::number(alert.radio), names_.value(alert.radio), what,
            aboutArea ? alert.area : QString()};
}

QByteArray AlertPanel::csv() const {
    QList<QStringList> rows{{QStringLiteral("time"), QStringLiteral("radio"),
                             QStringLiteral("member"), QStringLiteral("what"),
                             QStringLiteral("area"), QStringLiteral("latitude"),
                             QStringLiteral("longitude"), QStringLiteral("acknowledged")}};
    for (const AlertLog::Entry& entry : log_.entries()) {
        QStringList row = rowTexts(entry.alert);
        const std::optional<GeoPoint>& at = entry.alert.position;
        row << (at ? QString::number(at->lat, 'f', 7) : QString())
            << (at ? QString::number(at->lng, 'f', 7) : QString())
            << (entry.acknowledged ? QStringLiteral("yes") : QStringLiteral("no"));
        rows << row;
    }
    return csvDocument(rows);
}
