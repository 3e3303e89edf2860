// The frequency chart: slices in wheel order with their counts and range colours, the
// value table, the legend, and the switch between whole and halved deviations.
#include "support/WindowTestHarness.h"
#include "ui/FChart1.h"

#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QTableView>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QPieSeries>
#include <QtCharts/QPieSlice>
#include <QtTest>

using namespace kw;
using namespace kw::test;

namespace {

const QColor C0(0x00, 0x40, 0x80), C1(0x8F, 0x8F, 0xCB), C2(0xCA, 0xCA, 0xE6), C3(0x9B, 0xFF, 0x9B),
    C4(0xFF, 0x84, 0x84), C5(0xFF, 0x00, 0x00), C6(0x80, 0x00, 0x00);

QPieSeries* pie(FChart1* chart) {
  auto* view = Find<QChartView>(chart, QStringLiteral("Chart1"));
  return view ? qobject_cast<QPieSeries*>(view->chart()->series().value(0)) : nullptr;
}

QPieSlice* sliceOf(FChart1* chart, int number) {
  for (QPieSlice* slice : pie(chart)->slices())
    if (slice->label() == QString::number(number))
      return slice;
  return nullptr;
}

QStringList legend(FChart1* chart) {
  QStringList texts;
  for (int i = 1; i <= 7; ++i)
    texts << Find<QLabel>(chart, QStringLiteral("PFarbe%1").arg(i))->text();
  return texts;
}

QModelIndex valueCell(FChart1* chart, int number, int column) {
  return Find<QTableView>(chart, QStringLiteral("GAnz"))->model()->index(number, column);
}

// The colour GAnz paints in the middle of a count cell.
QColor paintedCount(FChart1* chart, int number) {
  auto* table = Find<QTableView>(chart, QStringLiteral("GAnz"));
  const QRect cell = table->visualRect(table->model()->index(number, 1));
  const QImage image = table->viewport()->grab().toImage();
  return image.pixelColor(cell.left() + 3, cell.center().y());
}

// 370 coups around E = 10, one number in each of the seven ranges of whole deviations
// (T0..T6 = 19, 16, 13, 10, 7, 4, 1).
FrequencyInput sevenRanges() {
  FrequencyInput input;
  input.counts.fill(10);
  const std::pair<int, uint32_t> set[] = {{0, 25}, {1, 18}, {2, 15}, {3, 10},
                                          {4, 5},  {5, 2},  {6, 0}};
  for (auto [number, count] : set)
    input.counts[size_t(number)] = count;
  input.coups = 370;
  return input;
}

} // namespace

class FChart1Test : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { PrepareApplication(); }

  void createdWithItsLegendPanels() {
    WindowTestHarness h;
    FChart1* chart = h.app().fChart1();
    QCOMPARE(chart->windowTitle(), QStringLiteral("Kesselwerk"));
    const QColor fills[] = {C0, C1, C2, C3, C4, C5, C6};
    for (int i = 1; i <= 7; ++i) {
      auto* panel = Find<QLabel>(chart, QStringLiteral("PFarbe%1").arg(i));
      QCOMPARE(panel->geometry(), QRect(10 + 100 * (i - 1), 10, 90, 21));
      QCOMPARE(panel->palette().color(QPalette::Window), fills[i - 1]);
      const bool white = i <= 2 || i >= 6;
      QCOMPARE(panel->palette().color(QPalette::WindowText),
               white ? QColor(Qt::white) : QColor(Qt::black));
      QCOMPARE(panel->text(), QString());
    }
    QCOMPARE(Find<QGroupBox>(chart, QStringLiteral("RG1"))->title(),
             QStringLiteral("Färbung nach Standardabweichung ..."));
    QVERIFY(Find<QRadioButton>(chart, QStringLiteral("RG1_0"))->isChecked());
    QCOMPARE(Find<QTableView>(chart, QStringLiteral("GAnz"))->columnWidth(1), 55);
  }

  void fillColoursSlicesTableAndLegend() {
    WindowTestHarness h;
    FChart1* chart = h.app().fChart1();
    chart->SetCountSource(sevenRanges);
    chart->SetExpected(10);
    chart->SelectColouring(0);
    chart->RG1Click();
    QVERIFY(chart->isVisible());

    // Zero first, then the wheel backwards.
    const QList<QPieSlice*> slices = pie(chart)->slices();
    QCOMPARE(slices.size(), 37);
    const QStringList first = {"0", "26", "3", "35", "12", "28"};
    for (int i = 0; i < first.size(); ++i)
      QCOMPARE(slices[i]->label(), first[i]);
    QCOMPARE(slices.last()->label(), QStringLiteral("32"));
    QCOMPARE(chart->findChild<QChartView*>()->chart()->title(), QString());
    QVERIFY(!chart->findChild<QChartView*>()->chart()->legend()->isVisible());

    const std::pair<int, QColor> colours[] = {{0, C0}, {1, C1}, {2, C2}, {3, C3},
                                              {4, C4}, {5, C5}, {6, C6}, {36, C3}};
    for (auto [number, colour] : colours) {
      QCOMPARE(sliceOf(chart, number)->brush().color(), colour);
      QCOMPARE(valueCell(chart, number, 0).data().toString(), QString::number(number));
      QCOMPARE(valueCell(chart, number, 1).data().toString(),
               QString::number(sevenRanges().counts[size_t(number)]));
      QCOMPARE(paintedCount(chart, number), colour);
    }
    QCOMPARE(sliceOf(chart, 0)->value(), 25.0);
    QCOMPARE(legend(chart),
             QStringList({"> 19", "17 - 19", "14 - 16", "7 - 13", "4 - 6", "1 - 3", "< 1"}));

    // Halved deviations: 15, 13, 12, 10, 8, 7, 5; the same counts fall into other ranges.
    QTest::mouseClick(Find<QRadioButton>(chart, QStringLiteral("RG1_1")), Qt::LeftButton);
    QCOMPARE(legend(chart),
             QStringList({"> 15", "14 - 15", "13 - 13", "8 - 12", "7 - 7", "5 - 6", "< 5"}));
    QCOMPARE(sliceOf(chart, 2)->brush().color(), C1);
    QCOMPARE(sliceOf(chart, 4)->brush().color(), C5);
    QCOMPARE(sliceOf(chart, 5)->brush().color(), C6);
    QCOMPARE(paintedCount(chart, 2), C1);
    chart->hide();
  }

  void withoutCountsEverythingIsInTheMiddleRange() {
    WindowTestHarness h;
    FChart1* chart = h.app().fChart1();
    chart->SetExpected(0);
    chart->RG1Click();
    // Slices of size 0 would still draw their edges as a stray line: the pie stays empty.
    QVERIFY(pie(chart)->slices().isEmpty());
    QCOMPARE(paintedCount(chart, 17), C3);
    QCOMPARE(legend(chart),
             QStringList({"> 0", "1 - 0", "1 - 0", "0 - 0", "0 - -1", "0 - -1", "< 0"}));
    chart->hide();
  }
};

QTEST_MAIN(FChart1Test)
#include "test_fchart1.moc"
