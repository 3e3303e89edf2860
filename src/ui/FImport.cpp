#include "ui/FImport.h"

#include "files/Folders.h"
#include "files/HandChangeMarkers.h"
#include "ui/Dialogs.h"
#include "ui/Help.h"
#include "ui/HelpTopics.h"
#include "ui/StoppableProgress.h"
#include "ui/WindowParts.h"
#include "workspace/Workspace.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QFormLayout>
#include <QFutureWatcher>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <atomic>
#include <string>
#include <utility>

namespace kw {
namespace {

constexpr int ClientWidth = 820;
constexpr int ClientHeight = 600;
constexpr int DefaultCoupsPerFile = 370;
constexpr int MaxCoupsPerFile = 1'000'000'000;
// From this size on a file is read with its progress shown and "Abbrechen" offered; from this
// many rows or files on the writing is.
constexpr qint64 LongFileBytes = qint64{1} << 20;
constexpr size_t LongWriteRows = 200'000;
constexpr qsizetype LongWriteFiles = 100;
constexpr int ProgressSteps = 1000;
constexpr int ProgressTickMs = 50;

QString number(qint64 value) { return QLocale(QLocale::German).toString(value); }

QString fileName(const QString& path) { return QFileInfo(path).fileName(); }

QString nativePath(const QString& path) { return QDir::toNativeSeparators(path); }

// What the worker of a long step and the window share.
struct StepState {
  std::atomic<int64_t> done{0};
  std::atomic<int64_t> total{0};
  std::atomic<bool> stop{false};
};

// The progress of a long reading or writing; the dialog stays until the worker has stopped,
// so nothing is left half done.
class ImportProgressDialog : public StoppableProgressDialog {
public:
  ImportProgressDialog(StepState& state, const QString& label, QWidget* parent)
      : StoppableProgressDialog(state.stop, label, QStringLiteral("Der Import wird abgebrochen..."),
                                ProgressSteps, parent),
        state_(state) {
    setObjectName(QStringLiteral("ImportProgress"));
    setMinimumWidth(420);
  }

  void follow() {
    const int64_t total = state_.total;
    if (!state_.stop && total > 0)
      setValue(static_cast<int>(state_.done * ProgressSteps / total));
  }

private:
  StepState& state_;
};

// Runs one step of the import. A long one runs on a worker thread under the progress dialog;
// `stopped` tells whether the user asked it to stop (the step may have finished before).
template <class Result, class Work>
Result runStep(QWidget* parent, const QString& label, bool showProgress, Work work, bool& stopped) {
  stopped = false;
  if (!showProgress) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Result result = work(ImportProgress{});
    QApplication::restoreOverrideCursor();
    return result;
  }
  StepState state;
  ImportProgressDialog dialog(state, label, parent);
  dialog.show();
  const ImportProgress report = [&state](int64_t done, int64_t total) {
    state.done = done;
    state.total = total;
    return !state.stop;
  };
  QFutureWatcher<Result> watcher;
  QEventLoop loop;
  QObject::connect(&watcher, &QFutureWatcher<Result>::finished, &loop, &QEventLoop::quit);
  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, &dialog, [&dialog] { dialog.follow(); });
  tick.start(ProgressTickMs);
  watcher.setFuture(QtConcurrent::run([work, report] { return work(report); }));
  if (!watcher.isFinished())
    loop.exec();
  watcher.waitForFinished();
  stopped = state.stop;
  return watcher.result();
}

// Reads one file for the import; a large one with its progress.
ImportAnalysis analyse(QWidget* parent, const QString& path, const std::string& column,
                       bool& stopped) {
  const QFileInfo info(path);
  const bool large = info.isFile() && info.size() >= LongFileBytes;
  const std::vector<std::string> markers = HandChangeList();
  return runStep<ImportAnalysis>(
      parent, QStringLiteral("Die Datei %1 wird gelesen...").arg(fileName(path)), large,
      [&path, &column, &markers](const ImportProgress& progress) {
        return AnalysePermanenceImport(path, ImportRequest{markers, column}, progress);
      },
      stopped);
}

