#include "ui/FZufall.h"

#include "files/Folders.h"
#include "files/Settings.h"
#include "files/TextFile.h"
#include "tools/RandomBlockTime.h"
#include "tools/RandomGenerator.h"
#include "ui/Dialogs.h"
#include "ui/DigitsOnly.h"
#include "ui/Help.h"
#include "ui/HelpTopics.h"
#include "ui/Icons.h"
#include "ui/WindowParts.h"
#include "workspace/Workspace.h"

#include <QApplication>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

namespace kw {
namespace {

QPushButton* imageButton(const QString& icon, const QString& tip, QWidget* parent,
                         const QString& name) {
  auto* button = new QPushButton(parent);
  button->setObjectName(name);
  button->setIcon(AppIcon(icon));
  button->setToolTip(tip);
  button->setFixedSize(28, 28);
  return button;
}

QPushButton* textButton(const QString& text, QWidget* parent, const QString& name) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  return button;
}

} // namespace

int RandomListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

QVariant RandomListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() ||
      static_cast<size_t>(index.row()) >= lines_.size())
    return {};
  return QString::fromStdString(lines_[static_cast<size_t>(index.row())]);
}

void RandomListModel::append(std::vector<std::string> block) {
  if (block.empty())
    return;
  const int first = static_cast<int>(lines_.size());
  beginInsertRows({}, first, first + static_cast<int>(block.size()) - 1);
  lines_.insert(lines_.end(), std::make_move_iterator(block.begin()),
                std::make_move_iterator(block.end()));
  endInsertRows();
}

void RandomListModel::clear() {
  beginResetModel();
  lines_.clear();
  lines_.shrink_to_fit();
  endResetModel();
}

FZufall::FZufall(Workspace& workspace, QWidget* parent) : QWidget(parent), workspace_(workspace) {
  setObjectName(QStringLiteral("FZufall"));
  FormCreate();
}

void FZufall::FormCreate() {
  setWindowTitle(QStringLiteral("Kesselwerk"));
  setWindowFlag(Qt::Window);
  InstallHelpKey(this, help::Tools);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->setSpacing(4);

  auto* label1 = new QLabel(QStringLiteral("Hier können Sie Zufallszahlen generieren, speichern "
                                           "und ins Hauptfenster transferieren"),
                            this);
  label1->setObjectName(QStringLiteral("Label1"));
  label1->setWordWrap(true);
  layout->addWidget(label1);

  model_ = new RandomListModel(this);
  l1_ = new QListView(this);
  l1_->setObjectName(QStringLiteral("L1"));
  l1_->setUniformItemSizes(true); // rows are measured once, not per line
  l1_->setModel(model_);
  layout->addWidget(l1_, 1);

  auto* countRow = new QHBoxLayout;
  auto* del = imageButton(QStringLiteral("trash"), QStringLiteral("Liste leeren"), this,
                          QStringLiteral("BDel"));
  connect(del, &QPushButton::clicked, this, &FZufall::BDelClick);
  countRow->addWidget(del);
  countRow->addStretch(1);
  auto* label2 = new QLabel(QStringLiteral("Anzahl"), this);
  label2->setObjectName(QStringLiteral("Label2"));
  countRow->addWidget(label2);
  edit1_ = new QLineEdit(this);
  edit1_->setObjectName(QStringLiteral("Edit1"));
  edit1_->setMaxLength(5);
  edit1_->setFixedWidth(56);
  // Typed characters other than digits never reach the count; a pasted text is judged when
  // generating.
  edit1_->installEventFilter(new DigitsOnlyFilter(edit1_));
  label2->setBuddy(edit1_);
  countRow->addWidget(edit1_);
  auto* store = imageButton(QStringLiteral("save"), QStringLiteral("Anzahl als Vorgabe speichern"),
                            this, QStringLiteral("Button4"));
  connect(store, &QPushButton::clicked, this, &FZufall::Button4Click);
  countRow->addWidget(store);
  layout->addLayout(countRow);

  auto* generate =
      textButton(QStringLiteral("Zahlen &generieren"), this, QStringLiteral("Button3"));
  connect(generate, &QPushButton::clicked, this, &FZufall::Button3Click);
  layout->addWidget(generate);
  auto* save = textButton(QStringLiteral("Speichern..."), this, QStringLiteral("Button5"));
  connect(save, &QPushButton::clicked, this, &FZufall::Button5Click);
  layout->addWidget(save);
  auto* transfer =
      textButton(QStringLiteral("Transfer ins Hauptfenster"), this, QStringLiteral("Button6"));
  connect(transfer, &QPushButton::clicked, this, &FZufall::Button6Click);
  layout->addWidget(transfer);

  auto* bottom = new QHBoxLayout;
  auto* help = HelpButton(help::Tools, QStringLiteral("Button2"), this);
  bottom->addWidget(help);
  auto* close = textButton(QStringLiteral("Sch&ließen"), this, QStringLiteral("Button1"));
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  bottom->addWidget(close, 1);
  layout->addLayout(bottom);

  edit1_->setText(ReadRandomCount());
  resize(193, 529);
}

void FZufall::BDelClick() { model_->clear(); }

void FZufall::Button3Click() {
  const QByteArray count = edit1_->text().toUtf8();
  std::vector<std::string> block = GenerateRandomBlock(
      ApplicationRandomGenerator(), std::string_view(count.data(), count.size()),
      RandomBlockDateTime(QDateTime::currentDateTime()));
  // An empty, zero or pasted non-numeric count draws nothing.
  if (block.empty()) {
    Dialogs::instance().error(this, FromUtf8(RandomCountMessage));
    return;
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  model_->append(std::move(block));
  QApplication::restoreOverrideCursor();
}

void FZufall::Button4Click() {
  const QString error = WriteRandomCount(edit1_->text());
  if (!error.isEmpty())
    Dialogs::instance().error(this, error);
}

void FZufall::Button5Click() {
  if (model_->lines().empty()) {
    Dialogs::instance().error(this, FromUtf8(RandomListEmptySaveMessage));
    return;
  }
  Dialogs::FileRequest request;
  request.title = QStringLiteral("Speichern unter");
  request.filter = QStringLiteral("Permanenz-Format (*.prm)");
  request.defaultSuffix = QStringLiteral("prm");
  request.startDir = PermanenceDir();
  const QString path = Dialogs::instance().saveFile(this, request);
  if (path.isEmpty())
    return;
  const QString error = WriteTextLines(path, model_->lines(), TextEncoding::Windows1252);
  if (!error.isEmpty())
    Dialogs::instance().error(this, error);
}

void FZufall::Button6Click() {
  if (model_->lines().empty()) {
    Dialogs::instance().error(this, FromUtf8(RandomListEmptyTransferMessage));
    return;
  }
  if (workspace_.MemoHoldsText() &&
      Dialogs::instance().confirm(this, FromUtf8(RandomTransferOverwriteQuestion),
                                  Dialogs::YesButton | Dialogs::NoButton | Dialogs::CancelButton) !=
          Dialogs::Answer::Yes)
    return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  workspace_.HandToMemo(model_->lines());
  QApplication::restoreOverrideCursor();
}

} // namespace kw
