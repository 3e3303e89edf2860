#include "ui/FSysteme.h"

#include "files/Folders.h"
#include "files/PermanenceFiles.h"
#include "files/TextFile.h"
#include "report/SystemTestFormat.h"
#include "report/WorkbookExport.h"
#include "systems/SystemTexts.h"
#include "systemtest/TestParameters.h"
#include "ui/Dialogs.h"
#include "ui/DigitsOnly.h"
#include "ui/FChart2.h"
#include "ui/FileSelector.h"
#include "ui/Help.h"
#include "ui/HelpTopics.h"
#include "ui/LuaEditor.h"
#include "ui/ReportTableModel.h"
#include "ui/RunProgress.h"
#include "ui/WindowChrome.h"
#include "ui/WindowParts.h"
#include "ui/WorkbookExportDialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <charconv>
#include <map>

namespace kw {
namespace {

constexpr int WindowWidth = 1340;
constexpr int WindowHeight = 650;
constexpr int ResultsWidth = 550;
constexpr int FileSelectionWidth = 170;
constexpr int DryRunCoups = 370;
constexpr int DefaultReplicas = 1000;
// The output pane keeps at most this many lines of a run; the rest are counted.
constexpr size_t OutputLines = 20'000;

const QString ResourceFolder = QStringLiteral(":/systeme");

const std::vector<std::pair<QString, QString>>& PermanenceFilters() {
  static const std::vector<std::pair<QString, QString>> filters = {
      {QStringLiteral("Permanenzen (*.prm)"), QStringLiteral("*.prm")},
      {QStringLiteral("Alle Dateien (*.*)"), QStringLiteral("*")}};
  return filters;
}

Dialogs::FileRequest scriptRequest(const QString& title) {
  Dialogs::FileRequest request;
  request.title = title;
  request.filter = QStringLiteral("Lua-Skripte (*.lua);;Alle Dateien (*.*)");
  request.defaultSuffix = QStringLiteral("lua");
  request.startDir = SystemsDir();
  return request;
}

// An amount in cents in the window's currency format: "1.002,50 €".
QString centsText(double cents) { return MoneyDecimalText(cents / 100.0); }

std::optional<uint64_t> fieldNumber(const QString& text, uint64_t least, uint64_t most) {
  const std::string digits = text.trimmed().toStdString();
  uint64_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
      value < least || value > most)
    return std::nullopt;
  return value;
}

QSpinBox* moneyBox(const QString& name, int least, int most, int step, int value, QWidget* parent) {
  auto* box = new QSpinBox(parent);
  box->setObjectName(name);
  box->setRange(least, most);
  box->setSingleStep(step);
  box->setValue(value);
  box->setSuffix(QStringLiteral(" €"));
  box->setGroupSeparatorShown(true);
  box->setAlignment(Qt::AlignRight);
  if (step > 1)
    // Amounts go in steps of a hundred: a typed amount is rounded to the nearest step.
    QObject::connect(box, &QSpinBox::editingFinished, box,
                     [box, step] { box->setValue((box->value() + step / 2) / step * step); });
  return box;
}

QLabel* figure(const QString& name, QWidget* parent) {
  auto* label = new QLabel(QStringLiteral("–"), parent);
  label->setObjectName(name);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return label;
}

// The risk figures of own systems: the expectation counts a simple chance under the half
// rule at 1/74 of its stake, so its caption does not say "/37".
constexpr std::array<const char*, 5> SystemRiskCaptions = {
    "Größter Rückgang", "Längste Verlustserie", "Schlechteste Permanenz", "Tiefster Kapitalstand",
    "Erwartung"};
constexpr std::array<const char*, 5> RiskNames = {"LRueckgang", "LVerlustserie", "LSchlechteste",
                                                  "LTiefsterStand", "LErwartung"};
constexpr std::array<const char*, 13> ComparisonNames = {
    "LReplikate", "LStartwert", "LNettoMittel", "LNettoStd", "LNettoMin",     "LNettoMax", "LQ5",
    "LQ25",       "LQ50",       "LQ75",         "LQ95",      "LUmsatzMittel", "LPerzentil"};
constexpr std::array<const char*, 9> SummaryHeadings = {
    "Nr.", "Name", "Coups", "Einsätze", "Umsatz", "Saldo", "Minimum", "Maximum", "Ende"};
constexpr std::array<const char*, 4> TotalNames = {"LPermanenzen", "LEinsaetze", "LUmsatz",
                                                   "LNetto"};
constexpr std::array<const char*, 4> TotalCaptions = {"Permanenzen", "Einsätze", "Umsatz",
                                                      "Netto-Ergebnis"};

QStringList headings(std::span<const char* const> texts) {
  QStringList list;
  for (const char* t : texts)
    list << QString::fromUtf8(t);
  return list;
}

QStringList protocolHeadings() {
  QStringList list;
  for (std::string_view h : SystemProtocolHeadings)
    list << FromUtf8(h);
  return list;
}

QTableView* resultGrid(ReportTableModel* model, const QString& name, QWidget* parent) {
  auto* grid = new QTableView(parent);
  grid->setObjectName(name);
  grid->setModel(model);
  grid->verticalHeader()->hide();
  grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 4);
  grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->setAlternatingRowColors(true);
  grid->horizontalHeader()->setStretchLastSection(true);
  return grid;
}

} // namespace

QString SystemsDir() { return DataDir() + QStringLiteral("Systeme"); }

QStringList ShippedSystems() {
  return QDir(ResourceFolder).entryList({QStringLiteral("*.lua")}, QDir::Files, QDir::Name);
}

QByteArray ShippedSystemText(const QString& fileName) {
  QFile file(ResourceFolder + QLatin1Char('/') + fileName);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString ProvideSystemsDir() {
  const QString folder = SystemsDir();
  if (QFileInfo::exists(folder))
    return {};
  if (!QDir().mkpath(folder))
    return QStringLiteral("Der Ordner \"%1\" für die eigenen Systeme kann nicht angelegt werden.")
        .arg(QDir::toNativeSeparators(folder));
  for (const QString& name : ShippedSystems())
    if (const QString error =
            WriteFileBytes(folder + QLatin1Char('/') + name, ShippedSystemText(name));
        !error.isEmpty())
      return error;
  return {};
}

FSysteme::FSysteme(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("FSysteme"));
  FormCreate();
}

