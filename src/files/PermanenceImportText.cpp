#include "files/PermanenceImportText.h"

#include "core/RouletteTables.h"
#include "files/PermanenceLines.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <limits>
#include <optional>
#include <tuple>

namespace kw {
namespace {

constexpr std::array<char, 4> TableDelimiters = {',', ';', '\t', ' '};
// A header row is looked for among the first lines (a title or a date may stand above it), and
// it must fit most of the rows below it.
constexpr size_t HeaderSearchLines = 20;
constexpr size_t ConsistencyLines = 50;
constexpr size_t NoHeader = std::numeric_limits<size_t>::max();
constexpr int64_t ProgressStep = int64_t{1} << 18;
constexpr std::string_view Ellipsis = "\xE2\x80\xA6";
constexpr std::array<std::string_view, 7> ResultNames = {"outcome", "number", "result",  "zahl",
                                                         "nummer",  "coup",   "ergebnis"};

bool isBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isListSeparator(char c) { return c == ',' || c == ';' || isBlank(c); }

// A letter of any alphabet: ASCII letters and every character beyond ASCII.
bool isLetter(char c) {
  const auto u = static_cast<unsigned char>(c);
  const auto lower = static_cast<unsigned char>(u | 0x20);
  return u >= 0x80 || (lower >= 'a' && lower <= 'z');
}

bool allDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), isDigit);
}

bool hasLetter(std::string_view text) { return std::any_of(text.begin(), text.end(), isLetter); }

std::string lowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  return lower;
}

bool nameSuggestsResults(std::string_view name) {
  const std::string lower = lowerAscii(name);
  return std::any_of(ResultNames.begin(), ResultNames.end(), [&](std::string_view result) {
    return lower.find(result) != std::string::npos;
  });
}

bool tooLong(std::string_view value) {
  return value.size() > MaxImportValueLength && CharacterCount(value) > MaxImportValueLength;
}

struct SourceLine {
  int number = 0;
  std::string_view text;
};

// Calls f(line) for every line that holds more than blanks, with its 1-based number (line ends
// as ForEachLine takes them), until f returns false. The lines are not stored: a file of the
// largest readable size may hold a hundred million of them.
template <class F> void forEachContentLine(std::string_view text, F&& f) {
  const size_t size = text.size();
  size_t start = 0;
  int number = 0;
  while (start < size) {
    size_t end = start;
    while (end < size && text[end] != '\r' && text[end] != '\n')
      ++end;
    ++number;
    const std::string_view line = text.substr(start, end - start);
    if (!TrimLine(line).empty() && !f(SourceLine{number, line}))
      return;
    if (end < size && text[end] == '\r' && end + 1 < size && text[end + 1] == '\n')
      ++end;
    start = end + 1;
  }
}

// The first content lines: enough to find a header row and to see the rows below it.
std::vector<SourceLine> firstContentLines(std::string_view text) {
  std::vector<SourceLine> lines;
  forEachContentLine(text, [&](const SourceLine& line) {
    lines.push_back(line);
    return lines.size() < HeaderSearchLines + ConsistencyLines;
  });
  return lines;
}

int64_t lineBytes(const SourceLine& line) { return static_cast<int64_t>(line.text.size()) + 1; }

class ProgressTracker {
public:
  ProgressTracker(const ImportProgress& progress, int64_t total)
      : progress_(progress), total_(total) {}

  // False when the caller cancelled.
  bool advance(int64_t bytes) {
    done_ += bytes;
    if (!progress_ || done_ < next_)
      return true;
    next_ = done_ + ProgressStep;
    return progress_(std::min(done_, total_), total_);
  }

private:
  const ImportProgress& progress_;
  int64_t total_ = 0;
  int64_t done_ = 0;
  int64_t next_ = 0;
};

// A list value in double quotes without them.
std::string_view withoutQuotes(std::string_view token) {
  if (token.size() >= 2 && token.front() == '"' && token.back() == '"')
    return TrimLine(token.substr(1, token.size() - 2));
  return token;
}

