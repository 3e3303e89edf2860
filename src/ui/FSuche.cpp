#include "ui/FSuche.h"

#include "files/Folders.h"
#include "files/Settings.h"
#include "files/TextFile.h"
#include "report/SystemTestFormat.h"
#include "report/WorkbookExport.h"
#include "systems/SystemTexts.h"
#include "systemtest/StakeProgression.h"
#include "ui/ComparisonFields.h"
#include "ui/Dialogs.h"
#include "ui/DigitsOnly.h"
#include "ui/FHeatMap.h"
#include "ui/FileSelector.h"
#include "ui/Help.h"
#include "ui/HelpTopics.h"
#include "ui/RunProgress.h"
#include "ui/WindowChrome.h"
#include "ui/WindowParts.h"
#include "ui/WorkbookExportDialog.h"
#include "workspace/Workspace.h"

#include <QAbstractTableModel>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>


namespace kw {
namespace {

constexpr int ClientWidth = 1340;
constexpr int ClientHeight = 690;
constexpr int SettingsWidth = 430;
constexpr int FileSelectionWidth = 200;
constexpr int DefaultReplicas = 100;
constexpr int Hundreds = 100;
constexpr int SortRole = Qt::UserRole;

const QColor BestColour(0xc8, 0xf0, 0xc8);
const QColor WorstColour(0xf6, 0xc8, 0xc8);

enum RowColumn { NameColumn, SearchColumn, FromColumn, ToColumn, StepColumn, RowColumns };

QString parameterText(const ScriptParameter& value) { return FromUtf8(ParameterText(value)); }

QString integerText(int64_t value) { return QString::number(value); }

} // namespace

// The combinations of the last search: one row each, the ranged parameters first. Sorting
// goes by the numbers behind the texts (SortRole); the best and the worst row are coloured.
class SearchResultModel : public QAbstractTableModel {
public:
  using QAbstractTableModel::QAbstractTableModel;

  enum Figure { Permanenzen, Netto, Umsatz, Rendite, Plus, Minus, Third, FigureCount };

  void setResult(const SearchResult* result) {
    beginResetModel();
    result_ = result;
    endResetModel();
  }

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() || !result_ ? 0 : static_cast<int>(result_->combinations.size());
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() || !result_ ? 0 : rangeCount() + FigureCount;
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || !result_)
      return {};
    if (section < rangeCount())
      return FromUtf8(result_->ranges[static_cast<size_t>(section)].name);
    switch (section - rangeCount()) {
    case Permanenzen:
      return QStringLiteral("Permanenzen");
    case Netto:
      return QStringLiteral("Netto-Ergebnis");
    case Umsatz:
      return QStringLiteral("Umsatz");
    case Rendite:
      return QStringLiteral("Umsatzrendite");
    case Plus:
      return QStringLiteral("Abbruch +");
    case Minus:
      return QStringLiteral("Abbruch -");
    default:
      return result_->inCents ? QStringLiteral("Kapital reicht nicht")
                              : QStringLiteral("Abbruch E");
    }
  }

  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || !result_)
      return {};
    const auto row = static_cast<size_t>(index.row());
    const SearchCombination& c = result_->combinations[row];
    if (role == Qt::BackgroundRole) {
      if (row == result_->best)
        return BestColour;
      if (row == result_->worst)
        return WorstColour;
      return {};
    }
    if (role == Qt::ToolTipRole) {
      if (row == result_->best)
        return QStringLiteral("Beste Einstellung");
      if (row == result_->worst)
        return QStringLiteral("Schlechteste Einstellung");
      return {};
    }
    if (role == Qt::TextAlignmentRole)
      return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != SortRole)
      return {};
    const bool sorting = role == SortRole;
    if (index.column() < rangeCount()) {
      const ScriptParameter& v = c.values[static_cast<size_t>(index.column())];
      return sorting ? QVariant(v.asDouble()) : QVariant(parameterText(v));
    }
    switch (index.column() - rangeCount()) {
    case Permanenzen:
      return sorting ? QVariant(qlonglong{c.permanenzen}) : QVariant(integerText(c.permanenzen));
    case Netto:
      return sorting ? QVariant(qlonglong{c.netto}) : QVariant(money(c.netto));
    case Umsatz:
      return sorting ? QVariant(qlonglong{c.umsatz}) : QVariant(money(c.umsatz));
    case Rendite:
      // Without bets there is no Rendite: it sorts below every figure.
      return sorting ? QVariant(c.rendite().value_or(-1e300)) : QVariant(RenditeText(c.rendite()));
    case Plus:
      return sorting ? QVariant(qlonglong{c.abbruchPlus}) : QVariant(integerText(c.abbruchPlus));
    case Minus:
      return sorting ? QVariant(qlonglong{c.abbruchMinus}) : QVariant(integerText(c.abbruchMinus));
    default:
      return sorting ? QVariant(qlonglong{c.abbruchE}) : QVariant(integerText(c.abbruchE));
    }
  }

  QString money(int64_t amount) const {
    return result_ && result_->inCents ? MoneyDecimalText(static_cast<double>(amount) / 100.0)
                                       : MoneyText(amount);
  }

