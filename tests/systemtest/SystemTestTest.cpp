#include "systemtest/SystemTest.h"

#include "core/RouletteTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace kw {
namespace {

constexpr uint8_t HW = HandChangeCode;

SystemTestParams makeParams(int vorlauf, std::vector<int64_t> stakes, int64_t gewinnziel = 1500,
                            int64_t verlustgrenze = 200) {
  SystemTestParams p;
  p.vorlauf = vorlauf;
  p.angriffe = static_cast<int>(stakes.size());
  p.stueckgroesse = 5;
  p.stakes = std::move(stakes);
  p.startkapital = 1000;
  p.gewinnziel = gewinnziel;
  p.verlustgrenze = verlustgrenze;
  return p;
}

// Pads a permanence with repeated numbers so that play never reaches its approaching end
// before the entries under test.
std::vector<uint8_t> padded(std::vector<uint8_t> entries) {
  entries.insert(entries.end(), 120, 0);
  return entries;
}

// Permanences of 5..400 entries with hand changes now and then (values 37..40).
std::vector<std::vector<uint8_t>> randomPermanences(unsigned seed, size_t count) {
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> number(0, 40);
  std::uniform_int_distribution<int> length(5, 400);
  std::vector<std::vector<uint8_t>> permanences(count);
  for (auto& p : permanences) {
    p.resize(static_cast<size_t>(length(rng)));
    for (auto& e : p) {
      const int v = number(rng);
      e = static_cast<uint8_t>(v > 36 ? HW : v);
    }
  }
  return permanences;
}

TEST(NumberSetText, CountsAndListsMembers) {
  EXPECT_EQ(CountNumbers(NumberSet{}), 0);
  EXPECT_EQ(CountNumbers(NumberSet{0, 36, 40, 255}), 4);

  struct Case {
    NumberSet set;
    int count;
    const char* text;
  };
  const Case cases[] = {
      {{12, 3, 7}, 3, "3 7 12"}, {{3, 7, 12}, 2, "3 7"}, // stops after the given count
      {{0, 36, 40}, 5, "0 36"},                          // and after 36
      {{3, 7}, 0, ""},           {{}, 6, ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(NumbersText(c.set, c.count), c.text) << c.text;
}

// V = 3, A = 2, stakes 5 and 10, Startkapital 1000, Gewinnziel 1500, Verlustgrenze 200.
TEST(SimulatePermanence, WorkedExampleProtocolAndOutcome) {
  const std::vector<uint8_t> entries = {4, 15, 4, 22, 9,  31, 9,  1, 2,  HW, 3, 7,
                                        8, 5,  6, 10, 11, 6,  27, 0, 36, 12, 13};
  const std::vector<ProtocolRow> expected = {
      {"1", "4", "", "1000", ""},
      {"2", "15", "", "1000", ""},
      {"3", "4", "", "1000", ""},
      {"4", "22", "", "1000", ""},
      {"5", "9", "", "1000", ""},
      {"6", "31", "", "1000", "Satzsignal"},
      {"7", "9", "15", "1165", "9 22 31, sofort Gewinn"},
      {"8", "1", "", "1165", ""},
      {"9", "2", "", "1165", ""},
      {"", "HW", "", "", ""},
      {"10", "3", "", "1165", "Satzsignal"},
      {"11", "7", "15", "1150", "1 2 3"},
      {"12", "8", "30", "1120", "Ende des Angriffs"},
      {"13", "5", "", "1120", ""},
      {"14", "6", "", "1120", ""},
      {"15", "10", "", "1120", "Satzsignal"},
      {"16", "11", "15", "1105", "5 6 10"},
      {"17", "6", "30", "1435", "Gewinn"},
      {"18", "27", "", "1435", "Permanenzende naht - Abbruch"},
  };

  const PermanenceResult r = SimulatePermanence(entries, makeParams(3, {5, 10}));
  ASSERT_EQ(r.protocol.size(), expected.size());
  for (size_t row = 0; row < expected.size(); ++row)
    for (int col = 0; col < ProtocolColumnCount; ++col)
      EXPECT_EQ(r.protocol[row][col], expected[row][col]) << "row " << row + 1 << " col " << col;

  const PermanenceOutcome& o = r.outcome;
  EXPECT_EQ(o.finalCapital, 1435);
  EXPECT_EQ(o.umsatz, 105);
  EXPECT_EQ(o.einsaetze, 5);
  EXPECT_EQ(o.satzsignale, 3);
  EXPECT_EQ(o.minimum, 1105);
  EXPECT_EQ(o.maximum, 1435);
  EXPECT_EQ(o.stop, StopReason::NearEnd);
  EXPECT_EQ(o.rowsReached, 19u);

  // The summary-only mode plays the same game.
  const PermanenceResult quiet =
      SimulatePermanence(entries, makeParams(3, {5, 10}), ProtocolMode::Skip);
  EXPECT_TRUE(quiet.protocol.empty());
  EXPECT_EQ(quiet.outcome.finalCapital, 1435);
  EXPECT_EQ(quiet.outcome.rowsReached, 19u);
  EXPECT_EQ(quiet.outcome.minimum, 1105);
}

TEST(SimulatePermanence, RepeatEmptiesLeadInAndSignalBetsItsNumbers) {
  // V = 2: the repeated 5 empties the set, 7 and 9 make the signal, 7 wins at once.
  const auto r = SimulatePermanence(padded({5, 5, 7, 9, 7}), makeParams(2, {5}));
  EXPECT_EQ(r.protocol[3][HinweisColumn], "Satzsignal");
  EXPECT_EQ(r.protocol[4][EinsatzColumn], "10");
  EXPECT_EQ(r.protocol[4][HinweisColumn], "7 9, sofort Gewinn");
  EXPECT_EQ(r.protocol[4][SaldoColumn], "1170"); // 1000 - 10 + 36 x 5

  // V = 6, stake 5: the first coup bets 30 and a hit brings back 180.
  const auto six = SimulatePermanence(padded({1, 2, 3, 4, 5, 6, 4}), makeParams(6, {5}));
  EXPECT_EQ(six.protocol[6][EinsatzColumn], "30");
  EXPECT_EQ(six.protocol[6][SaldoColumn], "1150");
  EXPECT_EQ(six.protocol[6][HinweisColumn], "1 2 3 4 5 6, sofort Gewinn");
}

TEST(SimulatePermanence, HandChangesAndOtherCodesAreNoCoups) {
  // Lead-in 1 (HW) 2 (HW) 3 stays one run of different numbers; inside the attack the HW
  // and the stray 99 use no step, so the hit 2 is the attack's second coup.
  const auto r =
      SimulatePermanence(padded({1, HW, 2, HW, 3, 4, HW, 99, 2}), makeParams(3, {5, 10, 20}));
  const std::vector<ProtocolRow> expected = {
      {"1", "1", "", "1000", ""},
      {"", "HW", "", "", ""},
      {"2", "2", "", "1000", ""},
      {"", "HW", "", "", ""},
      {"3", "3", "", "1000", "Satzsignal"},
      {"4", "4", "15", "985", "1 2 3"},
      {"", "HW", "", "", ""},
      {"5", "99", "", "", ""},
      {"6", "2", "30", "1315", "Gewinn"},
  };
  for (size_t row = 0; row < expected.size(); ++row)
    EXPECT_EQ(r.protocol[row], expected[row]) << "row " << row + 1;

  // Nor does a hand change separate a repeat: the second 1 empties the set.
  const auto repeat = SimulatePermanence(padded({1, HW, 1, 2, 3}), makeParams(2, {5}));
  EXPECT_EQ(repeat.protocol[3][HinweisColumn], "");
  EXPECT_EQ(repeat.protocol[4][HinweisColumn], "Satzsignal");
}

TEST(SimulatePermanence, SingleCoupAttackEndsOverItsBetText) {
  // A = 1: the losing 3 ends the attack and is not taken into the next lead-in, so the
  // following 3 is a new number and 3 4 make the next signal.
  const auto r = SimulatePermanence(padded({1, 2, 3, 3, 4}), makeParams(2, {5}));
  EXPECT_EQ(r.protocol[2][EinsatzColumn], "10");
  EXPECT_EQ(r.protocol[2][HinweisColumn], "Ende des Angriffs");
  EXPECT_EQ(r.protocol[4][HinweisColumn], "Satzsignal");
  EXPECT_EQ(r.outcome.satzsignale, 2);
  EXPECT_EQ(r.outcome.minimum, 10'000'000); // an exhausting loss never lowers the minimum
  EXPECT_EQ(r.outcome.lowestCapital, 980);  // but the lowest capital counts both losses
}

TEST(SimulatePermanence, ExhaustingLossIsNotTestedAgainstTheLossLimit) {
  // Bets of 200; Verlustgrenze 700. The exhausting loss leaves 600 and play goes on; the
  // next attack's first, non-final loss to 400 stops.
  const auto r =
      SimulatePermanence(padded({1, 2, 3, 4, 5, 6, 7}), makeParams(2, {100, 100}, 1500, 700));
  EXPECT_EQ(r.protocol[3][SaldoColumn], "600");
  EXPECT_EQ(r.protocol[3][HinweisColumn], "Ende des Angriffs");
  EXPECT_EQ(r.protocol[6][SaldoColumn], "400");
  EXPECT_EQ(r.protocol[6][HinweisColumn], "Verlustobergrenze erreicht - Abbruch");
  EXPECT_EQ(r.protocol.size(), 7u);
  EXPECT_EQ(r.outcome.stop, StopReason::LossLimit);
  EXPECT_EQ(r.outcome.minimum, 400);
  EXPECT_EQ(r.outcome.finalCapital, 400);
}

TEST(SimulatePermanence, StopsExactlyAtTheLimits) {
  struct Case {
    const char* name;
    std::vector<uint8_t> entries;
    int64_t gewinnziel;
    int64_t verlustgrenze;
    StopReason stop; // None: play goes on after the third coup
    const char* hinweis;
  };
  // V = 2, stakes 10 and 10: a hit brings 1000 - 20 + 360 = 1340, a miss 980.
  const Case cases[] = {
      {"target reached",
       {1, 2, 1},
       1340,
       200,
       StopReason::ProfitTarget,
       "Gewinnziel erreicht - Ende"},
      {"target missed by one", {1, 2, 1}, 1341, 200, StopReason::None, "1 2, sofort Gewinn"},
      {"limit reached",
       {1, 2, 3},
       1500,
       980,
       StopReason::LossLimit,
       "Verlustobergrenze erreicht - Abbruch"},
      {"limit missed by one", {1, 2, 3}, 1500, 979, StopReason::None, "1 2"},
  };
  for (const Case& c : cases) {
    const auto r = SimulatePermanence(padded(c.entries),
                                      makeParams(2, {10, 10}, c.gewinnziel, c.verlustgrenze));
    EXPECT_EQ(r.protocol[2][HinweisColumn], c.hinweis) << c.name;
    if (c.stop == StopReason::None) {
      EXPECT_GT(r.outcome.rowsReached, 3u) << c.name;
    } else {
      EXPECT_EQ(r.outcome.stop, c.stop) << c.name;
      EXPECT_EQ(r.protocol.size(), 3u) << c.name;
    }
  }
}

TEST(SimulatePermanence, SignalNearTheEndStopsAtOnce) {
  // A = 1: a lead-in coup followed by fewer than 4 entries ends the permanence; the signal
  // on 2 (index 5, three entries follow) is counted, but nothing is bet.
  const auto r =
      SimulatePermanence(std::vector<uint8_t>{1, 1, 1, 1, 1, 2, 7, 8, 9}, makeParams(2, {5}));
  ASSERT_EQ(r.protocol.size(), 6u);
  EXPECT_EQ(r.protocol[4][HinweisColumn], "");
  EXPECT_EQ(r.protocol[5][HinweisColumn], "Permanenzende naht - Abbruch");
  EXPECT_EQ(r.outcome.stop, StopReason::NearEnd);
  EXPECT_EQ(r.outcome.satzsignale, 1);
  EXPECT_EQ(r.outcome.umsatz, 0);
}

TEST(SimulatePermanence, UntouchedExtremesKeepTheirStartValues) {
  // Only repeats: no signal, no bet. Maximum and Minimum keep their start values.
  const auto r = SimulatePermanence(std::vector<uint8_t>(30, 17), makeParams(2, {5}));
  EXPECT_EQ(r.outcome.maximum, 100);
  EXPECT_EQ(r.outcome.minimum, 10'000'000);
  EXPECT_EQ(r.outcome.lowestCapital, 1000);
  EXPECT_EQ(r.outcome.einsaetze, 0);
  EXPECT_EQ(r.outcome.stop, StopReason::NearEnd);
}

TEST(SimulatePermanence, RefusesStakesShorterThanTheAttack) {
  SystemTestParams p = makeParams(2, {5, 5});
  p.angriffe = 3;
  EXPECT_THROW(SimulatePermanence(std::vector<uint8_t>(20, 1), p), std::invalid_argument);
  p.angriffe = 0;
  EXPECT_THROW(SimulatePermanence(std::vector<uint8_t>(20, 1), p), std::invalid_argument);
}

TEST(SystemTestRun, PassesOverPermanencesShorterThanTwoAttacksPlusFour) {
  const SystemTestParams p = makeParams(2, {5, 5, 5, 5, 5, 5}); // A = 6: 16 entries needed
  EXPECT_FALSE(IsLongEnoughToTest(15, p));
  EXPECT_TRUE(IsLongEnoughToTest(16, p));

  const std::vector<std::vector<uint8_t>> permanences = {
      std::vector<uint8_t>(15, 3), std::vector<uint8_t>(16, 3), std::vector<uint8_t>(3, 3)};
  const SystemTestRun run = RunSystemTest(permanences, p);
  ASSERT_EQ(run.tested.size(), 1u);
  EXPECT_EQ(run.tested[0].position, 1u);
  EXPECT_EQ(run.totals.tested, 1);
  EXPECT_EQ(run.totals.gesamtsaldo, 1000);
}

TEST(SystemTestRun, WorkedExampleSummary) {
  const std::vector<std::vector<uint8_t>> permanences = {
      {4, 15, 4, 22, 9, 31, 9, 1, 2, HW, 3, 7, 8, 5, 6, 10, 11, 6, 27, 0, 36, 12, 13}};
  const SystemTestParams p = makeParams(3, {5, 10});
  const SystemTestRun run = RunSystemTest(permanences, p);
  ASSERT_EQ(run.tested.size(), 1u);
  EXPECT_EQ(run.tested[0].gesamtsaldoAfter, 1435);
  EXPECT_EQ(run.totals.abbruchE, 1);
  EXPECT_EQ(run.totals.einsaetze, 5);
  EXPECT_EQ(run.totals.satzsignale, 3);
  EXPECT_EQ(NetResult(run.totals, p), 435);
  EXPECT_NEAR(Rendite(NetResult(run.totals, p), run.totals.umsatz).value(), 414.2857, 1e-4);
}

TEST(SystemTestRun, NetResultOfThreeStops) {
  SystemTestTotals totals;
  for (int64_t capital : {1200, 900, 1000})
    AddToTotals(totals, PermanenceOutcome{.finalCapital = capital, .stop = StopReason::NearEnd});
  EXPECT_EQ(NetResult(totals, makeParams(2, {5})), 100);
  EXPECT_EQ(totals.abbruchE, 3);
}

// A permanence that runs out without a stop (its tail only hand changes) still belongs
// to Gesamtsaldo, so the net result does not lose its start capital.
TEST(SystemTestRun, PermanenceWithoutStopAddsItsFinalCapital) {
  const SystemTestParams p = makeParams(2, {5});
  const std::vector<std::vector<uint8_t>> permanences = {{1, 2, 1, 4, HW, HW, HW, HW}};
  const SystemTestRun run = RunSystemTest(permanences, p);
  ASSERT_EQ(run.tested.size(), 1u);
  const PermanenceOutcome& o = run.tested[0].result.outcome;
  EXPECT_EQ(o.stop, StopReason::None);
  EXPECT_EQ(o.finalCapital, 1170);
  EXPECT_EQ(run.tested[0].result.protocol.size(), 8u);
  EXPECT_EQ(run.totals.gesamtsaldo, 1170);
  EXPECT_EQ(NetResult(run.totals, p), 170);
  EXPECT_EQ(run.totals.abbruchMinus + run.totals.abbruchPlus + run.totals.abbruchE, 0);
}

// The capital fell below the limit on an exhausting loss; the stop at the approaching end
// shows the loss limit and is counted there, once.
TEST(SystemTestRun, NearEndStopBelowTheLimitCountsAsLossLimit) {
  const SystemTestParams p = makeParams(2, {100, 100}, 1500, 700);
  const std::vector<std::vector<uint8_t>> permanences = {{1, 2, 3, 4, 5, 6, 7, 8}};
  const SystemTestRun run = RunSystemTest(permanences, p);
  ASSERT_EQ(run.tested.size(), 1u);
  const PermanenceResult& r = run.tested[0].result;
  ASSERT_EQ(r.protocol.size(), 5u);
  EXPECT_EQ(r.protocol[4][SaldoColumn], "600");
  EXPECT_EQ(r.protocol[4][HinweisColumn], "Verlustobergrenze erreicht - Abbruch");
  EXPECT_EQ(run.totals.abbruchMinus, 1);
  EXPECT_EQ(run.totals.abbruchE, 0);
  EXPECT_EQ(run.totals.abbruchPlus, 0);
}

TEST(SystemTestRun, RenditeWithoutUmsatzIsNone) {
  EXPECT_FALSE(Rendite(0, 0).has_value());
  EXPECT_FALSE(Rendite(-500, 0).has_value());
  EXPECT_EQ(Rendite(0, 50), 0.0);
  EXPECT_EQ(Rendite(-25, 50), -50.0);
}

// Many random permanences with hand changes: both modes agree, every tested permanence is
// in Gesamtsaldo, every stop is counted once and the protocol ends where play ended.
TEST(SystemTestRun, RandomRunsKeepTheirBooksBalanced) {
  const std::vector<std::vector<uint8_t>> permanences = randomPermanences(20240419, 300);
  for (const SystemTestParams& p :
       {makeParams(6, {5, 5, 5, 5, 10, 10}), makeParams(2, {50}, 1100, 900),
        makeParams(12, {1, 2, 4, 8, 16, 32, 64, 128, 256, 512}, 20000, 0)}) {
    const SystemTestRun full = RunSystemTest(permanences, p, {.protocol = ProtocolMode::Write});
    const SystemTestRun quiet = RunSystemTest(permanences, p, {.protocol = ProtocolMode::Skip});
    ASSERT_EQ(full.tested.size(), quiet.tested.size());
    int64_t sumFinal = 0;
    int64_t unstopped = 0;
    for (size_t k = 0; k < full.tested.size(); ++k) {
      const PermanenceResult& a = full.tested[k].result;
      const PermanenceOutcome& b = quiet.tested[k].result.outcome;
      EXPECT_EQ(a.outcome.finalCapital, b.finalCapital);
      EXPECT_EQ(a.outcome.umsatz, b.umsatz);
      EXPECT_EQ(a.outcome.minimum, b.minimum);
      EXPECT_EQ(a.outcome.maximum, b.maximum);
      EXPECT_EQ(a.outcome.lowestCapital, b.lowestCapital);
      EXPECT_LE(a.outcome.lowestCapital,
                std::min({a.outcome.minimum, a.outcome.finalCapital, p.startkapital}));
      EXPECT_EQ(a.outcome.stop, b.stop);
      ASSERT_EQ(a.protocol.size(), a.outcome.rowsReached);
      sumFinal += a.outcome.finalCapital;
      unstopped += a.outcome.stop == StopReason::None;
    }
    const SystemTestTotals& t = full.totals;
    EXPECT_EQ(t.tested, static_cast<int64_t>(full.tested.size()));
    EXPECT_EQ(NetResult(t, p), sumFinal - t.tested * p.startkapital);
    EXPECT_EQ(t.abbruchMinus + t.abbruchPlus + t.abbruchE + unstopped, t.tested);
  }
}

// The figures, the protocols and the order of a run do not depend on its threads.
TEST(SystemTestRun, EveryThreadCountGivesTheSameRun) {
  const std::vector<std::vector<uint8_t>> permanences = randomPermanences(77, 400);
  const SystemTestParams p = makeParams(4, {5, 5, 10, 10, 20, 40}, 1300, 700);
  const SystemTestRun one = RunSystemTest(permanences, p, {.run = {.threads = 1}});
  ASSERT_GT(one.tested.size(), 300u);
  for (int threads : {2, 3, 8}) {
    const SystemTestRun many =
        RunSystemTest(permanences, p, {.run = {.threads = threads, .reportEvery = 7}});
    ASSERT_EQ(many.tested.size(), one.tested.size()) << threads;
    for (size_t k = 0; k < one.tested.size(); ++k) {
      const TestedPermanence& a = one.tested[k];
      const TestedPermanence& b = many.tested[k];
      ASSERT_EQ(a.position, b.position) << threads;
      EXPECT_EQ(a.gesamtsaldoAfter, b.gesamtsaldoAfter);
      EXPECT_EQ(a.result.outcome.finalCapital, b.result.outcome.finalCapital);
      EXPECT_EQ(a.result.outcome.lowestCapital, b.result.outcome.lowestCapital);
      EXPECT_EQ(a.result.protocol, b.result.protocol);
    }
    EXPECT_EQ(many.totals.gesamtsaldo, one.totals.gesamtsaldo);
    EXPECT_EQ(many.totals.umsatz, one.totals.umsatz);
    EXPECT_EQ(many.totals.abbruchMinus, one.totals.abbruchMinus);
    EXPECT_FALSE(many.cancelled);
  }
}

// Progress counts the permanences long enough to be tested and ends with all of them; a
// cancel leaves a run without figures.
TEST(SystemTestRun, ReportsProgressAndCanBeCancelled) {
  std::vector<std::vector<uint8_t>> permanences = randomPermanences(5, 1000);
  permanences[3].resize(4);
  const SystemTestParams p = makeParams(6, {5, 5, 5, 5, 10, 10});
  const auto testable = static_cast<size_t>(
      std::count_if(permanences.begin(), permanences.end(),
                    [&p](const auto& entries) { return IsLongEnoughToTest(entries.size(), p); }));
  ASSERT_LT(testable, permanences.size());
  for (int threads : {1, 2}) {
    std::vector<size_t> reports;
    const SystemTestRun run = RunSystemTest(permanences, p,
                                            {.protocol = ProtocolMode::Skip,
                                             .run = {.threads = threads,
                                                     .reportEvery = 100,
                                                     .progress = [&](size_t done, size_t total) {
                                                       EXPECT_EQ(total, testable);
                                                       reports.push_back(done);
                                                       return true;
                                                     }}});
    EXPECT_FALSE(run.cancelled);
    ASSERT_FALSE(reports.empty());
    EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
    // One thread reports about every 100 permanences; with more, the calling thread may
    // get through few of them itself.
    if (threads == 1) {
      EXPECT_GE(reports.size(), 8u);
    }
    EXPECT_EQ(reports.back(), testable);

    const SystemTestRun cancelled = RunSystemTest(
        permanences, p,
        {.run = {.threads = threads, .reportEvery = 100, .progress = [](size_t done, size_t) {
                   return done < 300;
                 }}});
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_TRUE(cancelled.tested.empty());
    EXPECT_EQ(cancelled.totals.tested, 0);
  }
}

} // namespace
} // namespace kw
