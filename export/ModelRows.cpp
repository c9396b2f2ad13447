#include "export/ModelRows.h"

#include <QAbstractItemModel>

QList<QStringList> modelRows(const QAbstractItemModel& model) {
    const int columns = model.columnCount();
    QList<QStringList> rows;
    QStringList titles;
    for (int column = 0; column < columns; ++column)
        titles << model.headerData(column, Qt::Horizontal).toString();
    rows << titles;
    for (int row = 0; row < model.rowCount(); ++row) {
        QStringList texts;
        for (int column = 0; column < columns; ++column)
            texts << model.index(row, column).data().toString();
        rows << texts;
    }
    return rows;
}