QString readAs(const ImportEntry& entry) {
  switch (entry.kind) {
  case ImportValueKind::Coup:
    return QStringLiteral("Coup %1").arg(entry.number);
  case ImportValueKind::HandChange:
    return QStringLiteral("Handwechsel");
  case ImportValueKind::DoubleZero:
    return QStringLiteral("Doppelnull, kein Coup");
  case ImportValueKind::Skipped:
    break;
  }
  return QStringLiteral("übersprungen");
}

QString shownText(const std::string& text) {
  return text.empty() ? QStringLiteral("(leer)") : FromUtf8(text);
}

QString columnTitle(const ImportParse& parse, size_t column) {
  QString title = QStringLiteral("Spalte %1").arg(column + 1);
  if (!parse.columns[column].name.empty())
    title +=
        QString::fromUtf8(" \xE2\x80\x9E%1\xE2\x80\x9C").arg(FromUtf8(parse.columns[column].name));
  if (static_cast<int>(column) == parse.proposedColumn)
    title += QStringLiteral(" (vorgeschlagen)");
  return title;
}

// A file in the list of several: its name, what was found and where it stands.
QString fileEntry(const ImportAnalysis& analysis) {
  return QString::fromUtf8("%1 \xE2\x80\x94 %2 Coups (%3)")
      .arg(fileName(analysis.source), number(analysis.parse.coups),
           nativePath(QFileInfo(analysis.source).absolutePath()));
}

QLabel* valueLabel(const QString& name, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

// A row caption of the counts as high as its ink: the dots of "Ü" reach above the line
// height a label takes by itself.
QLabel* countCaption(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  const QFontMetrics metrics = label->fontMetrics();
  label->setMinimumHeight(std::max(metrics.height(), metrics.tightBoundingRect(text).height()));
  return label;
}

} // namespace

FImport::FImport(Workspace& workspace, std::vector<ImportAnalysis> analyses, QWidget* parent)
    : QDialog(parent), workspace_(workspace), analyses_(std::move(analyses)) {
  setObjectName(QStringLiteral("FImport"));
  FormCreate();
}

void FImport::FormCreate() {
  setWindowTitle(QStringLiteral("Kesselwerk"));
  InstallHelpKey(this, help::Import);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->setSpacing(6);
  layout->addWidget(
      HeadingStrip(QStringLiteral("   Permanenz importieren"), this, QStringLiteral("PTitel")));

  // Several files: all of them are taken; the list chooses the one shown.
  auto* filesCaption =
      new QLabel(QStringLiteral("&Dateien (übernommen werden alle zusammen):"), this);
  lDateien_ = new QListWidget(this);
  lDateien_->setObjectName(QStringLiteral("LDateien"));
  lDateien_->setFixedHeight(4 * lDateien_->fontMetrics().height() + 8);
  filesCaption->setBuddy(lDateien_);
  for (const ImportAnalysis& analysis : analyses_)
    lDateien_->addItem(fileEntry(analysis));
  filesCaption->setVisible(analyses_.size() > 1);
  lDateien_->setVisible(analyses_.size() > 1);
  connect(lDateien_, &QListWidget::currentRowChanged, this, &FImport::showFile);
  layout->addWidget(filesCaption);
  layout->addWidget(lDateien_);
  layout->addWidget(buildSourceArea(), 1);
  layout->addWidget(buildTargetArea());

  auto* buttons = new QHBoxLayout;
  auto* helpButton = new QPushButton(QStringLiteral("&Hilfe"), this);
  helpButton->setObjectName(QStringLiteral("BHilfe"));
  helpButton->setAutoDefault(false);
  connect(helpButton, &QPushButton::clicked, this,
          [] { Help::instance().showContext(help::Import); });
  buttons->addWidget(helpButton);
  buttons->addStretch(1);
  bImportieren_ = new QPushButton(QStringLiteral("&Importieren"), this);
  bImportieren_->setObjectName(QStringLiteral("BImportieren"));
  bImportieren_->setDefault(true);
  connect(bImportieren_, &QPushButton::clicked, this, &FImport::BImportierenClick);
  buttons->addWidget(bImportieren_);
  auto* cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
  cancel->setObjectName(QStringLiteral("BAbbrechen"));
  cancel->setAutoDefault(false);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);

  resize(ClientWidth, ClientHeight);
  lDateien_->setCurrentRow(0);
  showFile(0);
  targetChanged();
}

