// The table's journal: what it records of every change, how a later start rebuilds the table
// from it, and what it does with a journal cut short or damaged.
#include "workspace/TableJournal.h"

#include "core/RouletteTables.h"
#include "files/DataDirFixture.h"
#include "workspace/HandChangeListModel.h"
#include "workspace/Workspace.h"

#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace kw {
namespace {

// Everything the grid shows of a table, its counts and where it is scrolled to.
struct Shown {
  std::vector<std::string> cells;
  int coups = 0;
  int handChanges = 0;
  int topRow = 0;
  bool operator==(const Shown&) const = default;
};

Shown ShownOf(const PermanenceTable& table) {
  Shown shown{{}, table.CoupCount(), table.HandChangeCount(), table.TopRow()};
  for (int row = 1; row <= table.UsedRows(); ++row)
    for (int column = 0; column < 4; ++column)
      shown.cells.push_back(table.CellText(row, column));
  return shown;
}

// The table a later start rebuilds from these journal bytes.
Shown Restored(const RecordedTable& recorded) {
  Workspace workspace;
  workspace.RestoreRows(recorded.values, recorded.labels);
  return ShownOf(workspace.table());
}

QByteArray FileBytes(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly));
  return file.readAll();
}

RecordedTable Read(const QByteArray& bytes) {
  return ReadTableJournal(std::span(bytes.constData(), static_cast<size_t>(bytes.size())));
}

using Step = std::function<void(Workspace&)>;

// One of each change: pad coups, pad hand changes labelled by the list's first entry (which
// changes in between), a transfer with markers, the last row removed, both clears.
std::vector<Step> EveryKindOfChange() {
  auto coup = [](int n) { return Step([n](Workspace& w) { w.EnterCoup({}, n); }); };
  return {
      coup(17),
      coup(0),
      [](Workspace& w) { w.EnterCoup({}, HandChangeCode); },
      [](Workspace& w) { w.AddHandChangeEntry("Tisch 2"); },
      [](Workspace& w) { w.EnterCoup({}, HandChangeCode); },
      [](Workspace& w) {
        w.TransferLines(std::vector<std::string>{"Info", "5", "----HW----", "36", "12", "-- a --"});
      },
      [](Workspace& w) { w.EnterCoup({}, PermanenceTable::DeleteLastCode); },
      coup(3),
      [](Workspace& w) { w.EnterCoup({}, PermanenceTable::ClearAllCode); },
      coup(8),
      [](Workspace& w) {
        std::vector<CoupEntry> many;
        for (int i = 0; i < 40; ++i)
          many.push_back({i % 7 == 0 ? "Handwechsel" : "", i % 7 == 0 ? HandChangeCode : i % 37});
        w.AppendRows(many);
      },
      [](Workspace& w) { w.EnterCoup({}, PermanenceTable::DeleteLastCode); },
      [](Workspace& w) { w.ClearTable(); },
      coup(1),
      coup(2),
  };
}

class TableJournalTest : public test::DataDirTest {};

// After every step the journal on disk rebuilds exactly the table as it is: rows, labels,
// counts and the newest rows in view.
TEST_F(TableJournalTest, RebuildsTheTableAfterEveryKindOfChange) {
  Workspace workspace;
  TableJournal journal(workspace, TableJournalPath());
  ASSERT_TRUE(journal.isRecording()) << journal.error().toStdString();
  int step = 0;
  for (const Step& change : EveryKindOfChange()) {
    change(workspace);
    const RecordedTable recorded = ReadTableJournalFile(TableJournalPath());
    EXPECT_FALSE(recorded.damaged) << "step " << step;
    EXPECT_EQ(Restored(recorded), ShownOf(workspace.table())) << "step " << step;
    ++step;
  }
}

// A journal started over a restored table holds it (labels included) before any change.
TEST_F(TableJournalTest, AFreshJournalHoldsTheTableItStartsWith) {
  Workspace workspace;
  workspace.AddHandChangeEntry("-Croupier B-");
  workspace.EnterCoup({}, 21);
  workspace.EnterCoup({}, HandChangeCode);
  workspace.EnterCoup({}, 34);
  TableJournal journal(workspace, TableJournalPath());
  EXPECT_EQ(Restored(ReadTableJournalFile(TableJournalPath())), ShownOf(workspace.table()));
}

