#pragma once

#include <QString>
#include <optional>

// Milliseconds between automatic refreshes for a number of seconds typed in
// the field; none when they do not fit the timer. Throws Error for a text
// that is no integer.
std::optional<int> autoRefreshIntervalMs(const QString& secondsText);