// The fields of a table row. ',', ';' and '\t' separate fields that may stand in double quotes
// (holding the delimiter, and "" for a quote); ' ' stands for runs of blanks. Returns false when
// a quote is still open at the end of the line: a row continued on the next line cannot be told
// from a stray quote that would swallow the rows below it.
bool splitFields(std::string_view line, char delimiter, std::vector<std::string>& fields) {
  fields.clear();
  const size_t n = line.size();
  size_t i = 0;
  if (delimiter == ' ') {
    while (i < n) {
      while (i < n && isBlank(line[i]))
        ++i;
      const size_t start = i;
      while (i < n && !isBlank(line[i]))
        ++i;
      if (i > start)
        fields.emplace_back(withoutQuotes(line.substr(start, i - start)));
    }
    return true;
  }
  while (true) {
    std::string field;
    while (i < n && line[i] != delimiter && isBlank(line[i]))
      ++i;
    if (i < n && line[i] == '"') {
      bool closed = false;
      for (++i; i < n; ++i) {
        if (line[i] != '"') {
          field += line[i];
        } else if (i + 1 < n && line[i + 1] == '"') {
          field += '"';
          ++i;
        } else {
          closed = true;
          ++i;
          break;
        }
      }
      if (!closed)
        return false;
    }
    while (i < n && line[i] != delimiter)
      field += line[i++];
    fields.emplace_back(TrimLine(field));
    if (i >= n)
      return true;
    ++i; // the delimiter
  }
}

// Whether the values of a column run 1, 2, 3, ... (any start): a row counter, never results.
class RunningCountCheck {
public:
  void add(std::string_view value) {
    if (value.empty())
      return;
    ++values_;
    if (!counting_)
      return;
    if (!allDigits(value) || value.size() > 9) {
      counting_ = false;
      return;
    }
    long long number = 0;
    for (char c : value)
      number = number * 10 + (c - '0');
    if (values_ > 1 && number != last_ + 1)
      counting_ = false;
    last_ = number;
  }
  bool RunningCount() const { return counting_ && values_ >= 3; }

private:
  int values_ = 0;
  long long last_ = 0;
  bool counting_ = true;
};

// Where a table stands in the lines: its delimiter, its header row (NoHeader: none) and the
// number of fields of its rows (0: any number, for a column chosen in a list).
struct TableShape {
  char delimiter = ',';
  size_t headerIndex = NoHeader;
  size_t fieldCount = 0;
};

bool looksLikeHeader(const std::vector<std::string>& fields) {
  return fields.size() >= 2 &&
         std::none_of(fields.begin(), fields.end(),
                      [](const std::string& field) { return allDigits(field); }) &&
         std::any_of(fields.begin(), fields.end(),
                     [](const std::string& field) { return hasLetter(field); });
}

// Most of the rows below have as many fields.
bool rowsFollow(const std::vector<SourceLine>& lines, size_t first, char delimiter,
                size_t fieldCount) {
  std::vector<std::string> fields;
  size_t checked = 0;
  size_t matching = 0;
  for (size_t i = first; i < lines.size() && checked < ConsistencyLines; ++i, ++checked)
    if (splitFields(lines[i].text, delimiter, fields) && fields.size() == fieldCount)
      ++matching;
  return checked > 0 && matching * 5 >= checked * 4;
}

// No line above a header row has its number of fields: such a line would be a row of the same
// table, and the "header" a row of text in the middle of it.
bool aboveTheTable(const std::vector<SourceLine>& lines, size_t header, char delimiter,
                   size_t fieldCount) {
  std::vector<std::string> fields;
  for (size_t i = 0; i < header; ++i)
    if (splitFields(lines[i].text, delimiter, fields) && fields.size() == fieldCount)
      return false;
  return true;
}

// A header row among the first lines. Blanks separate a table only when a column name says it
// holds results: a title line such as "Spielbank Wiesbaden" above pairs of numbers is no header.
std::optional<TableShape> findHeaderRow(const std::vector<SourceLine>& lines) {
  std::vector<std::string> header;
  const size_t searchEnd = std::min(lines.size(), HeaderSearchLines);
  for (size_t h = 0; h < searchEnd; ++h) {
    std::optional<TableShape> best;
    for (char delimiter : TableDelimiters) {
      if (!splitFields(lines[h].text, delimiter, header) || !looksLikeHeader(header) ||
          !aboveTheTable(lines, h, delimiter, header.size()))
        continue;
      if (delimiter == ' ' && std::none_of(header.begin(), header.end(), [](const std::string& n) {
            return nameSuggestsResults(n);
          }))
        continue;
      if (best && best->fieldCount >= header.size())
        continue;
      if (rowsFollow(lines, h + 1, delimiter, header.size()))
        best = TableShape{delimiter, h, header.size()};
    }
    if (best)
      return best;
  }
  return std::nullopt;
}