QWidget* FImport::buildSourceArea() {
  auto* area = new QWidget(this);
  auto* row = new QHBoxLayout(area);
  row->setContentsMargins(0, 0, 0, 0);

  auto* left = new QVBoxLayout;
  auto* form = new QFormLayout;
  form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  lQuelle_ = valueLabel(QStringLiteral("LQuelle"), area);
  lQuelle_->setWordWrap(true);
  form->addRow(QStringLiteral("Datei:"), lQuelle_);
  lFormat_ = valueLabel(QStringLiteral("LFormat"), area);
  lFormat_->setWordWrap(true);
  form->addRow(QStringLiteral("Erkanntes Format:"), lFormat_);
  cbSpalte_ = new QComboBox(area);
  cbSpalte_->setObjectName(QStringLiteral("cbSpalte"));
  cbSpalte_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  cbSpalte_->setMinimumContentsLength(16);
  connect(cbSpalte_, &QComboBox::activated, this, &FImport::columnChosen);
  auto* columnCaption = new QLabel(QStringLiteral("&Spalte der Ergebnisse:"), area);
  columnCaption->setBuddy(cbSpalte_);
  form->addRow(columnCaption, cbSpalte_);
  left->addLayout(form);
  left->addWidget(buildCountsArea(), 1);
  row->addLayout(left, 1);

  auto* right = new QVBoxLayout;
  gVorschau_ = new QTableWidget(0, 3, area);
  gVorschau_->setObjectName(QStringLiteral("GVorschau"));
  gVorschau_->setHorizontalHeaderLabels(
      {QStringLiteral("Zeile"), QStringLiteral("Text"), QStringLiteral("gelesen als")});
  gVorschau_->verticalHeader()->hide();
  gVorschau_->verticalHeader()->setDefaultSectionSize(20);
  gVorschau_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  gVorschau_->setSelectionBehavior(QAbstractItemView::SelectRows);
  gVorschau_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  gVorschau_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
  gVorschau_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
  gVorschau_->setMinimumWidth(330);
  auto* previewCaption =
      new QLabel(QStringLiteral("&Vorschau: die ersten Werte, wie sie gelesen werden"), area);
  previewCaption->setBuddy(gVorschau_);
  right->addWidget(previewCaption);
  right->addWidget(gVorschau_, 1);
  row->addLayout(right, 1);
  return area;
}

QWidget* FImport::buildCountsArea() {
  auto* group = new QGroupBox(QStringLiteral("Gefunden"), this);
  group->setObjectName(QStringLiteral("GBGefunden"));
  auto* layout = new QVBoxLayout(group);
  auto* form = new QFormLayout;
  lCoups_ = valueLabel(QStringLiteral("LCoups"), group);
  form->addRow(countCaption(QStringLiteral("Coups:"), group), lCoups_);
  lHandwechsel_ = valueLabel(QStringLiteral("LHandwechsel"), group);
  form->addRow(countCaption(QStringLiteral("Handwechsel:"), group), lHandwechsel_);
  lUebersprungen_ = valueLabel(QStringLiteral("LUebersprungen"), group);
  form->addRow(countCaption(QStringLiteral("Übersprungen:"), group), lUebersprungen_);
  layout->addLayout(form);
  lBeispiele_ = valueLabel(QStringLiteral("LBeispiele"), group);
  lBeispiele_->setWordWrap(true);
  layout->addWidget(lBeispiele_);
  lDoppelnull_ = valueLabel(QStringLiteral("LDoppelnull"), group);
  lDoppelnull_->setWordWrap(true);
  lDoppelnull_->setStyleSheet(QStringLiteral("color: #A00000; font-weight: bold;"));
  layout->addWidget(lDoppelnull_);
  lFehler_ = valueLabel(QStringLiteral("LFehler"), group);
  lFehler_->setWordWrap(true);
  lFehler_->setStyleSheet(QStringLiteral("color: #C00000;"));
  layout->addWidget(lFehler_);
  layout->addStretch(1);
  return group;
}

