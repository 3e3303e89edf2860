#include "ui/FOptionen.h"

#include "files/Folders.h"
#include "files/Settings.h"
#include "ui/Dialogs.h"
#include "ui/Help.h"
#include "ui/HelpTopics.h"
#include "ui/Icons.h"
#include "ui/WindowParts.h"
#include "workspace/HandChangeListModel.h"
#include "workspace/Workspace.h"

#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace kw {
namespace {

constexpr int ClientWidth = 485;
constexpr int ClientHeight = 331;

// One of the three start-up files and the dialog that chooses it.
struct StartFileChoice {
  QString StartFiles::*file;
  QString filter;
  QString defaultSuffix;
  QString (*startDir)();
};

const StartFileChoice PermanenceChoice{
    &StartFiles::StartPermanenceFile,
    QStringLiteral("Permanenzen (*.prm);;Text-Dateien (*.txt);;Alle Dateien (*.*)"),
    QStringLiteral("prm"), &PermanenceDir};
const StartFileChoice StakeChoice{&StartFiles::StartStakeFile,
                                  QStringLiteral("Einsatz-Staffelung (*.set)"),
                                  QStringLiteral("set"), &DataDir};
const StartFileChoice SectorChoice{&StartFiles::StartSectorFile,
                                   QStringLiteral("Sektoreneinteilung (*.sekt)"), QString(),
                                   &DataDir};

QString ShownFile(const QString& path) {
  return path.isEmpty() ? QString() : ShortFileDisplay(path);
}

// Runs the dialog; on OK the start-up file changes at once (stored only by saving).
void ChooseStartFile(QWidget* parent, Workspace& workspace, const StartFileChoice& choice) {
  Dialogs::FileRequest request;
  request.title = QStringLiteral("Datei auswählen");
  request.filter = choice.filter;
  request.defaultSuffix = choice.defaultSuffix;
  request.startDir = choice.startDir();
  const QStringList chosen = Dialogs::instance().openFiles(parent, request);
  if (chosen.isEmpty())
    return;
  workspace.SetStartFile(choice.file, QDir::toNativeSeparators(chosen.first()));
}

QLabel* Reminder(QWidget* parent) {
  auto* label = new QLabel(QStringLiteral("Speichern nicht vergessen!"), parent);
  label->setStyleSheet(QStringLiteral("color: #FF0000; font-weight: bold;"));
  return label;
}

QToolButton* SmallButton(const QString& name, const QString& icon, const QString& tip,
                         QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setIcon(AppIcon(icon));
  button->setToolTip(tip);
  button->setFixedSize(24, 22);
  return button;
}

} // namespace

FOptionen::FOptionen(Workspace& workspace, QWidget* parent)
    : QDialog(parent), workspace_(workspace) {
  setObjectName(QStringLiteral("FOptionen"));
  FormCreate();
}

void FOptionen::FormCreate() {
  setWindowTitle(QStringLiteral("Kesselwerk"));
  InstallHelpKey(this, help::Settings);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(4);
  layout->addWidget(buildBar(true));

  auto* halves = new QHBoxLayout;
  halves->setContentsMargins(6, 0, 6, 0);
  auto* left = new QVBoxLayout;
  left->addWidget(
      HeadingStrip(QStringLiteral("Programmeinstellungen"), this, QStringLiteral("PTitel")));
  auto* note = new QLabel(QStringLiteral("Hier können Sie Einstellungen vornehmen, die die "
                                         "Arbeit mit dem Programm erleichtern"),
                          this);
  note->setObjectName(QStringLiteral("LHinweis"));
  note->setWordWrap(true);
  left->addWidget(note);
  left->addWidget(buildMarkerGroup(), 1);
  halves->addLayout(left, 1);
  // The start-up file names are short ("...\" + name); the marker list needs the room.
  QWidget* startFiles = buildStartFileGroup();
  startFiles->setMaximumWidth(180);
  halves->addWidget(startFiles);
  layout->addLayout(halves, 1);
  layout->addWidget(buildBar(false));

  // The start-up files shown follow every change, from here or from the system test.
  connect(&workspace_, &Workspace::startFilesChanged, this, &FOptionen::ShowStartFiles);
  ShowStartFiles();
  setFixedSize(ClientWidth, ClientHeight);
  setUpKeyboard();
}

