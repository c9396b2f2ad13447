#include "export/CsvWriter.h"

QString csvField(const QString& text) {
    const bool needsQuotes =
        text.contains(u'"') || text.contains(u',') || text.contains(u'\n') || text.contains(u'\r');
    if (!needsQuotes)
        return text;
    QString quoted = text;
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
