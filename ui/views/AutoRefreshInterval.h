#pragma once

#include <QString>
#include <variant>

// Milliseconds between automatic refreshes for a number of seconds typed in
// the field, or the message that refuses them (negative, or too long for the
// timer). Throws Error for a text that is no integer.
std::variant<int, QString> autoRefreshIntervalMs(const QString& secondsText);
