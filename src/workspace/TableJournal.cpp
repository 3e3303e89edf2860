#include "workspace/TableJournal.h"

#include "core/RouletteTables.h"
#include "files/Folders.h"
#include "workspace/Workspace.h"

#include <QAbstractEventDispatcher>
#include <QSaveFile>

#include <boost/crc.hpp>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>

namespace kw {
namespace {

// The file starts with this; a file without it is no journal of this program.
constexpr std::string_view Magic = "KWTABJ1\n";

// Record types. Every record is: type, its contents, the CRC-32 of type and contents.
//   Coup       'C' number (one byte)
//   HandChange 'H' length (4 bytes) label
//   Removed    'R'
//   Cleared    'X'
//   Rows       'A' length (4 bytes) count (4 bytes) values, then per hand change length label
constexpr char CoupRecord = 'C';
constexpr char HandChangeRecord = 'H';
constexpr char RemovedRecord = 'R';
constexpr char ClearedRecord = 'X';
constexpr char RowsRecord = 'A';

constexpr size_t ChecksumBytes = 4;
// Space is allocated ahead in steps of this size; a map is redone only at each step.
constexpr qint64 AllocationStep = 1 << 20;
// The journal is replaced by a fresh one when it exceeds this plus a few times the table's
// own size: often enough to stay small, rarely enough to cost nothing per coup.
constexpr qint64 CompactionSlack = 16 << 20;
constexpr qint64 CompactionFactor = 8;
constexpr int SyncDelayMs = 2000;

uint32_t Checksum(std::string_view bytes) {
  boost::crc_32_type crc;
  crc.process_bytes(bytes.data(), bytes.size());
  return crc.checksum();
}

void PutU32(std::string& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

uint32_t GetU32(std::string_view bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i)
    value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<size_t>(i)]);
  return value;
}

void Seal(std::string& record) { PutU32(record, Checksum(record)); }

std::string CoupRecordFor(uint8_t number) {
  std::string record{CoupRecord, static_cast<char>(number)};
  Seal(record);
  return record;
}

// The 37 coup records, sealed once: a coup on the pad costs a copy of six bytes.
const std::array<std::string, 37>& CoupRecords() {
  static const std::array<std::string, 37> records = [] {
    std::array<std::string, 37> all;
    for (uint8_t n = 0; n <= 36; ++n)
      all[n] = CoupRecordFor(n);
    return all;
  }();
  return records;
}

std::string HandChangeRecordFor(std::string_view label) {
  std::string record(1, HandChangeRecord);
  PutU32(record, static_cast<uint32_t>(label.size()));
  record.append(label);
  Seal(record);
  return record;
}

std::string MarkRecord(char type) {
  std::string record(1, type);
  Seal(record);
  return record;
}

// Rows firstRow..firstRow+count-1 of the table as one record: the values in one piece, then
// the labels of the hand changes among them.
std::string RowsRecordFor(const PermanenceTable& table, int firstRow, int count) {
  std::string payload;
  payload.reserve(static_cast<size_t>(count) + 8);
  PutU32(payload, static_cast<uint32_t>(count));
  const size_t valuesAt = payload.size();
  payload.resize(valuesAt + static_cast<size_t>(count));
  for (int i = 0; i < count; ++i)
    payload[valuesAt + static_cast<size_t>(i)] =
        static_cast<char>(table.ReadRowValue(firstRow + i));
  for (int i = 0; i < count; ++i) {
    if (static_cast<uint8_t>(payload[valuesAt + static_cast<size_t>(i)]) != HandChangeCode)
      continue;
    const std::string label = table.CellText(firstRow + i, PermanenceTable::ZeroColumn);
    PutU32(payload, static_cast<uint32_t>(label.size()));
    payload += label;
  }
  std::string record(1, RowsRecord);
  PutU32(record, static_cast<uint32_t>(payload.size()));
  record += payload;
  Seal(record);
  return record;
}

bool IsRowValue(uint8_t value) { return value <= 36 || value == HandChangeCode; }

// Reads the records one by one and replays them on the recorded table.
class JournalReader {
public:
  explicit JournalReader(std::span<const char> bytes) : bytes_(bytes.data(), bytes.size()) {}

