#include "files/HandChangeMarkers.h"

#include "files/Folders.h"
#include "files/PermanenceLines.h"
#include "files/TextFile.h"

#include <QFileInfo>

namespace kw {
namespace {

std::vector<std::string>& loadedList() {
  static std::vector<std::string> list = DefaultHandChangeMarkers();
  return list;
}

} // namespace

const std::vector<std::string>& DefaultHandChangeMarkers() {
  static const std::vector<std::string> defaults = {"-", "--", "---", "----", "HW"};
  return defaults;
}

QString HandChangeListPath() { return DataDir() + QStringLiteral("HWListe.txt"); }

const std::vector<std::string>& HandChangeList() { return loadedList(); }

bool IsHandChange(std::string_view text) { return IsHandChangeIn(text, HandChangeList()); }

MarkerFile ReadHandChangeListFile(const QString& path) {
  // A folder of that name is not "missing": reading it reports the error.
  if (!QFileInfo::exists(path))
    return {DefaultHandChangeMarkers(), {}};
  TextLines file = ReadTextLines(path);
  if (!file.ok())
    return {{}, file.error};
  return {std::move(file.lines), {}};
}

MarkerListLoad LoadHandChangeList() {
  MarkerFile file = ReadHandChangeListFile(HandChangeListPath());
  if (!file.ok())
    return {static_cast<int>(loadedList().size()), file.error};
  loadedList() = std::move(file.entries);
  return {static_cast<int>(loadedList().size()), {}};
}

QString SaveHandChangeList(const std::vector<std::string>& entries) {
  // A marker outside Windows-1252 turns the list into UTF-8, so it reads back as written.
  QString error = WriteTextLines(HandChangeListPath(), entries, TextEncoding::Windows1252,
                                 Unencodable::WriteUtf8);
  if (error.isEmpty())
    error = LoadHandChangeList().error;
  return error;
}

MarkerRegistration RegisterHandChangeMarker(const std::string& marker,
                                            std::vector<std::string>& workingList) {
  if (marker.empty() || IsHandChange(marker))
    return {};
  std::vector<std::string> extended = workingList;
  extended.push_back(marker);
  if (QString error = SaveHandChangeList(extended); !error.isEmpty())
    return {false, error};
  workingList = std::move(extended);
  return {true, {}};
}

} // namespace kw
