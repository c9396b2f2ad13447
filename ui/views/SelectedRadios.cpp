#include "ui/views/SelectedRadios.h"

#include "store/CoordinateText.h"

void SelectedRadios::rebuild(const QStringList& checkedTexts) {
    entries_.fill(0);
    int k = 1;
    for (const QString& text : checkedTexts) {
        bool isNumber = false;
        const qint32 id = FieldOf(text, u'-', 1).toInt(&isNumber, 10);
        if (!isNumber || id < 0)
            continue;
        if (k > lastEntry)
            break;
        entries_[k++] = id;
    }
}

qint32 SelectedRadios::firstRadio() const {
    for (int entry = 1; entry <= lastReadEntry; ++entry)
        if (entries_[entry] > 0)
            return entries_[entry];
    return 0;
}
