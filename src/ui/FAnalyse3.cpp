#include "ui/FAnalyse3.h"

#include "files/Folders.h"
#include "files/PermanenceFiles.h"
#include "files/Settings.h"
#include "files/TextFile.h"
#include "report/SystemTestFormat.h"
#include "systemtest/StakeProgression.h"
#include "ui/ComparisonFields.h"
#include "ui/Dialogs.h"
#include "ui/DigitsOnly.h"
#include "ui/FChart2.h"
#include "ui/FileSelector.h"
#include "ui/FrozenColumns.h"
#include "ui/Help.h"
#include "ui/HelpTopics.h"
#include "ui/Icons.h"
#include "ui/ResultTabs.h"
#include "ui/RunProgress.h"
#include "ui/SystemTestModels.h"
#include "ui/WindowChrome.h"
#include "ui/WindowParts.h"
#include "ui/WorkbookExportDialog.h"
#include "ui/frFrAnalyse2.h"
#include "workspace/Workspace.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

namespace kw {
namespace {

constexpr int ClientWidth = 1082;
constexpr int ParameterAreaHeight = 180;
constexpr int FileSelectionWidth = 200;
constexpr int ResultTabsWidth = 385;
constexpr int StakeAreaWidth = 430;
constexpr int StakeColumns = StakeTableColumns + 1;
constexpr int StakeFirstColumnWidth = 45;
constexpr int StakeColumnWidth = 24;
constexpr int StakeRowHeight = 18;
constexpr int SummaryRowHeight = 16;

const char* const SliderCaptions[6] = {
    "Vorlaufcoups (2 - 24)", "Angriffe (1 - 100)",         "plus", "minus",
    "Stückgröße (1 - 100)",  "Startkapital (500 - 20.000)"};
const char* const PanelNames[6] = {"Pup", "PNach", "PPlus", "PMinus", "PStueck", "PKapital"};
// What a panel shows per slider step: the position itself or hundreds (negative for minus).
constexpr std::array<int, 6> PanelFactors = {1, 1, 100, -100, 1, 100};

Dialogs::FileRequest stakeFileRequest(const QString& title) {
  Dialogs::FileRequest request;
  request.title = title;
  request.filter = QStringLiteral("Sätze-Datei (*.set)");
  request.defaultSuffix = QStringLiteral("set");
  request.startDir = DataDir();
  return request;
}

QString quickSavePath(int slot) {
  return DataDir() + QString::fromStdString(QuickSaveFileName(slot));
}

class StakeCellDelegate : public QStyledItemDelegate {
public:
  StakeCellDelegate(QObject* keyFilter, QObject* parent)
      : QStyledItemDelegate(parent), keyFilter_(keyFilter) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                        const QModelIndex&) const override {
    auto* editor = new QLineEdit(parent);
    editor->setAlignment(Qt::AlignCenter);
    editor->setValidator(DigitsValidator(editor));
    editor->installEventFilter(keyFilter_);
    return editor;
  }

private:
  QObject* keyFilter_;
};

QLabel* valuePanel(const QString& name, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setAlignment(Qt::AlignCenter);
  label->setFrameShape(QFrame::Panel);
  label->setFrameShadow(QFrame::Sunken);
  label->setFixedSize(44, 20);
  return label;
}

QLabel* totalLabel(const QString& caption, const QString& name, QWidget* parent, QGridLayout* grid,
                   int row, int column, const QString& hint = {}) {
  auto* group = new QGroupBox(caption, parent);
  if (!hint.isEmpty())
    group->setToolTip(hint);
  auto* layout = new QVBoxLayout(group);
  layout->setContentsMargins(2, 0, 2, 1);
  auto* label = new QLabel(group);
  label->setObjectName(name);
  label->setAlignment(Qt::AlignCenter);
  // A long figure must not widen the window.
  label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  layout->addWidget(label);
  grid->addWidget(group, row, column);
  return label;
}

// A caption and its value side by side, as the risk and comparison figures are shown.
QLabel* figurePair(const QString& caption, const QString& name, QWidget* parent, QGridLayout* grid,
                   int row, int column, int span = 1) {
  auto* label = new QLabel(caption + QLatin1Char(':'), parent);
  grid->addWidget(label, row, column);
  auto* value = new QLabel(
      QString::fromUtf8(NoRenditeText.data(), static_cast<qsizetype>(NoRenditeText.size())),
      parent);
  value->setObjectName(name);
  value->setTextInteractionFlags(Qt::TextSelectableByMouse);
  QFont bold = value->font();
  bold.setBold(true);
  value->setFont(bold);
  grid->addWidget(value, row, column + 1, 1, span);
  return value;
}

const char* const RiskNames[5] = {"LRueckgang", "LVerlustserie", "LSchlechteste", "LTiefster",
                                  "LErwartung"};
const char* const ComparisonNames[13] = {
    "LZReplikate", "LZStartwert", "LZMittel", "LZStd", "LZMin",    "LZMax",      "LZQ5",
    "LZQ25",       "LZQ50",       "LZQ75",    "LZQ95", "LZUmsatz", "LZPerzentil"};
constexpr int DefaultReplicas = 1000;

QString dash() {
  return QString::fromUtf8(NoRenditeText.data(), static_cast<qsizetype>(NoRenditeText.size()));
}

QPushButton* iconButton(const QString& name, const QString& icon, const QString& tip,
                        QWidget* parent) {
  auto* button = new QPushButton(parent);
  button->setObjectName(name);
  button->setIcon(AppIcon(icon));
  button->setToolTip(tip);
  button->setFixedSize(22, 22);
  return button;
}

// A button with its icon and its caption, as high as the icon buttons beside it.
QPushButton* captionButton(const QString& name, const QString& icon, const QString& caption,
                           QWidget* parent) {
  auto* button = new QPushButton(AppIcon(icon), caption, parent);
  button->setObjectName(name);
  button->setFixedHeight(22);
  return button;
}

} // namespace

