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

// "'<text>' is not a valid integer value", naming the column after the text
// when there is one.
inline Error notAnIntegerError(const QString& text, const QString& column = QString()) {
    const QString of = column.isEmpty() ? QString() : QStringLiteral(" of column ") + column;
    return Error(QLatin1Char('\'') + text + QLatin1Char('\'') + of +
                 QStringLiteral(" is not a valid integer value"));
}
