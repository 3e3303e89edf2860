// Runs over many permanences: file order, the same result for every thread count, printed
// lines in file order, the first failure in file order, cancel and the totals.
#include "ScriptRunner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <thread>

namespace kw {
namespace {

std::vector<std::vector<uint8_t>> randomPermanences(size_t count, uint32_t seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> length(0, 400);
  std::uniform_int_distribution<int> number(0, 36);
  std::uniform_int_distribution<int> handChange(0, 39);
  std::vector<std::vector<uint8_t>> all(count);
  for (auto& p : all) {
    p.resize(static_cast<size_t>(length(random)));
    for (uint8_t& e : p)
      e = handChange(random) == 0 ? HandChangeCode : static_cast<uint8_t>(number(random));
  }
  return all;
}

std::vector<std::string> names(size_t count) {
  std::vector<std::string> all;
  for (size_t i = 0; i < count; ++i)
    all.push_back("p" + std::to_string(i));
  return all;
}

// Random bets, and a decision that depends on the order pairs gives string keys.
const SystemScript RandomScript{R"(
local seen = {}
function setze(c)
  local z = c.zahl(1)
  if z then seen["z" .. z] = (seen["z" .. z] or 0) + 1 end
  if math.random() < 0.3 then return nil end
  for k, v in pairs(seen) do
    if v >= 3 then print(c.coup, k) return { { "plein", tonumber(k:sub(2)), 1 } } end
  end
  return { { "plein", math.random(0, 36), 1 }, { math.random() < 0.5 and "rouge" or "noir", 2 } }
end)",
                                "zufall.lua"};

struct Collected {
  SystemRunResult run;
  std::vector<std::string> printed;
};

Collected runWith(const SystemScript& script, const std::vector<std::vector<uint8_t>>& permanences,
                  int threads, uint64_t seed = 1) {
  Collected c;
  SystemRunOptions options{.run = {.threads = threads}};
  options.print = [&](const PrintLine& line) {
    c.printed.push_back(std::to_string(line.permanence) + "/" + std::to_string(line.coup) + ":" +
                        line.text);
  };
  SystemSettings settings = test::Settings();
  settings.protocol = false;
  const auto n = names(permanences.size());
  c.run = RunSystem(script, settings, permanences, n, seed, options);
  return c;
}

void expectSameRun(const Collected& a, const Collected& b) {
  ASSERT_EQ(a.run.permanences.size(), b.run.permanences.size());
  for (size_t i = 0; i < a.run.permanences.size(); ++i) {
    const SystemPermanenceResult& x = a.run.permanences[i];
    const SystemPermanenceResult& y = b.run.permanences[i];
    EXPECT_EQ(
        std::tie(x.coups, x.gespielt, x.einsaetze, x.umsatz, x.saldo, x.minimum, x.maximum, x.ende),
        std::tie(y.coups, y.gespielt, y.einsaetze, y.umsatz, y.saldo, y.minimum, y.maximum, y.ende))
        << "permanence " << i;
  }
  EXPECT_EQ(a.printed, b.printed);
  EXPECT_EQ(a.run.error, b.run.error);
}

TEST(SystemRun, EveryThreadCountGivesTheSameRun) {
  const auto permanences = randomPermanences(60, 5);
  const Collected one = runWith(RandomScript, permanences, 1);
  ASSERT_TRUE(one.run.ok()) << one.run.error;
  EXPECT_GT(one.printed.size(), 20u);
  EXPECT_GT(one.run.totals.einsaetze, 1000);
  for (int threads : {2, 3, 8})
    expectSameRun(one, runWith(RandomScript, permanences, threads));
  expectSameRun(one, runWith(RandomScript, permanences, 1)); // and again
  EXPECT_NE(runWith(RandomScript, permanences, 2, 2).run.totals.netto, one.run.totals.netto);
}

TEST(SystemRun, PrintedLinesArriveInFileOrder) {
  const SystemScript script{"function setze(c) if c.coup < 2 then print(c.coup) end end", "x.lua"};
  const std::vector<std::vector<uint8_t>> permanences(40, std::vector<uint8_t>(500, 1));
  const Collected run = runWith(script, permanences, 4);
  ASSERT_EQ(run.printed.size(), 80u);
  for (size_t i = 0; i < 40; ++i) {
    EXPECT_EQ(run.printed[2 * i], std::to_string(i) + "/1:0");
    EXPECT_EQ(run.printed[2 * i + 1], std::to_string(i) + "/2:1");
  }
}

TEST(SystemRun, TheFirstFailureInFileOrderStopsTheRun) {
  // Permanences 7 and 23 hold a 36, which the script does not accept.
  const SystemScript script{R"(
function setze(c)
  print("p", c.coup)
  if c.zahl(1) == 36 then error("36 gefallen") end
end)",
                            "x.lua"};
  std::vector<std::vector<uint8_t>> permanences(30, std::vector<uint8_t>{1, 2, 3});
  permanences[7] = {4, 36, 5};
  permanences[23] = {36, 1};
  for (int threads : {1, 2, 5}) {
    SCOPED_TRACE(threads);
    const Collected run = runWith(script, permanences, threads);
    EXPECT_FALSE(run.run.ok());
    EXPECT_EQ(run.run.error, "Fehler im Skript Zeile 4 (p7, Coup 3): 36 gefallen");
    EXPECT_EQ(run.run.errorPermanence, 7u);
    EXPECT_EQ(run.run.permanences.size(), 7u);
    // What permanences 0..7 printed, nothing of those after the failure.
    ASSERT_EQ(run.printed.size(), 8u * 3u);
    EXPECT_EQ(run.printed.back(), "7/3:p\t2");
  }
}

