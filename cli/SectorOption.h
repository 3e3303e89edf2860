#pragma once

#include "sectors/SectorAssignment.h"

#include <optional>
#include <string>

namespace kw::cli {

// The preset a --muster value names: serien, 7x6 or 5x4.
std::optional<SectorPreset> PresetNamed(const std::string& name);

struct AssignmentLoad {
  SectorAssignment assignment;
  std::string error; // a sector file that cannot be read
};

// The assignment a sector file holds, read whole as the sector window opens it.
AssignmentLoad ReadSectorFile(const std::string& file);

} // namespace kw::cli
