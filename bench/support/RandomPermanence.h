#pragma once

#include "core/RouletteTables.h"

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace kw::bench {

// Uniform coups with a hand change about every 40 entries, as recorded permanences have.
inline std::vector<uint8_t> RandomPermanence(size_t entries, uint32_t seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> number(0, 36);
  std::uniform_int_distribution<int> handChange(0, 39);
  std::vector<uint8_t> out(entries);
  for (uint8_t& e : out)
    e = handChange(random) == 0 ? HandChangeCode : static_cast<uint8_t>(number(random));
  return out;
}

} // namespace kw::bench
