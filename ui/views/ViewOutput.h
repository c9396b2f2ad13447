#pragma once

#include <QString>
#include <functional>

class ScriptSink;

// What a view writes to: the page's commands, the status bar text and the
// plain message box.
struct ViewOutput {
    ScriptSink& page;
    std::function<void(const QString&)> setStatus;
    std::function<void(const QString&)> showMessage;
};
