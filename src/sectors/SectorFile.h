#pragma once

#include "sectors/SectorAssignment.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace kw {

// A sector file (.sekt) is one record of nine 32-byte number sets, sector 1 first, with
// no header; bytes after the record are ignored.
inline constexpr size_t SectorSetBytes = 32;
inline constexpr size_t SectorFileSize = SectorCount * SectorSetBytes; // 288

// The record of an assignment; only the numbers 0..36 are stored.
std::array<uint8_t, SectorFileSize> EncodeSectorFile(const SectorAssignment& assignment);

// The assignment a file holds, or nothing when the bytes are shorter than one record.
// Members above 36 cannot come from saving and are dropped.
std::optional<SectorAssignment> DecodeSectorFile(std::span<const uint8_t> bytes);

// The system's text for reading past the end, shown for a file shorter than a record.
inline constexpr std::string_view SectorFileTooShortMessage =
    "Versuch hinter dem Dateiende zu lesen";

} // namespace kw
