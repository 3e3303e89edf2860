// The workspace driven without any window, as the main window and the command line drive it:
// files into memo lines, the transfer into the table, the pad's entries, the hand-change
// working list, the start-up files and the stake file, and what each step announces.
#include "workspace/Workspace.h"

#include "core/RouletteTables.h"
#include "files/DataDirFixture.h"
#include "support/TestFiles.h"
#include "workspace/HandChangeListModel.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace kw {
namespace {

using Lines = std::vector<std::string>;
using Values = std::vector<uint8_t>;

// Every table signal as one line of text, in the order they came.
class TableEvents {
public:
  explicit TableEvents(Workspace& workspace) {
    QObject::connect(&workspace, &Workspace::rowsAppended, [this](int first, int count) {
      events_.push_back("appended " + std::to_string(first) + "+" + std::to_string(count));
    });
    QObject::connect(&workspace, &Workspace::rowEntered,
                     [this](int row) { events_.push_back("entered " + std::to_string(row)); });
    QObject::connect(&workspace, &Workspace::lastRowRemoved,
                     [this](int row) { events_.push_back("removed " + std::to_string(row)); });
    QObject::connect(&workspace, &Workspace::allCleared, [this] { events_.push_back("cleared"); });
  }

  // The events since the last call.
  Lines take() { return std::exchange(events_, {}); }

private:
  Lines events_;
};

// A model tester whose complaints fail the test instead of only being printed.
class CheckedModel {
public:
  explicit CheckedModel(QAbstractItemModel& model)
      : tester_(&model, QAbstractItemModelTester::FailureReportingMode::Warning) {
    previous_ = qInstallMessageHandler(&CheckedModel::fail);
  }
  ~CheckedModel() { qInstallMessageHandler(previous_); }

private:
  static void fail(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type != QtDebugMsg && type != QtInfoMsg)
      ADD_FAILURE() << message.toStdString();
  }

  QAbstractItemModelTester tester_;
  QtMessageHandler previous_ = nullptr;
};

std::string Join(const Lines& lines) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i)
    text += (i ? "\n" : "") + lines[i];
  return text;
}

class WorkspaceTest : public test::DataDirTest {
protected:
  void SetUp() override {
    DataDirTest::SetUp();
    ASSERT_EQ(workspace_.LoadHandChangeList(), QString()); // the defaults
  }

  QString write(const QString& name, const QByteArray& bytes) const {
    const QString path = dataFile(name);
    EXPECT_TRUE(test::WriteBytes(path, bytes));
    return path;
  }

  std::string label(int row) const {
    return workspace_.table().CellText(row, PermanenceTable::ZeroColumn);
  }

  Workspace workspace_;
};

// The command line transfers the files' lines, the main window M1's text: both give the
// same rows, and a transfer is announced once, as a bulk append after the rows it found.
struct TransferCase {
  const char* name;
  Lines lines;
  Values rows;
};

TEST_F(WorkspaceTest, TransferringLinesAndTheMemoTextGivesTheSameRows) {
  const TransferCase cases[] = {
      {"fewer than five lines", {"1", "2", "3", "4"}, {}},
      {"four coups and an empty last line", {"1", "2", "3", "4", ""}, {1, 2, 3, 4}},
      {"information lines above the first short line",
       {"Spielbank", "Tisch 7", "2013", "12", "HW", "0"},
       {12, 50, 0}},
      {"markers, hand-change code, numbers out of range",
       {"Casino", "5", "----", "37", "-1", "50", " 36 ", "x"},
       {5, 50, 50, 36}},
  };
  for (const TransferCase& c : cases) {
    SCOPED_TRACE(c.name);
    for (bool asMemoText : {false, true}) {
      Workspace workspace;
      TableEvents events(workspace);
      if (asMemoText)
        workspace.TransferMemoText(Join(c.lines));
      else
        workspace.TransferLines(c.lines);
      EXPECT_EQ(workspace.table().RowValues(), c.rows);
      EXPECT_EQ(workspace.CanTransfer(static_cast<qsizetype>(c.lines.size())), c.lines.size() >= 5);
      const Lines expected =
          c.rows.empty() ? Lines{} : Lines{"appended 1+" + std::to_string(c.rows.size())};
      EXPECT_EQ(events.take(), expected);
    }
  }
}

