#pragma once

#include <QList>
#include <QStringList>

class QAbstractItemModel;

// A table model as it shows: its column titles, then every row's texts.
QList<QStringList> modelRows(const QAbstractItemModel& model);
