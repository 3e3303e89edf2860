#include "ui/FOpSektoren.h"

#include "core/RouletteTables.h"
#include "files/Folders.h"
#include "files/SectorFileReader.h"
#include "files/TextFile.h"
#include "sectors/SectorFile.h"
#include "sectors/ThrowDistance.h"
#include "statistics/Verdict.h"
#include "ui/CountGrid.h"
#include "ui/Dialogs.h"
#include "ui/Help.h"
#include "ui/HelpTopics.h"
#include "ui/SectorListsModel.h"
#include "ui/SignificanceDisplay.h"
#include "ui/WindowChrome.h"
#include "ui/WindowParts.h"
#include "workspace/Workspace.h"

#include <QApplication>
#include <QCheckBox>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <optional>

namespace kw {
namespace {

constexpr int ClientWidth = 1180;
constexpr int DeviationAreaWidth = 230;
constexpr int ClientHeight = 652;
// The help page of the window's questions and notes.
constexpr int MitteWidth = 425;
constexpr int ListCell = 80;
constexpr int LabelFontSize = 48;
constexpr int ListFontSize = 9;
constexpr int ListColumns = 4;
const QColor ListBackground(0xD9, 0xFF, 0xD9);
const QColor LabelText(0xB0, 0xFF, 0xB0);

// The palette places the pockets on a circle of radius 185 around (200, 260), the zero at
// the top and the numbers clockwise, 360/37 degrees apart. Halves round to even, which
// std::rint does in the default rounding mode.
QPoint palettePosition(int wheelPosition) {
  const double a = wheelPosition * 9.7297297297297297 / 57.2956;
  const int left = static_cast<int>(std::rint(std::sin(a) * 185)) + 200;
  const int top = 260 - static_cast<int>(std::rint(std::cos(a) * 185));
  return {left, top};
}

QColor numberColour(int number) {
  if (number == 0)
    return QColor(0x00, 0x80, 0x00);
  return IsRed(static_cast<unsigned>(number)) ? QColor(0xFF, 0x00, 0x00) : QColor(0x00, 0x00, 0x00);
}

// The pieces of a drag payload; `row` is -1 for a palette panel.
struct DragPayload {
  QString source;
  int row = -1;
  QString entry;
};

std::optional<DragPayload> readPayload(const QMimeData* data) {
  if (!data || !data->hasFormat(QLatin1String(FOpSektoren::DragMimeType)))
    return std::nullopt;
  const QStringList parts = QString::fromUtf8(data->data(QLatin1String(FOpSektoren::DragMimeType)))
                                .split(QLatin1Char('\n'));
  if (parts.size() != 3)
    return std::nullopt;
  bool ok = false;
  const int row = parts[1].toInt(&ok);
  if (!ok)
    return std::nullopt;
  return DragPayload{parts[0], row, parts[2]};
}

// A palette panel: shows its number and can be dragged onto a sector list.
class PalettePanel : public QLabel {
public:
  PalettePanel(int number, QWidget* parent) : QLabel(QString::number(number), parent) {
    setObjectName(QStringLiteral("p%1").arg(number));
    setAlignment(Qt::AlignCenter);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setAutoFillBackground(true);
    QFont f = font();
    f.setPointSize(9);
    f.setBold(true);
    setFont(f);
    QPalette p = palette();
    p.setColor(QPalette::WindowText, numberColour(number));
    setPalette(p);
    setCursor(Qt::OpenHandCursor);
  }

protected:
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton)
      pressedAt_ = event->position().toPoint();
    QLabel::mousePressEvent(event);
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    if (!(event->buttons() & Qt::LeftButton) ||
        (event->position().toPoint() - pressedAt_).manhattanLength() <
            QApplication::startDragDistance())
      return;
    auto* drag = new QDrag(this);
    drag->setMimeData(FOpSektoren::SectorDragData(objectName(), -1, QLabel::text()));
    drag->setPixmap(grab());
    drag->exec(Qt::MoveAction);
  }

private:
  QPoint pressedAt_;
};