QWidget* FImport::buildTargetArea() {
  auto* group = new QGroupBox(QStringLiteral("Übernehmen"), this);
  group->setObjectName(QStringLiteral("GBUebernehmen"));
  auto* layout = new QVBoxLayout(group);
  rbTextfeld_ = new QRadioButton(
      QString::fromUtf8("In das &Textfeld der Zentrale (danach \xE2\x80\x9EIn Tabelle "
                        "\xC3\xBC"
                        "bertragen\xE2\x80\x9C wie gewohnt)"),
      group);
  rbTextfeld_->setObjectName(QStringLiteral("rbTextfeld"));
  rbTextfeld_->setChecked(true);
  layout->addWidget(rbTextfeld_);
  rbDateien_ = new QRadioButton(
      QStringLiteral("Als &Permanenz-Dateien in den Permanenz-Ordner speichern"), group);
  rbDateien_->setObjectName(QStringLiteral("rbDateien"));
  layout->addWidget(rbDateien_);
  auto* targets = new QButtonGroup(group);
  targets->addButton(rbTextfeld_);
  targets->addButton(rbDateien_);

  auto* split = new QHBoxLayout;
  split->setContentsMargins(24, 0, 0, 0);
  cbTeilen_ = new QCheckBox(QStringLiteral("&Aufteilen in Dateien zu je"), group);
  cbTeilen_->setObjectName(QStringLiteral("cbTeilen"));
  split->addWidget(cbTeilen_);
  seCoups_ = new QSpinBox(group);
  seCoups_->setObjectName(QStringLiteral("seCoups"));
  seCoups_->setRange(1, MaxCoupsPerFile);
  seCoups_->setValue(DefaultCoupsPerFile);
  seCoups_->setGroupSeparatorShown(true);
  seCoups_->setLocale(QLocale(QLocale::German));
  seCoups_->setMinimumWidth(110);
  split->addWidget(seCoups_);
  split->addWidget(new QLabel(QStringLiteral("Coups"), group));
  split->addStretch(1);
  layout->addLayout(split);
  lAusgabe_ = valueLabel(QStringLiteral("LAusgabe"), group);
  lAusgabe_->setWordWrap(true);
  lAusgabe_->setContentsMargins(24, 0, 0, 0);
  layout->addWidget(lAusgabe_);

  connect(rbTextfeld_, &QRadioButton::toggled, this, &FImport::targetChanged);
  connect(cbTeilen_, &QCheckBox::toggled, this, &FImport::targetChanged);
  connect(seCoups_, &QSpinBox::valueChanged, this, &FImport::targetChanged);
  return group;
}

void FImport::showFile(int index) {
  if (index < 0 || index >= static_cast<int>(analyses_.size()))
    return;
  current_ = index;
  const ImportAnalysis& analysis = analyses_[static_cast<size_t>(index)];
  lQuelle_->setText(nativePath(analysis.source));
  lFormat_->setText(ImportFormatText(analysis.parse));
  fillColumns(analysis);
  fillPreview(analysis.parse);
  fillCounts(analysis);
}

void FImport::fillColumns(const ImportAnalysis& analysis) {
  const ImportParse& parse = analysis.parse;
  cbSpalte_->clear();
  if (parse.format != ImportFormat::Table) {
    cbSpalte_->addItem(QStringLiteral("alle Zahlen jeder Zeile"));
    cbSpalte_->setEnabled(false);
    return;
  }
  for (size_t k = 0; k < parse.columns.size(); ++k)
    cbSpalte_->addItem(columnTitle(parse, k));
  cbSpalte_->setCurrentIndex(parse.column);
  cbSpalte_->setEnabled(true);
}

void FImport::fillPreview(const ImportParse& parse) {
  gVorschau_->setRowCount(static_cast<int>(parse.preview.size()));
  for (size_t i = 0; i < parse.preview.size(); ++i) {
    const ImportEntry& entry = parse.preview[i];
    const int row = static_cast<int>(i);
    auto* line = new QTableWidgetItem(number(entry.line));
    line->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    gVorschau_->setItem(row, 0, line);
    gVorschau_->setItem(row, 1, new QTableWidgetItem(shownText(entry.text)));
    auto* kind = new QTableWidgetItem(readAs(entry));
    if (entry.kind == ImportValueKind::Skipped || entry.kind == ImportValueKind::DoubleZero)
      kind->setForeground(QColor(0xA0, 0x00, 0x00));
    gVorschau_->setItem(row, 2, kind);
  }
  gVorschau_->scrollToTop();
}

