#include "ui/FHaupt.h"

#include "ui/FHauptAnalysisView.h"

#include "core/RouletteTables.h"
#include "core/Version.h"
#include "ui/Application.h"
#include "ui/Help.h"
#include "ui/HelpTopics.h"
#include "ui/Icons.h"
#include "ui/MemoEdit.h"
#include "ui/PermanenceTableModel.h"
#include "ui/WindowChrome.h"
#include "ui/WindowParts.h"
#include "workspace/Workspace.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace kw {
namespace {

constexpr int ClientWidth = 920;
constexpr int ClientHeight = 680;
// Wide enough for seven-digit coup numbers at the grid's font.
constexpr int OrdinalColumnWidth = 53;

QLabel* captionStrip(const QString& text, QWidget* parent, const char* name) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QLatin1String(name));
  label->setFixedHeight(22);
  label->setStyleSheet(
      QStringLiteral("background: #5978B2; color: white; font-weight: bold; padding-left: 2px;"));
  return label;
}

// The heading row of `GNum`: "Coup", then the colour columns filled solid black, green
// and red without text.
class ColourHeading : public QHeaderView {
public:
  explicit ColourHeading(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}

protected:
  void paintSection(QPainter* painter, const QRect& rect, int section) const override {
    static const QColor fills[] = {QColor(), QColor(0x00, 0x00, 0x00), QColor(0x00, 0x80, 0x00),
                                   QColor(0xFF, 0x00, 0x00)};
    if (section >= 1 && section <= 3)
      painter->fillRect(rect, fills[section]);
    else
      QHeaderView::paintSection(painter, rect, section);
  }
};

QLabel* note(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setWordWrap(true);
  return label;
}

} // namespace

FHaupt::FHaupt(Workspace& workspace, QWidget* parent) : QMainWindow(parent), workspace_(workspace) {
  setObjectName(QStringLiteral("FHaupt"));
  FormCreate();
}

void FHaupt::FormCreate() {
  setWindowTitle(QStringLiteral("%1 %2  - Zentrale")
                     .arg(QLatin1String(ProductName), QLatin1String(ProductVersion)));
  setWindowIcon(AppIcon(QStringLiteral("kesselwerk")));

  ChromeConfig config;
  config.helpContext = help::Zentrale;
  config.helpButtonName = QStringLiteral("Button1");
  config.importEntry = true;
  chrome_ = WindowChrome::install(this, config);
  InstallHelpKey(this, help::Zentrale);
  chrome_->setHandler(Command::Open, [this] { BOpenClick(); });
  chrome_->setHandler(Command::Import, [this] { BImportClick(); });
  setAcceptDrops(true);
  chrome_->setHandler(Command::Save, [] { Application::instance().open(Command::Save); });

  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("Panel1"));
  auto* row = new QHBoxLayout(client);
  row->setContentsMargins(4, 4, 4, 4);
  row->setSpacing(6);
  row->addWidget(buildInputArea());
  row->addWidget(buildTableArea());
  row->addWidget(buildResultArea(), 1);
  setCentralWidget(client);

  BuildNumberPad();
  CreateNumberPanels(pNumAnzBasis_->findChild<QWidget*>(QStringLiteral("PNumAnz")));
  CreateResultGrids(ergebnis_);

  // `GNum` follows every change of the table, whoever made it.
  connect(&workspace_, &Workspace::rowsAppended, this, &FHaupt::TableChanged);
  connect(&workspace_, &Workspace::rowEntered, this, &FHaupt::TableChanged);
  connect(&workspace_, &Workspace::lastRowRemoved, this, &FHaupt::TableChanged);
  connect(&workspace_, &Workspace::allCleared, this, &FHaupt::TableChanged);
  // Other windows ask the workspace whether M1 holds text before they replace it.
  connect(m1_, &MemoEdit::textChanged, this,
          [this] { workspace_.SetMemoHoldsText(!m1_->isEmpty()); });
  connect(&workspace_, &Workspace::memoLinesHanded, this, &FHaupt::takeMemoLines);
  LoadStartPermanence();

  const int menuHeight = menuBar()->sizeHint().height();
  resize(ClientWidth, ClientHeight + menuHeight);
}

