#include "systemtest/RiskFigures.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <stdexcept>

namespace kw {
namespace {

constexpr double WheelPockets = 37.0;

double sampleStd(std::span<const int64_t> values, double mittel) {
  if (values.size() < 2)
    return 0.0;
  double squares = 0.0;
  for (int64_t v : values) {
    const double d = static_cast<double>(v) - mittel;
    squares += d * d;
  }
  return std::sqrt(squares / static_cast<double>(values.size() - 1));
}

} // namespace

double Mean(std::span<const int64_t> values) {
  if (values.empty())
    return 0.0;
  const int64_t sum = std::accumulate(values.begin(), values.end(), int64_t{0});
  return static_cast<double>(sum) / static_cast<double>(values.size());
}

double ExpectedNet(double umsatz) { return umsatz == 0.0 ? 0.0 : -umsatz / WheelPockets; }

RiskFigures ComputeRiskFigures(std::span<const int64_t> results,
                               std::span<const int64_t> lowestCapitals, int64_t umsatz,
                               int64_t startkapital) {
  RiskFigures risk;
  risk.tiefsterKapitalstand = startkapital;
  for (int64_t lowest : lowestCapitals)
    risk.tiefsterKapitalstand = std::min(risk.tiefsterKapitalstand, lowest);
  risk.erwartung = ExpectedNet(static_cast<double>(umsatz));

  int64_t running = 0;
  int64_t peak = 0;
  int64_t losingSeries = 0;
  for (size_t i = 0; i < results.size(); ++i) {
    const int64_t result = results[i];
    running += result;
    peak = std::max(peak, running);
    risk.groessterRueckgang = std::max(risk.groessterRueckgang, peak - running);
    losingSeries = result < 0 ? losingSeries + 1 : 0;
    risk.laengsteVerlustserie = std::max(risk.laengsteVerlustserie, losingSeries);
    if (!risk.schlechteste || result < risk.schlechtestesErgebnis) {
      risk.schlechteste = i;
      risk.schlechtestesErgebnis = result;
    }
  }
  return risk;
}

Histogram MakeHistogram(std::span<const int64_t> values) {
  Histogram h;
  if (values.empty())
    return h;
  const auto [low, high] = std::minmax_element(values.begin(), values.end());
  h.from = static_cast<double>(*low);
  if (*low == *high) {
    h.counts = {static_cast<int64_t>(values.size())};
    return h;
  }
  constexpr size_t FewestClasses = 5;
  constexpr size_t MostClasses = 60;
  const auto classes =
      std::clamp(static_cast<size_t>(std::ceil(std::sqrt(static_cast<double>(values.size())))),
                 FewestClasses, MostClasses);
  h.width = static_cast<double>(*high - *low) / static_cast<double>(classes);
  h.counts.assign(classes, 0);
  for (int64_t v : values) {
    // Counted from the integer distance, so a value on a class border always falls the same way.
    const auto k = static_cast<size_t>(static_cast<double>(v - *low) / h.width);
    ++h.counts[std::min(k, classes - 1)];
  }
  return h;
}

double Quantile(std::span<const int64_t> sorted, double p) {
  if (sorted.empty())
    return 0.0;
  const double h = static_cast<double>(sorted.size() - 1) * p;
  const auto below = static_cast<size_t>(std::floor(h));
  if (below + 1 >= sorted.size())
    return static_cast<double>(sorted.back());
  const double lower = static_cast<double>(sorted[below]);
  const double upper = static_cast<double>(sorted[below + 1]);
  return lower + (h - static_cast<double>(below)) * (upper - lower);
}

RandomComparison SummariseReplicas(const RandomComparisonRequest& request,
                                   std::vector<int64_t> netto, std::vector<int64_t> umsatz,
                                   int64_t realNetto) {
  if (netto.empty() || netto.size() != umsatz.size())
    throw std::invalid_argument("random comparison: no replicas");
  RandomComparison c;
  c.replicas = request.replicas;
  c.seed = request.seed;
  c.nettoMittel = Mean(netto);
  c.nettoStd = sampleStd(netto, c.nettoMittel);
  c.umsatzMittel = Mean(umsatz);
  std::vector<int64_t> sorted = netto;
  std::sort(sorted.begin(), sorted.end());
  c.nettoMin = sorted.front();
  c.nettoMax = sorted.back();
  for (size_t q = 0; q < ComparisonQuantiles.size(); ++q)
    c.quantile[q] = Quantile(sorted, ComparisonQuantiles[q] / 100.0);
  const auto atMost = std::upper_bound(sorted.begin(), sorted.end(), realNetto) - sorted.begin();
  c.perzentil = 100.0 * static_cast<double>(atMost) / static_cast<double>(sorted.size());
  c.netto = std::move(netto);
  c.umsatz = std::move(umsatz);
  return c;
}

} // namespace kw