void FImport::fillCounts(const ImportAnalysis& analysis) {
  const ImportParse& parse = analysis.parse;
  lCoups_->setText(number(parse.coups));
  lHandwechsel_->setText(number(parse.handChanges));
  lUebersprungen_->setText(number(parse.skipped));
  QStringList examples;
  for (const SkippedValue& example : parse.examples)
    examples << QStringLiteral("Zeile %1: %2").arg(number(example.line), shownText(example.text));
  const QString heading = parse.skipped > static_cast<int>(parse.examples.size())
                              ? QStringLiteral("Die ersten übersprungenen Werte:")
                              : QStringLiteral("Übersprungen wurden:");
  lBeispiele_->setText(heading + QLatin1Char('\n') + examples.join(QLatin1Char('\n')));
  lBeispiele_->setVisible(!examples.isEmpty());
  lDoppelnull_->setText(DoubleZeroNote(parse.doubleZeros));
  lDoppelnull_->setVisible(parse.doubleZeros > 0);
  QString error = analysis.error;
  lFehler_->setText(error.replace(QLatin1Char('\r'), QLatin1Char('\n')));
  lFehler_->setVisible(!analysis.ok());
  bool allOk = true;
  for (const ImportAnalysis& each : analyses_)
    allOk = allOk && each.ok();
  bImportieren_->setEnabled(allOk);
  if (lDateien_->count() > current_)
    lDateien_->item(current_)->setText(fileEntry(analysis));
}

// Another column of a table: the file is read again with it; a cancelled reading keeps the
// column it had.
void FImport::columnChosen(int comboIndex) {
  ImportAnalysis& analysis = analyses_[static_cast<size_t>(current_)];
  if (comboIndex < 0 || comboIndex == analysis.parse.column)
    return;
  bool stopped = false;
  ImportAnalysis again = analyse(this, analysis.source, std::to_string(comboIndex + 1), stopped);
  if (stopped || again.cancelled) {
    cbSpalte_->setCurrentIndex(analysis.parse.column);
    return;
  }
  analysis = std::move(again);
  showFile(current_);
  targetChanged();
}

ImportWriteOptions FImport::writeOptions() const {
  return ImportWriteOptions{QDir(PermanenceDir()).absolutePath(),
                            cbTeilen_->isChecked() ? seCoups_->value() : 0, false};
}

void FImport::targetChanged() {
  const bool files = rbDateien_->isChecked();
  cbTeilen_->setEnabled(files);
  seCoups_->setEnabled(files && cbTeilen_->isChecked());
  if (!files) {
    lAusgabe_->setText(
        QString::fromUtf8("Die Zeilen ersetzen den Inhalt des Textfelds; \xE2\x80\x9EIn Tabelle "
                          "\xC3\xBC"
                          "bertragen\xE2\x80\x9C nimmt sie in die Tabelle."));
    return;
  }
  const ImportWriteOptions options = writeOptions();
  QStringList paths;
  for (const ImportAnalysis& analysis : analyses_)
    if (analysis.ok())
      paths << ImportOutputPaths(analysis, options);
  QString text = QStringLiteral("Ordner: %1\n").arg(nativePath(options.folder));
  if (paths.size() == 1)
    text += QStringLiteral("Es entsteht die Datei %1.").arg(fileName(paths.first()));
  else if (!paths.isEmpty())
    text += QStringLiteral("Es entstehen %1 Dateien: %2 bis %3.")
                .arg(number(paths.size()), fileName(paths.first()), fileName(paths.last()));
  lAusgabe_->setText(text);
}

void FImport::BImportierenClick() {
  for (const ImportAnalysis& analysis : analyses_)
    if (!analysis.ok())
      return;
  const bool done = rbTextfeld_->isChecked() ? takeIntoMemo() : saveAsFiles();
  if (!done)
    return;
  outcome_ = rbTextfeld_->isChecked() ? Outcome::Memo : Outcome::Files;
  accept();
}

