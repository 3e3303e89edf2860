// The risk figures and the random comparison of users' own systems: money in cents, the
// expectation with the zero rule, replicas independent of the threads and as lossy as the
// wheel makes them.
#include "ScriptRunner.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>
#include <sstream>

namespace kw {
namespace {

SystemScript example(const std::string& file) {
  std::ifstream in(std::string(KESSELWERK_SYSTEMS_DIR) + "/" + file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return {text.str(), file};
}

SystemSettings settingsOf(const SystemScript& script) {
  const ScriptLoad load = LoadSystemScript(script, 1);
  EXPECT_TRUE(load.info) << load.error;
  SystemSettings settings = test::Settings();
  settings.protocol = false;
  if (load.info) {
    settings.parameters = load.info->parameters;
    settings.zeroRule = load.info->zeroRule;
  }
  return settings;
}

std::vector<std::vector<uint8_t>> randomPermanences(size_t count, size_t length, uint32_t seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> number(0, 36);
  std::vector<std::vector<uint8_t>> all(count, std::vector<uint8_t>(length));
  for (auto& p : all)
    for (uint8_t& e : p)
      e = static_cast<uint8_t>(number(random));
  return all;
}

SystemRunResult compare(const SystemScript& script, const SystemSettings& settings,
                        const std::vector<std::vector<uint8_t>>& permanences, int replicas,
                        uint64_t seed, int threads) {
  SystemRunOptions options{.run = {.threads = threads}};
  options.comparison = RandomComparisonRequest{.replicas = replicas, .seed = seed};
  return RunSystem(script, settings, permanences, {}, seed, options);
}

// A hand-made run of three permanences: rouge 2 pieces of 5 euros on every coup.
TEST(SystemRisk, FiguresOfAHandMadeRunInCents) {
  const SystemScript script{"zero_regel = \"halb\"\nfunction setze(c) return {{\"rouge\", 2}} end",
                            "r.lua"};
  // +10, -10, -5 (zero), +10 | -10, -10 | 0 coups
  const std::vector<std::vector<uint8_t>> permanences = {
      {1, HandChangeCode, 2, 0, 3}, {2, 4}, {}, {0}};
  SystemSettings settings = settingsOf(script);
  const SystemRunResult run = RunSystem(script, settings, permanences, {}, 1);
  ASSERT_TRUE(run.ok()) << run.error;
  // Results +5, -20, 0, -5 euros: running 5, -15, -15, -20; peak 5.
  EXPECT_EQ(run.risk.groessterRueckgang, 2500);
  EXPECT_EQ(run.risk.laengsteVerlustserie, 1);
  EXPECT_EQ(run.risk.schlechteste, 1u);
  EXPECT_EQ(run.risk.schlechtestesErgebnis, -2000);
  EXPECT_EQ(run.risk.tiefsterKapitalstand, 98000);
  // 7 coups of 10 euros on a simple chance, zero halved: -70/74 euros.
  EXPECT_EQ(run.totals.umsatzEinfach, 7000);
  EXPECT_DOUBLE_EQ(run.risk.erwartung, -7000.0 / 74.0);

  settings.zeroRule = ZeroRule::Keine;
  EXPECT_DOUBLE_EQ(RunSystem(script, settings, permanences, {}, 1).risk.erwartung, -7000.0 / 37.0);
}

TEST(SystemRisk, ExpectationCountsEachKindOfBetWithItsLoss) {
  EXPECT_DOUBLE_EQ(ExpectedSystemNet(3700, 0, ZeroRule::Halb), -100.0);
  EXPECT_DOUBLE_EQ(ExpectedSystemNet(3700 + 7400, 7400, ZeroRule::Halb), -200.0);
  EXPECT_DOUBLE_EQ(ExpectedSystemNet(7400, 7400, ZeroRule::Keine), -200.0);
  EXPECT_DOUBLE_EQ(ExpectedSystemNet(0, 0, ZeroRule::Halb), 0.0);
}

// The replicas' coups and the script's math.random both come from the seed alone.
TEST(SystemComparison, SameSeedSameReplicasForEveryThreadCount) {
  const SystemScript script{R"(
function setze(c)
  if c.seit("dutzend", 1) >= 2 then return {{"dutzend", 1, 1}, {"plein", math.random(0, 36), 1}} end
end)",
                            "z.lua"};
  const SystemSettings settings = settingsOf(script);
  const auto permanences = randomPermanences(12, 150, 3);
  const SystemRunResult one = compare(script, settings, permanences, 40, 11, 1);
  ASSERT_TRUE(one.ok()) << one.error;
  ASSERT_TRUE(one.comparison);
  EXPECT_EQ(one.comparison->replicas, 40);
  EXPECT_EQ(one.comparison->netto.size(), 40u);
  for (int threads : {2, 5}) {
    const SystemRunResult other = compare(script, settings, permanences, 40, 11, threads);
    ASSERT_TRUE(other.comparison);
    EXPECT_EQ(other.comparison->netto, one.comparison->netto) << threads;
    EXPECT_EQ(other.comparison->umsatz, one.comparison->umsatz) << threads;
  }
  EXPECT_NE(compare(script, settings, permanences, 40, 12, 2).comparison->netto,
            one.comparison->netto);
  EXPECT_NE(ReplicaPermanenceSeed(11, 0, 0), PermanenceSeed(11, 0));
}

// Whatever the progression, the wheel takes 1/74 of every simple-chance stake under the
// half rule: the replicas' mean net result lies within four standard errors of it.
TEST(SystemComparison, MartingaleReplicasLoseWhatTheWheelTakes) {
  const SystemScript script = example("Martingale auf Rouge.lua");
  const SystemSettings settings = settingsOf(script);
  ASSERT_EQ(settings.zeroRule, ZeroRule::Halb);
  const auto permanences = randomPermanences(20, 370, 8);
  const SystemRunResult run = compare(script, settings, permanences, 400, 2024, 0);
  ASSERT_TRUE(run.ok()) << run.error;
  const RandomComparison& c = *run.comparison;
  const double standardError = c.nettoStd / std::sqrt(static_cast<double>(c.replicas));
  EXPECT_GT(standardError, 0.0);
  EXPECT_NEAR(c.nettoMittel, -c.umsatzMittel / 74.0, 4.0 * standardError);
  // Not the full-paying bets' 1/37: the test can tell the two apart.
  EXPECT_GT(std::abs(c.nettoMittel + c.umsatzMittel / 37.0), standardError);
}

TEST(SystemComparison, ProgressCountsEveryReplicaAndCancelStopsIt) {
  const SystemScript script = example("Fibonacci auf Pair.lua");
  const auto permanences = randomPermanences(6, 100, 4);
  SystemRunOptions options{.run = {.threads = 2, .reportEvery = 1}};
  options.comparison = RandomComparisonRequest{.replicas = 9, .seed = 1};
  size_t last = 0;
  size_t total = 0;
  options.run.progress = [&](size_t done, size_t all) {
    EXPECT_GE(done, last);
    last = done;
    total = all;
    return true;
  };
  const SystemRunResult run = RunSystem(script, settingsOf(script), permanences, {}, 1, options);
  ASSERT_TRUE(run.comparison);
  EXPECT_EQ(total, 6u * 10u);
  EXPECT_EQ(last, total);

  options.run.progress = [](size_t done, size_t) { return done < 6; };
  const SystemRunResult cancelled =
      RunSystem(script, settingsOf(script), permanences, {}, 1, options);
  EXPECT_TRUE(cancelled.cancelled);
  EXPECT_FALSE(cancelled.comparison);
  EXPECT_TRUE(cancelled.error.empty());
}

// A script that fails only on some random coups fails the comparison with the message of
// the first such replica, named as a replica of its permanence.
TEST(SystemComparison, AFailingReplicaStopsTheRunWithItsMessage) {
  const SystemScript script{"function setze(c) if c.zahl(1) == 13 then error(\"13\") end end",
                            "f.lua"};
  const std::vector<std::vector<uint8_t>> permanences(2, std::vector<uint8_t>(40, 1));
  const std::vector<std::string> names = {"Tisch01", "Tisch02"};
  std::string first;
  for (int threads : {1, 3}) {
    SystemRunOptions options{.run = {.threads = threads}};
    options.comparison = RandomComparisonRequest{.replicas = 20, .seed = 5};
    const SystemRunResult run =
        RunSystem(script, settingsOf(script), permanences, names, 5, options);
    EXPECT_FALSE(run.ok());
    EXPECT_FALSE(run.comparison);
    EXPECT_NE(run.error.find("Fehler im Skript Zeile 1 (Zufallsvergleich, Replikat "),
              std::string::npos)
        << run.error;
    EXPECT_NE(run.error.find(" statt Tisch0"), std::string::npos) << run.error;
    if (first.empty())
      first = run.error;
    EXPECT_EQ(run.error, first);
  }
}

} // namespace
} // namespace kw
