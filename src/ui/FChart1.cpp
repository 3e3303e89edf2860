#include "ui/FChart1.h"

#include "ui/CountGrid.h"
#include "ui/FrequencyChartColours.h"
#include "ui/Help.h"
#include "ui/HelpTopics.h"
#include "ui/WindowChrome.h"
#include "ui/WindowParts.h"

#include <QAbstractTableModel>
#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QPieSeries>
#include <QtCharts/QPieSlice>

namespace kw {

// The value table: number and count of each number, with the colour of the count's range.
class ValueTableModel : public QAbstractTableModel {
  Q_OBJECT
public:
  using QAbstractTableModel::QAbstractTableModel;

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : NumberCount;
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : 2;
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid())
      return {};
    const auto x = size_t(index.row());
    if (role == Qt::DisplayRole)
      return index.column() == 0 ? QString::number(x) : counts_[x];
    if (role == Qt::BackgroundRole && index.column() == 1 && colours_[x] >= 0)
      return QColor(QRgb(RangeColourRgb[size_t(colours_[x])]));
    return {};
  }

  void show(const NumberCounts& counts, const ColourRanges& ranges) {
    for (size_t x = 0; x < size_t(NumberCount); ++x) {
      counts_[x] = QString::number(counts[x]);
      colours_[x] = ColourOf(counts_[x], ranges);
    }
    emit dataChanged(index(0, 0), index(NumberCount - 1, 1));
  }

private:
  // A cell is coloured only when its trimmed text is an integer; an empty cell is not.
  static int ColourOf(const QString& text, const ColourRanges& ranges) {
    bool isInteger = false;
    const qlonglong value = text.trimmed().toLongLong(&isInteger);
    if (!isInteger || value < 0 || value > qlonglong(UINT32_MAX))
      return -1;
    return RangeColour(ranges, uint32_t(value));
  }

  std::array<QString, NumberCount> counts_{};
  std::array<int, NumberCount> colours_ = [] {
    std::array<int, NumberCount> none{};
    none.fill(-1);
    return none;
  }();
};

namespace {

constexpr int ValueRowHeight = 14;
constexpr int NumberColumnWidth = 22;
constexpr int CountColumnWidth = 55;

QColor Rgb(uint32_t rgb) { return QColor(QRgb(rgb)); }

} // namespace

FChart1::FChart1(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("FChart1"));
  FormCreate();
}

FChart1::~FChart1() = default;

void FChart1::FormCreate() {
  setWindowTitle(QStringLiteral("Kesselwerk"));
  ChromeConfig config;
  config.helpContext = help::FrequencyChart;
  config.openSave = false;
  config.analysenEntries = {Command::Serien, Command::Systemtest};
  chrome_ = WindowChrome::install(this, config);
  InstallHelpKey(this, help::FrequencyChart);

  auto* client = new QWidget(this);
  auto* layout = new QVBoxLayout(client);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(
      HeadingStrip(QStringLiteral("   Häufigkeitsdiagramm"), client, QStringLiteral("PTitel")));
  auto* row = new QHBoxLayout;
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  row->addWidget(buildChart(client), 1);
  row->addWidget(buildValueTable(client));
  layout->addLayout(row, 1);
  layout->addWidget(buildLegend(client));
  setCentralWidget(client);
  resize(860, 640 + menuBar()->sizeHint().height());
}

QWidget* FChart1::buildChart(QWidget* parent) {
  auto* chart = new QChart;
  chart->setTitle(QString());
  chart->legend()->hide();
  chart->setAnimationOptions(QChart::NoAnimation);
  chart->setBackgroundRoundness(0);
  series1_ = new QPieSeries;
  series1_->setObjectName(QStringLiteral("Series1"));
  series1_->setPieSize(0.76); // room for the labels outside the pie
  // Turned by 80 degrees: the first slice (zero) begins there and the wheel runs clockwise.
  series1_->setPieStartAngle(80);
  series1_->setPieEndAngle(80 + 360);
  chart->addSeries(series1_);
  chart1_ = new QChartView(chart, parent);
  chart1_->setObjectName(QStringLiteral("Chart1"));
  chart1_->setRenderHint(QPainter::Antialiasing);

  auto* group = new QGroupBox(QStringLiteral("Färbung nach Standardabweichung ..."), chart1_);
  group->setObjectName(QStringLiteral("RG1"));
  auto* items = new QVBoxLayout(group);
  rg1_ = new QButtonGroup(group);
  const QString texts[] = {QStringLiteral("1-, 2-, 3-fach regulär "),
                           QStringLiteral("jeweils halbiert (differenzierter)")};
  for (int i = 0; i < 2; ++i) {
    auto* item = new QRadioButton(texts[i], group);
    item->setObjectName(QStringLiteral("RG1_%1").arg(i));
    rg1_->addButton(item, i);
    items->addWidget(item);
  }
  rg1_->button(0)->setChecked(true);
  connect(rg1_, &QButtonGroup::idClicked, this, &FChart1::RG1Click);
  group->move(8, 8);
  group->adjustSize();
  return chart1_;
}