FAnalyse3::FAnalyse3(Workspace& workspace, QWidget* parent)
    : QMainWindow(parent), workspace_(workspace) {
  setObjectName(QStringLiteral("FAnalyse3"));
  FormCreate();
}

void FAnalyse3::FormCreate() {
  setWindowTitle(QStringLiteral("Kesselwerk"));
  ChromeConfig config;
  config.helpContext = help::SystemTest;
  config.analysenEntries = {Command::Serien};
  config.disabledButtons = {Command::Systemtest};
  config.helpButtonName = QStringLiteral("Button4");
  config.systemtestButtonName = QStringLiteral("Button6");
  chrome_ = WindowChrome::install(this, config);
  chrome_->setHandler(Command::Open, [this] { BOpenClick(); });
  chrome_->setHandler(Command::Save, [this] { BSaveClick(); });
  InstallHelpKey(this, help::SystemTest);

  auto* client = new QWidget(this);
  auto* layout = new QVBoxLayout(client);
  layout->setContentsMargins(0, 0, 0, 4);
  layout->setSpacing(0);
  layout->addWidget(buildParameterArea(client));

  auto* body = new QHBoxLayout;
  body->setContentsMargins(2, 4, 2, 0);
  body->setSpacing(3);
  auto* files = new QVBoxLayout;
  fileSelector_ = new FileSelector(PermanenceFileFilters(), 0, client);
  fileSelector_->setDirectory(PermanenceDir());
  connect(fileSelector_, &FileSelector::fileDoubleClicked, this, &FAnalyse3::BAnalyseClick);
  files->addWidget(fileSelector_, 1);
  auto* start = new QPushButton(QStringLiteral("Analyse &starten"), client);
  start->setObjectName(QStringLiteral("BAnalyse"));
  start->setMinimumHeight(30);
  connect(start, &QPushButton::clicked, this, &FAnalyse3::BAnalyseClick);
  files->addWidget(start);
  auto* filesArea = new QWidget(client);
  filesArea->setLayout(files);
  files->setContentsMargins(0, 0, 0, 0);
  filesArea->setFixedWidth(FileSelectionWidth);
  body->addWidget(filesArea);

  pc1_ = new ResultTabs(client);
  pc1_->setObjectName(QStringLiteral("PC1"));
  pc1_->setFixedWidth(ResultTabsWidth);
  body->addWidget(pc1_);
  body->addWidget(buildSummary(client), 1);
  layout->addLayout(body, 1);
  setCentralWidget(client);
  resize(ClientWidth, 660 + menuBar()->sizeHint().height());
}

QWidget* FAnalyse3::buildParameterArea(QWidget* parent) {
  auto* area = new QWidget(parent);
  area->setObjectName(QStringLiteral("PParameter"));
  area->setFixedHeight(ParameterAreaHeight);
  auto* column = new QVBoxLayout(area);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(2);
  column->addWidget(HeadingStrip(QStringLiteral("   Systemtest nach 2/3-Gesetz"), area,
                                 QStringLiteral("PTitel")));
  auto* idea = new QLabel(QStringLiteral("Die Idee ist, gefallene Coups nachzusetzen, denn bei "
                                         "37 Coups fallen im Schnitt nur ca. 23 verschiedene "
                                         "Nummern"),
                          area);
  idea->setObjectName(QStringLiteral("LIdee"));
  idea->setContentsMargins(8, 0, 0, 0);
  column->addWidget(idea);
  auto* row = new QHBoxLayout;
  row->setContentsMargins(2, 0, 2, 2);
  row->setSpacing(4);
  // The parameters share one line of the window with the stake table: a smaller font keeps
  // both within the window's width.
  QFont small = area->font();
  small.setPointSize(8);
  QWidget* sliders = buildSliders(area);
  sliders->setFont(small);
  row->addWidget(sliders);
  QWidget* stakes = buildStakeArea(area);
  stakes->setFont(small);
  stakes->setFixedWidth(StakeAreaWidth);
  row->addWidget(stakes, 1);
  column->addLayout(row, 1);
  return area;
}

void FAnalyse3::placeSlider(int index, QWidget* parent, QGridLayout* grid, int row, int column) {
  const auto i = static_cast<size_t>(index);
  auto* slider = new QSlider(Qt::Horizontal, parent);
  slider->setObjectName(QStringLiteral("Track%1").arg(index + 1));
  slider->setRange(SystemTestSliders[i].minimum, SystemTestSliders[i].maximum);
  slider->setPageStep(1);
  slider->setMinimumWidth(40);
  QLabel* panel = valuePanel(QString::fromLatin1(PanelNames[i]), parent);
  const int factor = PanelFactors[i];
  // Track1Change .. Track6Change: the panel follows its slider.
  connect(slider, &QSlider::valueChanged, panel,
          [panel, factor](int position) { panel->setText(QString::number(position * factor)); });
  sliders_[i] = slider;
  panels_[i] = panel;
  grid->addWidget(slider, row, column);
  grid->addWidget(panel, row, column + 1);
}

