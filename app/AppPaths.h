#pragma once

#include <QString>

// The program's files: the database is opened from the working directory;
// the INI file and the map page sit beside the executable, or, when the
// program is installed, in the system's and the user's folders below.
inline constexpr char databaseFileName[] = "tavirelmonkas.db";
inline constexpr char iniFileName[] = "tavirelmonkas.ini";
inline constexpr char mapPageFileName[] = "pelmormapsview.html";

// The program's own URL scheme and the host under it that answers the map page.
inline constexpr char mapScheme[] = "pelmor";
inline constexpr char mapHost[] = "maps.pelmor";

// Full path of a file in the directory of the running executable; the current
// working directory plays no part.
QString besideExecutable(const QString& fileName);

// The folder name under /etc, ~/.config and ~/.local/share: the executable's
// name, not the application's title, which Qt would use and which may change.
inline constexpr char installFolderName[] = "coorpos";
inline constexpr char systemConfigFolder[] = "/etc/coorpos";

// The INI file in use: beside the executable, else in /etc/coorpos, else in
// the user's configuration folder (~/.config/coorpos).
QString iniFilePath();

// The map page's folder: beside the executable when that folder can be
// written, else the user's data folder (~/.local/share/coorpos), which may
// not exist yet.
QString mapPageFolder();
