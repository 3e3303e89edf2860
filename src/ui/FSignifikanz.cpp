#include "ui/FSignifikanz.h"

#include "statistics/Verdict.h"
#include "ui/Help.h"
#include "ui/HelpTopics.h"
#include "ui/ReportTableModel.h"
#include "ui/SignificanceDisplay.h"
#include "ui/ThrowDistanceChart.h"
#include "ui/WindowChrome.h"
#include "ui/WindowParts.h"
#include "workspace/Workspace.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <vector>

namespace kw {
namespace {

constexpr int ClientWidth = 1060;
constexpr int ClientHeight = 600;

// A verdict that the eye should find: the cell of a remarkable test is tinted.
const QColor RemarkableTint(0xFB, 0xDC, 0xCB);

QVariant rightAligned() { return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter); }

QString integerText(int64_t value) { return QString::number(value); }

QString zText(std::optional<double> z) {
  return z ? QStringLiteral("z = ") + DecimalText(*z) : QString();
}

// The cell of a verdict: its text, the tint when remarkable, the note when its p is rough.
QVariant verdictData(std::optional<double> p, bool valid, int role) {
  switch (role) {
  case Qt::DisplayRole:
    return VerdictCell(p, valid);
  case Qt::BackgroundRole:
    if (p && IsRemarkable(*p))
      return RemarkableTint;
    return {};
  case Qt::ToolTipRole:
    if (p && !valid)
      return FromUtf8(SmallExpectedCountNote);
    return {};
  default:
    return {};
  }
}

// A cell of a row laid out as name, observed, expected, z and verdict: the simple chances'
// z tests and the runs tests share it.
QVariant zTestCell(std::string_view name, int64_t observed, double expected,
                   std::optional<double> z, std::optional<double> p, bool valid, int column,
                   int role) {
  if (column == 4)
    return verdictData(p, valid, role);
  if (role == Qt::TextAlignmentRole && column > 0)
    return rightAligned();
  if (role != Qt::DisplayRole)
    return {};
  switch (column) {
  case 0:
    return FromUtf8(name);
  case 1:
    return integerText(observed);
  case 2:
    return DecimalText(expected);
  default:
    return DecimalText(z);
  }
}

// One line of the overview: the test, its statistic and its verdict.
struct OverviewRow {
  QString test;
  QString statistic;
  std::optional<double> p;
  bool valid = false;
};

std::vector<OverviewRow> overviewRows(const SignificanceReport& r) {
  std::vector<OverviewRow> rows;
  auto chiSquare = [&rows](const QString& test, const ChiSquareTest& t) {
    rows.push_back({test, ChiSquareText(t), t.p, t.valid});
  };
  chiSquare(QStringLiteral("Nummern 0 bis 36"), r.numbers.test);
  for (const SimpleChanceTest& t : r.simpleChances)
    rows.push_back({FromUtf8(t.name), zText(t.z), t.p, t.valid});
  for (const ThirdChanceTest& t : r.thirdChances)
    chiSquare(FromUtf8(t.name) + QStringLiteral(" und Zero"), t.test);
  for (const RunsTest& t : r.runs)
    rows.push_back({QStringLiteral("Serien ") + FromUtf8(t.name), zText(t.z), t.p, t.valid});
  chiSquare(QStringLiteral("Wurfweiten, alle Paare"), r.throwDistances.all.test);
  chiSquare(QStringLiteral("Wurfweiten, Richtung A"), r.throwDistances.a.test);
  chiSquare(QStringLiteral("Wurfweiten, Richtung B"), r.throwDistances.b.test);
  return rows;
}

bool anyRoughP(const std::vector<OverviewRow>& rows) {
  return std::any_of(rows.begin(), rows.end(),
                     [](const OverviewRow& row) { return row.p && !row.valid; });
}

// The croupier sections: how many are remarkable, and how many a fair wheel would give.
QString sectionsSummary(const std::vector<SectionDistanceTest>& sections) {
  if (sections.empty())
    return QStringLiteral("Kein Abschnitt zwischen zwei Handwechseln hat %1 oder mehr Paare "
                          "aufeinanderfolgender Coups; einzeln getestet werden nur solche.")
        .arg(MinimumSectionPairs);
  const auto remarkable = std::count_if(sections.begin(), sections.end(), [](const auto& s) {
    return s.test.p && IsRemarkable(*s.test.p);
  });
  return QStringLiteral("%1 von %2 Abschnitten sind auffällig. Bei einem fairen Kessel ist im "
                        "Mittel jeder zwanzigste auffällig, hier also etwa %3.")
      .arg(remarkable)
      .arg(sections.size())
      .arg(DecimalText(static_cast<double>(sections.size()) * SignificanceLevel, 1));
}

QLabel* caption(const QString& text, const QString& name, QWidget* parent) {
  QLabel* label = BoldLabel(text, name, parent);
  label->setWordWrap(false);
  return label;
}

QWidget* page(const QString& name, QWidget* parent) {
  auto* widget = new QWidget(parent);
  widget->setObjectName(name);
  return widget;
}

// A table exactly as tall as its rows: the small tables of the chances page do not scroll.
void fitHeightToRows(QTableView* view, int rows) {
  view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  view->setFixedHeight(view->horizontalHeader()->sizeHint().height() +
                       rows * view->verticalHeader()->defaultSectionSize() +
                       2 * view->frameWidth());
}

} // namespace

