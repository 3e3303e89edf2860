// A .set stake file as the system test window loads it into its 100 cells.

#include "FuzzSupport.h"

#include "files/TextFile.h"
#include "systemtest/StakeProgression.h"
#include "systemtest/TestParameters.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kw;
  const std::string text = DecodeText(fuzz::Bytes(data, size)).text;
  const std::vector<std::string> lines = SplitStakeFileText(text);
  const std::vector<std::string> cells = StakeCellsFromLines(lines);
  fuzz::Expect(cells.size() == static_cast<size_t>(StakeTableColumns), "always the whole table");
  for (const std::string& line : lines)
    fuzz::Expect(line.find_first_of("\r\n") == std::string::npos, "no line break in a cell");
  [[maybe_unused]] const bool asks = LoadNeedsOverwriteQuestion(cells);
  [[maybe_unused]] const StakeSavePlan plan =
      PlanStakeSave("Staffel.set", cells, StakeSaveTarget::ChosenFile);
  return 0;
}
