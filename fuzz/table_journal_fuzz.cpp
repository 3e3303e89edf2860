// The journal of the main window's table as the next start reads it back: whatever the
// bytes, the rows restored are rows a table can hold, with one label per hand change, and
// they rebuild the table without complaint.

#include "FuzzSupport.h"

#include "core/RouletteTables.h"
#include "workspace/TableJournal.h"
#include "workspace/Workspace.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kw;
  const RecordedTable recorded =
      ReadTableJournal(std::span(reinterpret_cast<const char*>(data), size));
  const auto handChanges = static_cast<size_t>(
      std::count(recorded.values.begin(), recorded.values.end(), HandChangeCode));
  fuzz::Expect(recorded.labels.size() == handChanges, "one label per hand change");
  fuzz::Expect(std::all_of(recorded.values.begin(), recorded.values.end(),
                           [](uint8_t v) { return v <= 36 || v == HandChangeCode; }),
               "only coups and hand changes");
  Workspace workspace;
  workspace.RestoreRows(recorded.values, recorded.labels);
  fuzz::Expect(workspace.table().UsedRows() == static_cast<int>(recorded.values.size()),
               "every row restored");
  fuzz::Expect(workspace.table().CoupCount() == recorded.coups(), "the coups counted");
  return 0;
}
