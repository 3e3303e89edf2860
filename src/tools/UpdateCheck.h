#pragma once

#include "core/Version.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kw {

// The version file the update server publishes: 24-byte records back to back, the last
// one being the current version. Bytes 0..7 of a record are unused, byte 8 is the length
// L (0..15) of the version text and bytes 9..23 hold it (L single-byte characters).
inline constexpr size_t VersionRecordSize = 24;
inline constexpr size_t VersionTextCapacity = 15;

// The version of this build ("1.3.1.0"), compared byte for byte with the published one.
inline constexpr std::string_view InstalledVersion = ProductVersion;

enum class VersionFileStatus {
  Read,
  Truncated, // the last record is partial
  Empty,     // not a single record
  Damaged,   // the last record's length byte exceeds its 15 characters
};

struct VersionFileResult {
  VersionFileStatus status = VersionFileStatus::Empty;
  std::string published;    // the published version text, single-byte characters as stored
  std::string_view message; // the failure shown to the user; empty when read
  bool ok() const { return status == VersionFileStatus::Read; }
};

// Reads every record to the end and keeps the last one.
VersionFileResult ParseVersionFile(std::span<const uint8_t> bytes);

// Whether the published version equals the installed one: same length, same bytes. There
// is no ordering; an older published version differs as much as a newer one.
bool IsSameVersion(std::string_view published, std::string_view installed = InstalledVersion);

inline constexpr std::string_view UpdateCheckFailedMessage =
    "Die Aktualisierung hat leider nicht geklappt.\r";
// The system's text for reading past the end, shown for a partial record.
inline constexpr std::string_view VersionFileTruncatedMessage =
    "Versuch hinter dem Dateiende zu lesen";

} // namespace kw