// A sector list: a view of one list of the sector model. Its entries can be dragged away,
// and it accepts palette panels and the entries of any sector list. It shows a label large,
// pale and alone, numbers small and black in four columns.
class SectorListView : public QListView {
public:
  SectorListView(FOpSektoren* window, SectorListsModel* model, int list, QWidget* parent)
      : QListView(parent), window_(window), list_(list) {
    setObjectName(QStringLiteral("lb%1").arg(list + 1));
    setModel(model);
    setRootIndex(model->index(list, 0));
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setTextElideMode(Qt::ElideNone);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(model, &SectorListsModel::labelShownChanged, this, [this](int changed, bool label) {
      if (changed == list_)
        showLabelLook(label);
    });
    showLabelLook(model->showsLabel(list));
  }

protected:
  void dragEnterEvent(QDragEnterEvent* event) override { acceptIfSector(event); }
  void dragMoveEvent(QDragMoveEvent* event) override { acceptIfSector(event); }
  void dropEvent(QDropEvent* event) override {
    if (!window_->LMusterDragOver(event->mimeData())) {
      event->ignore();
      return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
    window_->LMusterDragDrop(list_, event->mimeData());
  }

  // The entry under the mouse when the drag began; a list showing its label has no number
  // to drag (the model lets no drag start there).
  void startDrag(Qt::DropActions) override {
    const QModelIndex entry = currentIndex();
    if (!entry.isValid() || !entry.data(SectorListsModel::NumberRole).isValid())
      return;
    auto* drag = new QDrag(this);
    drag->setMimeData(
        FOpSektoren::SectorDragData(objectName(), entry.row(), entry.data().toString()));
    drag->exec(Qt::MoveAction);
  }

private:
  void acceptIfSector(QDragMoveEvent* event) {
    if (window_->LMusterDragOver(event->mimeData())) {
      event->setDropAction(Qt::MoveAction);
      event->accept();
    } else {
      event->ignore();
    }
  }

  void showLabelLook(bool label) {
    QFont f = font();
    f.setPointSize(label ? LabelFontSize : ListFontSize);
    setFont(f);
    QPalette p = palette();
    p.setColor(QPalette::Base, ListBackground);
    p.setColor(QPalette::Text, label ? LabelText : QColor(Qt::black));
    setPalette(p);
    setFlow(QListView::TopToBottom);
    setWrapping(!label);
    if (label) {
      setGridSize(QSize());
      return;
    }
    // Four columns: the entries run down the first column, then on into the next.
    setResizeMode(QListView::Adjust);
    const int columnWidth = (ListCell - 2 * frameWidth()) / ListColumns;
    setGridSize(QSize(columnWidth, QFontMetrics(f).height() + 1));
  }

  FOpSektoren* window_;
  int list_;
};

QPushButton* button(const QString& caption, QWidget* parent, const QString& name) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  return b;
}

// Writes the whole record or nothing: an existing file stays as it was on failure.
QString writeSectorFile(const QString& path, const std::array<uint8_t, SectorFileSize>& record) {
  return WriteFileBytes(path, QByteArrayView(record.data(), static_cast<qsizetype>(record.size())));
}

Dialogs::FileRequest sectorFileRequest(const QString& title) {
  Dialogs::FileRequest request;
  request.title = title;
  request.filter = QStringLiteral("Sektoren-Datei (*.sekt)");
  request.defaultSuffix = QStringLiteral("sekt");
  request.startDir = DataDir();
  return request;
}

} // namespace

FOpSektoren::FOpSektoren(Workspace& workspace, QWidget* parent)
    : QMainWindow(parent), workspace_(workspace) {
  setObjectName(QStringLiteral("FOpSektoren"));
  FormCreate();
}

QMimeData* FOpSektoren::SectorDragData(const QString& source, int row, const QString& entry) {
  auto* mime = new QMimeData;
  mime->setData(QLatin1String(DragMimeType),
                QStringLiteral("%1\n%2\n%3").arg(source).arg(row).arg(entry).toUtf8());
  return mime;
}

