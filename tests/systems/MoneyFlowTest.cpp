// The money of users' own systems, coup by coup, against hand-computed capitals: every kind
// of bet wins its payout, loses its stake, and zero follows the script's zero rule.
#include "ScriptRunner.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kw {
namespace {

using test::HW;
using test::Play;
using test::Settings;

struct FlowCase {
  const char* what;
  const char* bets; // the Lua list setze returns on every coup
  const char* zeroRule;
  int stueck; // euros per piece
  std::vector<uint8_t> numbers;
  std::vector<Cents> capitals; // after each coup, starting from 1000 euros
};

TEST(SystemMoneyFlow, EveryKindOfBetPaysAsTheWheelDoes) {
  const FlowCase cases[] = {
      {"plein 17", R"({{"plein", 17, 1}})", "halb", 5, {17, 5, 0}, {117500, 117000, 116500}},
      {"plein 0, two pieces", R"({{"plein", 0, 2}})", "halb", 5, {0, 3}, {135000, 134000}},
      {"transversale 12 = 34..36",
       R"({{"transversale", 12, 1}})",
       "halb",
       5,
       {35, 33, 0},
       {105500, 105000, 104500}},
      {"sixain 11 = 31..36",
       R"({{"sixain", 11, 1}})",
       "halb",
       5,
       {31, 36, 30, 0},
       {102500, 105000, 104500, 104000}},
      {"sixain 1 = 1..6", R"({{"sixain", 1, 1}})", "halb", 5, {1, 6, 7}, {102500, 105000, 104500}},
      {"dutzend 3", R"({{"dutzend", 3, 1}})", "halb", 5, {25, 24, 0}, {101000, 100500, 100000}},
      {"kolonne 1 = 1, 4, ..., 34",
       R"({{"kolonne", 1, 1}})",
       "halb",
       5,
       {34, 35, 0},
       {101000, 100500, 100000}},
      {"kolonne 3 = 3, 6, ..., 36",
       R"({{"kolonne", 3, 1}})",
       "halb",
       5,
       {36, 34},
       {101000, 100500}},
      {"rouge, zero halved", R"({{"rouge", 1}})", "halb", 5, {1, 2, 0}, {100500, 100000, 99750}},
      {"rouge, zero lost", R"({{"rouge", 1}})", "keine", 5, {1, 2, 0}, {100500, 100000, 99500}},
      {"noir", R"({{"noir", 2}})", "halb", 5, {2, 1, 0}, {101000, 100000, 99500}},
      {"pair", R"({{"pair", 1}})", "keine", 5, {2, 1, 0}, {100500, 100000, 99500}},
      {"impair", R"({{"impair", 1}})", "halb", 5, {1, 2, 0}, {100500, 100000, 99750}},
      {"manque", R"({{"manque", 1}})", "halb", 5, {18, 19, 0}, {100500, 100000, 99750}},
      {"passe", R"({{"passe", 1}})", "halb", 5, {19, 18, 0}, {100500, 100000, 99750}},
      {"three pieces of 1 euro halved to 1,50",
       R"({{"rouge", 3}})",
       "halb",
       1,
       {0, 0},
       {99850, 99700}},
      {"several bets in one coup",
       R"({{"rouge", 2}, {"plein", 0, 1}})",
       "halb",
       5,
       {0, 1},
       {117000, 117500}},
      {"ziel left out as nil", R"({{"pair", nil, 1}})", "halb", 5, {2}, {100500}},
  };
  for (const FlowCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string script = std::string("zero_regel = \"") + c.zeroRule +
                               "\"\nfunction setze(c) return " + c.bets + " end\n";
    const test::Played played = Play(script, c.numbers, Settings(c.stueck, 1000, 20000, 20000));
    ASSERT_EQ(played.status, SystemHost::Status::Done) << played.error;
    EXPECT_EQ(test::Capitals(played.result), c.capitals);
    EXPECT_EQ(played.result.einsaetze, static_cast<int64_t>(c.numbers.size()));
    EXPECT_EQ(played.result.saldo, c.capitals.back());
  }
}

// The script sees its money as euros: halves as 0.5, whole amounts as integers.
TEST(SystemMoneyFlow, TheScriptSeesCapitalAndResultInEuros) {
  const test::Played played = Play(R"(
function setze(c)
  print(c.kapital, c.gewinn, math.type(c.kapital))
  if c.coup < 2 then return {{"rouge", 1}} end
end)",
                                   {0, 1, 5, 7});
  ASSERT_EQ(played.status, SystemHost::Status::Done) << played.error;
  const std::vector<std::string> expected = {
      "1000\t0\tinteger",   // before the first coup
      "997.5\t-2.5\tfloat", // zero took half of 5 euros
      "1002.5\t5\tfloat",   // red won 5
      "1002.5\t0\tfloat",   // no bet: the last coup's result is 0
  };
  EXPECT_EQ(played.printed, expected);
  EXPECT_EQ(played.result.umsatz, 1000);
  EXPECT_EQ(played.result.einsaetze, 2);
  EXPECT_EQ(played.result.minimum, 99750);
  EXPECT_EQ(played.result.maximum, 100250);
}

