#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace kw {

// The risk of a system-test run, beside its summary. A permanence's result is its final
// capital minus the start capital; money in whole currency units.
struct RiskFigures {
  // The largest fall of the running sum of results (permanences in selection order,
  // starting at 0 before the first) below its previous peak, as a positive amount.
  int64_t groessterRueckgang = 0;
  // The most consecutive permanences whose result is below 0.
  int64_t laengsteVerlustserie = 0;
  // The permanence with the lowest result (the first of equals), as its index among the
  // tested permanences; absent when none was tested.
  std::optional<size_t> schlechteste;
  int64_t schlechtestesErgebnis = 0;
  // The lowest capital after any coup of any permanence, an attack's last loss included;
  // the start capital when it never fell below it.
  int64_t tiefsterKapitalstand = 0;
  // What the run is expected to give: every bet loses 1/37 of its stake on average.
  double erwartung = 0.0;
};

// The risk figures from the results of the tested permanences in selection order, their
// lowest capitals (same order), the run's Umsatz and the start capital.
RiskFigures ComputeRiskFigures(std::span<const int64_t> results,
                               std::span<const int64_t> lowestCapitals, int64_t umsatz,
                               int64_t startkapital);

// The expected net result of bets of `umsatz` on a single-zero wheel: -umsatz / 37.
double ExpectedNet(double umsatz);

// The replicas a comparison may ask for (two at least, for a spread), and the largest seed
// (whole numbers that a JSON reader keeps exactly).
inline constexpr int FewestReplicas = 2;
inline constexpr int MostReplicas = 1'000'000;
inline constexpr uint64_t LargestSeed = (uint64_t{1} << 53) - 1;

// What the random comparison asks for: K replicas of the run and the seed they come from.
struct RandomComparisonRequest {
  int replicas = 1000;
  uint64_t seed = 0;
};

// The quantiles shown, in percent.
inline constexpr std::array<int, 5> ComparisonQuantiles = {5, 25, 50, 75, 95};

// The random comparison: the replicas' figures and their distribution.
struct RandomComparison {
  int replicas = 0;
  uint64_t seed = 0;
  std::vector<int64_t> netto;  // per replica, in replica order
  std::vector<int64_t> umsatz; // per replica, in replica order
  double nettoMittel = 0.0;
  double nettoStd = 0.0; // sample standard deviation (divisor K - 1); 0 for one replica
  int64_t nettoMin = 0;
  int64_t nettoMax = 0;
  std::array<double, ComparisonQuantiles.size()> quantile{};
  double umsatzMittel = 0.0;
  // Share of the replicas, in percent, whose net result is at most the real one.
  double perzentil = 0.0;
};

// The distribution of the replicas' results against the real net result.
RandomComparison SummariseReplicas(const RandomComparisonRequest& request,
                                   std::vector<int64_t> netto, std::vector<int64_t> umsatz,
                                   int64_t realNetto);

// Equal classes over the range of values: class k holds from + k * width <= v < from +
// (k + 1) * width, the last one its upper end too.
struct Histogram {
  double from = 0.0;
  double width = 1.0;
  std::vector<int64_t> counts;
};

// About the square root of the number of values as classes (at least 5, at most 60), over
// the range from the smallest to the largest value; one class of width 1 when all are equal.
Histogram MakeHistogram(std::span<const int64_t> values);

// The mean of whole numbers, summed exactly so that it does not depend on their order; 0
// for none.
double Mean(std::span<const int64_t> values);

// The p-quantile (0 <= p <= 1) of sorted values by linear interpolation between order
// statistics: at h = (n - 1) p, x[floor h] + (h - floor h)(x[floor h + 1] - x[floor h]).
double Quantile(std::span<const int64_t> sorted, double p);

} // namespace kw