void FOpSektoren::FormCreate() {
  setWindowTitle(QStringLiteral("Kesselwerk"));
  ChromeConfig config;
  config.helpContext = help::Sectors;
  config.analysenEntries = {Command::Serien, Command::Systemtest};
  config.hiddenButtons = {Command::Sektoren};
  config.disabledButtons = {Command::Sektoren};
  chrome_ = WindowChrome::install(this, config);
  InstallHelpKey(this, help::Sectors);
  chrome_->setHandler(Command::Open, [this] { BOpenClick(); });
  chrome_->setHandler(Command::Save, [this] { BSaveClick(); });

  auto* client = new QWidget(this);
  // Made after the client area, so the list views go before the lists they show.
  lists_ = new SectorListsModel(this);
  auto* layout = new QVBoxLayout(client);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(
      HeadingStrip(QStringLiteral("   Wurfweiten-Analyse"), client, QStringLiteral("PTitel")));
  layout->addWidget(buildQuotation());
  layout->addWidget(buildPresetBar());
  auto* halves = new QHBoxLayout;
  halves->setContentsMargins(0, 0, 0, 0);
  halves->setSpacing(0);
  halves->addWidget(buildMitte());
  halves->addWidget(buildRechts(), 1);
  layout->addLayout(halves, 1);
  setCentralWidget(client);

  InitSectorGrid();
  resize(ClientWidth, ClientHeight + menuBar()->sizeHint().height());
}

void FOpSektoren::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (placed_)
    return;
  placed_ = true;
  emit firstShown();
}

QWidget* FOpSektoren::buildQuotation() {
  auto* panel = new QWidget(this);
  panel->setObjectName(QStringLiteral("Panel1"));
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(12, 4, 12, 4);
  layout->setSpacing(0);
  const QString style = QStringLiteral("color: #0052A4;");
  auto* quote = new QLabel(
      QStringLiteral("\u201EBleiben die Wurfweiten eines Croupiers in einem engen Rahmen, dann "
                     "h\u00E4ngt jedes Ergebnis zu einem Teil vom vorigen ab.\u201C"),
      panel);
  quote->setObjectName(QStringLiteral("LZitat"));
  quote->setWordWrap(true);
  QFont f = quote->font();
  f.setBold(true);
  f.setItalic(true);
  quote->setFont(f);
  quote->setStyleSheet(style);
  auto* source =
      new QLabel(QStringLiteral("\u2013 Erfahrungssatz aus der Beobachtung am Kessel"), panel);
  source->setObjectName(QStringLiteral("LQuelle"));
  source->setAlignment(Qt::AlignRight);
  source->setFont(f);
  source->setStyleSheet(style);
  layout->addWidget(quote);
  layout->addWidget(source);
  return panel;
}

// `Panel2`: the bar with the three preset buttons, across the window.
QWidget* FOpSektoren::buildPresetBar() {
  auto* panel2 = new QWidget(this);
  panel2->setObjectName(QStringLiteral("Panel2"));
  auto* bar = new QHBoxLayout(panel2);
  bar->setContentsMargins(6, 2, 6, 2);
  bar->setSpacing(6);
  auto* label1 = new QLabel(QStringLiteral("Muster-Sktoren- Auswahl:"), panel2);
  label1->setObjectName(QStringLiteral("Label1"));
  bar->addWidget(label1);
  struct PresetButton {
    const char* name;
    SectorPreset preset;
    void (FOpSektoren::*handler)();
  };
  const PresetButton presets[] = {
      {"BSerien", SectorPreset::RouletteSeries, &FOpSektoren::ToolButton1Click},
      {"B6Sektoren", SectorPreset::SevenAndFiveSixes, &FOpSektoren::ToolButton2Click},
      {"B9Sektoren", SectorPreset::FiveAndEightFours, &FOpSektoren::ToolButton3Click}};
  for (const PresetButton& p : presets) {
    auto* b = button(FromUtf8(SectorPresetCaption(p.preset)), panel2, QLatin1String(p.name));
    connect(b, &QPushButton::clicked, this, p.handler);
    bar->addWidget(b);
  }
  bar->addStretch(1);
  return panel2;
}