QWidget* FHaupt::buildInputArea() {
  auto* area = new QWidget(this);
  area->setObjectName(QStringLiteral("PEingabe"));
  area->setFixedWidth(150);
  auto* layout = new QVBoxLayout(area);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(note(
      QStringLiteral("Coups können aus Dateien eingelesen oder manuell eingegeben werden."), area));

  // The two input pages, chosen with button-style page tabs.
  pages_ = new QStackedWidget(area);
  pages_->setObjectName(QStringLiteral("PageControl1"));
  auto* pageButtons = new QButtonGroup(area);
  const QString pageTitles[] = {QStringLiteral("Aus Dateien einlesen..."),
                                QStringLiteral("Manuell eingeben")};
  for (int i = 0; i < 2; ++i) {
    auto* b = new QPushButton(pageTitles[i], area);
    b->setObjectName(i == 0 ? QStringLiteral("BSeiteDateien") : QStringLiteral("BSeiteManuell"));
    b->setCheckable(true);
    b->setChecked(i == 0);
    pageButtons->addButton(b, i);
    layout->addWidget(b);
  }
  connect(pageButtons, &QButtonGroup::idClicked, pages_, &QStackedWidget::setCurrentIndex);
  connect(pages_, &QStackedWidget::currentChanged, pageButtons,
          [pageButtons](int index) { pageButtons->button(index)->setChecked(true); });

  auto* filePage = new QWidget;
  filePage->setObjectName(QStringLiteral("TSDateien"));
  auto* fileLayout = new QVBoxLayout(filePage);
  fileLayout->setContentsMargins(2, 4, 2, 2);
  m1_ = new MemoEdit(filePage);
  m1_->setObjectName(QStringLiteral("M1"));
  fileLayout->addWidget(m1_, 1);
  auto* multi = new QHBoxLayout;
  multi->addWidget(note(QStringLiteral("Mehrfachauswahl von Dateien möglich."), filePage), 1);
  auto* info = HelpButton(help::Zentrale, QStringLiteral("BInfo"), filePage);
  multi->addWidget(info);
  fileLayout->addLayout(multi);
  auto* open = new QPushButton(QStringLiteral("Datei(en) öffnen..."), filePage);
  open->setObjectName(QStringLiteral("BOpen"));
  connect(open, &QPushButton::clicked, this, &FHaupt::BOpenClick);
  fileLayout->addWidget(open);
  auto* transferRow = new QHBoxLayout;
  transferRow->addWidget(note(QStringLiteral("Für Analyse bitte übertragen"), filePage), 1);
  auto* del = new QPushButton(filePage);
  del->setObjectName(QStringLiteral("BDel"));
  del->setIcon(AppIcon(QStringLiteral("trash")));
  del->setToolTip(QStringLiteral("Textfeld leeren"));
  del->setFixedSize(28, 28);
  connect(del, &QPushButton::clicked, this, &FHaupt::BDelClick);
  transferRow->addWidget(del);
  fileLayout->addLayout(transferRow);
  auto* transfer = new QPushButton(QStringLiteral("In Tabelle übertragen"), filePage);
  transfer->setObjectName(QStringLiteral("BTransfer"));
  connect(transfer, &QPushButton::clicked, this, &FHaupt::BTransferClick);
  fileLayout->addWidget(transfer);
  pages_->addWidget(filePage);

  auto* padPage = new QWidget;
  padPage->setObjectName(QStringLiteral("TSManuell"));
  pNum_ = new QWidget(padPage);
  pNum_->setObjectName(QStringLiteral("PNum"));
  pNum_->setGeometry(0, 0, 128, 512);
  pages_->addWidget(padPage);
  layout->addWidget(pages_, 1);
  return area;
}

