#pragma once

#include <QString>

// Reads one value the way the Windows profile-string reader does: section and
// key match case-insensitively, the value is trimmed and loses one pair of
// surrounding quotes, at most maxLength characters are returned, and a
// missing file, section or key gives the default. Never writes the file.
class IniReader {
public:
    static constexpr int maxLength = 2047;

    explicit IniReader(const QString& path);

    QString readString(const QString& section, const QString& key,
                       const QString& defaultValue = QString()) const;

private:
    QString path_;
};