QWidget* FOpSektoren::buildMitte() {
  auto* pMitte = new QWidget(this);
  pMitte->setObjectName(QStringLiteral("PMitte"));
  pMitte->setFixedWidth(MitteWidth);
  pMitte->setMinimumHeight(500);

  auto* label11 = BoldLabel(QStringLiteral("Ziehen Sie mit gedrückter linker Maustaste die "
                                           "Nummer in die Sektoren-Listen."),
                            QStringLiteral("Label11"), pMitte);
  label11->setGeometry(6, 2, MitteWidth - 12, 34);

  auto* pSektoren = new QWidget(pMitte);
  pSektoren->setObjectName(QStringLiteral("PSektoren"));
  pSektoren->setGeometry(91, 144, 3 * ListCell, 3 * ListCell);
  CreateSectorLists(pSektoren);
  CreatePalette(pMitte);

  cbAusblenden_ = new QCheckBox(QStringLiteral("Gewählte Nummer ausblenden"), pMitte);
  cbAusblenden_->setObjectName(QStringLiteral("cbAusblenden"));
  QFont bold = cbAusblenden_->font();
  bold.setBold(true);
  cbAusblenden_->setFont(bold);
  cbAusblenden_->setChecked(true);
  cbAusblenden_->setGeometry(6, 38, 300, 24);
  connect(cbAusblenden_, &QCheckBox::toggled, this, &FOpSektoren::cbAusblendenClick);

  auto* clear = button(QStringLiteral("Alle Felder löschen"), pMitte, QStringLiteral("BListClear"));
  clear->setGeometry(6, 470, 200, 28);
  connect(clear, &QPushButton::clicked, this, &FOpSektoren::BListClearClick);
  auto* evaluate =
      button(QStringLiteral("Auswertung starten"), pMitte, QStringLiteral("BAuswertung"));
  evaluate->setGeometry(MitteWidth - 206, 470, 200, 28);
  connect(evaluate, &QPushButton::clicked, this, &FOpSektoren::BitBtn1Click);
  return pMitte;
}

void FOpSektoren::CreatePalette(QWidget* pMitte) {
  for (int i = 0; i < NumberCount; ++i) {
    const int number = WheelOrder[static_cast<size_t>(i)];
    auto* panel = new PalettePanel(number, pMitte);
    const QPoint at = palettePosition(i);
    panel->setGeometry(at.x(), at.y(), 25, 20);
    panels_[static_cast<size_t>(number)] = panel;
  }
}

void FOpSektoren::CreateSectorLists(QWidget* pSektoren) {
  for (int s = 0; s < SectorCount; ++s) {
    auto* list = new SectorListView(this, lists_, s, pSektoren);
    list->setGeometry((s / 3) * ListCell, (s % 3) * ListCell, ListCell, ListCell);
    listViews_[static_cast<size_t>(s)] = list;
  }
}

QWidget* FOpSektoren::buildRechts() {
  auto* pRechts = new QWidget(this);
  pRechts->setObjectName(QStringLiteral("PRechts"));
  auto* layout = new QVBoxLayout(pRechts);
  layout->setContentsMargins(6, 4, 6, 4);

  auto* unten = new QWidget(pRechts);
  unten->setObjectName(QStringLiteral("PRechtsunten"));
  auto* texts = new QVBoxLayout(unten);
  texts->setContentsMargins(0, 0, 0, 0);
  texts->addWidget(BoldLabel(
      QStringLiteral("Idee hier ist, die Wurfeigenarten der Croupiers (ihre Handschrift) zu "
                     "erkennen und auszunutzen. Gibt es eine Häufung spezifischer Wurfweiten über "
                     "dem mathematischen Mittelwert? Kommt bei Wurfrichtung A nach dem Sektor X "
                     "überdurchschnittlich oft der Sektor Y?"),
      QStringLiteral("Label4"), unten));
  texts->addWidget(BoldLabel(
      QStringLiteral("Klar ist, dass Sie bei diesem Ansatz Permanenzen, die nicht zumindest "
                     "Auskunft über den Croupier, seine Sitzposition und die Wurfrichtung geben "
                     "nicht gebrauchen können."),
      QStringLiteral("Label5"), unten));
  layout->addWidget(unten);

  gSek_ = new QTableWidget(SectorGridRows, SectorGridColumns, pRechts);
  gSek_->setObjectName(QStringLiteral("GSek"));
  // The two heading columns and the heading row are fixed cells.
  gSek_->setItemDelegate(new CountCellDelegate(
      [](const QModelIndex& index) { return index.column() < 2 || index.row() < 1; }, gSek_));
  ShapeCountGrid(gSek_, {.rowHeight = 18, .columnWidths = {59, 49}, .otherColumnWidth = 43});
  // Every row of the grid shows; the check box and what it shows stand beside the grid.
  gSek_->setFixedHeight(SectorGridRows * 18 + 2 * gSek_->frameWidth());
  auto* gridRow = new QHBoxLayout;
  gridRow->setSpacing(8);
  gridRow->addWidget(gSek_, 1, Qt::AlignTop);
  gridRow->addWidget(buildDeviationArea(pRechts));
  layout->addLayout(gridRow, 1);

  auto* panel4 = new QWidget(pRechts);
  panel4->setObjectName(QStringLiteral("Panel4"));
  auto* row = new QHBoxLayout(panel4);
  row->setContentsMargins(0, 0, 0, 0);
  auto* hint = BoldLabel(QStringLiteral("Die Auswertung erfordert eine in der Zentrale, in die "
                                        "dortige Tabelle eingelesene Permanenz"),
                         QStringLiteral("Label6"), panel4);
  hint->setStyleSheet(QStringLiteral("color: #E10000;"));
  row->addWidget(hint, 1);
  auto* close = button(QStringLiteral("Sch&ließen"), panel4, QStringLiteral("Button1"));
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  row->addWidget(close);
  layout->addWidget(panel4);
  return pRechts;
}

