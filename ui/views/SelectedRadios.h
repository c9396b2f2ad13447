#pragma once

#include <QStringList>
#include <array>

// The ids of the checked radios in tree order, entries 1 to 1024; entry 0 is
// never written and 0 marks an empty entry. Views read entries 1 to 255.
class SelectedRadios {
public:
    static constexpr int lastEntry = 1024;
    static constexpr int lastReadEntry = 255;

    qint32 operator[](int entry) const { return entries_[entry]; }

    // Rebuilds the list from the texts of the checked nodes in tree order:
    // the text before the first "-" read as a decimal integer of 0 or more;
    // other texts are passed over, ids past the last entry are dropped.
    void rebuild(const QStringList& checkedTexts);

    // The first entry from 1 to 255 that holds a radio, or 0.
    qint32 firstRadio() const;

private:
    std::array<qint32, lastEntry + 1> entries_{};
};