QWidget* FAnalyse3::buildSliders(QWidget* parent) {
  auto* area = new QWidget(parent);
  area->setObjectName(QStringLiteral("PSchieber"));
  auto* grid = new QGridLayout(area);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setHorizontalSpacing(2);
  grid->setVerticalSpacing(2);

  // Vorlauf, Angriffe, Stückgröße and Startkapital each in their own group, two by two.
  const std::array<std::pair<int, std::pair<int, int>>, 4> single = {
      {{0, {0, 0}}, {1, {0, 1}}, {4, {1, 0}}, {5, {1, 1}}}};
  for (const auto& [index, place] : single) {
    auto* group = new QGroupBox(QString::fromUtf8(SliderCaptions[index]), area);
    group->setObjectName(QStringLiteral("GroupBoxTrack%1").arg(index + 1));
    auto* inner = new QGridLayout(group);
    inner->setContentsMargins(4, 0, 4, 2);
    placeSlider(index, group, inner, 0, 0);
    grid->addWidget(group, place.first, place.second);
  }

  auto* limits = new QGroupBox(QStringLiteral("Abbruch bei..."), area);
  limits->setObjectName(QStringLiteral("GroupBoxAbbruch"));
  auto* inner = new QGridLayout(limits);
  inner->setContentsMargins(4, 0, 4, 2);
  inner->setVerticalSpacing(1);
  auto* explanation =
      new QLabel(QStringLiteral("Schwellenwerte für den Abbruch des Angriffs"), limits);
  inner->addWidget(explanation, 0, 0, 1, 4);
  inner->addWidget(new QLabel(QStringLiteral("plus"), limits), 1, 0);
  placeSlider(2, limits, inner, 1, 1);
  inner->addWidget(new QLabel(QStringLiteral("100 - 20.000"), limits), 1, 3);
  inner->addWidget(new QLabel(QStringLiteral("minus"), limits), 2, 0);
  placeSlider(3, limits, inner, 2, 1);
  inner->addWidget(new QLabel(QStringLiteral("-500 - -20.000"), limits), 2, 3);
  grid->addWidget(limits, 0, 2, 2, 1);

  auto* help = iconButton(QStringLiteral("Button1"), QStringLiteral("help"),
                          QStringLiteral("Hilfe zu den Schiebereglern"), area);
  connect(help, &QPushButton::clicked, this,
          [] { Help::instance().showContext(help::SystemTestSettings); });
  grid->addWidget(help, 2, 2, Qt::AlignRight | Qt::AlignVCenter);
  auto* save = new QPushButton(QStringLiteral("Positionen der Schieberegler speichern"), area);
  save->setObjectName(QStringLiteral("Button2"));
  connect(save, &QPushButton::clicked, this, &FAnalyse3::Button2Click);
  grid->addWidget(save, 2, 0, 1, 2);

  // Stored positions, brought into each slider's range; the panels show them at once.
  const std::array<int, 6> stored = ReadTwoThirdsSliders();
  for (size_t i = 0; i < sliders_.size(); ++i) {
    sliders_[i]->setValue(ClampSliderPosition(static_cast<int>(i), stored[i]));
    panels_[i]->setText(QString::number(sliders_[i]->value() * PanelFactors[i]));
  }
  return area;
}

