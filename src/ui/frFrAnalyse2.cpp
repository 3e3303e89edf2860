#include "ui/frFrAnalyse2.h"

#include "ui/WorkbookExportDialog.h"

#include "report/SystemTestFormat.h"
#include "ui/FChart2.h"
#include "ui/FrozenColumns.h"
#include "ui/SystemTestModels.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace kw {
namespace {

constexpr int TopRowHeight = 40;
constexpr int SecondRowHeight = 41;

// A group with one bold centred label, as every figure of the frame is shown.
QGroupBox* figureGroup(const QString& caption, const QString& labelName, const QString& text,
                       QWidget* parent) {
  auto* group = new QGroupBox(caption, parent);
  auto* layout = new QVBoxLayout(group);
  layout->setContentsMargins(2, 0, 2, 1);
  auto* label = new QLabel(text, group);
  label->setObjectName(labelName);
  label->setAlignment(Qt::AlignCenter);
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  layout->addWidget(label);
  return group;
}

} // namespace

frFrAnalyse2::frFrAnalyse2(size_t permanenceIndex, const Figures& figures,
                           std::vector<ProtocolRow> protocol, QWidget* parent)
    : QWidget(parent), permanenceIndex_(permanenceIndex) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(buildFigures(figures));

  model_ = new ProtocolModel(std::move(protocol), this);
  gNum_ = new QTableView(this);
  gNum_->setObjectName(QStringLiteral("GNum"));
  gNum_->setModel(model_);
  gNum_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  gNum_->setSelectionMode(QAbstractItemView::NoSelection);
  gNum_->setWordWrap(false);
  gNum_->verticalHeader()->hide();
  gNum_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  gNum_->verticalHeader()->setDefaultSectionSize(ProtocolModel::RowHeight);
  gNum_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  gNum_->horizontalHeader()->setMinimumSectionSize(20);
  QFont headingFont = gNum_->horizontalHeader()->font();
  headingFont.setPointSize(7);
  gNum_->horizontalHeader()->setFont(headingFont);
  for (int column = 0; column < ProtocolColumnCount; ++column)
    gNum_->setColumnWidth(column, ProtocolModel::ColumnWidths[static_cast<size_t>(column)]);
  // The notes are as wide as their longest; the grid scrolls sideways behind "Nr.".
  FitColumnToTexts(gNum_, HinweisColumn, ProtocolModel::ColumnWidths[HinweisColumn]);
  FreezeLeadingColumns(gNum_, 1);
  layout->addWidget(gNum_, 1);
}

QWidget* frFrAnalyse2::buildFigures(const Figures& figures) {
  const PermanenceOutcome& outcome = figures.outcome;
  const int64_t net = outcome.finalCapital - figures.startkapital;
  auto* area = new QWidget(this);
  auto* grid = new QGridLayout(area);
  grid->setContentsMargins(2, 0, 2, 2);
  grid->setHorizontalSpacing(3);
  grid->setVerticalSpacing(0);
  grid->setRowMinimumHeight(0, TopRowHeight);
  grid->setRowMinimumHeight(1, SecondRowHeight);

  auto* excel = new QPushButton(QStringLiteral("Excel-E&xport"), area);
  excel->setObjectName(QStringLiteral("Button2"));
  connect(excel, &QPushButton::clicked, this, &frFrAnalyse2::Button2Click);
  grid->addWidget(excel, 0, 0);
  bKapital_ = new QPushButton(QStringLiteral("&Kapitalverlauf..."), area);
  bKapital_->setObjectName(QStringLiteral("BKapital"));
  bKapital_->setToolTip(QStringLiteral("Das Kapital nach jedem Coup dieser Permanenz als Bild"));
  bKapital_->setEnabled(false);
  bKapital_->setMinimumWidth(bKapital_->sizeHint().width()); // its caption whole in a narrow tab
  connect(bKapital_, &QPushButton::clicked, this, &frFrAnalyse2::BKapitalClick);
  grid->addWidget(bKapital_, 0, 1);
  grid->addWidget(figureGroup(QStringLiteral("Satzsignale"), QStringLiteral("LESignale"),
                              QString::number(outcome.satzsignale), area),
                  0, 2);
  grid->addWidget(figureGroup(QStringLiteral("Einsätze"), QStringLiteral("LEEinsaetze"),
                              QString::number(outcome.einsaetze), area),
                  0, 3);
  grid->addWidget(figureGroup(QStringLiteral("Netto-Ergebnis"), QStringLiteral("LESaldo"),
                              IntegerText(net), area),
                  1, 0, 1, 2);
  grid->addWidget(figureGroup(QStringLiteral("Umsatz"), QStringLiteral("LEUmsatz"),
                              IntegerText(outcome.umsatz), area),
                  1, 2);
  grid->addWidget(figureGroup(QStringLiteral("Umsatzrendite"), QStringLiteral("LERendite"),
                              RenditeText(Rendite(net, outcome.umsatz)), area),
                  1, 3);
  return area;
}

