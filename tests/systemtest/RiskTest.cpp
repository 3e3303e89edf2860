// The risk figures of a run, the random coups and the random comparison.
#include "systemtest/RandomCoups.h"
#include "systemtest/RiskFigures.h"
#include "systemtest/SystemTest.h"

#include "core/RouletteTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>

namespace kw {
namespace {

constexpr uint8_t HW = HandChangeCode;

// V = 3, A = 2, stakes 5 and 10, Startkapital 1000, Gewinnziel 1500, Verlustgrenze 200.
SystemTestParams smallParams() {
  SystemTestParams p;
  p.vorlauf = 3;
  p.angriffe = 2;
  p.stakes = {5, 10};
  return p;
}

// Plays to +435 (the worked example of the protocol tests); its lowest capital is 1105.
const std::vector<uint8_t> Winner = {4, 15, 4, 22, 9,  31, 9,  1, 2,  HW, 3, 7,
                                     8, 5,  6, 10, 11, 6,  27, 0, 36, 12, 13};
// A signal on 1 2 3, two losses (985, then 955 when the attack ends), then no further
// signal: -45, its lowest capital 955 although its Minimum stays 985.
const std::vector<uint8_t> Loser = {1, 2, 3, 4, 5, 0, 0, 0, 0, 0, 0, 0, 0};
// No signal at all: 0.
const std::vector<uint8_t> Even = {0, 0, 0, 0, 0, 0, 0, 0};

TEST(RiskFigures, HandMadeRunGivesHandComputedFigures) {
  // Results in file order: -45, +435, (too short, passed over), -45, -45, 0.
  // Running sum: -45, 390, 345, 300, 300; peak 0 then 390: largest fall 90.
  const std::vector<std::vector<uint8_t>> permanences = {Loser, Winner, {1, 2, 3},
                                                         Loser, Loser,  Even};
  const SystemTestRun run = RunSystemTest(permanences, smallParams());
  ASSERT_EQ(run.tested.size(), 5u);
  EXPECT_EQ(run.tested[0].result.outcome.minimum, 985);
  EXPECT_EQ(run.risk.groessterRueckgang, 90);
  EXPECT_EQ(run.risk.laengsteVerlustserie, 2);
  ASSERT_TRUE(run.risk.schlechteste.has_value());
  EXPECT_EQ(*run.risk.schlechteste, 0u); // the first of the equal losers
  EXPECT_EQ(run.risk.schlechtestesErgebnis, -45);
  EXPECT_EQ(run.risk.tiefsterKapitalstand, 955); // an attack's last loss counts
  EXPECT_EQ(run.totals.umsatz, 105 + 3 * 45);
  EXPECT_DOUBLE_EQ(run.risk.erwartung, -240.0 / 37.0);
}

TEST(RiskFigures, TableOfResults) {
  struct Case {
    const char* what;
    std::vector<int64_t> results;
    std::vector<int64_t> lowest;
    int64_t fall, series, worstIndex, worst, tiefster;
  };
  const Case cases[] = {
      {"no permanence", {}, {}, 0, 0, -1, 0, 1000},
      {"only gains: no fall, capital never below the start",
       {10, 20},
       {1000, 1005},
       0,
       0,
       0,
       10,
       1000},
      {"the fall starts from 0 before the first",
       {-30, 10, -5},
       {970, 990, 980},
       30,
       1,
       0,
       -30,
       970},
      {"a result of 0 ends a losing series",
       {-1, -1, 0, -1, -1, -1},
       {999, 999, 1000, 999, 999, 999},
       5,
       3,
       0,
       -1,
       999},
      {"the fall is measured from the highest peak",
       {100, -50, 80, -200, 60},
       {900, 800, 950, 700, 1000},
       200,
       1,
       3,
       -200,
       700},
  };
  for (const Case& c : cases) {
    const RiskFigures r = ComputeRiskFigures(c.results, c.lowest, 370, 1000);
    EXPECT_EQ(r.groessterRueckgang, c.fall) << c.what;
    EXPECT_EQ(r.laengsteVerlustserie, c.series) << c.what;
    EXPECT_EQ(r.schlechteste.has_value(), c.worstIndex >= 0) << c.what;
    if (r.schlechteste) {
      EXPECT_EQ(static_cast<int64_t>(*r.schlechteste), c.worstIndex) << c.what;
    }
    EXPECT_EQ(r.schlechtestesErgebnis, c.worst) << c.what;
    EXPECT_EQ(r.tiefsterKapitalstand, c.tiefster) << c.what;
    EXPECT_DOUBLE_EQ(r.erwartung, -10.0) << c.what;
  }
  EXPECT_EQ(ExpectedNet(0.0), 0.0); // not -0
}

TEST(RiskFigures, CapitalCourseFollowsTheProtocol) {
  const PermanenceResult r = SimulatePermanence(Winner, smallParams());
  // The start, then 18 coups up to the stop (the hand change is no coup).
  ASSERT_EQ(r.capitalCourse.size(), 19u);
  EXPECT_EQ(r.capitalCourse.front(), 1000);
  EXPECT_EQ(r.capitalCourse[7], 1165);
  EXPECT_EQ(r.capitalCourse[12], 1120);
  EXPECT_EQ(r.capitalCourse.back(), 1435);
  EXPECT_EQ(*std::min_element(r.capitalCourse.begin(), r.capitalCourse.end()), 1000);
  EXPECT_TRUE(SimulatePermanence(Winner, smallParams(), ProtocolMode::Skip).capitalCourse.empty());
}

TEST(ComparisonStatistics, QuantilesInterpolateBetweenOrderStatistics) {
  // Hand-computed at h = (n - 1) p, as numpy.quantile (linear) and R (type 7) give them.
  const std::vector<int64_t> four = {1, 2, 3, 4};
  const std::vector<int64_t> ten = {-70, -20, -20, 0, 5, 10, 15, 40, 100, 250};
  const std::vector<int64_t> one = {7};
  struct Case {
    const std::vector<int64_t>* sorted;
    double p, expected;
  };
  const Case cases[] = {{&four, 0.05, 1.15}, {&four, 0.25, 1.75}, {&four, 0.5, 2.5},
                        {&four, 0.95, 3.85}, {&four, 1.0, 4.0},   {&ten, 0.05, -47.5},
                        {&ten, 0.25, -15.0}, {&ten, 0.75, 33.75}, {&ten, 0.95, 182.5},
                        {&one, 0.5, 7.0}};
  for (const Case& c : cases)
    EXPECT_NEAR(Quantile(*c.sorted, c.p), c.expected, 1e-9) << c.p;
}

TEST(ComparisonStatistics, SummaryOfReplicas) {
  const RandomComparison c = SummariseReplicas({.replicas = 5, .seed = 9}, {30, -10, 20, -10, 0},
                                               {10, 20, 30, 40, 50}, -10);
  EXPECT_EQ(c.replicas, 5);
  EXPECT_EQ(c.seed, 9u);
  EXPECT_DOUBLE_EQ(c.nettoMittel, 6.0);
  EXPECT_DOUBLE_EQ(c.nettoStd, std::sqrt(1320.0 / 4.0)); // divisor K - 1
  EXPECT_EQ(c.nettoMin, -10);
  EXPECT_EQ(c.nettoMax, 30);
  EXPECT_DOUBLE_EQ(c.quantile[2], 0.0);
  EXPECT_DOUBLE_EQ(c.umsatzMittel, 30.0);
  EXPECT_DOUBLE_EQ(c.perzentil, 40.0); // the two equal to the real result count
  EXPECT_EQ(c.netto.front(), 30);      // kept in replica order
  EXPECT_DOUBLE_EQ(SummariseReplicas({}, {5}, {1}, 4).perzentil, 0.0);
  EXPECT_DOUBLE_EQ(SummariseReplicas({}, {5}, {1}, 4).nettoStd, 0.0);
}

TEST(ComparisonStatistics, HistogramClassesCoverEveryValue) {
  std::vector<int64_t> values;
  for (int64_t v = -100; v <= 300; v += 4)
    values.push_back(v); // 101 values: 11 classes of width 400 / 11
  const Histogram h = MakeHistogram(values);
  ASSERT_EQ(h.counts.size(), 11u);
  EXPECT_DOUBLE_EQ(h.from, -100.0);
  EXPECT_DOUBLE_EQ(h.width, 400.0 / 11.0);
  int64_t all = 0;
  for (int64_t c : h.counts)
    all += c;
  EXPECT_EQ(all, 101);
  EXPECT_EQ(h.counts.back(), 10); // 264, 268, ..., 300: the largest value included

  const Histogram same = MakeHistogram(std::vector<int64_t>(7, -45));
  EXPECT_EQ(same.counts, std::vector<int64_t>{7});
  EXPECT_DOUBLE_EQ(same.from, -45.0);
  EXPECT_EQ(MakeHistogram(std::vector<int64_t>{1, 2}).counts.size(), 5u);
  EXPECT_TRUE(MakeHistogram({}).counts.empty());
}

TEST(RandomCoupsTest, UniformAndTheSameHoweverTheyAreTaken) {
  RandomCoups whole(20240611, 3);
  std::vector<uint8_t> all(3'700'001);
  whole.fill(all);
  std::array<int64_t, 37> counts{};
  for (uint8_t n : all) {
    ASSERT_LE(n, 36);
    ++counts[n];
  }
  const double expected = static_cast<double>(all.size()) / 37.0;
  double chi2 = 0.0;
  for (int64_t count : counts)
    chi2 += (static_cast<double>(count) - expected) * (static_cast<double>(count) - expected) /
            expected;
  EXPECT_LT(chi2, 70.0); // 36 degrees of freedom: 70 lies beyond the 99.9 % point

  // Pairs of successive coups: 1369 cells, each coup independent of the one before.
  std::vector<int64_t> pairs(37 * 37);
  for (size_t i = 0; i + 1 < all.size(); i += 2)
    ++pairs[all[i] * 37u + all[i + 1]];
  const double pairExpected = static_cast<double>(all.size() / 2) / (37.0 * 37.0);
  double pairChi2 = 0.0;
  for (int64_t count : pairs)
    pairChi2 += (static_cast<double>(count) - pairExpected) *
                (static_cast<double>(count) - pairExpected) / pairExpected;
  EXPECT_LT(pairChi2, 1368.0 + 6.0 * std::sqrt(2.0 * 1368.0));

  // Taken in pieces of any size, the stream is the same.
  RandomCoups pieces(20240611, 3);
  std::vector<uint8_t> again(all.size());
  size_t at = 0;
  for (size_t piece = 1; at < again.size(); piece = piece * 3 % 40 + 1) {
    const size_t take = std::min(piece, again.size() - at);
    pieces.fill(std::span<uint8_t>(again.data() + at, take));
    at += take;
  }
  EXPECT_EQ(again, all);

  std::vector<uint8_t> other(1000);
  RandomCoups(20240611, 4).fill(other);
  EXPECT_FALSE(std::equal(other.begin(), other.end(), all.begin()));
}

std::vector<std::vector<uint8_t>> realisticPermanences(unsigned seed, size_t count) {
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> number(0, 36);
  std::uniform_int_distribution<int> handChange(0, 39);
  std::vector<std::vector<uint8_t>> permanences(count, std::vector<uint8_t>(370));
  for (auto& p : permanences)
    for (auto& e : p)
      e = handChange(rng) == 0 ? HW : static_cast<uint8_t>(number(rng));
  return permanences;
}

SystemTestParams windowDefaults() {
  SystemTestParams p;
  p.stakes = {5, 5, 5, 5, 10, 10};
  return p;
}

TEST(RandomComparisonRun, MeanNetAgreesWithTheHouseEdge) {
  const auto permanences = realisticPermanences(11, 100);
  const SystemTestRun run =
      RunSystemTest(permanences, windowDefaults(),
                    {.protocol = ProtocolMode::Skip,
                     .comparison = RandomComparisonRequest{.replicas = 2000, .seed = 42}});
  ASSERT_TRUE(run.comparison.has_value());
  const RandomComparison& c = *run.comparison;
  ASSERT_EQ(c.netto.size(), 2000u);
  const double standardError = c.nettoStd / std::sqrt(2000.0);
  EXPECT_GT(c.nettoStd, 0.0);
  EXPECT_NEAR(c.nettoMittel, -c.umsatzMittel / 37.0, 4.0 * standardError);
  EXPECT_LE(c.nettoMin, c.quantile[0]);
  EXPECT_TRUE(std::is_sorted(c.quantile.begin(), c.quantile.end()));
  EXPECT_LE(c.quantile[4], c.nettoMax);
  const auto atMost = std::count_if(c.netto.begin(), c.netto.end(), [&](int64_t n) {
    return n <= NetResult(run.totals, windowDefaults());
  });
  EXPECT_DOUBLE_EQ(c.perzentil, 100.0 * static_cast<double>(atMost) / 2000.0);
}

TEST(RandomComparisonRun, ReplicasDependOnTheSeedAloneAndCoupCountsAreKept) {
  auto permanences = realisticPermanences(12, 40);
  // Hand changes are not drawn: a replica of a permanence of 16 entries, one of them a hand
  // change, has 15 coups, which is short of the near-end test for A = 6 from the first coup.
  permanences.push_back(std::vector<uint8_t>(16, HW));
  std::optional<RandomComparison> first;
  for (int threads : {1, 2, 0}) {
    const SystemTestRun run =
        RunSystemTest(permanences, windowDefaults(),
                      {.protocol = ProtocolMode::Skip,
                       .run = {.threads = threads},
                       .comparison = RandomComparisonRequest{.replicas = 50, .seed = 7}});
    ASSERT_TRUE(run.comparison.has_value());
    if (!first) {
      first = run.comparison;
      continue;
    }
    EXPECT_EQ(run.comparison->netto, first->netto) << threads;
    EXPECT_EQ(run.comparison->umsatz, first->umsatz) << threads;
  }
  const SystemTestRun otherSeed =
      RunSystemTest(permanences, windowDefaults(),
                    {.protocol = ProtocolMode::Skip,
                     .comparison = RandomComparisonRequest{.replicas = 50, .seed = 8}});
  EXPECT_NE(otherSeed.comparison->netto, first->netto);
}

TEST(RandomComparisonRun, ProgressCountsReplicasAndCanCancelThem) {
  const auto permanences = realisticPermanences(13, 30);
  for (int threads : {1, 2}) {
    std::vector<std::pair<size_t, size_t>> reports;
    const SystemTestRun run =
        RunSystemTest(permanences, windowDefaults(),
                      {.protocol = ProtocolMode::Skip,
                       .run = {.threads = threads,
                               .reportEvery = 10,
                               .progress =
                                   [&](size_t done, size_t total) {
                                     reports.emplace_back(done, total);
                                     return true;
                                   }},
                       .comparison = RandomComparisonRequest{.replicas = 20, .seed = 1}});
    ASSERT_TRUE(run.comparison.has_value());
    ASSERT_FALSE(reports.empty());
    for (const auto& [done, total] : reports)
      EXPECT_EQ(total, 30u * 21u);
    EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
    EXPECT_EQ(reports.back().first, 30u * 21u);

    const SystemTestRun cancelled =
        RunSystemTest(permanences, windowDefaults(),
                      {.protocol = ProtocolMode::Skip,
                       .run = {.threads = threads,
                               .progress = [](size_t done, size_t) { return done < 30u * 5u; }},
                       .comparison = RandomComparisonRequest{.replicas = 20, .seed = 1}});
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_FALSE(cancelled.comparison.has_value());
    EXPECT_TRUE(cancelled.tested.empty());
  }
}

} // namespace
} // namespace kw
