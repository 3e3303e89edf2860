// The main window's file page: permanence files opened into the memo M1 and transferred
// into the table, both through the workspace's steps.
#include "ui/FHaupt.h"

#include "files/Folders.h"
#include "files/TextFile.h"
#include "ui/Dialogs.h"
#include "ui/FImport.h"
#include "ui/HelpTopics.h"
#include "ui/MemoEdit.h"
#include "workspace/Workspace.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QStackedWidget>
#include <QUrl>

#include <optional>
#include <string>
#include <vector>

namespace kw {
namespace {

// The transfer's questions carry the help page about reading permanences.
constexpr int QuestionButtons = Dialogs::YesButton | Dialogs::NoButton | Dialogs::HelpButton;

// The lines as the memo keeps them, so it takes them in a single call however many there are.
std::vector<QString> MemoLines(const std::vector<std::string>& lines) {
  std::vector<QString> memoLines;
  memoLines.reserve(lines.size());
  for (const std::string& line : lines)
    memoLines.push_back(QString::fromStdString(line));
  return memoLines;
}

// The local files of a drag, in its order; empty when it carries anything else.
QStringList LocalFiles(const QMimeData* data) {
  QStringList paths;
  if (!data || !data->hasUrls())
    return paths;
  for (const QUrl& url : data->urls()) {
    if (!url.isLocalFile())
      return {};
    paths << url.toLocalFile();
  }
  return paths;
}

} // namespace

void FHaupt::BImportClick() {
  Dialogs::FileRequest request;
  request.title = QStringLiteral("Permanenz importieren");
  request.filter =
      QStringLiteral("Listen und Tabellen (*.txt *.csv *.tsv *.prm);;Alle Dateien (*)");
  request.startDir = QDir::homePath();
  request.multiple = true;
  const QStringList files = Dialogs::instance().openFiles(this, request);
  if (!files.isEmpty())
    ImportFiles(files);
}

void FHaupt::ImportFiles(const QStringList& paths) {
  if (ImportPermanenceFiles(this, workspace_, paths) != FImport::Outcome::Memo)
    return;
  // The lines stand in M1 now: the file page shows them and its transfer button is next.
  pages_->setCurrentIndex(0);
  if (auto* transfer = findChild<QPushButton*>(QStringLiteral("BTransfer")))
    transfer->setFocus();
}

void FHaupt::dragEnterEvent(QDragEnterEvent* event) {
  if (!LocalFiles(event->mimeData()).isEmpty())
    event->acceptProposedAction();
}

void FHaupt::dropEvent(QDropEvent* event) {
  const QStringList paths = LocalFiles(event->mimeData());
  if (paths.isEmpty())
    return;
  event->acceptProposedAction();
  // The drag's source waits for the drop to end; the import with its dialogs runs after it.
  QMetaObject::invokeMethod(
      this, [this, paths] { ImportFiles(paths); }, Qt::QueuedConnection);
}

void FHaupt::BOpenClick() {
  Dialogs::FileRequest request;
  request.title = QStringLiteral("Datei öffnen");
  request.filter = QStringLiteral("Permanenz-Format (*.prm);;Alle Dateien (*.*)");
  request.startDir = PermanenceDir();
  request.multiple = true;
  const QStringList files = Dialogs::instance().openFiles(this, request);
  if (files.isEmpty())
    return;

  // Every file is read before the memo changes, so a file that cannot be read leaves the
  // memo as it was.
  m1_->hide();
  const TextLines read = workspace_.OpenFiles(files);
  if (read.ok())
    m1_->setLines(MemoLines(read.lines));
  m1_->show();
  if (!read.ok())
    Dialogs::instance().error(this, read.error);
}

void FHaupt::BDelClick() { m1_->clear(); }

void FHaupt::BTransferClick() {
  // Five lines of M1 are needed, counted as the memo shows them: a file of four coups and an
  // empty last line makes five, as on the command line.
  if (m1_->isEmpty() || !Workspace::CanTransfer(m1_->lineCount()))
    return;

  if (table().UsedRows() > 0) {
    Dialogs& dialogs = Dialogs::instance();
    const Dialogs::Answer append = dialogs.confirm(
        this,
        QStringLiteral(
            "Die Tabelle ist nicht leer.\r\rSollen die eingelesen Daten angehängt werden?"),
        QuestionButtons, help::Transfer);
    if (append == Dialogs::Answer::No) {
      const Dialogs::Answer clear = dialogs.confirm(
          this, QStringLiteral("Soll die Tabelle geleert werden?\r\rAndernfalls breche ich ab."),
          QuestionButtons, help::Transfer);
      if (clear != Dialogs::Answer::Yes)
        return;
      BDel2Click();
    }
  }

  // The rows are appended in one go and the view is told once, so a long permanence does not
  // repaint row by row.
  const std::string memoText = m1_->toPlainText().toStdString();
  workspace_.TransferMemoText(memoText);
}

void FHaupt::LoadStartPermanence() {
  // The start-up files were read from optionen.ini before the windows were created; now the
  // hand-change list the pad and the transfer use.
  if (const QString error = workspace_.LoadHandChangeList(); !error.isEmpty())
    Dialogs::instance().error(this, error);

  const std::optional<TextLines> read = workspace_.OpenStartPermanence();
  if (!read)
    return;
  if (!read->ok()) {
    Dialogs::instance().error(this, read->error);
    return;
  }
  m1_->setLines(MemoLines(read->lines));
  m1_->show();
}

// Lines handed to M1 by another window (the random generator's list) replace its text.
void FHaupt::takeMemoLines(const std::vector<std::string>& lines) {
  m1_->setLines(MemoLines(lines));
}

} // namespace kw
