// HWListe.txt: every line an entry as it stands.

#include "FuzzSupport.h"

#include "files/HandChangeMarkers.h"
#include "files/TextFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kw;
  const QString path = fuzz::WriteInputFile(data, size, "HWListe.txt");
  const MarkerFile list = ReadHandChangeListFile(path);
  fuzz::Expect(list.ok(), "an existing list file is read");
  fuzz::Expect(list.entries.size() <= size, "no more entries than bytes");
  for (const std::string& entry : list.entries)
    fuzz::Expect(entry.find_first_of("\r\n") == std::string::npos, "no line break in an entry");
  return 0;
}
