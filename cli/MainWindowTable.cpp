#include "MainWindowTable.h"

#include "files/HandChangeMarkers.h"
#include "workspace/Workspace.h"

namespace kw::cli {

QStringList ToPaths(const std::vector<std::string>& files) {
  QStringList paths;
  for (const std::string& file : files)
    paths << QString::fromLocal8Bit(file.c_str());
  return paths;
}

std::string LoadHandChangeListOrError() { return LoadHandChangeList().error.toStdString(); }

std::string OpenAndTransfer(Workspace& workspace, const std::vector<std::string>& files) {
  if (const QString error = workspace.LoadHandChangeList(); !error.isEmpty())
    return error.toStdString();
  const TextLines memo = workspace.OpenFiles(ToPaths(files));
  if (!memo.ok())
    return memo.error.toStdString();
  workspace.TransferLines(memo.lines);
  return {};
}

} // namespace kw::cli
