// The main window's chance analysis as a user meets it: type a permanence, press
// "Chancen-Analyse", read the number panels and the result grids, sort, open the chart.
#include "support/WindowTestHarness.h"
#include "ui/Application.h"
#include "ui/FChart1.h"
#include "ui/FHaupt.h"
#include "ui/FHauptAnalysisView.h"
#include "workspace/Workspace.h"

#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QtTest>

using namespace kw;
using namespace kw::test;

namespace {

const char* const CountGrids[] = {"GFarbe",   "GPair",   "GManque", "GDutzend",
                                  "GKolonne", "GSerien", "GTrans",  "GTrans2"};

QTableView* grid(FHaupt* main, const char* name) {
  return Find<QTableView>(main, QLatin1String(name));
}

// Grid row 0 is the heading (the view's header); rows from 1 are model rows from 0.
QString cell(QTableView* g, int row, int column) {
  return row == 0 ? g->model()->headerData(column, Qt::Horizontal).toString()
                  : g->model()->index(row - 1, column).data().toString();
}

int gridRows(QTableView* g) { return g->model()->rowCount() + 1; }

QStringList countRow(FHaupt* main, const char* name) {
  QTableView* g = grid(main, name);
  QStringList texts;
  for (int c = 0; c < g->model()->columnCount(); ++c)
    texts << cell(g, 1, c);
  return texts;
}

// Column `column` of a series grid over lengths 1..rows.
QStringList seriesColumn(FHaupt* main, const char* name, int column, int rows) {
  QStringList texts;
  for (int row = 1; row <= rows; ++row)
    texts << cell(grid(main, name), row, column);
  return texts;
}

void clickPad(FHaupt* main, std::initializer_list<int> codes) {
  for (int code : codes)
    QTest::mouseClick(Find<QPushButton>(main, QStringLiteral("num%1").arg(code)), Qt::LeftButton);
}

// Many coups at once, as a transfer enters them.
void enter(int code, int times) {
  const std::vector<CoupEntry> rows(static_cast<size_t>(times), CoupEntry{{}, code});
  Application::instance().workspace().AppendRows(rows);
}

void click(FHaupt* main, const char* button) {
  QTest::mouseClick(Find<QPushButton>(main, QLatin1String(button)), Qt::LeftButton);
}

QString countPanel(FHaupt* main, int number) {
  return Find<QLabel>(main, QStringLiteral("NummernAnz%1").arg(number))->text();
}

QPoint countPanelAt(FHaupt* main, int number) {
  return Find<QLabel>(main, QStringLiteral("NummernAnz%1").arg(number))->pos();
}

QPoint labelPanelAt(FHaupt* main, int number) {
  return Find<QLabel>(main, QStringLiteral("NummernLab%1").arg(number))->pos();
}

QPoint slotAt(int slot) {
  return slot == 0 ? QPoint(77, 25) : QPoint(5 + 36 * ((slot - 1) % 3), 65 + 40 * ((slot - 1) / 3));
}

QStringList repeated(const QString& text, int times) { return QStringList(times, text); }

} // namespace

class FHauptAnalysisTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { PrepareApplication(); }

  void gridsStartWithTheirHeadingsAndLengths() {
    WindowTestHarness h;
    FHaupt* main = h.app().fHaupt();
    QCOMPARE(cell(grid(main, "GFarbe"), 0, 0), QStringLiteral("Noir"));
    QCOMPARE(cell(grid(main, "GSerien"), 0, 2), QStringLiteral("Orphel."));
    QCOMPARE(cell(grid(main, "GTrans"), 0, 10), QStringLiteral("31-36"));
    QCOMPARE(cell(grid(main, "GTrans2"), 0, 11), QStringLiteral("34-36"));
    QCOMPARE(cell(grid(main, "GECSerien"), 0, 0), QStringLiteral("Serie"));
    QCOMPARE(cell(grid(main, "GDrittelSerien"), 0, 6), QStringLiteral("3. Kol."));
    QCOMPARE(gridRows(grid(main, "GECSerien")), 11);
    QCOMPARE(seriesColumn(main, "GECSerien", 0, 10),
             QStringList({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
    QCOMPARE(grid(main, "GTrans2")->columnWidth(2), 27);
    QCOMPARE(grid(main, "GTrans2")->columnWidth(3), 36);
    QCOMPARE(grid(main, "GECSerien")->columnWidth(0), 39);
    QCOMPARE(grid(main, "GECSerien")->rowHeight(0), 18);
    QCOMPARE(countPanel(main, 17), QString());
    QCOMPARE(Find<QLabel>(main, QStringLiteral("NummernLab17"))->text(), QStringLiteral("17"));
  }

  // R R HW R 0 N N R: 1 3 HW 5 0 2 4 34, counted by hand.
  void typedPermanenceFillsPanelsAndGrids() {
    WindowTestHarness h;
    FHaupt* main = h.app().fHaupt();
    clickPad(main, {1, 3, 50, 5, 0, 2, 4, 34});
    for (int run = 0; run < 2; ++run) { // a second run shows the same
      click(main, "BAnalyse");
      QCOMPARE(countRow(main, "GFarbe"), QStringList({"2", "1", "4"}));
      QCOMPARE(countRow(main, "GPair"), QStringList({"3", "3"}));
      QCOMPARE(countRow(main, "GManque"), QStringList({"5", "1"}));
      QCOMPARE(countRow(main, "GDutzend"), QStringList({"5", "0", "1"}));
      QCOMPARE(countRow(main, "GKolonne"), QStringList({"3", "2", "1"}));
      QCOMPARE(countRow(main, "GSerien"), QStringList({"4", "1", "2"}));
      QCOMPARE(countRow(main, "GTrans"),
               QStringList({"5", "2", "0", "0", "0", "0", "0", "0", "0", "0", "1"}));
      QCOMPARE(countRow(main, "GTrans2"),
               QStringList({"3", "2", "0", "0", "0", "0", "0", "0", "0", "0", "0", "1"}));
      // Lengths 1..10 per chance.
      const QStringList ec[] = {{"1", "0", "1"}, {"0", "1", "0"}, {"0", "0", "1"},
                                {"0", "0", "1"}, {"0", "1", "1"}, {"1", "0", "0"}};
      const QStringList third[] = {{"0", "1", "1"}, {"0", "0", "0"}, {"1", "0", "0"},
                                   {"1", "1", "0"}, {"2", "0", "0"}, {"1", "0", "0"}};
      for (int c = 1; c <= 6; ++c) {
        QCOMPARE(seriesColumn(main, "GECSerien", c, 10), ec[c - 1] + repeated("0", 7));
        QCOMPARE(seriesColumn(main, "GDrittelSerien", c, 10), third[c - 1] + repeated("0", 7));
      }
      for (int x : {0, 1, 2, 3, 4, 5, 34})
        QCOMPARE(countPanel(main, x), QStringLiteral("1"));
      QCOMPARE(countPanel(main, 6), QStringLiteral("0"));
    }
    QVERIFY(h.dialogs().calls.isEmpty());

    click(main, "BDel2"); // deleting the coups blanks every result
    for (const char* name : CountGrids)
      QCOMPARE(countRow(main, name).join(QString()), QString());
    QCOMPARE(seriesColumn(main, "GECSerien", 1, 10), repeated(QString(), 10));
    QCOMPARE(cell(grid(main, "GECSerien"), 10, 0), QStringLiteral("10"));
    QCOMPARE(countPanel(main, 1), QString());
  }

  void emptyTableShowsZeros() {
    WindowTestHarness h;
    FHaupt* main = h.app().fHaupt();
    click(main, "BAnalyse");
    QCOMPARE(countRow(main, "GFarbe"), repeated("0", 3));
    QCOMPARE(countRow(main, "GTrans2"), repeated("0", 12));
    QCOMPARE(seriesColumn(main, "GDrittelSerien", 6, 10), repeated("0", 10));
    QCOMPARE(countPanel(main, 0), QStringLiteral("0"));
  }

  void seriesOfMoreThan100CoupsIsRefused() {
    WindowTestHarness h;
    FHaupt* main = h.app().fHaupt();
    enter(1, 50);
    enter(50, 1); // a hand change neither ends nor lengthens the series
    enter(1, 50);
    click(main, "BAnalyse");
    QVERIFY(h.dialogs().calls.isEmpty());
    QCOMPARE(gridRows(grid(main, "GECSerien")), 101);
    QCOMPARE(cell(grid(main, "GECSerien"), 100, 1), QStringLiteral("1"));
    QCOMPARE(cell(grid(main, "GECSerien"), 100, 0), QStringLiteral("100"));

    enter(1, 1);
    click(main, "BAnalyse");
    QCOMPARE(h.dialogs().calls.size(), 1);
    QCOMPARE(h.dialogs().calls[0].kind, QStringLiteral("error"));
    QCOMPARE(h.dialogs().calls[0].text,
             QStringLiteral("Die Rouge-Serie ist bereits 100 Coups lang. Es handelt sich "
                            "offensichtlich nicht um eine Roulette-Permanenz.\r\rIch breche ab."));
    for (const char* name : CountGrids)
      QCOMPARE(countRow(main, name).join(QString()), QString());
    QCOMPARE(seriesColumn(main, "GECSerien", 1, 100), repeated(QString(), 100));
    QCOMPARE(cell(grid(main, "GECSerien"), 100, 0), QStringLiteral("100"));
    QCOMPARE(countPanel(main, 1), QString());

    // The chart still reads the counts of the whole table.
    click(main, "BChart1");
    auto* values = Find<QTableView>(h.app().fChart1(), QStringLiteral("GAnz"));
    QCOMPARE(values->model()->index(1, 1).data().toString(), QStringLiteral("101"));
    h.app().fChart1()->hide();
  }

  void seriesGridsGrowAndNeverShrink() {
    WindowTestHarness h;
    FHaupt* main = h.app().fHaupt();
    enter(1, 14);
    click(main, "BAnalyse");
    QTableView* ec = grid(main, "GECSerien");
    QCOMPARE(gridRows(ec), 15);
    QCOMPARE(cell(ec, 14, 0), QStringLiteral("14"));
    QCOMPARE(cell(ec, 14, 1), QStringLiteral("1"));
    QCOMPARE(gridRows(grid(main, "GDrittelSerien")), 15);

    click(main, "BDel2");
    enter(1, 6);
    enter(2, 1);
    click(main, "BAnalyse");
    QCOMPARE(gridRows(ec), 15);
    QCOMPARE(seriesColumn(main, "GECSerien", 1, 14),
             repeated("0", 5) + QStringList{"1"} + repeated("0", 4) + repeated(QString(), 4));
    QCOMPARE(seriesColumn(main, "GECSerien", 0, 14).mid(10), QStringList({"11", "12", "13", "14"}));
  }

  void sortingByCountWithTiesAndRestoring() {
    WindowTestHarness h;
    FHaupt* main = h.app().fHaupt();
    // Before any analysis every count is 0: sorting keeps the table order.
    click(main, "BWechsel");
    for (int x = 0; x <= 36; ++x)
      QCOMPARE(countPanelAt(main, x), slotAt(x));
    click(main, "BWechsel");

    enter(17, 5);
    enter(3, 5);
    enter(0, 6);
    enter(36, 1);
    click(main, "BAnalyse");
    click(main, "BWechsel");
    const int sorted[] = {0, 3, 17, 36, 1, 2, 4}; // then the zeros in ascending order
    for (int slot = 0; slot < 7; ++slot) {
      QCOMPARE(countPanelAt(main, sorted[slot]), slotAt(slot));
      QCOMPARE(labelPanelAt(main, sorted[slot]), slotAt(slot) - QPoint(0, 15));
    }
    QCOMPARE(countPanelAt(main, 35), slotAt(36));
    QCOMPARE(countPanel(main, 17), QStringLiteral("5")); // texts go with their panels
    QVERIFY(Find<QPushButton>(main, QStringLiteral("BWechsel"))->isChecked());

    click(main, "BWechsel");
    for (int x = 0; x <= 36; ++x) {
      QCOMPARE(countPanelAt(main, x), slotAt(x));
      QCOMPARE(labelPanelAt(main, x), slotAt(x) - QPoint(0, 15));
    }
    QVERIFY(!Find<QPushButton>(main, QStringLiteral("BWechsel"))->isChecked());
  }

  // 370 coups, ten of each number, and 19 hand changes that do not count: E = 10 (389
  // rows would give 11).
  void diagramOpensTheChartWithTheExpectedCount() {
    WindowTestHarness h;
    FHaupt* main = h.app().fHaupt();
    std::vector<CoupEntry> coups;
    for (int i = 0; i < 370; ++i)
      coups.push_back({{}, i % 37});
    h.app().workspace().AppendRows(coups);
    enter(50, 19);
    click(main, "BAnalyse");
    FChart1* chart = h.app().fChart1();
    QVERIFY(!chart->isVisible());
    Find<QRadioButton>(chart, QStringLiteral("RG1_1"))->setChecked(true);

    click(main, "BChart1");
    QVERIFY(chart->isVisible());
    QCOMPARE(chart->expected(), 10u);
    QVERIFY(Find<QRadioButton>(chart, QStringLiteral("RG1_0"))->isChecked());
    const QStringList legend = {"> 19", "17 - 19", "14 - 16", "7 - 13", "4 - 6", "1 - 3", "< 1"};
    for (int i = 1; i <= 7; ++i)
      QCOMPARE(Find<QLabel>(chart, QStringLiteral("PFarbe%1").arg(i))->text(), legend[i - 1]);
    chart->hide();
  }

  // Cell texts start 2 pixels in, sit centred or end 3 pixels before the right edge, and
  // never reach into the neighbour cells. The cell covers columns 20..59.
  void cellTextIsPlacedAndClipped_data() {
    QTest::addColumn<int>("alignment");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("inkLeft");   // first inked column, -1: not checked
    QTest::addColumn<int>("inkRight");  // last inked column, -1: not checked
    QTest::addColumn<int>("inkMiddle"); // -1: not checked
    QTest::newRow("left") << int(Qt::AlignLeft) << "8" << 22 << -1 << -1;
    QTest::newRow("right") << int(Qt::AlignRight) << "8" << -1 << 56 << -1;
    QTest::newRow("centre") << int(Qt::AlignHCenter) << "88" << -1 << -1 << 40;
    QTest::newRow("too wide") << int(Qt::AlignHCenter) << "888888888888" << 20 << 59 << -1;
  }

  void cellTextIsPlacedAndClipped() {
    QFETCH(int, alignment);
    QFETCH(QString, text);
    QFETCH(int, inkLeft);
    QFETCH(int, inkRight);
    QFETCH(int, inkMiddle);
    QImage image(80, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    const QRect cell(20, 0, 40, 18);
    {
      QPainter painter(&image);
      painter.setPen(Qt::black);
      DrawCellText(painter, cell, text, Qt::Alignment(alignment), QBrush(Qt::white));
    }
    int left = -1, right = -1;
    for (int x = 0; x < image.width(); ++x)
      for (int y = 0; y < image.height(); ++y)
        if (qGray(image.pixel(x, y)) < 128) {
          left = left < 0 ? x : left;
          right = x;
        }
    QVERIFY(left >= cell.left() && right <= cell.right());
    const QString ink = QStringLiteral("%1..%2").arg(left).arg(right);
    // Glyphs may leave a pixel of their advance blank.
    if (inkLeft >= 0)
      QVERIFY2(qAbs(left - inkLeft) <= 1, qPrintable(ink));
    if (inkRight >= 0)
      QVERIFY2(qAbs(right - inkRight) <= 1, qPrintable(ink));
    if (inkMiddle >= 0)
      QVERIFY2(qAbs((left + right) / 2 - inkMiddle) <= 2, qPrintable(ink));
  }
};

QTEST_MAIN(FHauptAnalysisTest)
#include "test_fhaupt_analysis.moc"