void FSysteme::FormCreate() {
  setWindowTitle(QStringLiteral("Kesselwerk"));
  ChromeConfig config;
  config.helpContext = help::Systems;
  config.disabledButtons = {Command::Systeme};
  chrome_ = WindowChrome::install(this, config);
  chrome_->setHandler(Command::Open, [this] { BOeffnenClick(); });
  chrome_->setHandler(Command::Save, [this] { BSpeichernUnterClick(); });
  InstallHelpKey(this, help::Systems);

  auto* client = new QWidget(this);
  auto* layout = new QVBoxLayout(client);
  layout->setContentsMargins(0, 0, 0, 4);
  layout->setSpacing(0);
  layout->addWidget(
      HeadingStrip(QStringLiteral("   Eigene Systeme"), client, QStringLiteral("LUeberschrift")));

  auto* splitter = new QSplitter(Qt::Horizontal, client);
  splitter->setObjectName(QStringLiteral("SPTeiler"));
  splitter->setChildrenCollapsible(false);

  auto* filesArea = new QWidget(splitter);
  auto* files = new QVBoxLayout(filesArea);
  files->setContentsMargins(2, 4, 0, 0);
  fileSelector_ = new FileSelector(PermanenceFilters(), 0, filesArea);
  fileSelector_->setDirectory(PermanenceDir());
  files->addWidget(fileSelector_, 1);
  filesArea->setFixedWidth(FileSelectionWidth);

  splitter->addWidget(filesArea);
  splitter->addWidget(buildScriptArea(splitter));
  splitter->addWidget(buildResults(splitter));
  splitter->setStretchFactor(0, 0);
  splitter->setStretchFactor(1, 1);
  splitter->setStretchFactor(2, 1);
  layout->addWidget(splitter, 1);
  setCentralWidget(client);
  resize(WindowWidth, WindowHeight + menuBar()->sizeHint().height());

  if (const QString error = ProvideSystemsDir(); !error.isEmpty())
    lPruefung_->setText(error);
  const QStringList shipped = ShippedSystems();
  const QString first = QStringLiteral("Martingale auf Rouge.lua");
  cbBeispiel_->setCurrentIndex(std::max<qsizetype>(0, shipped.indexOf(first)));
  BBeispielClick();
}

QWidget* FSysteme::buildScriptArea(QWidget* parent) {
  auto* area = new QWidget(parent);
  auto* column = new QVBoxLayout(area);
  column->setContentsMargins(4, 4, 4, 0);
  column->setSpacing(4);

  auto* top = new QHBoxLayout;
  auto* exampleLabel = new QLabel(QStringLiteral("&Beispiel:"), area);
  top->addWidget(exampleLabel);
  cbBeispiel_ = new QComboBox(area);
  cbBeispiel_->setObjectName(QStringLiteral("CBBeispiel"));
  for (const QString& name : ShippedSystems())
    cbBeispiel_->addItem(QFileInfo(name).completeBaseName(), name);
  cbBeispiel_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  exampleLabel->setBuddy(cbBeispiel_);
  top->addWidget(cbBeispiel_, 1);
  const auto button = [area](const QString& text, const QString& name, const QString& tip) {
    auto* b = new QPushButton(text, area);
    b->setObjectName(name);
    b->setToolTip(tip);
    return b;
  };
  QPushButton* load = button(QStringLiteral("&Laden"), QStringLiteral("BBeispiel"),
                             QStringLiteral("Das gewählte Beispiel in den Editor laden"));
  connect(load, &QPushButton::clicked, this, &FSysteme::BBeispielClick);
  top->addWidget(load);
  top->addSpacing(8);
  QPushButton* neu = button(QStringLiteral("&Neu"), QStringLiteral("BNeu"),
                            QStringLiteral("Ein neues, leeres System beginnen"));
  connect(neu, &QPushButton::clicked, this, &FSysteme::BNeuClick);
  top->addWidget(neu);
  QPushButton* open = button(QStringLiteral("Ö&ffnen..."), QStringLiteral("BOeffnen"),
                             QStringLiteral("Ein Skript (.lua) öffnen"));
  connect(open, &QPushButton::clicked, this, &FSysteme::BOeffnenClick);
  top->addWidget(open);
  QPushButton* save = button(QStringLiteral("Spei&chern"), QStringLiteral("BSpeichern"),
                             QStringLiteral("Das Skript speichern (Strg+S); unter einem neuen "
                                            "Namen: Datei → Speichern unter..."));
  save->setShortcut(QKeySequence::Save);
  connect(save, &QPushButton::clicked, this, &FSysteme::BSpeichernClick);
  top->addWidget(save);
  column->addLayout(top);

  lSkript_ = new QLabel(area);
  lSkript_->setObjectName(QStringLiteral("LSkript"));
  auto* editorLabel = new QLabel(QStringLiteral("Sk&ript:"), area);
  auto* nameRow = new QHBoxLayout;
  nameRow->addWidget(editorLabel);
  nameRow->addWidget(lSkript_, 1);
  column->addLayout(nameRow);
  editor_ = new LuaEditor(area);
  editor_->setObjectName(QStringLiteral("MSkript"));
  editorLabel->setBuddy(editor_);
  connect(editor_->document(), &QTextDocument::modificationChanged, this,
          &FSysteme::showScriptName);
  column->addWidget(editor_, 1);
  column->addWidget(buildSettings(area));
  return area;
}