bool FImport::takeIntoMemo() {
  if (workspace_.MemoHoldsText() &&
      Dialogs::instance().confirm(this,
                                  QStringLiteral("Das Textfeld der Zentrale enthält schon "
                                                 "Zeilen.\r\rSollen sie durch die importierte "
                                                 "Permanenz ersetzt werden?"),
                                  Dialogs::YesButton | Dialogs::NoButton) != Dialogs::Answer::Yes)
    return false;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  std::vector<std::string> lines;
  for (const ImportAnalysis& analysis : analyses_) {
    const std::vector<std::string> fileLines =
        ImportFileLines(analysis.parse, SplitImportRows(analysis.parse, 0).front());
    lines.insert(lines.end(), std::make_move_iterator(fileLines.begin()),
                 std::make_move_iterator(fileLines.end()));
  }
  workspace_.HandToMemo(lines);
  QApplication::restoreOverrideCursor();
  return true;
}

bool FImport::saveAsFiles() {
  Dialogs& dialogs = Dialogs::instance();
  PrepareFolders();
  ImportWriteOptions options = writeOptions();
  const QStringList existing = ExistingImportOutputs(analyses_, options);
  if (!existing.isEmpty()) {
    const QString question =
        existing.size() == 1
            ? QStringLiteral("Die Datei %1 gibt es schon im Permanenz-Ordner.\r\rSoll sie "
                             "ersetzt werden?")
                  .arg(fileName(existing.first()))
            : QStringLiteral("Im Permanenz-Ordner gibt es schon %1 dieser Dateien (%2 bis "
                             "%3).\r\rSollen sie ersetzt werden?")
                  .arg(number(existing.size()), fileName(existing.first()),
                       fileName(existing.last()));
    if (dialogs.confirm(this, question, Dialogs::YesButton | Dialogs::NoButton) !=
        Dialogs::Answer::Yes)
      return false;
    options.replaceExisting = true;
  }

  size_t rows = 0;
  qsizetype files = 0;
  for (const ImportAnalysis& analysis : analyses_) {
    rows += analysis.parse.rows.size();
    files += ImportOutputPaths(analysis, options).size();
  }
  bool stopped = false;
  const ImportWriteResult result = runStep<ImportWriteResult>(
      this, QStringLiteral("Die Permanenz-Dateien werden geschrieben..."),
      rows >= LongWriteRows || files >= LongWriteFiles,
      [this, &options](const ImportProgress& progress) {
        return WritePermanenceImports(analyses_, options, progress);
      },
      stopped);
  // A stop asked for after the last file was written comes too late: the files are in place.
  if (result.cancelled) {
    dialogs.information(
        this, QStringLiteral("Der Import wurde abgebrochen. Es wurde nichts geschrieben."));
    return false;
  }
  if (!result.ok()) {
    dialogs.error(this, result.error);
    return false;
  }
  QStringList written;
  for (const QStringList& outputs : result.outputs)
    written << outputs;
  const QString folder = nativePath(options.folder);
  dialogs.information(
      this, written.size() == 1
                ? QStringLiteral("Die Permanenz wurde als %1 im Ordner %2 gespeichert.")
                      .arg(fileName(written.first()), folder)
                : QStringLiteral("Es wurden %1 Permanenz-Dateien im Ordner %2 gespeichert, %3 "
                                 "bis %4.")
                      .arg(number(written.size()), folder, fileName(written.first()),
                           fileName(written.last())));
  return true;
}

FImport::Outcome ImportPermanenceFiles(QWidget* parent, Workspace& workspace,
                                       const QStringList& paths) {
  std::vector<ImportAnalysis> analyses;
  QStringList errors;
  for (const QString& path : paths) {
    bool stopped = false;
    ImportAnalysis analysis = analyse(parent, path, {}, stopped);
    if (stopped || analysis.cancelled)
      return FImport::Outcome::None;
    if (analysis.ok())
      analyses.push_back(std::move(analysis));
    else
      errors << analysis.error;
  }
  if (!errors.isEmpty())
    Dialogs::instance().error(parent, errors.join(QStringLiteral("\r\r")));
  if (analyses.empty())
    return FImport::Outcome::None;
  FImport dialog(workspace, std::move(analyses), parent);
  dialog.exec();
  return dialog.outcome();
}

} // namespace kw
