#include "ui/views/MarkerLabels.h"

QString MarkerLabels::titleOf(const QString& radioId, qint32 radio) const {
    const QString name = names.value(radio);
    QString title = (name.isEmpty() ? radioId : radioId + QLatin1Char(' ') + name).simplified();
    if (title.size() > maxTitleLength) {
        qsizetype keep = maxTitleLength - 1;
        if (title[keep - 1].isHighSurrogate())
            --keep;
        title = title.left(keep) + QChar(0x2026);
    }
    return title;
}
