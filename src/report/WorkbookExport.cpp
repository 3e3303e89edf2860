#include "report/WorkbookExport.h"

#include "report/SystemTestFormat.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <system_error>

#ifdef KESSELWERK_HAVE_XLSXWRITER
#include <xlsxwriter.h>
#endif

#include <unistd.h>

namespace kw {

const std::array<const char*, 16> WorkbookCaptions = {
    "Permanenzen", "Satzsignale",   "Einsätze",      "Netto-Ergebnis",
    "Umsatz",      "Umsatzrendite", "Abbruch +",     "Abbruch -",
    "Abbruch E",   "Startkapital",  "Vorlaufcoups",  "Angriffe",
    "Stückgröße",  "Gewinnziel",    "Verlustgrenze", "Satz-Staffelung"};

namespace {

constexpr const char* NoBreakSpace = "\xC2\xA0";

std::string stakeFileText(const std::string& name) {
  return name.empty() ? std::string(UnsavedStakeFile) : name;
}

std::string saveError(const std::string& path, const std::string& reason) {
  return "Die Arbeitsmappe \"" + path + "\" konnte nicht gespeichert werden.\r\r" + reason;
}

// 1048576 -> "1.048.576", as the German messages write counts.
std::string groupedNumber(size_t value) {
  std::string digits = std::to_string(value);
  for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3)
    digits.insert(static_cast<size_t>(at), ".");
  return digits;
}

} // namespace

namespace {

size_t firstSheetRows(const WorkbookSheet& sheet) {
  return std::max(sheet.columnA.size(), sheet.grid.size());
}

// The heading row and one row per replica.
size_t comparisonRows(const ComparisonSheet& sheet) {
  return std::max(sheet.columnA.size(), sheet.netto.size() + 1);
}

} // namespace

size_t WorksheetRows(const WorkbookSheet& sheet) {
  return firstSheetRows(sheet) + (sheet.comparison ? comparisonRows(*sheet.comparison) : 0);
}

std::string RowLimitMessage(size_t gridRows) {
  if (gridRows <= WorksheetRowLimit)
    return {};
  return "Die Tabelle hat mit ihrer Überschrift " + groupedNumber(gridRows) +
         " Zeilen, ein Arbeitsblatt fasst aber höchstens " + groupedNumber(WorksheetRowLimit) +
         " Zeilen. Die Arbeitsmappe wird daher nicht geschrieben.\r\rIch breche ab.";
}

WorkbookSheet SummaryWorkbook(const std::array<std::string, 16>& values,
                              std::vector<std::vector<std::string>> grid) {
  WorkbookSheet sheet;
  for (size_t i = 0; i < values.size(); ++i) {
    sheet.columnA.push_back(WorkbookCaptions[i]);
    sheet.columnA.push_back(i + 1 == values.size() ? stakeFileText(values[i]) : values[i]);
  }
  sheet.grid = std::move(grid);
  return sheet;
}

void AddRiskFigures(WorkbookSheet& sheet, const std::array<std::string, 5>& values,
                    const std::array<const char*, 5>& captions) {
  for (size_t i = 0; i < values.size(); ++i) {
    sheet.columnA.push_back(captions[i]);
    sheet.columnA.push_back(values[i]);
  }
}

void AddComparisonSheet(WorkbookSheet& sheet, const std::array<std::string, 13>& values,
                        const std::string& verdict, const RandomComparison& comparison,
                        double perEuro) {
  ComparisonSheet c;
  for (size_t i = 0; i < values.size(); ++i) {
    c.columnA.push_back(ComparisonCaptions[i]);
    c.columnA.push_back(values[i]);
  }
  c.columnA.push_back("Urteil");
  c.columnA.push_back(verdict);
  c.netto = comparison.netto;
  c.umsatz = comparison.umsatz;
  c.perEuro = perEuro;
  sheet.comparison = std::move(c);
}

