#pragma once

#include <QDateEdit>
#include <QTime>

// A date picker that shows and edits only the date but holds a full
// date-time: choosing another date keeps the time of day.
class DateTimePicker : public QDateEdit {
    Q_OBJECT
public:
    explicit DateTimePicker(const QDateTime& value, QWidget* parent = nullptr);

    QDateTime value() const;
    void setValue(const QDateTime& value);

private:
    QTime timeOfDay_;
};