QWidget* FAnalyse3::buildStakeArea(QWidget* parent) {
  auto* group = new QGroupBox(QStringLiteral("Einsatzstaffelung"), parent);
  group->setObjectName(QStringLiteral("GBEinsatz"));
  auto* column = new QVBoxLayout(group);
  column->setContentsMargins(4, 0, 4, 2);
  column->setSpacing(2);
  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel(QStringLiteral("Stückzahl direkt in die Tabelle eintragen"), group));
  lFile_ = new QLabel(group);
  lFile_->setObjectName(QStringLiteral("LFile"));
  lFile_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  lFile_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  QFont bold = lFile_->font();
  bold.setBold(true);
  lFile_->setFont(bold);
  top->addWidget(lFile_, 1);
  column->addLayout(top);

  gSaetze_ = new QTableWidget(2, StakeColumns, group);
  gSaetze_->setObjectName(QStringLiteral("GSaetze"));
  QFont small = gSaetze_->font();
  small.setPointSize(8);
  gSaetze_->setFont(small);
  gSaetze_->setTextElideMode(Qt::ElideNone);
  gSaetze_->horizontalHeader()->hide();
  gSaetze_->verticalHeader()->hide();
  gSaetze_->horizontalHeader()->setMinimumSectionSize(10);
  gSaetze_->horizontalHeader()->setDefaultSectionSize(StakeColumnWidth);
  gSaetze_->verticalHeader()->setDefaultSectionSize(StakeRowHeight);
  gSaetze_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  gSaetze_->setColumnWidth(0, StakeFirstColumnWidth);
  gSaetze_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  gSaetze_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  gSaetze_->setSelectionMode(QAbstractItemView::SingleSelection);
  gSaetze_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::AnyKeyPressed |
                            QAbstractItemView::EditKeyPressed);
  // Only digits reach the stake table: on the grid (where a key starts an edit) and in the
  // cell editor.
  auto* keys = new DigitsOnlyFilter(gSaetze_);
  gSaetze_->installEventFilter(keys);
  gSaetze_->setItemDelegate(new StakeCellDelegate(keys, gSaetze_));
  const QBrush fixed = QApplication::palette().button();
  for (int c = 0; c < StakeColumns; ++c) {
    auto* heading = new QTableWidgetItem(c == 0 ? QStringLiteral("Angriff") : QString::number(c));
    heading->setFlags(Qt::ItemIsEnabled);
    heading->setBackground(fixed);
    heading->setTextAlignment(Qt::AlignCenter);
    gSaetze_->setItem(0, c, heading);
    auto* cell = new QTableWidgetItem;
    if (c == 0) {
      cell->setText(QStringLiteral("Stücke"));
      cell->setFlags(Qt::ItemIsEnabled);
      cell->setBackground(fixed);
    } else {
      cell->setBackground(Qt::white);
      cell->setForeground(Qt::black);
      cell->setTextAlignment(Qt::AlignCenter);
    }
    gSaetze_->setItem(1, c, cell);
  }
  gSaetze_->setFixedHeight(2 * StakeRowHeight +
                           gSaetze_->horizontalScrollBar()->sizeHint().height() +
                           2 * gSaetze_->frameWidth() + 1);
  FreezeLeadingColumns(gSaetze_, 1);
  column->addWidget(gSaetze_);

  // Opening and saving with their captions, the table's tools on the right; the quick slots
  // on a line of their own below.
  auto* files = new QHBoxLayout;
  files->setSpacing(2);
  auto* open = captionButton(QStringLiteral("BOpen"), QStringLiteral("open"),
                             QStringLiteral("Ö&ffnen..."), group);
  connect(open, &QPushButton::clicked, this, &FAnalyse3::BOpenClick);
  files->addWidget(open);
  // Alt+S belongs to "Analyse &starten": the same letter here would only move the focus
  // between the two buttons instead of starting the run.
  auto* save = captionButton(QStringLiteral("BSave"), QStringLiteral("save"),
                             QStringLiteral("Speichern..."), group);
  connect(save, &QPushButton::clicked, this, &FAnalyse3::BSaveClick);
  files->addWidget(save);
  files->addStretch(1);
  column->addLayout(files);
  auto* buttons = new QHBoxLayout;
  buttons->setSpacing(2);
  buttons->addWidget(new QLabel(QStringLiteral("Quicksave:"), group));
  const QString saveNames[] = {QStringLiteral("Bsave1"), QStringLiteral("BSave2"),
                               QStringLiteral("BSave3"), QStringLiteral("BSave4")};
  for (int slot = 1; slot <= QuickSaveSlotCount; ++slot) {
    auto* button = new QPushButton(QString::number(slot), group);
    button->setObjectName(saveNames[slot - 1]);
    button->setToolTip(QString::fromStdString(QuickSaveFileName(slot)));
    button->setFixedSize(18, 22);
    connect(button, &QPushButton::clicked, this, [this, slot] { Bsave1Click(slot); });
    buttons->addWidget(button);
  }
  buttons->addSpacing(6);
  buttons->addWidget(new QLabel(QStringLiteral("Quickopen:"), group));
  for (int slot = 1; slot <= QuickSaveSlotCount; ++slot) {
    auto* button = new QPushButton(QString::number(slot), group);
    button->setObjectName(QStringLiteral("BLoad%1").arg(slot));
    button->setToolTip(QString::fromStdString(QuickSaveFileName(slot)));
    button->setFixedSize(18, 22);
    connect(button, &QPushButton::clicked, this, [this, slot] { BLoad1Click(slot); });
    buttons->addWidget(button);
  }
  buttons->addStretch(1);
  column->addLayout(buttons);
  auto* trash = iconButton(QStringLiteral("BTrash"), QStringLiteral("trash"),
                           QStringLiteral("Tabelle leeren"), group);
  connect(trash, &QPushButton::clicked, this, &FAnalyse3::BTrashClick);
  files->addWidget(trash);
  auto* remember = iconButton(QStringLiteral("BFileSave"), QStringLiteral("settings"),
                              QStringLiteral("Als Standard-Staffelung merken"), group);
  connect(remember, &QPushButton::clicked, this, &FAnalyse3::BFileSaveClick);
  files->addWidget(remember);
  auto* help = iconButton(QStringLiteral("Button3"), QStringLiteral("help"),
                          QStringLiteral("Hilfe zur Einsatzstaffelung"), group);
  connect(help, &QPushButton::clicked, this,
          [] { Help::instance().showContext(help::SystemTest); });
  files->addWidget(help);

  // The default stake file of the settings, else the built-in progression.
  const QString stakeFile = workspace_.startFiles().StartStakeFile;
  workspace_.SetStakeFile(stakeFile);
  if (!stakeFile.isEmpty())
    SatzStaffelungLaden(stakeFile);
  else
    SetStakeCells(DefaultStakeCells());
  return group;
}

