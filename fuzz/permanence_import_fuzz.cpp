// The import of lists and tables: any bytes give an analysis that keeps its own counts, and
// what it would write reads back as the same permanence, whole or split.

#include "FuzzSupport.h"

#include "core/RouletteTables.h"
#include "files/HandChangeMarkers.h"
#include "files/PermanenceImport.h"
#include "files/PermanenceLines.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines)
    text += line + "\r\n";
  return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kw;
  const std::vector<std::string>& markers = DefaultHandChangeMarkers();
  const QString path = fuzz::WriteInputFile(data, size, "Import.csv");
  const ImportAnalysis analysis = AnalysePermanenceImport(path, ImportRequest{markers, {}});
  const ImportParse& parse = analysis.parse;
  fuzz::Expect(analysis.ok() == analysis.error.isEmpty(), "a message exactly when refused");
  fuzz::Expect(parse.coups + parse.handChanges == static_cast<int>(parse.rows.size()),
               "every row is a coup or a hand change");
  fuzz::Expect(parse.handChangeTexts.size() == static_cast<size_t>(parse.handChanges),
               "one marker text per hand change");
  fuzz::Expect(std::all_of(parse.rows.begin(), parse.rows.end(),
                           [](uint8_t r) { return r <= 36 || r == HandChangeCode; }),
               "rows hold 0..36 or the hand-change code");
  fuzz::Expect(parse.examples.size() <= ImportExamples &&
                   parse.examples.size() <= static_cast<size_t>(parse.skipped),
               "at most five examples, none beyond the skipped values");
  fuzz::Expect(parse.preview.size() <= ImportPreviewEntries, "a bounded preview");
  if (!analysis.ok())
    return 0;

  const std::vector<ImportPart> whole = SplitImportRows(parse, 0);
  fuzz::Expect(whole.size() == 1, "one file without splitting");
  const std::vector<std::string> lines = ImportPartLines(parse, whole.front());
  std::vector<std::string> pieces;
  const std::vector<ImportPart> parts = SplitImportRows(parse, 3);
  for (const ImportPart& part : parts) {
    fuzz::Expect(part.coups <= 3 || &part == &parts.back(),
                 "no file beyond its coups but the last, which takes a short remainder");
    const std::vector<std::string> partLines = ImportPartLines(parse, part);
    pieces.insert(pieces.end(), partLines.begin(), partLines.end());
    const std::vector<std::string> fileLines = ImportFileLines(parse, part);
    std::vector<uint8_t> transferred;
    for (const CoupEntry& entry : TransferEntries(std::span(fileLines), markers))
      transferred.push_back(static_cast<uint8_t>(entry.code));
    fuzz::Expect(transferred == std::vector<uint8_t>(parse.rows.begin() + part.firstRow,
                                                     parse.rows.begin() + part.endRow),
                 "every file goes whole into the main window's table");
  }
  fuzz::Expect(pieces == lines, "the split files together are the whole permanence");

  const std::string written = Joined(lines);
  fuzz::Expect(PermanenceCoups(written, markers) == parse.rows,
               "the permanence reader reads the written lines back as the rows");
  fuzz::Expect(ParsePermanenceImport(written, ImportRequest{markers, {}}).rows == parse.rows,
               "importing the written lines again gives the same rows");
  return 0;
}
