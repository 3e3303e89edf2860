#include "core/PermanenceTable.h"

#include "core/RouletteTables.h"

#include <algorithm>

namespace kw {
namespace {

constexpr std::string_view Dashes = "---";

size_t countCharacters(std::string_view utf8) {
  return static_cast<size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

std::string trimBlanks(std::string s) {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string::npos)
    return {};
  const auto last = s.find_last_not_of(' ');
  return s.substr(first, last - first + 1);
}

// A marker of at least four characters read from a file: its dashes become blanks and
// the rest, trimmed, is the label ("----" leaves nothing, "--HW" gives "HW").
std::string labelFromMarker(std::string_view text) {
  std::string label(text);
  std::replace(label.begin(), label.end(), '-', ' ');
  return trimBlanks(std::move(label));
}

} // namespace

PermanenceTable::PermanenceTable() { internLabel(std::string(Dashes)); }

void PermanenceTable::EnterCoup(std::string_view text, int code) {
  if (code >= 0 && code <= 36)
    appendCoup(code);
  else if (code == HandChangeCode)
    appendHandChange(text);
  else if (code == DeleteLastCode)
    deleteLast();
  else if (code == ClearAllCode)
    clearAll();
  growAndScroll();
}

void PermanenceTable::appendCoup(int number) {
  ++coupCount_;
  rows_.resize(static_cast<size_t>(UsedRows() - 1)); // a cleared row may lie in between
  rows_.push_back({static_cast<uint32_t>(coupCount_), 0, static_cast<uint8_t>(number)});
}

void PermanenceTable::appendHandChange(std::string_view text) {
  ++handChangeCount_;
  uint32_t label = 0; // "---"
  if (countCharacters(text) >= 4)
    label = internLabel(labelFromMarker(text));
  else if (padLabel_)
    label = internLabel(*padLabel_);
  rows_.resize(static_cast<size_t>(UsedRows() - 1));
  rows_.push_back({0, label, HandChangeCode});
}

void PermanenceTable::EnterLabelledHandChange(std::string_view label) {
  ++handChangeCount_;
  const uint32_t index = internLabel(std::string(label));
  rows_.resize(static_cast<size_t>(UsedRows() - 1));
  rows_.push_back({0, index, HandChangeCode});
  growAndScroll();
}

void PermanenceTable::deleteLast() {
  const int r = UsedRows();
  if (r == 0)
    return;
  if (ReadRowValue(r) == HandChangeCode)
    --handChangeCount_;
  else
    --coupCount_;
  ClearRow(r);
}

void PermanenceTable::clearAll() {
  if (UsedRows() == 0)
    return;
  coupCount_ = 0;
  handChangeCount_ = 0;
  rowCount_ = VisibleRows;
  rows_.clear();
}

void PermanenceTable::ClearKeepingRows() {
  rows_.clear();
  coupCount_ = 0;
  handChangeCount_ = 0;
  topRow_ = 1;
}

void PermanenceTable::growAndScroll() {
  const int e = UsedRows();
  if (e > VisibleRows || e >= rowCount_) {
    rowCount_ = e + 1;
    topRow_ = std::max(1, rowCount_ - VisibleRows);
  }
}

void PermanenceTable::ClearRow(int row) {
  if (row < 1 || row > static_cast<int>(rows_.size()))
    return;
  if (row == static_cast<int>(rows_.size()))
    rows_.pop_back();
  else
    rows_[static_cast<size_t>(row - 1)] = Row{};
}

uint8_t PermanenceTable::ReadRowValue(int row) const {
  if (row < 1 || row > static_cast<int>(rows_.size()))
    return EmptyRowCode;
  return rows_[static_cast<size_t>(row - 1)].value;
}

std::string PermanenceTable::CellText(int row, int column) const {
  if (row < 1 || row > static_cast<int>(rows_.size()))
    return {};
  const Row& r = rows_[static_cast<size_t>(row - 1)];
  if (r.value == HandChangeCode) {
    if (column == OrdinalColumn)
      return "HW";
    return column == ZeroColumn ? labels_[r.label] : std::string(Dashes);
  }
  if (r.value == EmptyRowCode)
    return {};
  switch (column) {
  case OrdinalColumn:
    return std::to_string(r.ordinal);
  case BlackColumn:
    return IsBlack(r.value) ? std::to_string(r.value) : std::string();
  case ZeroColumn:
    return r.value == 0 ? "0" : std::string();
  case RedColumn:
    return IsRed(r.value) ? std::to_string(r.value) : std::string();
  default:
    return {};
  }
}

void PermanenceTable::SetPadHandChangeLabel(std::optional<std::string> label) {
  padLabel_ = std::move(label);
}

std::vector<uint8_t> PermanenceTable::RowValues() const {
  std::vector<uint8_t> values;
  values.reserve(rows_.size());
  for (const Row& r : rows_)
    values.push_back(r.value);
  return values;
}

uint32_t PermanenceTable::internLabel(std::string label) {
  auto [it, inserted] = labelIndex_.try_emplace(label, static_cast<uint32_t>(labels_.size()));
  if (inserted)
    labels_.push_back(std::move(label));
  return it->second;
}

} // namespace kw