QWidget* FSysteme::buildSettings(QWidget* parent) {
  auto* area = new QWidget(parent);
  auto* column = new QVBoxLayout(area);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(2);
  auto* row = new QHBoxLayout;

  gbParameter_ = new QGroupBox(QStringLiteral("Parameter des Skripts"), area);
  gbParameter_->setObjectName(QStringLiteral("GBParameter"));
  parameterForm_ = new QFormLayout(gbParameter_);
  parameterForm_->setContentsMargins(6, 2, 6, 4);
  parameterForm_->setVerticalSpacing(2);
  row->addWidget(gbParameter_, 1);

  auto* money = new QGroupBox(QStringLiteral("Geld"), area);
  money->setObjectName(QStringLiteral("GBGeld"));
  auto* moneyGrid = new QGridLayout(money);
  moneyGrid->setContentsMargins(6, 2, 6, 4);
  moneyGrid->setVerticalSpacing(2);
  seStueck_ = moneyBox(QStringLiteral("SEStueck"), 1, 100, 1, 5, money);
  seKapital_ = moneyBox(QStringLiteral("SEKapital"), 500, 20000, 100, 1000, money);
  sePlus_ = moneyBox(QStringLiteral("SEPlus"), 100, 20000, 100, 500, money);
  seMinus_ = moneyBox(QStringLiteral("SEMinus"), 500, 20000, 100, 800, money);
  const std::pair<const char*, QSpinBox*> boxes[] = {{"Stück&größe:", seStueck_},
                                                     {"Start&kapital:", seKapital_},
                                                     {"Pl&us:", sePlus_},
                                                     {"M&inus:", seMinus_}};
  for (int i = 0; i < 4; ++i) {
    auto* label = new QLabel(QString::fromUtf8(boxes[i].first), money);
    label->setBuddy(boxes[i].second);
    moneyGrid->addWidget(label, i / 2, i % 2 * 2);
    moneyGrid->addWidget(boxes[i].second, i / 2, i % 2 * 2 + 1);
  }
  sePlus_->setToolTip(QStringLiteral("Gewinnziel = Startkapital + Plus: eine Permanenz endet, wenn "
                                     "das Kapital es nach einem Coup mit Einsatz erreicht"));
  seMinus_->setToolTip(QStringLiteral("Verlustgrenze = Startkapital − Minus: eine Permanenz endet, "
                                      "wenn das Kapital nach einem Coup mit Einsatz darauf fällt"));
  row->addWidget(money);
  column->addLayout(row);

  auto* run = new QGroupBox(QStringLiteral("Lauf"), area);
  run->setObjectName(QStringLiteral("GBLauf"));
  auto* runRow = new QHBoxLayout(run);
  runRow->setContentsMargins(6, 2, 6, 4);
  auto* keys = new DigitsOnlyFilter(run);
  const auto digitsField = [&](const QString& name, const QString& text, int width) {
    auto* field = new QLineEdit(text, run);
    field->setObjectName(name);
    field->setValidator(DigitsValidator(field));
    field->installEventFilter(keys);
    field->setAlignment(Qt::AlignRight);
    field->setFixedWidth(width);
    return field;
  };
  auto* seedLabel = new QLabel(QStringLiteral("Start&wert:"), run);
  eSeed_ = digitsField(QStringLiteral("ESeed"), QStringLiteral("1"), 96);
  eSeed_->setToolTip(QStringLiteral("Startwert von math.random und des Zufallsvergleichs: "
                                    "derselbe Startwert wiederholt einen Lauf genau"));
  seedLabel->setBuddy(eSeed_);
  runRow->addWidget(seedLabel);
  runRow->addWidget(eSeed_);
  runRow->addSpacing(6);
  cbZufall_ = new QCheckBox(QStringLiteral("&Zufallsvergleich:"), run);
  cbZufall_->setObjectName(QStringLiteral("CBZufall"));
  cbZufall_->setToolTip(QStringLiteral("Spielt den Lauf so oft, wie das Feld daneben sagt (die "
                                       "Replikate), noch einmal auf Zufallspermanenzen mit "
                                       "denselben Coupzahlen und Einstellungen"));
  eReplikate_ = digitsField(QStringLiteral("EReplikate"), QString::number(DefaultReplicas), 70);
  eReplikate_->setToolTip(
      QStringLiteral("Anzahl der Zufallsläufe, %1 bis %2")
          .arg(QLocale().toString(FewestReplicas), QLocale().toString(MostReplicas)));
  runRow->addWidget(cbZufall_);
  runRow->addWidget(eReplikate_);
  runRow->addStretch(1);
  auto* check = new QPushButton(QStringLiteral("&Prüfen"), run);
  check->setObjectName(QStringLiteral("BPruefen"));
  check->setToolTip(QStringLiteral("Lädt das Skript und spielt es probeweise über %1 Zufallscoups")
                        .arg(DryRunCoups));
  connect(check, &QPushButton::clicked, this, &FSysteme::BPruefenClick);
  runRow->addWidget(check);
  auto* start = new QPushButton(QStringLiteral("&Starten"), run);
  start->setObjectName(QStringLiteral("BStarten"));
  start->setToolTip(QStringLiteral("Spielt das System über die gewählten Permanenzen"));
  QFont bold = start->font();
  bold.setBold(true);
  start->setFont(bold);
  connect(start, &QPushButton::clicked, this, &FSysteme::BStartenClick);
  runRow->addWidget(start);
  column->addWidget(run);

  lPruefung_ = new QLabel(area);
  lPruefung_->setObjectName(QStringLiteral("LPruefung"));
  lPruefung_->setWordWrap(true);
  lPruefung_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  column->addWidget(lPruefung_);
  return area;
}

