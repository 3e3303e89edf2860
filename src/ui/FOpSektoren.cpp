#include "ui/FOpSektoren.h"

#include "core/RouletteTables.h"
#include "files/Folders.h"
#include "files/SectorFileReader.h"
#include "files/TextFile.h"
#include "sectors/SectorFile.h"
#include "sectors/ThrowDistance.h"
#include "ui/Dialogs.h"
#include "ui/Help.h"
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
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <optional>
#include <span>

namespace kw {
namespace {

constexpr int ClientWidth = 934;
constexpr int ClientHeight = 652;
// The help page of the window's questions and notes.
constexpr int SectorMessagesHelpContext = 100;
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

// A sector list: its entries can be dragged away, and it accepts palette panels and the
// entries of any sector list.
class SectorList : public QListWidget {
public:
  SectorList(FOpSektoren* window, QWidget* parent) : QListWidget(parent), window_(window) {
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setTextElideMode(Qt::ElideNone);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  }

protected:
  void dragEnterEvent(QDragEnterEvent* event) override { acceptIfSector(event); }
  void dragMoveEvent(QDragMoveEvent* event) override { acceptIfSector(event); }
  void dropEvent(QDropEvent* event) override {
    if (!window_->LMusterDragOver(this, event->mimeData())) {
      event->ignore();
      return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
    window_->LMusterDragDrop(this, event->mimeData());
  }

  // The entry under the mouse when the drag began; an empty list or its label carries
  // no number, so no drag starts.
  void startDrag(Qt::DropActions) override {
    QListWidgetItem* entry = currentItem();
    if (!entry || !IsNumberEntry(entry->text().toStdString()))
      return;
    auto* drag = new QDrag(this);
    drag->setMimeData(FOpSektoren::SectorDragData(objectName(), row(entry), entry->text()));
    drag->exec(Qt::MoveAction);
  }

private:
  void acceptIfSector(QDragMoveEvent* event) {
    if (window_->LMusterDragOver(this, event->mimeData())) {
      event->setDropAction(Qt::MoveAction);
      event->accept();
    } else {
      event->ignore();
    }
  }

  FOpSektoren* window_;
};

// `GSekDrawCell`: fixed cells with their text 2 pixels in from the left and top, data cells
// centred 2 pixels below the top, opaque and clipped; a selection is never highlighted.
class SectorGridDelegate : public QStyledItemDelegate {
public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const bool fixed = index.column() < 2 || index.row() < 1;
    const QRect cell = option.rect;
    painter->save();
    painter->setClipRect(cell);
    painter->fillRect(cell, option.palette.color(fixed ? QPalette::Button : QPalette::Base));
    painter->setPen(option.palette.color(QPalette::Text));
    painter->setFont(option.font);
    const QString cellText = index.data().toString();
    const QFontMetrics metrics(option.font);
    const int x = fixed ? cell.left() + 2
                        : cell.left() + (cell.width() - metrics.horizontalAdvance(cellText)) / 2;
    painter->drawText(QPoint(x, cell.top() + 2 + metrics.ascent()), cellText);
    painter->restore();
  }
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
  config.helpContext = 1090;
  config.analysenEntries = {Command::Serien, Command::Systemtest};
  config.hiddenButtons = {Command::Sektoren};
  config.disabledButtons = {Command::Sektoren};
  chrome_ = WindowChrome::install(this, config);
  InstallHelpKey(this, 1090);
  chrome_->setHandler(Command::Open, [this] { BOpenClick(); });
  chrome_->setHandler(Command::Save, [this] { BSaveClick(); });

