#include "tools/RandomGenerator.h"

#include <charconv>
#include <chrono>

namespace kw {

void RandomGenerator::ReseedFromClock() {
  const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
  Reseed(static_cast<uint64_t>(ticks));
}

RandomGenerator& ApplicationRandomGenerator() {
  static RandomGenerator generator;
  return generator;
}

std::optional<uint32_t> RandomCountOf(std::string_view countText) {
  uint32_t count = 0;
  const char* end = countText.data() + countText.size();
  auto [ptr, ec] = std::from_chars(countText.data(), end, count);
  if (countText.empty() || ec != std::errc() || ptr != end || count == 0)
    return std::nullopt;
  return count;
}

std::vector<std::string> GenerateRandomBlock(RandomGenerator& generator, std::string_view countText,
                                             std::string_view dateTimeText, RandomSeeding seeding) {
  const std::optional<uint32_t> count = RandomCountOf(countText);
  if (!count)
    return {};
  if (seeding == RandomSeeding::FromClock)
    generator.ReseedFromClock();
  std::vector<std::string> lines;
  lines.reserve(*count + 3);
  lines.emplace_back("Zufallszahlen");
  lines.emplace_back(dateTimeText);
  lines.push_back("Anzahl: " + std::string(countText));
  for (uint32_t i = 0; i < *count; ++i)
    lines.push_back(std::to_string(generator.DrawNumber()));
  return lines;
}

std::string RandomListText(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

} // namespace kw
