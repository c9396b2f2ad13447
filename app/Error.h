#pragma once

#include <QString>
#include <stdexcept>

// The one exception type of the program: whatever a handler leaves uncaught
// reaches the default error report with this message.
class Error : public std::runtime_error {
public:
    explicit Error(const QString& message)
        : std::runtime_error(message.toStdString())
        , message_(message) {}

    const QString& message() const { return message_; }

private:
    QString message_;
};
