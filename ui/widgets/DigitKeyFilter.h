#pragma once

#include <QObject>
#include <optional>

class QKeyEvent;

// The character a key press types, as the platform delivers it to an edit
// field: Enter 13, Esc 27, Backspace 8, Ctrl+letter 1 to 26; none for keys
// that type nothing (arrows, Delete, Home, End, Tab).
std::optional<char16_t> typedCharacter(const QKeyEvent& event);

// Number fields accept digits and backspace; any other typed character shows
// "Invalid key" and is dropped. Ctrl+H is a backspace.
class DigitKeyFilter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    static bool accepts(char16_t character);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
