#include "ui/widgets/DateTimePicker.h"

DateTimePicker::DateTimePicker(const QDateTime& value, QWidget* parent)
    : QDateEdit(parent) {
    setCalendarPopup(true);
    setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
    setValue(value);
}

QDateTime DateTimePicker::value() const {
    return QDateTime(date(), timeOfDay_);
}

void DateTimePicker::setValue(const QDateTime& value) {
    timeOfDay_ = value.time();
    setDate(value.date());
}