TEST_F(WorkspaceTest, FilesGoThroughMemoLinesIntoTheTable) {
  const QString first = write(QStringLiteral("a.prm"), "Spielbank\r\nTisch 3\r\n17\r\n");
  const QString second = write(QStringLiteral("b.prm"), "\xEF\xBB\xBFHW\n0\n36\n");
  const TextLines memo = workspace_.OpenFiles({first, second});
  ASSERT_TRUE(memo.ok());
  EXPECT_EQ(memo.lines, (Lines{"Spielbank", "Tisch 3", "17", "HW", "0", "36"}));
  EXPECT_EQ(workspace_.table().UsedRows(), 0); // opening never changes the table

  TableEvents events(workspace_);
  workspace_.EnterCoup({}, 5);
  workspace_.TransferLines(memo.lines);
  EXPECT_EQ(workspace_.table().RowValues(), (Values{5, 17, 50, 0, 36}));
  EXPECT_EQ(label(3), "-"); // a short marker takes the pad's label, the list's first entry
  EXPECT_EQ(workspace_.table().CoupCount(), 4);
  EXPECT_EQ(events.take(), (Lines{"entered 1", "appended 2+4"}));
}

TEST_F(WorkspaceTest, AFileThatCannotBeReadGivesItsErrorAndNoLines) {
  const QString good = write(QStringLiteral("a.prm"), "1\n2\n3\n4\n5\n");
  ASSERT_TRUE(QDir().mkpath(dataFile(QStringLiteral("ordner.prm"))));
  const TextLines memo = workspace_.OpenFiles({good, dataFile(QStringLiteral("ordner.prm"))});
  EXPECT_FALSE(memo.ok());
  EXPECT_TRUE(memo.error.contains(QStringLiteral("ordner.prm")));
  EXPECT_TRUE(memo.lines.empty());
}

// Each entry of the pad is announced by what it did; an entry that changes nothing is not
// announced at all.
TEST_F(WorkspaceTest, EveryChangeOfTheTableIsAnnouncedByItsKind) {
  struct Step {
    int code;
    const char* event; // empty: nothing announced
    int usedRows;
  };
  const Step steps[] = {
      {PermanenceTable::DeleteLastCode, "", 0},
      {PermanenceTable::ClearAllCode, "", 0},
      {17, "entered 1", 1},
      {HandChangeCode, "entered 2", 2},
      {99, "", 2},
      {PermanenceTable::DeleteLastCode, "removed 2", 1},
      {0, "entered 2", 2},
      {PermanenceTable::ClearAllCode, "cleared", 0},
  };
  TableEvents events(workspace_);
  for (const Step& step : steps) {
    SCOPED_TRACE(step.code);
    workspace_.EnterCoup({}, step.code);
    EXPECT_EQ(events.take(), *step.event ? Lines{step.event} : Lines{});
    EXPECT_EQ(workspace_.table().UsedRows(), step.usedRows);
  }

  // A bulk append takes coups and hand changes only, never an edit code.
  const std::vector<CoupEntry> rows = {{"7", 7},
                                       {"", PermanenceTable::DeleteLastCode},
                                       {"HW", HandChangeCode},
                                       {"", PermanenceTable::ClearAllCode},
                                       {"99", 99}};
  workspace_.AppendRows(rows);
  EXPECT_EQ(workspace_.table().RowValues(), (Values{7, 50}));
  EXPECT_EQ(events.take(), Lines{"appended 1+2"});
  workspace_.AppendRows({});
  EXPECT_EQ(events.take(), Lines{});

  // The table's delete button keeps the grid's rows; on a table already empty and at its
  // top it changes nothing.
  workspace_.ClearTable();
  EXPECT_EQ(events.take(), Lines{"cleared"});
  EXPECT_EQ(workspace_.table().UsedRows(), 0);
  workspace_.ClearTable();
  EXPECT_EQ(events.take(), Lines{});
}

