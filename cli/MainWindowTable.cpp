#include "MainWindowTable.h"

#include "files/HandChangeMarkers.h"
#include "files/PermanenceLines.h"
#include "files/TextFile.h"

#include <span>

namespace kw::cli {

QStringList ToPaths(const std::vector<std::string>& files) {
  QStringList paths;
  for (const std::string& file : files)
    paths << QString::fromLocal8Bit(file.c_str());
  return paths;
}

std::string LoadHandChangeListOrError() { return LoadHandChangeList().error.toStdString(); }

TableLoad LoadTableAsMainWindow(const std::vector<std::string>& files) {
  TableLoad load;
  load.error = LoadHandChangeListOrError();
  if (!load.error.empty())
    return load;
  const TextLines memo = ReadTextFiles(ToPaths(files));
  if (!memo.ok()) {
    load.error = memo.error.toStdString();
    return load;
  }
  for (const CoupEntry& entry : TransferEntries(std::span(memo.lines), HandChangeList()))
    load.table.EnterCoup(entry.text, entry.code);
  return load;
}

} // namespace kw::cli