QWidget* FHaupt::buildTableArea() {
  auto* area = new QWidget(this);
  area->setObjectName(QStringLiteral("PPerm"));
  auto* layout = new QVBoxLayout(area);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(captionStrip(QStringLiteral("Nummernfolge"), area, "PNummernfolge"));

  model_ = new PermanenceTableModel(workspace_.table(), this);
  gNum_ = new QTableView(area);
  gNum_->setObjectName(QStringLiteral("GNum"));
  gNum_->setHorizontalHeader(new ColourHeading(gNum_));
  gNum_->setModel(model_);
  gNum_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  gNum_->setSelectionMode(QAbstractItemView::NoSelection);
  gNum_->setFocusPolicy(Qt::StrongFocus);
  gNum_->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  gNum_->setTextElideMode(Qt::ElideNone);
  gNum_->setWordWrap(false);
  QFont gridFont = gNum_->font();
  gridFont.setPointSize(8);
  gNum_->setFont(gridFont);
  gNum_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  gNum_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  gNum_->verticalHeader()->hide();
  gNum_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  gNum_->verticalHeader()->setDefaultSectionSize(16);
  gNum_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  gNum_->horizontalHeader()->setHighlightSections(false);
  gNum_->horizontalHeader()->setFixedHeight(18);
  gNum_->horizontalHeader()->setMinimumSectionSize(10);
  gNum_->setColumnWidth(0, OrdinalColumnWidth);
  for (int c = 1; c <= 3; ++c)
    gNum_->setColumnWidth(c, 22);
  gNum_->setFixedWidth(OrdinalColumnWidth + 3 * 22 +
                       gNum_->verticalScrollBar()->sizeHint().width() + 2 * gNum_->frameWidth());
  layout->addWidget(gNum_, 1);

  auto* buttons = new QHBoxLayout;
  auto* save = new QPushButton(QStringLiteral("&Speichern..."), area);
  save->setObjectName(QStringLiteral("BSave"));
  connect(save, &QPushButton::clicked, this, [] { Application::instance().open(Command::Save); });
  buttons->addWidget(save, 1);
  auto* del2 = new QPushButton(area);
  del2->setObjectName(QStringLiteral("BDel2"));
  del2->setIcon(AppIcon(QStringLiteral("trash")));
  del2->setToolTip(QStringLiteral("Tabelle leeren"));
  del2->setFixedSize(28, 26);
  connect(del2, &QPushButton::clicked, this, &FHaupt::BDel2Click);
  buttons->addWidget(del2);
  layout->addLayout(buttons);
  auto* analyse = new QPushButton(QStringLiteral("Chancen-Analyse"), area);
  analyse->setObjectName(QStringLiteral("BAnalyse"));
  analyse->setMinimumHeight(34);
  connect(analyse, &QPushButton::clicked, this, &FHaupt::BAnalyseClick);
  layout->addWidget(analyse);
  // The tests of the same table: could its counts come from a fair wheel?
  auto* significance = new QPushButton(QStringLiteral("Si&gnifikanz"), area);
  significance->setObjectName(QStringLiteral("BSignifikanz"));
  significance->setToolTip(QStringLiteral("Signifikanztests: Sind die Zahlen der Tabelle mit "
                                          "einem fairen Kessel vereinbar?"));
  connect(significance, &QPushButton::clicked, this,
          [] { Application::instance().open(Command::Signifikanz); });
  layout->addWidget(significance);
  return area;
}

QWidget* FHaupt::buildResultArea() {
  auto* area = new QWidget(this);
  area->setObjectName(QStringLiteral("Panel4"));
  auto* layout = new QVBoxLayout(area);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(captionStrip(QStringLiteral("   Chancen-Analyse"), area, "PChancen"));
  auto* row = new QHBoxLayout;

  // The number panels (placed by the analysis part) with the heading in their top left
  // corner, and the two buttons below them.
  pNumAnzBasis_ = new QWidget(area);
  pNumAnzBasis_->setObjectName(QStringLiteral("PNumAnzBasis"));
  auto* numbers = new QVBoxLayout(pNumAnzBasis_);
  numbers->setContentsMargins(0, 0, 0, 0);
  numbers->setSpacing(2);
  auto* panels = new QWidget(pNumAnzBasis_);
  panels->setObjectName(QStringLiteral("PNumAnz"));
  auto* heading = note(QStringLiteral("Häufigkeit der Nummern"), panels);
  QFont headingFont = heading->font();
  headingFont.setPointSize(8);
  heading->setFont(headingFont);
  heading->setGeometry(2, 2, 72, 46); // left of the zero, above the first row
  numbers->addWidget(panels);
  pButtons_ = new QWidget(pNumAnzBasis_);
  pButtons_->setObjectName(QStringLiteral("PButtons"));
  auto* buttons = new QVBoxLayout(pButtons_);
  buttons->setContentsMargins(2, 0, 2, 0);
  buttons->setSpacing(2);
  auto* chart = new QPushButton(QStringLiteral("Diagramm"), pButtons_);
  chart->setObjectName(QStringLiteral("BChart1"));
  connect(chart, &QPushButton::clicked, this, &FHaupt::BChart1Click);
  buttons->addWidget(chart);
  auto* sort = new QPushButton(QStringLiteral("Sortiermodus"), pButtons_);
  sort->setObjectName(QStringLiteral("BWechsel"));
  connect(sort, &QPushButton::clicked, this, &FHaupt::BWechselClick);
  buttons->addWidget(sort);
  numbers->addWidget(pButtons_);
  numbers->addStretch(1);
  pNumAnzBasis_->setFixedWidth(118);
  row->addWidget(pNumAnzBasis_);

  ergebnis_ = new QGroupBox(QStringLiteral("Ergebnis der Chancen-Analyse"), area);
  ergebnis_->setObjectName(QStringLiteral("GBErgebnis"));
  row->addWidget(ergebnis_, 1);
  layout->addLayout(row, 1);
  return area;
}

