// The fixed leading columns of a wide grid: they follow the grid's columns after its model
// changes, and a grid that goes while its model announces a reset takes them along safely.
#include "ui/FrozenColumns.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QtTest>

using namespace kw;

class FrozenColumnsTest : public QObject {
  Q_OBJECT

private slots:
  // A table widget clears its model while it is being destroyed; the fixed view must not be
  // brought in step with a grid that is half gone (it crashed at the end of the program).
  void aGridGoesWithItsFixedColumns() {
    for (int round = 0; round < 3; ++round) {
      auto* grid = new QTableWidget(40, 12);
      FreezeLeadingColumns(grid, 1);
      grid->resize(300, 200);
      grid->show();
      QVERIFY(QTest::qWaitForWindowExposed(grid));
      grid->setColumnCount(14); // a change the fixed view takes on at the next turn
      delete grid;
      QCoreApplication::processEvents();
    }
  }

  void theFixedColumnFollowsTheGridAfterItsModelChanges() {
    QTableWidget grid(5, 3);
    grid.setHorizontalHeaderLabels(
        {QStringLiteral("Datei"), QStringLiteral("1"), QStringLiteral("2")});
    QTableView* fixed = FreezeLeadingColumns(&grid, 1);
    grid.resize(300, 200);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    grid.setColumnCount(8);
    grid.setColumnWidth(0, 140);
    QTRY_COMPARE(fixed->width(), 140);
    for (int c = 1; c < 8; ++c)
      QVERIFY(fixed->isColumnHidden(c));
    QCOMPARE(fixed->horizontalHeader()->height(), grid.horizontalHeader()->height());
  }
};

QTEST_MAIN(FrozenColumnsTest)
#include "test_frozen_columns.moc"