QWidget* FSysteme::buildResults(QWidget* parent) {
  pcErgebnis_ = new QTabWidget(parent);
  pcErgebnis_->setObjectName(QStringLiteral("PCErgebnis"));
  pcErgebnis_->setMinimumWidth(ResultsWidth);

  auto* summaryPage = new QWidget(pcErgebnis_);
  summaryPage->setObjectName(QStringLiteral("TabZusammenfassung"));
  auto* column = new QVBoxLayout(summaryPage);
  column->setContentsMargins(4, 4, 4, 4);
  auto* systemName = new QLabel(summaryPage);
  systemName->setObjectName(QStringLiteral("LSystem"));
  QFont bold = systemName->font();
  bold.setBold(true);
  systemName->setFont(bold);
  column->addWidget(systemName);
  auto* totals = new QGridLayout;
  totals->setHorizontalSpacing(6);
  for (size_t i = 0; i < TotalNames.size(); ++i) {
    const int r = static_cast<int>(i) / 2;
    const int c = static_cast<int>(i) % 2 * 2;
    totals->addWidget(
        new QLabel(QString::fromUtf8(TotalCaptions[i]) + QLatin1Char(':'), summaryPage), r, c);
    totals->addWidget(figure(QLatin1String(TotalNames[i]), summaryPage), r, c + 1);
  }
  totals->setColumnStretch(1, 1);
  totals->setColumnStretch(3, 1);
  column->addLayout(totals);
  summary_ = new ReportTableModel(headings(SummaryHeadings), this);
  gZus_ = resultGrid(summary_, QStringLiteral("GZus"), summaryPage);
  // The reason a permanence ended is read in full; a narrow window scrolls instead.
  gZus_->horizontalHeader()->setStretchLastSection(false);
  connect(gZus_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
    pcProtokolle_->setCurrentIndex(index.row());
    pcErgebnis_->setCurrentIndex(2);
  });
  gZus_->setToolTip(QStringLiteral("Doppelklick: das Protokoll der Permanenz"));
  column->addWidget(gZus_, 1);
  auto* excel = new QPushButton(QStringLiteral("&Excel-Export..."), summaryPage);
  excel->setObjectName(QStringLiteral("BExcel"));
  excel->setEnabled(false);
  connect(excel, &QPushButton::clicked, this, &FSysteme::BExcelClick);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(excel);
  column->addLayout(buttons);
  pcErgebnis_->addTab(summaryPage, QStringLiteral("Zusammenfassung"));

  pcErgebnis_->addTab(buildRiskTab(pcErgebnis_), QStringLiteral("Risiko und Zufall"));

  pcProtokolle_ = new QTabWidget(pcErgebnis_);
  pcProtokolle_->setObjectName(QStringLiteral("PCProtokolle"));
  pcProtokolle_->setUsesScrollButtons(true);
  pcProtokolle_->setDocumentMode(true);
  connect(pcProtokolle_, &QTabWidget::currentChanged, this, &FSysteme::fillProtocol);
  pcErgebnis_->addTab(pcProtokolle_, QStringLiteral("Protokolle"));
  connect(pcErgebnis_, &QTabWidget::currentChanged, this, [this] {
    if (pcErgebnis_->currentWidget() == pcProtokolle_)
      fillProtocol(pcProtokolle_->currentIndex());
  });

  mAusgabe_ = new QPlainTextEdit(pcErgebnis_);
  mAusgabe_->setObjectName(QStringLiteral("MAusgabe"));
  mAusgabe_->setReadOnly(true);
  mAusgabe_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  mAusgabe_->setLineWrapMode(QPlainTextEdit::NoWrap);
  pcErgebnis_->addTab(mAusgabe_, QStringLiteral("Ausgabe (print)"));
  return pcErgebnis_;
}

QWidget* FSysteme::buildRiskTab(QWidget* parent) {
  auto* page = new QWidget(parent);
  page->setObjectName(QStringLiteral("TabRisiko"));
  auto* column = new QVBoxLayout(page);
  column->setContentsMargins(4, 4, 4, 4);

  auto* risk = new QGroupBox(QStringLiteral("Risiko des Laufs"), page);
  risk->setObjectName(QStringLiteral("GBRisiko"));
  auto* riskGrid = new QGridLayout(risk);
  for (size_t i = 0; i < SystemRiskCaptions.size(); ++i) {
    riskGrid->addWidget(
        new QLabel(QString::fromUtf8(SystemRiskCaptions[i]) + QLatin1Char(':'), risk),
        static_cast<int>(i), 0);
    riskGrid->addWidget(figure(QLatin1String(RiskNames[i]), risk), static_cast<int>(i), 1);
  }
  riskGrid->setColumnStretch(1, 1);
  risk->setToolTip(QStringLiteral(
      "Ergebnis einer Permanenz: Saldo minus Startkapital. Erwartung: jeder Satz verliert im "
      "Mittel 1/37 seines Einsatzes, ein Satz auf eine einfache Chance mit zero_regel "
      "\"halb\" nur 1/74."));
  auto* verlauf = new QPushButton(QStringLiteral("&Verlauf..."), risk);
  verlauf->setObjectName(QStringLiteral("BVerlauf"));
  verlauf->setToolTip(QStringLiteral("Das Netto-Ergebnis im Verlauf der Permanenzen als Bild"));
  verlauf->setEnabled(false);
  connect(verlauf, &QPushButton::clicked, this, &FSysteme::BVerlaufClick);
  riskGrid->addWidget(verlauf, static_cast<int>(SystemRiskCaptions.size()), 1, Qt::AlignRight);
  column->addWidget(risk);

  auto* comparison = new QGroupBox(QStringLiteral("Zufallsvergleich"), page);
  comparison->setObjectName(QStringLiteral("GBZufall"));
  auto* grid = new QGridLayout(comparison);
  constexpr int PairsPerRow = 2;
  for (size_t i = 0; i < ComparisonCaptions.size(); ++i) {
    const int r = static_cast<int>(i) / PairsPerRow;
    const int c = static_cast<int>(i) % PairsPerRow * 2;
    grid->addWidget(
        new QLabel(QString::fromUtf8(ComparisonCaptions[i]) + QLatin1Char(':'), comparison), r, c);
    grid->addWidget(figure(QLatin1String(ComparisonNames[i]), comparison), r, c + 1);
  }
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);
  const int last = static_cast<int>(ComparisonCaptions.size() + 1) / PairsPerRow;
  auto* verdict = new QLabel(comparison);
  verdict->setObjectName(QStringLiteral("LUrteil"));
  verdict->setWordWrap(true);
  QFont bold = verdict->font();
  bold.setBold(true);
  verdict->setFont(bold);
  grid->addWidget(verdict, last, 0, 1, 3);
  auto* histogramm = new QPushButton(QStringLiteral("Histo&gramm..."), comparison);
  histogramm->setObjectName(QStringLiteral("BHistogramm"));
  histogramm->setToolTip(
      QStringLiteral("Die Netto-Ergebnisse der Zufallsläufe als Bild, das echte markiert"));
  histogramm->setEnabled(false);
  connect(histogramm, &QPushButton::clicked, this, &FSysteme::BHistogrammClick);
  grid->addWidget(histogramm, last, 3, Qt::AlignRight);
  column->addWidget(comparison);
  column->addStretch(1);
  return page;
}

// ---- Script files -------------------------------------------------------------------------