QWidget* FAnalyse3::buildSummary(QWidget* parent) {
  auto* area = new QWidget(parent);
  auto* column = new QVBoxLayout(area);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(2);
  auto* totals = new QWidget(area);
  auto* grid = new QGridLayout(totals);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setHorizontalSpacing(3);
  grid->setVerticalSpacing(2);
  auto* excel = new QPushButton(
      QStringLiteral("Excel-\rExport...").replace(QLatin1Char('\r'), QLatin1Char('\n')), totals);
  excel->setObjectName(QStringLiteral("BExcel"));
  excel->setMinimumHeight(38);
  connect(excel, &QPushButton::clicked, this, &FAnalyse3::BExcelClick);
  grid->addWidget(excel, 0, 0);
  totalLabel(QStringLiteral("Permanenzen"), QStringLiteral("LPermProof"), totals, grid, 0, 1);
  totalLabel(QStringLiteral("Satzsignale"), QStringLiteral("LSatzSignal"), totals, grid, 0, 2);
  totalLabel(QStringLiteral("Einsätze"), QStringLiteral("LSaetzeGes"), totals, grid, 0, 3);
  totalLabel(QStringLiteral("Netto-Ergebnis"), QStringLiteral("LGesamtsaldo"), totals, grid, 0, 4);
  totalLabel(QStringLiteral("Umsatz"), QStringLiteral("LUmsaetzeGes"), totals, grid, 1, 0);
  totalLabel(QStringLiteral("Umsatzrendite"), QStringLiteral("LRendite"), totals, grid, 1, 1,
             QStringLiteral("als Umsatzrendite berechnet"));
  totalLabel(QStringLiteral("Abbruch +"), QStringLiteral("LAbbruchP"), totals, grid, 1, 2);
  totalLabel(QStringLiteral("Abbruch -"), QStringLiteral("LAbbruchM"), totals, grid, 1, 3);
  totalLabel(QStringLiteral("Abbruch E"), QStringLiteral("LAbbruchE"), totals, grid, 1, 4,
             QStringLiteral("Abbruch wegen des drohenden Permanenzenendes"));
  QFont small = totals->font();
  small.setPointSize(8);
  totals->setFont(small);
  column->addWidget(totals);
  QWidget* risk = buildRisk(area);
  risk->setFont(small);
  column->addWidget(risk);
  QWidget* comparison = buildComparison(area);
  comparison->setFont(small);
  column->addWidget(comparison);

  summary_ = new SummaryModel(this);
  gZus_ = new QTableView(area);
  gZus_->setObjectName(QStringLiteral("GZus"));
  gZus_->setModel(summary_);
  gZus_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  gZus_->setSelectionMode(QAbstractItemView::NoSelection);
  gZus_->setWordWrap(false);
  QFont cellFont = gZus_->font();
  cellFont.setPointSize(8);
  gZus_->setFont(cellFont);
  gZus_->verticalHeader()->hide();
  gZus_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  gZus_->verticalHeader()->setDefaultSectionSize(SummaryRowHeight);
  gZus_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  gZus_->horizontalHeader()->setMinimumSectionSize(20);
  gZus_->horizontalHeader()->setDefaultSectionSize(50);
  QFont headingFont = gZus_->horizontalHeader()->font();
  headingFont.setPointSize(7);
  gZus_->horizontalHeader()->setFont(headingFont);
  for (int c = 0; c < SummaryModel::ColumnCount; ++c)
    gZus_->setColumnWidth(c, SummaryModel::ColumnWidths[static_cast<size_t>(c)]);
  FreezeLeadingColumns(gZus_, 1);
  column->addWidget(gZus_, 1);
  return area;
}

QWidget* FAnalyse3::buildRisk(QWidget* parent) {
  auto* group = new QGroupBox(QStringLiteral("Risiko des Laufs"), parent);
  group->setObjectName(QStringLiteral("GBRisiko"));
  auto* grid = new QGridLayout(group);
  grid->setContentsMargins(4, 0, 4, 2);
  grid->setHorizontalSpacing(4);
  grid->setVerticalSpacing(1);
  const auto caption = [](size_t i) { return QString::fromUtf8(RiskCaptions[i]); };
  figurePair(caption(0), QLatin1String(RiskNames[0]), group, grid, 0, 0);
  figurePair(caption(1), QLatin1String(RiskNames[1]), group, grid, 0, 2);
  figurePair(caption(3), QLatin1String(RiskNames[3]), group, grid, 1, 0);
  figurePair(caption(4), QLatin1String(RiskNames[4]), group, grid, 1, 2);
  figurePair(caption(2), QLatin1String(RiskNames[2]), group, grid, 2, 0, 2);
  auto* verlauf = new QPushButton(QStringLiteral("&Verlauf..."), group);
  verlauf->setObjectName(QStringLiteral("BVerlauf"));
  verlauf->setToolTip(QStringLiteral("Das Netto-Ergebnis im Verlauf der Permanenzen als Bild"));
  verlauf->setEnabled(false);
  connect(verlauf, &QPushButton::clicked, this, &FAnalyse3::BVerlaufClick);
  grid->addWidget(verlauf, 2, 3, Qt::AlignRight);
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);
  group->setToolTip(QStringLiteral(
      "Ergebnis einer Permanenz: Saldo minus Startkapital. Der tiefste Kapitalstand zählt jeden "
      "verlorenen Coup, auch den letzten eines Angriffs."));
  return group;
}

