#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kw {

// The permanence the main window works on: one row per coup or hand change in the order
// they fell, plus the bookkeeping of the grid that shows it (its row count, including the
// heading row 0, and its top visible row). Rows are numbered as in the grid, from 1.
// Every write goes through EnterCoup, every read through ReadRowValue.
class PermanenceTable {
public:
  // Entry codes besides the numbers 0..36 and the hand change 50.
  static constexpr int DeleteLastCode = 60;
  static constexpr int ClearAllCode = 61;
  static constexpr int InitialRowCount = 30;
  static constexpr int VisibleRows = 24;

  enum Column { OrdinalColumn = 0, BlackColumn = 1, ZeroColumn = 2, RedColumn = 3 };

  PermanenceTable();

  // Appends a coup (0..36), a hand change (50, text = the source line, empty from the
  // pad), deletes the last row (60) or clears the table (61); then grows and scrolls the
  // grid so the newest entry is visible.
  void EnterCoup(std::string_view text, int code);

  // Appends a hand change showing exactly this label, whatever the pad's label is now: a row
  // restored as it was shown when it was entered.
  void EnterLabelledHandChange(std::string_view label);

  // The row's value: the number 0..36, 50 for a hand change, 100 for a free row
  // (including every row beyond the used ones).
  uint8_t ReadRowValue(int row) const;

  // Empties the four cells of a row.
  void ClearRow(int row);

  // Empties every row, keeps the grid's row count, scrolls to the top and resets both
  // counters (the table's delete button).
  void ClearKeepingRows();

  // The text the grid shows in a cell (row >= 1, column 0..3).
  std::string CellText(int row, int column) const;

  // The label a hand change entered from the pad gets: the first entry of the hand-change
  // list, or nothing when the list is empty (then "---" stands).
  void SetPadHandChangeLabel(std::optional<std::string> label);

  int CoupCount() const { return coupCount_; }
  int HandChangeCount() const { return handChangeCount_; }
  int UsedRows() const { return coupCount_ + handChangeCount_; }
  int RowCount() const { return rowCount_; }
  int TopRow() const { return topRow_; }

  // The values of all used rows, in order (what the analyses read).
  std::vector<uint8_t> RowValues() const;

private:
  struct Row {
    uint32_t ordinal = 0; // coup ordinal; 0 for hand changes and free rows
    uint32_t label = 0;   // index into labels_ for hand changes
    uint8_t value = 100;  // 0..36, 50 or 100
  };

  void appendCoup(int number);
  void appendHandChange(std::string_view text);
  void deleteLast();
  void clearAll();
  void growAndScroll();
  uint32_t internLabel(std::string label);

  std::vector<Row> rows_; // rows 1..rows_.size(); rows beyond are free
  std::vector<std::string> labels_;
  std::unordered_map<std::string, uint32_t> labelIndex_;
  std::optional<std::string> padLabel_;
  int coupCount_ = 0;
  int handChangeCount_ = 0;
  int rowCount_ = InitialRowCount;
  int topRow_ = 1;
};

} // namespace kw
