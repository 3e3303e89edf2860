// The start-up of the main window after an earlier run: the table the journal recorded comes
// back into `GNum` as it was, and the program says once how many coups it restored.
#include "core/RouletteTables.h"
#include "support/TestFiles.h"
#include "support/WindowTestHarness.h"
#include "ui/FHaupt.h"
#include "workspace/TableJournal.h"
#include "workspace/Workspace.h"

#include <QLockFile>
#include <QScrollBar>
#include <QTableView>
#include <QtTest>

#include <functional>

using namespace kw;
using namespace kw::test;

namespace {

// The texts of every message the program showed, in order.
QStringList Messages(const ScriptedDialogs& dialogs) {
  QStringList texts;
  for (const ScriptedDialogs::Call& call : dialogs.calls)
    texts << call.kind + ": " + call.text;
  return texts;
}

QStringList GridRows(FHaupt* main) {
  auto* grid = Find<QTableView>(main, "GNum");
  QStringList rows;
  for (int row = 0; row < grid->model()->rowCount(); ++row) {
    QStringList cells;
    for (int column = 0; column < 4; ++column)
      cells << grid->model()->index(row, column).data().toString();
    rows << cells.join('|');
  }
  return rows;
}

} // namespace

class TestTableRestore : public QObject {
  Q_OBJECT
private slots:
  void restoresTheTableAndSaysSoOnce_data();
  void restoresTheTableAndSaysSoOnce();
  void anEmptyTableIsRestoredSilently();
  void aSecondProgramLeavesTheJournalAlone();
};

void TestTableRestore::restoresTheTableAndSaysSoOnce_data() {
  QTest::addColumn<int>("coups");
  QTest::addColumn<QString>("message");
  QTest::newRow("412") << 412
                       << "Die zuletzt eingegebene Tabelle wurde wiederhergestellt: 412 Coups.";
  QTest::newRow("one") << 1 << "Die zuletzt eingegebene Tabelle wurde wiederhergestellt: 1 Coup.";
  QTest::newRow("thousands")
      << 1234 << "Die zuletzt eingegebene Tabelle wurde wiederhergestellt: 1.234 Coups.";
}

// The journal an earlier run of the program left in its data folder, read as it stood when
// the run was killed, with the rows `GNum` showed then and the table's top row.
struct EarlierRun {
  QByteArray journal;
  QStringList rows;
  int topRow = 0;
};

EarlierRun RunEarlier(const std::function<void(Workspace&)>& typing) {
  WindowTestHarness harness;
  harness.app().RestoreTable();
  typing(harness.app().workspace());
  EarlierRun run{ReadBytes(TableJournalPath()), GridRows(harness.app().fHaupt()),
                 harness.app().workspace().table().TopRow()};
  return run;
}

void TestTableRestore::restoresTheTableAndSaysSoOnce() {
  QFETCH(int, coups);
  QFETCH(QString, message);
  const EarlierRun earlier = RunEarlier([coups](Workspace& workspace) {
    workspace.AddHandChangeEntry("Croupier B");
    for (int i = 0; i < coups; ++i) {
      workspace.EnterCoup({}, (i * 7) % 37);
      if (i % 50 == 3)
        workspace.EnterCoup({}, HandChangeCode);
    }
  });
  WindowTestHarness next;
  QVERIFY(WriteBytes(TableJournalPath(), earlier.journal));
  next.app().RestoreTable();
  QCOMPARE(Messages(next.dialogs()), QStringList{"information: " + message});
  QCOMPARE(GridRows(next.app().fHaupt()), earlier.rows);
  QCOMPARE(next.app().workspace().table().TopRow(), earlier.topRow);
  // Scrolled to the newest rows, as after the last entry.
  QCOMPARE(Find<QTableView>(next.app().fHaupt(), "GNum")->verticalScrollBar()->value(),
           earlier.topRow - 1);
  // Said once: a later run that changed nothing says it again, but this run does not repeat it.
  next.app().workspace().EnterCoup({}, 4);
  QCOMPARE(next.dialogs().calls.size(), 1);
}

void TestTableRestore::anEmptyTableIsRestoredSilently() {
  const EarlierRun earlier = RunEarlier([](Workspace& workspace) {
    workspace.EnterCoup({}, 5);
    workspace.EnterCoup({}, 61); // "Alle löschen"
  });
  WindowTestHarness next;
  QVERIFY(WriteBytes(TableJournalPath(), earlier.journal));
  next.app().RestoreTable();
  QVERIFY(next.dialogs().calls.isEmpty());
  QCOMPARE(next.app().workspace().table().UsedRows(), 0);
  QVERIFY(next.app().tableJournal()->isRecording());
}

// Two programs on one data folder: the second neither restores nor records, and says why.
void TestTableRestore::aSecondProgramLeavesTheJournalAlone() {
  WindowTestHarness harness;
  const QString journal = TableJournalPath();
  {
    Workspace earlier;
    TableJournal recording(earlier, journal);
    earlier.EnterCoup({}, 9);
  }
  QLockFile first(journal + ".lock");
  QVERIFY(first.tryLock(0));
  harness.app().RestoreTable();
  QCOMPARE(harness.app().workspace().table().UsedRows(), 0);
  QVERIFY(!harness.app().tableJournal());
  QCOMPARE(Messages(harness.dialogs()),
           QStringList{"information: Kesselwerk läuft bereits mit diesem Datenordner und sichert "
                       "dort die Tabelle.\rDie Tabelle dieses Fensters wird nicht gesichert: "
                       "speichern Sie, was Sie hier eingeben, bevor Sie das Programm beenden."});
  QCOMPARE(ReadTableJournalFile(journal).values, std::vector<uint8_t>{9});
}

QTEST_MAIN(TestTableRestore)
#include "test_table_restore.moc"