// Rows of equally many fields without a header, one field counting 1, 2, 3, ...: a table whose
// counter must not be read as coups.
std::optional<TableShape> findCountedRows(std::string_view text,
                                          const std::vector<SourceLine>& first) {
  if (first.size() < 3)
    return std::nullopt;
  std::vector<std::string> fields;
  for (char delimiter : TableDelimiters) {
    if (!splitFields(first.front().text, delimiter, fields) || fields.size() < 2)
      continue;
    const size_t fieldCount = fields.size();
    std::vector<RunningCountCheck> checks(fieldCount);
    bool equal = true;
    forEachContentLine(text, [&](const SourceLine& line) {
      equal = splitFields(line.text, delimiter, fields) && fields.size() == fieldCount;
      for (size_t k = 0; equal && k < fieldCount; ++k)
        checks[k].add(fields[k]);
      return equal;
    });
    if (equal && std::any_of(checks.begin(), checks.end(),
                             [](const RunningCountCheck& c) { return c.RunningCount(); }))
      return TableShape{delimiter, NoHeader, fieldCount};
  }
  return std::nullopt;
}

// A number list whose fields are chosen by number: its most frequent delimiter among the first
// lines, blanks when it has none.
TableShape listAsTable(const std::vector<SourceLine>& lines) {
  std::array<size_t, 3> counts{};
  for (size_t i = 0; i < std::min(lines.size(), HeaderSearchLines); ++i)
    for (size_t d = 0; d < counts.size(); ++d)
      counts[d] += static_cast<size_t>(
          std::count(lines[i].text.begin(), lines[i].text.end(), TableDelimiters[d]));
  const auto most = std::max_element(counts.begin(), counts.end());
  const char delimiter =
      *most > 0 ? TableDelimiters[static_cast<size_t>(most - counts.begin())] : ' ';
  return TableShape{delimiter, NoHeader, 0};
}

// Adds the values to the parse result in file order.
class EntryCollector {
public:
  EntryCollector(ImportParse& out, std::span<const std::string> markers)
      : out_(out), markers_(markers) {}

  void value(int line, std::string_view text) {
    int number = 0;
    const ImportValueKind kind = ClassifyImportValue(text, markers_, number);
    switch (kind) {
    case ImportValueKind::Coup:
      out_.rows.push_back(static_cast<uint8_t>(number));
      ++out_.coups;
      break;
    case ImportValueKind::HandChange:
      out_.handChangeTexts.push_back(out_.rows.empty() ? firstLineMarker(text) : std::string(text));
      out_.rows.push_back(HandChangeCode);
      ++out_.handChanges;
      break;
    case ImportValueKind::DoubleZero:
      ++out_.doubleZeros;
      break;
    case ImportValueKind::Skipped:
      ++out_.skipped;
      if (out_.examples.size() < ImportExamples)
        out_.examples.push_back({line, ShortenedImportText(text)});
      break;
    }
    if (out_.preview.size() < ImportPreviewEntries)
      out_.preview.push_back({line, ShortenedImportText(text), kind, number});
  }

  // A whole line that is not read (an information line, a row that does not fit the table).
  void skipLine(const SourceLine& line) {
    ++out_.skipped;
    const std::string text = ShortenedImportText(TrimLine(line.text));
    if (out_.examples.size() < ImportExamples)
      out_.examples.push_back({line.number, text});
    if (out_.preview.size() < ImportPreviewEntries)
      out_.preview.push_back({line.number, text, ImportValueKind::Skipped, 0});
  }

  std::span<const std::string> markers() const { return markers_; }

private:
  // The main window's transfer takes lines above the first line of one or two characters for
  // information lines, so a permanence that opens with a hand change writes it with a marker of
  // one or two characters: the first such entry of the list, else 50, which every reader of
  // permanence files takes for a hand change.
  std::string firstLineMarker(std::string_view text) const {
    const auto shortMarker = [](std::string_view marker) {
      const size_t characters = CharacterCount(marker);
      return characters >= 1 && characters <= 2 && TrimLine(marker) == marker;
    };
    if (shortMarker(text))
      return std::string(text);
    const auto it = std::find_if(markers_.begin(), markers_.end(),
                                 [&](const std::string& marker) { return shortMarker(marker); });
    return it != markers_.end() ? *it : std::to_string(HandChangeCode);
  }

