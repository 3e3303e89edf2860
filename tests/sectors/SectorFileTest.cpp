#include "sectors/SectorFile.h"

#include <gtest/gtest.h>

#include <vector>

namespace kw {
namespace {

SectorAssignment presetAssignment(SectorPreset preset) {
  return BuildSectorAssignment(PresetSectorLists(preset));
}

TEST(SectorFile, FiveAndEightFoursStartsWithTheZeroSector) {
  const auto record = EncodeSectorFile(presetAssignment(SectorPreset::FiveAndEightFours));
  ASSERT_EQ(record.size(), 288u);
  // Sector 1 holds 0, 3, 15, 26, 32.
  const std::vector<uint8_t> first(record.begin(), record.begin() + 32);
  std::vector<uint8_t> expected(32, 0);
  expected[0] = 0x09;
  expected[1] = 0x80;
  expected[3] = 0x04;
  expected[4] = 0x01;
  EXPECT_EQ(first, expected);
}

TEST(SectorFile, EveryPresetSurvivesTheRoundTrip) {
  for (SectorPreset preset : SectorPresets) {
    const SectorAssignment assignment = presetAssignment(preset);
    const auto record = EncodeSectorFile(assignment);
    for (size_t s = 0; s < SectorCount; ++s)
      for (size_t byte = 5; byte < SectorSetBytes; ++byte)
        EXPECT_EQ(record[s * SectorSetBytes + byte], 0) << s << " " << byte;
    EXPECT_EQ(DecodeSectorFile(record), assignment);
  }
}

TEST(SectorFile, ShortRecordIsRefusedWhole) {
  const auto record = EncodeSectorFile(presetAssignment(SectorPreset::RouletteSeries));
  for (size_t size : {size_t{0}, size_t{1}, size_t{32}, size_t{287}})
    EXPECT_FALSE(DecodeSectorFile(std::span(record.data(), size)).has_value()) << size;
}

TEST(SectorFile, TrailingBytesAndNumbersBeyondTheWheelAreIgnored) {
  std::vector<uint8_t> bytes(300, 0xFF); // every bit set, 12 bytes beyond the record
  const auto assignment = DecodeSectorFile(bytes);
  ASSERT_TRUE(assignment.has_value());
  for (const NumberSet& sector : assignment->sectors) {
    EXPECT_EQ(sector.count(), 37);
    EXPECT_FALSE(sector.contains(37));
  }

  SectorAssignment withMarker;
  withMarker.sectors[8] = NumberSet{36, 50};
  const auto record = EncodeSectorFile(withMarker);
  EXPECT_EQ(record[8 * 32 + 4], 0x10); // 36 is bit 4 of byte 4
  EXPECT_EQ(record[8 * 32 + 6], 0x00); // 50 is not stored
  EXPECT_EQ(DecodeSectorFile(record)->sectors[8], (NumberSet{36}));
  EXPECT_TRUE(DecodeSectorFile(record)->sectors[0].empty());
}

} // namespace
} // namespace kw
