// The parameter search: every combination's figures are those of a single run with its
// settings, in range order and the same on any number of threads; the reality check plays
// the search again on the replicas a single run's random comparison draws.
#include "search/ParameterSearch.h"
#include "support/TestFiles.h"

#include "core/RouletteTables.h"
#include "systemtest/RandomCoups.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>

namespace kw {
namespace {

constexpr int64_t Start = 1000;

// The recorded Wiesbaden table 1 cut into permanences of 370 entries (a hand change after
// every 37th coup), and a short last one that only few attack counts test.
std::vector<std::vector<uint8_t>> realPermanences(size_t count) {
  const std::vector<uint8_t> real =
      test::RecordedCoups(QStringLiteral("spielbank-wiesbaden_t1_190424.txt"), 37, HandChangeCode);
  std::vector<std::vector<uint8_t>> pieces;
  for (size_t at = 0; at + 370 <= real.size() && pieces.size() < count; at += 370)
    pieces.emplace_back(real.begin() + static_cast<ptrdiff_t>(at),
                        real.begin() + static_cast<ptrdiff_t>(at + 370));
  pieces.emplace_back(real.begin(), real.begin() + 90);
  return pieces;
}

// The default progression, then two pieces for every further attack coup up to 100.
SystemTestParams baseParams() {
  SystemTestParams p;
  for (int k = 0; k < 100; ++k)
    p.stakes.push_back(5 * (k < 12 ? std::array{1, 1, 1, 1, 2, 2, 2, 3, 3, 4, 6, 9}[k] : 2));
  return p;
}

SearchRange range(const std::string& name, std::vector<int64_t> values) {
  SearchRange r{name, {}};
  for (int64_t v : values)
    r.values.push_back({.name = name, .isInteger = true, .integer = v, .number = 0.0});
  return r;
}

TEST(ParameterSearch, EveryCombinationEqualsASingleSystemTestInRangeOrderOnAnyThreads) {
  const auto permanences = realPermanences(40);
  ASSERT_EQ(permanences.size(), 41u);
  // Angriffe first, so the order of the ranges is not that of the parameters.
  const std::vector<SearchRange> ranges = {range("angriffe", {1, 6, 40, 100}),
                                           range("vorlauf", {2, 6, 13}), range("plus", {100, 1200}),
                                           range("minus", {500, 1000})};
  const SearchResult one =
      SearchSystemTest(permanences, baseParams(), ranges, {.run = {.threads = 1}});
  const SearchResult two =
      SearchSystemTest(permanences, baseParams(), ranges, {.run = {.threads = 2}});
  ASSERT_EQ(one.combinations.size(), 4u * 3 * 2 * 2);

  size_t c = 0;
  int64_t played = 0;
  for (int64_t angriffe : {1, 6, 40, 100})
    for (int64_t vorlauf : {2, 6, 13})
      for (int64_t plus : {100, 1200})
        for (int64_t minus : {500, 1000}) {
          SCOPED_TRACE(testing::Message()
                       << "A " << angriffe << ", V " << vorlauf << ", +" << plus << ", -" << minus);
          SystemTestParams params = baseParams();
          params.angriffe = static_cast<int>(angriffe);
          params.vorlauf = static_cast<int>(vorlauf);
          params.gewinnziel = Start + plus;
          params.verlustgrenze = Start - minus;
          const SystemTestRun single =
              RunSystemTest(permanences, params, {.protocol = ProtocolMode::Skip});
          const SearchCombination& found = one.combinations[c];
          ASSERT_EQ(found.values.size(), 4u);
          EXPECT_EQ(found.values[0].integer, angriffe);
          EXPECT_EQ(found.values[1].integer, vorlauf);
          EXPECT_EQ(found.values[2].integer, plus);
          EXPECT_EQ(found.values[3].integer, minus);
          EXPECT_EQ(found.permanenzen, single.totals.tested);
          EXPECT_EQ(found.netto, NetResult(single.totals, params));
          EXPECT_EQ(found.umsatz, single.totals.umsatz);
          EXPECT_EQ(found.rendite(),
                    Rendite(NetResult(single.totals, params), single.totals.umsatz));
          EXPECT_EQ(found.abbruchPlus, single.totals.abbruchPlus);
          EXPECT_EQ(found.abbruchMinus, single.totals.abbruchMinus);
          EXPECT_EQ(found.abbruchE, single.totals.abbruchE);
          const SearchCombination& threaded = two.combinations[c];
          EXPECT_EQ(threaded.netto, found.netto);
          EXPECT_EQ(threaded.umsatz, found.umsatz);
          EXPECT_EQ(threaded.abbruchE, found.abbruchE);
          played += found.umsatz;
          ++c;
        }
  EXPECT_GT(played, 0);
  // The short permanence counts only where few attack coups test it.
  EXPECT_EQ(one.combinations.front().permanenzen, 41);
  EXPECT_EQ(one.combinations.back().permanenzen, 40);

  const auto byNetto = [](const SearchCombination& a, const SearchCombination& b) {
    return a.netto < b.netto;
  };
  const auto& all = one.combinations;
  EXPECT_EQ(one.best,
            static_cast<size_t>(std::max_element(all.begin(), all.end(), byNetto) - all.begin()));
  EXPECT_EQ(one.worst,
            static_cast<size_t>(std::min_element(all.begin(), all.end(), byNetto) - all.begin()));
  EXPECT_EQ(two.best, one.best);
  EXPECT_EQ(two.worst, one.worst);
}

TEST(ParameterSearch, RealityCheckPlaysTheSearchOnTheComparisonsReplicas) {
  const auto permanences = realPermanences(12);
  const std::vector<SearchRange> ranges = {range("vorlauf", {4, 8}), range("angriffe", {3, 12})};
  const RandomComparisonRequest request{.replicas = 20, .seed = 77};
  const SearchResult search = SearchSystemTest(permanences, baseParams(), ranges,
                                               {.run = {.threads = 2}, .realityCheck = request});
  ASSERT_TRUE(search.realityCheck);
  const SearchRealityCheck& check = *search.realityCheck;
  ASSERT_EQ(check.bestNetto.size(), 20u);
  EXPECT_GE(check.p, 0.0);
  EXPECT_LE(check.p, 1.0);
  EXPECT_LE(check.quantile[0], check.quantile[1]);
  EXPECT_LE(check.quantile[1], check.quantile[2]);

  // Replica r replaces every tested permanence by coups drawn from (seed, r), in order; its
  // best is the highest Netto of single runs over them.
  size_t reachingRealBest = 0;
  for (size_t r = 0; r < check.bestNetto.size(); ++r) {
    RandomCoups random(request.seed, r);
    std::vector<std::vector<uint8_t>> replica;
    for (const auto& p : permanences)
      if (IsLongEnoughToTest(p.size(),
                             SystemTestParamsFor(baseParams(), search.combinations[0].values))) {
        replica.emplace_back(CoupCount(p));
        random.fill(replica.back());
      }
    int64_t best = std::numeric_limits<int64_t>::min();
    for (const SearchCombination& c : search.combinations) {
      const SystemTestParams params = SystemTestParamsFor(baseParams(), c.values);
      best = std::max(best, NetResult(RunSystemTest(replica, params).totals, params));
    }
    EXPECT_EQ(check.bestNetto[r], best) << "replica " << r;
    reachingRealBest += best >= search.combinations[search.best].netto;
  }
  EXPECT_DOUBLE_EQ(check.p, static_cast<double>(reachingRealBest) / 20.0);

  // One combination: its replicas are exactly those of the system test's random comparison.
  const std::vector<SearchRange> single = {range("vorlauf", {6}), range("angriffe", {6})};
  const SearchResult one =
      SearchSystemTest(permanences, baseParams(), single, {.realityCheck = request});
  SystemTestParams params = baseParams();
  const SystemTestRun run =
      RunSystemTest(permanences, params, {.protocol = ProtocolMode::Skip, .comparison = request});
  EXPECT_EQ(one.realityCheck->bestNetto, run.comparison->netto);
  EXPECT_DOUBLE_EQ(one.realityCheck->quantile[1], run.comparison->quantile[2]);
}

TEST(ParameterSearch, SameSeedSameRealityCheckOnAnyThreadsAndACancelStopsIt) {
  const auto permanences = realPermanences(8);
  const std::vector<SearchRange> ranges = {range("angriffe", {2, 5, 9})};
  const RandomComparisonRequest request{.replicas = 10, .seed = 5};
  const SearchResult one = SearchSystemTest(permanences, baseParams(), ranges,
                                            {.run = {.threads = 1}, .realityCheck = request});
  const SearchResult two = SearchSystemTest(permanences, baseParams(), ranges,
                                            {.run = {.threads = 2}, .realityCheck = request});
  EXPECT_EQ(one.realityCheck->bestNetto, two.realityCheck->bestNetto);
  EXPECT_EQ(one.realityCheck->p, two.realityCheck->p);

  size_t reports = 0;
  size_t lastTotal = 0;
  const SearchResult cancelled =
      SearchSystemTest(permanences, baseParams(), ranges,
                       {.run = {.threads = 2,
                                .reportEvery = 1,
                                .progress =
                                    [&](size_t done, size_t total) {
                                      lastTotal = total;
                                      return ++reports < 3 && done <= total;
                                    }},
                        .realityCheck = request});
  EXPECT_TRUE(cancelled.cancelled);
  EXPECT_TRUE(cancelled.combinations.empty());
  EXPECT_EQ(reports, 3u);
  EXPECT_GT(lastTotal, 0u);
}

// ---- Scripts ----

SystemScript example(const std::string& file) {
  std::ifstream in(std::string(KESSELWERK_SYSTEMS_DIR) + "/" + file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return {text.str(), file};
}

TEST(ParameterSearch, EveryScriptCombinationEqualsASingleRunAndItsRealityCheckIsReproducible) {
  const SystemScript script = example("Dutzend-Nachsetzer.lua");
  const ScriptLoad load = LoadSystemScript(script, 1);
  ASSERT_TRUE(load.info) << load.error;
  SystemSettings base;
  base.money = SystemMoneyFromEuros(5, 1000, 500, 800);
  base.parameters = load.info->parameters;
  base.zeroRule = load.info->zeroRule;
  auto permanences = realPermanences(6);
  const std::vector<std::string> names(permanences.size(), "t");
  const RangeReading seit = ParseRangeText("seit=4..10:3");
  ASSERT_TRUE(seit.bounds) << seit.error;
  const RangeExpansion expanded = ExpandScriptRange(*seit.bounds, base.parameters);
  ASSERT_TRUE(expanded.range) << expanded.error;
  const std::vector<SearchRange> ranges = {*expanded.range, range("stufen", {2, 4})};
  const RandomComparisonRequest request{.replicas = 2, .seed = 9};

  const SearchResult search = SearchSystem(script, base, permanences, names, 3, ranges,
                                           {.run = {.threads = 2}, .realityCheck = request});
  ASSERT_TRUE(search.ok()) << search.error;
  ASSERT_EQ(search.combinations.size(), 6u);
  EXPECT_TRUE(search.inCents);
  size_t c = 0;
  for (int64_t s : {4, 7, 10})
    for (int64_t stufen : {2, 4}) {
      SystemSettings settings = base;
      for (ScriptParameter& p : settings.parameters)
        p.integer = p.name == "seit" ? s : stufen;
      const SystemRunResult single = RunSystem(script, settings, permanences, names, 3);
      ASSERT_TRUE(single.ok()) << single.error;
      const SearchCombination& found = search.combinations[c++];
      EXPECT_EQ(found.values[0].integer, s);
      EXPECT_EQ(found.values[1].integer, stufen);
      EXPECT_EQ(found.netto, single.totals.netto);
      EXPECT_EQ(found.umsatz, single.totals.umsatz);
      EXPECT_EQ(found.permanenzen, single.totals.permanenzen);
      int64_t plus = 0;
      for (const SystemPermanenceResult& p : single.permanences)
        plus += p.ende == SystemEnd::Gewinnziel;
      EXPECT_EQ(found.abbruchPlus, plus);
    }
  const SearchResult again = SearchSystem(script, base, permanences, names, 3, ranges,
                                          {.run = {.threads = 1}, .realityCheck = request});
  ASSERT_TRUE(again.realityCheck && search.realityCheck);
  EXPECT_EQ(again.realityCheck->bestNetto, search.realityCheck->bestNetto);

  // A script error stops the search with the run's message.
  const SystemScript failing{"parameter = { n = 1 }\nfunction setze(c)\n  if c.param.n > 1 then "
                             "error('zu viel') end\nend\n",
                             "fehler.lua"};
  SystemSettings failingBase = base;
  failingBase.parameters = LoadSystemScript(failing, 1).info->parameters;
  const SearchResult failed = SearchSystem(failing, failingBase, permanences, names, 3,
                                           std::vector<SearchRange>{range("n", {1, 2})});
  EXPECT_FALSE(failed.ok());
  EXPECT_NE(failed.error.find("zu viel"), std::string::npos) << failed.error;
}

} // namespace
} // namespace kw
