#include "ui/FAnalyse1.h"

#include "files/Folders.h"
#include "files/PermanenceFiles.h"
#include "files/Settings.h"
#include "ui/Dialogs.h"
#include "ui/FileSelector.h"
#include "ui/Help.h"
#include "ui/HelpTopics.h"
#include "ui/RunProgress.h"
#include "ui/SeriesLengthModel.h"
#include "ui/WindowChrome.h"
#include "ui/WindowParts.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace kw {
namespace {

constexpr int MinLength = 2;
constexpr int MaxLength = 12;

QLabel* panel(const QString& text, const QString& name, const QString& style, QWidget* parent) {
  QLabel* label = SunkenPanel(text, name, parent);
  label->setStyleSheet(style);
  return label;
}

} // namespace

FAnalyse1::FAnalyse1(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("FAnalyse1"));
  FormCreate();
}

void FAnalyse1::FormCreate() {
  setWindowTitle(QStringLiteral("Kesselwerk"));
  ChromeConfig config;
  config.helpContext = help::SeriesLengths;
  config.openSave = false;
  config.analysenEntries = {Command::Serien, Command::Systemtest};
  config.hiddenButtons = {Command::Serien};
  config.disabledButtons = {Command::Serien};
  chrome_ = WindowChrome::install(this, config);
  InstallHelpKey(this, help::SeriesLengths);

  auto* client = new QWidget(this);
  auto* layout = new QVBoxLayout(client);
  layout->setContentsMargins(0, 0, 0, 4);
  layout->addWidget(
      HeadingStrip(QStringLiteral("   Serienlängen-Analyse"), client, QStringLiteral("PTitel")));

  auto* body = new QHBoxLayout;
  body->setContentsMargins(6, 2, 6, 0);
  fileSelector_ = new FileSelector({{QStringLiteral("Alle Dateien (*.*)"), QStringLiteral("*")},
                                    {QStringLiteral("Permanenz-Dateien"), QStringLiteral("*.prm")}},
                                   1, client);
  fileSelector_->setFixedWidth(200);
  fileSelector_->setDirectory(PermanenceDir());
  connect(fileSelector_, &FileSelector::fileDoubleClicked, this, &FAnalyse1::BAnalyseClick);
  body->addWidget(fileSelector_);

  auto* right = new QVBoxLayout;
  right->addWidget(buildSliders(client));
  right->addWidget(buildLegend(client));

  model_ = new SeriesLengthModel(this);
  g1_ = new QTableView(client);
  g1_->setObjectName(QStringLiteral("g1"));
  g1_->setModel(model_);
  g1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  g1_->setSelectionMode(QAbstractItemView::NoSelection);
  g1_->verticalHeader()->hide();
  g1_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  g1_->verticalHeader()->setDefaultSectionSize(18);
  g1_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  g1_->horizontalHeader()->setDefaultSectionSize(48);
  g1_->horizontalHeader()->setMinimumSectionSize(20);
  QFont headingFont = g1_->horizontalHeader()->font();
  headingFont.setPointSize(7);
  g1_->horizontalHeader()->setFont(headingFont);
  g1_->setColumnWidth(0, 90);
  right->addWidget(g1_, 1);
  body->addLayout(right, 1);
  layout->addLayout(body, 1);
  setCentralWidget(client);

  const std::array<int, 4> stored = ReadSeriesLengthSliders();
  for (size_t i = 0; i < sliders_.size(); ++i)
    sliders_[i]->setValue(std::clamp(stored[i], MinLength, MaxLength));
  resize(1000, 640 + menuBar()->sizeHint().height());
}

