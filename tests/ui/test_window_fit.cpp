// Every window, filled as a user fills it, shows each of its texts whole: labels, buttons,
// group titles, tabs, read-only fields, heading sections and grid cells are measured with
// the font they are drawn in against their rectangles.
//
// A new window gets a row in Windows() below: its name and how it is filled and shown.
// A text that may be cut short on purpose goes into Deliberate with the reason.
#include "files/PermanenceImport.h"
#include "support/WindowActions.h"
#include "support/WindowFit.h"
#include "ui/FAnalyse1.h"
#include "ui/FAnalyse3.h"
#include "ui/FChart1.h"
#include "ui/FChart2.h"
#include "ui/FDelta.h"
#include "ui/FHaupt.h"
#include "ui/FHeatMap.h"
#include "ui/FImport.h"
#include "ui/FOpSektoren.h"
#include "ui/FOptionen.h"
#include "ui/FSignifikanz.h"
#include "ui/FSpeichern1.h"
#include "ui/FStart.h"
#include "ui/FSuche.h"
#include "ui/FSysteme.h"
#include "ui/FZufall.h"
#include "ui/FileSelector.h"
#include "ui/Help.h"
#include "ui/HelpWindow.h"
#include "ui/ResultTabs.h"
#include "ui/frFrAnalyse2.h"
#include "workspace/Workspace.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

#include <functional>
#include <memory>

using namespace kw;
using namespace kw::test;

