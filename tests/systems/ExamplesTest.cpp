// The systems shipped with the program: each does what its description says, and the
// two-thirds script moves the money exactly as the built-in system test where their rules
// coincide.
#include "ScriptRunner.h"
#include "support/TestFiles.h"

#include "systemtest/SystemTest.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace kw {
namespace {

using test::HW;

SystemScript example(const std::string& file) {
  std::ifstream in(std::string(KESSELWERK_SYSTEMS_DIR) + "/" + file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return {text.str(), file};
}

struct Loaded {
  ScriptInfo info;
  SystemSettings settings;
};

Loaded load(const SystemScript& script,
            const std::vector<std::pair<std::string, std::string>>& values = {}) {
  const ScriptLoad loaded = LoadSystemScript(script, 1);
  EXPECT_TRUE(loaded.info) << script.fileName << ": " << loaded.error;
  Loaded l{loaded.info.value_or(ScriptInfo{}), test::Settings()};
  l.settings.parameters = l.info.parameters;
  l.settings.zeroRule = l.info.zeroRule;
  std::vector<std::pair<std::string, ScriptParameter>> overrides;
  for (const auto& [name, value] : values)
    overrides.emplace_back(name, *ParseParameterValue(value));
  EXPECT_FALSE(OverrideParameters(l.settings.parameters, overrides));
  return l;
}

SystemPermanenceResult play(const SystemScript& script, const SystemSettings& settings,
                            const std::vector<uint8_t>& entries) {
  SystemHost host(script, settings);
  SystemPermanenceResult result;
  EXPECT_EQ(host.play(entries, 0, "t", 1, result), SystemHost::Status::Done) << host.errorMessage();
  return result;
}

std::vector<std::string> saetze(const SystemPermanenceResult& r) {
  std::vector<std::string> texts;
  for (const SystemProtocolRow& row : r.protocol)
    if (row.entry != HW)
      texts.push_back(row.saetze);
  return texts;
}

// The recorded Wiesbaden permanences with a hand change after every 37th coup.
std::vector<uint8_t> wiesbaden(const char* file) {
  return test::RecordedCoups(QString::fromLatin1(file), 37, HW);
}

TEST(SystemExamples, EachLoadsWithItsNameAndParameters) {
  struct Case {
    const char* file;
    const char* name;
    std::vector<std::string> parameters;
  };
  const Case cases[] = {
      {"Martingale auf Rouge.lua", "Martingale auf Rouge", {"stufen"}},
      {"Dutzend-Nachsetzer.lua", "Dutzend-Nachsetzer", {"seit", "stufen"}},
      {"Fibonacci auf Pair.lua", "Fibonacci auf Pair", {"stufen"}},
      {"Kalte Zahlen plein.lua", "Kalte Zahlen plein", {"anzahl", "ab_coup"}},
      {"Zwei-Drittel-Gesetz.lua", "Zwei-Drittel-Gesetz", {"vorlauf", "angriffe"}},
  };
  const std::vector<uint8_t> real = wiesbaden("spielbank-wiesbaden_t1_190424.txt");
  ASSERT_GT(real.size(), 10000u);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const SystemScript script = example(c.file);
    const Loaded l = load(script);
    EXPECT_EQ(l.info.name, c.name);
    std::vector<std::string> names;
    for (const ScriptParameter& p : l.info.parameters)
      names.push_back(p.name);
    EXPECT_EQ(names, c.parameters);
    EXPECT_EQ(CheckSystemScript(script, l.settings, 1), "");
    // Played over real permanences in pieces of 370 entries, without a failure.
    std::vector<std::vector<uint8_t>> pieces;
    for (size_t at = 0; at < std::min<size_t>(real.size(), 370 * 60); at += 370)
      pieces.emplace_back(real.begin() + static_cast<ptrdiff_t>(at),
                          real.begin() + static_cast<ptrdiff_t>(std::min(real.size(), at + 370)));
    const SystemRunResult run =
        RunSystem(script, l.settings, pieces, {}, 1, {.run = {.threads = 2}});
    EXPECT_TRUE(run.ok()) << run.error;
    EXPECT_GT(run.totals.einsaetze, 100);
  }
}

TEST(SystemExamples, MartingaleDoublesAfterEachLossUntilTheCapitalRunsOut) {
  const SystemScript script = example("Martingale auf Rouge.lua");
  const SystemPermanenceResult r =
      play(script, load(script).settings, {2, 4, 1, 3, 0, 5, 2, 4, 6, 8, 10, 11, 13, 15, 17, 1});
  const std::vector<std::string> expected = {
      "rouge \u00d7 1",  "rouge \u00d7 2",  "rouge \u00d7 4",  "rouge \u00d7 1",  "rouge \u00d7 1",
      "rouge \u00d7 2",  "rouge \u00d7 1",  "rouge \u00d7 2",  "rouge \u00d7 4",  "rouge \u00d7 8",
      "rouge \u00d7 16", "rouge \u00d7 32", "rouge \u00d7 64", "rouge \u00d7 128"};
  EXPECT_EQ(saetze(r), expected);
  // 1000 - 5 - 10 + 20 + 5 - 2.50 (zero) + 10 = 1017.50, then seven losses of 5..320 (635)
  // leave 382.50: the eighth step (640) is more than that.
  EXPECT_EQ(r.ende, SystemEnd::KapitalReichtNicht);
  EXPECT_EQ(r.saldo, 38250);
  EXPECT_EQ(r.gespielt, 13);

  const SystemPermanenceResult short_ =
      play(script, load(script, {{"stufen", "2"}}).settings, {2, 4, 6, 8});
  EXPECT_EQ(saetze(short_), (std::vector<std::string>{"rouge \u00d7 1", "rouge \u00d7 2",
                                                      "rouge \u00d7 1", "rouge \u00d7 2"}));
}

TEST(SystemExamples, DozenChaserStartsWhenADozenStaysAwayAndCoversItsLosses) {
  const SystemScript script = example("Dutzend-Nachsetzer.lua");
  const SystemPermanenceResult r =
      play(script, load(script).settings, {13, 25, 13, 25, 13, 25, 13, 25, 14, 26, 15, 5, 7, 30});
  const std::vector<std::string> expected = {"",
                                             "",
                                             "",
                                             "",
                                             "",
                                             "",
                                             "",
                                             "",
                                             "dutzend 1 \u00d7 1",
                                             "dutzend 1 \u00d7 1",
                                             "dutzend 1 \u00d7 2",
                                             "dutzend 1 \u00d7 3",
                                             "",
                                             ""};
  EXPECT_EQ(saetze(r), expected);
  EXPECT_EQ(r.saldo, 101000); // 4 pieces lost, 6 won
  // With four losing steps the attack ends and waits for the next signal.
  const SystemPermanenceResult lost =
      play(script, load(script).settings, {13, 25, 13, 25, 13, 25, 13, 25, 14, 26, 15, 27, 16, 5});
  EXPECT_EQ(saetze(lost).back(), "");
  EXPECT_EQ(lost.saldo, 100000 - 7 * 500);
}

TEST(SystemExamples, FibonacciGoesOneStepOnAfterALossAndTwoBackAfterAWin) {
  const SystemScript script = example("Fibonacci auf Pair.lua");
  const SystemPermanenceResult r = play(script, load(script).settings, {1, 3, 5, 2, 0, 4});
  EXPECT_EQ(saetze(r),
            (std::vector<std::string>{"pair \u00d7 1", "pair \u00d7 1", "pair \u00d7 2",
                                      "pair \u00d7 3", "pair \u00d7 1", "pair \u00d7 2"}));
  EXPECT_EQ(test::Capitals(r), (std::vector<Cents>{99500, 99000, 98000, 99500, 99250, 100250}));
}

TEST(SystemExamples, ColdNumbersAreTheLongestAbsent) {
  const SystemScript script = example("Kalte Zahlen plein.lua");
  const SystemPermanenceResult r =
      play(script, load(script, {{"ab_coup", "3"}, {"anzahl", "2"}}).settings, {0, 1, 2, 3, 9});
  EXPECT_EQ(saetze(r), (std::vector<std::string>{"", "", "", "plein 3 \u00d7 1, plein 4 \u00d7 1",
                                                 "plein 4 \u00d7 1, plein 5 \u00d7 1"}));
  EXPECT_EQ(r.saldo, 100000 + 17000 - 1000);
}

// Where the rules of both agree, the script's capital equals the built-in system test's
// after every coup. Where they differ (see the script's description), the only allowed
// differences are: the built-in test stops a permanence that nears its end; the script's run
// stops at the loss limit also after the last coup of an attack, and when a bet is more than
// the capital.
TEST(SystemExamples, TwoThirdsScriptMovesTheMoneyAsTheBuiltInSystemTest) {
  const SystemScript script = example("Zwei-Drittel-Gesetz.lua");
  SystemSettings settings = load(script).settings;
  SystemTestParams params;
  params.stakes = {5, 5, 5, 5, 10, 10}; // the default stake table's first six columns x 5

  const std::vector<uint8_t> real = wiesbaden("spielbank-wiesbaden_t2_190424.txt");
  SystemHost host(script, settings);
  int nearEnd = 0, sameStop = 0, scriptStopsEarlier = 0, comparedCoups = 0;
  for (size_t at = 0; at + 370 <= std::min<size_t>(real.size(), 370 * 800); at += 370) {
    const std::span<const uint8_t> entries(real.data() + at, 370);
    const PermanenceResult builtIn = SimulatePermanence(entries, params);
    SystemPermanenceResult own;
    ASSERT_EQ(host.play(entries, at / 370, "t", 1, own), SystemHost::Status::Done)
        << host.errorMessage();

    const size_t builtInRows = builtIn.protocol.size();
    size_t ownRows = own.protocol.size();
    if (own.ende == SystemEnd::KapitalReichtNicht)
      --ownRows; // that coup was not played
    for (size_t r = 0; r < std::min(builtInRows, ownRows); ++r) {
      if (entries[r] == HW)
        continue;
      const SystemProtocolRow& row = own.protocol[r];
      ASSERT_EQ(row.kapital % 100, 0);
      ASSERT_EQ(builtIn.protocol[r][SaldoColumn], std::to_string(row.kapital / 100))
          << "permanence " << at / 370 << ", row " << r;
      ASSERT_EQ(builtIn.protocol[r][EinsatzColumn],
                row.bet ? std::to_string(row.einsatz / 100) : std::string());
      ++comparedCoups;
    }
    if (ownRows < builtInRows) {
      ++scriptStopsEarlier;
      const bool lossAfterExhaustedAttack =
          own.ende == SystemEnd::Verlustgrenze &&
          builtIn.protocol[ownRows - 1][HinweisColumn] == "Ende des Angriffs";
      EXPECT_TRUE(lossAfterExhaustedAttack || own.ende == SystemEnd::KapitalReichtNicht)
          << "permanence " << at / 370;
    } else if (builtIn.outcome.stop == StopReason::NearEnd) {
      ++nearEnd;
    } else {
      ++sameStop;
      EXPECT_EQ(ownRows, builtInRows);
      const StopReason stop = builtIn.outcome.stop;
      EXPECT_EQ(own.ende, stop == StopReason::ProfitTarget ? SystemEnd::Gewinnziel
                          : stop == StopReason::LossLimit  ? SystemEnd::Verlustgrenze
                                                           : SystemEnd::Permanenzende);
      EXPECT_EQ(own.umsatz, builtIn.outcome.umsatz * 100);
    }
  }
  EXPECT_GT(nearEnd, 10);
  EXPECT_GT(sameStop, 10);
  EXPECT_GT(comparedCoups, 10000);
  RecordProperty("scriptStopsEarlier", scriptStopsEarlier);
}

} // namespace
} // namespace kw
