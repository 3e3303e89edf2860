#include "tools/UpdateCheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace kw {
namespace {

// One version record: eight unused bytes, the length byte, the text padded with `fill`.
std::vector<uint8_t> record(std::string_view text, uint8_t fill = 0, uint8_t unused = 0) {
  std::vector<uint8_t> bytes(VersionRecordSize, fill);
  std::fill_n(bytes.begin(), 8, unused);
  bytes[8] = static_cast<uint8_t>(text.size());
  std::copy(text.begin(), text.end(), bytes.begin() + 9);
  return bytes;
}

std::vector<uint8_t> concat(std::initializer_list<std::vector<uint8_t>> parts) {
  std::vector<uint8_t> all;
  for (const auto& part : parts)
    all.insert(all.end(), part.begin(), part.end());
  return all;
}

TEST(UpdateCheck, LastRecordIsThePublishedVersion) {
  struct Case {
    std::vector<uint8_t> file;
    std::string published;
    bool same;
  };
  const Case cases[] = {
      {record("1.3.1.0"), "1.3.1.0", true},
      {record("1.3.2.0"), "1.3.2.0", false},
      {record("1.3.0.9"), "1.3.0.9", false},           // older still offers the download
      {record("1.3.1.0", 'x', 0xFF), "1.3.1.0", true}, // unused bytes and the field's rest
      {concat({record("0.9"), record("1.3.2.0", 0, 7), record("1.3.1.0", '#', 42)}), "1.3.1.0",
       true},
      {concat({record("1.3.1.0"), record("2.0")}), "2.0", false},
      {record("123456789012345"), "123456789012345", false}, // the full 15 characters
      {record(""), "", false},
      {record("1.3.1"), "1.3.1", false},
  };
  for (const Case& c : cases) {
    const VersionFileResult result = ParseVersionFile(c.file);
    ASSERT_TRUE(result.ok()) << c.published;
    EXPECT_TRUE(result.message.empty());
    EXPECT_EQ(result.published, c.published);
    EXPECT_EQ(IsSameVersion(result.published), c.same) << c.published;
  }
  EXPECT_EQ(InstalledVersion, "1.3.1.0");
}

TEST(UpdateCheck, UnreadableFilesFailTheCheck) {
  struct Case {
    std::vector<uint8_t> file;
    VersionFileStatus status;
    std::string_view message;
  };
  std::vector<uint8_t> tooLong = record("1.3.1.0");
  tooLong[8] = 16;
  std::vector<uint8_t> partial = concat({record("1.3.1.0"), record("1.3.2.0")});
  partial.resize(40);
  const Case cases[] = {
      {{}, VersionFileStatus::Empty, "Die Aktualisierung hat leider nicht geklappt.\r"},
      {partial, VersionFileStatus::Truncated, "Versuch hinter dem Dateiende zu lesen"},
      {std::vector<uint8_t>(5, '1'), VersionFileStatus::Truncated,
       "Versuch hinter dem Dateiende zu lesen"},
      {tooLong, VersionFileStatus::Damaged, "Die Aktualisierung hat leider nicht geklappt.\r"},
  };
  for (const Case& c : cases) {
    const VersionFileResult result = ParseVersionFile(c.file);
    EXPECT_FALSE(result.ok()) << c.file.size();
    EXPECT_EQ(result.status, c.status) << c.file.size();
    EXPECT_EQ(result.message, c.message) << c.file.size();
    EXPECT_TRUE(result.published.empty());
  }
}

} // namespace
} // namespace kw
