// A .sekt sector file: nine number sets; what is read saves and reads back the same.

#include "FuzzSupport.h"

#include "sectors/SectorFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kw;
  const std::optional<SectorAssignment> read = DecodeSectorFile(std::span(data, size));
  fuzz::Expect(read.has_value() == (size >= SectorFileSize), "a whole record is read");
  if (!read)
    return 0;
  const auto record = EncodeSectorFile(*read);
  fuzz::Expect(DecodeSectorFile(record) == read, "saved and read back unchanged");
  [[maybe_unused]] const SectorListNumbers lists = SectorListsOf(*read);
  return 0;
}