TEST(SystemRun, TotalsAddUpThePermanences) {
  const SystemScript script{"function setze(c) return { { \"rouge\", 1 } } end", "x.lua"};
  const std::vector<std::vector<uint8_t>> permanences = {{1, 3, 5}, {2, 0}, {}, {HandChangeCode}};
  const Collected run = runWith(script, permanences, 2);
  ASSERT_TRUE(run.run.ok()) << run.run.error;
  ASSERT_EQ(run.run.permanences.size(), 4u);
  EXPECT_EQ(run.run.permanences[0].saldo, 101500);
  EXPECT_EQ(run.run.permanences[1].saldo, 99250);
  EXPECT_EQ(run.run.permanences[2].coups, 0);
  EXPECT_EQ(run.run.permanences[3].handwechsel, 1);
  EXPECT_EQ(run.run.totals.permanenzen, 4);
  EXPECT_EQ(run.run.totals.einsaetze, 5);
  EXPECT_EQ(run.run.totals.umsatz, 2500);
  EXPECT_EQ(run.run.totals.netto, 750);
}

// Progress counts the permanences played, rising to all of them, on the calling thread; a
// cancel there ends the run without an error.
TEST(SystemRun, ProgressReachesEveryPermanenceAndCancelStops) {
  const auto permanences = randomPermanences(50, 9);
  const auto n = names(permanences.size());
  for (int threads : {1, 3}) {
    SCOPED_TRACE(threads);
    std::vector<size_t> reports;
    const std::thread::id caller = std::this_thread::get_id();
    SystemRunOptions options{.run = {.threads = threads, .reportEvery = 10}};
    options.run.progress = [&](size_t done, size_t all) {
      EXPECT_EQ(std::this_thread::get_id(), caller);
      EXPECT_EQ(all, permanences.size());
      reports.push_back(done);
      return true;
    };
    const SystemRunResult done =
        RunSystem(RandomScript, test::Settings(), permanences, n, 1, options);
    ASSERT_TRUE(done.ok()) << done.error;
    ASSERT_FALSE(reports.empty());
    EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
    EXPECT_EQ(reports.back(), permanences.size());

    options.run.progress = [](size_t, size_t) { return false; };
    const SystemRunResult cancelled =
        RunSystem(RandomScript, test::Settings(), permanences, n, 1, options);
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_FALSE(cancelled.ok());
    EXPECT_TRUE(cancelled.error.empty());
  }
}

TEST(SystemRun, CheckPlaysTheScriptOnceOnARandomPermanence) {
  EXPECT_EQ(CheckSystemScript({"function setze(c) return {{\"rouge\", 1}} end", "x.lua"},
                              test::Settings(), 1),
            "");
  EXPECT_EQ(CheckSystemScript({"function setze(c) if c.coup == 100 then return 1 end end", "x.lua"},
                              test::Settings(), 1),
            "Ungültiger Satz in Coup 101: 1 (setze gibt nil oder eine Liste von Sätzen "
            "zurück)\rPermanenz Probelauf");
  EXPECT_EQ(CheckSystemScript({"function setze(", "x.lua"}, test::Settings(), 1),
            "Fehler im Skript Zeile 1: <name> or '...' expected near <eof>");
}

} // namespace
} // namespace kw