// Enter belongs to the field it is typed in: no button is the dialog's default, so Enter in
// "Neuer Eintrag" adds the entry and never saves by surprise. Both save buttons show
// "S&peichern"; only the top one holds Alt+P, so the mnemonic saves at once instead of
// jumping between two buttons, and Ctrl+S saves as well.
void FOptionen::setUpKeyboard() {
  for (QPushButton* button : findChildren<QPushButton*>()) {
    button->setAutoDefault(false);
    button->setDefault(false);
  }
  findChild<QPushButton*>(QStringLiteral("BSave2"))->setShortcut(QKeySequence());
  auto* save = new QShortcut(QKeySequence::Save, this);
  connect(save, &QShortcut::activated, this, &FOptionen::BSaveClick);
  connect(e1_, &QLineEdit::returnPressed, this, &FOptionen::BHinzuClick);
}

QWidget* FOptionen::buildBar(bool top) {
  auto* bar = new QWidget(this);
  bar->setObjectName(top ? QStringLiteral("PTop") : QStringLiteral("PBottom"));
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(6, 4, 6, 4);
  auto* save = new QPushButton(QStringLiteral("S&peichern"), bar);
  save->setObjectName(top ? QStringLiteral("BSave") : QStringLiteral("BSave2"));
  save->setIcon(AppIcon(QStringLiteral("save")));
  save->setToolTip(QStringLiteral("Einstellungen speichern (Alt+P oder Strg+S)"));
  connect(save, &QPushButton::clicked, this, &FOptionen::BSaveClick);
  row->addWidget(save);
  row->addWidget(Reminder(bar));
  row->addStretch(1);
  if (top) {
    auto* help = HelpButton(help::Settings, QStringLiteral("BHilfe"), bar);
    row->addWidget(help);
  } else {
    auto* close = new QPushButton(QStringLiteral("Sch&ließen"), bar);
    close->setObjectName(QStringLiteral("Button4"));
    connect(close, &QPushButton::clicked, this, &FOptionen::Button4Click);
    row->addWidget(close);
  }
  return bar;
}

QWidget* FOptionen::buildMarkerGroup() {
  auto* group = new QGroupBox(QStringLiteral("Zeichen für Handwechsel"), this);
  group->setObjectName(QStringLiteral("GBHandwechsel"));
  auto* grid = new QGridLayout(group);
  grid->setContentsMargins(6, 4, 6, 6);
  grid->setVerticalSpacing(3);
  grid->addWidget(new QLabel(QStringLiteral("Vorhandene Einträge"), group), 0, 0);
  l1_ = new QListView(group);
  l1_->setObjectName(QStringLiteral("L1"));
  l1_->setModel(&workspace_.handChangeList());
  l1_->setSelectionMode(QAbstractItemView::SingleSelection);
  l1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->addWidget(l1_, 1, 0, 3, 1);
  grid->addWidget(new QLabel(QStringLiteral("Neuer Eintrag"), group), 0, 1);
  e1_ = new QLineEdit(group);
  e1_->setObjectName(QStringLiteral("e1"));
  grid->addWidget(e1_, 1, 1);
  auto* add = new QPushButton(QStringLiteral("Eintrag &hinzufügen"), group);
  add->setObjectName(QStringLiteral("BHinzu"));
  connect(add, &QPushButton::clicked, this, &FOptionen::BHinzuClick);
  grid->addWidget(add, 2, 1);
  auto* del = new QPushButton(QStringLiteral("Markierten Eintrag löschen"), group);
  del->setObjectName(QStringLiteral("BDel"));
  connect(del, &QPushButton::clicked, this, &FOptionen::BDelClick);
  grid->addWidget(del, 4, 0, 1, 2);
  grid->setRowStretch(3, 1);
  grid->setColumnStretch(0, 1);
  return group;
}

QWidget* FOptionen::buildStartFileGroup() {
  auto* group = new QGroupBox(QStringLiteral("Mit Programmstart einlesen..."), this);
  group->setObjectName(QStringLiteral("GBStart"));
  auto* column = new QVBoxLayout(group);
  column->setContentsMargins(6, 4, 6, 6);
  column->addWidget(buildStartFileRow(QStringLiteral("Permanenz aus..."), QStringLiteral("EPerm"),
                                      QStringLiteral("Button8"), QStringLiteral("Button7"),
                                      &ePerm_));
  column->addWidget(buildStartFileRow(QStringLiteral("Einsatzstaffelung aus..."),
                                      QStringLiteral("EEinsatz"), QStringLiteral("Button10"),
                                      QStringLiteral("Button9"), &eEinsatz_));
  column->addWidget(buildStartFileRow(QStringLiteral("Sektoreneinteilung aus..."),
                                      QStringLiteral("ESekt"), QStringLiteral("Button6"),
                                      QStringLiteral("Button5"), &eSekt_));
  column->addStretch(1);
  connect(findChild<QToolButton*>(QStringLiteral("Button8")), &QToolButton::clicked, this,
          &FOptionen::Button8Click);
  connect(findChild<QToolButton*>(QStringLiteral("Button7")), &QToolButton::clicked, this,
          &FOptionen::Button7Click);
  connect(findChild<QToolButton*>(QStringLiteral("Button10")), &QToolButton::clicked, this,
          &FOptionen::Button10Click);
  connect(findChild<QToolButton*>(QStringLiteral("Button9")), &QToolButton::clicked, this,
          &FOptionen::Button9Click);
  connect(findChild<QToolButton*>(QStringLiteral("Button6")), &QToolButton::clicked, this,
          &FOptionen::Button6Click);
  connect(findChild<QToolButton*>(QStringLiteral("Button5")), &QToolButton::clicked, this,
          &FOptionen::Button5Click);
  return group;
}