private:
  int rangeCount() const { return static_cast<int>(result_->ranges.size()); }

  const SearchResult* result_ = nullptr;
};

FSuche::FSuche(Workspace& workspace, QWidget* parent) : QMainWindow(parent), workspace_(workspace) {
  setObjectName(QStringLiteral("FSuche"));
  FormCreate();
}

// The table lets go of the result before it goes: closing the window as it is destroyed
// still asks the table for its headings.
FSuche::~FSuche() { model_->setResult(nullptr); }

void FSuche::FormCreate() {
  setWindowTitle(QStringLiteral("Kesselwerk"));
  ChromeConfig config;
  config.helpContext = help::ParameterSearch;
  config.openSave = false;
  config.analysenEntries = {Command::Sektoren, Command::Serien, Command::Systemtest,
                            Command::Signifikanz, Command::Systeme};
  chrome_ = WindowChrome::install(this, config);
  InstallHelpKey(this, help::ParameterSearch);

  auto* client = new QWidget(this);
  auto* layout = new QVBoxLayout(client);
  layout->setContentsMargins(0, 0, 0, 4);
  layout->setSpacing(4);
  layout->addWidget(
      HeadingStrip(QStringLiteral("   Parameter-Suche"), client, QStringLiteral("PTitel")));

  auto* top = new QHBoxLayout;
  top->setContentsMargins(6, 0, 6, 0);
  QWidget* settings = buildSettings(client);
  settings->setFixedWidth(SettingsWidth);
  top->addWidget(settings);
  auto* files = new QVBoxLayout;
  fileSelector_ = new FileSelector(PermanenceFileFilters(), 0, client);
  fileSelector_->setDirectory(PermanenceDir());
  fileSelector_->setFixedWidth(FileSelectionWidth);
  files->addWidget(fileSelector_, 1);
  auto* start = new QPushButton(QStringLiteral("Suche &starten"), client);
  start->setObjectName(QStringLiteral("BStart"));
  start->setMinimumHeight(30);
  connect(start, &QPushButton::clicked, this, &FSuche::BStartClick);
  files->addWidget(start);
  top->addLayout(files);
  top->addWidget(buildResults(client), 1);
  layout->addLayout(top, 1);
  setCentralWidget(client);
  UseBuiltInSystem();
  resize(ClientWidth, ClientHeight + menuBar()->sizeHint().height());
}

