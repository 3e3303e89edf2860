#pragma once

#include <QString>

namespace kw {

// The folders the application works in. DataDir is the per-user data folder
// (".../Kesselwerk/"), or KESSELWERK_DATA_DIR when set (tests, portable installs).
// All returned paths end with a separator.
QString ProgramDir();
QString DataDir();
QString PermanenceDir();
QString TempDir();

// Creates the data folder and its permanence folder when missing.
void PrepareFolders();

// How a chosen file is shown in the settings: "...\" + name on Windows, ".../" + name
// elsewhere.
QString ShortFileDisplay(const QString& path);

} // namespace kw