  RecordedTable read() {
    if (!bytes_.starts_with(Magic)) {
      table_.damaged = !bytes_.empty();
      return std::move(table_);
    }
    at_ = Magic.size();
    while (at_ < bytes_.size() && readRecord()) {
    }
    // Space allocated ahead and never written reads as zero bytes: that is the end, not damage.
    const std::string_view rest = bytes_.substr(std::min(at_, bytes_.size()));
    table_.damaged = rest.find_first_not_of('\0') != std::string_view::npos;
    return std::move(table_);
  }

private:
  // The record at at_ when it is whole and its checksum holds; then at_ moves past it.
  bool readRecord() {
    const char type = bytes_[at_];
    size_t contents = 0;
    if (type == CoupRecord)
      contents = 1;
    else if (type == HandChangeRecord || type == RowsRecord) {
      if (bytes_.size() - at_ < 5)
        return false;
      contents = 4 + size_t{GetU32(bytes_, at_ + 1)};
    } else if (type != RemovedRecord && type != ClearedRecord) {
      return false;
    }
    if (bytes_.size() - at_ - 1 < contents + ChecksumBytes)
      return false;
    const std::string_view sealed = bytes_.substr(at_, 1 + contents);
    if (Checksum(sealed) != GetU32(bytes_, at_ + 1 + contents))
      return false;
    if (!apply(type, sealed.substr(1)))
      return false;
    at_ += 1 + contents + ChecksumBytes;
    return true;
  }

  bool apply(char type, std::string_view contents) {
    switch (type) {
    case CoupRecord:
      return addCoup(static_cast<uint8_t>(contents[0]));
    case HandChangeRecord:
      table_.values.push_back(HandChangeCode);
      table_.labels.emplace_back(contents.substr(4));
      return true;
    case RemovedRecord:
      removeLast();
      return true;
    case ClearedRecord:
      table_.values.clear();
      table_.labels.clear();
      return true;
    default:
      return addRows(contents.substr(4));
    }
  }

  bool addCoup(uint8_t number) {
    if (number > 36)
      return false;
    table_.values.push_back(number);
    return true;
  }

  void removeLast() {
    if (table_.values.empty())
      return;
    if (table_.values.back() == HandChangeCode)
      table_.labels.pop_back();
    table_.values.pop_back();
  }

  // A rows record is taken whole or not at all.
  bool addRows(std::string_view payload) {
    if (payload.size() < 4)
      return false;
    const size_t count = GetU32(payload, 0);
    if (payload.size() - 4 < count)
      return false;
    const std::string_view values = payload.substr(4, count);
    if (!std::all_of(values.begin(), values.end(),
                     [](char v) { return IsRowValue(static_cast<uint8_t>(v)); }))
      return false;
    std::vector<std::string> labels;
    size_t at = 4 + count;
    const auto handChanges = static_cast<size_t>(
        std::count(values.begin(), values.end(), static_cast<char>(HandChangeCode)));
    for (size_t i = 0; i < handChanges; ++i) {
      if (payload.size() - at < 4 || payload.size() - at - 4 < GetU32(payload, at))
        return false;
      const size_t length = GetU32(payload, at);
      labels.emplace_back(payload.substr(at + 4, length));
      at += 4 + length;
    }
    if (at != payload.size())
      return false;
    table_.values.insert(table_.values.end(), values.begin(), values.end());
    std::move(labels.begin(), labels.end(), std::back_inserter(table_.labels));
    return true;
  }

  std::string_view bytes_;
  size_t at_ = 0;
  RecordedTable table_;
};

} // namespace

int RecordedTable::coups() const {
  return static_cast<int>(
      std::count_if(values.begin(), values.end(), [](uint8_t v) { return v <= 36; }));
}

QString TableJournalPath() { return DataDir() + QStringLiteral("Tabelle.journal"); }

RecordedTable ReadTableJournal(std::span<const char> bytes) { return JournalReader(bytes).read(); }

RecordedTable ReadTableJournalFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return {};
  // Mapped rather than read: a journal with space allocated ahead is mostly zero pages.
  const qint64 size = file.size();
  if (size == 0)
    return {};
  if (const uchar* mapped = file.map(0, size)) {
    RecordedTable table = ReadTableJournal(
        std::span(reinterpret_cast<const char*>(mapped), static_cast<size_t>(size)));
    file.unmap(const_cast<uchar*>(mapped));
    return table;
  }
  const QByteArray bytes = file.readAll();
  return ReadTableJournal(std::span(bytes.constData(), static_cast<size_t>(bytes.size())));
}

TableJournal::TableJournal(Workspace& workspace, QString path, QObject* parent)
    : QObject(parent), workspace_(workspace), workspaceAlive_(&workspace), path_(std::move(path)),
      coupRecords_(CoupRecords()),
      // Without an event loop (a benchmark) only the end of the journal forces it to the disk.
      timed_(QAbstractEventDispatcher::instance() != nullptr) {
  syncTimer_.setSingleShot(true);
  syncTimer_.setInterval(SyncDelayMs);
  connect(&syncTimer_, &QTimer::timeout, this, &TableJournal::Sync);
  if (!startFresh())
    return;
  workspace_.SetRecorder(this);
}

