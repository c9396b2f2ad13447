#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Comma-separated text as spreadsheets read it: UTF-8, CRLF line ends, a
// field quoted when it holds a quote, a comma or a line break, its quotes
// doubled.
QString csvField(const QString& text);
QByteArray csvDocument(const QList<QStringList>& rows);