namespace {

// Texts that are cut short on purpose, and why.
const QList<DeliberateElision> Deliberate = {
    {"FAnalyse3/PC1/PC1Tabs", "tabs of one width; the full file name is the tab's tooltip"},
};

const char* const RealTables[] = {"spielbank-wiesbaden_t1_190424", "spielbank-wiesbaden_t2_190424",
                                  "spielbank-wiesbaden_t5_190424"};

// A recorded permanence as a permanence file: one number a line, a hand change after every
// 37th coup.
void WriteRealPermanence(const QString& name, const QString& folder) {
  QFile in(SharedDataFile(name + QStringLiteral(".txt")));
  QVERIFY2(in.open(QIODevice::ReadOnly), qPrintable(in.fileName()));
  QStringList lines;
  int coups = 0;
  for (const QByteArray& field : in.readAll().replace('\n', ',').split(',')) {
    if (field.trimmed().isEmpty())
      continue;
    lines << QString::fromLatin1(field.trimmed());
    if (++coups % 37 == 0)
      lines << QStringLiteral("HW");
  }
  writeLines(folder + QLatin1Char('/') + name + QStringLiteral(".prm"), lines);
}

struct Fixture {
  WindowTestHarness harness;
  QTemporaryDir files;
  std::unique_ptr<FStart> start;
  std::unique_ptr<FImport> import;
  Application& app() { return harness.app(); }
};

// The main window with the real Wiesbaden table 1 opened into M1, transferred and analysed;
// the chart of its counts.
void FillMainWindow(Fixture& f) {
  FHaupt* main = f.app().fHaupt();
  f.harness.dialogs().openAnswers.enqueue(
      {f.files.filePath(QStringLiteral("spielbank-wiesbaden_t1_190424.prm"))});
  click(main, "BOpen");
  click(main, "BTransfer");
  click(main, "BAnalyse");
  QVERIFY(f.app().workspace().table().CoupCount() > 50000);
  click(main, "BChart1");
}

void RunSeriesLengths(Fixture& f) {
  FAnalyse1* w = f.app().fAnalyse1();
  w->fileSelector()->setDirectory(f.files.path());
  w->fileSelector()->fileList()->selectAll();
  w->BAnalyseClick();
}

// The system test over the real tables with the lowest loss limit, so attacks stop at it.
void RunSystemTestWithStops(Fixture& f) {
  FAnalyse3* w = f.app().fAnalyse3();
  Find<QSlider>(w, QStringLiteral("Track4"))->setValue(5);
  w->fileSelector()->setDirectory(f.files.path());
  w->fileSelector()->fileList()->selectAll();
  w->BAnalyseClick();
  QVERIFY(w->PC1()->count() == 3);
  // The protocol of the shown table, scrolled to its first stop at the loss limit.
  frFrAnalyse2* frame = w->resultFrame(w->PC1()->currentIndex());
  QVERIFY(frame);
  QAbstractItemModel* protocol = frame->GNum()->model();
  const QModelIndexList stops =
      protocol->match(protocol->index(0, 4), Qt::DisplayRole, QStringLiteral("Verlustobergrenze"),
                      1, Qt::MatchStartsWith);
  QVERIFY(!stops.isEmpty());
  frame->GNum()->scrollTo(stops.first(), QAbstractItemView::PositionAtCenter);
}

void EvaluateSectors(Fixture& f) {
  FOpSektoren* w = f.app().fOpSektoren();
  w->ToolButton2Click();
  click(w, "BAuswertung");
}

// The start-up files with long names in a deep folder.
void SetLongStartFiles(Fixture& f) {
  const QString deep = f.files.path() + QStringLiteral("/Permanenzen/Spielbanken/Wiesbaden/");
  Workspace& workspace = f.app().workspace();
  workspace.SetStartFile(&StartFiles::StartPermanenceFile,
                         deep + QStringLiteral("spielbank-wiesbaden_t1_190424.prm"));
  workspace.SetStartFile(&StartFiles::StartStakeFile, deep + QStringLiteral("Staffelung.set"));
  workspace.SetStartFile(&StartFiles::StartSectorFile,
                         deep + QStringLiteral("1 x 7 u. 5 x 6 Sektoren.sek"));
}

// The system test over the real tables with a small random comparison, for its pictures.
FAnalyse3* RunSystemTestWithComparison(Fixture& f) {
  FAnalyse3* w = f.app().fAnalyse3();
  w->fileSelector()->setDirectory(f.files.path());
  w->fileSelector()->fileList()->selectAll();
  w->CBZufall()->setChecked(true);
  w->EReplikate()->setText(QStringLiteral("20"));
  w->ESeed()->setText(QStringLiteral("1"));
  w->BAnalyseClick();
  w->CBZufall()->setChecked(false);
  return w;
}

// The significance window over the main window's table, on the given tab.
QWidget* ShowSignificanceTab(Fixture& f, int tab) {
  QWidget* window = f.app().OpenOnDemand(QStringLiteral("FSignifikanz"));
  if (auto* tabs = window->findChild<QTabWidget*>(QStringLiteral("PCSignifikanz")))
    tabs->setCurrentIndex(tab);
  return window;
}

// The import dialog over a recorded permanence as the casino lists it.
QWidget* ShowImport(Fixture& f) {
  const ImportAnalysis analysis =
      AnalysePermanenceImport(SharedDataFile(QStringLiteral("spielbank-wiesbaden_t1_190424.txt")),
                              ImportRequest{HandChangeList(), {}});
  if (!analysis.ok())
    return nullptr;
  f.import =
      std::make_unique<FImport>(f.app().workspace(), std::vector{analysis}, f.app().fHaupt());
  return f.import.get();
}

// The own systems' first example over the real tables with a small random comparison, on the
// given result tab.
QWidget* RunOwnSystem(Fixture& f, int tab) {
  auto* w = qobject_cast<FSysteme*>(f.app().OpenOnDemand(QStringLiteral("FSysteme")));
  if (!w)
    return nullptr;
  if (!w->lastRun()) {
    w->CBBeispiel()->setCurrentIndex(0);
    w->BBeispielClick();
    w->fileSelector()->setDirectory(f.files.path());
    w->fileSelector()->fileList()->selectAll();
    Find<QCheckBox>(w, QStringLiteral("CBZufall"))->setChecked(true);
    Find<QLineEdit>(w, QStringLiteral("EReplikate"))->setText(QStringLiteral("20"));
    w->BStartenClick();
  }
  w->PCErgebnis()->setCurrentIndex(tab);
  return w;
}

// A search of Vorlauf and Angriffe over the real tables with a small reality check.
FSuche* RunSearch(Fixture& f) {
  auto* w = qobject_cast<FSuche*>(f.app().OpenOnDemand(QStringLiteral("FSuche")));
  if (!w || w->lastResult())
    return w;
  QTableWidget* rows = w->GBereiche();
  const char* cells[2][3] = {{"3", "9", "3"}, {"2", "8", "2"}};
  for (int row = 0; row < 2; ++row)
    for (int column = 0; column < 3; ++column)
      rows->item(row, column + 2)->setText(QLatin1String(cells[row][column]));
  Find<QLineEdit>(w, QStringLiteral("EReplikate"))->setText(QStringLiteral("20"));
  w->fileSelector()->setDirectory(f.files.path());
  w->fileSelector()->fileList()->selectAll();
  w->BStartClick();
  return w;
}

struct WindowRow {
  const char* name;
  // Fills the window as a user would and returns it (shown by the test).
  std::function<QWidget*(Fixture&)> fill;
};

const QList<WindowRow>& Windows() {
  static const QList<WindowRow> rows = {
      {"FStart",
       [](Fixture& f) -> QWidget* {
         f.start = std::make_unique<FStart>();
         return f.start.get();
       }},
      {"FHaupt", [](Fixture& f) -> QWidget* { return f.app().fHaupt(); }},
      {"FHaupt-Dateien",
       [](Fixture& f) -> QWidget* {
         click(f.app().fHaupt(), "BSeiteDateien");
         return f.app().fHaupt();
       }},
      {"FHaupt-Tastatur",
       [](Fixture& f) -> QWidget* {
         click(f.app().fHaupt(), "BSeiteManuell");
         return f.app().fHaupt();
       }},
      {"FChart1", [](Fixture& f) -> QWidget* { return f.app().fChart1(); }},
      {"FAnalyse1", [](Fixture& f) -> QWidget* { return f.app().fAnalyse1(); }},
      {"FAnalyse3", [](Fixture& f) -> QWidget* { return f.app().fAnalyse3(); }},
      {"FOpSektoren", [](Fixture& f) -> QWidget* { return f.app().fOpSektoren(); }},
      {"FOptionen",
       [](Fixture& f) -> QWidget* {
         SetLongStartFiles(f);
         return f.app().fOptionen();
       }},
      {"FSpeichern1", [](Fixture& f) -> QWidget* { return f.app().fSpeichern1(); }},
      {"FZufall",
       [](Fixture& f) -> QWidget* {
         click(f.app().fZufall(), "Button3");
         return f.app().fZufall();
       }},
      {"FDelta", [](Fixture& f) -> QWidget* { return f.app().fDelta(); }},
      {"FKal", [](Fixture& f) { return f.app().OpenOnDemand(QStringLiteral("FKal")); }},
      {"FUpdate", [](Fixture& f) { return f.app().OpenOnDemand(QStringLiteral("FUpdate")); }},
      {"FInfo", [](Fixture& f) { return f.app().OpenOnDemand(QStringLiteral("FInfo")); }},
      {"FSignifikanz", [](Fixture& f) { return ShowSignificanceTab(f, 0); }},
      {"FSignifikanz-Nummern", [](Fixture& f) { return ShowSignificanceTab(f, 1); }},
      {"FSignifikanz-Chancen", [](Fixture& f) { return ShowSignificanceTab(f, 2); }},
      {"FSignifikanz-Wurfweiten", [](Fixture& f) { return ShowSignificanceTab(f, 3); }},
      {"FSignifikanz-Abschnitte", [](Fixture& f) { return ShowSignificanceTab(f, 4); }},
      {"FImport", ShowImport},
      {"FChart2-Verlauf",
       [](Fixture& f) -> QWidget* {
         FAnalyse3* w = RunSystemTestWithComparison(f);
         w->BVerlaufClick();
         return w->verlaufChart();
       }},
      {"FChart2-Histogramm",
       [](Fixture& f) -> QWidget* {
         FAnalyse3* w = RunSystemTestWithComparison(f);
         w->BHistogrammClick();
         return w->histogrammChart();
       }},
      {"FChart2-Kapital",
       [](Fixture& f) -> QWidget* {
         FAnalyse3* w = RunSystemTestWithComparison(f);
         frFrAnalyse2* frame = w->resultFrame(w->PC1()->currentIndex());
         frame->BKapitalClick();
         return frame->kapitalChart();
       }},
      {"FSysteme", [](Fixture& f) { return RunOwnSystem(f, 0); }},
      {"FSysteme-Risiko", [](Fixture& f) { return RunOwnSystem(f, 1); }},
      {"FSysteme-Protokolle", [](Fixture& f) { return RunOwnSystem(f, 2); }},
      {"FSuche", [](Fixture& f) -> QWidget* { return RunSearch(f); }},
      {"FHeatMap",
       [](Fixture& f) -> QWidget* {
         FSuche* w = RunSearch(f);
         w->BHeatmapClick();
         return w->heatMap();
       }},
      {"Hilfe",
       [](Fixture&) -> QWidget* {
         Help::instance().showContext(1050);
         HelpWindow* help = Help::instance().window();
         // The contents, read in the background, with every entry in view.
         if (auto* contents = help->findChild<QTreeView*>(QStringLiteral("HelpContents"))) {
           if (QTest::qWaitFor([contents] { return contents->model()->rowCount() > 0; }, 5000))
             contents->expandAll();
         }
         return help;
       }},
  };
  return rows;
}

// Texts longer than a real run shows, which the places made for them must still hold.
struct WorstCase {
  const char* window;
  const char* grid;
  int column;
  const char* text;
};
const WorstCase WorstCases[] = {
    {"FHaupt", "GNum", 0, "1234567"},
    {"FAnalyse3", "GZus", 2, "10.000.000"},
    {"FAnalyse3", "GZus", 3, "10.000.000"},
};

} // namespace

