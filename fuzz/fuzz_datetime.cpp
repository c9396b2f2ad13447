// Date-time reading. Any text read as a fixed-form or stored time, and any
// value shown; a date and time drawn from the input must come back exactly
// from each text form the program reads.

#include "fuzz/FuzzCheck.h"
#include "store/DateTimeValue.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

struct Reader {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;

    unsigned next(unsigned range) {
        unsigned value = 0;
        for (int i = 0; i < 3 && at < size; ++i)
            value = value << 8 | data[at++];
        return value % range;
    }
};

void checkRoundTrip(const std::uint8_t* data, std::size_t size) {
    Reader in{data, size};
    const int year = 1 + int(in.next(9999));
    const int month = 1 + int(in.next(12));
    const int day = 1 + int(in.next(unsigned(QDate(year, month, 1).daysInMonth())));
    const QDate date(year, month, day);
    const QTime time = QTime::fromMSecsSinceStartOfDay(int(in.next(86400000)));
    const QDateTime dateTime(date, time);
    const DateTimeValue value = toDateTimeValue(dateTime);

    const QString fixedForm = fixedFormText(dateTime);
    fuzzCheck(readFixedFormDateTime(fixedForm) == value, "fixed form reads back exactly");
    fuzzCheck(readStoredDateTime(fixedForm) == value, "stored fixed form reads back exactly");
    const QDateTime back = fromDateTimeValue(value);
    fuzzCheck(back.date() == date && back.time() == time, "the value gives the date and time");

    for (const char* format : {"yyyy/M/d H:mm:ss.zzz", "yyyy\\MM\\dd HH:mm:ss.zzz"}) {
        const QString text = dateTime.toString(QString::fromLatin1(format));
        fuzzCheck(readStoredDateTime(text) == value, "a year-first time reads back exactly");
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Local times in a daylight-saving gap would not round-trip.
    qputenv("TZ", "UTC");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const DateTimeValue value : {readFixedFormDateTime(text), readStoredDateTime(text)}) {
        fuzzCheck(std::isfinite(value), "a read time is finite");
        displayText(value);
    }

    // Any value a column may hold, shown as the grid and the bubble show it.
    if (size >= sizeof(double)) {
        double value = 0;
        std::memcpy(&value, data, sizeof value);
        displayText(value);
        fromDateTimeValue(value);
    }

    checkRoundTrip(data, size);
    return 0;
}
