#pragma once
// Where the program reads and where it writes.
//
// A program whose folder the user may write, outside /usr (a build folder, a copy on a stick),
// keeps everything beside itself, as it always has. An installed program's folder belongs to
// root: it still reads its supplied files there, but writes for each user into the user's own
// folders, after the XDG base directories:
//   settings  $XDG_CONFIG_HOME/zep/zeptest.ini  (normally ~/.config/zep/zeptest.ini)
//   reports   $XDG_STATE_HOME/zep/              (normally ~/.local/state/zep/): REPORT.PRN and
//             the bulk print's numbered copies
// Both folders are made on first use, for the user alone. An installed program reads an
// office's own copies of the supplied files (scoring data, report texts, the question bank)
// from $ZEP_SITE_DIR, or /etc/zep, before its own.
#include <QString>

constexpr const char* DefaultSiteFolder = "/etc/zep";

// The rule that tells the two apart: installed when the folder lies under /usr, or when the
// user may not write it.
bool IsInstalledProgramFolder(const QString& folder);

// Points the settings file, the state folder and the office's folder of program() at the
// user's folders, making the missing ones. Empty, or why a folder could not be made.
QString UseUserFolders();

// UseUserFolders for an installed program (by program().ProgramFolder); nothing otherwise.
QString UseFoldersOfProgram();

// Makes `path` and any missing folder above it, the new ones for the user alone (0700), and
// checks that it is a folder of the user's own. Returns 0 or an errno number.
int MakePrivateFolder(const QString& path);
