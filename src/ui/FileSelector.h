#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include <utility>
#include <vector>

class QComboBox;
class QLabel;
class QListWidget;

namespace kw {

// The filters of the run windows' file selection: permanence files, text files, all files.
const std::vector<std::pair<QString, QString>>& PermanenceFileFilters();

// The file selection of the analysis windows: drive (volume) list `DriveComboBox1`, folder
// list `DLB1`, filter list `Filter1` and the file list `File1` with several files
// selectable. The folder list shows the current folder's path from the volume root down and
// its subfolders; activating an entry opens that folder.
class FileSelector : public QWidget {
  Q_OBJECT
public:
  // filters: shown name and mask ("*.prm"), in list order; the list starts on `initial`.
  FileSelector(std::vector<std::pair<QString, QString>> filters, int initialFilter,
               QWidget* parent = nullptr);

  void setDirectory(const QString& path);
  QString directory() const { return directory_; }
  void setFilter(int index);
  // Whether the file list's caption counts the selected files ("Dateien[3]:") or stays
  // "Dateien:"; it counts unless switched off.
  void setSelectionCounted(bool counted);

  // The selected files as full paths, in the order of the list.
  QStringList selectedFiles() const;
  int fileCount() const;
  QListWidget* fileList() const { return files_; }

signals:
  void selectionChanged();
  // A double click on a file (the analysis windows start their run on it). Enter and a
  // desktop's single-click activation do not count: a run should never start by accident.
  void fileDoubleClicked();

private:
  void fillDrives();
  void fillFolders();
  void fillFiles();
  void updateFilesLabel();

  std::vector<std::pair<QString, QString>> filters_;
  QString directory_;
  QComboBox* drives_;
  QListWidget* folders_;
  QComboBox* filter_;
  QListWidget* files_;
  QLabel* filesLabel_;
  bool selectionCounted_ = true;
};

} // namespace kw