void FSysteme::showScriptName() {
  const QString name = scriptPath_.isEmpty()
                           ? scriptFileName_ + QStringLiteral(" (nicht gespeichert)")
                           : QDir::toNativeSeparators(scriptPath_);
  lSkript_->setText(editor_->document()->isModified() ? name + QStringLiteral(" – geändert")
                                                      : name);
}

void FSysteme::setScript(const QString& text, const QString& path, const QString& fileName) {
  editor_->setPlainText(text);
  editor_->document()->setModified(false);
  scriptPath_ = path;
  scriptFileName_ = fileName;
  showScriptName();
  lPruefung_->clear();
  // Another script: its parameters start from its own defaults.
  while (parameterForm_->rowCount() > 0)
    parameterForm_->removeRow(0);
  parameterFields_.clear();
  const ScriptLoad load = LoadSystemScript(currentScript(), 1);
  rebuildParameters(load.info ? load.info->parameters : std::vector<ScriptParameter>{});
}

SystemScript FSysteme::currentScript() const {
  return {editor_->toPlainText().toStdString(), scriptFileName_.toStdString()};
}

bool FSysteme::mayDiscardScript() {
  if (!editor_->document()->isModified())
    return true;
  const Dialogs::Answer answer = Dialogs::instance().confirm(
      this,
      QStringLiteral("Das Skript \"%1\" wurde geändert.\r\rSollen die Änderungen gespeichert "
                     "werden?")
          .arg(scriptFileName_),
      Dialogs::YesButton | Dialogs::NoButton | Dialogs::CancelButton);
  if (answer == Dialogs::Answer::Yes)
    return BSpeichernClick();
  return answer == Dialogs::Answer::No;
}

void FSysteme::BNeuClick() {
  if (!mayDiscardScript())
    return;
  setScript(QStringLiteral("name = \"Mein System\"\n"
                           "parameter = { }\n"
                           "zero_regel = \"halb\"\n\n"
                           "function setze(c)\n"
                           "  -- vor jedem Coup: nichts zurückgeben (kein Satz) oder eine Liste\n"
                           "  -- von Sätzen, etwa { {\"rouge\", 1} }\n"
                           "end\n"),
            QString(), QStringLiteral("Neues System.lua"));
  editor_->setFocus();
}

bool FSysteme::OpenScript(const QString& path) {
  const FileBytes read = ReadFileBytes(path);
  if (!read.ok()) {
    Dialogs::instance().error(this, read.error);
    return false;
  }
  setScript(QString::fromUtf8(read.bytes), path, QFileInfo(path).fileName());
  return true;
}

void FSysteme::BOeffnenClick() {
  if (!mayDiscardScript())
    return;
  const QStringList chosen =
      Dialogs::instance().openFiles(this, scriptRequest(QStringLiteral("Skript öffnen")));
  if (!chosen.isEmpty())
    OpenScript(chosen.first());
}

void FSysteme::BBeispielClick() {
  const QString name = cbBeispiel_->currentData().toString();
  if (name.isEmpty() || !mayDiscardScript())
    return;
  const QString copy = SystemsDir() + QLatin1Char('/') + name;
  if (QFileInfo::exists(copy) && OpenScript(copy))
    return;
  setScript(QString::fromUtf8(ShippedSystemText(name)), QString(), name);
}

bool FSysteme::writeScript(const QString& path) {
  if (const QString error = WriteFileBytes(path, editor_->toPlainText().toUtf8());
      !error.isEmpty()) {
    Dialogs::instance().error(this, error);
    return false;
  }
  scriptPath_ = path;
  scriptFileName_ = QFileInfo(path).fileName();
  editor_->document()->setModified(false);
  showScriptName();
  return true;
}

bool FSysteme::BSpeichernClick() {
  if (scriptPath_.isEmpty())
    return BSpeichernUnterClick();
  return writeScript(scriptPath_);
}

bool FSysteme::BSpeichernUnterClick() {
  Dialogs::FileRequest request = scriptRequest(QStringLiteral("Skript speichern unter"));
  request.fileName = scriptFileName_;
  const QString path = Dialogs::instance().saveFile(this, request);
  return !path.isEmpty() && writeScript(path);
}

void FSysteme::closeEvent(QCloseEvent* event) {
  if (!mayDiscardScript()) {
    event->ignore();
    return;
  }
  event->accept();
}

// ---- Parameters and settings --------------------------------------------------------------

QLineEdit* FSysteme::parameterField(const QString& name) const {
  for (const auto& [n, field] : parameterFields_)
    if (QString::fromStdString(n) == name)
      return field;
  return nullptr;
}

void FSysteme::rebuildParameters(const std::vector<ScriptParameter>& declared) {
  // What the user typed over a default is kept for a parameter the script still declares;
  // a field left at its default takes the script's new default.
  std::map<std::string, QString> typed;
  for (const auto& [name, field] : parameterFields_)
    if (field->text() != field->property("voreinstellung").toString())
      typed[name] = field->text();
  while (parameterForm_->rowCount() > 0)
    parameterForm_->removeRow(0);
  parameterFields_.clear();
  for (const ScriptParameter& p : declared) {
    const QString preset = FromUtf8(ParameterText(p));
    auto* field = new QLineEdit(preset, gbParameter_);
    field->setObjectName(QStringLiteral("EParam_") + QString::fromStdString(p.name));
    field->setProperty("voreinstellung", preset);
    field->setAlignment(Qt::AlignRight);
    field->setMaximumWidth(110);
    field->setToolTip(QStringLiteral("Voreinstellung des Skripts: %1").arg(preset));
    if (const auto it = typed.find(p.name); it != typed.end())
      field->setText(it->second);
    parameterForm_->addRow(QString::fromStdString(p.name) + QLatin1Char(':'), field);
    parameterFields_.emplace_back(p.name, field);
  }
  if (declared.empty()) {
    auto* none = new QLabel(QStringLiteral("(keine)"), gbParameter_);
    none->setObjectName(QStringLiteral("LKeineParameter"));
    parameterForm_->addRow(none);
  }
}

