#include "store/DateTimeValue.h"

#include <QLocale>
#include <QTime>

#include <cmath>

namespace {

constexpr qint64 msecsPerDay = 86400000;
const qint64 epochJulianDay = QDate(1899, 12, 30).toJulianDay();

// A negative value keeps its time of day as a positive fraction below the
// date part: -1.25 is 29 December 1899, 06:00.
DateTimeValue combine(qint64 days, qint64 msecsOfDay) {
    const double fraction = double(msecsOfDay) / double(msecsPerDay);
    return days < 0 ? double(days) - fraction : double(days) + fraction;
}

struct DateAndTime {
    QDate date;
    QTime time;
};

// Days of 1 January 0001 and of the day after 31 December 9999: the years a
// date-time names. Beyond them (or NaN) a value from a column of another
// kind is no date, and would overflow the day count.
constexpr double firstDay = -693593;
constexpr double dayAfterLast = 2958466;

// An invalid date for a value outside the years a date-time names.
DateAndTime split(DateTimeValue value) {
    if (!(value > firstDay - 1 && value < dayAfterLast))
        return {};
    double days = std::trunc(value);
    qint64 msecs = std::llround(std::fabs(value - days) * double(msecsPerDay));
    if (msecs >= msecsPerDay) {
        msecs -= msecsPerDay;
        days += value < 0 ? -1 : 1;
    }
    return {QDate::fromJulianDay(epochJulianDay + qint64(days)),
            QTime::fromMSecsSinceStartOfDay(int(msecs))};
}

// Leading blanks and a sign allowed, then digits only; 0 otherwise.
int readIntegerOrZero(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    bool ok = false;
    const int value = text.mid(i).toInt(&ok, 10);
    return ok ? value : 0;
}

int readDigits(QStringView text, qsizetype from, qsizetype count) {
    return readIntegerOrZero(text.mid(from, count));
}

// A clock time with the long time format's zone marker removed: a date-time
// value carries no zone.
QString longTimeFormatWithoutZone(const QLocale& locale) {
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString result;
    bool quoted = false;
    for (QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u't')
            continue;
        result += c;
    }
    return result.trimmed();
}

} // namespace

DateTimeValue toDateTimeValue(const QDateTime& dateTime) {
    return combine(dateTime.date().toJulianDay() - epochJulianDay,
                   dateTime.time().msecsSinceStartOfDay());
}

QDateTime fromDateTimeValue(DateTimeValue value) {
    const DateAndTime parts = split(value);
    return QDateTime(parts.date, parts.time);
}

bool isReadableDateTime(DateTimeValue value) {
    return value != 0 && value > firstDay - 1 && value < dayAfterLast;
}

DateTimeValue readFixedFormDateTime(QStringView text) {
    qint64 days = 0;
    QStringView rest = text;
    if (text.size() > 9) {
        const int year = readDigits(text, 0, 4);
        const int month = readDigits(text, 5, 2);
        const int day = readDigits(text, 8, 2);
        if (year != 0 && month != 0 && day != 0 && QDate::isValid(year, month, day))
            days = QDate(year, month, day).toJulianDay() - epochJulianDay;
        rest = text.mid(11);
    }
    qint64 msecsOfDay = 0;
    if (rest.size() > 7) {
        const int hour = readDigits(rest, 0, 2);
        const int minute = readDigits(rest, 3, 2);
        const int second = readDigits(rest, 6, 2);
        int msec = 0;
        const qsizetype point = rest.indexOf(u'.');
        if (rest.size() >= 9 && point >= 0) {
            QString digits = rest.mid(point + 1, 3).toString();
            digits = digits.leftJustified(3, u'0');
            msec = readIntegerOrZero(digits);
        }
        if (QTime::isValid(hour, minute, second, msec))
            msecsOfDay = QTime(hour, minute, second, msec).msecsSinceStartOfDay();
    }
    return combine(days, msecsOfDay);
}

DateTimeValue readStoredDateTime(QStringView text) {
    if (text.size() >= 10 && text[4] == u'-' && text[7] == u'-')
        return readFixedFormDateTime(text);

    // Year first: four digits, a separator, digits, the same separator,
    // digits, then the end or blanks and a clock time h:n[:s[.z]].
    qsizetype i = 0;
    const auto number = [&](int maxDigits, int* value) {
        const qsizetype start = i;
        while (i < text.size() && i - start < maxDigits && text[i].isDigit())
            ++i;
        if (i == start)
            return false;
        *value = text.mid(start, i - start).toInt();
        return true;
    };
    int year = 0, month = 0, day = 0;
    if (!number(4, &year) || i != 4 || i >= text.size())
        return 0;
    const QChar separator = text[i];
    if (separator != u'-' && separator != u'/' && separator != u'\\')
        return 0;
    ++i;
    if (!number(2, &month) || i >= text.size() || text[i] != separator)
        return 0;
    ++i;
    if (!number(2, &day) || !QDate::isValid(year, month, day))
        return 0;
    if (i < text.size() && text[i] != u' ')
        return 0;
    const qint64 days = QDate(year, month, day).toJulianDay() - epochJulianDay;

    qint64 msecsOfDay = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    int hour = 0, minute = 0, second = 0, msec = 0;
    if (number(2, &hour) && i < text.size() && text[i] == u':') {
        ++i;
        if (number(2, &minute)) {
            if (i < text.size() && text[i] == u':') {
                ++i;
                number(2, &second);
                if (i < text.size() && text[i] == u'.') {
                    ++i;
                    const qsizetype start = i;
                    number(3, &msec);
                    for (qsizetype n = i - start; n < 3; ++n)
                        msec *= 10;
                }
            }
            if (QTime::isValid(hour, minute, second, msec))
                msecsOfDay = QTime(hour, minute, second, msec).msecsSinceStartOfDay();
        }
    }
    return combine(days, msecsOfDay);
}

QString fixedFormText(const QDateTime& dateTime) {
    return dateTime.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
}

QString displayText(DateTimeValue value) {
    const DateAndTime parts = split(value);
    if (value == 0 || !parts.date.isValid())
        return QString();
    const QLocale locale;
    const QString date = locale.toString(parts.date, QLocale::ShortFormat);
    if (parts.time.hour() == 0 && parts.time.minute() == 0 && parts.time.second() == 0)
        return date;
    return date + u' ' + locale.toString(parts.time, longTimeFormatWithoutZone(locale));
}
