// FieldOf, ToDecimalDegrees and decimalDegrees. Input: one byte choosing the
// rule and the hemisphere letter, four bytes of field number, two of
// delimiter, then the text as UTF-8. A converted coordinate goes into a
// script command as a number, so it must be one.

#include "app/Error.h"
#include "fuzz/FuzzCheck.h"
#include "store/CoordinateText.h"

#include <QRegularExpression>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>

namespace {

const QRegularExpression decimalDegreesText(QStringLiteral("^-?(0|[1-9][0-9]*)\\.[0-9]{4}$"));

void checkConversion(const QString& stored, QuotientRule rule, QChar hemisphere) {
    try {
        const QString result = ToDecimalDegrees(stored, rule, hemisphere);
        fuzzCheck(decimalDegreesText.match(result).hasMatch(),
                  "a conversion gives a decimal number");
    } catch (const Error& error) {
        fuzzCheck(error.message().contains(stored), "the error names the text");
    }
}

// The full value converts where the map's rounded text does, within half of
// its last digit (where a double still holds that digit).
void checkFullPrecision(const QString& stored, QChar hemisphere) {
    std::optional<QString> rounded;
    try {
        rounded = ToDecimalDegrees(stored, QuotientRule::Rounding, hemisphere);
    } catch (const Error&) {
    }
    try {
        const double full = decimalDegrees(stored, hemisphere);
        fuzzCheck(rounded.has_value(), "full precision converts only what the map converts");
        const double map = rounded->toDouble();
        fuzzCheck(std::abs(map) > 1e6 || std::abs(full - map) <= 0.00005 + 1e-9,
                  "the full value rounds to the map's text");
    } catch (const Error& error) {
        fuzzCheck(!rounded.has_value(), "full precision converts what the map converts");
        fuzzCheck(error.message().contains(stored), "the error names the text");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t header = 7;
    if (size < header)
        return 0;
    const QuotientRule rule = data[0] & 1 ? QuotientRule::Rounding : QuotientRule::Truncating;
    static constexpr char16_t letters[] = {0, u'N', u'S', u'E', u'W', u's', u'w', u'x'};
    const QChar hemisphere(letters[(data[0] >> 1) & 7]);
    std::int32_t n = 0;
    std::memcpy(&n, data + 1, sizeof n);
    char16_t delimiter = 0;
    std::memcpy(&delimiter, data + 5, sizeof delimiter);
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data + header), qsizetype(size - header));

    const QString field = FieldOf(text, QChar(delimiter), n);
    fuzzCheck(text.contains(field), "a field is part of the text");
    fuzzCheck(!field.contains(QChar(delimiter)), "a field holds no delimiter");

    checkConversion(text, rule, hemisphere);
    checkFullPrecision(text, hemisphere);
    return 0;
}