QWidget* FSuche::buildSettings(QWidget* parent) {
  auto* area = new QWidget(parent);
  auto* column = new QVBoxLayout(area);
  column->setContentsMargins(0, 0, 0, 0);

  auto* system = new QGroupBox(QStringLiteral("System"), area);
  auto* systemGrid = new QGridLayout(system);
  rbSystemtest_ = new QRadioButton(QStringLiteral("Systemtest nach &Zwei-Drittel-Gesetz"), system);
  rbSystemtest_->setObjectName(QStringLiteral("RBSystemtest"));
  rbSkript_ = new QRadioButton(QStringLiteral("&Eigenes System:"), system);
  rbSkript_->setObjectName(QStringLiteral("RBSkript"));
  auto* group = new QButtonGroup(system);
  group->addButton(rbSystemtest_);
  group->addButton(rbSkript_);
  lSkript_ = new QLabel(QStringLiteral("(kein Skript gewählt)"), system);
  lSkript_->setObjectName(QStringLiteral("LSkript"));
  lSkript_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* chooseScript = new QPushButton(QStringLiteral("S&kript wählen..."), system);
  chooseScript->setObjectName(QStringLiteral("BSkript"));
  connect(chooseScript, &QPushButton::clicked, this, &FSuche::BSkriptClick);
  connect(rbSystemtest_, &QRadioButton::clicked, this, &FSuche::UseBuiltInSystem);
  connect(rbSkript_, &QRadioButton::clicked, this, [this] {
    if (!script_ || !scriptInfo_)
      BSkriptClick();
    else
      LoadScript(lSkript_->toolTip());
  });
  systemGrid->addWidget(rbSystemtest_, 0, 0, 1, 3);
  systemGrid->addWidget(rbSkript_, 1, 0);
  systemGrid->addWidget(lSkript_, 1, 1);
  systemGrid->addWidget(chooseScript, 1, 2);
  systemGrid->setColumnStretch(1, 1);
  column->addWidget(system);

  auto* ranges = new QGroupBox(QStringLiteral("Parameter und &Bereiche"), area);
  auto* rangesLayout = new QVBoxLayout(ranges);
  gBereiche_ = new QTableWidget(0, RowColumns, ranges);
  gBereiche_->setObjectName(QStringLiteral("GBereiche"));
  gBereiche_->setHorizontalHeaderLabels({QStringLiteral("Parameter"), QStringLiteral("Suchen"),
                                         QStringLiteral("Von / Wert"), QStringLiteral("Bis"),
                                         QStringLiteral("Schritt")});
  gBereiche_->verticalHeader()->hide();
  gBereiche_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  gBereiche_->horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::ResizeToContents);
  gBereiche_->horizontalHeader()->setSectionResizeMode(SearchColumn, QHeaderView::ResizeToContents);
  gBereiche_->setTabKeyNavigation(true);
  gBereiche_->setToolTip(QStringLiteral("Angehakte Parameter werden von \"Von\" bis \"Bis\" in "
                                        "Schritten von \"Schritt\" durchsucht; die anderen "
                                        "behalten den Wert in \"Von / Wert\"."));
  rangesLayout->addWidget(gBereiche_);
  column->addWidget(ranges, 1);

  auto* money = new QGroupBox(QStringLiteral("Geld und Einsätze"), area);
  auto* form = new QFormLayout(money);
  const std::array<int, 6> saved = ReadTwoThirdsSliders();
  eStueck_ = new QSpinBox(money);
  eStueck_->setObjectName(QStringLiteral("EStueckgroesse"));
  eStueck_->setRange(SystemTestSliders[4].minimum, SystemTestSliders[4].maximum);
  eStueck_->setValue(saved[4]);
  eStueck_->setSuffix(QStringLiteral(" €"));
  form->addRow(QStringLiteral("St&ückgröße:"), eStueck_);
  eKapital_ = new QSpinBox(money);
  eKapital_->setObjectName(QStringLiteral("EStartkapital"));
  eKapital_->setRange(SystemTestSliders[5].minimum * Hundreds,
                      SystemTestSliders[5].maximum * Hundreds);
  eKapital_->setSingleStep(Hundreds);
  eKapital_->setValue(saved[5] * Hundreds);
  eKapital_->setSuffix(QStringLiteral(" €"));
  eKapital_->setGroupSeparatorShown(true);
  form->addRow(QStringLiteral("Startka&pital:"), eKapital_);
  eStuecke_ = new QLineEdit(money);
  eStuecke_->setObjectName(QStringLiteral("EStuecke"));
  eStuecke_->setToolTip(QStringLiteral("Stücke je Zahl im 1., 2., ... Coup eines Angriffs, durch "
                                       "Kommas getrennt (wie die Satztabelle des Systemtests)"));
  std::vector<std::string> cells = DefaultStakeCells();
  QString stakeFile = QStringLiteral("Standard");
  if (const QString& path = workspace_.stakeFile(); !path.isEmpty()) {
    const FileBytes bytes = ReadFileBytes(path);
    if (bytes.ok()) {
      cells = StakeCellsFromLines(SplitStakeFileText(DecodeText(bytes.bytes).text));
      stakeFile = QFileInfo(path).fileName();
    }
  }
  QStringList pieces;
  for (const std::string& line : CollectStakeLines(cells))
    pieces << FromUtf8(line);
  eStuecke_->setText(pieces.join(QLatin1Char(',')));
  form->addRow(QStringLiteral("Stü&cke je Angriffscoup:"), eStuecke_);
  lStaffelung_ = new QLabel(QStringLiteral("aus der Staffelung: %1").arg(stakeFile), money);
  lStaffelung_->setObjectName(QStringLiteral("LStaffelung"));
  form->addRow(QString(), lStaffelung_);
  column->addWidget(money);

  auto* check = new QGroupBox(QStringLiteral("Zufallsvergleich der Suche"), area);
  auto* checkRow = new QHBoxLayout(check);
  cbZufall_ = new QCheckBox(QStringLiteral("durch&führen"), check);
  cbZufall_->setObjectName(QStringLiteral("CBZufall"));
  cbZufall_->setChecked(true);
  checkRow->addWidget(cbZufall_);
  auto* replicasLabel = new QLabel(QStringLiteral("&Replikate:"), check);
  eReplikate_ = new QLineEdit(QString::number(DefaultReplicas), check);
  eReplikate_->setObjectName(QStringLiteral("EReplikate"));
  eReplikate_->setValidator(DigitsValidator(eReplikate_));
  eReplikate_->setMaximumWidth(80);
  replicasLabel->setBuddy(eReplikate_);
  checkRow->addWidget(replicasLabel);
  checkRow->addWidget(eReplikate_);
  auto* seedLabel = new QLabel(QStringLiteral("Start&wert:"), check);
  eSeed_ = new QLineEdit(check);
  eSeed_->setObjectName(QStringLiteral("ESeed"));
  eSeed_->setValidator(DigitsValidator(eSeed_));
  eSeed_->setPlaceholderText(QStringLiteral("neu"));
  eSeed_->setToolTip(QStringLiteral("Derselbe Startwert wiederholt den Vergleich genau; leer: "
                                    "jedes Mal ein neuer"));
  seedLabel->setBuddy(eSeed_);
  checkRow->addWidget(seedLabel);
  checkRow->addWidget(eSeed_, 1);
  column->addWidget(check);
  return area;
}

