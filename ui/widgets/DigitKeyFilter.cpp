#include "ui/widgets/DigitKeyFilter.h"

#include "app/Messages.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace {
constexpr char16_t backspace = 8;
}

std::optional<char16_t> typedCharacter(const QKeyEvent& event) {
    switch (event.key()) {
    case Qt::Key_Backspace:
        return backspace;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Escape:
        return 27;
    default:
        break;
    }
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if ((modifiers & Qt::ControlModifier) && !(modifiers & Qt::AltModifier) &&
        event.key() >= Qt::Key_A && event.key() <= Qt::Key_Z)
        return char16_t(event.key() - Qt::Key_A + 1);
    const QString text = event.text();
    if (text.isEmpty() || text.front().unicode() < 0x20 || text.front().unicode() == 0x7f)
        return std::nullopt;
    return text.front().unicode();
}

bool DigitKeyFilter::accepts(char16_t character) {
    return character == backspace || (character >= u'0' && character <= u'9');
}

bool DigitKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const std::optional<char16_t> character = typedCharacter(*static_cast<QKeyEvent*>(event));
    if (!character)
        return false;
    if (!accepts(*character)) {
        showPlainMessage(QStringLiteral("Invalid key"));
        return true;
    }
    if (*character == backspace && static_cast<QKeyEvent*>(event)->key() != Qt::Key_Backspace) {
        if (auto* edit = qobject_cast<QLineEdit*>(watched))
            edit->backspace();
        return true;
    }
    return false;
}