  ImportParse& out_;
  std::span<const std::string> markers_;
};

// Ends the parse with a problem: nothing of what was read so far counts.
void fail(ImportParse& out, ImportProblem problem, int line = 0, size_t length = 0) {
  ImportParse failed;
  failed.format = out.format;
  failed.delimiter = out.delimiter;
  failed.headerLine = out.headerLine;
  failed.columns = std::move(out.columns);
  failed.proposedColumn = out.proposedColumn;
  failed.problem = problem;
  failed.problemLine = line;
  failed.problemLength = length;
  out = std::move(failed);
}

void cancel(ImportParse& out) {
  fail(out, ImportProblem::None);
  out.cancelled = true;
}

// The values of a list line; a value in double quotes may hold blanks.
void splitListLine(std::string_view line, std::vector<std::string_view>& tokens) {
  tokens.clear();
  const size_t n = line.size();
  for (size_t i = 0; i < n;) {
    while (i < n && isListSeparator(line[i]))
      ++i;
    const size_t start = i;
    if (i < n && line[i] == '"') {
      const size_t close = line.find('"', i + 1);
      i = close == std::string_view::npos ? n : close + 1;
    }
    while (i < n && !isListSeparator(line[i]))
      ++i;
    if (i > start)
      tokens.push_back(withoutQuotes(line.substr(start, i - start)));
  }
}

void readList(std::string_view text, EntryCollector& collector, ProgressTracker& progress,
              ImportParse& out) {
  std::vector<std::string_view> tokens;
  forEachContentLine(text, [&](const SourceLine& line) {
    splitListLine(line.text, tokens);
    for (std::string_view token : tokens) {
      if (tooLong(token)) {
        fail(out, ImportProblem::LongToken, line.number, CharacterCount(token));
        return false;
      }
    }
    const bool informationLine =
        std::any_of(tokens.begin(), tokens.end(), [&](std::string_view token) {
          return hasLetter(token) && !IsHandChangeIn(token, collector.markers());
        });
    if (informationLine) {
      collector.skipLine(line);
    } else {
      for (std::string_view token : tokens)
        if (!token.empty())
          collector.value(line.number, token);
    }
    if (progress.advance(lineBytes(line)))
      return true;
    cancel(out);
    return false;
  });
}

// The columns of a table with a fixed number of fields, from the rows that have it. False when
// the parse ended (a problem or cancelled).
bool countColumns(std::string_view text, const std::vector<SourceLine>& first,
                  const TableShape& shape, std::span<const std::string> markers,
                  ProgressTracker& progress, ImportParse& out) {
  std::vector<std::string> fields;
  out.columns.assign(shape.fieldCount, ImportColumn{});
  if (shape.headerIndex != NoHeader) {
    splitFields(first[shape.headerIndex].text, shape.delimiter, fields);
    for (size_t k = 0; k < shape.fieldCount; ++k) {
      out.columns[k].name = fields[k];
      out.columns[k].nameSuggestsResults = nameSuggestsResults(fields[k]);
    }
  }
  std::vector<std::bitset<37>> numbers(shape.fieldCount);
  std::vector<RunningCountCheck> counts(shape.fieldCount);
  const size_t firstRow = shape.headerIndex == NoHeader ? 0 : shape.headerIndex + 1;
  size_t index = 0;
  bool read = true;
  forEachContentLine(text, [&](const SourceLine& line) {
    if (index++ < firstRow)
      return true;
    if (!splitFields(line.text, shape.delimiter, fields)) {
      fail(out, ImportProblem::OpenQuote, line.number);
      return read = false;
    }
    if (fields.size() == shape.fieldCount) {
      for (size_t k = 0; k < shape.fieldCount; ++k) {
        if (fields[k].empty())
          continue;
        ImportColumn& column = out.columns[k];
        ++column.values;
        int number = 0;
        const ImportValueKind kind = ClassifyImportValue(fields[k], markers, number);
        if (kind != ImportValueKind::Skipped)
          ++column.results;
        if (kind == ImportValueKind::Coup)
          numbers[k].set(static_cast<size_t>(number));
        counts[k].add(fields[k]);
      }
    }
    if (progress.advance(lineBytes(line)))
      return true;
    cancel(out);
    return read = false;
  });
  if (!read)
    return false;
  for (size_t k = 0; k < shape.fieldCount; ++k) {
    out.columns[k].distinctNumbers = static_cast<int>(numbers[k].count());
    out.columns[k].runningCount = counts[k].RunningCount();
  }
  return true;
}