QWidget* FSuche::buildResults(QWidget* parent) {
  auto* area = new QWidget(parent);
  auto* column = new QVBoxLayout(area);
  column->setContentsMargins(0, 0, 0, 0);
  lBeste_ = WrappedLabel(QString(), QStringLiteral("LBeste"), area);
  lSchlechteste_ = WrappedLabel(QString(), QStringLiteral("LSchlechteste"), area);
  column->addWidget(lBeste_);
  column->addWidget(lSchlechteste_);

  model_ = new SearchResultModel(this);
  sorted_ = new QSortFilterProxyModel(this);
  sorted_->setSourceModel(model_);
  sorted_->setSortRole(SortRole);
  gErgebnis_ = new QTableView(area);
  gErgebnis_->setObjectName(QStringLiteral("GErgebnis"));
  gErgebnis_->setModel(sorted_);
  gErgebnis_->setSortingEnabled(true);
  gErgebnis_->sortByColumn(-1, Qt::AscendingOrder);
  gErgebnis_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  gErgebnis_->setSelectionBehavior(QAbstractItemView::SelectRows);
  gErgebnis_->setWordWrap(false);
  gErgebnis_->verticalHeader()->hide();
  gErgebnis_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  gErgebnis_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  gErgebnis_->setToolTip(QStringLiteral("Ein Klick auf eine Spaltenüberschrift sortiert; grün "
                                        "die beste, rot die schlechteste Einstellung"));
  column->addWidget(gErgebnis_, 1);
  column->addWidget(buildRealityCheck(area));

  auto* buttons = new QHBoxLayout;
  auto* heat = new QPushButton(QStringLiteral("Heat&map..."), area);
  heat->setObjectName(QStringLiteral("BHeatmap"));
  heat->setEnabled(false);
  connect(heat, &QPushButton::clicked, this, &FSuche::BHeatmapClick);
  auto* excel = new QPushButton(QStringLiteral("E&xcel-Export..."), area);
  excel->setObjectName(QStringLiteral("BExcel"));
  excel->setEnabled(false);
  connect(excel, &QPushButton::clicked, this, &FSuche::BExcelClick);
  auto* close = new QPushButton(QStringLiteral("Sch&ließen"), area);
  close->setObjectName(QStringLiteral("BSchliessen"));
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  buttons->addWidget(heat);
  buttons->addWidget(excel);
  buttons->addStretch(1);
  buttons->addWidget(close);
  column->addLayout(buttons);
  return area;
}