QWidget* FAnalyse3::buildComparison(QWidget* parent) {
  auto* group = new QGroupBox(QStringLiteral("Zufallsvergleich"), parent);
  group->setObjectName(QStringLiteral("GBZufall"));
  auto* column = new QVBoxLayout(group);
  column->setContentsMargins(4, 0, 4, 2);
  column->setSpacing(1);

  auto* controls = new QHBoxLayout;
  controls->setSpacing(4);
  cbZufall_ = new QCheckBox(QStringLiteral("bei der Analyse &mitrechnen"), group);
  cbZufall_->setObjectName(QStringLiteral("CBZufall"));
  cbZufall_->setToolTip(
      QStringLiteral("Spielt den Lauf noch einmal auf Zufallspermanenzen mit denselben "
                     "Coupzahlen, Einstellungen und Einsätzen"));
  controls->addWidget(cbZufall_);
  auto* keys = new DigitsOnlyFilter(group);
  const auto digitsField = [&](const QString& name, const QString& caption, int width) {
    auto* label = new QLabel(caption, group);
    auto* field = new QLineEdit(group);
    field->setObjectName(name);
    field->setValidator(DigitsValidator(field));
    field->installEventFilter(keys);
    field->setFixedWidth(width);
    field->setAlignment(Qt::AlignRight);
    label->setBuddy(field);
    controls->addWidget(label);
    controls->addWidget(field);
    return field;
  };
  eReplikate_ = digitsField(QStringLiteral("EReplikate"), QStringLiteral("&Replikate"), 58);
  eReplikate_->setText(QString::number(DefaultReplicas));
  eReplikate_->setToolTip(
      QStringLiteral("Anzahl der Zufallsläufe, %1 bis %2")
          .arg(QLocale().toString(FewestReplicas), QLocale().toString(MostReplicas)));
  eSeed_ = digitsField(QStringLiteral("ESeed"), QStringLiteral("Start&wert"), 118);
  eSeed_->setPlaceholderText(QStringLiteral("neu"));
  eSeed_->setToolTip(QStringLiteral("Derselbe Startwert wiederholt einen Vergleich genau; leer: "
                                    "bei jeder Analyse ein neuer"));
  controls->addStretch(1);
  auto* histogramm = new QPushButton(QStringLiteral("Histo&gramm..."), group);
  histogramm->setObjectName(QStringLiteral("BHistogramm"));
  histogramm->setToolTip(
      QStringLiteral("Die Netto-Ergebnisse der Zufallsläufe als Bild, das echte markiert"));
  histogramm->setEnabled(false);
  connect(histogramm, &QPushButton::clicked, this, &FAnalyse3::BHistogrammClick);
  controls->addWidget(histogramm);
  column->addLayout(controls);

  auto* figures = new QGridLayout;
  figures->setHorizontalSpacing(4);
  figures->setVerticalSpacing(0);
  constexpr int PairsPerRow = 3;
  for (size_t i = 0; i < ComparisonCaptions.size(); ++i) {
    const int row = static_cast<int>(i) / PairsPerRow;
    const int pair = static_cast<int>(i) % PairsPerRow;
    figurePair(QString::fromUtf8(ComparisonCaptions[i]), QLatin1String(ComparisonNames[i]), group,
               figures, row, 2 * pair);
  }
  for (int pair = 0; pair < PairsPerRow; ++pair)
    figures->setColumnStretch(2 * pair + 1, 1);
  column->addLayout(figures);
  auto* verdict = new QLabel(group);
  verdict->setObjectName(QStringLiteral("LUrteil"));
  QFont bold = verdict->font();
  bold.setBold(true);
  verdict->setFont(bold);
  verdict->setTextInteractionFlags(Qt::TextSelectableByMouse);
  column->addWidget(verdict);
  return group;
}

std::vector<std::string> FAnalyse3::StakeCells() const {
  std::vector<std::string> cells;
  cells.reserve(StakeTableColumns);
  for (int c = 1; c < StakeColumns; ++c)
    cells.push_back(gSaetze_->item(1, c)->text().toStdString());
  return cells;
}

void FAnalyse3::SetStakeCells(const std::vector<std::string>& cells) {
  for (int c = 1; c < StakeColumns; ++c) {
    const auto k = static_cast<size_t>(c - 1);
    gSaetze_->item(1, c)->setText(k < cells.size() ? QString::fromStdString(cells[k]) : QString());
  }
}

SliderPositions FAnalyse3::Sliders() const {
  return {sliders_[0]->value(), sliders_[1]->value(), sliders_[2]->value(),
          sliders_[3]->value(), sliders_[4]->value(), sliders_[5]->value()};
}

// A stake still being typed lives in the cell's editor until Enter or a change of focus. A
// keyboard shortcut, a menu entry or a toolbar button acts without taking the focus, so
// every action that reads or replaces the stake table first stores the open editor's text:
// the action sees what the cell shows.
void FAnalyse3::commitStakeEditing() {
  const QModelIndex current = gSaetze_->currentIndex();
  QWidget* editor = gSaetze_->indexWidget(current);
  if (!editor)
    return;
  QAbstractItemDelegate* delegate = gSaetze_->itemDelegateForIndex(current);
  emit delegate->commitData(editor);
  emit delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
}

const QString& FAnalyse3::CurrentStakeFile() const { return workspace_.stakeFile(); }

void FAnalyse3::setCurrentStakeFile(const QString& path) {
  workspace_.SetStakeFile(path);
  lFile_->setText(path.isEmpty() ? QString() : QFileInfo(path).fileName());
}

void FAnalyse3::SatzStaffelungLaden(const QString& path) {
  commitStakeEditing();
  Dialogs& dialogs = Dialogs::instance();
  const QFileInfo file(path);
  // Only a missing file is "not found"; anything else in its place is refused by the reader.
  if (!file.exists()) {
    dialogs.information(this, FromUtf8(StakeFileNotFoundMessage(file.fileName().toStdString())));
    return;
  }
  if (LoadNeedsOverwriteQuestion(StakeCells()) &&
      dialogs.confirm(this, FromUtf8(OverwriteStakeTableQuestion),
                      Dialogs::YesButton | Dialogs::NoButton | Dialogs::CancelButton) !=
          Dialogs::Answer::Yes)
    return;
  // Read before the table is emptied, so an unreadable file leaves it as it was.
  const FileBytes bytes = ReadFileBytes(path);
  if (!bytes.ok()) {
    dialogs.error(this, bytes.error);
    return;
  }
  SetStakeCells(StakeCellsFromLines(SplitStakeFileText(DecodeText(bytes.bytes).text)));
  setCurrentStakeFile(path);
}