FSignifikanz::FSignifikanz(Workspace& workspace, QWidget* parent)
    : QMainWindow(parent), workspace_(workspace) {
  setObjectName(QStringLiteral("FSignifikanz"));
  FormCreate();
  Recalculate();
}

void FSignifikanz::FormCreate() {
  setWindowTitle(QStringLiteral("Kesselwerk"));
  ChromeConfig config;
  config.helpContext = help::Significance;
  config.openSave = false;
  chrome_ = WindowChrome::install(this, config);
  InstallHelpKey(this, help::Significance);

  auto* client = new QWidget(this);
  auto* layout = new QVBoxLayout(client);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(4);
  layout->addWidget(
      HeadingStrip(QStringLiteral("   Signifikanz"), client, QStringLiteral("PTitel")));

  auto* body = new QVBoxLayout;
  body->setContentsMargins(8, 2, 8, 8);
  lStand_ = WrappedLabel(QString(), QStringLiteral("LStand"), client);
  body->addWidget(lStand_);
  tabs_ = new QTabWidget(client);
  tabs_->setObjectName(QStringLiteral("PCSignifikanz"));
  tabs_->addTab(buildOverview(), QStringLiteral("&Übersicht"));
  tabs_->addTab(buildNumbers(), QStringLiteral("&Nummern"));
  tabs_->addTab(buildChances(), QStringLiteral("&Chancen und Serien"));
  tabs_->addTab(buildDistances(), QStringLiteral("&Wurfweiten"));
  tabs_->addTab(buildSections(), QStringLiteral("Cr&oupier-Abschnitte"));
  body->addWidget(tabs_, 1);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(WrappedLabel(FromUtf8(ManyTestsNote), QStringLiteral("LSchwelle"), client), 1);
  auto* close = new QPushButton(QStringLiteral("Sch&ließen"), client);
  close->setObjectName(QStringLiteral("BSchliessen"));
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  bottom->addWidget(close, 0, Qt::AlignBottom);
  body->addLayout(bottom);
  layout->addLayout(body, 1);
  setCentralWidget(client);

  // A transfer, a typed coup or a cleared table: tested again once the change is done, so a
  // burst of changes costs one pass.
  pending_ = new QTimer(this);
  pending_->setSingleShot(true);
  pending_->setInterval(0);
  connect(pending_, &QTimer::timeout, this, &FSignifikanz::Recalculate);
  auto schedule = [this] { pending_->start(); };
  connect(&workspace_, &Workspace::rowsAppended, this, schedule);
  connect(&workspace_, &Workspace::rowEntered, this, schedule);
  connect(&workspace_, &Workspace::lastRowRemoved, this, schedule);
  connect(&workspace_, &Workspace::allCleared, this, schedule);

  resize(ClientWidth, ClientHeight + menuBar()->sizeHint().height());
}