QWidget* FSuche::buildRealityCheck(QWidget* parent) {
  auto* group =
      new QGroupBox(QStringLiteral("Zufallsvergleich: bestes Netto-Ergebnis je Replikat"), parent);
  group->setObjectName(QStringLiteral("PZufall"));
  auto* grid = new QGridLayout(group);
  const std::array<std::pair<const char*, const char*>, 7> fields = {
      {{"Replikate", "LReplikate"},
       {"Startwert", "LStartwert"},
       {"Mittel", "LMittel"},
       {"Quantil 5 %", "LQuantil5"},
       {"Median (50 %)", "LMedian"},
       {"Quantil 95 %", "LQuantil95"},
       {"p", "LP"}}};
  for (size_t i = 0; i < fields.size(); ++i) {
    const int row = static_cast<int>(i % 2);
    const int column = static_cast<int>(i / 2) * 2;
    grid->addWidget(new QLabel(QString::fromUtf8(fields[i].first) + QLatin1Char(':'), group), row,
                    column);
    auto* value = new QLabel(QStringLiteral("–"), group);
    value->setObjectName(QLatin1String(fields[i].second));
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(value, row, column + 1);
  }
  auto* verdict = WrappedLabel(QString(), QStringLiteral("LUrteil"), group);
  QFont bold = verdict->font();
  bold.setBold(true);
  verdict->setFont(bold);
  grid->addWidget(verdict, 2, 0, 1, 8);
  return group;
}

void FSuche::addRow(const QString& name, const QString& from, const QString& to,
                    const QString& step, bool searchable, bool searched) {
  const int row = gBereiche_->rowCount();
  gBereiche_->insertRow(row);
  auto* nameItem = new QTableWidgetItem(name);
  nameItem->setFlags(Qt::ItemIsEnabled);
  gBereiche_->setItem(row, NameColumn, nameItem);
  auto* search = new QTableWidgetItem;
  search->setFlags(searchable ? Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable
                              : Qt::ItemIsSelectable);
  search->setCheckState(searched ? Qt::Checked : Qt::Unchecked);
  if (!searchable)
    search->setToolTip(QStringLiteral("Bei eigenen Systemen werden nur die Parameter des "
                                      "Skripts durchsucht."));
  gBereiche_->setItem(row, SearchColumn, search);
  gBereiche_->setItem(row, FromColumn, new QTableWidgetItem(from));
  for (const auto& [column, text] : {std::pair{ToColumn, to}, std::pair{StepColumn, step}}) {
    auto* item = new QTableWidgetItem(text);
    if (!searchable)
      item->setFlags(Qt::ItemIsSelectable);
    gBereiche_->setItem(row, column, item);
  }
}

void FSuche::fillBuiltInRows() {
  // Vorlauf and Angriffe are searched over their common ranges, plus and minus keep the
  // values the system test window last stored.
  const std::array<int, 6> saved = ReadTwoThirdsSliders();
  const QString plus = QString::number(saved[2] * Hundreds);
  const QString minus = QString::number(saved[3] * Hundreds);
  gBereiche_->setRowCount(0);
  addRow(QStringLiteral("vorlauf"), QStringLiteral("2"), QStringLiteral("12"), QStringLiteral("1"),
         true, true);
  addRow(QStringLiteral("angriffe"), QStringLiteral("1"), QStringLiteral("12"), QStringLiteral("1"),
         true, true);
  addRow(QStringLiteral("plus"), plus, plus, QStringLiteral("100"), true, false);
  addRow(QStringLiteral("minus"), minus, minus, QStringLiteral("100"), true, false);
}

void FSuche::UseBuiltInSystem() {
  rbSystemtest_->setChecked(true);
  eStuecke_->setEnabled(true);
  fillBuiltInRows();
}

