#pragma once

#include "app/Error.h"

#include <QString>
#include <QStringList>

// A command of a batch failed: the page's message, and where in the batch.
class ScriptCommandError : public Error {
public:
    ScriptCommandError(const QString& message, int index)
        : Error(message)
        , index_(index) {}

    int index() const { return index_; }

private:
    int index_;
};

// Where the views send their map commands: the page, or a recorder in tests
// and benchmarks.
class ScriptSink {
public:
    virtual ~ScriptSink() = default;

    // Runs one command; throws Error with the page's message when it fails.
    virtual void runScriptCommand(const QString& command) = 0;

    // Runs the commands in order in one round trip and stops at the first
    // that fails, throwing ScriptCommandError; those before it keep their
    // effect. Any other failure throws Error before a command has run.
    virtual void runScriptCommands(const QStringList& commands) = 0;
};
