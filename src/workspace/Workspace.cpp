#include "workspace/Workspace.h"

#include "core/RouletteTables.h"
#include "workspace/HandChangeListModel.h"

#include <QFileInfo>

namespace kw {
namespace {

// What a transfer or a bulk append may enter: coups and hand changes, never an edit code.
bool IsRowCode(int code) { return (code >= 0 && code <= 36) || code == HandChangeCode; }

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
std::vector<CoupEntry> MemoEntries(std::string_view memoText) {
  const std::vector<std::string_view> lines = MemoLineViews(memoText);
  return TransferEntries(std::span(lines), HandChangeList());
}

} // namespace

Workspace::Workspace(QObject* parent)
    : QObject(parent), handChangeList_(new HandChangeListModel(this)) {
  // Whatever changes the working list, the pad follows its first entry, saved or not.
  connect(handChangeList_, &QAbstractItemModel::modelReset, this,
          &Workspace::followFirstHandChangeEntry);
  connect(handChangeList_, &QAbstractItemModel::rowsInserted, this,
          &Workspace::followFirstHandChangeEntry);
  connect(handChangeList_, &QAbstractItemModel::rowsRemoved, this,
          &Workspace::followFirstHandChangeEntry);
  connect(handChangeList_, &QAbstractItemModel::dataChanged, this,
          &Workspace::followFirstHandChangeEntry);
}

Workspace::~Workspace() = default;

void Workspace::EnterCoup(std::string_view text, int code) {
  const int before = table_.UsedRows();
  table_.EnterCoup(text, code);
  const int after = table_.UsedRows();
  if (code == PermanenceTable::DeleteLastCode) {
    if (after < before)
      announceRemoved(before);
  } else if (code == PermanenceTable::ClearAllCode) {
    if (before > 0)
      announceCleared();
  } else if (after > before) {
    announceEntered(after);
  }
}

void Workspace::AppendRows(std::span<const CoupEntry> entries) {
  const int firstRow = table_.UsedRows() + 1;
  for (const CoupEntry& entry : entries)
    if (IsRowCode(entry.code))
      table_.EnterCoup(entry.text, entry.code);
  const int count = table_.UsedRows() - firstRow + 1;
  if (count > 0)
    announceAppended(firstRow, count);
}

void Workspace::RestoreRows(std::span<const uint8_t> values, std::span<const std::string> labels) {
  const int firstRow = table_.UsedRows() + 1;
  size_t nextLabel = 0;
  for (const uint8_t value : values) {
    if (value == HandChangeCode) {
      const std::string_view label =
          nextLabel < labels.size() ? std::string_view(labels[nextLabel]) : std::string_view();
      ++nextLabel;
      table_.EnterLabelledHandChange(label);
    } else if (value <= 36) {
      table_.EnterCoup({}, value);
    }
  }
  const int count = table_.UsedRows() - firstRow + 1;
  if (count > 0)
    announceAppended(firstRow, count);
}

void Workspace::ClearTable() {
  if (table_.UsedRows() == 0 && table_.TopRow() == 1)
    return;
  table_.ClearKeepingRows();
  announceCleared();
}

void Workspace::announceEntered(int row) {
  if (recorder_)
    recorder_->RecordEntered(row);
  emit rowEntered(row);
}

void Workspace::announceRemoved(int row) {
  if (recorder_)
    recorder_->RecordRemoved();
  emit lastRowRemoved(row);
}

void Workspace::announceCleared() {
  if (recorder_)
    recorder_->RecordCleared();
  emit allCleared();
}

void Workspace::announceAppended(int firstRow, int count) {
  if (recorder_)
    recorder_->RecordAppended(firstRow, count);
  emit rowsAppended(firstRow, count);
}

TextLines Workspace::OpenFiles(const QStringList& paths) const { return ReadTextFiles(paths); }

std::optional<TextLines> Workspace::OpenStartPermanence() const {
  const QString& path = startFiles_.StartPermanenceFile;
  // A start-up file that no longer exists is passed over silently; anything else in its
  // place (a folder, a FIFO) is reported by the reader.
  if (path.isEmpty() || !QFileInfo::exists(path))
    return std::nullopt;
  return ReadTextLines(path);
}

bool Workspace::CanTransfer(qsizetype lineCount) {
  return lineCount >= static_cast<qsizetype>(TransferMinimumLines);
}

void Workspace::TransferLines(std::span<const std::string> lines) {
  AppendRows(TransferEntries(lines, HandChangeList()));
}

void Workspace::TransferMemoText(std::string_view memoText) { AppendRows(MemoEntries(memoText)); }

void Workspace::HandToMemo(const std::vector<std::string>& lines) { emit memoLinesHanded(lines); }

QString Workspace::LoadHandChangeList() {
  const MarkerListLoad load = kw::LoadHandChangeList();
  handChangeList_->setEntries(HandChangeList());
  return load.error;
}

void Workspace::AddHandChangeEntry(std::string entry) { handChangeList_->append(std::move(entry)); }

QString Workspace::SaveHandChangeList() {
  return kw::SaveHandChangeList(handChangeList_->entries());
}

QString Workspace::RemoveHandChangeEntry(int row) {
  if (row < 0 || row >= handChangeList_->rowCount())
    return {};
  std::vector<std::string> remaining = handChangeList_->entries();
  remaining.erase(remaining.begin() + row);
  if (QString error = kw::SaveHandChangeList(remaining); !error.isEmpty())
    return error;
  handChangeList_->remove(row);
  return {};
}

MarkerRegistration Workspace::RegisterHandChangeMarker(const std::string& marker) {
  std::vector<std::string> entries = handChangeList_->entries();
  const MarkerRegistration result = kw::RegisterHandChangeMarker(marker, entries);
  if (result.added)
    handChangeList_->append(marker);
  return result;
}

void Workspace::followFirstHandChangeEntry() {
  table_.SetPadHandChangeLabel(handChangeList_->firstEntry());
}

void Workspace::ReadStartFiles() {
  const StartFiles read = kw::ReadStartFiles();
  if (read == startFiles_)
    return;
  startFiles_ = read;
  emit startFilesChanged();
}

void Workspace::SetStartFile(QString StartFiles::*file, const QString& path) {
  if (startFiles_.*file == path)
    return;
  startFiles_.*file = path;
  emit startFilesChanged();
}

QString Workspace::SaveStartFiles() const { return WriteStartFiles(startFiles_); }

void Workspace::SetStakeFile(const QString& path) {
  if (stakeFile_ == path)
    return;
  stakeFile_ = path;
  emit stakeFileChanged(path);
}

QString Workspace::RememberStakeFileForStartUp() {
  if (QString error = WriteStartStakeFile(stakeFile_); !error.isEmpty())
    return error;
  SetStartFile(&StartFiles::StartStakeFile, stakeFile_);
  return {};
}

} // namespace kw
