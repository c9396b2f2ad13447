#pragma once

#include <QStringList>

#include <functional>
#include <vector>

class ScriptSink;

// The commands of one view run, sent to the page in one round trip. When a
// command fails, its restore step puts back what the view showed when that
// command would have been sent alone, and the command's error goes on.
class CommandBatch {
public:
    explicit CommandBatch(ScriptSink& page);

    void add(const QString& command, std::function<void()> restore = {});
    // Sends what was added and empties the batch.
    void send();

private:
    ScriptSink& page_;
    QStringList commands_;
    std::vector<std::function<void()>> restores_;
};
