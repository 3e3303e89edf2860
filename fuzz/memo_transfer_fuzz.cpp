// The memo's lines as "In Tabelle übertragen" enters them: a file's bytes decoded as the
// memo shows them, then taken as coups.

#include "FuzzSupport.h"

#include "core/RouletteTables.h"
#include "files/HandChangeMarkers.h"
#include "files/PermanenceLines.h"
#include "files/TextFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kw;
  const DecodedText decoded = DecodeText(fuzz::Bytes(data, size));
  const std::vector<std::string> lines = SplitLines(decoded.text);
  const std::vector<CoupEntry> entries = TransferEntries(lines, DefaultHandChangeMarkers());
  fuzz::Expect(entries == TransferEntries(decoded.text, DefaultHandChangeMarkers()),
               "the memo text and its lines give the same rows");
  fuzz::Expect(entries.size() <= lines.size(), "no more rows than lines");
  for (const CoupEntry& entry : entries)
    fuzz::Expect((entry.code >= 0 && entry.code <= 36) || entry.code == HandChangeCode,
                 "every row is a number 0..36 or a hand change");
  return 0;
}
