#include "systemtest/WorkbookExport.h"

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

} // namespace

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

// Writes every row in order (the workbook is written in constant memory, row by row).
lxw_error fillSheet(lxw_workbook* book, lxw_worksheet* sheet, const WorkbookSheet& data) {
  const Formats f = makeFormats(book);
  worksheet_set_column(sheet, 0, 0, 16, nullptr);
  worksheet_set_column(sheet, 1, 1, 2, nullptr);
  worksheet_set_column(sheet, 2, 2, 6, nullptr);
  if (data.protocol)
    worksheet_set_column(sheet, 6, 6, 36, nullptr);

  const size_t rows = std::max(data.columnA.size(), data.grid.size());
  std::string cell;
  for (size_t r = 0; r < rows; ++r) {
    const auto row = static_cast<lxw_row_t>(r);
    if (r < data.columnA.size()) {
      if (lxw_error e = worksheet_write_string(sheet, row, 0, data.columnA[r].c_str(), f.captions))
        return e;
      worksheet_write_blank(sheet, row, 1, f.separator);
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

std::string temporaryPathBeside(const std::filesystem::path& target) {
  return (target.parent_path() /
          ("." + target.filename().string() + ".kw-" + std::to_string(getpid()) + ".tmp"))
      .string();
}

} // namespace

std::string WriteWorkbook(const WorkbookSheet& data, const std::string& path) {
  namespace fs = std::filesystem;
  const fs::path target = fs::absolute(fs::path(path));
  std::error_code ec;
  if (fs::is_directory(target, ec))
    return saveError(path, "Unter diesem Namen besteht bereits ein Ordner.");
  if (fs::exists(target, ec) && access(target.c_str(), W_OK) != 0)
    return saveError(path, "Die vorhandene Datei ist schreibgeschützt.");
  const std::string temporary = temporaryPathBeside(target);

  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;
  lxw_workbook* book = workbook_new_opt(temporary.c_str(), &options);
  if (!book)
    return saveError(path, "Die Arbeitsmappe konnte nicht angelegt werden.");
  lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
  const lxw_error filled = sheet ? fillSheet(book, sheet, data) : LXW_ERROR_MEMORY_MALLOC_FAILED;
  const lxw_error closed = workbook_close(book);
  const lxw_error failed = filled != LXW_NO_ERROR ? filled : closed;
  if (failed != LXW_NO_ERROR) {
    fs::remove(temporary, ec);
    const std::string reason = failed == LXW_ERROR_CREATING_XLSX_FILE
                                   ? std::string("Die Datei kann in diesem Ordner nicht angelegt "
                                                 "werden (keine Schreibrechte oder Ordner fehlt).")
                                   : std::string(lxw_strerror(failed));
    return saveError(path, reason);
  }
  fs::rename(temporary, target, ec);
  if (ec) {
    fs::remove(temporary, ec);
    return saveError(path, ec.message());
  }
  return {};
}

#else

bool ExcelInstalled() { return false; }

std::string WriteWorkbook(const WorkbookSheet&, const std::string& path) {
  return saveError(path, NoSpreadsheetMessage);
}

#endif

} // namespace kw