// The working list is a model the settings window only views; the pad labels its hand
// changes with its first entry, saved or not, and "---" when it is empty.
TEST_F(WorkspaceTest, HandChangeWorkingListIsAModelThePadFollows) {
  HandChangeListModel& list = workspace_.handChangeList();
  CheckedModel checked(list);
  EXPECT_EQ(list.entries(), (Lines{"-", "--", "---", "----", "HW"}));
  EXPECT_EQ(list.index(4, 0).data().toString(), QStringLiteral("HW"));
  EXPECT_FALSE(list.flags(list.index(0, 0)).testFlag(Qt::ItemIsEditable));

  workspace_.AddHandChangeEntry("Wechsel");
  EXPECT_EQ(list.rowCount(), 6);
  EXPECT_FALSE(IsHandChange("Wechsel")); // counts for files only once saved
  ASSERT_EQ(workspace_.SaveHandChangeList(), QString());
  EXPECT_TRUE(IsHandChange("Wechsel"));
  EXPECT_EQ(test::ReadBytes(dataFile(QStringLiteral("HWListe.txt"))),
            QByteArray("-\r\n--\r\n---\r\n----\r\nHW\r\nWechsel\r\n"));

  for (const char* expected : {"--", "---", "----", "HW", "Wechsel"}) {
    ASSERT_EQ(workspace_.RemoveHandChangeEntry(0), QString());
    workspace_.EnterCoup({}, HandChangeCode);
    EXPECT_EQ(label(workspace_.table().UsedRows()), expected);
  }
  ASSERT_EQ(workspace_.RemoveHandChangeEntry(0), QString());
  EXPECT_EQ(list.rowCount(), 0);
  workspace_.EnterCoup({}, HandChangeCode);
  EXPECT_EQ(label(workspace_.table().UsedRows()), "---");
  EXPECT_EQ(workspace_.RemoveHandChangeEntry(0), QString()); // no such row: nothing happens
}

TEST_F(WorkspaceTest, AnEntryLeavesTheListOnlyWhenTheListWithoutItWasSaved) {
  HandChangeListModel& list = workspace_.handChangeList();
  CheckedModel checked(list);
  ASSERT_TRUE(QDir().mkpath(dataFile(QStringLiteral("HWListe.txt")))); // cannot be written
  EXPECT_TRUE(workspace_.RemoveHandChangeEntry(1).contains(QStringLiteral("HWListe.txt")));
  EXPECT_EQ(list.entries(), (Lines{"-", "--", "---", "----", "HW"}));
  EXPECT_TRUE(IsHandChange("--"));

  const MarkerRegistration refused = workspace_.RegisterHandChangeMarker("X");
  EXPECT_FALSE(refused.added);
  EXPECT_FALSE(refused.error.isEmpty());
  EXPECT_EQ(list.rowCount(), 5);
}

// The save dialog's marker joins the list (and is saved) only when it is new.
TEST_F(WorkspaceTest, ANewMarkerFromTheSaveDialogIsAppendedAndSaved) {
  HandChangeListModel& list = workspace_.handChangeList();
  CheckedModel checked(list);
  workspace_.AddHandChangeEntry("neu"); // unsaved entries are saved with it
  for (const char* marker : {"", "HW", "X", "X"}) {
    SCOPED_TRACE(marker);
    const bool isNew = std::string(marker) == "X" && !IsHandChange("X");
    const MarkerRegistration result = workspace_.RegisterHandChangeMarker(marker);
    EXPECT_EQ(result.added, isNew);
    EXPECT_EQ(result.error, QString());
  }
  EXPECT_EQ(list.entries(), (Lines{"-", "--", "---", "----", "HW", "neu", "X"}));
  EXPECT_EQ(test::ReadBytes(dataFile(QStringLiteral("HWListe.txt"))),
            QByteArray("-\r\n--\r\n---\r\n----\r\nHW\r\nneu\r\nX\r\n"));
}

