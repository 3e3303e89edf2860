#include "tools/UpdateCheck.h"

namespace kw {

VersionFileResult ParseVersionFile(std::span<const uint8_t> bytes) {
  VersionFileResult result;
  if (bytes.size() % VersionRecordSize != 0) {
    result.status = VersionFileStatus::Truncated;
    result.message = VersionFileTruncatedMessage;
    return result;
  }
  if (bytes.empty()) {
    result.status = VersionFileStatus::Empty;
    result.message = UpdateCheckFailedMessage;
    return result;
  }
  const std::span<const uint8_t> last = bytes.last(VersionRecordSize);
  const size_t length = last[8];
  if (length > VersionTextCapacity) {
    // A length beyond the field would read past the record; such a file is not trusted.
    result.status = VersionFileStatus::Damaged;
    result.message = UpdateCheckFailedMessage;
    return result;
  }
  result.status = VersionFileStatus::Read;
  result.published.assign(reinterpret_cast<const char*>(last.data() + 9), length);
  return result;
}

bool IsSameVersion(std::string_view published, std::string_view installed) {
  return published == installed;
}

} // namespace kw