bool FSuche::LoadScript(const QString& path) {
  Dialogs& dialogs = Dialogs::instance();
  const FileBytes bytes = ReadFileBytes(path);
  if (!bytes.ok()) {
    dialogs.error(this, bytes.error);
    return false;
  }
  SystemScript script{bytes.bytes.toStdString(), QFileInfo(path).fileName().toStdString()};
  const ScriptLoad load = LoadSystemScript(script, 1);
  if (!load.info) {
    dialogs.error(this, FromUtf8(load.error));
    return false;
  }
  script_ = std::move(script);
  scriptInfo_ = load.info;
  rbSkript_->setChecked(true);
  lSkript_->setText(FromUtf8(load.info->name));
  lSkript_->setToolTip(path);
  eStuecke_->setEnabled(false);
  const std::array<int, 6> saved = ReadTwoThirdsSliders();
  gBereiche_->setRowCount(0);
  bool first = true;
  for (const ScriptParameter& p : load.info->parameters) {
    const QString value = parameterText(p);
    addRow(FromUtf8(p.name), value, value, QStringLiteral("1"), true, first);
    first = false;
  }
  addRow(QStringLiteral("plus"), QString::number(saved[2] * Hundreds), {}, {}, false, false);
  addRow(QStringLiteral("minus"), QString::number(saved[3] * Hundreds), {}, {}, false, false);
  return true;
}

void FSuche::BSkriptClick() {
  Dialogs::FileRequest request;
  request.title = QStringLiteral("Skript wählen");
  request.filter = QStringLiteral("Lua-Skript (*.lua)");
  const QString systems = QDir(DataDir()).filePath(QStringLiteral("Systeme"));
  request.startDir = QFileInfo(systems).isDir() ? systems : DataDir();
  const QStringList chosen = Dialogs::instance().openFiles(this, request);
  if (chosen.isEmpty() || !LoadScript(chosen.first())) {
    if (!script_)
      rbSystemtest_->setChecked(true);
  }
}

bool FSuche::readRows(std::vector<SearchRange>& ranges, std::vector<ScriptParameter>& fixed) {
  Dialogs& dialogs = Dialogs::instance();
  const bool script = rbSkript_->isChecked();
  const auto fail = [&](const std::string& message, int row) {
    dialogs.error(this, FromUtf8(message) + QStringLiteral("\r\rIch breche ab."));
    gBereiche_->setCurrentCell(row, FromColumn);
    gBereiche_->setFocus();
    return false;
  };
  for (int row = 0; row < gBereiche_->rowCount(); ++row) {
    const QString name = gBereiche_->item(row, NameColumn)->text();
    const auto cell = [&](int column) { return gBereiche_->item(row, column)->text().trimmed(); };
    const bool searched = gBereiche_->item(row, SearchColumn)->checkState() == Qt::Checked;
    // A fixed value is read as a range of that one value, so it meets the same limits.
    QString text = name + QLatin1Char('=') + cell(FromColumn) + QStringLiteral("..") +
                   (searched ? cell(ToColumn) : cell(FromColumn));
    if (searched && !cell(StepColumn).isEmpty())
      text += QLatin1Char(':') + cell(StepColumn);
    const RangeReading reading = ParseRangeText(text.toStdString());
    if (!reading.bounds)
      return fail(reading.error, row);
    const bool moneyRow = name == QLatin1String("plus") || name == QLatin1String("minus");
    const RangeExpansion expansion =
        script && !moneyRow ? ExpandScriptRange(*reading.bounds, scriptInfo_->parameters)
                            : ExpandSystemTestRange(*reading.bounds);
    if (!expansion.range)
      return fail(expansion.error, row);
    if (searched)
      ranges.push_back(*expansion.range);
    else
      fixed.push_back(expansion.range->values.front());
  }
  if (const std::string error = CheckSearchRanges(ranges); !error.empty())
    return fail(error, 0);
  if (const std::string error = CheckMinusRange(ranges, eKapital_->value()); !error.empty())
    return fail(error, 0);
  return true;
}