void frFrAnalyse2::SetCapitalCourse(CapitalCourse course) {
  course_ = std::move(course);
  bKapital_->setEnabled(!course_.capital.empty());
}

void frFrAnalyse2::BKapitalClick() {
  if (course_.capital.empty())
    return;
  if (!kapitalChart_)
    kapitalChart_ = new FChart2(this);
  const QWidget* page = parentWidget();
  kapitalChart_->ShowCapitalCourse(page ? page->windowTitle() : QString(), course_.capital,
                                   course_.startkapital, course_.gewinnziel, course_.verlustgrenze);
  kapitalChart_->show();
  kapitalChart_->raise();
  kapitalChart_->activateWindow();
}

// The name is the tab's caption; the parameters are those the system-test window, which
// shows this frame, shows at export time.
void frFrAnalyse2::Button2Click() {
  ExportWorkbook(this, model_->rows().size() + 1, [this] {
    const QWidget* testWindow = window();
    std::array<std::string, 5> outcome;
    const char* const outcomeNames[5] = {"LESignale", "LEEinsaetze", "LESaldo", "LEUmsatz",
                                         "LERendite"};
    for (size_t i = 0; i < outcome.size(); ++i)
      outcome[i] = ShownText(this, QLatin1String(outcomeNames[i]));
    std::array<std::string, 7> parameters;
    const char* const parameterNames[7] = {"PKapital", "Pup",    "PNach", "PStueck",
                                           "PPlus",    "PMinus", "LFile"};
    for (size_t i = 0; i < parameters.size(); ++i)
      parameters[i] = ShownText(testWindow, QLatin1String(parameterNames[i]));
    const QWidget* page = parentWidget();
    const std::string name = page ? page->windowTitle().toStdString() : std::string();
    return ProtocolWorkbook(name, outcome, parameters, ProtocolGridTexts(model_->rows()));
  });
}

} // namespace kw

namespace kw {

ResultPage::ResultPage(int number, Record record, QWidget* parent)
    : QWidget(parent), number_(number), record_(std::move(record)) {
  setObjectName(QStringLiteral("TabG%1").arg(number));
  setProperty("number", number);
}

frFrAnalyse2* ResultPage::frame() {
  if (frame_)
    return frame_;
  // The replay gives the same protocol as the run: the engine depends on nothing else.
  PermanenceResult replay = SimulatePermanence(record_.entries, *record_.params);
  frame_ =
      new frFrAnalyse2(record_.permanenceIndex, {record_.outcome, record_.params->startkapital},
                       std::move(replay.protocol), this);
  frame_->setObjectName(QStringLiteral("frG%1").arg(number_));
  const SystemTestParams& params = *record_.params;
  frame_->SetCapitalCourse({std::move(replay.capitalCourse), params.startkapital, params.gewinnziel,
                            params.verlustgrenze});
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(frame_);
  return frame_;
}

} // namespace kw
