#include "sectors/SectorFile.h"

#include "core/RouletteTables.h"

#include <algorithm>

namespace kw {
namespace {

// Keeps the members 0..36 of a set: all a sector list can hold.
NumberSet wheelNumbersOf(const NumberSet& set) {
  NumberSet out;
  for (int n = 0; n < NumberCount; ++n)
    if (set.contains(static_cast<unsigned>(n)))
      out.insert(static_cast<uint8_t>(n));
  return out;
}

} // namespace

std::array<uint8_t, SectorFileSize> EncodeSectorFile(const SectorAssignment& assignment) {
  std::array<uint8_t, SectorFileSize> record{};
  for (size_t s = 0; s < SectorCount; ++s) {
    const std::array<uint8_t, SectorSetBytes> set = wheelNumbersOf(assignment.sectors[s]).bytes();
    std::copy(set.begin(), set.end(), record.begin() + static_cast<ptrdiff_t>(s * SectorSetBytes));
  }
  return record;
}

std::optional<SectorAssignment> DecodeSectorFile(std::span<const uint8_t> bytes) {
  // The whole record is checked before anything is taken, so a short file changes nothing.
  if (bytes.size() < SectorFileSize)
    return std::nullopt;
  SectorAssignment assignment;
  for (size_t s = 0; s < SectorCount; ++s) {
    std::array<uint8_t, SectorSetBytes> set{};
    std::copy_n(bytes.begin() + static_cast<ptrdiff_t>(s * SectorSetBytes), SectorSetBytes,
                set.begin());
    assignment.sectors[s] = wheelNumbersOf(NumberSet::fromBytes(set));
  }
  return assignment;
}

} // namespace kw
