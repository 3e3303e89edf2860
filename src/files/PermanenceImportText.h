#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kw {

// Permanences from the lists and tables found elsewhere (casino result lists, spreadsheet
// exports, tracking tools), read from their decoded text into coups and hand changes. This is a
// separate, explicit step: the permanence files' own reading rules do not change.
//
// What a value is read as:
// - an entry of the hand-change list (tested first, as the permanence readers do): a hand change;
// - "00": the double zero of a wheel with two zeros, counted on its own and never a coup;
// - one or two digits from 0 to 36 ("0", "7", "07", "36"): a coup;
// - anything else ("000", "37", "50", "+5", "-1", "5.0", "NO OUTCOME", an empty table cell):
//   skipped, counted, and shown with its line number.
//
// Two shapes of file are told apart by their content, not by the file name:
// - a table: a header row of column names above rows of equally many fields separated by
//   commas, semicolons or tabs (fields may stand in double quotes; "" is a quote inside one),
//   or by blanks when a column name says it holds results; without a header row, rows of
//   equally many fields one of which counts 1, 2, 3, ... The results stand in one column:
//   chosen by name or number, else proposed (see ProposeImportColumn). Rows with another
//   number of fields than the header are skipped as a whole; so are lines above the header.
// - a number list (everything else): values separated by commas, semicolons, tabs or blanks,
//   any number per line, in double quotes or not. A line holding a word (a letter outside a
//   hand-change marker) is an information line and skipped as a whole, so "Tisch 1" or
//   "Bemerkung: 3 Serien" never give a coup.

enum class ImportFormat {
  NumberList,
  Table,
};

enum class ImportValueKind : uint8_t { Coup, HandChange, DoubleZero, Skipped };

// One value (a token, a table cell, or a skipped line) as it will be read.
struct ImportEntry {
  int line = 0;     // 1-based line number in the file
  std::string text; // as it stood, without quotes and surrounding blanks, shortened for display
  ImportValueKind kind = ImportValueKind::Skipped;
  int number = 0; // the coup, for kind Coup

  bool operator==(const ImportEntry&) const = default;
};

struct SkippedValue {
  int line = 0;
  std::string text; // shortened for display (ShortenedImportText)

  bool operator==(const SkippedValue&) const = default;
};

// A table's column as found in the rows that have the header's number of fields.
struct ImportColumn {
  std::string name;          // from the header row; empty without one
  int values = 0;            // cells that are not empty
  int results = 0;           // of them coups, double zeros or hand-change markers
  int distinctNumbers = 0;   // different coups 0..36 among them
  bool runningCount = false; // every value one more than the one above (1, 2, 3, ...)
  bool nameSuggestsResults = false;

  bool MostlyResults() const { return results * 2 > values; }
};

enum class ImportProblem {
  None,
  LongToken,          // a value far longer than any list or table holds (see problemLine/Length)
  OpenQuote,          // a quoted table field does not end in its line
  UnknownColumn,      // the requested column name is not in the header
  ColumnOutOfRange,   // the requested column number is not there
  ColumnNameNoHeader, // a column requested by name in a file without header row
};

// Values longer than this are refused: no list or result cell comes near it, but a line of a
// megabyte without separators (a binary or a broken file) would otherwise be "skipped" quietly.
inline constexpr size_t MaxImportValueLength = 1000;
// Entries kept for the preview, skipped values kept as examples, characters of a shown text.
inline constexpr size_t ImportPreviewEntries = 100;
inline constexpr size_t ImportExamples = 5;
inline constexpr size_t ImportShownCharacters = 60;

struct ImportParse {
  ImportFormat format = ImportFormat::NumberList;
  char delimiter = 0;                // tables: ',', ';', '\t' or ' ' (a run of blanks)
  int headerLine = 0;                // tables: the header row's line number; 0 without one
  std::vector<ImportColumn> columns; // tables only
  int proposedColumn = -1;           // 0-based; -1: no column looks like results
  int column = -1;                   // the column read (0-based); -1 for lists and without one

