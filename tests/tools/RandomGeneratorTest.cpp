#include "tools/RandomGenerator.h"
#include "tools/RandomBlockTime.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace kw {
namespace {

TEST(RandomGenerator, SequenceFromAFixedState) {
  RandomGenerator generator(12345);
  const std::array<uint32_t, 10> expected = {14, 10, 2, 20, 23, 12, 16, 2, 1, 34};
  for (uint32_t number : expected)
    EXPECT_EQ(generator.Draw(37), number);

  RandomGenerator stepped(12345);
  stepped.Step();
  EXPECT_EQ(stepped.State(), 1655067934u);
  stepped.Step();
  EXPECT_EQ(stepped.State(), 1242767767u);
}

TEST(RandomGenerator, DrawTakesTheUpperHalfOfTheProduct) {
  // States that step to 2^32 - 1 and to 0: the extremes of the draw.
  RandomGenerator highest(1298181734u);
  EXPECT_EQ(highest.Draw(37), 36u);
  EXPECT_EQ(highest.State(), 0xFFFFFFFFu);
  RandomGenerator lowest(649090867u);
  EXPECT_EQ(lowest.Draw(37), 0u);
  RandomGenerator wide(1298181734u);
  EXPECT_EQ(wide.Draw(0x7FFFFFFFu), 0x7FFFFFFEu);
}

TEST(RandomGenerator, ReseedMixesBothCounterHalvesWithADraw) {
  RandomGenerator generator(12345);
  generator.Reseed(0x0123456789ABCDEFull); // the draw from 12345 is 827533966
  EXPECT_EQ(generator.State(), 0xB9DBA206u);
}

TEST(RandomGenerator, NumbersAreUniformOverTheWheel) {
  RandomGenerator generator(20240601);
  constexpr int Draws = 370'000;
  std::array<int, 37> counts{};
  for (int i = 0; i < Draws; ++i) {
    const uint8_t n = generator.DrawNumber();
    ASSERT_LT(n, 37);
    ++counts[n];
  }
  const double expected = Draws / 37.0;
  double chiSquare = 0;
  for (int count : counts)
    chiSquare += (count - expected) * (count - expected) / expected;
  // 67.985 is the chi-square value with 36 degrees of freedom that p = 0.001 leaves above.
  EXPECT_LT(chiSquare, 67.985);
}

TEST(RandomGenerator, BlockHasItsHeadingThenTheNumbers) {
  RandomGenerator generator(7);
  RandomGenerator reference(7);
  const auto block =
      GenerateRandomBlock(generator, "007", "01.06.2024 12:34:56", RandomSeeding::KeepState);
  ASSERT_EQ(block.size(), 10u);
  EXPECT_EQ(block[0], "Zufallszahlen");
  EXPECT_EQ(block[1], "01.06.2024 12:34:56");
  EXPECT_EQ(block[2], "Anzahl: 007"); // the count exactly as typed
  for (size_t i = 3; i < block.size(); ++i)
    EXPECT_EQ(block[i], std::to_string(reference.DrawNumber()));

  const auto single = GenerateRandomBlock(generator, "1", "now");
  ASSERT_EQ(single.size(), 4u);
  EXPECT_EQ(single[2], "Anzahl: 1");
  EXPECT_LT(std::stoi(single[3]), 37);
}

TEST(RandomGenerator, CountWithoutNumbersIsRefusedUntouched) {
  for (std::string_view count : {"", "0", "00", "abc", "12a", "-5", " 5"}) {
    RandomGenerator generator(99);
    EXPECT_TRUE(GenerateRandomBlock(generator, count, "now").empty()) << count;
    EXPECT_EQ(generator.State(), 99u) << count;
    EXPECT_FALSE(RandomCountOf(count).has_value()) << count;
  }
  EXPECT_EQ(RandomCountMessage, "Bitte geben Sie für die Anzahl der zu generierenden Zahlen "
                                "einen Wert größer Null an.\r\rIch breche ab.");
}

TEST(RandomGenerator, BlocksAppendAndSaveLineByLine) {
  RandomGenerator& generator = ApplicationRandomGenerator();
  std::vector<std::string> list;
  for (std::string_view count : {"5", "3"}) {
    const auto block = GenerateRandomBlock(generator, count, "now");
    list.insert(list.end(), block.begin(), block.end());
  }
  EXPECT_EQ(list.size(), 14u);
  EXPECT_EQ(list[8], "Zufallszahlen");

  const auto saved = GenerateRandomBlock(generator, "370", "now");
  const std::string text = RandomListText(saved);
  size_t lines = 0;
  for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
    ++lines;
  EXPECT_EQ(lines, 373u);
  EXPECT_TRUE(text.starts_with("Zufallszahlen\r\nnow\r\nAnzahl: 370\r\n"));
  EXPECT_TRUE(text.ends_with("\r\n"));
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 373); // no bare line feeds
}

// The block's date line has a four-digit year in every locale, as the save dialog writes it.
TEST(RandomBlockDateTime, DateWithFourDigitYearAndTimeWithoutZone) {
  const QDateTime moment(QDate(2024, 6, 1), QTime(12, 34, 56));
  EXPECT_EQ(RandomBlockDateTime(moment, QLocale(QLocale::German, QLocale::Germany)),
            "01.06.2024 12:34:56");
  EXPECT_EQ(RandomBlockDateTime(moment, QLocale(QLocale::English, QLocale::UnitedKingdom)),
            "01/06/2024 12:34:56");
}

} // namespace
} // namespace kw
