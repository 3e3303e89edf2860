#include "ui/FDelta.h"

#include "tools/DeltaCalculator.h"
#include "ui/DigitsOnly.h"
#include "ui/Help.h"
#include "ui/HelpTopics.h"
#include "ui/WindowParts.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kw {
namespace {

QLabel* resultPanel(QWidget* parent, const QString& name) {
  QLabel* panel = SunkenPanel(QString(), name, parent);
  panel->setMinimumHeight(22);
  panel->setStyleSheet(QStringLiteral("background: white;"));
  return panel;
}

// A delta group: the captions "unten", "Abweichung", "oben" over three panels.
QGroupBox* rangeGroup(const QString& title, const QString& name, QWidget* parent,
                      const std::array<QLabel*, 3>& panels) {
  auto* group = new QGroupBox(title, parent);
  group->setObjectName(name);
  auto* grid = new QGridLayout(group);
  grid->setContentsMargins(6, 4, 6, 6);
  grid->setVerticalSpacing(2);
  const std::array<QString, 3> captions = {QStringLiteral("unten"), QStringLiteral("Abweichung"),
                                           QStringLiteral("oben")};
  for (int i = 0; i < 3; ++i) {
    auto* caption = new QLabel(captions[static_cast<size_t>(i)], group);
    caption->setAlignment(Qt::AlignCenter);
    grid->addWidget(caption, 0, i);
    panels[static_cast<size_t>(i)]->setParent(group);
    grid->addWidget(panels[static_cast<size_t>(i)], 1, i);
  }
  return group;
}

} // namespace

FDelta::FDelta(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("FDelta"));
  FormCreate();
}

void FDelta::FormCreate() {
  setWindowTitle(QStringLiteral("Kesselwerk"));
  setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint);
  InstallHelpKey(this, help::Delta);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(4);
  layout->addWidget(buildTopBar());

  auto* body = new QVBoxLayout;
  body->setContentsMargins(8, 0, 8, 0);
  body->addWidget(BoldLabel(QStringLiteral("Wählen Sie die Chance, geben Sie die Anzahl der "
                                           "Coups ein und klicken Sie auf Berechnen"),
                            QStringLiteral("Label6"), this));
  auto* columns = new QHBoxLayout;
  columns->addWidget(buildChanceGroup());
  columns->addWidget(buildResultColumn(), 1);
  body->addLayout(columns, 1);
  layout->addLayout(body, 1);
  layout->addWidget(buildBottomBar());
  resize(384, 346);
}

QWidget* FDelta::buildTopBar() {
  auto* top = new QWidget(this);
  top->setObjectName(QStringLiteral("POben"));
  top->setAutoFillBackground(true);
  top->setStyleSheet(QStringLiteral("#POben { background: #5978B2; } #Label9 { color: white; }"));
  auto* row = new QHBoxLayout(top);
  row->setContentsMargins(8, 4, 4, 4);
  row->addWidget(BoldLabel(QStringLiteral("Errechnet werden Unter- und Obergrenze der Standard- "
                                          "abweichung bezogen auf den mathematischen Mittelwert"),
                           QStringLiteral("Label9"), top),
                 1);
  auto* help = HelpButton(help::Delta, QStringLiteral("Button11"), top);
  row->addWidget(help, 0, Qt::AlignTop);
  return top;
}

QWidget* FDelta::buildChanceGroup() {
  auto* group = new QGroupBox(QStringLiteral("Chance"), this);
  group->setObjectName(QStringLiteral("rg1"));
  auto* column = new QVBoxLayout(group);
  column->setContentsMargins(6, 2, 6, 4);
  column->setSpacing(0);
  rg1_ = new QButtonGroup(group);
  for (int i = 0; i < DeltaChanceCount; ++i) {
    const std::string_view caption = DeltaChances[static_cast<size_t>(i)].caption;
    auto* item = new QRadioButton(FromUtf8(caption), group);
    item->setObjectName(QStringLiteral("rg1_%1").arg(i));
    item->installEventFilter(this);
    rg1_->addButton(item, i);
    column->addWidget(item);
  }
  rg1_->button(0)->setChecked(true);
  column->addStretch(1);
  return group;
}