TEST_F(WorkspaceTest, StartFilesChangeForTheRunAndLastOnlyWhenSaved) {
  write(QStringLiteral("optionen.ini"),
        "[Dateien]\r\nPermanenz=C:\\alt.prm\r\nSatz-Staffelung=\r\nSektoreneinteilung=s.sekt\r\n");
  QSignalSpy changed(&workspace_, &Workspace::startFilesChanged);
  workspace_.ReadStartFiles();
  EXPECT_EQ(workspace_.startFiles(),
            (StartFiles{QStringLiteral("C:\\alt.prm"), QString(), QStringLiteral("s.sekt")}));
  EXPECT_EQ(changed.count(), 1);

  workspace_.SetStartFile(&StartFiles::StartSectorFile, QString());
  workspace_.SetStartFile(&StartFiles::StartSectorFile, QString()); // no change, no signal
  EXPECT_EQ(changed.count(), 2);
  EXPECT_EQ(ReadStartFiles().StartSectorFile, QStringLiteral("s.sekt")); // not yet saved
  ASSERT_EQ(workspace_.SaveStartFiles(), QString());
  EXPECT_EQ(ReadStartFiles(), workspace_.startFiles());
}

// The system test's stake file becomes the start-up one at once, for this run and the next;
// a settings file that cannot be written changes neither.
TEST_F(WorkspaceTest, TheStakeFileRememberedForStartUpIsWrittenAtOnce) {
  QSignalSpy stakeChanged(&workspace_, &Workspace::stakeFileChanged);
  QSignalSpy startChanged(&workspace_, &Workspace::startFilesChanged);
  workspace_.SetStakeFile(QStringLiteral("/daten/drei.set"));
  workspace_.SetStakeFile(QStringLiteral("/daten/drei.set"));
  EXPECT_EQ(stakeChanged.count(), 1);
  EXPECT_EQ(workspace_.stakeFile(), QStringLiteral("/daten/drei.set"));
  EXPECT_EQ(workspace_.startFiles().StartStakeFile, QString());

  ASSERT_TRUE(QDir().mkpath(dataFile(QStringLiteral("optionen.ini"))));
  EXPECT_TRUE(workspace_.RememberStakeFileForStartUp().contains(QStringLiteral("optionen.ini")));
  EXPECT_EQ(workspace_.startFiles().StartStakeFile, QString());
  EXPECT_EQ(startChanged.count(), 0);

  ASSERT_TRUE(QDir(dataFile(QStringLiteral("optionen.ini"))).removeRecursively());
  ASSERT_EQ(workspace_.RememberStakeFileForStartUp(), QString());
  EXPECT_EQ(workspace_.startFiles().StartStakeFile, QStringLiteral("/daten/drei.set"));
  EXPECT_EQ(ReadStartFiles().StartStakeFile, QStringLiteral("/daten/drei.set"));
  EXPECT_EQ(startChanged.count(), 1);
}

TEST_F(WorkspaceTest, TheStartUpPermanenceIsReadOnlyWhenThere) {
  EXPECT_FALSE(workspace_.OpenStartPermanence()); // none set
  const QString path = dataFile(QStringLiteral("start.prm"));
  workspace_.SetStartFile(&StartFiles::StartPermanenceFile, path);
  EXPECT_FALSE(workspace_.OpenStartPermanence()); // gone: passed over silently

  write(QStringLiteral("start.prm"), "Spielbank\r\n17\r\n");
  const std::optional<TextLines> read = workspace_.OpenStartPermanence();
  ASSERT_TRUE(read);
  EXPECT_EQ(read->lines, (Lines{"Spielbank", "17"}));

  ASSERT_TRUE(QFile::remove(path));
  ASSERT_TRUE(QDir().mkpath(path)); // something else in its place is reported
  const std::optional<TextLines> folder = workspace_.OpenStartPermanence();
  ASSERT_TRUE(folder);
  EXPECT_FALSE(folder->ok());
  EXPECT_EQ(workspace_.table().UsedRows(), 0);
}

TEST_F(WorkspaceTest, LinesHandedToTheMemoReachWhoeverShowsIt) {
  QSignalSpy handed(&workspace_, &Workspace::memoLinesHanded);
  workspace_.HandToMemo({"Zufallszahlen", "17"});
  ASSERT_EQ(handed.count(), 1);
  EXPECT_EQ(handed.at(0).at(0).value<Lines>(), (Lines{"Zufallszahlen", "17"}));
  EXPECT_EQ(workspace_.table().UsedRows(), 0);
}

} // namespace
} // namespace kw
