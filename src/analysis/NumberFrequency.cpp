#include "analysis/NumberFrequency.h"

#include <algorithm>
#include <numeric>

namespace kw {

NumberSlots TableOrder() {
  NumberSlots slots{};
  std::iota(slots.begin(), slots.end(), uint8_t{0});
  return slots;
}

NumberSlots FrequencyOrder(const NumberCounts& counts) {
  NumberSlots slots = TableOrder();
  std::stable_sort(slots.begin(), slots.end(),
                   [&counts](uint8_t a, uint8_t b) { return counts[a] > counts[b]; });
  return slots;
}

uint32_t ExpectedCount(uint32_t coups) {
  return static_cast<uint32_t>((uint64_t{coups} + NumberCount / 2) / NumberCount);
}

} // namespace kw