// The check box beside the grid and, while it is ticked, the colour legend and the test of
// each direction.
QWidget* FOpSektoren::buildDeviationArea(QWidget* parent) {
  auto* area = new QWidget(parent);
  area->setObjectName(QStringLiteral("PAbweichungBereich"));
  area->setFixedWidth(DeviationAreaWidth);
  auto* layout = new QVBoxLayout(area);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(4);
  cbAbweichung_ = new QCheckBox(QStringLiteral("&Erwartung und Abweichung zeigen"), area);
  cbAbweichung_->setObjectName(QStringLiteral("cbAbweichung"));
  cbAbweichung_->setToolTip(
      QStringLiteral("Färbt jede Zelle nach ihrem Residuum (beobachtet − erwartet) / √erwartet; "
                     "die Anzahlen bleiben, wie sie sind."));
  connect(cbAbweichung_, &QCheckBox::toggled, this, &FOpSektoren::cbAbweichungClick);
  layout->addWidget(cbAbweichung_);

  pAbweichung_ = new QWidget(area);
  pAbweichung_->setObjectName(QStringLiteral("PAbweichung"));
  auto* details = new QVBoxLayout(pAbweichung_);
  details->setContentsMargins(0, 0, 0, 0);
  details->setSpacing(4);
  details->addWidget(ResidualLegend(QStringLiteral("PLegende"), pAbweichung_, Qt::Vertical));
  QFont small = font();
  small.setPointSize(8);
  lRichtungA_ = WrappedLabel(QString(), QStringLiteral("LRichtungA"), pAbweichung_);
  lRichtungB_ = WrappedLabel(QString(), QStringLiteral("LRichtungB"), pAbweichung_);
  QLabel* note =
      WrappedLabel(FromUtf8(ManyCellsNote), QStringLiteral("LVieleZellen"), pAbweichung_);
  for (QLabel* label : {lRichtungA_, lRichtungB_, note}) {
    label->setFont(small);
    details->addWidget(label);
  }
  pAbweichung_->hide();
  layout->addWidget(pAbweichung_);
  layout->addStretch(1);
  return area;
}

// `InitSectorGrid`: the headings of the fixed cells, the data cells empty.
void FOpSektoren::InitSectorGrid() { ShowGridTexts(InitialSectorGridTexts()); }

void FOpSektoren::ShowGridTexts(const SectorGridTexts& texts) {
  for (int r = 0; r < SectorGridRows; ++r)
    for (int c = 0; c < SectorGridColumns; ++c) {
      const QString cellText = FromUtf8(texts[static_cast<size_t>(r)][static_cast<size_t>(c)]);
      if (QTableWidgetItem* item = gSek_->item(r, c))
        item->setText(cellText);
      else
        gSek_->setItem(r, c, new QTableWidgetItem(cellText));
    }
}

QLabel* FOpSektoren::PanelOf(int number) const {
  return number >= 0 && number < NumberCount ? panels_[static_cast<size_t>(number)] : nullptr;
}

// The number of a palette panel, or -1 for any other control.
int FOpSektoren::PanelNumber(const QString& name) const {
  const auto found = std::find_if(panels_.begin(), panels_.end(),
                                  [&name](QLabel* panel) { return panel->objectName() == name; });
  return found == panels_.end() ? -1 : static_cast<int>(found - panels_.begin());
}

