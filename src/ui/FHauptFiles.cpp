// The main window's file page: permanence files opened into the memo M1 and transferred
// into the table.
#include "ui/FHaupt.h"

#include "files/Folders.h"
#include "files/HandChangeMarkers.h"
#include "files/PermanenceLines.h"
#include "files/Settings.h"
#include "files/TextFile.h"
#include "ui/Dialogs.h"
#include "ui/MemoEdit.h"

#include <QFileInfo>
#include <QTableView>

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kw {
namespace {

// The transfer's questions carry the help page about reading permanences.
constexpr int TransferHelpContext = 110;
constexpr int QuestionButtons = Dialogs::YesButton | Dialogs::NoButton | Dialogs::HelpButton;

// The lines as the memo keeps them, so it takes them in a single call however many there are.
std::vector<QString> MemoLines(const std::vector<std::string>& lines) {
  std::vector<QString> memoLines;
  memoLines.reserve(lines.size());
  for (const std::string& line : lines)
    memoLines.push_back(QString::fromStdString(line));
  return memoLines;
}

// M1's lines as the memo holds and shows them: its text split at every line feed, so a last
// empty line counts as a line (the memo never holds a line break inside a line).
std::vector<std::string_view> MemoLineViews(std::string_view memoText) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  for (size_t end; (end = memoText.find('\n', start)) != std::string_view::npos; start = end + 1)
    lines.push_back(memoText.substr(start, end - start));
  lines.push_back(memoText.substr(start));
  return lines;
}

// What the transfer enters for M1's text. The line list is freed on return, before the table
// grows, so the table reuses its memory (a million lines would otherwise cost fresh pages).
std::vector<CoupEntry> MemoEntries(const std::string& memoText) {
  const std::vector<std::string_view> lines = MemoLineViews(memoText);
  return TransferEntries(std::span(lines), HandChangeList());
}

std::optional<std::string> FirstEntry(const std::vector<std::string>& list) {
  if (list.empty())
    return std::nullopt;
  return list.front();
}

} // namespace

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
  const TextLines read = ReadTextFiles(files);
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
  if (m1_->isEmpty() || m1_->lineCount() < 5)
    return;

  if (table_.UsedRows() > 0) {
    Dialogs& dialogs = Dialogs::instance();
    const Dialogs::Answer append = dialogs.confirm(
        this,
        QStringLiteral(
            "Die Tabelle ist nicht leer.\r\rSollen die eingelesen Daten angehängt werden?"),
        QuestionButtons, TransferHelpContext);
    if (append == Dialogs::Answer::No) {
      const Dialogs::Answer clear = dialogs.confirm(
          this, QStringLiteral("Soll die Tabelle geleert werden?\r\rAndernfalls breche ich ab."),
          QuestionButtons, TransferHelpContext);
      if (clear != Dialogs::Answer::Yes)
        return;
      BDel2Click();
    }
  }

  // The rows are appended to the table directly and the view is told once at the end, so
  // a long permanence does not repaint row by row.
  const std::string memoText = m1_->toPlainText().toStdString();
  const std::vector<CoupEntry> entries = MemoEntries(memoText);
  for (const CoupEntry& entry : entries)
    table_.EnterCoup(entry.text, entry.code);
  TableChanged();
}

void FHaupt::LoadStartPermanence() {
  // The start-up files were read from optionen.ini before the windows were created; now the
  // hand-change list the pad and the transfer use.
  const MarkerListLoad markers = LoadHandChangeList();
  loadedHandChangeCount_ = markers.count;
  table_.SetPadHandChangeLabel(FirstEntry(HandChangeList()));
  if (!markers.error.isEmpty())
    Dialogs::instance().error(this, markers.error);

  const QString& path = CurrentStartFiles().StartPermanenceFile;
  // A start-up file that no longer exists is passed over silently; anything else in its
  // place (a folder, a FIFO) is reported by the reader.
  if (path.isEmpty() || !QFileInfo::exists(path))
    return;
  const TextLines read = ReadTextLines(path);
  if (!read.ok()) {
    Dialogs::instance().error(this, read.error);
    return;
  }
  m1_->setLines(MemoLines(read.lines));
  m1_->show();
}

} // namespace kw
