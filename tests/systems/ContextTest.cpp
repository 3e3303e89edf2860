// What a script sees in its context c: coups, numbers, distances since chances last came,
// hand changes and parameters; and that each permanence starts from a fresh script state.
#include "ScriptRunner.h"

#include <gtest/gtest.h>

namespace kw {
namespace {

using test::HW;
using test::Play;

TEST(SystemContext, CoupsNumbersDistancesAndHandChanges) {
  const test::Played played = Play(R"(
function setze(c)
  print(c.coup, c.handwechsel, c.zahl(1), c.zahl(2), c.seit("dutzend", 1), c.seit("rouge"),
        c.seit("plein", 0), c.seit("kolonne", 2), c.seit("sixain", 1), c.seit("transversale", 5))
end)",
                                   {5, HW, 0, 14, HW, HW, 3});
  ASSERT_EQ(played.status, SystemHost::Status::Done) << played.error;
  // setze runs before each of the four coups, never for a hand change. 5 is red, in the
  // first dozen, column 2, six-line 1 and street 2; zero hits only plein 0; 14 is red, in
  // the second dozen, column 2, six-lines 4 and 5 and street 5.
  const std::vector<std::string> expected = {
      "0\t0\tnil\tnil\t0\t0\t0\t0\t0\t0",
      "1\t1\t5\tnil\t0\t0\t1\t0\t0\t1",
      "2\t1\t0\t5\t1\t1\t0\t1\t1\t2",
      "3\t3\t14\t0\t2\t0\t1\t0\t2\t0",
  };
  EXPECT_EQ(played.printed, expected);
}

TEST(SystemContext, ParametersHoldDefaultsOrWhatTheUserSet) {
  const char* script = R"(
parameter = { seit = 8, faktor = 1.5 }
function setze(c) print(c.param.seit, c.param.faktor, math.type(c.param.seit)) end)";
  EXPECT_EQ(Play(script, {1}).printed, std::vector<std::string>{"8\t1.5\tinteger"});

  SystemSettings settings = test::Settings();
  settings.parameters = LoadSystemScript({script, "x.lua"}, 1).info->parameters;
  ASSERT_FALSE(OverrideParameters(settings.parameters, {{"seit", *ParseParameterValue("12")},
                                                        {"faktor", *ParseParameterValue("2,25")}}));
  EXPECT_EQ(Play(script, {1}, settings).printed, std::vector<std::string>{"12\t2.25\tinteger"});
}

TEST(SystemContext, EveryPermanenceStartsFromAFreshScriptState) {
  // Globals, chunk locals and c.param all start over; the libraries cannot be written.
  const SystemScript script{R"(
geladen = (geladen or 0) + 1
local aufrufe = 0
parameter = { p = 1 }
function setze(c)
  aufrufe = aufrufe + 1
  zuletzt = (zuletzt or 0) + 1
  c.param.p = c.param.p + 1
  print(geladen, aufrufe, zuletzt, c.param.p)
end)",
                            "x.lua"};
  const ScriptLoad load = LoadSystemScript(script, 1);
  ASSERT_TRUE(load.info) << load.error;
  SystemSettings settings = test::Settings();
  settings.parameters = load.info->parameters;
  SystemHost host(script, settings);
  std::vector<std::string> lines;
  for (size_t p = 0; p < 2; ++p) {
    SystemPermanenceResult result;
    ASSERT_EQ(host.play(std::vector<uint8_t>{1, 2}, p, "t", PermanenceSeed(1, p), result),
              SystemHost::Status::Done)
        << host.errorMessage();
    for (const PrintLine& line : host.takePrinted())
      lines.push_back(std::to_string(line.permanence) + ":" + line.text);
  }
  const std::vector<std::string> expected = {"0:1\t1\t1\t2", "0:1\t2\t2\t3", "1:1\t1\t1\t2",
                                             "1:1\t2\t2\t3"};
  EXPECT_EQ(lines, expected);
}

TEST(SystemContext, MathRandomRepeatsFromTheSeedOfThePermanence) {
  const SystemScript script{"function setze(c) print(math.random(1, 1000000)) end", "x.lua"};
  auto draws = [&](uint64_t seed) {
    SystemHost host(script, test::Settings());
    SystemPermanenceResult result;
    host.play(std::vector<uint8_t>{1, 2, 3}, 0, "t", seed, result);
    std::vector<std::string> lines;
    for (const PrintLine& line : host.takePrinted())
      lines.push_back(line.text);
    return lines;
  };
  EXPECT_EQ(draws(7), draws(7));
  EXPECT_NE(draws(7), draws(8));
  // math.randomseed() without a value starts over from the permanence's seed, not the clock.
  const SystemScript reseeding{
      "function setze(c) math.randomseed() print(math.random(1, 1000000)) end", "x.lua"};
  SystemHost host(reseeding, test::Settings());
  SystemPermanenceResult result;
  host.play(std::vector<uint8_t>{1, 2}, 0, "t", 7, result);
  const std::vector<PrintLine> lines = host.takePrinted();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text, lines[1].text);
}

TEST(SystemContext, PairsVisitsKeysInTheSameOrderInEveryState) {
  // String keys are placed by a hash that Lua seeds afresh in every state; the sandbox's
  // pairs sorts them, so results cannot depend on the worker that played a permanence.
  const test::Played played = Play(R"(
local t = { zebra = 1, alpha = 2, [3] = 3, [1] = 4, mitte = 5, [true] = 6, [2.5] = 7 }
function setze(c)
  local keys = {}
  for k in pairs(t) do keys[#keys + 1] = tostring(k) end
  local n = 0
  for _ in pairs({ 10, 20, 30 }) do n = n + 1 end
  print(table.concat(keys, " "), n)
end)",
                                   {1});
  EXPECT_EQ(played.printed, std::vector<std::string>{"1 2.5 3 alpha mitte zebra true\t3"});
}

TEST(SystemContext, PrintedLinesKeepTheirCoupAndTheLoadPrintsOnce) {
  const SystemScript script{R"(
print("geladen")
function setze(c) if c.coup == 1 then print("vor Coup", c.coup + 1, nil, true) end end)",
                            "x.lua"};
  const ScriptLoad load = LoadSystemScript(script, 1);
  ASSERT_EQ(load.printed.size(), 1u);
  EXPECT_EQ(load.printed[0].text, "geladen");
  EXPECT_EQ(load.printed[0].permanence, NoPermanence);
  SystemHost host(script, test::Settings());
  SystemPermanenceResult result;
  host.play(std::vector<uint8_t>{4, HW, 5, 6}, 3, "t", 1, result);
  const std::vector<PrintLine> lines = host.takePrinted();
  ASSERT_EQ(lines.size(), 1u); // the chunk's own print is not repeated per permanence
  EXPECT_EQ(lines[0].text, "vor Coup\t2\tnil\ttrue");
  EXPECT_EQ(lines[0].permanence, 3u);
  EXPECT_EQ(lines[0].coup, 2);
}

TEST(SystemContext, AFloodOfPrintedLinesIsCut) {
  const test::Played played = Play(R"(
function setze(c) for i = 1, 60000 do print(i) end end)",
                                   {1, 2});
  ASSERT_EQ(played.status, SystemHost::Status::Done) << played.error;
  ASSERT_EQ(played.printed.size(), PrintLinesPerPermanence + 1);
  EXPECT_EQ(played.printed.back(), "(20000 weitere Zeilen von print ausgelassen)");
}

} // namespace
} // namespace kw
