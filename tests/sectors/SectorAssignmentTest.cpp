#include "sectors/SectorAssignment.h"

#include "core/RouletteTables.h"

#include <gtest/gtest.h>

namespace kw {
namespace {

TEST(SectorAssignment, PresetsFillTheListsInTheirOrder) {
  struct Case {
    SectorPreset preset;
    std::string_view caption;
    SectorListNumbers lists;
  };
  const Case cases[] = {
      {SectorPreset::RouletteSeries,
       "Roulette-Serien",
       {{{0, 2, 3, 4, 7, 12, 15, 18, 19, 21, 22, 25, 26, 28, 29, 32, 35},
         {5, 8, 10, 11, 13, 16, 23, 24, 27, 30, 33, 36},
         {1, 6, 9, 14, 17, 20, 31, 34},
         {},
         {},
         {},
         {},
         {},
         {}}}},
      {SectorPreset::SevenAndFiveSixes,
       "1 x 7 u. 5 x 6 Sektoren",
       {{{35, 3, 26, 0, 32, 15, 19},
         {4, 21, 2, 25, 17, 34},
         {6, 27, 13, 36, 11, 30},
         {8, 23, 10, 5, 24, 16},
         {33, 1, 20, 14, 31, 9},
         {22, 18, 29, 7, 28, 12},
         {},
         {},
         {}}}},
      {SectorPreset::FiveAndEightFours,
       "1 x 5 u. 8 x 4 Sektoren",
       {{{3, 26, 0, 32, 15},
         {19, 4, 21, 2},
         {25, 17, 34, 6},
         {27, 13, 36, 11},
         {30, 8, 23, 10},
         {5, 24, 16, 33},
         {1, 20, 14, 31},
         {9, 22, 18, 29},
         {7, 28, 12, 35}}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SectorPresetCaption(c.preset), c.caption);
    EXPECT_EQ(PresetSectorLists(c.preset), c.lists) << c.caption;
    const SectorAssignment assignment = BuildSectorAssignment(PresetSectorLists(c.preset));
    EXPECT_TRUE(assignment.IsComplete()) << c.caption;
  }
}

TEST(SectorAssignment, OnlyNumberEntriesCount) {
  SectorListEntries lists;
  lists[0] = {"17", "0", "17"}; // a number twice in one list
  lists[1] = {"17", "36"};      // and once more in another
  lists[2] = {SectorLabel(3)};  // an empty sector's label is no number
  lists[3] = {" 5", "5 ", "x"}; // blanks around an entry make it no number
  const SectorAssignment assignment = BuildSectorAssignment(lists);

  EXPECT_EQ(assignment.sectors[0], (NumberSet{0, 17}));
  EXPECT_EQ(assignment.sectors[1], (NumberSet{17, 36}));
  EXPECT_TRUE(assignment.sectors[2].empty());
  EXPECT_TRUE(assignment.sectors[3].empty());
  EXPECT_EQ(assignment.Unassigned().count(), 34);
  EXPECT_FALSE(assignment.Unassigned().contains(17));
  EXPECT_TRUE(assignment.Unassigned().contains(5));
  EXPECT_FALSE(assignment.IsComplete());
  EXPECT_EQ(SectorLabel(3), " 3");
}

TEST(SectorAssignment, CompleteOnlyWhenEveryWheelNumberStandsSomewhere) {
  SectorListNumbers lists;
  for (int n = 1; n < NumberCount; ++n)
    lists[static_cast<size_t>(n % 9)].push_back(static_cast<uint8_t>(n));
  EXPECT_EQ(BuildSectorAssignment(lists).Unassigned(), (NumberSet{0}));
  lists[8].push_back(0);
  EXPECT_TRUE(BuildSectorAssignment(lists).IsComplete());
}

TEST(SectorAssignment, OpenedListsAreAscending) {
  SectorAssignment assignment;
  assignment.sectors[0] = NumberSet{32, 0, 15, 3, 26};
  const SectorListNumbers lists = SectorListsOf(assignment);
  EXPECT_EQ(lists[0], (std::vector<uint8_t>{0, 3, 15, 26, 32}));
  EXPECT_TRUE(lists[8].empty());
}

} // namespace
} // namespace kw
