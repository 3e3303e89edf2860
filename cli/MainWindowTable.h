#pragma once

#include <QStringList>

#include <string>
#include <vector>

namespace kw {
class Workspace;
}

namespace kw::cli {

// The command line's file arguments as paths.
QStringList ToPaths(const std::vector<std::string>& files);

// Loads the data folder's hand-change list as the application does at start-up. Returns the
// German message when HWListe.txt exists but cannot be read (the command then stops), or an
// empty text.
std::string LoadHandChangeListOrError();

// The table the main window would evaluate, made by the workspace's own steps: the data
// folder's hand-change list loaded, the files opened one after another as "Datei(en)
// öffnen..." puts them into the memo, then "In Tabelle übertragen" into the workspace's empty
// table. Returns the German message naming what could not be read, or an empty text.
std::string OpenAndTransfer(Workspace& workspace, const std::vector<std::string>& files);

} // namespace kw::cli
