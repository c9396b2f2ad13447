#include "map/CallbackNumber.h"

#include <QLocale>
#include <cmath>

QString callbackNumberText(double value) {
    if (!std::isfinite(value))
        return QString::number(value);

    // "d.dddddddddddddde±x": the 15 significant digits and the exponent.
    const QString scientific = QString::number(std::fabs(value), 'e', 14);
    const qsizetype e = scientific.indexOf(u'e');
    QString digits = scientific.left(e).remove(u'.');
    int exponent = scientific.mid(e + 1).toInt();
    while (digits.size() > 1 && digits.endsWith(u'0'))
        digits.chop(1);
    if (digits == QLatin1String("0"))
        return QStringLiteral("0");

    const QString separator = QLocale().decimalPoint();
    QString text;
    if (std::fabs(value) < 1e-5 || exponent >= 15) {
        text = digits.left(1);
        if (digits.size() > 1)
            text += separator + digits.mid(1);
        text += QLatin1Char('E') + QString::number(exponent);
    } else if (exponent < 0) {
        text = QStringLiteral("0") + separator + QString(-exponent - 1, u'0') + digits;
    } else if (digits.size() > exponent + 1) {
        text = digits.left(exponent + 1) + separator + digits.mid(exponent + 1);
    } else {
        text = digits + QString(exponent + 1 - digits.size(), u'0');
    }
    return value < 0 ? QLatin1Char('-') + text : text;
}