struct StopCase {
  const char* what;
  const char* script;
  std::vector<uint8_t> numbers;
  SystemEnd end;
  int64_t gespielt; // coups played
  Cents saldo;
};

TEST(SystemMoneyFlow, StopsAtTheLimitsOrWhenTheCapitalDoesNotCoverTheBets) {
  const StopCase cases[] = {
      {"profit target: 1000 + 175 - 5 + 175 = 1345 >= 1300 after the second hit",
       R"(function setze(c) return {{"plein", 7, 1}} end)",
       {7, 1, 7, 7},
       SystemEnd::Gewinnziel,
       3,
       134500},
      {"loss limit: 1000 - 4 x 200 = 200 after the fourth coup",
       R"(function setze(c) return {{"plein", 7, 40}} end)",
       {1, 2, 3, 4, 5},
       SystemEnd::Verlustgrenze,
       4,
       20000},
      {"bets of 1005 euros on a capital of 1000 end the permanence before that coup",
       R"(function setze(c) if c.coup == 2 then return {{"rouge", 201}} end return {{"rouge", 1}} end)",
       {1, 2, 3, 4},
       SystemEnd::KapitalReichtNicht,
       2,
       100000},
      {"bets of exactly the capital are placed",
       R"(function setze(c) return {{"rouge", 200}} end)",
       {1},
       SystemEnd::Gewinnziel,
       1,
       200000},
      {"many bets whose sum exceeds the capital",
       R"(function setze(c) local s = {} for i = 1, 201 do s[i] = {"noir", 1} end return s end)",
       {1},
       SystemEnd::KapitalReichtNicht,
       0,
       100000},
      {"pieces beyond any sum of money",
       R"(function setze(c) return {{"rouge", math.maxinteger}} end)",
       {1},
       SystemEnd::KapitalReichtNicht,
       0,
       100000},
      {"the last coup ends it",
       R"(function setze(c) return {{"rouge", 1}} end)",
       {1, 2, HW},
       SystemEnd::Permanenzende,
       2,
       100000},
      {"an empty list is no bet",
       R"(function setze(c) return {} end)",
       {1, 2},
       SystemEnd::Permanenzende,
       2,
       100000},
  };
  for (const StopCase& c : cases) {
    SCOPED_TRACE(c.what);
    const test::Played played = Play(c.script, c.numbers, Settings(5, 1000, 300, 800));
    ASSERT_EQ(played.status, SystemHost::Status::Done) << played.error;
    EXPECT_EQ(played.result.ende, c.end);
    EXPECT_EQ(played.result.gespielt, c.gespielt);
    EXPECT_EQ(played.result.saldo, c.saldo);
    EXPECT_EQ(played.result.coups,
              static_cast<int64_t>(std::count_if(c.numbers.begin(), c.numbers.end(),
                                                 [](uint8_t n) { return n <= 36; })));
    std::vector<SystemEnd> ends;
    for (const SystemProtocolRow& row : played.result.protocol)
      if (row.end)
        ends.push_back(*row.end);
    EXPECT_EQ(ends, std::vector<SystemEnd>{c.end});
  }
}

TEST(SystemMoneyFlow, ProtocolShowsBetsStakesResultsAndTheEnd) {
  const test::Played played = Play(R"(
function setze(c)
  if c.coup == 1 then return {{"dutzend", 2, 3}, {"rouge", 1}} end
  if c.coup == 2 then return {{"rouge", 500}} end
end)",
                                   {4, HW, 14, 9});
  ASSERT_EQ(played.status, SystemHost::Status::Done) << played.error;
  const auto& rows = played.result.protocol;
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0].nr, 1);
  EXPECT_FALSE(rows[0].bet);
  EXPECT_EQ(rows[1].entry, HW);
  EXPECT_EQ(rows[1].nr, 0);
  EXPECT_EQ(rows[2].nr, 2);
  EXPECT_EQ(rows[2].saetze, "dutzend 2 \u00d7 3, rouge \u00d7 1");
  EXPECT_EQ(rows[2].einsatz, 2000);
  EXPECT_EQ(rows[2].gewinn, 3500); // 15 x 2 for the dozen, 5 for red
  EXPECT_EQ(rows[2].kapital, 103500);
  EXPECT_EQ(rows[3].entry, 9);
  EXPECT_EQ(rows[3].nr, 3);
  EXPECT_EQ(rows[3].saetze, "rouge \u00d7 500");
  EXPECT_EQ(rows[3].end, SystemEnd::KapitalReichtNicht);
  EXPECT_EQ(rows[3].kapital, 103500);
  EXPECT_EQ(played.result.umsatz, 2000);
  EXPECT_EQ(played.result.handwechsel, 1);
}

} // namespace
} // namespace kw