  auto* client = new QWidget(this);
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
    auto* list = new SectorList(this, pSektoren);
    list->setObjectName(QStringLiteral("lb%1").arg(s + 1));
    list->setGeometry((s / 3) * ListCell, (s % 3) * ListCell, ListCell, ListCell);
    lists_[static_cast<size_t>(s)] = list;
    ResetSectorList(s + 1);
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
  gSek_->horizontalHeader()->hide();
  gSek_->verticalHeader()->hide();
  gSek_->horizontalHeader()->setDefaultSectionSize(43);
  gSek_->horizontalHeader()->setMinimumSectionSize(1);
  gSek_->setColumnWidth(0, 59);
  gSek_->setColumnWidth(1, 49);
  gSek_->verticalHeader()->setMinimumSectionSize(1);
  gSek_->verticalHeader()->setDefaultSectionSize(18);
  gSek_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  gSek_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  gSek_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  gSek_->setSelectionMode(QAbstractItemView::NoSelection);
  gSek_->setItemDelegate(new SectorGridDelegate(gSek_));
  QFont gridFont = gSek_->font();
  gridFont.setPointSize(8);
  gSek_->setFont(gridFont);
  layout->addWidget(gSek_, 1);

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

bool FOpSektoren::IsLabelState(const QListWidget* list) { return list->font().pointSize() > 10; }

void FOpSektoren::ResetSectorList(int sector) {
  QListWidget* list = lists_[static_cast<size_t>(sector - 1)];
  list->clear();
  QFont f = list->font();
  f.setPointSize(LabelFontSize);
  list->setFont(f);
  QPalette p = list->palette();
  p.setColor(QPalette::Base, ListBackground);
  p.setColor(QPalette::Text, LabelText);
  list->setPalette(p);
  list->setFlow(QListView::TopToBottom);
  list->setWrapping(false);
  list->setGridSize(QSize());
  list->addItem(FromUtf8(SectorLabel(sector)));
}

void FOpSektoren::SetListMode(QListWidget* list) {
  list->clear();
  QFont f = list->font();
  f.setPointSize(ListFontSize);
  list->setFont(f);
  QPalette p = list->palette();
  p.setColor(QPalette::Base, ListBackground);
  p.setColor(QPalette::Text, Qt::black);
  list->setPalette(p);
  // Four columns: the entries run down the first column, then on into the next.
  list->setFlow(QListView::TopToBottom);
  list->setWrapping(true);
  list->setResizeMode(QListView::Adjust);
  const int columnWidth = (ListCell - 2 * list->frameWidth()) / ListColumns;
  list->setGridSize(QSize(columnWidth, QFontMetrics(f).height() + 1));
}

QLabel* FOpSektoren::PanelOf(int number) const {
  return number >= 0 && number < NumberCount ? panels_[static_cast<size_t>(number)] : nullptr;
}

QListWidget* FOpSektoren::ListByName(const QString& name) const {
  for (QListWidget* list : lists_)
    if (list->objectName() == name)
      return list;
  return nullptr;
}

void FOpSektoren::ShowAllPanels() {
  for (QLabel* panel : panels_)
    panel->show();
}

void FOpSektoren::HideAllPanels() {
  for (QLabel* panel : panels_)
    panel->hide();
}

SectorAssignment FOpSektoren::CurrentAssignment() const {
  SectorListEntries entries;
  for (int s = 0; s < SectorCount; ++s) {
    const QListWidget* list = lists_[static_cast<size_t>(s)];
    for (int i = 0; i < list->count(); ++i)
      entries[static_cast<size_t>(s)].push_back(list->item(i)->text().toStdString());
  }
  return BuildSectorAssignment(entries);
}

bool FOpSektoren::LMusterDragOver(QListWidget*, const QMimeData* mime) const {
  return mime && mime->hasFormat(QLatin1String(DragMimeType));
}

void FOpSektoren::LMusterDragDrop(QListWidget* target, const QMimeData* mime) {
  const std::optional<DragPayload> payload = readPayload(mime);
  if (!payload)
    return;
  QLabel* panel = nullptr;
  QListWidget* sourceList = nullptr;
  if (payload->row < 0) {
    panel = findChild<QLabel*>(payload->source);
    if (!panel || std::find(panels_.begin(), panels_.end(), panel) == panels_.end())
      return;
  } else {
    // A list entry counts only while it still stands where the drag found it; a label or
    // an empty area carries no number and changes nothing.
    sourceList = ListByName(payload->source);
    if (!sourceList || payload->row >= sourceList->count() ||
        sourceList->item(payload->row)->text() != payload->entry ||
        !IsNumberEntry(payload->entry.toStdString()) || IsLabelState(sourceList))
      return;
  }

  if (IsLabelState(target))
    SetListMode(target);
  if (panel) {
    if (cbAusblenden_->isChecked())
      panel->hide();
    target->addItem(panel->text());
  } else {
    // Appended first, so an entry dropped onto its own list still stands at its row.
    target->addItem(payload->entry);
    delete sourceList->takeItem(payload->row);
  }
}

void FOpSektoren::cbAusblendenClick() {
  if (!cbAusblenden_->isChecked()) {
    ShowAllPanels();
    return;
  }
  const SectorAssignment assignment = CurrentAssignment();
  for (const NumberSet& sector : assignment.sectors)
    for (int n = 0; n < NumberCount; ++n)
      if (sector.contains(static_cast<unsigned>(n)))
        PanelOf(n)->hide();
}

void FOpSektoren::BListClearClick() {
  for (int s = 1; s <= SectorCount; ++s)
    ResetSectorList(s);
  ShowAllPanels();
}

void FOpSektoren::ApplyPreset(SectorPreset preset) {
  BListClearClick();
  const SectorListNumbers numbers = PresetSectorLists(preset);
  for (int s = 0; s < SectorCount; ++s) {
    const std::vector<uint8_t>& sector = numbers[static_cast<size_t>(s)];
    if (sector.empty())
      continue;
    QListWidget* list = lists_[static_cast<size_t>(s)];
    SetListMode(list);
    for (uint8_t n : sector)
      list->addItem(QString::number(n));
  }
  if (cbAusblenden_->isChecked())
    HideAllPanels();
}

void FOpSektoren::ToolButton1Click() { ApplyPreset(SectorPreset::RouletteSeries); }
void FOpSektoren::ToolButton2Click() { ApplyPreset(SectorPreset::SevenAndFiveSixes); }
void FOpSektoren::ToolButton3Click() { ApplyPreset(SectorPreset::FiveAndEightFours); }

void FOpSektoren::BSaveClick() {
  Dialogs& dialogs = Dialogs::instance();
  const QString path = dialogs.saveFile(this, sectorFileRequest(QStringLiteral("Speichern")));
  if (path.isEmpty())
    return;
  const SectorAssignment assignment = CurrentAssignment();
  if (!assignment.IsComplete() &&
      dialogs.confirm(this, FromUtf8(SaveIncompleteQuestion),
                      Dialogs::YesButton | Dialogs::NoButton | Dialogs::HelpButton,
                      SectorMessagesHelpContext) != Dialogs::Answer::Yes)
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
  const bool anyFilled =
      std::any_of(lists_.begin(), lists_.end(), [](QListWidget* l) { return l->count() >= 2; });
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

  const SectorListNumbers numbers = SectorListsOf(loaded);
  for (int s = 0; s < SectorCount; ++s) {
    const std::vector<uint8_t>& sector = numbers[static_cast<size_t>(s)];
    QListWidget* list = lists_[static_cast<size_t>(s)];
    if (sector.empty()) {
      ResetSectorList(s + 1);
      continue;
    }
    SetListMode(list);
    for (uint8_t n : sector)
      list->addItem(QString::number(n));
  }
  if (cbAusblenden_->isChecked()) {
    const NumberSet unassigned = loaded.Unassigned();
    for (int n = 0; n < NumberCount; ++n)
      PanelOf(n)->setVisible(unassigned.contains(static_cast<unsigned>(n)));
  }
  if (!loaded.IsComplete())
    dialogs.information(this, FromUtf8(OpenedIncompleteNote),
                        Dialogs::OkButton | Dialogs::HelpButton, SectorMessagesHelpContext);
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
    Dialogs::instance().error(this, FromUtf8(result.message));
    return;
  case ThrowDistanceStatus::Counted:
    ShowGridTexts(SectorGridTextsOf(result.counts));
    return;
  }
}

} // namespace kw
