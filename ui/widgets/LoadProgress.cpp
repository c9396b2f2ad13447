#include "ui/widgets/LoadProgress.h"

#include "store/TableCursor.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QToolButton>

#include <algorithm>

namespace {

constexpr int barWidth = 260;
constexpr int barHeight = 14;

} // namespace

LoadProgress::LoadProgress(QWidget* parent)
    : QWidget(parent)
    , label_(new QLabel(this))
    , bar_(new QProgressBar(this))
    , button_(new QToolButton(this)) {
    label_->setObjectName(QStringLiteral("LoadProgressText"));
    bar_->setObjectName(QStringLiteral("LoadProgressBar"));
    button_->setObjectName(QStringLiteral("LoadProgressButton"));
    bar_->setFixedSize(barWidth, barHeight);
    bar_->setTextVisible(true);
    button_->setAutoRaise(true);
    button_->setFixedHeight(barHeight + 2);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 4, 0);
    layout->setSpacing(4);
    layout->addWidget(label_);
    layout->addWidget(bar_);
    layout->addWidget(button_);
    connect(button_, &QToolButton::clicked, this, &LoadProgress::buttonClicked);
    hide();
}

void LoadProgress::bind(TableCursor* cursor) {
    cursor_ = cursor;
    connect(cursor, &TableCursor::loadingChanged, this, &LoadProgress::showLoading);
    connect(cursor, &TableCursor::loadProgress, this, &LoadProgress::showProgress);
    showLoading(cursor->isLoading());
}

void LoadProgress::showLoading(bool loading) {
    const bool held = !loading && cursor_->isLoadingHeld();
    setVisible(loading || held);
    label_->setText(held ? QStringLiteral("Reports not loaded") : QString());
    label_->setVisible(held);
    bar_->setVisible(loading);
    button_->setText(loading ? QStringLiteral("Cancel") : QStringLiteral("Load"));
    if (loading)
        showProgress(0, 0);
}

// Without an expected count the bar only shows that the read goes on.
void LoadProgress::showProgress(quint64 rows, quint64 expected) {
    const QString read = QLocale().toString(rows);
    if (expected == 0) {
        bar_->setRange(0, 0);
        bar_->setFormat(QStringLiteral("Loading reports: %1").arg(read));
        return;
    }
    bar_->setRange(0, 1000);
    bar_->setValue(int(std::min<quint64>(999, rows * 1000 / expected)));
    bar_->setFormat(QStringLiteral("Loading reports: %1 of %2")
                        .arg(read, QLocale().toString(std::max(rows, expected))));
}

void LoadProgress::buttonClicked() {
    if (cursor_->isLoading())
        cursor_->cancelLoading();
    else
        cursor_->resumeLoading();
}
