#include "tools/ProgramFormat.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kw {
namespace {

std::vector<uint8_t> bytes(const std::string& text) { return {text.begin(), text.end()}; }

TEST(ProgramFormat, TellsProgramsByTheirFirstBytes) {
  struct Case {
    std::string head;
    ProgramFormat format;
  };
  const Case cases[] = {
      {std::string("MZ\x90\0\x03\0\0\0", 8), ProgramFormat::WindowsExe},
      {"\x7f"
       "ELF\x02\x01\x01",
       ProgramFormat::Elf},
      {"\xcf\xfa\xed\xfe\x07\0\0\x01", ProgramFormat::MachO}, // 64-bit, little-endian
      {"\xfe\xed\xfa\xce", ProgramFormat::MachO},             // 32-bit, big-endian
      {"\xca\xfe\xba\xbe\0\0\0\x02", ProgramFormat::MachO},   // universal
      {"#!/bin/sh\n", ProgramFormat::Script},
      {"#!", ProgramFormat::Script},
      {"", ProgramFormat::Unknown},
      {"M", ProgramFormat::Unknown},
      {"\x7f"
       "EL",
       ProgramFormat::Unknown}, // cut short
      {"mz", ProgramFormat::Unknown},
      {" #!/bin/sh", ProgramFormat::Unknown},
      {"<html><body>404</body></html>", ProgramFormat::Unknown}, // an error page saved as body
      {"PK\x03\x04", ProgramFormat::Unknown},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DetectProgramFormat(bytes(c.head)), c.format) << c.head;
}

#ifdef __linux__
TEST(ProgramFormat, OnLinuxOnlyElfProgramsAndScriptsRun) {
  EXPECT_TRUE(RunsOnThisSystem(ProgramFormat::Elf));
  EXPECT_TRUE(RunsOnThisSystem(ProgramFormat::Script));
  EXPECT_FALSE(RunsOnThisSystem(ProgramFormat::WindowsExe));
  EXPECT_FALSE(RunsOnThisSystem(ProgramFormat::MachO));
  EXPECT_FALSE(RunsOnThisSystem(ProgramFormat::Unknown));
}
#endif

} // namespace
} // namespace kw