void FSuche::BStartClick() {
  Dialogs& dialogs = Dialogs::instance();
  const QStringList files = fileSelector_->selectedFiles();
  if (fileSelector_->fileCount() == 0 || files.isEmpty()) {
    dialogs.error(this, QStringLiteral("Es wurde keine Datei ausgewählt.\r\rIch breche ab."));
    return;
  }
  std::vector<SearchRange> ranges;
  std::vector<ScriptParameter> fixed;
  if (!readRows(ranges, fixed))
    return;
  // The fixed values and the money as the system test's slider positions.
  SliderPositions sliders;
  sliders.track5 = eStueck_->value();
  sliders.track6 = eKapital_->value() / Hundreds;
  for (const ScriptParameter& value : fixed) {
    const int v = static_cast<int>(value.integer);
    if (value.name == "vorlauf")
      sliders.track1 = v;
    else if (value.name == "angriffe")
      sliders.track2 = v;
    else if (value.name == "plus")
      sliders.track3 = v / Hundreds;
    else if (value.name == "minus")
      sliders.track4 = v / Hundreds;
  }
  if (sliders.track4 > sliders.track6) {
    dialogs.information(this, FromUtf8(MinusCorrectionMessage()));
    sliders.track4 = sliders.track6;
  }
  std::optional<RandomComparisonRequest> comparison;
  if (!ReadComparisonFields(this, {cbZufall_, eReplikate_, eSeed_}, comparison))
    return;

  std::optional<SystemTestParams> base;
  SystemSettings settings;
  const bool script = rbSkript_->isChecked();
  if (script) {
    settings.parameters = scriptInfo_->parameters;
    settings.zeroRule = scriptInfo_->zeroRule;
    for (const ScriptParameter& value : fixed)
      for (ScriptParameter& p : settings.parameters)
        if (p.name == value.name)
          p = value;
    settings.money = SystemMoneyFromEuros(sliders.track5, sliders.track6 * Hundreds,
                                          sliders.track3 * Hundreds, sliders.track4 * Hundreds);
  } else {
    std::vector<std::string> cells;
    for (const QString& piece : eStuecke_->text().split(QLatin1Char(',')))
      cells.push_back(piece.trimmed().toStdString());
    const TestParametersReading reading = ReadSearchBase(sliders, cells, ranges);
    if (!reading.params) {
      dialogs.error(this, FromUtf8(reading.errorMessage));
      eStuecke_->setFocus();
      return;
    }
    base = *reading.params;
  }

  RunProgress progress(this,
                       comparison ? QStringLiteral("Suche und Zufallsvergleich laufen...")
                                  : QStringLiteral("Die Kombinationen werden gespielt..."),
                       static_cast<size_t>(files.size()));
  std::optional<FilePermanences> read = progress.readFiles(files);
  if (!read)
    return;
  const SearchOptions options{.run = progress.analysing(true), .realityCheck = comparison};
  SearchResult result = script ? SearchSystem(*script_, settings, read->PermanenceData,
                                              read->PermanenceNames, 1, ranges, options)
                               : SearchSystemTest(read->PermanenceData, *base, ranges, options);
  progress.finish();
  if (result.cancelled)
    return;
  if (!result.error.empty()) {
    dialogs.error(this, FromUtf8(result.error));
    return;
  }
  model_->setResult(nullptr);
  last_ = std::move(result);
  lastSystem_ =
      script ? FromUtf8(scriptInfo_->name) : QStringLiteral("Systemtest nach Zwei-Drittel-Gesetz");
  showResult();
}

QString FSuche::moneyText(int64_t amount) const { return model_->money(amount); }

QString FSuche::settingText(const SearchCombination& c) const {
  QStringList parts;
  for (size_t r = 0; r < c.values.size(); ++r)
    parts << FromUtf8(last_->ranges[r].name) + QLatin1Char(' ') + parameterText(c.values[r]);
  return parts.join(QStringLiteral(", "));
}

void FSuche::showResult() {
  model_->setResult(&*last_);
  gErgebnis_->sortByColumn(-1, Qt::AscendingOrder);
  sorted_->sort(-1);
  const SearchCombination& best = last_->combinations[last_->best];
  const SearchCombination& worst = last_->combinations[last_->worst];
  lBeste_->setText(QStringLiteral("Beste Einstellung (%1 Kombinationen, %2): %3 – Netto-Ergebnis "
                                  "%4, Umsatzrendite %5")
                       .arg(QLocale().toString(static_cast<qulonglong>(last_->combinations.size())),
                            lastSystem_, settingText(best), moneyText(best.netto),
                            RenditeText(best.rendite())));
  lSchlechteste_->setText(QStringLiteral("Schlechteste Einstellung: %1 – Netto-Ergebnis %2")
                              .arg(settingText(worst), moneyText(worst.netto)));
  findChild<QPushButton*>(QStringLiteral("BHeatmap"))->setEnabled(last_->ranges.size() >= 2);
  findChild<QPushButton*>(QStringLiteral("BExcel"))->setEnabled(true);
  showRealityCheck();
  if (heatMap_ && heatMap_->isVisible())
    BHeatmapClick();
}