std::optional<SystemSettings> FSysteme::readSettings(const ScriptInfo& info) {
  SystemSettings settings;
  settings.zeroRule = info.zeroRule;
  settings.parameters = info.parameters;
  for (ScriptParameter& p : settings.parameters) {
    QLineEdit* field = parameterField(QString::fromStdString(p.name));
    if (!field)
      continue;
    const auto value = ParseParameterValue(field->text().trimmed().toStdString());
    if (!value) {
      Dialogs::instance().error(
          this, QStringLiteral("Der Parameter \"%1\" erwartet eine Zahl (eingetragen: \"%2\").")
                    .arg(QString::fromStdString(p.name), field->text()));
      field->setFocus();
      field->selectAll();
      return std::nullopt;
    }
    const std::string name = p.name;
    p = *value;
    p.name = name;
  }
  for (QSpinBox* box : {seKapital_, sePlus_, seMinus_})
    box->setValue((box->value() + 50) / 100 * 100);
  if (seMinus_->value() > seKapital_->value()) {
    Dialogs::instance().information(this, FromUtf8(MinusCorrectionMessage()));
    seMinus_->setValue(seKapital_->value());
  }
  settings.money = SystemMoneyFromEuros(seStueck_->value(), seKapital_->value(), sePlus_->value(),
                                        seMinus_->value());
  return settings;
}

std::optional<uint64_t> FSysteme::readSeed() {
  if (const auto seed = fieldNumber(eSeed_->text(), 0, LargestSeed))
    return seed;
  Dialogs::instance().error(this,
                            QStringLiteral("Bitte tragen Sie als Startwert eine ganze Zahl "
                                           "von 0 bis %1 ein.\r\rIch breche ab.")
                                .arg(QLocale().toString(static_cast<qulonglong>(LargestSeed))));
  eSeed_->setFocus();
  return std::nullopt;
}

bool FSysteme::readComparison(std::optional<RandomComparisonRequest>& request, uint64_t seed) {
  request.reset();
  if (!cbZufall_->isChecked())
    return true;
  const auto replicas = fieldNumber(eReplikate_->text(), FewestReplicas, MostReplicas);
  if (!replicas) {
    Dialogs::instance().error(
        this, QStringLiteral("Bitte tragen Sie für den Zufallsvergleich %1 bis %2 Replikate "
                             "ein.\r\rIch breche ab.")
                  .arg(QLocale().toString(FewestReplicas), QLocale().toString(MostReplicas)));
    eReplikate_->setFocus();
    return false;
  }
  request = RandomComparisonRequest{.replicas = static_cast<int>(*replicas), .seed = seed};
  return true;
}

void FSysteme::showScriptError(const std::string& message) {
  const QString text = FromUtf8(message);
  lPruefung_->setText(QStringLiteral("Fehler: ") + text);
  Dialogs::instance().error(this, text);
  static const QRegularExpression line(QStringLiteral("Zeile (\\d+)"));
  if (const QRegularExpressionMatch match = line.match(text); match.hasMatch())
    editor_->goToLine(match.captured(1).toInt());
}

// ---- Check and run --------------------------------------------------------------------------

void FSysteme::BPruefenClick() {
  const SystemScript script = currentScript();
  const auto seed = readSeed();
  if (!seed)
    return;
  const ScriptLoad load = LoadSystemScript(script, *seed);
  if (!load.info) {
    showScriptError(load.error);
    return;
  }
  rebuildParameters(load.info->parameters);
  const std::optional<SystemSettings> settings = readSettings(*load.info);
  if (!settings)
    return;
  if (const std::string error = CheckSystemScript(script, *settings, *seed, DryRunCoups);
      !error.empty()) {
    showScriptError(error);
    return;
  }
  lPruefung_->setText(QStringLiteral("\"%1\" ist in Ordnung: Probelauf über %2 Zufallscoups "
                                     "ohne Fehler.")
                          .arg(FromUtf8(load.info->name))
                          .arg(DryRunCoups));
}

void FSysteme::BStartenClick() {
  Dialogs& dialogs = Dialogs::instance();
  const QStringList files = fileSelector_->selectedFiles();
  if (files.isEmpty()) {
    dialogs.error(this, QStringLiteral("Es wurde keine Datei ausgewählt.\r\rIch breche ab."));
    return;
  }
  const auto seed = readSeed();
  if (!seed)
    return;
  const SystemScript script = currentScript();
  const ScriptLoad load = LoadSystemScript(script, *seed);
  if (!load.info) {
    showScriptError(load.error);
    return;
  }
  if (parameterFields_.size() != load.info->parameters.size())
    rebuildParameters(load.info->parameters);
  std::optional<SystemSettings> settings = readSettings(*load.info);
  if (!settings)
    return;
  std::optional<RandomComparisonRequest> comparison;
  if (!readComparison(comparison, *seed))
    return;

  // Every file is read before anything is shown: an unreadable file, a script error or a
  // cancel leaves the window's results as they were.
  RunProgress progress(this,
                       comparison
                           ? QStringLiteral("Permanenzen und Zufallsläufe werden gespielt...")
                           : QStringLiteral("Permanenzen werden gespielt..."),
                       static_cast<size_t>(files.size()));
  std::optional<FilePermanences> read = progress.readFiles(files);
  if (!read)
    return;
  std::vector<std::string> printed;
  size_t leftOut = 0;
  const auto place = [&read](const PrintLine& line) {
    if (line.permanence == NoPermanence || line.permanence >= read->PermanenceNames.size())
      return std::string();
    return read->PermanenceNames[line.permanence] + ", Coup " + std::to_string(line.coup) + ": ";
  };
  for (const PrintLine& line : load.printed)
    printed.push_back(line.text);
  SystemRunOptions options{.run = progress.analysing(), .print = {}, .comparison = comparison};
  // The run hands printed lines over one at a time, in file order.
  options.print = [&](const PrintLine& line) {
    if (printed.size() < OutputLines)
      printed.push_back(place(line) + line.text);
    else
      ++leftOut;
  };
  SystemRunResult run =
      RunSystem(script, *settings, read->PermanenceData, read->PermanenceNames, *seed, options);
  progress.finish();
  if (run.cancelled && run.error.empty())
    return;
  if (leftOut > 0)
    printed.push_back("(" + std::to_string(leftOut) + " weitere Zeilen ausgelassen)");
  lastPrinted_ = std::move(printed);
  mAusgabe_->setPlainText(FromUtf8([this] {
    std::string all;
    for (const std::string& line : lastPrinted_)
      all += line + '\n';
    return all;
  }()));
  if (!run.error.empty()) {
    pcErgebnis_->setCurrentWidget(mAusgabe_);
    showScriptError(run.error);
    return;
  }
  lastRun_ = std::move(run);
  lastScript_ = script;
  lastSystemName_ = load.info->name;
  lastSettings_ = *settings;
  lastSeed_ = *seed;
  lastPrinted_.clear();
  showRun(*read);
  lPruefung_->setText(QStringLiteral("Lauf über %1 Permanenzen beendet.")
                          .arg(QLocale().toString(static_cast<qlonglong>(lastData_.size()))));
}