WorkbookSheet ProtocolWorkbook(const std::string& permanenceName,
                               const std::array<std::string, 5>& outcomeValues,
                               const std::array<std::string, 7>& parameterValues,
                               std::vector<std::vector<std::string>> grid) {
  WorkbookSheet sheet;
  sheet.protocol = true;
  sheet.columnA = {"Permanenz", permanenceName};
  for (size_t i = 0; i < outcomeValues.size(); ++i) {
    sheet.columnA.push_back(WorkbookCaptions[1 + i]);
    sheet.columnA.push_back(outcomeValues[i]);
  }
  for (size_t i = 0; i < parameterValues.size(); ++i) {
    sheet.columnA.push_back(WorkbookCaptions[9 + i]);
    sheet.columnA.push_back(i + 1 == parameterValues.size() ? stakeFileText(parameterValues[i])
                                                            : parameterValues[i]);
  }
  sheet.grid = std::move(grid);
  return sheet;
}

std::vector<std::vector<std::string>> ProtocolGridTexts(const std::vector<ProtocolRow>& rows) {
  std::vector<std::vector<std::string>> grid;
  grid.reserve(rows.size() + 1);
  grid.emplace_back(ProtocolHeadings.begin(), ProtocolHeadings.end());
  for (const ProtocolRow& row : rows)
    grid.emplace_back(row.begin(), row.end());
  return grid;
}

#ifdef KESSELWERK_HAVE_XLSXWRITER

bool ExcelInstalled() { return true; }

