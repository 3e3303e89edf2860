#pragma once

#include "workspace/Workspace.h"

#include <QFile>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kw {

// The table as a journal recorded it: its rows in order (0..36 a coup, 50 a hand change) and
// the label shown by every hand change, in the same order.
struct RecordedTable {
  std::vector<uint8_t> values;
  std::vector<std::string> labels;
  // True when the journal went on past its last sound record (a write cut short, damage):
  // what came before it is in values and labels, the rest was passed over.
  bool damaged = false;

  int coups() const;
};

// The journal of the main window's table in the data folder.
QString TableJournalPath();

// Reads a journal: every sound record from the start up to the first one that is cut short,
// fails its checksum or holds what no table can hold. Never fails: a file that is not a
// journal at all gives an empty table marked damaged.
RecordedTable ReadTableJournal(std::span<const char> bytes);
// The same for a file; a missing or unreadable file gives an empty table.
RecordedTable ReadTableJournalFile(const QString& path);

// Records every change of the workspace's table at once, so that a later start can rebuild it
// after an end of any kind. The journal is an append-only file of small records, each with
// its own checksum: a coup, a hand change with its label, the last row removed, the table
// cleared, and rows appended in bulk (a transfer) as one record of their values.
//
// The records are written into a shared memory map of the file: they are in the kernel's
// page cache as soon as they are written, so a crash or a killed process loses nothing, and
// a coup costs a few bytes of copying instead of a system call. The pages are forced to the
// disk two seconds after the first change not yet forced (and at the end): a power cut can
// lose at most the changes of the last two seconds before it. The file's space is allocated
// before it is mapped, so a full disk is an error reported once, never a crash.
//
// When the journal has grown well beyond the table it describes, it is replaced by a fresh
// one that starts with the whole table (written through QSaveFile, so a journal is always
// whole: the old one until the new one is complete).
class TableJournal : public QObject, private TableRecorder {
  Q_OBJECT
public:
  // Starts a fresh journal at path holding the workspace's table as it is now, and records
  // every later change. On an error (see error()) nothing is recorded.
  TableJournal(Workspace& workspace, QString path, QObject* parent = nullptr);
  ~TableJournal() override;
  TableJournal(const TableJournal&) = delete;
  TableJournal& operator=(const TableJournal&) = delete;

  bool isRecording() const { return map_ != nullptr; }
  // Why the journal records nothing (empty while it records).
  const QString& error() const { return error_; }
  // Forces what was recorded to the disk.
  void Sync();

  // Bytes the journal holds now (its records, not the space allocated ahead).
  qint64 size() const { return used_; }

signals:
  // The journal stopped recording (a full disk, a data folder that cannot be written); the
  // message says so in German for the user.
  void failed(const QString& message);

private:
  void RecordEntered(int row) override;
  void RecordRemoved() override;
  void RecordCleared() override;
  void RecordAppended(int firstRow, int count) override;
  void stopRecording();
  void append(const std::string& record);
  bool reserve(qint64 bytes);
  // Replaces the journal by one holding only the table as it is now.
  bool startFresh();
  void closeMap();
  void fail(const QString& reason);

  Workspace& workspace_;
  QPointer<Workspace> workspaceAlive_; // null once the workspace went first
  QString path_;
  const std::array<std::string, 37>& coupRecords_;
  bool timed_;
  QFile file_;
  uchar* map_ = nullptr;
  qint64 capacity_ = 0;
  qint64 used_ = 0;
  qint64 compactAt_ = 0;
  bool unsynced_ = false;
  QTimer syncTimer_;
  QString error_;
};

} // namespace kw
