#pragma once

#include "app/Error.h"
#include "map/ScriptSink.h"
#include "ui/views/ViewOutput.h"

#include <QStringList>

// Stands in for the page: records the commands, the status texts and the
// messages a view produces; can fail at a given command like the page would.
struct RecordingSink : ScriptSink {
    QStringList commands;
    QStringList statuses;
    QStringList messages;
    int failAt = -1;
    int roundTrips = 0;

    void runScriptCommand(const QString& command) override {
        ++roundTrips;
        if (commands.size() == failAt)
            throw Error(QStringLiteral("SyntaxError: rejected"));
        commands << command;
    }

    void runScriptCommands(const QStringList& batch) override {
        ++roundTrips;
        for (int i = 0; i < batch.size(); ++i) {
            if (commands.size() == failAt)
                throw ScriptCommandError(QStringLiteral("SyntaxError: rejected"), i);
            commands << batch[i];
        }
    }

    ViewOutput output() {
        return {*this, [this](const QString& text) { statuses << text; },
                [this](const QString& text) { messages << text; }};
    }
};