namespace {

struct Formats {
  lxw_format* captions;  // column A
  lxw_format* separator; // column B
  lxw_format* centred;   // columns C, D
  lxw_format* right;     // columns E..J (protocol: E, F)
  lxw_format* plain;     // the protocol's column G
};

Formats makeFormats(lxw_workbook* book) {
  Formats f{};
  f.captions = workbook_add_format(book);
  format_set_bg_color(f.captions, 0xDCFFDC);
  format_set_pattern(f.captions, LXW_PATTERN_SOLID);
  f.separator = workbook_add_format(book);
  format_set_bg_color(f.separator, 0x7B7B7B);
  format_set_pattern(f.separator, LXW_PATTERN_SOLID);
  f.centred = workbook_add_format(book);
  format_set_align(f.centred, LXW_ALIGN_CENTER);
  f.right = workbook_add_format(book);
  format_set_align(f.right, LXW_ALIGN_RIGHT);
  f.plain = workbook_add_format(book);
  return f;
}

// The format of grid column c (0 = worksheet column C).
lxw_format* gridFormat(const Formats& f, size_t c, bool protocol) {
  if (c < 2)
    return f.centred;
  if (!protocol || c < 4)
    return f.right;
  return f.plain;
}

// Rows written between two reports to the progress.
constexpr size_t RowsPerReport = 4096;

// A caption of column A with the narrow separating column beside it.
lxw_error writeCaption(lxw_worksheet* sheet, lxw_row_t row, const std::string& text,
                       const Formats& f) {
  if (lxw_error e = worksheet_write_string(sheet, row, 0, text.c_str(), f.captions))
    return e;
  return worksheet_write_blank(sheet, row, 1, f.separator);
}

// Writes every row in order (the workbook is written in constant memory, row by row).
// `cancelled` is set when the progress asks to stop.
lxw_error fillSheet(lxw_workbook* book, lxw_worksheet* sheet, const WorkbookSheet& data,
                    const WorkbookProgress& progress, bool& cancelled) {
  const Formats f = makeFormats(book);
  worksheet_set_column(sheet, 0, 0, 16, nullptr);
  worksheet_set_column(sheet, 1, 1, 2, nullptr);
  worksheet_set_column(sheet, 2, 2, 6, nullptr);
  if (data.protocol)
    worksheet_set_column(sheet, 6, 6, 36, nullptr);

  const size_t rows = firstSheetRows(data);
  const size_t all = WorksheetRows(data);
  std::string cell;
  for (size_t r = 0; r < rows; ++r) {
    if (progress && r % RowsPerReport == 0 && !progress(r, all)) {
      cancelled = true;
      return LXW_NO_ERROR;
    }
    const auto row = static_cast<lxw_row_t>(r);
    if (r < data.columnA.size()) {
      if (lxw_error e = writeCaption(sheet, row, data.columnA[r], f))
        return e;
    }
    if (r < data.grid.size()) {
      for (size_t c = 0; c < data.grid[r].size(); ++c) {
        cell = NoBreakSpace;
        cell += data.grid[r][c];
        if (lxw_error e = worksheet_write_string(sheet, row, static_cast<lxw_col_t>(2 + c),
                                                 cell.c_str(), gridFormat(f, c, data.protocol)))
          return e;
      }
    }
  }
  return LXW_NO_ERROR;
}

// The comparison's sheet after the first one's `done` rows, reported on from there.
lxw_error fillComparisonSheet(lxw_workbook* book, lxw_worksheet* sheet, const ComparisonSheet& data,
                              size_t done, size_t all, const WorkbookProgress& progress,
                              bool& cancelled) {
  const Formats f = makeFormats(book);
  worksheet_set_column(sheet, 0, 0, 22, nullptr);
  worksheet_set_column(sheet, 1, 1, 2, nullptr);
  worksheet_set_column(sheet, 2, 4, 14, nullptr);
  const size_t rows = comparisonRows(data);
  constexpr std::array<const char*, 3> Headings = {"Replikat", "Netto-Ergebnis", "Umsatz"};
  for (size_t r = 0; r < rows; ++r) {
    if (progress && r % RowsPerReport == 0 && !progress(done + r, all)) {
      cancelled = true;
      return LXW_NO_ERROR;
    }
    const auto row = static_cast<lxw_row_t>(r);
    if (r < data.columnA.size()) {
      if (lxw_error e = writeCaption(sheet, row, data.columnA[r], f))
        return e;
    }
    if (r == 0) {
      for (size_t c = 0; c < Headings.size(); ++c)
        if (lxw_error e = worksheet_write_string(sheet, row, static_cast<lxw_col_t>(2 + c),
                                                 Headings[c], f.right))
          return e;
    } else if (r <= data.netto.size()) {
      const double values[3] = {static_cast<double>(r),
                                static_cast<double>(data.netto[r - 1]) / data.perEuro,
                                static_cast<double>(data.umsatz[r - 1]) / data.perEuro};
      for (size_t c = 0; c < 3; ++c)
        if (lxw_error e = worksheet_write_number(sheet, row, static_cast<lxw_col_t>(2 + c),
                                                 values[c], nullptr))
          return e;
    }
  }
  return LXW_NO_ERROR;
}

// The reason of a failed write in the user's words; the library's own texts are English.
std::string failureReason(lxw_error error) {
  switch (error) {
  case LXW_ERROR_MEMORY_MALLOC_FAILED:
    return "Der Arbeitsspeicher reicht für diese Arbeitsmappe nicht aus.";
  case LXW_ERROR_CREATING_XLSX_FILE:
    return "Die Datei kann in diesem Ordner nicht angelegt werden (keine Schreibrechte oder "
           "Ordner fehlt).";
  case LXW_ERROR_CREATING_TMPFILE:
  case LXW_ERROR_READING_TMPFILE:
    return "Eine Zwischendatei konnte nicht geschrieben oder gelesen werden (ist der "
           "Datenträger voll?).";
  case LXW_ERROR_ZIP_FILE_OPERATION:
  case LXW_ERROR_ZIP_PARAMETER_ERROR:
  case LXW_ERROR_ZIP_BAD_ZIP_FILE:
  case LXW_ERROR_ZIP_INTERNAL_ERROR:
  case LXW_ERROR_ZIP_FILE_ADD:
  case LXW_ERROR_ZIP_CLOSE:
    return "Die Datei konnte nicht vollständig geschrieben werden (ist der Datenträger voll?).";
  case LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED:
    return "Ein Zelltext ist länger als die 32.767 Zeichen, die eine Zelle fasst.";
  case LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE:
    return "Die Tabelle ist größer als ein Arbeitsblatt (höchstens " +
           groupedNumber(WorksheetRowLimit) + " Zeilen).";
  default:
    return "Beim Schreiben der Arbeitsmappe ist ein Fehler aufgetreten (Fehlernummer " +
           std::to_string(static_cast<int>(error)) + ").";
  }
}

// Frees a workbook that is not to be written. The library closes a worksheet's buffer file
// (constant memory) only while it writes the workbook, so a stopped export closes it here;
// the buffer file has no name, and closing it gives its room back.
void discardWorkbook(lxw_workbook* book, std::initializer_list<lxw_worksheet*> sheets) {
  for (lxw_worksheet* sheet : sheets) {
    if (sheet && sheet->optimize_tmpfile) {
      std::fclose(sheet->optimize_tmpfile);
      sheet->optimize_tmpfile = nullptr;
      sheet->file = nullptr;
    }
  }
  lxw_workbook_free(book);
}

std::string temporaryPathBeside(const std::filesystem::path& target) {
  return (target.parent_path() /
          ("." + target.filename().string() + ".kw-" + std::to_string(getpid()) + ".tmp"))
      .string();
}

} // namespace

