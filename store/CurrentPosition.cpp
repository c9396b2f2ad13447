#include "store/CurrentPosition.h"

#include "store/TableCursor.h"

static QChar hemisphereOf(const TableCursor& table, const QString& column) {
    const QString letter = table.fieldAsText(column).trimmed();
    return letter.isEmpty() ? QChar() : letter.front().toUpper();
}

QString currentPairText(const TableCursor& table, QuotientRule rule) {
    return coordinatePairText(
        table.fieldAsText(QStringLiteral("lat")), hemisphereOf(table, QStringLiteral("ns")),
        table.fieldAsText(QStringLiteral("long")), hemisphereOf(table, QStringLiteral("ew")), rule);
}