// The column the request names (a header name, case ignored, before a number), or -1 with the
// problem set.
int requestedColumn(std::string_view request, const TableShape& shape, ImportParse& out) {
  const std::string wanted = lowerAscii(TrimLine(request));
  for (size_t k = 0; k < out.columns.size(); ++k)
    if (shape.headerIndex != NoHeader && lowerAscii(out.columns[k].name) == wanted)
      return static_cast<int>(k);
  if (allDigits(wanted)) {
    const size_t number = wanted.size() <= 9 ? std::stoul(wanted) : 0;
    if (number >= 1 && (shape.fieldCount == 0 || number <= shape.fieldCount))
      return static_cast<int>(number - 1);
    fail(out, ImportProblem::ColumnOutOfRange);
    return -1;
  }
  fail(out, shape.headerIndex != NoHeader ? ImportProblem::UnknownColumn
                                          : ImportProblem::ColumnNameNoHeader);
  return -1;
}

void readColumn(std::string_view text, const TableShape& shape, size_t column,
                EntryCollector& collector, ProgressTracker& progress, ImportParse& out) {
  std::vector<std::string> fields;
  size_t index = 0;
  forEachContentLine(text, [&](const SourceLine& line) {
    const size_t i = index++;
    if (i != shape.headerIndex) {
      if (shape.headerIndex != NoHeader && i < shape.headerIndex) {
        collector.skipLine(line); // a title or a date above the header
      } else if (!splitFields(line.text, shape.delimiter, fields)) {
        fail(out, ImportProblem::OpenQuote, line.number);
        return false;
      } else if (shape.fieldCount != 0 ? fields.size() != shape.fieldCount
                                       : fields.size() <= column) {
        collector.skipLine(line);
      } else if (tooLong(fields[column])) {
        fail(out, ImportProblem::LongToken, line.number, CharacterCount(fields[column]));
        return false;
      } else {
        collector.value(line.number, fields[column]);
      }
    }
    if (progress.advance(lineBytes(line)))
      return true;
    cancel(out);
    return false;
  });
}

void readTable(std::string_view text, const std::vector<SourceLine>& first, const TableShape& shape,
               const ImportRequest& request, const ImportProgress& progressCallback,
               ImportParse& out) {
  out.format = ImportFormat::Table;
  out.delimiter = shape.delimiter;
  out.headerLine = shape.headerIndex == NoHeader ? 0 : first[shape.headerIndex].number;
  const auto bytes = static_cast<int64_t>(text.size());
  ProgressTracker progress(progressCallback, 2 * bytes);
  if (shape.fieldCount > 0) {
    if (!countColumns(text, first, shape, request.markers, progress, out))
      return;
    out.proposedColumn = ProposeImportColumn(out.columns);
  } else if (!progress.advance(bytes)) {
    return cancel(out);
  }
  out.column = TrimLine(request.column).empty() ? out.proposedColumn
                                                : requestedColumn(request.column, shape, out);
  if (out.column < 0)
    return;
  EntryCollector collector(out, request.markers);
  readColumn(text, shape, static_cast<size_t>(out.column), collector, progress, out);
}

} // namespace

ImportValueKind ClassifyImportValue(std::string_view value, std::span<const std::string> markers,
                                    int& number) {
  if (value.empty())
    return ImportValueKind::Skipped;
  if (IsHandChangeIn(value, markers))
    return ImportValueKind::HandChange;
  if (value == "00")
    return ImportValueKind::DoubleZero;
  if (value.size() <= 2 && allDigits(value)) {
    const int n = value.size() == 1 ? value[0] - '0' : (value[0] - '0') * 10 + (value[1] - '0');
    if (n <= 36) {
      number = n;
      return ImportValueKind::Coup;
    }
  }
  return ImportValueKind::Skipped;
}

std::string ShortenedImportText(std::string_view text) {
  size_t characters = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
      continue;
    if (characters++ == ImportShownCharacters)
      return std::string(text.substr(0, i)) + std::string(Ellipsis);
  }
  return std::string(text);
}

