#include "analysis/FrequencyChart.h"

#include <algorithm>
#include <cmath>

namespace kw {

ColourRanges ComputeColourRanges(uint32_t coups, uint32_t expected, int q) {
  ColourRanges r;
  r.expected = expected;
  r.q = std::max(q, 1);
  // A number falls with probability 1/37 per coup: variance N * (1/37) * (36/37).
  r.sigma = std::sqrt(static_cast<double>(coups) * 36.0 / 1369.0);
  for (int k = 1; k <= 3; ++k)
    r.deviations[k - 1] = std::llround(r.sigma * k / r.q);
  const int64_t e = expected;
  const auto [d1, d2, d3] = r.deviations;
  r.thresholds = {e + d3,
                  e + d2,
                  e + d1,
                  e,
                  std::max<int64_t>(e - d1, 0),
                  std::max<int64_t>(e - d2, 0),
                  std::max<int64_t>(e - d3, 0)};
  return r;
}

int RangeColour(const ColourRanges& ranges, uint32_t count) {
  const auto& t = ranges.thresholds;
  const int64_t a = count;
  if (a > t[0])
    return 0;
  if (a > t[1])
    return 1;
  if (a > t[2])
    return 2;
  if (a >= t[4])
    return 3;
  if (a >= t[5])
    return 4;
  if (a >= t[6])
    return 5;
  return 6;
}

std::array<std::string, ColourRangeCount> LegendTexts(const ColourRanges& ranges) {
  const auto& t = ranges.thresholds;
  auto span = [](int64_t from, int64_t to) {
    return std::to_string(from) + " - " + std::to_string(to);
  };
  return {"> " + std::to_string(t[0]), span(t[1] + 1, t[0]),
          span(t[2] + 1, t[1]),        span(t[4], t[2]),
          span(t[5], t[4] - 1),        span(t[6], t[5] - 1),
          "< " + std::to_string(t[6])};
}

FrequencyChart BuildFrequencyChart(const NumberCounts& counts, uint32_t coups, uint32_t expected,
                                   int q) {
  FrequencyChart chart;
  chart.ranges = ComputeColourRanges(coups, expected, q);
  for (int x = 0; x < NumberCount; ++x)
    chart.numberColours[x] = RangeColour(chart.ranges, counts[x]);
  for (int i = 0; i < NumberCount; ++i) {
    const uint8_t x = WheelOrderAfterZero[NumberCount - 1 - i];
    chart.slices[i] = {x, counts[x], chart.numberColours[x]};
  }
  chart.legend = LegendTexts(chart.ranges);
  return chart;
}

} // namespace kw
