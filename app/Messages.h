#pragma once

#include <QString>

class QWidget;

// Text of the default error report: a full stop is added when the last
// character sorts after "." (a letter or a digit, for instance).
QString errorReportText(const QString& message);

// Critical box with OK, captioned with the application title.
void showErrorReport(const QString& message);

// Modal box with the text and OK, no icon, captioned with the application title.
void showPlainMessage(const QString& text);
