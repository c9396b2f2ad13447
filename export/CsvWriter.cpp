#include "export/CsvWriter.h"

#include <QRegularExpression>

namespace {

bool startsAFormula(const QString& text) {
    static const QRegularExpression plainNumber(
        QStringLiteral("^[+-]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    return !text.isEmpty() && formulaStarts.contains(text.front()) &&
           !plainNumber.match(text).hasMatch();
}

} // namespace

QString csvField(const QString& text) {
    const bool formula = startsAFormula(text);
    const bool needsQuotes = formula || text.contains(u'"') || text.contains(u',') ||
                             text.contains(u'\n') || text.contains(u'\r');
    if (!needsQuotes)
        return text;
    QString quoted = formula ? u'\'' + text : text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QByteArray csvDocument(const QList<QStringList>& rows) {
    QString text;
    for (const QStringList& row : rows) {
        QStringList fields;
        fields.reserve(row.size());
        for (const QString& field : row)
            fields << csvField(field);
        text += fields.join(u',') + QStringLiteral("\r\n");
    }
    return text.toUtf8();
}