QWidget* FDelta::buildResultColumn() {
  auto* area = new QWidget(this);
  auto* column = new QVBoxLayout(area);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(3);

  auto* countRow = new QHBoxLayout;
  auto* label1 = new QLabel(QStringLiteral("Anzahl der Coups"), area);
  label1->setObjectName(QStringLiteral("Label1"));
  countRow->addWidget(label1);
  edit1_ = new QLineEdit(area);
  edit1_->setObjectName(QStringLiteral("Edit1"));
  edit1_->setMaxLength(8);
  // Only digits reach the field, the clipboard keys are dropped; a paste through the context
  // menu that is not digits is refused.
  edit1_->installEventFilter(
      new DigitsOnlyFilter(edit1_, DigitsOnlyFilter::ClipboardKeys::Dropped));
  edit1_->setValidator(DigitsValidator(edit1_));
  QFont bold = edit1_->font();
  bold.setBold(true);
  edit1_->setFont(bold);
  edit1_->setStyleSheet(QStringLiteral("background: #FFDDCC;"));
  edit1_->installEventFilter(this);
  countRow->addWidget(edit1_, 1);
  column->addLayout(countRow);

  const std::array<const char*, 7> names = {"Panel3", "Panel4", "Panel8", "Panel2",
                                            "Panel5", "Panel9", "Panel7"};
  for (size_t i = 0; i < names.size(); ++i)
    panels_[i] = resultPanel(area, QLatin1String(names[i]));

  auto* expected = new QGroupBox(QStringLiteral("Erwartungswert"), area);
  expected->setObjectName(QStringLiteral("GroupBox1"));
  auto* expectedRow = new QHBoxLayout(expected);
  expectedRow->setContentsMargins(6, 4, 6, 6);
  panels_[0]->setParent(expected);
  expectedRow->addStretch(1);
  expectedRow->addWidget(panels_[0], 1);
  expectedRow->addStretch(1);
  column->addWidget(expected);
  column->addWidget(rangeGroup(QStringLiteral("1 - Delta - Bereich"), QStringLiteral("GroupBox2"),
                               area, {panels_[1], panels_[2], panels_[3]}));
  column->addWidget(rangeGroup(QStringLiteral("3 - Delta - Bereich"), QStringLiteral("GroupBox3"),
                               area, {panels_[4], panels_[5], panels_[6]}));

  auto* calc = new QPushButton(QStringLiteral("&Berechnen"), area);
  calc->setObjectName(QStringLiteral("BCalc"));
  connect(calc, &QPushButton::clicked, this, &FDelta::BBerechnenClick);
  column->addWidget(calc);
  column->addStretch(1);
  return area;
}

QWidget* FDelta::buildBottomBar() {
  auto* bottom = new QWidget(this);
  bottom->setObjectName(QStringLiteral("PUnten"));
  auto* row = new QHBoxLayout(bottom);
  row->setContentsMargins(8, 2, 8, 6);
  row->addStretch(1);
  auto* close = new QPushButton(QStringLiteral("Sch&ließen"), bottom);
  close->setObjectName(QStringLiteral("Button1"));
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  row->addWidget(close);
  return bottom;
}

void FDelta::BBerechnenClick() {
  const QByteArray text = edit1_->text().toUtf8();
  const std::optional<uint32_t> coups = DeltaCoupsOf(std::string_view(text.data(), text.size()));
  if (!coups)
    return;
  const DeltaResult result = CalculateDelta(rg1_->checkedId(), *coups);
  const DeltaPanelTexts texts = FormatDeltaPanels(result, QLocale().decimalPoint().toStdString());
  const std::array<const std::string*, 7> ordered = {
      &texts.expected, &texts.lower1,     &texts.deviation1, &texts.upper1,
      &texts.lower3,   &texts.deviation3, &texts.upper3};
  for (size_t i = 0; i < ordered.size(); ++i)
    panels_[i]->setText(QString::fromStdString(*ordered[i]));
}

bool FDelta::Edit1KeyPress(QKeyEvent* event) {
  if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
    return false;
  BBerechnenClick();
  return true;
}

bool FDelta::eventFilter(QObject* watched, QEvent* event) {
  auto* asButton = qobject_cast<QAbstractButton*>(watched);
  const bool isInput = watched == edit1_ || (asButton && rg1_->buttons().contains(asButton));
  if (isInput && (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
    // The input controls have their own help topic; claiming F1 here keeps the window's
    // help key from answering it as well.
    event->accept();
    if (event->type() == QEvent::KeyPress)
      Help::instance().showContext(help::DeltaInput);
    return true;
  }
  if (watched == edit1_ && event->type() == QEvent::KeyPress)
    return Edit1KeyPress(static_cast<QKeyEvent*>(event));
  return QWidget::eventFilter(watched, event);
}

} // namespace kw