QTableView* FSignifikanz::addTable(ReportTableModel* model, const QString& name, QWidget* parent) {
  auto* view = new QTableView(parent);
  view->setObjectName(name);
  view->setModel(model);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setSelectionMode(QAbstractItemView::SingleSelection);
  view->setWordWrap(false);
  view->setTextElideMode(Qt::ElideNone);
  view->verticalHeader()->hide();
  view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
  view->horizontalHeader()->setHighlightSections(false);
  view->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  view->horizontalHeader()->setStretchLastSection(true);
  return view;
}

QWidget* FSignifikanz::buildOverview() {
  QWidget* widget = page(QStringLiteral("TabUebersicht"), tabs_);
  auto* layout = new QVBoxLayout(widget);
  overview_ = new ReportTableModel(
      {QStringLiteral("Test"), QStringLiteral("Prüfgröße"), QStringLiteral("Urteil")}, this);
  QTableView* view = addTable(overview_, QStringLiteral("GUebersicht"), widget);
  view->setColumnWidth(0, 190);
  view->setColumnWidth(1, 230);
  layout->addWidget(view, 1);
  lUebersichtHinweis_ = WrappedLabel(QString(), QStringLiteral("LUebersichtHinweis"), widget);
  layout->addWidget(lUebersichtHinweis_);
  return widget;
}

QWidget* FSignifikanz::buildNumbers() {
  QWidget* widget = page(QStringLiteral("TabNummern"), tabs_);
  auto* layout = new QHBoxLayout(widget);
  numbers_ = new ReportTableModel({QStringLiteral("Nummer"), QStringLiteral("beobachtet"),
                                   QStringLiteral("erwartet"), QStringLiteral("Residuum")},
                                  this);
  QTableView* view = addTable(numbers_, QStringLiteral("GNummern"), widget);
  for (int c = 0; c < 4; ++c)
    view->setColumnWidth(c, 84);
  view->setFixedWidth(4 * 84 + view->verticalScrollBar()->sizeHint().width() +
                      2 * view->frameWidth() + 4);
  layout->addWidget(view);

  auto* right = new QVBoxLayout;
  right->addWidget(caption(QStringLiteral("Chi-Quadrat-Test der 37 Nummern"),
                           QStringLiteral("LNummernTitel"), widget));
  lNummernUrteil_ = WrappedLabel(QString(), QStringLiteral("LNummernUrteil"), widget);
  right->addWidget(lNummernUrteil_);
  right->addSpacing(8);
  right->addWidget(ResidualLegend(QStringLiteral("PLegendeNummern"), widget));
  right->addWidget(WrappedLabel(FromUtf8(ManyCellsNote), QStringLiteral("LVieleZellen"), widget));
  right->addStretch(1);
  layout->addLayout(right, 1);
  return widget;
}

QWidget* FSignifikanz::buildChances() {
  QWidget* widget = page(QStringLiteral("TabChancen"), tabs_);
  auto* layout = new QVBoxLayout(widget);
  // A caption over its table, the table as high as its rows.
  auto titledTable = [&](const QString& title, const QString& captionName, ReportTableModel* model,
                         const QString& tableName, int rows) {
    layout->addWidget(caption(title, captionName, widget));
    QTableView* view = addTable(model, tableName, widget);
    fitHeightToRows(view, rows);
    layout->addWidget(view);
    return view;
  };
  simpleChances_ = new ReportTableModel({QStringLiteral("Chance"), QStringLiteral("Anzahl"),
                                         QStringLiteral("erwartet"), QStringLiteral("z"),
                                         QStringLiteral("Urteil")},
                                        this);
  QTableView* simple =
      titledTable(QStringLiteral("Einfache Chancen (z-Test, zweiseitig)"),
                  QStringLiteral("LEinfacheTitel"), simpleChances_, QStringLiteral("GEinfache"), 6);
  thirds_ =
      new ReportTableModel({QStringLiteral("Gruppen"), QStringLiteral("1."), QStringLiteral("2."),
                            QStringLiteral("3."), QStringLiteral("Zero"), QStringLiteral("Urteil")},
                           this);
  QTableView* thirds =
      titledTable(QStringLiteral("Dutzende und Kolonnen (Chi-Quadrat, Zero als vierte Gruppe)"),
                  QStringLiteral("LDrittelTitel"), thirds_, QStringLiteral("GDrittel"), 3);
  runs_ = new ReportTableModel({QStringLiteral("Chancen"), QStringLiteral("Serien"),
                                QStringLiteral("erwartet"), QStringLiteral("z"),
                                QStringLiteral("Urteil")},
                               this);
  QTableView* runs =
      titledTable(QStringLiteral("Serien (Wald-Wolfowitz-Test, ohne Zero)"),
                  QStringLiteral("LSerienTitel"), runs_, QStringLiteral("GSerien"), 3);
  for (QTableView* view : {simple, thirds, runs}) {
    for (int c = 0; c < 5; ++c)
      view->setColumnWidth(c, c == 0 ? 130 : 90);
  }
  lChancenHinweis_ = WrappedLabel(QString(), QStringLiteral("LChancenHinweis"), widget);
  layout->addWidget(lChancenHinweis_);
  layout->addStretch(1);
  return widget;
}