  // The permanence in file order: 0..36 for a coup, HandChangeCode for a hand change, whose
  // marker text stands in handChangeTexts (one per hand change, in order): the marker read,
  // except for a hand change in the first row whose marker has more than two characters; that
  // one is written with the list's first marker of one or two characters, or "50", because the
  // main window's transfer would take a longer first line for an information line.
  std::vector<uint8_t> rows;
  std::vector<std::string> handChangeTexts;

  int coups = 0;
  int handChanges = 0;
  int skipped = 0;
  int doubleZeros = 0;
  std::vector<SkippedValue> examples; // the first ImportExamples skipped values
  std::vector<ImportEntry> preview;   // the first ImportPreviewEntries values of all kinds

  ImportProblem problem = ImportProblem::None;
  int problemLine = 0;      // LongToken, OpenQuote
  size_t problemLength = 0; // LongToken: characters of the value
  bool cancelled = false;
};

struct ImportRequest {
  std::span<const std::string> markers; // the hand-change list
  // The results column of a table: a column name (case ignored) or a 1-based number; empty:
  // the proposed one. A number given for a number list reads that field of every line.
  std::string column;
};

// Called now and then with the work done so far and the whole work (any unit); returning false
// cancels. An empty function never cancels.
using ImportProgress = std::function<bool(int64_t done, int64_t total)>;

ImportParse ParsePermanenceImport(std::string_view text, const ImportRequest& request,
                                  const ImportProgress& progress = {});

// The column a table's results are taken from when none is chosen: never a running count;
// among the others one whose values are mostly coups, double zeros or markers, or whose name is
// like "outcome", "number", "result", "zahl", "nummer", "coup" or "ergebnis". Mostly results
// beats the name, the name beats more different numbers, more different numbers beat a higher
// share of results; the leftmost of equals wins. -1 when no column qualifies.
int ProposeImportColumn(std::span<const ImportColumn> columns);

// What a single value is read as; number receives the coup.
ImportValueKind ClassifyImportValue(std::string_view value, std::span<const std::string> markers,
                                    int& number);

// The text cut to ImportShownCharacters characters, "…" marking the cut.
std::string ShortenedImportText(std::string_view text);

// One output file's share of the rows: [firstRow, endRow), with its first hand change's index
// into handChangeTexts.
struct ImportPart {
  size_t firstRow = 0;
  size_t endRow = 0;
  size_t firstHandChange = 0;
  int coups = 0;
  // Information lines above the rows, so that the file has the lines the main window's transfer
  // needs (TransferMinimumLines); 0 for any file of that many rows.
  size_t informationLines = 0;

  bool operator==(const ImportPart&) const = default;
};

// The rows in files of coupsPerFile coups (0: one file). Hand changes do not count toward the
// coups: one standing after a file's last coup stays with that file (so a file never begins
// with a hand change that follows a coup), those before the first coup open the first file.
// Every file transfers whole in the main window: a remainder of fewer than TransferMinimumLines
// rows joins the file before it (which then holds more than coupsPerFile coups), and a file
// that still has fewer rows (a short permanence, or coupsPerFile below that) gets information
// lines above its rows.
std::vector<ImportPart> SplitImportRows(const ImportParse& parse, int coupsPerFile);

// A part's information lines ("Importierte Permanenz", "Coups: 3", "Handwechsel: 0",
// "Zeilen: 3", as many as it needs): words, so no reader takes them for a coup.
std::vector<std::string> ImportInformationLines(const ImportPart& part);

// A part's lines as a permanence file holds them: each coup in decimal, each hand change as the
// marker it was read from (an entry of the hand-change list, so every reader reads it back as a
// hand change, and the main window gives it the label the source line would give).
std::vector<std::string> ImportPartLines(const ImportParse& parse, const ImportPart& part);

// What a part's file holds, or what the main window's text box receives for it: its
// information lines, then its rows' lines.
std::vector<std::string> ImportFileLines(const ImportParse& parse, const ImportPart& part);

} // namespace kw
