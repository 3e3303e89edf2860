#pragma once

#include "report/SystemTestFormat.h"
#include "systemtest/SystemTest.h"

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kw {

// The spreadsheet export of the system test: one worksheet with captions and values down
// column A (light green), a narrow grey column B, and a copy of a grid from C1 on, every
// grid cell a text made of a no-break space and the cell's text.
// The random comparison's sheet "Zufallsvergleich" of the summary workbook: its figures
// down column A as on the first sheet, and every replica's figures as numbers from C1 on
// under the headings "Replikat", "Netto-Ergebnis", "Umsatz".
struct ComparisonSheet {
  std::vector<std::string> columnA;
  std::vector<int64_t> netto;  // per replica
  std::vector<int64_t> umsatz; // per replica
  double perEuro = 1.0;        // 100 when the amounts are cents
};

struct WorkbookSheet {
  std::vector<std::string> columnA;           // A1, A2, ... (UTF-8)
  std::vector<std::vector<std::string>> grid; // rows, each the grid's cells left to right
  bool protocol = false;                      // protocol export: column G wide, E..F right
  std::optional<ComparisonSheet> comparison;  // a second worksheet
};

inline constexpr const char* ComparisonSheetName = "Zufallsvergleich";

// The sixteen captions of column A, in their order.
extern const std::array<const char*, 16> WorkbookCaptions;

// What the export shows for a missing stake file.
inline constexpr const char* UnsavedStakeFile = "ungespeichert";

// The summary export: captions 1..16 in A1, A3, ..., A31 and their values in A2, ..., A32
// (the last value the stake file's name, or "ungespeichert" when it is empty).
WorkbookSheet SummaryWorkbook(const std::array<std::string, 16>& values,
                              std::vector<std::vector<std::string>> grid);

// The risk figures below the summary's values: their captions and values from A33 on.
void AddRiskFigures(WorkbookSheet& sheet, const std::array<std::string, 5>& values,
                    const std::array<const char*, 5>& captions = RiskCaptions);

// The random comparison as the second worksheet: captions and values (as the window shows
// them), the verdict, and every replica's results.
// `perEuro` is 100 when the comparison's amounts are cents; the sheet shows euros.
void AddComparisonSheet(WorkbookSheet& sheet, const std::array<std::string, 13>& values,
                        const std::string& verdict, const RandomComparison& comparison,
                        double perEuro = 1.0);

// The protocol export of one permanence: "Permanenz" and its name, the five outcome
// captions and values, then the six parameter captions and values and the stake file.
WorkbookSheet ProtocolWorkbook(const std::string& permanenceName,
                               const std::array<std::string, 5>& outcomeValues,
                               const std::array<std::string, 7>& parameterValues,
                               std::vector<std::vector<std::string>> grid);

// A protocol grid as the export copies it: the heading row, then every protocol row.
std::vector<std::vector<std::string>> ProtocolGridTexts(const std::vector<ProtocolRow>& rows);

// True when the program can write workbooks (it was built with the workbook library).
bool ExcelInstalled();

// The message shown when it cannot.
inline constexpr const char* NoSpreadsheetMessage =
    "Excel ist nicht auf Ihrem Rechner installiert, der Export daher nicht möglich.\r\rIch "
    "breche ab.";

// A worksheet holds at most this many rows.
inline constexpr size_t WorksheetRowLimit = 1048576;

// The rows the worksheets of `sheet` take: the longer of column A and the grid, and the
// rows of the comparison's sheet.
size_t WorksheetRows(const WorkbookSheet& sheet);

// The German refusal for a grid of `gridRows` rows (its heading row included) that no
// worksheet can hold, or an empty text when it fits.
std::string RowLimitMessage(size_t gridRows);

// Told while the rows are written (the rows written so far and the rows in all), and once
// more when the file is complete, before it takes its place. Returning false stops the
// export; nothing is left behind then. It may be called from a worker thread.
using WorkbookProgress = std::function<bool(size_t rowsWritten, size_t rowsInAll)>;

// Writes the workbook to a temporary file beside `path` and moves it into place only when
// it is complete, so an existing workbook is never left half-written. A sheet longer than a
// worksheet is refused before any file is made. Returns the German error message naming
// the file and the reason, or an empty text when the workbook was written or when
// `progress` stopped it (the caller knows which: its progress answered false).
std::string WriteWorkbook(const WorkbookSheet& sheet, const std::string& path,
                          const WorkbookProgress& progress = {});

} // namespace kw