QWidget* FAnalyse1::buildSliders(QWidget* parent) {
  auto* area = new QWidget(parent);
  auto* row = new QHBoxLayout(area);
  row->setContentsMargins(0, 0, 0, 0);
  const char* captions[] = {"Einfache Chancen", "Drittel-Chancen", "Transversale Simple",
                            "Transversale Plein"};
  for (size_t i = 0; i < sliders_.size(); ++i) {
    auto* group = new QGroupBox(QString::fromUtf8(captions[i]), area);
    group->setObjectName(QStringLiteral("GroupBox%1").arg(i + 1));
    auto* inner = new QHBoxLayout(group);
    inner->addWidget(new QLabel(QStringLiteral("Serienlänge"), group));
    auto* slider = new QSlider(Qt::Horizontal, group);
    slider->setObjectName(QStringLiteral("sc%1").arg(i + 1));
    slider->setRange(MinLength, MaxLength);
    slider->setSingleStep(1);
    slider->setPageStep(1);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setMinimumWidth(70);
    inner->addWidget(slider, 1);
    auto* value =
        panel(QString::number(MinLength), QStringLiteral("Panel%1").arg(i + 1), QString(), group);
    value->setFixedSize(28, 22);
    inner->addWidget(value);
    connect(slider, &QSlider::valueChanged, value,
            [value](int position) { value->setText(QString::number(position)); });
    sliders_[i] = slider;
    row->addWidget(group, 1);
  }
  auto* side = new QVBoxLayout;
  auto* hint = new QLabel(
      QStringLiteral("Stellen Sie rechts die Serienlänge ein, auf die getestet werden soll"), area);
  hint->setWordWrap(true);
  hint->setMaximumWidth(150);
  side->addWidget(hint);
  auto* save = new QPushButton(QStringLiteral("Serienlängen speichern"), area);
  save->setObjectName(QStringLiteral("Button1"));
  connect(save, &QPushButton::clicked, this, &FAnalyse1::Button1Click);
  side->addWidget(save);
  row->addLayout(side);
  return area;
}

QWidget* FAnalyse1::buildLegend(QWidget* parent) {
  auto* area = new QWidget(parent);
  auto* row = new QHBoxLayout(area);
  row->setContentsMargins(0, 4, 0, 4);
  auto* start = new QPushButton(QStringLiteral("Analyse &starten"), area);
  start->setObjectName(QStringLiteral("BAnalyse"));
  start->setMinimumHeight(30);
  connect(start, &QPushButton::clicked, this, &FAnalyse1::BAnalyseClick);
  row->addWidget(start);
  row->addSpacing(12);
  auto* red = panel(QStringLiteral("xxx"), QStringLiteral("PRot"),
                    QStringLiteral("background: #FF0000;"), area);
  red->setFixedSize(40, 20);
  row->addWidget(red);
  row->addWidget(new QLabel(QStringLiteral("Serienlänge trat in Permanenz nicht auf"), area));
  auto* blue = panel(QStringLiteral("---"), QStringLiteral("PBlau"),
                     QStringLiteral("background: #A6CAF0;"), area);
  blue->setFixedSize(40, 20);
  row->addWidget(blue);
  row->addWidget(new QLabel(QStringLiteral("Permanenz zu klein für Analyse"), area));
  auto* note = new QLabel(QStringLiteral("Eine Zahl in der Zelle gibt an, im wievielten Coup - "
                                         "ohne Handwechsel - die gesuchte Serie begann"),
                          area);
  note->setWordWrap(true);
  row->addWidget(note, 1);
  return area;
}

SeriesLengths FAnalyse1::sliderLengths() const {
  SeriesLengths lengths{};
  for (size_t i = 0; i < sliders_.size(); ++i)
    lengths[i] = sliders_[i]->value();
  return lengths;
}

void FAnalyse1::Button1Click() {
  std::array<int, 4> positions{};
  for (size_t i = 0; i < sliders_.size(); ++i)
    positions[i] = sliders_[i]->value();
  const QString error = WriteSeriesLengthSliders(positions);
  if (!error.isEmpty())
    Dialogs::instance().error(this, error);
}

// Reads, then searches the selected files; a long run shows its progress (after half a
// second) and can be cancelled. An unreadable file or a cancel leaves the grid as it was.
void FAnalyse1::BAnalyseClick() {
  const QStringList files = fileSelector_->selectedFiles();
  if (files.isEmpty()) {
    Dialogs::instance().error(this,
                              QStringLiteral("Es wurde keine Datei ausgewählt.\r\rIch breche ab."));
    return;
  }
  const SeriesLengths lengths = sliderLengths();
  RunProgress progress(this, QStringLiteral("Serienlängen werden gesucht..."),
                       static_cast<size_t>(files.size()));
  std::optional<FilePermanences> read = progress.readFiles(files);
  if (!read)
    return;
  SeriesLengthRun run = RunSeriesLengthSearch(read->PermanenceData, lengths, progress.analysing());
  progress.finish();
  if (run.cancelled)
    return;
  model_->setResults(std::move(read->PermanenceNames), std::move(run.rows));
  g1_->setColumnWidth(0, 90);
}

} // namespace kw