QWidget* FChart1::buildValueTable(QWidget* parent) {
  auto* panel = new QWidget(parent);
  panel->setObjectName(QStringLiteral("PWerte"));
  panel->setFixedWidth(80);
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(1, 4, 1, 0);
  layout->setSpacing(2);
  auto* heading = new QLabel(QStringLiteral("Wertetabelle"), panel);
  QFont headingFont = heading->font();
  headingFont.setPointSize(8);
  headingFont.setBold(true);
  heading->setFont(headingFont);
  heading->setAlignment(Qt::AlignHCenter);
  layout->addWidget(heading);

  values_ = new ValueTableModel(this);
  gAnz_ = new QTableView(panel);
  gAnz_->setObjectName(QStringLiteral("GAnz"));
  gAnz_->setModel(values_);
  // Column 0 (the numbers) is a fixed column; a count shows on the colour of its range.
  gAnz_->setItemDelegate(
      new CountCellDelegate([](const QModelIndex& index) { return index.column() == 0; }, gAnz_));
  ShapeCountGrid(
      gAnz_, {.rowHeight = ValueRowHeight, .columnWidths = {NumberColumnWidth, CountColumnWidth}});
  const int frames = 2 * gAnz_->frameWidth();
  gAnz_->setFixedSize(NumberColumnWidth + CountColumnWidth + frames,
                      NumberCount * ValueRowHeight + frames);
  layout->addWidget(gAnz_);
  layout->addStretch(1);
  return panel;
}

QWidget* FChart1::buildLegend(QWidget* parent) {
  auto* strip = new QWidget(parent);
  strip->setObjectName(QStringLiteral("PFarben"));
  strip->setFixedHeight(41);
  for (int i = 1; i <= ColourRangeCount; ++i) {
    auto* panel = new QLabel(strip);
    panel->setObjectName(QStringLiteral("PFarbe%1").arg(i));
    panel->setGeometry(10 + 100 * (i - 1), 10, 90, 21);
    panel->setAlignment(Qt::AlignCenter);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, Rgb(RangeColourRgb[size_t(i - 1)]));
    palette.setColor(QPalette::WindowText, Rgb(LegendTextRgb[size_t(i - 1)]));
    panel->setPalette(palette);
    QFont font = panel->font();
    font.setPointSize(9);
    font.setBold(true);
    panel->setFont(font);
    legend_[size_t(i - 1)] = panel;
  }
  return strip;
}

void FChart1::ShowFrequencies(const FrequencySource& source, uint32_t expected) {
  SetCountSource(source);
  SetExpected(expected);
  SelectColouring(0);
  RG1Click();
}

void FChart1::SetCountSource(std::function<FrequencyInput()> source) {
  source_ = std::move(source);
}

void FChart1::SelectColouring(int item) {
  if (QAbstractButton* button = rg1_->button(item))
    button->setChecked(true);
}

void FChart1::RG1Click() {
  q_ = std::max(rg1_->checkedId(), 0) + 1;
  FillFrequencyChart();
}

void FChart1::FillFrequencyChart() {
  const FrequencyInput input = source_ ? source_() : FrequencyInput{};
  shown_ = BuildFrequencyChart(input.counts, input.coups, expected_, q_);

  chart1_->chart()->setTitle(QString());
  series1_->clear();
  QList<QPieSlice*> slices;
  slices.reserve(NumberCount);
  for (const ChartSlice& s : shown_.slices) {
    auto* slice = new QPieSlice(QString::number(s.number), qreal(s.count));
    const QColor colour = Rgb(RangeColourRgb[size_t(s.colour)]);
    slice->setBrush(colour);
    slice->setPen(QPen(colour.darker(130), 1));
    // An empty slice has no arc to label; its label would cover its neighbours'.
    slice->setLabelVisible(s.count > 0);
    slices << slice;
  }
  series1_->append(slices);

  values_->show(input.counts, shown_.ranges);
  for (size_t i = 0; i < legend_.size(); ++i)
    legend_[i]->setText(QString::fromStdString(shown_.legend[i]));

  show();
  raise();
}

} // namespace kw

#include "FChart1.moc"