void FHaupt::BuildNumberPad() {
  CreatePadButton(0, 0, 0, QStringLiteral("0"));
  for (int i = 1; i <= 12; ++i)
    for (int j = 1; j <= 3; ++j) {
      const int code = 3 * (i - 1) + j;
      CreatePadButton(i, j, code, QString::number(code));
    }
  CreatePadButton(0, 0, HandChangeCode, QStringLiteral("Handwechsel"));
  CreatePadButton(0, 0, PermanenceTable::DeleteLastCode, QStringLiteral("Letzte löschen"));
  CreatePadButton(0, 0, PermanenceTable::ClearAllCode, QStringLiteral("Alle löschen"));
}

QPushButton* FHaupt::CreatePadButton(int i, int j, int code, const QString& caption) {
  auto* button = new QPushButton(caption, pNum_);
  button->setObjectName(QStringLiteral("num%1").arg(code));
  button->setProperty("tag", code);
  button->setFocusPolicy(Qt::TabFocus);
  QFont font = button->font();
  const bool number = code < NumberCount;
  font.setPointSize(number ? 9 : 8);
  font.setBold(number);
  button->setFont(font);
  const int height = number ? 28 : 38;

  QString colour;
  if (code == 0)
    colour = QStringLiteral("#008000");
  else if (number)
    colour =
        IsRed(static_cast<unsigned>(code)) ? QStringLiteral("#FF0000") : QStringLiteral("#000000");
  if (!colour.isEmpty())
    button->setStyleSheet(QStringLiteral("QPushButton { color: %1; }").arg(colour));

  if (code == 0)
    button->setGeometry(9, 10, 110, height);
  else if (number)
    button->setGeometry(9 + 36 * (j - 1), 10 + 28 * i, 36, height);
  else {
    const int top = code == HandChangeCode                    ? 382
                    : code == PermanenceTable::DeleteLastCode ? 424
                                                              : 466;
    const char* image = code == HandChangeCode                    ? "handchange"
                        : code == PermanenceTable::DeleteLastCode ? "deletelast"
                                                                  : "clearall";
    button->setGeometry(9, top, 110, height);
    button->setIcon(AppIcon(QLatin1String(image)));
    button->setIconSize(QSize(20, 20));
  }
  connect(button, &QPushButton::clicked, this, &FHaupt::BNumClickClick);
  return button;
}

void FHaupt::BNumClickClick() {
  if (auto* button = qobject_cast<QPushButton*>(sender()))
    EnterCoup(QString(), button->property("tag").toInt());
}

const PermanenceTable& FHaupt::table() const { return workspace_.table(); }

void FHaupt::EnterCoup(const QString& text, int code) {
  workspace_.EnterCoup(text.toStdString(), code);
}

void FHaupt::TableChanged() {
  model_->refresh();
  scrollToTopRow();
}

// The view learns the table's new length only at its next layout: it lays out first, so the
// position is set within the new range, and the last used row is in view however many rows
// the window's height shows.
void FHaupt::scrollToTopRow() {
  gNum_->doItemsLayout();
  gNum_->verticalScrollBar()->setValue(table().TopRow() - 1);
  if (table().UsedRows() > 0 && gNum_->isVisible())
    gNum_->scrollTo(model_->index(table().UsedRows() - 1, 0), QAbstractItemView::EnsureVisible);
}

void FHaupt::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // A table restored before the window was shown is scrolled to its newest rows now that the
  // view has its size.
  scrollToTopRow();
}

void FHaupt::BDel2Click() {
  workspace_.ClearTable();
  ResetChanceResults();
}

void FHaupt::closeEvent(QCloseEvent* event) {
  // The own systems' editor asks before unsaved changes of a script are lost; its answer
  // "Abbrechen" keeps the program running.
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window->objectName() == QLatin1String("FSysteme") && window->isVisible() &&
        !window->close()) {
      event->ignore();
      return;
    }
  event->accept();
  QApplication::quit();
}

} // namespace kw