QWidget* FSignifikanz::buildDistances() {
  QWidget* widget = page(QStringLiteral("TabWurfweiten"), tabs_);
  auto* layout = new QHBoxLayout(widget);
  auto* left = new QVBoxLayout;
  chart_ = new ThrowDistanceChart(widget);
  left->addWidget(chart_, 1);

  auto* choice = new QHBoxLayout;
  choice->addWidget(new QLabel(QStringLiteral("Im Diagramm:"), widget));
  // Alt+A opens the menu "Analysen" and Alt+L is "Schließen": the choices use other letters.
  rgWurfweiten_ = new QButtonGroup(widget);
  const std::pair<const char*, const char*> items[] = {
      {"alle &Paare", "RBAlle"}, {"R&ichtung A", "RBRichtungA"}, {"Richtun&g B", "RBRichtungB"}};
  for (int i = 0; i < 3; ++i) {
    auto* radio = new QRadioButton(QString::fromUtf8(items[i].first), widget);
    radio->setObjectName(QLatin1String(items[i].second));
    rgWurfweiten_->addButton(radio, i);
    choice->addWidget(radio);
  }
  rgWurfweiten_->button(0)->setChecked(true);
  connect(rgWurfweiten_, &QButtonGroup::idClicked, this, &FSignifikanz::ShowDistances);
  choice->addStretch(1);
  left->addLayout(choice);
  distanceTests_ = new ReportTableModel({QStringLiteral("Paare"), QStringLiteral("Anzahl"),
                                         QStringLiteral("Prüfgröße"), QStringLiteral("Urteil")},
                                        this);
  QTableView* tests = addTable(distanceTests_, QStringLiteral("GWurfweitenTests"), widget);
  tests->setColumnWidth(0, 90);
  tests->setColumnWidth(1, 60);
  tests->setColumnWidth(2, 200);
  fitHeightToRows(tests, 3);
  left->addWidget(tests);
  lWurfweitenHinweis_ = WrappedLabel(QString(), QStringLiteral("LWurfweitenHinweis"), widget);
  left->addWidget(lWurfweitenHinweis_);
  layout->addLayout(left, 1);

  distances_ = new ReportTableModel(
      {QStringLiteral("Weite"), QStringLiteral("alle"), QStringLiteral("A"), QStringLiteral("B")},
      this);
  QTableView* view = addTable(distances_, QStringLiteral("GWurfweiten"), widget);
  for (int c = 0; c < 4; ++c)
    view->setColumnWidth(c, c == 0 ? 50 : 66);
  view->setFixedWidth(50 + 3 * 66 + view->verticalScrollBar()->sizeHint().width() +
                      2 * view->frameWidth() + 4);
  layout->addWidget(view);
  return widget;
}

