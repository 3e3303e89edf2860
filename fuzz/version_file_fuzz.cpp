// The update server's version file: 24-byte records, the last one counts.

#include "FuzzSupport.h"

#include "tools/UpdateCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kw;
  const VersionFileResult result = ParseVersionFile(std::span(data, size));
  fuzz::Expect(result.ok() == result.message.empty(), "a message exactly when not read");
  fuzz::Expect(result.published.size() <= VersionTextCapacity, "the text fits its field");
  [[maybe_unused]] const bool same = IsSameVersion(result.published);
  return 0;
}
