#include "files/PermanenceLines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kw {
namespace {

const std::vector<std::string> Defaults = {"-", "--", "---", "----", "HW"};

std::vector<int> codesOf(const std::vector<CoupEntry>& entries) {
  std::vector<int> codes;
  for (const CoupEntry& e : entries)
    codes.push_back(e.code);
  return codes;
}

TEST(SplitLines, AcceptsEveryLineEndAndNoExtraLineAfterTheLast) {
  EXPECT_EQ(SplitLines(""), std::vector<std::string>{});
  EXPECT_EQ(SplitLines("\r\n"), std::vector<std::string>{""});
  EXPECT_EQ(SplitLines("1\r\n2\r3\n4"), (std::vector<std::string>{"1", "2", "3", "4"}));
  EXPECT_EQ(SplitLines("1\n\r2\r\n"), (std::vector<std::string>{"1", "", "2"}));
  EXPECT_EQ(SplitLines("1\r\r\n2"), (std::vector<std::string>{"1", "", "2"}));
}

TEST(IsInteger, DecimalInTheSigned32BitRangeOnly) {
  struct Case {
    const char* text;
    bool integer;
  };
  for (const Case c : {Case{"7", true},
                       {"07", true},
                       {"-1", true},
                       {"+5", true},
                       {"2147483647", true},
                       {"-2147483648", true},
                       {"2147483648", false},
                       {"", false},
                       {"-", false},
                       {"+", false},
                       {"1 2", false},
                       {"$10", false},
                       {"0x1", false},
                       {"7a", false},
                       {"1.0", false},
                       {"+-1", false}})
    EXPECT_EQ(IsInteger(c.text), c.integer) << c.text;
}

TEST(TrimLine, RemovesBlanksAndControlCharactersAtBothEndsOnly) {
  EXPECT_EQ(TrimLine(" \t 7 \x01"), "7");
  EXPECT_EQ(TrimLine(std::string_view("\0 H W \0", 7)), "H W");
  EXPECT_EQ(TrimLine("   "), "");
}

TEST(TransferEntries, FewerThanFiveLinesTransferNothing) {
  EXPECT_TRUE(TransferEntries(std::vector<std::string>{"1", "2", "3", "4"}, Defaults).empty());
  EXPECT_EQ(TransferEntries(std::vector<std::string>{"1", "2", "3", "4", "5"}, Defaults).size(),
            5u);
  EXPECT_TRUE(TransferEntries("1\n2\n3\n4\n", Defaults).empty());
}

TEST(TransferEntries, SkipsInformationLinesAboveTheFirstShortLine) {
  const std::vector<std::string> lines = {"Spielbank", "Tisch XX", "28.04.2013", "----",
                                          "17",        "0",        "----",       " 32 "};
  const auto entries = TransferEntries(lines, Defaults);
  // The marker "----" at the top stands above the first data line and is skipped.
  EXPECT_EQ(entries, (std::vector<CoupEntry>{{"17", 17}, {"0", 0}, {"----", 50}, {"32", 32}}));
}

TEST(TransferEntries, ACasinoOfTwoCharactersIsTheFirstDataLine) {
  EXPECT_EQ(
      codesOf(TransferEntries(std::vector<std::string>{"12", "Tisch 1", "x", "5", "6"}, Defaults)),
      (std::vector<int>{12, 5, 6}));
  // Characters, not bytes: "Öl" is the first data line, so the marker after it counts.
  EXPECT_EQ(codesOf(TransferEntries(
                std::vector<std::string>{"Ölbank", "Öl", "----", "Tisch 1", "5", "6"}, Defaults)),
            (std::vector<int>{50, 5, 6}));
}

TEST(TransferEntries, TakesZeroToThirtySixAndFiftyAndSkipsTheRest) {
  const std::vector<std::string> lines = {"7",  " 7 ", "07", "37", "60", "61", "-1", "123",
                                          "50", "",    "ab", "36", "0",  "-0", "+3", "007"};
  EXPECT_EQ(codesOf(TransferEntries(lines, Defaults)),
            (std::vector<int>{7, 7, 7, 50, 36, 0, 0, 3, 7}));
}

TEST(TransferEntries, AMarkerThatLooksLikeANumberIsAHandChange) {
  const std::vector<std::string> markers = {"7", "X"};
  const auto entries =
      TransferEntries(std::vector<std::string>{"1", "7", "X", "HW", "-", "8"}, markers);
  EXPECT_EQ(entries, (std::vector<CoupEntry>{{"1", 1}, {"7", 50}, {"X", 50}, {"8", 8}}));
}

TEST(TransferEntries, NothingWhenNoLineHasOneOrTwoCharacters) {
  EXPECT_TRUE(TransferEntries("abc\ndef\nghi\njkl\nmno\n", Defaults).empty());
}

TEST(TransferEntries, ReadsEveryBlockOfARandomGeneratorFile) {
  const std::string memo = "Zufallszahlen\r\n06.05.2013 10:00:00\r\nAnzahl: 2\r\n5\r\n36\r\n"
                           "Zufallszahlen\r\n06.05.2013 10:01:00\r\nAnzahl: 1\r\n0\r\n";
  EXPECT_EQ(codesOf(TransferEntries(memo, Defaults)), (std::vector<int>{5, 36, 0}));
}

TEST(PermanenceCoups, EveryShortIntegerAndEveryMarkerCounts) {
  const std::string text = "----\r\nSpielbank\r\n12\r\n99\r\n-5\r\n123\r\n050\r\n50\r\nHW\r\n"
                           " 7 \r\n\r\nx\r\n+1\r\n";
  EXPECT_EQ(PermanenceCoups(text, Defaults), (std::vector<uint8_t>{50, 12, 99, 251, 50, 50, 7, 1}));
}

TEST(PermanenceCoups, AnEmptyMarkerDoesNotTurnEmptyLinesIntoHandChanges) {
  const std::vector<std::string> markers = {"", "HW"};
  EXPECT_EQ(PermanenceCoups("1\r\n\r\n   \r\nHW\r\n2\r\n", markers),
            (std::vector<uint8_t>{1, 50, 2}));
}

} // namespace
} // namespace kw