std::string WriteWorkbook(const WorkbookSheet& data, const std::string& path,
                          const WorkbookProgress& progress) {
  namespace fs = std::filesystem;
  if (std::string refusal = RowLimitMessage(data.grid.size()); !refusal.empty())
    return refusal;
  const fs::path target = fs::absolute(fs::path(path));
  std::error_code ec;
  if (fs::is_directory(target, ec))
    return saveError(path, "Unter diesem Namen besteht bereits ein Ordner.");
  if (fs::exists(target, ec) && access(target.c_str(), W_OK) != 0)
    return saveError(path, "Die vorhandene Datei ist schreibgeschützt.");
  // The library would find a missing or closed folder only when it packs the workbook, and
  // then print its own English line on standard error: asked here, the user reads German.
  if (!fs::is_directory(target.parent_path(), ec) ||
      access(target.parent_path().c_str(), W_OK | X_OK) != 0)
    return saveError(path, failureReason(LXW_ERROR_CREATING_XLSX_FILE));
  const std::string temporary = temporaryPathBeside(target);

  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;
  lxw_workbook* book = workbook_new_opt(temporary.c_str(), &options);
  if (!book)
    return saveError(path, "Die Arbeitsmappe konnte nicht angelegt werden.");
  lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
  lxw_worksheet* second =
      data.comparison ? workbook_add_worksheet(book, ComparisonSheetName) : nullptr;
  bool cancelled = false;
  lxw_error filled =
      sheet ? fillSheet(book, sheet, data, progress, cancelled) : LXW_ERROR_MEMORY_MALLOC_FAILED;
  if (data.comparison && filled == LXW_NO_ERROR && !cancelled)
    filled = second ? fillComparisonSheet(book, second, *data.comparison, firstSheetRows(data),
                                          WorksheetRows(data), progress, cancelled)
                    : LXW_ERROR_MEMORY_MALLOC_FAILED;
  if (!cancelled && progress && !progress(WorksheetRows(data), WorksheetRows(data)))
    cancelled = true;
  if (cancelled) {
    // The file itself is made only when the workbook is closed: a stopped export frees the
    // workbook without writing it.
    discardWorkbook(book, {sheet, second});
    fs::remove(temporary, ec);
    return {};
  }
  const lxw_error closed = workbook_close(book);
  const lxw_error failed = filled != LXW_NO_ERROR ? filled : closed;
  if (failed != LXW_NO_ERROR) {
    fs::remove(temporary, ec);
    return saveError(path, failureReason(failed));
  }
  // Packing the file takes about as long as writing the rows; a stop asked for meanwhile
  // still keeps the file from its place.
  if (progress && !progress(WorksheetRows(data), WorksheetRows(data))) {
    fs::remove(temporary, ec);
    return {};
  }
  fs::rename(temporary, target, ec);
  if (ec) {
    fs::remove(temporary, ec);
    return saveError(path, "Die fertige Arbeitsmappe konnte nicht an ihren Platz gebracht "
                           "werden (Fehlernummer " +
                               std::to_string(ec.value()) + ").");
  }
  return {};
}

#else

bool ExcelInstalled() { return false; }

std::string WriteWorkbook(const WorkbookSheet&, const std::string& path, const WorkbookProgress&) {
  return saveError(path, NoSpreadsheetMessage);
}

#endif

} // namespace kw
