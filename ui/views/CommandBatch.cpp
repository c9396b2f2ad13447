#include "ui/views/CommandBatch.h"

#include "map/ScriptSink.h"

CommandBatch::CommandBatch(ScriptSink& page)
    : page_(page) {}

void CommandBatch::add(const QString& command, std::function<void()> restore) {
    commands_ << command;
    restores_.push_back(std::move(restore));
}

void CommandBatch::send() {
    if (commands_.isEmpty())
        return;
    const QStringList commands = std::exchange(commands_, {});
    const std::vector<std::function<void()>> restores = std::exchange(restores_, {});
    try {
        page_.runScriptCommands(commands);
    } catch (const ScriptCommandError& error) {
        if (error.index() >= 0 && error.index() < int(restores.size()) && restores[error.index()])
            restores[error.index()]();
        throw;
    }
}
