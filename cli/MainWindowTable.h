#pragma once

#include "core/PermanenceTable.h"

#include <QStringList>

#include <string>
#include <vector>

namespace kw::cli {

// The command line's file arguments as paths.
QStringList ToPaths(const std::vector<std::string>& files);

// Loads the data folder's hand-change list as the application does at start-up. Returns the
// German message when HWListe.txt exists but cannot be read (the command then stops), or an
// empty text.
std::string LoadHandChangeListOrError();

struct TableLoad {
  PermanenceTable table;
  std::string error; // the German message naming what could not be read
};

// The table the main window would evaluate: the data folder's hand-change list loaded, the
// files read one after another as "Datei(en) öffnen..." puts them into the memo, then
// "In Tabelle übertragen" into an empty table.
TableLoad LoadTableAsMainWindow(const std::vector<std::string>& files);

} // namespace kw::cli