void FAnalyse3::BOpenClick() {
  const QStringList chosen =
      Dialogs::instance().openFiles(this, stakeFileRequest(QStringLiteral("Öffnen")));
  if (!chosen.isEmpty())
    SatzStaffelungLaden(chosen.first());
}

void FAnalyse3::BLoad1Click(int slot) { SatzStaffelungLaden(quickSavePath(slot)); }

// Both saves: the reserved names are refused in the save dialog only; a table with nothing
// to save writes no file and keeps the current stake file.
void FAnalyse3::saveStakes(const QString& path, bool chosenFile) {
  commitStakeEditing();
  Dialogs& dialogs = Dialogs::instance();
  const std::vector<std::string> cells = StakeCells();
  const StakeSavePlan plan =
      PlanStakeSave(QFileInfo(path).fileName().toStdString(), cells,
                    chosenFile ? StakeSaveTarget::ChosenFile : StakeSaveTarget::QuickSaveSlot);
  if (!plan.errorMessage.empty()) {
    dialogs.error(this, FromUtf8(plan.errorMessage));
    return;
  }
  if (plan.fileText) {
    if (const QString error = WriteTextLines(path, CollectStakeLines(cells)); !error.isEmpty()) {
      dialogs.error(this, error);
      return;
    }
  } else {
    dialogs.information(this, FromUtf8(plan.informationMessage));
  }
  if (plan.becomesCurrentFile)
    setCurrentStakeFile(path);
}

void FAnalyse3::BSaveClick() {
  const QString path =
      Dialogs::instance().saveFile(this, stakeFileRequest(QStringLiteral("Speichern unter")));
  if (!path.isEmpty())
    saveStakes(path, true);
}

void FAnalyse3::Bsave1Click(int slot) { saveStakes(quickSavePath(slot), false); }

void FAnalyse3::BTrashClick() {
  commitStakeEditing();
  SetStakeCells({});
  setCurrentStakeFile(QString());
}

// The default counts for this run at once (the workspace's start-up files, which the
// settings window shows) and is stored for the next start.
void FAnalyse3::BFileSaveClick() {
  commitStakeEditing();
  Dialogs& dialogs = Dialogs::instance();
  if (CurrentStakeFile().isEmpty()) {
    dialogs.information(this, FromUtf8(SaveStakeFileFirstMessage));
    return;
  }
  if (const QString error = workspace_.RememberStakeFileForStartUp(); !error.isEmpty())
    dialogs.error(this, error);
}

void FAnalyse3::Button2Click() {
  std::array<int, 6> positions{};
  for (size_t i = 0; i < sliders_.size(); ++i)
    positions[i] = sliders_[i]->value();
  if (const QString error = WriteTwoThirdsSliders(positions); !error.isEmpty())
    Dialogs::instance().error(this, error);
}

// The values of column A are the texts shown at export time.
void FAnalyse3::BExcelClick() {
  ExportWorkbook(this, static_cast<size_t>(summary_->rowCount()) + 1, [this] {
    const char* const names[16] = {"LPermProof",   "LSatzSignal", "LSaetzeGes", "LGesamtsaldo",
                                   "LUmsaetzeGes", "LRendite",    "LAbbruchP",  "LAbbruchM",
                                   "LAbbruchE",    "PKapital",    "Pup",        "PNach",
                                   "PStueck",      "PPlus",       "PMinus",     "LFile"};
    std::array<std::string, 16> values;
    for (size_t i = 0; i < values.size(); ++i)
      values[i] = ShownText(this, QLatin1String(names[i]));
    WorkbookSheet sheet = SummaryWorkbook(values, GridTexts(*summary_));
    std::array<std::string, 5> risk;
    for (size_t i = 0; i < risk.size(); ++i)
      risk[i] = ShownText(this, QLatin1String(RiskNames[i]));
    AddRiskFigures(sheet, risk);
    if (lastComparison_) {
      std::array<std::string, 13> comparison;
      for (size_t i = 0; i < comparison.size(); ++i)
        comparison[i] = ShownText(this, QLatin1String(ComparisonNames[i]));
      AddComparisonSheet(sheet, comparison, ShownText(this, QStringLiteral("LUrteil")),
                         *lastComparison_);
    }
    return sheet;
  });
}

ResultPage* FAnalyse3::resultPage(int tabIndex) const { return pc1_->page(tabIndex); }

frFrAnalyse2* FAnalyse3::resultFrame(int tabIndex) const {
  ResultPage* page = resultPage(tabIndex);
  return page ? page->frame() : nullptr;
}

