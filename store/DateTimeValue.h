#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>

// Date-time values: days since 1899-12-30 midnight, the time of day as the fraction.
using DateTimeValue = double;

DateTimeValue toDateTimeValue(const QDateTime& dateTime);
// Invalid for a value outside the years 1 to 9999.
QDateTime fromDateTimeValue(DateTimeValue value);
// A value that names a time: within the years 1 to 9999 and not zero, which
// is what a stored time that does not read gives.
bool isReadableDateTime(DateTimeValue value);

// The fixed-form reading ("yyyy-mm-dd hh:nn:ss.zzz", only positions count); never fails.
DateTimeValue readFixedFormDateTime(QStringView text);

// A stored time: the fixed-form reading when the fifth and eighth characters
// of a text of ten or more are "-", else year first ("2012/5/3 14:22",
// "2012\05\03"); zero when it does not read.
DateTimeValue readStoredDateTime(QStringView text);

// The form readFixedFormDateTime reads back exactly, to the millisecond.
QString fixedFormText(const QDateTime& dateTime);

// User's short date, a blank and long time; the time left out at midnight to
// the second; empty for the zero value and for values outside the years 1 to 9999.
QString displayText(DateTimeValue value);
