#pragma once

#include "statistics/Significance.h"

#include <QMainWindow>

class QLabel;
class QTabWidget;
class QTableView;
class QTimer;
class QButtonGroup;

namespace kw {

class ReportTableModel;
class ThrowDistanceChart;
class WindowChrome;
class Workspace;

// "Signifikanz": could what the counts of the main window's table show come from a fair
// wheel? The tests (numbers, simple chances, dozens and columns, runs, throw distances and
// the croupiers' sections) with their figures and a one-line verdict each, and the chart of
// the throw distances. Follows every change of the table.
class FSignifikanz : public QMainWindow {
  Q_OBJECT
public:
  explicit FSignifikanz(Workspace& workspace, QWidget* parent = nullptr);

  WindowChrome* chrome() const { return chrome_; }

  // Tests the table as it is now and shows the results.
  void Recalculate();
  // What the window shows.
  const SignificanceReport& shown() const { return report_; }

  // The throw distances the chart shows: 0 all pairs, 1 direction A, 2 direction B.
  void ShowDistances(int which);

private:
  void FormCreate();
  QWidget* buildOverview();
  QWidget* buildNumbers();
  QWidget* buildChances();
  QWidget* buildDistances();
  QWidget* buildSections();
  QTableView* addTable(ReportTableModel* model, const QString& name, QWidget* parent);

  void showReport();
  void showOverview();
  void showNumbers();
  void showChances();
  void showDistanceTables();
  void showSections();

  Workspace& workspace_;
  WindowChrome* chrome_ = nullptr;
  QTimer* pending_ = nullptr;
  SignificanceReport report_;

  QLabel* lStand_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  ReportTableModel* overview_ = nullptr;
  QLabel* lUebersichtHinweis_ = nullptr;
  ReportTableModel* numbers_ = nullptr;
  QLabel* lNummernUrteil_ = nullptr;
  ReportTableModel* simpleChances_ = nullptr;
  ReportTableModel* thirds_ = nullptr;
  ReportTableModel* runs_ = nullptr;
  QLabel* lChancenHinweis_ = nullptr;
  ThrowDistanceChart* chart_ = nullptr;
  QButtonGroup* rgWurfweiten_ = nullptr;
  ReportTableModel* distances_ = nullptr;
  ReportTableModel* distanceTests_ = nullptr;
  QLabel* lWurfweitenHinweis_ = nullptr;
  ReportTableModel* sections_ = nullptr;
  QLabel* lAbschnitteUrteil_ = nullptr;
};

} // namespace kw
