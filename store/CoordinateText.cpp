#include "store/CoordinateText.h"

#include "app/Error.h"

#include <cmath>
#include <optional>

namespace {

[[noreturn]] void failConversion(const QString& stored) {
    throw Error(QStringLiteral("'%1' is not a valid coordinate").arg(stored));
}

bool isDigitsOnly(QStringView text) {
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

bool hasSign(QStringView text) {
    return text.startsWith(u'-') || text.startsWith(u'+');
}

// The degrees as a script number: blanks around them and a leading "+"
// dropped, leading zeros dropped down to one digit, an empty part written "0".
// Many writers pad longitudes to three digits, and "070" in a script command
// is read as an old-style octal literal followed by garbage.
std::optional<QString> canonicalDegrees(QStringView stored) {
    QStringView degrees = stored.trimmed();
    if (degrees.isEmpty())
        return QStringLiteral("0");
    const bool negative = degrees.startsWith(u'-');
    if (hasSign(degrees))
        degrees = degrees.mid(1);
    if (!isDigitsOnly(degrees))
        return std::nullopt;
    while (degrees.size() > 1 && degrees.startsWith(u'0'))
        degrees = degrees.mid(1);
    return (negative ? QStringLiteral("-") : QString()) + degrees.toString();
}

// N / 60 to the nearest integer, a tie to the even neighbour.
qint64 roundedQuotient(qint64 n) {
    const qint64 quotient = n / 60;
    const qint64 remainder = n % 60;
    if (remainder > 30 || (remainder == 30 && quotient % 2 != 0))
        return quotient + 1;
    return quotient;
}

// "41" -> "42", "-99" -> "-100": the degrees one further from zero, sign kept.
QString degreesCarried(const QString& degrees) {
    const qsizetype signLength = hasSign(degrees) ? 1 : 0;
    QString digits = degrees.mid(signLength);
    qsizetype i = digits.size() - 1;
    while (i >= 0 && digits[i] == u'9') {
        digits[i] = u'0';
        --i;
    }
    if (i < 0)
        digits.prepend(u'1');
    else
        digits[i] = QChar(digits[i].unicode() + 1);
    return degrees.left(signLength) + digits;
}

} // namespace

QString FieldOf(const QString& text, QChar delimiter, int n) {
    QStringView rest(text);
    // Once no delimiter is left the text stays as it is, however large n.
    for (int i = 1; i < n; ++i) {
        const qsizetype at = rest.indexOf(delimiter);
        if (at < 0)
            break;
        rest = rest.mid(at + 1);
    }
    const qsizetype at = rest.indexOf(delimiter);
    return (at >= 0 ? rest.left(at) : rest).toString();
}

namespace {

// Stored text as the map reads it, before the minutes are divided.
struct StoredCoordinate {
    QString degrees; // a script number, signed by the hemisphere letter too
    qint64 fraction; // the digits after the point: ten-thousandths of a minute
    // Minutes below 60 in six digits at most: only these may be rounded up to
    // a full degree; anything else that gets there is malformed text.
    bool mayCarry;
};

StoredCoordinate readStored(const QString& stored, QChar hemisphere) {
    // The degrees go into a script command as a number: anything but a sign
    // and digits there would run as script.
    const std::optional<QString> canonical = canonicalDegrees(FieldOf(stored, u'.', 0));
    if (!canonical)
        failConversion(stored);
    QString degrees = *canonical;
    const QString fraction = FieldOf(stored, u'.', 2);

    // A sign in the fraction ("41.-5") has no meaning as minutes.
    if (!isDigitsOnly(fraction))
        failConversion(stored);
    bool ok = false;
    const qint64 n = fraction.toInt(&ok, 10);
    if (!ok)
        failConversion(stored);

    const QChar letter = hemisphere.toUpper();
    if ((letter == u'S' || letter == u'W') && !hasSign(degrees))
        degrees.prepend(u'-');
    return {degrees, n, fraction.size() <= 6 && n < 600000};
}

qint64 quotientOf(qint64 fraction, QuotientRule rule) {
    return rule == QuotientRule::Truncating ? fraction / 60 : roundedQuotient(fraction);
}

} // namespace

QString ToDecimalDegrees(const QString& stored, QuotientRule rule, QChar hemisphere) {
    const StoredCoordinate coordinate = readStored(stored, hemisphere);
    QString degrees = coordinate.degrees;
    qint64 quotient = quotientOf(coordinate.fraction, rule);
    if (quotient >= 10000) {
        if (!coordinate.mayCarry)
            failConversion(stored);
        degrees = degreesCarried(degrees);
        quotient -= 10000;
    }
    return degrees + u'.' + QString::number(quotient).rightJustified(4, u'0');
}

double decimalDegrees(const QString& stored, QChar hemisphere) {
    const StoredCoordinate coordinate = readStored(stored, hemisphere);
    if (quotientOf(coordinate.fraction, QuotientRule::Rounding) >= 10000 && !coordinate.mayCarry)
        failConversion(stored);
    // The fraction is added to the degrees' magnitude, as the map's text
    // writes it after them: "-0.300000" is -0.5.
    const double magnitude =
        std::abs(coordinate.degrees.toDouble()) + double(coordinate.fraction) / 600000.0;
    return coordinate.degrees.startsWith(u'-') ? -magnitude : magnitude;
}

QString coordinatePairText(const QString& lat, QChar ns, const QString& lng, QChar ew,
                           QuotientRule rule) {
    const QString latitude = ToDecimalDegrees(lat, rule, ns);
    return latitude + u',' + ToDecimalDegrees(lng, rule, ew);
}
