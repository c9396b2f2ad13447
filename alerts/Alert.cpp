#include "alerts/Alert.h"

QString Alert::what() const {
    switch (kind) {
    case Kind::Entered:
        return QStringLiteral("entered ") + area;
    case Kind::Left:
        return QStringLiteral("left ") + area;
    case Kind::Silent:
        return QStringLiteral("silent: no report for %1 min").arg(minutes);
    case Kind::ReportingAgain:
        return QStringLiteral("reporting again after %1 min").arg(minutes);
    }
    return QString();
}
