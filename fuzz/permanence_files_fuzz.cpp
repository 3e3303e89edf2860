// The multi-file reader of the series-length analysis and the system test: the input is one
// permanence file, read twice in one call on two threads.

#include "FuzzSupport.h"

#include "files/HandChangeMarkers.h"
#include "files/PermanenceFiles.h"
#include "files/PermanenceLines.h"
#include "files/TextFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kw;
  const QString path = fuzz::WriteInputFile(data, size, "Permanenz.txt");
  const FilePermanences read =
      ReadPermanenceFiles(QStringList{path, path}, DefaultHandChangeMarkers(), {.threads = 2});
  fuzz::Expect(read.ok(), "a readable file is read");
  fuzz::Expect(read.PermanenceData.size() == 2 && read.PermanenceNames.size() == 2,
               "one coup list and one name per file");
  fuzz::Expect(read.PermanenceData[0] == read.PermanenceData[1], "both reads agree");
  fuzz::Expect(read.PermanenceData[0] == PermanenceCoups(DecodeText(fuzz::Bytes(data, size)).text,
                                                         DefaultHandChangeMarkers()),
               "the file gives the coups of its text");
  return 0;
}