void TableJournal::stopRecording() {
  if (workspaceAlive_ && workspaceAlive_->recorder() == this)
    workspaceAlive_->SetRecorder(nullptr);
}

TableJournal::~TableJournal() {
  stopRecording();
  Sync();
  if (!map_)
    return;
  ::munmap(map_, static_cast<size_t>(capacity_));
  map_ = nullptr;
  // At rest the file holds its records only, not the space allocated ahead.
  file_.resize(used_);
  file_.close();
}

void TableJournal::RecordEntered(int row) {
  const PermanenceTable& table = workspace_.table();
  const uint8_t value = table.ReadRowValue(row);
  if (value == HandChangeCode)
    append(HandChangeRecordFor(table.CellText(row, PermanenceTable::ZeroColumn)));
  else if (value <= 36)
    append(coupRecords_[value]);
}

void TableJournal::RecordRemoved() { append(MarkRecord(RemovedRecord)); }

void TableJournal::RecordCleared() { append(MarkRecord(ClearedRecord)); }

void TableJournal::RecordAppended(int firstRow, int count) {
  append(RowsRecordFor(workspace_.table(), firstRow, count));
}

void TableJournal::append(const std::string& record) {
  if (!map_)
    return;
  if (used_ + static_cast<qint64>(record.size()) > compactAt_) {
    // The table already holds this change, so the fresh journal holds it too.
    if (startFresh())
      return;
    if (!map_)
      return;
    compactAt_ = used_ + CompactionSlack; // tried again only after as much again
  }
  if (!reserve(static_cast<qint64>(record.size())))
    return;
  std::memcpy(map_ + used_, record.data(), record.size());
  used_ += static_cast<qint64>(record.size());
  unsynced_ = true;
  if (timed_ && !syncTimer_.isActive())
    syncTimer_.start();
}

// Makes room for bytes more at the end: allocated on the disk first, then mapped.
bool TableJournal::reserve(qint64 bytes) {
  if (used_ + bytes <= capacity_)
    return true;
  const qint64 wanted = ((used_ + bytes) / AllocationStep + 1) * AllocationStep;
  if (map_) {
    ::munmap(map_, static_cast<size_t>(capacity_));
    map_ = nullptr;
  }
  const int result = ::posix_fallocate(file_.handle(), 0, wanted);
  if (result != 0) {
    fail(QString::fromLocal8Bit(std::strerror(result)));
    return false;
  }
  void* mapped = ::mmap(nullptr, static_cast<size_t>(wanted), PROT_READ | PROT_WRITE, MAP_SHARED,
                        file_.handle(), 0);
  if (mapped == MAP_FAILED) {
    fail(QString::fromLocal8Bit(std::strerror(errno)));
    return false;
  }
  map_ = static_cast<uchar*>(mapped);
  capacity_ = wanted;
  return true;
}

bool TableJournal::startFresh() {
  const PermanenceTable& table = workspace_.table();
  std::string snapshot(Magic);
  if (table.UsedRows() > 0)
    snapshot += RowsRecordFor(table, 1, table.UsedRows());
  QSaveFile out(path_);
  if (!out.open(QIODevice::WriteOnly) ||
      out.write(snapshot.data(), static_cast<qint64>(snapshot.size())) !=
          static_cast<qint64>(snapshot.size()) ||
      !out.flush() || !out.commit()) {
    // The old journal, if any, stays as it was and keeps being written.
    if (!map_)
      fail(out.errorString());
    return false;
  }
  closeMap();
  file_.setFileName(path_);
  if (!file_.open(QIODevice::ReadWrite)) {
    fail(file_.errorString());
    return false;
  }
  used_ = static_cast<qint64>(snapshot.size());
  capacity_ = 0;
  compactAt_ = CompactionSlack + CompactionFactor * used_;
  unsynced_ = false;
  return reserve(0);
}

void TableJournal::Sync() {
  syncTimer_.stop();
  if (!map_ || !unsynced_)
    return;
  ::msync(map_, static_cast<size_t>(used_), MS_SYNC);
  ::fdatasync(file_.handle());
  unsynced_ = false;
}

void TableJournal::closeMap() {
  if (map_)
    ::munmap(map_, static_cast<size_t>(capacity_));
  map_ = nullptr;
  if (file_.isOpen())
    file_.close();
  capacity_ = 0;
}

void TableJournal::fail(const QString& reason) {
  closeMap();
  stopRecording();
  error_ = QStringLiteral("Die Tabelle kann nicht mehr gesichert werden (%1): %2.\r"
                          "Was Sie ab jetzt eingeben, geht beim Beenden verloren, wenn Sie es "
                          "nicht speichern.")
               .arg(path_, reason);
  emit failed(error_);
}

} // namespace kw