QWidget* FSignifikanz::buildSections() {
  QWidget* widget = page(QStringLiteral("TabAbschnitte"), tabs_);
  auto* layout = new QVBoxLayout(widget);
  layout->addWidget(WrappedLabel(
      QStringLiteral("Die Handwechsel teilen die Coups in Abschnitte, je einen Croupier. Jeder "
                     "Abschnitt mit mindestens %1 Paaren aufeinanderfolgender Coups wird für sich "
                     "getestet: Sind seine Wurfweiten gleich verteilt?")
          .arg(MinimumSectionPairs),
      QStringLiteral("LAbschnitteText"), widget));
  lAbschnitteUrteil_ = BoldLabel(QString(), QStringLiteral("LAbschnitteUrteil"), widget);
  layout->addWidget(lAbschnitteUrteil_);
  sections_ = new ReportTableModel({QStringLiteral("Abschnitt"), QStringLiteral("erster Coup"),
                                    QStringLiteral("Paare"), QStringLiteral("χ² (36 FG)"),
                                    QStringLiteral("Urteil")},
                                   this);
  QTableView* view = addTable(sections_, QStringLiteral("GAbschnitte"), widget);
  for (int c = 0; c < 4; ++c)
    view->setColumnWidth(c, 100);
  layout->addWidget(view, 1);
  return widget;
}

void FSignifikanz::Recalculate() {
  pending_->stop();
  report_ = AnalyseSignificance(workspace_.table().RowValues());
  showReport();
}

void FSignifikanz::showReport() {
  lStand_->setText(
      report_.coups == 0
          ? QStringLiteral("Die Tabelle der Zentrale enthält keine Coups. Übertragen Sie dort "
                           "eine Permanenz; dieses Fenster folgt jeder Änderung der Tabelle.")
          : QStringLiteral("Getestet wird die Tabelle der Zentrale: %1 Coups (Handwechsel "
                           "zählen nicht). Dieses Fenster folgt jeder Änderung der Tabelle.")
                .arg(report_.coups));
  showOverview();
  showNumbers();
  showChances();
  showDistanceTables();
  showSections();
}

void FSignifikanz::showOverview() {
  const std::vector<OverviewRow> rows = overviewRows(report_);
  overview_->show(static_cast<int>(rows.size()), [rows](int row, int column, int role) {
    const OverviewRow& r = rows[static_cast<size_t>(row)];
    if (column == 2)
      return verdictData(r.p, r.valid, role);
    if (role != Qt::DisplayRole)
      return QVariant();
    return QVariant(column == 0 ? r.test : r.statistic);
  });
  lUebersichtHinweis_->setText(anyRoughP(rows) ? SmallExpectedFootnote() : QString());
  lUebersichtHinweis_->setVisible(anyRoughP(rows));
}

void FSignifikanz::showNumbers() {
  const NumbersTest& t = report_.numbers;
  numbers_->show(NumberCount, [t](int row, int column, int role) -> QVariant {
    const auto n = static_cast<size_t>(row);
    if (role == Qt::TextAlignmentRole)
      return rightAligned();
    if (role == Qt::BackgroundRole && column == 3 && t.expected > 0)
      return ResidualColour(t.residuals[n]);
    if (role != Qt::DisplayRole)
      return {};
    switch (column) {
    case 0:
      return row;
    case 1:
      return integerText(t.observed[n]);
    case 2:
      return DecimalText(t.expected);
    default:
      return DecimalText(t.residuals[n]);
    }
  });
  QString verdict = ChiSquareVerdict(t.test);
  if (t.test.chi2 && !t.test.valid)
    verdict += QStringLiteral("\n") + SmallExpectedFootnote();
  lNummernUrteil_->setText(verdict);
}

void FSignifikanz::showChances() {
  const auto simple = report_.simpleChances;
  simpleChances_->show(6, [simple](int row, int column, int role) {
    const SimpleChanceTest& t = simple[static_cast<size_t>(row)];
    return zTestCell(t.name, t.count, t.expected, t.z, t.p, t.valid, column, role);
  });

  const auto thirds = report_.thirdChances;
  thirds_->show(3, [thirds](int row, int column, int role) -> QVariant {
    // Rows: the dozens, the columns, and what a fair wheel gives each group.
    const ThirdChanceTest& t = thirds[row == 1 ? 1 : 0];
    if (column == 5)
      return row < 2 ? verdictData(t.test.p, t.test.valid, role) : QVariant();
    if (role == Qt::TextAlignmentRole && column > 0)
      return rightAligned();
    if (role != Qt::DisplayRole)
      return {};
    if (column == 0)
      return row < 2 ? FromUtf8(t.name) : QStringLiteral("erwartet");
    const auto k = static_cast<size_t>(column - 1);
    return row < 2 ? integerText(t.observed[k]) : DecimalText(t.expected[k]);
  });

  const auto runs = report_.runs;
  runs_->show(3, [runs](int row, int column, int role) {
    const RunsTest& t = runs[static_cast<size_t>(row)];
    return zTestCell(t.name, t.runs, t.expected, t.z, t.p, t.valid, column, role);
  });

  const bool rough =
      std::any_of(simple.begin(), simple.end(), [](const auto& t) { return t.p && !t.valid; }) ||
      std::any_of(thirds.begin(), thirds.end(),
                  [](const auto& t) { return t.test.p && !t.test.valid; }) ||
      std::any_of(runs.begin(), runs.end(), [](const auto& t) { return t.p && !t.valid; });
  lChancenHinweis_->setText(rough ? SmallExpectedFootnote() : QString());
  lChancenHinweis_->setVisible(rough);
}

