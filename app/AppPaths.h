#pragma once

#include <QString>

// The program's files: the database is opened from the working directory,
// the INI file and the map page sit beside the executable.
inline constexpr char databaseFileName[] = "tavirelmonkas.db";
inline constexpr char iniFileName[] = "tavirelmonkas.ini";
inline constexpr char mapPageFileName[] = "pelmormapsview.html";

// The program's own URL scheme and the host under it that answers the map page.
inline constexpr char mapScheme[] = "pelmor";
inline constexpr char mapHost[] = "maps.pelmor";

// Full path of a file in the directory of the running executable; the current
// working directory plays no part.
QString besideExecutable(const QString& fileName);
