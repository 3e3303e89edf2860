#pragma once

#include <QString>

#include <string>
#include <string_view>
#include <vector>

namespace kw {

// The hand-change list: the texts that mark a hand change in a permanence file. It is kept
// in HWListe.txt in the data folder, one entry per line, taken as it stands (not trimmed).
// The file is Windows-1252, or UTF-8 with its byte-order mark when an entry holds a
// character outside Windows-1252.

// "-", "--", "---", "----", "HW": the list when HWListe.txt does not exist.
const std::vector<std::string>& DefaultHandChangeMarkers();

// DataDir() + "HWListe.txt".
QString HandChangeListPath();

// The loaded list (the defaults until LoadHandChangeList has run).
const std::vector<std::string>& HandChangeList();

// True when the text equals an entry of the loaded list exactly.
bool IsHandChange(std::string_view text);

struct MarkerFile {
  std::vector<std::string> entries;
  QString error; // empty when read (a missing file is no error: it gives the defaults)

  bool ok() const { return error.isEmpty(); }
};

// The entries of a list file: the defaults when it is missing, no entry for an empty file.
MarkerFile ReadHandChangeListFile(const QString& path);

struct MarkerListLoad {
  int count = 0; // entries of the list now loaded
  QString error; // a list file that exists but cannot be read; the list is then kept
};

// Replaces the loaded list by the one in HWListe.txt (or the defaults).
MarkerListLoad LoadHandChangeList();

// Writes the settings window's working list to HWListe.txt and reloads the list. Returns
// the German error message, or an empty text when written.
[[nodiscard]] QString SaveHandChangeList(const std::vector<std::string>& entries);

struct MarkerRegistration {
  bool added = false;
  QString error;
};

// What the save dialog does with the marker typed into it: a marker that is not empty and not
// in the loaded list is appended to the settings window's working list, which is saved and
// reloaded. The working list changes only when it was saved.
MarkerRegistration RegisterHandChangeMarker(const std::string& marker,
                                            std::vector<std::string>& workingList);

} // namespace kw