void FSysteme::showRun(const FilePermanences& read) {
  const SystemRunResult& run = *lastRun_;
  lastData_ = read.PermanenceData;
  lastNames_ = read.PermanenceNames;
  findChild<QLabel*>(QStringLiteral("LSystem"))
      ->setText(QStringLiteral("%1 (%2)").arg(FromUtf8(lastSystemName_),
                                              QString::fromStdString(lastScript_.fileName)));
  const SystemTotals& t = run.totals;
  const QString totals[4] = {QLocale().toString(static_cast<qlonglong>(t.permanenzen)),
                             QLocale().toString(static_cast<qlonglong>(t.einsaetze)),
                             centsText(static_cast<double>(t.umsatz)),
                             centsText(static_cast<double>(t.netto))};
  for (size_t i = 0; i < TotalNames.size(); ++i)
    findChild<QLabel*>(QLatin1String(TotalNames[i]))->setText(totals[i]);

  summary_->show(static_cast<int>(run.permanences.size()), [this](int row, int column, int role) {
    if (!lastRun_ || row >= static_cast<int>(lastRun_->permanences.size()))
      return QVariant();
    if (role == Qt::TextAlignmentRole)
      return column == 1 || column == 8 ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                        : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
      return QVariant();
    const SystemPermanenceResult& p = lastRun_->permanences[static_cast<size_t>(row)];
    switch (column) {
    case 0:
      return QVariant(QString::number(row + 1));
    case 1:
      return QVariant(QString::fromStdString(lastNames_[static_cast<size_t>(row)]));
    case 2:
      return QVariant(QString::number(p.coups));
    case 3:
      return QVariant(QString::number(p.einsaetze));
    case 4:
      return QVariant(FromUtf8(EuroText(p.umsatz)));
    case 5:
      return QVariant(FromUtf8(EuroText(p.saldo)));
    case 6:
      return QVariant(FromUtf8(EuroText(p.minimum)));
    case 7:
      return QVariant(FromUtf8(EuroText(p.maximum)));
    default:
      return QVariant(FromUtf8(SystemEndText(p.ende)));
    }
  });
  gZus_->resizeColumnsToContents();

  // One protocol tab per permanence; a tab's rows are made when it is first shown. The
  // summary is shown first, so the hidden tab bar takes thousands of tabs without laying
  // itself out after each.
  pcErgebnis_->setCurrentIndex(0);
  pcProtokolle_->blockSignals(true);
  while (pcProtokolle_->count() > 0) {
    QWidget* page = pcProtokolle_->widget(0);
    pcProtokolle_->removeTab(0);
    delete page;
  }
  for (size_t i = 0; i < lastNames_.size(); ++i) {
    auto* page = new QWidget(pcProtokolle_);
    page->setObjectName(QStringLiteral("TabP%1").arg(i + 1));
    pcProtokolle_->addTab(page, QString::fromStdString(lastNames_[i]));
  }
  pcProtokolle_->blockSignals(false);

  showRisk();
  showComparison();
  findChild<QPushButton*>(QStringLiteral("BExcel"))->setEnabled(true);
}

