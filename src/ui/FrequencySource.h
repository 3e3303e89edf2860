#pragma once

#include "analysis/ChanceAnalysis.h"

#include <cstdint>
#include <functional>

namespace kw {

// What the frequency chart reads at every fill: the counts of the last chance analysis and
// the coups of the main window's table (hand changes not counted).
struct FrequencyInput {
  NumberCounts counts{};
  uint32_t coups = 0;
};

// Read afresh at every fill, so a new analysis shows at the next change of colouring.
using FrequencySource = std::function<FrequencyInput()>;

} // namespace kw
