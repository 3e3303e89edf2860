#include "systemtest/StakeProgression.h"

#include <gtest/gtest.h>

namespace kw {
namespace {

using Lines = std::vector<std::string>;

TEST(StakeFile, DefaultProgressionSavesTwelveCrLfLines) {
  const StakeSavePlan plan =
      PlanStakeSave("meine.set", DefaultStakeCells(), StakeSaveTarget::ChosenFile);
  EXPECT_TRUE(plan.errorMessage.empty());
  EXPECT_EQ(plan.fileText, "1\r\n1\r\n1\r\n1\r\n2\r\n2\r\n2\r\n3\r\n3\r\n4\r\n6\r\n9\r\n");
  EXPECT_TRUE(plan.becomesCurrentFile);
  EXPECT_EQ(DefaultStakeCells().size(), 100u);
  EXPECT_EQ(DefaultStakeCells()[12], "");
}

TEST(StakeFile, CollectingSkipsNonNumbersAndStopsAtTheFirstNonPositive) {
  const std::pair<Lines, Lines> cases[] = {
      {{"2", "", "3", "0", "5"}, {"2", "3"}},
      {{"x", "4", "-1", "7"}, {"4"}},
      {{" 6", "8"}, {" 6", "8"}}, // texts go out verbatim
      {{"0", "3"}, {}},
      {{}, {}},
  };
  for (const auto& [cells, lines] : cases)
    EXPECT_EQ(CollectStakeLines(cells), lines) << ::testing::PrintToString(cells);
}

TEST(StakeFile, NothingToSaveWritesNoFileAndSaysSo) {
  for (StakeSaveTarget target : {StakeSaveTarget::QuickSaveSlot, StakeSaveTarget::ChosenFile}) {
    const StakeSavePlan plan = PlanStakeSave("leer.set", Lines{"", "0", "4"}, target);
    EXPECT_FALSE(plan.fileText);
    EXPECT_EQ(plan.informationMessage, NothingToSaveMessage);
    EXPECT_TRUE(plan.errorMessage.empty());
    EXPECT_FALSE(plan.becomesCurrentFile);
  }
}

TEST(StakeFile, QuickSaveNamesAreReservedForTheSlotsOnly) {
  EXPECT_EQ(QuickSaveFileName(3), "FixFile3.set");
  const Lines cells = {"1", "2"};
  const StakeSavePlan refused = PlanStakeSave("FixFile2.set", cells, StakeSaveTarget::ChosenFile);
  EXPECT_EQ(refused.errorMessage,
            "FixFile2.set ist ein Dateiname, der für die Schnellspeicherung reserviert ist. "
            "Bitte wählen Sie einen anderen Dateinamen.\r\rIch breche ab.");
  EXPECT_FALSE(refused.fileText);
  EXPECT_FALSE(refused.becomesCurrentFile);

  for (const char* name : {"fixfile2.set", "FixFile2.SET", "FixFile5.set", "FixFile0.set"})
    EXPECT_TRUE(PlanStakeSave(name, cells, StakeSaveTarget::ChosenFile).fileText) << name;
  EXPECT_TRUE(PlanStakeSave("FixFile2.set", cells, StakeSaveTarget::QuickSaveSlot).fileText);
}

TEST(StakeFile, LoadingReplacesTheWholeRow) {
  const Lines loaded = StakeCellsFromLines(SplitStakeFileText("3\r\n2\r\n1\r\n"));
  ASSERT_EQ(loaded.size(), 100u);
  EXPECT_EQ(loaded[0], "3");
  EXPECT_EQ(loaded[2], "1");
  for (size_t k = 3; k < loaded.size(); ++k)
    EXPECT_EQ(loaded[k], "") << k;

  const Lines many(150, "7");
  EXPECT_EQ(StakeCellsFromLines(many), Lines(100, "7"));

  EXPECT_FALSE(LoadNeedsOverwriteQuestion(Lines{"", "5"}));
  EXPECT_TRUE(LoadNeedsOverwriteQuestion(Lines{"x"}));
}

TEST(StakeFile, SplitsAnyLineEnd) {
  const std::pair<const char*, Lines> cases[] = {
      {"1\r\n2\n3\r4", {"1", "2", "3", "4"}}, {"1\r\n\r\n", {"1", ""}}, {"5\n", {"5"}}, {"", {}},
      {" 2 \r\nabc", {" 2 ", "abc"}}, // lines are not validated
  };
  for (const auto& [text, lines] : cases)
    EXPECT_EQ(SplitStakeFileText(text), lines) << ::testing::PrintToString(std::string(text));
}

TEST(StakeFile, Messages) {
  EXPECT_EQ(StakeFileNotFoundMessage("FixFile4.set"),
            "Ich konnte die Datei FixFile4.set nicht finden, muss daher abbrechen.");
}

} // namespace
} // namespace kw
