#pragma once

#include <QString>

// Where the views send their map commands: the page, or a recorder in tests
// and benchmarks.
class ScriptSink {
public:
    virtual ~ScriptSink() = default;

    // Runs one command; throws Error with the page's message when it fails.
    virtual void runScriptCommand(const QString& command) = 0;
};
