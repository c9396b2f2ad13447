#include "ui/widgets/UpDownButtons.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

UpDownButtons::UpDownButtons(QLineEdit* buddy, int minimum, int maximum, int position,
                             QWidget* parent)
    : QWidget(parent)
    , buddy_(buddy)
    , minimum_(minimum)
    , maximum_(maximum)
    , position_(position) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const auto addArrow = [&](Qt::ArrowType arrow, int step) {
        auto* button = new QToolButton(this);
        button->setArrowType(arrow);
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRepeat(true);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        connect(button, &QToolButton::clicked, this, [this, step] { stepBy(step); });
        layout->addWidget(button);
    };
    addArrow(Qt::UpArrow, 1);
    addArrow(Qt::DownArrow, -1);
    buddy_->installEventFilter(this);
}

int UpDownButtons::steppedValue(const QString& text, int lastPosition, int step, int minimum,
                                int maximum) {
    bool isNumber = false;
    const int typed = text.trimmed().toInt(&isNumber);
    const int from = isNumber ? qBound(minimum, typed, maximum) : lastPosition;
    return qBound(minimum, from + step, maximum);
}

void UpDownButtons::stepBy(int step) {
    position_ = steppedValue(buddy_->text(), position_, step, minimum_, maximum_);
    buddy_->setText(QString::number(position_));
}

bool UpDownButtons::eventFilter(QObject* watched, QEvent* event) {
    if (watched == buddy_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            stepBy(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return false;
}