void FSysteme::fillProtocol(int index) {
  if (!lastRun_ || index < 0 || index >= pcProtokolle_->count())
    return;
  QWidget* page = pcProtokolle_->widget(index);
  if (page->layout() != nullptr)
    return;
  const auto i = static_cast<size_t>(index);
  // The permanence is played again with its protocol: it starts from a fresh script state
  // and its own seed, so it gives the same coups as in the run.
  SystemSettings settings = lastSettings_;
  settings.protocol = true;
  auto result = std::make_shared<SystemPermanenceResult>();
  SystemHost host(lastScript_, settings);
  host.play(lastData_[i], i, lastNames_[i], PermanenceSeed(lastSeed_, i), *result);

  auto* column = new QVBoxLayout(page);
  column->setContentsMargins(2, 2, 2, 2);
  auto* model = new ReportTableModel(protocolHeadings(), page);
  model->show(static_cast<int>(result->protocol.size()), [result](int row, int col, int role) {
    if (role == Qt::TextAlignmentRole)
      return col == 2 || col == 6 ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                  : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
      return QVariant();
    return QVariant(FromUtf8(
        ProtocolRowTexts(result->protocol[static_cast<size_t>(row)])[static_cast<size_t>(col)]));
  });
  QTableView* grid = resultGrid(model, QStringLiteral("GProtokoll"), page);
  column->addWidget(grid, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  auto* capital = new QPushButton(QStringLiteral("Kapital&verlauf..."), page);
  capital->setObjectName(QStringLiteral("BKapital"));
  capital->setToolTip(QStringLiteral("Das Kapital im Verlauf der Permanenz als Bild"));
  connect(capital, &QPushButton::clicked, this, &FSysteme::BKapitalClick);
  buttons->addWidget(capital);
  column->addLayout(buttons);
  grid->resizeColumnsToContents();
}

void FSysteme::showRisk() {
  const RiskFigures& r = lastRun_->risk;
  const QString worst =
      r.schlechteste
          ? QStringLiteral("%1 (%2)").arg(QString::fromStdString(lastNames_[*r.schlechteste]),
                                          centsText(static_cast<double>(r.schlechtestesErgebnis)))
          : QStringLiteral("–");
  const QString texts[5] = {
      centsText(static_cast<double>(r.groessterRueckgang)), QString::number(r.laengsteVerlustserie),
      worst, centsText(static_cast<double>(r.tiefsterKapitalstand)), centsText(r.erwartung)};
  for (size_t i = 0; i < RiskNames.size(); ++i)
    findChild<QLabel*>(QLatin1String(RiskNames[i]))->setText(texts[i]);
  findChild<QPushButton*>(QStringLiteral("BVerlauf"))->setEnabled(true);
  if (verlauf_ && verlauf_->isVisible())
    BVerlaufClick();
}

void FSysteme::showComparison() {
  const std::optional<RandomComparison>& c = lastRun_->comparison;
  std::array<QString, 13> texts;
  texts.fill(QStringLiteral("–"));
  if (c) {
    texts = {QLocale().toString(c->replicas),
             QString::number(c->seed),
             centsText(c->nettoMittel),
             centsText(c->nettoStd),
             centsText(static_cast<double>(c->nettoMin)),
             centsText(static_cast<double>(c->nettoMax))};
    for (size_t q = 0; q < c->quantile.size(); ++q)
      texts[6 + q] = centsText(c->quantile[q]);
    texts[11] = centsText(c->umsatzMittel);
    texts[12] = PerzentilText(c->perzentil);
  }
  for (size_t i = 0; i < texts.size(); ++i)
    findChild<QLabel*>(QLatin1String(ComparisonNames[i]))->setText(texts[i]);
  findChild<QLabel*>(QStringLiteral("LUrteil"))
      ->setText(c ? ComparisonVerdict(c->perzentil) : QString());
  findChild<QPushButton*>(QStringLiteral("BHistogramm"))->setEnabled(c.has_value());
  if (histogramm_ && histogramm_->isVisible()) {
    if (c)
      BHistogrammClick();
    else
      histogramm_->close();
  }
}

// ---- Pictures and workbook ------------------------------------------------------------------

namespace {
FChart2* chartWindow(FChart2*& window, QWidget* parent) {
  if (!window) {
    window = new FChart2(parent);
    window->SetAmountsInCents(true);
  }
  return window;
}
void present(FChart2* window) {
  window->show();
  window->raise();
  window->activateWindow();
}
} // namespace

void FSysteme::BVerlaufClick() {
  if (!lastRun_)
    return;
  std::vector<int64_t> results;
  for (const SystemPermanenceResult& p : lastRun_->permanences)
    results.push_back(p.saldo - lastSettings_.money.startkapital);
  chartWindow(verlauf_, this)->ShowRunningNet(results);
  present(verlauf_);
}

void FSysteme::BHistogrammClick() {
  if (!lastRun_ || !lastRun_->comparison)
    return;
  chartWindow(histogramm_, this)->ShowHistogram(*lastRun_->comparison, lastRun_->totals.netto);
  present(histogramm_);
}

void FSysteme::BKapitalClick() {
  const int index = pcProtokolle_->currentIndex();
  if (!lastRun_ || index < 0)
    return;
  const auto i = static_cast<size_t>(index);
  SystemSettings settings = lastSettings_;
  settings.protocol = true;
  SystemPermanenceResult result;
  SystemHost host(lastScript_, settings);
  host.play(lastData_[i], i, lastNames_[i], PermanenceSeed(lastSeed_, i), result);
  std::vector<int64_t> course = {settings.money.startkapital};
  for (const SystemProtocolRow& row : result.protocol)
    if (row.nr > 0 && row.end != SystemEnd::KapitalReichtNicht)
      course.push_back(row.kapital);
  const SystemMoney& m = settings.money;
  chartWindow(kapital_, this)
      ->ShowCapitalCourse(QString::fromStdString(lastNames_[i]), course, m.startkapital,
                          m.gewinnziel, m.verlustgrenze);
  present(kapital_);
}

void FSysteme::BExcelClick() {
  if (!lastRun_)
    return;
  ExportWorkbook(this, static_cast<size_t>(summary_->rowCount()) + 1, [this] {
    WorkbookSheet sheet;
    const auto add = [&sheet](const QString& caption, const QString& value) {
      sheet.columnA.push_back(caption.toStdString());
      sheet.columnA.push_back(value.toStdString());
    };
    add(QStringLiteral("System"), FromUtf8(lastSystemName_));
    add(QStringLiteral("Skript"), QString::fromStdString(lastScript_.fileName));
    QStringList parameters;
    for (const ScriptParameter& p : lastSettings_.parameters)
      parameters << QString::fromStdString(p.name) + QStringLiteral(" = ") +
                        FromUtf8(ParameterText(p));
    add(QStringLiteral("Parameter"),
        parameters.isEmpty() ? QStringLiteral("keine") : parameters.join(QStringLiteral(", ")));
    const SystemMoney& m = lastSettings_.money;
    add(QStringLiteral("Stückgröße"), centsText(static_cast<double>(m.stueck)));
    add(QStringLiteral("Startkapital"), centsText(static_cast<double>(m.startkapital)));
    add(QStringLiteral("Gewinnziel"), centsText(static_cast<double>(m.gewinnziel)));
    add(QStringLiteral("Verlustgrenze"), centsText(static_cast<double>(m.verlustgrenze)));
    add(QStringLiteral("Zero-Regel"), FromUtf8(ZeroRuleName(lastSettings_.zeroRule)));
    add(QStringLiteral("Startwert"), QString::number(lastSeed_));
    for (size_t i = 0; i < TotalNames.size(); ++i)
      add(QString::fromUtf8(TotalCaptions[i]),
          findChild<QLabel*>(QLatin1String(TotalNames[i]))->text());
    sheet.grid = GridTexts(*summary_);
    std::array<std::string, 5> risk;
    for (size_t i = 0; i < risk.size(); ++i)
      risk[i] = ShownText(this, QLatin1String(RiskNames[i]));
    AddRiskFigures(sheet, risk, SystemRiskCaptions);
    if (lastRun_->comparison) {
      std::array<std::string, 13> comparison;
      for (size_t i = 0; i < comparison.size(); ++i)
        comparison[i] = ShownText(this, QLatin1String(ComparisonNames[i]));
      AddComparisonSheet(sheet, comparison, ShownText(this, QStringLiteral("LUrteil")),
                         *lastRun_->comparison, 100.0);
    }
    return sheet;
  });
}

} // namespace kw
