#pragma once

#include <QString>
#include <QStringList>

class TWebBrowser;

// The map page file: beside the executable, or in the user's data folder
// when the executable's folder cannot be written.
QString mapPagePath();

// The page's twenty lines (without line ends) for a browser control of the given size.
QStringList mapPageLines(const QString& apiKey, int width, int height);

// Removes the page file left from before, or the link in its place, and
// creates it anew and empty, with its folder when missing; throws Error
// naming the file when either fails.
void startPageFile(const QString& path);

// Appends one line and CR LF to the file, creating it when missing; throws Error on I/O failure.
void appendPageLine(const QString& path, const QString& line);

// Sleeps 10 ms and processes events until the page is interactive (the
// document parsed); no sleep when it is already.
void waitUntilInteractive(const TWebBrowser& browser);