// A power cut can leave a journal cut short at any byte, or with garbage after a record.
// Every cut restores the table as it was after the last whole record before it, and says
// it was damaged when part of a record was lost.
TEST_F(TableJournalTest, AJournalCutAnywhereRestoresEverythingBeforeTheCut) {
  Workspace workspace;
  TableJournal journal(workspace, TableJournalPath());
  std::vector<qint64> ends{journal.size()};
  std::vector<Shown> states{ShownOf(workspace.table())};
  for (const Step& change : EveryKindOfChange()) {
    change(workspace);
    if (journal.size() != ends.back()) {
      ends.push_back(journal.size());
      states.push_back(ShownOf(workspace.table()));
    }
  }
  // Every step changes the table (one record each) but the one adding a list entry.
  ASSERT_EQ(ends.size(), EveryKindOfChange().size());
  journal.Sync();
  const QByteArray whole = FileBytes(TableJournalPath()).left(ends.back());
  size_t last = 0;
  for (qint64 cut = static_cast<qint64>(ends.front()); cut <= whole.size(); ++cut) {
    while (last + 1 < ends.size() && ends[last + 1] <= cut)
      ++last;
    const RecordedTable recorded = Read(whole.left(cut));
    ASSERT_EQ(Restored(recorded), states[last]) << "cut at " << cut;
    EXPECT_EQ(recorded.damaged, cut != ends[last]) << "cut at " << cut;
    // The same cut followed by the zeros of space allocated ahead is no damage.
    EXPECT_EQ(Read(whole.left(cut) + QByteArray(64, '\0')).damaged, cut != ends[last]);
  }
}

// A byte changed inside a record: that record and everything after it are passed over.
TEST_F(TableJournalTest, AChangedByteEndsTheRestoreAtItsRecord) {
  Workspace workspace;
  TableJournal journal(workspace, TableJournalPath());
  for (int n : {4, 5, 6})
    workspace.EnterCoup({}, n);
  const qint64 beforeSeven = journal.size();
  for (int n : {7, 8})
    workspace.EnterCoup({}, n);
  journal.Sync();
  QByteArray bytes = FileBytes(TableJournalPath()).left(journal.size());
  for (qint64 at = beforeSeven; at < beforeSeven + 6; ++at) {
    QByteArray damaged = bytes;
    damaged[at] = static_cast<char>(damaged[at] ^ 0x10);
    const RecordedTable recorded = Read(damaged);
    EXPECT_EQ(recorded.values, (std::vector<uint8_t>{4, 5, 6})) << "byte " << at;
    EXPECT_TRUE(recorded.damaged);
  }
  EXPECT_TRUE(Read("kein Journal").values.empty());
  EXPECT_TRUE(Read("kein Journal").damaged);
  EXPECT_FALSE(Read({}).damaged);
}

// Transfer after transfer, each cleared again: the journal is replaced by a fresh one now
// and then, so it stays bounded (without that, 40 transfers of half a million rows would make
// it 20 MB), and what it restores is still the whole table.
TEST_F(TableJournalTest, StaysBoundedOverManyTransfers) {
  Workspace workspace;
  TableJournal journal(workspace, TableJournalPath());
  std::vector<CoupEntry> block;
  for (int i = 0; i < 500'000; ++i)
    block.push_back({i % 101 == 0 ? "--Tisch--" : "", i % 101 == 0 ? HandChangeCode : i % 37});
  qint64 largest = 0;
  for (int round = 0; round < 40; ++round) {
    workspace.AppendRows(block);
    largest = std::max(largest, journal.size());
    workspace.ClearTable();
  }
  workspace.AppendRows(std::span(block).first(1000));
  workspace.EnterCoup({}, 33);
  EXPECT_LT(largest, 18'000'000);
  const RecordedTable recorded = ReadTableJournalFile(TableJournalPath());
  EXPECT_FALSE(recorded.damaged);
  EXPECT_EQ(Restored(recorded), ShownOf(workspace.table()));
}

// The end of a run leaves the records only, and the next run reads them.
TEST_F(TableJournalTest, AtTheEndTheFileHoldsItsRecordsOnly) {
  Workspace workspace;
  qint64 size = 0;
  {
    TableJournal journal(workspace, TableJournalPath());
    workspace.EnterCoup({}, 12);
    size = journal.size();
  }
  EXPECT_EQ(QFile(TableJournalPath()).size(), size);
  EXPECT_EQ(ReadTableJournalFile(TableJournalPath()).values, std::vector<uint8_t>{12});
}

// A journal that cannot be written says why and records nothing; the table works on.
TEST_F(TableJournalTest, AFolderThatCannotBeWrittenIsReported) {
  Workspace workspace;
  TableJournal journal(workspace, dataFile("fehlt/Tabelle.journal"));
  EXPECT_FALSE(journal.isRecording());
  EXPECT_TRUE(journal.error().startsWith("Die Tabelle kann nicht mehr gesichert werden"))
      << journal.error().toStdString();
  workspace.EnterCoup({}, 9);
  EXPECT_EQ(workspace.table().CoupCount(), 1);
}

} // namespace
} // namespace kw