int ProposeImportColumn(std::span<const ImportColumn> columns) {
  auto rank = [](const ImportColumn& c) {
    const double share = c.values > 0 ? static_cast<double>(c.results) / c.values : 0.0;
    return std::make_tuple(c.MostlyResults(), c.nameSuggestsResults, c.distinctNumbers, share);
  };
  int best = -1;
  for (size_t k = 0; k < columns.size(); ++k) {
    const ImportColumn& column = columns[k];
    const bool qualifies =
        !column.runningCount &&
        (column.MostlyResults() || (column.nameSuggestsResults && column.results > 0));
    if (qualifies && (best < 0 || rank(column) > rank(columns[static_cast<size_t>(best)])))
      best = static_cast<int>(k);
  }
  return best;
}

ImportParse ParsePermanenceImport(std::string_view text, const ImportRequest& request,
                                  const ImportProgress& progress) {
  ImportParse out;
  const std::vector<SourceLine> first = firstContentLines(text);
  std::optional<TableShape> shape = findHeaderRow(first);
  if (!shape)
    shape = findCountedRows(text, first);
  if (!shape && !TrimLine(request.column).empty())
    shape = listAsTable(first);
  if (shape) {
    readTable(text, first, *shape, request, progress, out);
    return out;
  }
  ProgressTracker tracker(progress, static_cast<int64_t>(text.size()));
  EntryCollector collector(out, request.markers);
  readList(text, collector, tracker, out);
  return out;
}

std::vector<ImportPart> SplitImportRows(const ImportParse& parse, int coupsPerFile) {
  std::vector<ImportPart> parts;
  ImportPart current;
  size_t handChanges = 0;
  for (size_t i = 0; i < parse.rows.size(); ++i) {
    if (parse.rows[i] == HandChangeCode) {
      ++handChanges;
      continue;
    }
    if (coupsPerFile > 0 && current.coups == coupsPerFile) {
      current.endRow = i;
      parts.push_back(current);
      current = ImportPart{i, i, handChanges, 0, 0};
    }
    ++current.coups;
  }
  current.endRow = parse.rows.size();
  // A remainder too short for the main window's transfer joins the file before it.
  if (!parts.empty() && current.endRow - current.firstRow < TransferMinimumLines) {
    parts.back().endRow = current.endRow;
    parts.back().coups += current.coups;
  } else {
    parts.push_back(current);
  }
  for (ImportPart& part : parts) {
    const size_t rows = part.endRow - part.firstRow;
    part.informationLines = rows < TransferMinimumLines ? TransferMinimumLines - rows : 0;
  }
  return parts;
}

std::vector<std::string> ImportInformationLines(const ImportPart& part) {
  const size_t rows = part.endRow - part.firstRow;
  const std::array<std::string, 4> all = {
      "Importierte Permanenz", "Coups: " + std::to_string(part.coups),
      "Handwechsel: " + std::to_string(rows - static_cast<size_t>(part.coups)),
      "Zeilen: " + std::to_string(rows)};
  return {all.begin(),
          all.begin() + static_cast<std::ptrdiff_t>(std::min(part.informationLines, all.size()))};
}

std::vector<std::string> ImportFileLines(const ImportParse& parse, const ImportPart& part) {
  std::vector<std::string> lines = ImportInformationLines(part);
  const std::vector<std::string> rows = ImportPartLines(parse, part);
  lines.insert(lines.end(), rows.begin(), rows.end());
  return lines;
}

std::vector<std::string> ImportPartLines(const ImportParse& parse, const ImportPart& part) {
  static const std::array<std::string, 37> numbers = [] {
    std::array<std::string, 37> texts;
    for (size_t n = 0; n < texts.size(); ++n)
      texts[n] = std::to_string(n);
    return texts;
  }();
  std::vector<std::string> lines;
  lines.reserve(part.endRow - part.firstRow);
  size_t handChange = part.firstHandChange;
  for (size_t i = part.firstRow; i < part.endRow; ++i) {
    const uint8_t value = parse.rows[i];
    if (value == HandChangeCode)
      lines.push_back(parse.handChangeTexts[handChange++]);
    else
      lines.push_back(numbers[value]);
  }
  return lines;
}

} // namespace kw