void FSignifikanz::showDistanceTables() {
  const ThrowDistanceTests& t = report_.throwDistances;
  const auto all = t.all.distribution;
  const auto a = t.a.distribution;
  const auto b = t.b.distribution;
  distances_->show(NumberCount, [all, a, b](int row, int column, int role) -> QVariant {
    const auto d = static_cast<size_t>(row);
    if (role == Qt::TextAlignmentRole)
      return rightAligned();
    if (role != Qt::DisplayRole)
      return {};
    switch (column) {
    case 0:
      return row;
    case 1:
      return integerText(all[d]);
    case 2:
      return integerText(a[d]);
    default:
      return integerText(b[d]);
    }
  });
  const std::array<std::pair<QString, const DistanceTest*>, 3> tests = {
      {{QStringLiteral("alle"), &t.all},
       {QStringLiteral("Richtung A"), &t.a},
       {QStringLiteral("Richtung B"), &t.b}}};
  distanceTests_->show(3, [tests](int row, int column, int role) -> QVariant {
    const auto& [name, test] = tests[static_cast<size_t>(row)];
    if (column == 3)
      return verdictData(test->test.p, test->test.valid, role);
    if (role == Qt::TextAlignmentRole && column == 1)
      return rightAligned();
    if (role != Qt::DisplayRole)
      return {};
    switch (column) {
    case 0:
      return name;
    case 1:
      return integerText(test->pairs);
    default:
      return ChiSquareText(test->test);
    }
  });
  const bool rough = std::any_of(tests.begin(), tests.end(), [](const auto& entry) {
    return entry.second->test.chi2 && !entry.second->test.valid;
  });
  lWurfweitenHinweis_->setText(rough ? SmallExpectedFootnote() : QString());
  lWurfweitenHinweis_->setVisible(rough);
  ShowDistances(rgWurfweiten_->checkedId());
}

void FSignifikanz::ShowDistances(int which) {
  if (QAbstractButton* radio = rgWurfweiten_->button(which))
    radio->setChecked(true);
  const ThrowDistanceTests& t = report_.throwDistances;
  const DistanceTest& chosen = which == 1 ? t.a : which == 2 ? t.b : t.all;
  chart_->showDistances(chosen.distribution, chosen.expected);
}

void FSignifikanz::showSections() {
  const std::vector<SectionDistanceTest>& sections = report_.throwDistances.sections;
  sections_->show(static_cast<int>(sections.size()),
                  [this](int row, int column, int role) -> QVariant {
                    const auto& all = report_.throwDistances.sections;
                    if (static_cast<size_t>(row) >= all.size())
                      return {};
                    const SectionDistanceTest& s = all[static_cast<size_t>(row)];
                    if (column == 4)
                      return verdictData(s.test.p, s.test.valid, role);
                    if (role == Qt::TextAlignmentRole)
                      return rightAligned();
                    if (role != Qt::DisplayRole)
                      return {};
                    switch (column) {
                    case 0:
                      return row + 1;
                    case 1:
                      return integerText(s.firstCoup);
                    case 2:
                      return integerText(s.pairs);
                    default:
                      return DecimalText(s.test.chi2);
                    }
                  });
  lAbschnitteUrteil_->setText(sectionsSummary(sections));
}

} // namespace kw
