#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kw {

// How the lines of a permanence file or of the main window's memo are read as coups.
// Texts are UTF-8; a marker list is the hand-change list (or any other list of markers).

// Calls f(line) for every line of text. CR LF, CR and LF end a line; a line end at the very
// end does not start another line, so "7\r\n" is one line and "" none.
template <class F> void ForEachLine(std::string_view text, F&& f) {
  size_t start = 0;
  const size_t size = text.size();
  while (start < size) {
    size_t end = start;
    while (end < size && text[end] != '\r' && text[end] != '\n')
      ++end;
    f(text.substr(start, end - start));
    if (end < size && text[end] == '\r' && end + 1 < size && text[end + 1] == '\n')
      ++end;
    start = end + 1;
  }
}

std::vector<std::string> SplitLines(std::string_view text);

// The line without blanks and control characters at either end.
std::string_view TrimLine(std::string_view line);

// Number of characters (not bytes) of a UTF-8 text.
size_t CharacterCount(std::string_view utf8);

// True for a decimal integer in the signed 32-bit range: an optional sign and digits only.
bool IsInteger(std::string_view text);
// The value of a text for which IsInteger holds.
int IntegerValue(std::string_view text);

// True when the text equals an entry of the list exactly (case-sensitive, whole text).
bool IsHandChangeIn(std::string_view text, std::span<const std::string> markers);

// One row for PermanenceTable::EnterCoup: the trimmed line and its code (0..36, or 50 for a
// hand change, whose text becomes the row's label).
struct CoupEntry {
  std::string text;
  int code = 0;

  bool operator==(const CoupEntry&) const = default;
};

// Fewer lines than this transfer nothing.
inline constexpr size_t TransferMinimumLines = 5;

// What "In Tabelle übertragen" enters for the memo's lines: nothing for fewer than
// TransferMinimumLines lines; otherwise every line from the first one of one or two characters on
// (the lines above it are information lines), hand-change markers before integers, and of the
// integers only 0..36 and 50.
std::vector<CoupEntry> TransferEntries(std::span<const std::string> lines,
                                       std::span<const std::string> markers);
std::vector<CoupEntry> TransferEntries(std::span<const std::string_view> lines,
                                       std::span<const std::string> markers);
std::vector<CoupEntry> TransferEntries(std::string_view memoText,
                                       std::span<const std::string> markers);

// The coup list of one file for the multi-file reader: a marker gives 50, an integer of one
// or two characters its value as a byte (so "-5" gives 251), everything else nothing. There
// are no information lines and no minimum line count.
std::vector<uint8_t> PermanenceCoups(std::string_view text, std::span<const std::string> markers);

} // namespace kw
