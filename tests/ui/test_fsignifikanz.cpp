// The significance window as a user meets it: opened from the main window over its table,
// the tests with their verdicts, the throw-distance chart, the croupier sections, and the
// window following every change of the table.
#include "support/WindowActions.h"
#include "ui/Application.h"
#include "ui/FHaupt.h"
#include "ui/FSignifikanz.h"
#include "ui/SignificanceDisplay.h"
#include "workspace/Workspace.h"

#include <QLabel>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtTest>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

using namespace kw;
using namespace kw::test;

namespace {

// "Signifikanz" under "Chancen-Analyse" in the main window opens the window.
FSignifikanz* openFromMainWindow(WindowTestHarness& h) {
  FHaupt* main = h.app().fHaupt();
  main->show();
  click(main, "BSignifikanz");
  FSignifikanz* window = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* found = qobject_cast<FSignifikanz*>(w); found && found->isVisible())
      window = found;
  if (window)
    AttachModelTesters(window);
  return window;
}

QString text(FSignifikanz* w, const char* label) {
  return Find<QLabel>(w, QLatin1String(label))->text();
}

QAbstractItemModel* table(FSignifikanz* w, const char* name) {
  return Find<QTableView>(w, QLatin1String(name))->model();
}

QVariant cellData(FSignifikanz* w, const char* name, int row, int column,
                  int role = Qt::DisplayRole) {
  QAbstractItemModel* model = table(w, name);
  return model->data(model->index(row, column), role);
}

QString cellText(FSignifikanz* w, const char* name, int row, int column) {
  return cellData(w, name, row, column).toString();
}

// The column of verdicts of a table, top to bottom.
QStringList columnTexts(FSignifikanz* w, const char* name, int col) {
  QStringList out;
  for (int r = 0; r < table(w, name)->rowCount(); ++r)
    out << cellText(w, name, r, col);
  return out;
}

// Every number 100 times and 17 `seventeens` times, shuffled, as lines of a permanence.
std::vector<std::string> evenPermanence(int seventeens) {
  std::vector<std::string> lines;
  for (int n = 0; n <= 36; ++n)
    for (int k = 0; k < (n == 17 ? seventeens : 100); ++k)
      lines.push_back(std::to_string(n));
  std::shuffle(lines.begin(), lines.end(), std::mt19937(17));
  return lines;
}

// A recorded casino permanence, one coup per line.
std::vector<std::string> wiesbadenTableFive() {
  const QByteArray bytes = ReadBytes(SharedDataFile("spielbank-wiesbaden_t5_190424.txt"));
  std::vector<std::string> lines;
  for (const QByteArray& line : bytes.split('\n'))
    for (const QByteArray& number : line.trimmed().split(','))
      if (!number.isEmpty())
        lines.push_back(number.toStdString());
  return lines;
}

QBarSet* chartBars(FSignifikanz* w) {
  auto* view = Find<QChartView>(w, QStringLiteral("ChartViewWurfweiten"));
  auto* bars = qobject_cast<QBarSeries*>(view->chart()->series().value(0));
  return bars ? bars->barSets().value(0) : nullptr;
}

QLineSeries* chartExpected(FSignifikanz* w) {
  auto* view = Find<QChartView>(w, QStringLiteral("ChartViewWurfweiten"));
  return qobject_cast<QLineSeries*>(view->chart()->series().value(1));
}

} // namespace

class FSignifikanzTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { PrepareApplication(); }

  // Table 5 of Wiesbaden passes every test; the figures are those the statistics package
  // gave for the same file (see the engine's tests).
  void realPermanenceIsUnremarkable() {
    WindowTestHarness h;
    const std::vector<std::string> lines = wiesbadenTableFive();
    QVERIFY(lines.size() > 700000);
    h.app().workspace().TransferLines(lines);
    FSignifikanz* w = openFromMainWindow(h);
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QStringLiteral("Kesselwerk"));
    QVERIFY2(text(w, "LStand").contains(QStringLiteral("748116 Coups")),
             qPrintable(text(w, "LStand")));

    const QStringList verdicts = columnTexts(w, "GUebersicht", 2);
    QCOMPARE(verdicts.size(), 15);
    for (const QString& verdict : verdicts)
      QVERIFY2(verdict.startsWith(QStringLiteral("unauffällig (p = ")) &&
                   verdict.endsWith(QStringLiteral("): mit einem fairen Kessel vereinbar")),
               qPrintable(verdict));
    QCOMPARE(columnTexts(w, "GUebersicht", 0),
             (QStringList{"Nummern 0 bis 36", "Rouge", "Noir", "Impair", "Pair", "Manque", "Passe",
                          "Dutzende und Zero", "Kolonnen und Zero", "Serien Rouge/Noir",
                          "Serien Impair/Pair", "Serien Manque/Passe", "Wurfweiten, alle Paare",
                          "Wurfweiten, Richtung A", "Wurfweiten, Richtung B"}));
    QCOMPARE(cellText(w, "GUebersicht", 0, 1), QStringLiteral("χ² = 46,44 (36 Freiheitsgrade)"));
    QCOMPARE(cellText(w, "GUebersicht", 0, 2),
             QStringLiteral("unauffällig (p = 0,11): mit einem fairen Kessel vereinbar"));
    QCOMPARE(cellText(w, "GUebersicht", 2, 1), QStringLiteral("z = -1,22"));
    QCOMPARE(cellText(w, "GUebersicht", 13, 1), QStringLiteral("χ² = 36,87 (36 Freiheitsgrade)"));
    QVERIFY(!Find<QLabel>(w, QStringLiteral("LUebersichtHinweis"))->isVisibleTo(w));
    QCOMPARE(text(w, "LNummernUrteil"),
             QStringLiteral("χ² = 46,44 (36 Freiheitsgrade): unauffällig (p = 0,11): mit einem "
                            "fairen Kessel vereinbar"));
    // No hand change: the whole table is one croupier's section.
    QCOMPARE(table(w, "GAbschnitte")->rowCount(), 1);
    QCOMPARE(columnTexts(w, "GAbschnitte", 2), QStringList{"748115"});
    w->close();
  }

  // 17 twice as often as every other number: the numbers test objects, the residual of 17
  // is far above the expectation and the others are not; an even permanence passes.
  void numbersTestOfAFairAndABiasedWheel_data() {
    QTest::addColumn<int>("seventeens");
    QTest::addColumn<QString>("verdict");
    QTest::addColumn<QString>("residual17");
    QTest::addColumn<int>("step17");
    QTest::newRow("every number alike")
        << 100
        << "χ² = 0,00 (36 Freiheitsgrade): unauffällig (p = 1): mit einem fairen Kessel vereinbar"
        << "0,00" << 3;
    QTest::newRow("17 twice as often")
        << 200 << "χ² = 94,74 (36 Freiheitsgrade): auffällig (p < 0,0001)"
        << "9,60" << 6;
  }

  void numbersTestOfAFairAndABiasedWheel() {
    QFETCH(int, seventeens);
    QFETCH(QString, verdict);
    QFETCH(QString, residual17);
    QFETCH(int, step17);
    WindowTestHarness h;
    h.app().workspace().TransferLines(evenPermanence(seventeens));
    FSignifikanz* w = openFromMainWindow(h);
    QVERIFY(w);
    QCOMPARE(text(w, "LNummernUrteil"), verdict);
    QCOMPARE(cellText(w, "GUebersicht", 0, 2),
             verdict.mid(verdict.indexOf(QStringLiteral(": ")) + 2));
    const bool remarkable = verdict.contains(QStringLiteral("auffällig (p <"));
    QCOMPARE(cellData(w, "GUebersicht", 0, 2, Qt::BackgroundRole).isValid(), remarkable);

    QCOMPARE(cellText(w, "GNummern", 17, 0), QStringLiteral("17"));
    QCOMPARE(cellText(w, "GNummern", 17, 1), QString::number(seventeens));
    QCOMPARE(cellText(w, "GNummern", 17, 3), residual17);
    QCOMPARE(cellData(w, "GNummern", 17, 3, Qt::BackgroundRole).value<QColor>(),
             ResidualStepColour(step17));
    // (100 - E) / sqrt(E) is -0,27 beside the biased 17: within ±1, white.
    QCOMPARE(cellData(w, "GNummern", 4, 3, Qt::BackgroundRole).value<QColor>(), QColor(Qt::white));
    QCOMPARE(cellText(w, "GNummern", 4, 2),
             QString::fromLatin1(seventeens == 100 ? "100,00" : "102,70"));
  }

  // The chart shows the chosen throw distances and the level a fair wheel gives each.
  void chartShowsTheChosenDistancesAndTheExpectedLevel() {
    WindowTestHarness h;
    h.app().workspace().TransferLines(evenPermanence(200));
    FSignifikanz* w = openFromMainWindow(h);
    QVERIFY(w);
    const ThrowDistanceTests& t = w->shown().throwDistances;
    QCOMPARE(t.all.pairs, int64_t(3799));
    const std::pair<const char*, const DistanceTest*> choices[] = {
        {"RBRichtungA", &t.a}, {"RBRichtungB", &t.b}, {"RBAlle", &t.all}};
    for (auto [radio, test] : choices) {
      click<QRadioButton>(w, QLatin1String(radio));
      QBarSet* bars = chartBars(w);
      QVERIFY(bars);
      QCOMPARE(bars->count(), 37);
      for (int d = 0; d < 37; ++d)
        QCOMPARE(bars->at(d), double(test->distribution[size_t(d)]));
      const QList<QPointF> level = chartExpected(w)->points();
      QCOMPARE(level.size(), 2);
      QCOMPARE(level[0].y(), double(test->pairs) / 37);
      QCOMPARE(level[1].y(), double(test->pairs) / 37);
    }
    // The table beside the chart holds all three distributions.
    QCOMPARE(cellText(w, "GWurfweiten", 5, 1), QString::number(t.all.distribution[5]));
    QCOMPARE(cellText(w, "GWurfweiten", 5, 2), QString::number(t.a.distribution[5]));
    QCOMPARE(cellText(w, "GWurfweiten", 5, 3), QString::number(t.b.distribution[5]));
    QCOMPARE(columnTexts(w, "GWurfweitenTests", 1),
             (QStringList{"3799", QString::number(t.a.pairs), QString::number(t.b.pairs)}));
    QCOMPARE(cellText(w, "GWurfweitenTests", 1, 2), ChiSquareText(t.a.test));
  }

  // Hand changes split the coups into sections; sections with 37 pairs or more are listed
  // with the number of their first coup among all coups.
  void croupierSectionsBetweenHandChanges() {
    WindowTestHarness h;
    std::vector<std::string> lines;
    std::mt19937 random(5);
    auto coups = [&](int count) {
      for (int i = 0; i < count; ++i)
        lines.push_back(std::to_string(random() % 37));
    };
    coups(38); // coups 1..38: 37 pairs
    lines.push_back("HW");
    coups(10); // coups 39..48: too few pairs
    lines.push_back("HW");
    coups(40); // coups 49..88: 39 pairs
    h.app().workspace().TransferLines(lines);
    FSignifikanz* w = openFromMainWindow(h);
    QVERIFY(w);
    QCOMPARE(columnTexts(w, "GAbschnitte", 0), (QStringList{"1", "2"}));
    QCOMPARE(columnTexts(w, "GAbschnitte", 1), (QStringList{"1", "49"}));
    QCOMPARE(columnTexts(w, "GAbschnitte", 2), (QStringList{"37", "39"}));
    // Every section's expected count is 1 per distance: rough p-values, marked.
    for (const QString& verdict : columnTexts(w, "GAbschnitte", 4))
      QVERIFY2(verdict.endsWith(QStringLiteral(" *")), qPrintable(verdict));
    QVERIFY2(text(w, "LAbschnitteUrteil").contains(QStringLiteral("von 2 Abschnitten")),
             qPrintable(text(w, "LAbschnitteUrteil")));
    QCOMPARE(cellData(w, "GAbschnitte", 0, 4, Qt::ToolTipRole).toString(),
             QStringLiteral("erwartete Anzahl unter 5: der p-Wert ist nur eine grobe Näherung"));
    QVERIFY(Find<QLabel>(w, QStringLiteral("LUebersichtHinweis"))->isVisibleTo(w));
  }

  // Typing a coup, transferring a permanence and clearing the table: the window shows the
  // table as it is after each change, without a button.
  void followsEveryChangeOfTheTable() {
    WindowTestHarness h;
    FSignifikanz* w = openFromMainWindow(h);
    QVERIFY(w);
    QVERIFY(text(w, "LStand").contains(QStringLiteral("enthält keine Coups")));
    QCOMPARE(cellText(w, "GUebersicht", 0, 2),
             QStringLiteral("keine Aussage möglich: zu wenige Coups"));

    clickPad(h.app().fHaupt(), {17, 4, 50, 17});
    QTRY_VERIFY(text(w, "LStand").contains(QStringLiteral(": 3 Coups")));
    QCOMPARE(w->shown().numbers.observed[17], int64_t(2));
    QCOMPARE(cellText(w, "GNummern", 17, 1), QStringLiteral("2"));

    h.app().workspace().TransferLines(evenPermanence(200));
    QTRY_COMPARE(w->shown().coups, int64_t(3803));
    QCOMPARE(cellText(w, "GNummern", 17, 1), QStringLiteral("202"));
    QVERIFY(cellText(w, "GUebersicht", 0, 2).startsWith(QStringLiteral("auffällig")));

    click(h.app().fHaupt(), "BDel2");
    QTRY_COMPARE(w->shown().coups, int64_t(0));
    QCOMPARE(cellText(w, "GNummern", 17, 1), QStringLiteral("0"));
    QCOMPARE(table(w, "GAbschnitte")->rowCount(), 0);
  }

  void opensOnceFromMenuAndButton() {
    WindowTestHarness h;
    FSignifikanz* first = openFromMainWindow(h);
    QVERIFY(first);
    h.app().fHaupt()->findChild<QAction*>(QStringLiteral("miSignifikanz"))->trigger();
    int open = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
      open += w->objectName() == QLatin1String("FSignifikanz") && w->isVisible() ? 1 : 0;
    QCOMPARE(open, 1);
    QCOMPARE(Find<QTabWidget>(first, QStringLiteral("PCSignifikanz"))->count(), 5);
    // Left open: the end of the application deletes it together with its menus (which are
    // top-level widgets too) without touching one of them after it is gone.
  }
};

QTEST_MAIN(FSignifikanzTest)
#include "test_fsignifikanz.moc"
