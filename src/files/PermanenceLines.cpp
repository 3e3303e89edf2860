#include "files/PermanenceLines.h"

#include "core/RouletteTables.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace kw {
namespace {

bool isBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// An information line ends where the first line of one or two characters stands.
bool isDataLineCandidate(std::string_view trimmed) {
  const size_t count = CharacterCount(trimmed);
  return count == 1 || count == 2;
}

template <class Lines>
std::vector<CoupEntry> transferEntries(const Lines& lines, std::span<const std::string> markers) {
  std::vector<CoupEntry> entries;
  if (lines.size() < TransferMinimumLines)
    return entries;
  const auto first = std::find_if(lines.begin(), lines.end(), [](std::string_view line) {
    return isDataLineCandidate(TrimLine(line));
  });
  for (auto it = first; it != lines.end(); ++it) {
    const std::string_view text = TrimLine(*it);
    if (text.empty())
      continue;
    if (IsHandChangeIn(text, markers)) {
      entries.push_back({std::string(text), HandChangeCode});
      continue;
    }
    if (!IsInteger(text))
      continue;
    const int value = IntegerValue(text);
    if ((value >= 0 && value <= 36) || value == HandChangeCode)
      entries.push_back({std::string(text), value});
  }
  return entries;
}

} // namespace

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  ForEachLine(text, [&](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

std::string_view TrimLine(std::string_view line) {
  while (!line.empty() && isBlank(line.front()))
    line.remove_prefix(1);
  while (!line.empty() && isBlank(line.back()))
    line.remove_suffix(1);
  return line;
}

size_t CharacterCount(std::string_view utf8) {
  return static_cast<size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

bool IsInteger(std::string_view text) {
  std::string_view digits = text;
  if (!digits.empty() && (digits.front() == '+' || digits.front() == '-'))
    digits.remove_prefix(1);
  if (digits.empty() ||
      !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return false;
  // from_chars takes a minus sign but no plus sign.
  const std::string_view number = text.front() == '+' ? digits : text;
  int value = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  return error == std::errc() && end == number.data() + number.size();
}

int IntegerValue(std::string_view text) {
  if (!text.empty() && text.front() == '+')
    text.remove_prefix(1);
  int value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

bool IsHandChangeIn(std::string_view text, std::span<const std::string> markers) {
  return std::any_of(markers.begin(), markers.end(),
                     [text](const std::string& marker) { return marker == text; });
}

std::vector<CoupEntry> TransferEntries(std::span<const std::string> lines,
                                       std::span<const std::string> markers) {
  return transferEntries(lines, markers);
}

std::vector<CoupEntry> TransferEntries(std::span<const std::string_view> lines,
                                       std::span<const std::string> markers) {
  return transferEntries(lines, markers);
}

std::vector<CoupEntry> TransferEntries(std::string_view memoText,
                                       std::span<const std::string> markers) {
  std::vector<std::string_view> lines;
  ForEachLine(memoText, [&](std::string_view line) { lines.push_back(line); });
  return transferEntries(lines, markers);
}

std::vector<uint8_t> PermanenceCoups(std::string_view text, std::span<const std::string> markers) {
  std::vector<uint8_t> coups;
  ForEachLine(text, [&](std::string_view line) {
    const std::string_view trimmed = TrimLine(line);
    // An empty line is never a hand change, even when the list holds an empty entry.
    if (trimmed.empty())
      return;
    if (IsHandChangeIn(trimmed, markers))
      coups.push_back(HandChangeCode);
    else if (trimmed.size() < 3 && IsInteger(trimmed))
      coups.push_back(static_cast<uint8_t>(IntegerValue(trimmed)));
  });
  return coups;
}

} // namespace kw
