#include "systemtest/RandomCoups.h"

#include <algorithm>

namespace kw {
namespace {

__extension__ using Wide = unsigned __int128;

constexpr uint64_t Numbers = 37;

constexpr uint64_t power(uint64_t base, int exponent) {
  uint64_t value = 1;
  for (int i = 0; i < exponent; ++i)
    value *= base;
  return value;
}

// 37^11: the values that eleven coups can take together.
constexpr uint64_t Span = power(Numbers, RandomCoups::CoupsPerDraw);
// 2^64 mod 37^11: an output whose low product word falls below it is drawn again.
constexpr uint64_t RejectBelow = static_cast<uint64_t>((Wide{1} << 64) % Span);

std::seed_seq seedSequence(uint64_t seed, uint64_t stream) {
  constexpr uint64_t Low = 0xffffffffu;
  return std::seed_seq{static_cast<uint32_t>(seed & Low), static_cast<uint32_t>(seed >> 32),
                       static_cast<uint32_t>(stream & Low), static_cast<uint32_t>(stream >> 32)};
}

} // namespace

RandomCoups::RandomCoups(uint64_t seed, uint64_t stream) {
  std::seed_seq sequence = seedSequence(seed, stream);
  engine_.seed(sequence);
}

void RandomCoups::drawInto(uint8_t* to) {
  uint64_t fraction = 0;
  for (;;) {
    fraction = engine_();
    if (static_cast<uint64_t>(Wide{fraction} * Span) >= RejectBelow)
      break;
  }
  for (int i = 0; i < CoupsPerDraw; ++i) {
    const Wide product = Wide{fraction} * Numbers;
    to[i] = static_cast<uint8_t>(product >> 64);
    fraction = static_cast<uint64_t>(product);
  }
}

void RandomCoups::fill(std::span<uint8_t> out) {
  size_t done = std::min(out.size(), static_cast<size_t>(spareLeft_));
  std::copy_n(spare_.end() - spareLeft_, done, out.begin());
  spareLeft_ -= static_cast<int>(done);
  for (; out.size() - done >= CoupsPerDraw; done += CoupsPerDraw)
    drawInto(out.data() + done);
  if (done == out.size())
    return;
  drawInto(spare_.data());
  const size_t rest = out.size() - done;
  std::copy_n(spare_.begin(), rest, out.begin() + static_cast<std::ptrdiff_t>(done));
  spareLeft_ = CoupsPerDraw - static_cast<int>(rest);
}

} // namespace kw