// The list a sector list view of that name shows, or -1.
int FOpSektoren::ListNumber(const QString& name) const {
  const auto found = std::find_if(listViews_.begin(), listViews_.end(),
                                  [&name](QListView* view) { return view->objectName() == name; });
  return found == listViews_.end() ? -1 : static_cast<int>(found - listViews_.begin());
}

// With hiding on, a panel shows exactly while its number stands in no list; with hiding off
// every panel shows.
void FOpSektoren::ShowUnassignedPanels() {
  const bool hiding = cbAusblenden_->isChecked();
  const NumberSet unassigned = lists_->assignment().Unassigned();
  for (int n = 0; n < NumberCount; ++n)
    PanelOf(n)->setVisible(!hiding || unassigned.contains(static_cast<unsigned>(n)));
}

void FOpSektoren::ShowSectorLists(const SectorListNumbers& lists) {
  lists_->fill(lists);
  ShowUnassignedPanels();
}

SectorAssignment FOpSektoren::CurrentAssignment() const { return lists_->assignment(); }

bool FOpSektoren::LMusterDragOver(const QMimeData* mime) const {
  return mime && mime->hasFormat(QLatin1String(DragMimeType));
}

void FOpSektoren::LMusterDragDrop(int target, const QMimeData* mime) {
  const std::optional<DragPayload> payload = readPayload(mime);
  if (!payload)
    return;
  if (payload->row < 0) {
    const int number = PanelNumber(payload->source);
    if (number < 0)
      return;
    if (cbAusblenden_->isChecked())
      PanelOf(number)->hide();
    lists_->append(target, static_cast<uint8_t>(number));
    return;
  }
  // A list entry counts only while it still stands where the drag found it; a label or an
  // empty area carries no number and changes nothing.
  const int source = ListNumber(payload->source);
  if (source < 0 || lists_->showsLabel(source))
    return;
  const std::vector<uint8_t>& numbers = lists_->numbers(source);
  if (payload->row >= static_cast<int>(numbers.size()) ||
      QString::number(numbers[static_cast<size_t>(payload->row)]) != payload->entry)
    return;
  lists_->move(source, payload->row, target);
}

// Unticked every panel shows; ticked, the panels of the numbers standing in some list hide
// and the others keep their state.
void FOpSektoren::cbAusblendenClick() {
  if (!cbAusblenden_->isChecked()) {
    ShowUnassignedPanels();
    return;
  }
  const NumberSet unassigned = CurrentAssignment().Unassigned();
  for (int n = 0; n < NumberCount; ++n)
    if (!unassigned.contains(static_cast<unsigned>(n)))
      PanelOf(n)->hide();
}

void FOpSektoren::BListClearClick() { ShowSectorLists({}); }

void FOpSektoren::ToolButton1Click() {
  ShowSectorLists(PresetSectorLists(SectorPreset::RouletteSeries));
}
void FOpSektoren::ToolButton2Click() {
  ShowSectorLists(PresetSectorLists(SectorPreset::SevenAndFiveSixes));
}
void FOpSektoren::ToolButton3Click() {
  ShowSectorLists(PresetSectorLists(SectorPreset::FiveAndEightFours));
}

void FOpSektoren::BSaveClick() {
  Dialogs& dialogs = Dialogs::instance();
  const QString path = dialogs.saveFile(this, sectorFileRequest(QStringLiteral("Speichern")));
  if (path.isEmpty())
    return;
  const SectorAssignment assignment = CurrentAssignment();
  if (!assignment.IsComplete() &&
      dialogs.confirm(this, FromUtf8(SaveIncompleteQuestion),
                      Dialogs::YesButton | Dialogs::NoButton | Dialogs::HelpButton,
                      help::SectorFiles) != Dialogs::Answer::Yes)
    return;
  if (const QString error = writeSectorFile(path, EncodeSectorFile(assignment)); !error.isEmpty())
    dialogs.error(this, error);
}

