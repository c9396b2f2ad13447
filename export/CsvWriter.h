#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Comma-separated text as spreadsheets read it: UTF-8, CRLF line ends, a
// field quoted when it holds a quote, a comma or a line break, its quotes
// doubled. A field a spreadsheet would run as a formula (one beginning with
// =, +, -, @, a tab or a carriage return, unless it is a plain number such as
// -12.5) gets a leading apostrophe and quotes, so it shows as the text it is.
QString csvField(const QString& text);
QByteArray csvDocument(const QList<QStringList>& rows);