void FAnalyse3::BAnalyseClick() {
  commitStakeEditing();
  Dialogs& dialogs = Dialogs::instance();
  const QStringList files = fileSelector_->selectedFiles();
  if (fileSelector_->fileCount() == 0 || files.isEmpty()) {
    dialogs.error(this, QStringLiteral("Es wurde keine Datei ausgewählt.\r\rIch breche ab."));
    return;
  }
  const TestParametersReading reading = ReadTestParameters(Sliders(), StakeCells());
  if (!reading.params) {
    dialogs.error(this, FromUtf8(reading.errorMessage));
    return;
  }
  if (!reading.informationMessage.empty()) {
    dialogs.information(this, FromUtf8(reading.informationMessage));
    if (reading.track4Position)
      sliders_[3]->setValue(*reading.track4Position);
  }
  const auto params = std::make_shared<const SystemTestParams>(*reading.params);
  std::optional<RandomComparisonRequest> comparison;
  if (!readComparison(comparison))
    return;

  // Every file is read before anything is shown: an unreadable file or a cancel leaves the
  // window as it was. A run with a comparison can take long, so it can be cancelled.
  RunProgress progress(this,
                       comparison
                           ? QStringLiteral("Permanenzen und Zufallsläufe werden getestet...")
                           : QStringLiteral("Permanenzen werden getestet..."),
                       static_cast<size_t>(files.size()));
  std::optional<FilePermanences> read = progress.readFiles(files);
  if (!read)
    return;
  const SystemTestRun run = RunSystemTest(read->PermanenceData, *params,
                                          {.protocol = ProtocolMode::Skip,
                                           .run = progress.analysing(comparison.has_value()),
                                           .comparison = comparison});
  if (run.cancelled)
    return;
  lastResults_.clear();
  for (const TestedPermanence& tested : run.tested)
    lastResults_.push_back(tested.result.outcome.finalCapital - params->startkapital);
  lastNetto_ = NetResult(run.totals, *params);
  showRisk(run, read->PermanenceNames);
  showComparison(run.comparison);

  std::vector<std::pair<size_t, SummaryModel::Row>> rows;
  std::vector<ResultTabModel::Tab> tabs;
  for (const TestedPermanence& tested : run.tested) {
    const size_t position = tested.position;
    const PermanenceOutcome& outcome = tested.result.outcome;
    const QString name = QString::fromStdString(read->PermanenceNames[position]);
    rows.push_back({position, SummaryRowTexts(position, name, outcome, params->startkapital,
                                              tested.gesamtsaldoAfter)});
    tabs.push_back({name,
                    ++tabsMade_,
                    {std::move(read->PermanenceData[position]), params, position, outcome},
                    {}});
  }
  summary_->setRows(std::move(rows));
  // Long file names and large figures widen their columns; "Nr." stays fixed on the left.
  for (int c = 1; c < SummaryModel::ColumnCount; ++c)
    FitColumnToTexts(gZus_, c, SummaryModel::ColumnWidths[static_cast<size_t>(c)]);
  const bool anyTested = !tabs.empty();
  pc1_->append(std::move(tabs));
  // The last tested permanence is the active page.
  if (anyTested)
    pc1_->setCurrentIndex(pc1_->count() - 1);
  showTotals(run.totals, *params);
  progress.finish();
}

bool FAnalyse3::readComparison(std::optional<RandomComparisonRequest>& request) {
  return ReadComparisonFields(this, {cbZufall_, eReplikate_, eSeed_}, request);
}

void FAnalyse3::showRisk(const SystemTestRun& run, const std::vector<std::string>& names) {
  const QString worst =
      run.risk.schlechteste
          ? QString::fromStdString(names[run.tested[*run.risk.schlechteste].position])
          : QString();
  const std::array<QString, 5> texts = RiskTexts(run.risk, worst);
  for (size_t i = 0; i < texts.size(); ++i)
    findChild<QLabel*>(QLatin1String(RiskNames[i]))->setText(texts[i]);
  findChild<QPushButton*>(QStringLiteral("BVerlauf"))->setEnabled(true);
  if (verlauf_ && verlauf_->isVisible())
    verlauf_->ShowRunningNet(lastResults_);
}

void FAnalyse3::showComparison(const std::optional<RandomComparison>& comparison) {
  lastComparison_ = comparison;
  std::array<QString, 13> texts;
  texts.fill(dash());
  if (comparison)
    texts = ComparisonTexts(*comparison);
  for (size_t i = 0; i < texts.size(); ++i)
    findChild<QLabel*>(QLatin1String(ComparisonNames[i]))->setText(texts[i]);
  findChild<QLabel*>(QStringLiteral("LUrteil"))
      ->setText(comparison ? ComparisonVerdict(comparison->perzentil) : QString());
  findChild<QPushButton*>(QStringLiteral("BHistogramm"))->setEnabled(comparison.has_value());
  if (histogramm_ && histogramm_->isVisible()) {
    if (comparison)
      histogramm_->ShowHistogram(*comparison, lastNetto_);
    else
      histogramm_->close();
  }
}

void FAnalyse3::BVerlaufClick() {
  if (!verlauf_)
    verlauf_ = new FChart2(this);
  verlauf_->ShowRunningNet(lastResults_);
  verlauf_->show();
  verlauf_->raise();
  verlauf_->activateWindow();
}

void FAnalyse3::BHistogrammClick() {
  if (!lastComparison_)
    return;
  if (!histogramm_)
    histogramm_ = new FChart2(this);
  histogramm_->ShowHistogram(*lastComparison_, lastNetto_);
  histogramm_->show();
  histogramm_->raise();
  histogramm_->activateWindow();
}

void FAnalyse3::showTotals(const SystemTestTotals& totals, const SystemTestParams& params) {
  const char* const names[9] = {"LPermProof",   "LSatzSignal",  "LSaetzeGes",
                                "LGesamtsaldo", "LUmsaetzeGes", "LRendite",
                                "LAbbruchP",    "LAbbruchM",    "LAbbruchE"};
  const std::array<QString, 9> texts = TotalsTexts(totals, params);
  for (size_t i = 0; i < texts.size(); ++i)
    findChild<QLabel*>(QLatin1String(names[i]))->setText(texts[i]);
}

} // namespace kw