void FOpSektoren::BOpenClick() {
  Dialogs& dialogs = Dialogs::instance();
  const QStringList chosen = dialogs.openFiles(this, sectorFileRequest(QStringLiteral("Öffnen")));
  if (chosen.isEmpty())
    return;
  const QString& path = chosen.first();
  const bool anyFilled = lists_->anyHoldsSeveral();
  if (anyFilled && dialogs.confirm(this, FromUtf8(OpenOverwriteQuestion),
                                   Dialogs::YesButton | Dialogs::NoButton) != Dialogs::Answer::Yes)
    return;

  // The record is read and checked before the lists change, so a file that cannot be read
  // or is too short leaves the assignment the user had.
  const SectorFileLoad file = ReadSectorFile(path);
  if (!file.ok()) {
    dialogs.error(this, file.error);
    return;
  }
  const SectorAssignment& loaded = file.assignment;

  ShowSectorLists(SectorListsOf(loaded));
  if (!loaded.IsComplete())
    dialogs.information(this, FromUtf8(OpenedIncompleteNote),
                        Dialogs::OkButton | Dialogs::HelpButton, help::SectorFiles);
}

void FOpSektoren::BitBtn1Click() {
  const std::vector<uint8_t> rowValues = workspace_.table().RowValues();
  const ThrowDistanceResult result = EvaluateThrowDistances(rowValues, CurrentAssignment());
  switch (result.status) {
  case ThrowDistanceStatus::TooFewCoups:
    Dialogs::instance().error(this, FromUtf8(result.message));
    return;
  case ThrowDistanceStatus::IncompleteAssignment:
    ShowGridTexts(InitialSectorGridTexts());
    deviations_.reset();
    ShowDeviations();
    Dialogs::instance().error(this, FromUtf8(result.message));
    return;
  case ThrowDistanceStatus::Counted:
    ShowGridTexts(SectorGridTextsOf(result.counts));
    deviations_ = TestSectorTransitions(rowValues, CurrentAssignment().sectors);
    ShowDeviations();
    return;
  }
}

void FOpSektoren::cbAbweichungClick() { ShowDeviations(); }

namespace {

// "Richtung A: χ² = … (… Freiheitsgrade): verdict", or why the direction has no test.
QString directionLine(const char* direction, const SectorDirectionTest& test, bool partition) {
  const QString name = QStringLiteral("Richtung %1: ").arg(QLatin1String(direction));
  if (!partition)
    return name + QStringLiteral("kein Gesamttest, weil sich Sektoren überschneiden (eine "
                                 "Nummer steht in mehreren Sektoren)");
  if (!test.test.chi2)
    return name + QStringLiteral("kein Gesamttest: zu wenige Übergänge oder nur ein belegter "
                                 "Sektor");
  QString line = name + ChiSquareVerdict(test.test);
  if (!test.test.valid)
    line += QStringLiteral("\n") + SmallExpectedFootnote();
  return line;
}

} // namespace

void FOpSektoren::clearDeviationColours() {
  for (int r = 1; r < SectorGridRows; ++r)
    for (int c = 2; c < SectorGridColumns; ++c)
      if (QTableWidgetItem* item = gSek_->item(r, c)) {
        item->setData(Qt::BackgroundRole, QVariant());
        item->setToolTip(QString());
      }
}

void FOpSektoren::ShowDeviations() {
  clearDeviationColours();
  const bool shown = cbAbweichung_->isChecked();
  pAbweichung_->setVisible(shown);
  if (!shown)
    return;
  if (!deviations_) {
    lRichtungA_->setText(QStringLiteral("Noch keine Auswertung: „Auswertung starten“ zählt die "
                                        "Übergänge, dann zeigt das Raster ihre Abweichung."));
    lRichtungB_->clear();
    lRichtungB_->hide();
    return;
  }
  const std::pair<const SectorDirectionTest*, int> directions[] = {{&deviations_->a, 1},
                                                                   {&deviations_->b, 2}};
  for (auto [test, rowOffset] : directions)
    for (int s = 0; s < SectorCount; ++s)
      for (int t = 0; t < SectorCount; ++t) {
        const double expected = test->expected[s][t];
        if (!(expected > 0))
          continue;
        QTableWidgetItem* item = gSek_->item(2 * s + rowOffset, t + 2);
        const double residual = test->residuals[s][t];
        item->setData(Qt::BackgroundRole, ResidualColour(residual));
        item->setToolTip(QStringLiteral("erwartet %1; Residuum %2")
                             .arg(DecimalText(expected), DecimalText(residual)));
      }
  lRichtungA_->setText(directionLine("A", deviations_->a, deviations_->partition));
  lRichtungB_->setText(directionLine("B", deviations_->b, deviations_->partition));
  lRichtungB_->show();
}

} // namespace kw