void FSuche::showRealityCheck() {
  const auto set = [this](const char* name, const QString& text) {
    findChild<QLabel*>(QLatin1String(name))->setText(text);
  };
  const auto euros = [this](double amount) {
    return MoneyDecimalText(last_->inCents ? amount / 100.0 : amount);
  };
  if (!last_->realityCheck) {
    for (const char* name :
         {"LReplikate", "LStartwert", "LMittel", "LQuantil5", "LMedian", "LQuantil95", "LP"})
      set(name, QStringLiteral("–"));
    set("LUrteil", QStringLiteral("Ohne Zufallsvergleich lässt sich nicht sagen, ob die beste "
                                  "Einstellung mehr als Glück ist."));
    return;
  }
  const SearchRealityCheck& check = *last_->realityCheck;
  set("LReplikate", QLocale().toString(check.replicas));
  set("LStartwert", QString::number(check.seed));
  set("LMittel", euros(check.mittel));
  set("LQuantil5", euros(check.quantile[0]));
  set("LMedian", euros(check.quantile[1]));
  set("LQuantil95", euros(check.quantile[2]));
  set("LP", ShareText(check.p));
  set("LUrteil", SearchVerdict(check.p));
}

void FSuche::BHeatmapClick() {
  if (!last_ || last_->ranges.size() < 2)
    return;
  const SearchRange& rows = last_->ranges[0];
  const SearchRange& columns = last_->ranges[1];
  HeatMapData map;
  map.rowName = FromUtf8(rows.name);
  map.columnName = FromUtf8(columns.name);
  map.title = last_->ranges.size() == 2
                  ? QStringLiteral("Netto-Ergebnis nach %1 und %2").arg(map.rowName, map.columnName)
                  : QStringLiteral("Bestes Netto-Ergebnis nach %1 und %2 (über die übrigen "
                                   "Parameter)")
                        .arg(map.rowName, map.columnName);
  map.unit = QStringLiteral(" €");
  for (const ScriptParameter& v : rows.values)
    map.rowLabels << parameterText(v);
  for (const ScriptParameter& v : columns.values)
    map.columnLabels << parameterText(v);
  for (const std::optional<int64_t>& cell : BestNettoOfFirstTwoRanges(*last_)) {
    map.values.push_back(cell ? std::optional<double>(last_->inCents
                                                          ? static_cast<double>(*cell) / 100.0
                                                          : static_cast<double>(*cell))
                              : std::nullopt);
    map.texts << (cell ? moneyText(*cell) : QString());
  }
  if (!heatMap_)
    heatMap_ = new FHeatMap(this);
  heatMap_->ShowHeatMap(std::move(map));
  heatMap_->show();
  heatMap_->raise();
}

void FSuche::BExcelClick() {
  if (!last_)
    return;
  ExportWorkbook(this, static_cast<size_t>(sorted_->rowCount()) + 1, [this] {
    WorkbookSheet sheet;
    const auto add = [&](const QString& caption, const QString& value) {
      sheet.columnA.push_back(caption.toStdString());
      sheet.columnA.push_back(value.toStdString());
    };
    add(QStringLiteral("Parameter-Suche"), lastSystem_);
    add(QStringLiteral("Kombinationen"), QString::number(last_->combinations.size()));
    add(QStringLiteral("Beste Einstellung"), lBeste_->text());
    add(QStringLiteral("Schlechteste Einstellung"), lSchlechteste_->text());
    if (last_->realityCheck) {
      for (const auto& [caption, name] :
           {std::pair{"Replikate", "LReplikate"}, std::pair{"Startwert", "LStartwert"},
            std::pair{"Bestes Netto Mittel", "LMittel"}, std::pair{"Quantil 5 %", "LQuantil5"},
            std::pair{"Median (50 %)", "LMedian"}, std::pair{"Quantil 95 %", "LQuantil95"},
            std::pair{"p", "LP"}, std::pair{"Urteil", "LUrteil"}})
        add(QString::fromUtf8(caption), FromUtf8(ShownText(this, QLatin1String(name))));
    }
    // The table as the window shows it, in its sort order.
    sheet.grid = GridTexts(*sorted_);
    return sheet;
  });
}

} // namespace kw
