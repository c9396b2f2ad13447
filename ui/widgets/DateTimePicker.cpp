#include "ui/widgets/DateTimePicker.h"

DateTimePicker::DateTimePicker(const QDateTime& value, QWidget* parent)
    : QDateTimeEdit(parent) {
    setCalendarPopup(true);
    // Numeric and a little smaller than the window's font, so that the date
    // and the time fit the picker's fixed width.
    setDisplayFormat(QStringLiteral("dd.MM.yy HH:mm"));
    QFont compact = font();
    compact.setPixelSize(9);
    setFont(compact);
    setValue(value);
    connect(this, &QDateTimeEdit::dateTimeChanged, this, &DateTimePicker::edited);
}

QDateTime DateTimePicker::value() const {
    return value_;
}

void DateTimePicker::setValue(const QDateTime& value) {
    value_ = value;
    const QSignalBlocker quiet(this);
    setDateTime(value);
}

void DateTimePicker::edited(const QDateTime& shown) {
    const QTime held = value_.time();
    const QTime time = shown.time();
    const bool sameMinute = time.hour() == held.hour() && time.minute() == held.minute();
    value_ = QDateTime(shown.date(), sameMinute ? held : QTime(time.hour(), time.minute()));
}