class WindowFitTest : public QObject {
  Q_OBJECT
  std::unique_ptr<Fixture> fixture_;

private slots:
  void initTestCase() {
    PrepareApplication();
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    fixture_ = std::make_unique<Fixture>();
    for (const char* name : RealTables)
      WriteRealPermanence(QLatin1String(name), fixture_->files.path());
    FillMainWindow(*fixture_);
    RunSeriesLengths(*fixture_);
    EvaluateSectors(*fixture_);
  }
  void cleanupTestCase() { fixture_.reset(); }

  void everyTextFits_data() {
    QTest::addColumn<int>("row");
    for (int i = 0; i < Windows().size(); ++i)
      QTest::newRow(Windows()[i].name) << i;
  }
  void everyTextFits() {
    QFETCH(int, row);
    const WindowRow& entry = Windows()[row];
    QWidget* window = entry.fill(*fixture_);
    QVERIFY(window);
    if (QByteArrayView(entry.name) == "FAnalyse3")
      RunSystemTestWithStops(*fixture_);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QApplication::processEvents();
    const QString clipped = DescribeClipped(ClippedTexts(window), Deliberate);
    window->hide();
    QVERIFY2(clipped.isEmpty(), qPrintable(QLatin1Char('\n') + clipped));
  }

  void columnsHoldTheLongestTexts() {
    for (const WorstCase& c : WorstCases) {
      QWidget* window = nullptr;
      for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == QLatin1String(c.window))
          window = top;
      auto* grid = Find<QTableView>(window, QLatin1String(c.grid));
      QVERIFY2(grid, c.grid);
      const int needed = QFontMetrics(grid->font()).horizontalAdvance(QLatin1String(c.text)) + 4;
      QVERIFY2(needed <= grid->columnWidth(c.column),
               qPrintable(QStringLiteral("%1/%2 column %3: \"%4\" needs %5, has %6")
                              .arg(QLatin1String(c.window), QLatin1String(c.grid))
                              .arg(c.column)
                              .arg(QLatin1String(c.text))
                              .arg(needed)
                              .arg(grid->columnWidth(c.column))));
    }
  }

  // The series grids end on a whole row: no half row at the bottom.
  void seriesGridsShowWholeRows() {
    for (const char* name : {"GECSerien", "GDrittelSerien"}) {
      FHaupt* main = fixture_->app().fHaupt();
      main->show();
      QVERIFY(QTest::qWaitForWindowExposed(main));
      auto* grid = Find<QTableView>(main, QLatin1String(name));
      QVERIFY2(grid, name);
      QCOMPARE(HalfRowAtBottom(grid), 0);
      main->hide();
    }
  }
};

QTEST_MAIN(WindowFitTest)
#include "test_window_fit.moc"