QWidget* FOptionen::buildStartFileRow(const QString& title, const QString& editName,
                                      const QString& chooseName, const QString& clearName,
                                      QLineEdit** edit) {
  auto* group = new QGroupBox(title, this);
  auto* row = new QHBoxLayout(group);
  row->setContentsMargins(6, 2, 6, 4);
  row->setSpacing(3);
  row->addWidget(new QLabel(QStringLiteral("Datei"), group));
  *edit = new QLineEdit(group);
  (*edit)->setObjectName(editName);
  (*edit)->setReadOnly(true);
  row->addWidget(*edit, 1);
  row->addWidget(
      SmallButton(chooseName, QStringLiteral("open"), QStringLiteral("Datei auswählen"), group));
  row->addWidget(
      SmallButton(clearName, QStringLiteral("trash"), QStringLiteral("Eintrag leeren"), group));
  return group;
}

void FOptionen::ShowStartFiles() {
  const StartFiles& files = workspace_.startFiles();
  ePerm_->setText(ShownFile(files.StartPermanenceFile));
  eEinsatz_->setText(ShownFile(files.StartStakeFile));
  eSekt_->setText(ShownFile(files.StartSectorFile));
}

// optionen.ini and HWListe.txt are written each on its own: a file that cannot be written is
// reported and never keeps the other from being written.
void FOptionen::BSaveClick() {
  SaveStartFiles();
  if (const QString error = workspace_.SaveHandChangeList(); !error.isEmpty())
    Dialogs::instance().error(this, error);
}

void FOptionen::SaveStartFiles() {
  if (const QString error = workspace_.SaveStartFiles(); !error.isEmpty())
    Dialogs::instance().error(this, error);
}

void FOptionen::Button4Click() { close(); }

void FOptionen::Button8Click() { ChooseStartFile(this, workspace_, PermanenceChoice); }
void FOptionen::Button7Click() { workspace_.SetStartFile(PermanenceChoice.file, QString()); }
void FOptionen::Button10Click() { ChooseStartFile(this, workspace_, StakeChoice); }
void FOptionen::Button9Click() { workspace_.SetStartFile(StakeChoice.file, QString()); }
void FOptionen::Button6Click() { ChooseStartFile(this, workspace_, SectorChoice); }
void FOptionen::Button5Click() { workspace_.SetStartFile(SectorChoice.file, QString()); }

void FOptionen::BHinzuClick() {
  if (e1_->text().isEmpty())
    return;
  workspace_.AddHandChangeEntry(e1_->text().toStdString());
}

int FOptionen::SelectedRow() const {
  int selected = -1;
  for (const QModelIndex& index : l1_->selectionModel()->selectedRows())
    selected = std::max(selected, index.row());
  return selected;
}

void FOptionen::BDelClick() {
  const int selected = SelectedRow();
  Dialogs& dialogs = Dialogs::instance();
  if (selected < 0) {
    dialogs.error(this,
                  QStringLiteral("Es wurde kein Listeneintrag selektiert.\r\rIch breche ab."));
    return;
  }
  const QString entry = l1_->model()->index(selected, 0).data().toString();
  const QString question =
      QStringLiteral("Soll der Bezeichner ") + entry + QStringLiteral(" gelöscht werden?");
  if (dialogs.confirm(this, question, Dialogs::YesButton | Dialogs::NoButton | Dialogs::HelpButton,
                      help::Transfer) != Dialogs::Answer::Yes)
    return;
  // Both files are written, each reported on its own. The entry leaves the list box only when
  // the list without it was saved, so the list box and HWListe.txt never disagree about it.
  SaveStartFiles();
  if (const QString error = workspace_.RemoveHandChangeEntry(selected); !error.isEmpty())
    dialogs.error(this, error);
}

} // namespace kw
