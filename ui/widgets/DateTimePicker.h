#pragma once

#include <QDateTimeEdit>

// A date picker that shows and edits the date and the time of day to the
// minute, and holds a full date-time: an edit keeps what it did not touch,
// so choosing another date keeps the time of day to the millisecond, and
// setting another hour or minute starts that minute.
class DateTimePicker : public QDateTimeEdit {
    Q_OBJECT
public:
    explicit DateTimePicker(const QDateTime& value, QWidget* parent = nullptr);

    QDateTime value() const;
    void setValue(const QDateTime& value);

private:
    void edited(const QDateTime& shown);

    QDateTime value_;
};
