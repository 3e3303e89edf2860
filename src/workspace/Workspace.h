#pragma once

#include "core/PermanenceTable.h"
#include "files/HandChangeMarkers.h"
#include "files/PermanenceLines.h"
#include "files/Settings.h"
#include "files/TextFile.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kw {

class HandChangeListModel;

// Told of every change of the table as it happens, just before the signals announce it. A
// direct call costs a fraction of a signal's delivery, which matters to the table's journal:
// it follows every coup of a long evening's input.
class TableRecorder {
public:
  virtual ~TableRecorder() = default;
  virtual void RecordEntered(int row) = 0;
  virtual void RecordRemoved() = 0;
  virtual void RecordCleared() = 0;
  virtual void RecordAppended(int firstRow, int count) = 0;
};

// What the windows of one run share, and the one way to change it: the main window's
// permanence table, the hand-change working list, the files read at start-up, the current
// stake file and what the main window's text box M1 holds. Windows receive the workspace,
// call its steps and follow its signals; the command line opens and transfers files through
// the same steps. The path from a file to the table:
//   OpenFiles (the files' lines, or the error, for M1) -> TransferMemoText / TransferLines
//   (the five-line rule, information lines, markers) -> rows appended -> rowsAppended.
// Every change of the table is announced after it happened, by exactly one of four signals:
// rowsAppended (many rows at once), rowEntered (one coup or hand change), lastRowRemoved,
// allCleared. An action that changes nothing announces nothing.
class Workspace : public QObject {
  Q_OBJECT
public:
  explicit Workspace(QObject* parent = nullptr);
  ~Workspace() override;

  // --- The permanence table -------------------------------------------------------------
  const PermanenceTable& table() const { return table_; }

  // The pad's entry: a number 0..36, a hand change (50; text = the marker read, empty from
  // the pad), delete the last row (60) or clear the table (61).
  void EnterCoup(std::string_view text, int code);
  // Appends coups (0..36) and hand changes (50) in one go; other codes are passed over.
  void AppendRows(std::span<const CoupEntry> entries);
  // Appends rows as they were recorded (a restored table): coups 0..36 and hand changes 50,
  // the hand changes showing the labels given, in order. Other values are passed over.
  void RestoreRows(std::span<const uint8_t> values, std::span<const std::string> labels);
  // Empties every row and keeps the grid's row count (the table's delete button).
  void ClearTable();
  // The one recorder told of every change (null: none). A recorder that goes away first
  // sets null again.
  void SetRecorder(TableRecorder* recorder) { recorder_ = recorder; }
  TableRecorder* recorder() const { return recorder_; }

  // --- From files to the table ------------------------------------------------------------
  // The lines of every file one after another, as M1 takes them; on the first file that
  // cannot be read its error and no lines. Nothing in the workspace changes.
  TextLines OpenFiles(const QStringList& paths) const;
  // The start-up permanence for M1: nothing when none is set or the file no longer exists.
  std::optional<TextLines> OpenStartPermanence() const;
  // True when M1's lines are enough for a transfer (at least five, an empty last line
  // included); fewer transfer nothing and ask nothing.
  static bool CanTransfer(qsizetype lineCount);
  // "In Tabelle übertragen": the coups and hand changes of the lines, appended to the table
  // (whether to append or to clear first is the caller's question). Lines above the first
  // line of one or two characters are information lines; markers are those of the saved
  // hand-change list.
  void TransferLines(std::span<const std::string> lines);
  // The same for M1's text, its lines separated by line feeds.
  void TransferMemoText(std::string_view memoText);

  // --- The main window's text box M1 ------------------------------------------------------
  // Kept by the main window, so other windows can ask before replacing M1's text.
  bool MemoHoldsText() const { return memoHoldsText_; }
  void SetMemoHoldsText(bool holdsText) { memoHoldsText_ = holdsText; }
  // Replaces M1's text by these lines (the random generator's list): memoLinesHanded.
  void HandToMemo(const std::vector<std::string>& lines);

  // --- The hand-change working list ---------------------------------------------------------
  // The settings window's list; the pad labels its hand changes with the first entry.
  HandChangeListModel& handChangeList() const { return *handChangeList_; }
  // Loads HWListe.txt (the defaults when it is missing) as the saved list and the working
  // list. Returns the error of a list file that cannot be read; the lists are then kept.
  [[nodiscard]] QString LoadHandChangeList();
  // An entry at the end of the working list; it counts for files only once saved.
  void AddHandChangeEntry(std::string entry);
  // Writes the working list to HWListe.txt and reloads it. Returns the error or nothing.
  [[nodiscard]] QString SaveHandChangeList();
  // The working list without that row is saved first; the row leaves it only when saved.
  [[nodiscard]] QString RemoveHandChangeEntry(int row);
  // The save dialog's marker: appended and saved when it is not empty and not yet saved.
  MarkerRegistration RegisterHandChangeMarker(const std::string& marker);

  // --- The files read at start-up -----------------------------------------------------------
  // Reads [Dateien] of optionen.ini (empty when the file does not exist).
  void ReadStartFiles();
  const StartFiles& startFiles() const { return startFiles_; }
  // Changes a start-up file for this run; stored only by SaveStartFiles.
  void SetStartFile(QString StartFiles::*file, const QString& path);
  [[nodiscard]] QString SaveStartFiles() const;

  // --- The current stake file -----------------------------------------------------------------
  // The system test's stake file: the one last loaded or saved, empty for none.
  const QString& stakeFile() const { return stakeFile_; }
  void SetStakeFile(const QString& path);
  // Makes the current stake file the start-up one, written to optionen.ini at once and in
  // effect for this run. Returns the error; nothing changes then.
  [[nodiscard]] QString RememberStakeFileForStartUp();

signals:
  void rowsAppended(int firstRow, int count);
  void rowEntered(int row);
  void lastRowRemoved(int row);
  void allCleared();
  void memoLinesHanded(const std::vector<std::string>& lines);
  void startFilesChanged();
  void stakeFileChanged(const QString& path);

private:
  void followFirstHandChangeEntry();
  void announceEntered(int row);
  void announceRemoved(int row);
  void announceCleared();
  void announceAppended(int firstRow, int count);

  PermanenceTable table_;
  HandChangeListModel* handChangeList_;
  StartFiles startFiles_;
  QString stakeFile_;
  bool memoHoldsText_ = false;
  TableRecorder* recorder_ = nullptr;
};

} // namespace kw
