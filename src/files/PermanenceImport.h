#pragma once

#include "files/PermanenceImportText.h"
#include "files/TextFile.h"

#include <QString>
#include <QStringList>

#include <span>
#include <vector>

namespace kw {

// Importing permanences from the lists and tables found elsewhere into permanence files (what is
// read as what: PermanenceImportText.h). Two steps, so that a window can show what was found
// before anything is written: AnalysePermanenceImport reads one file, WritePermanenceImports
// writes the permanences, whole or in files of N coups, in the save dialog's file format without
// information lines. Both report progress and can be cancelled; a cancelled or failed write
// leaves no new file behind and every existing file as it was.

enum class ImportFailure {
  None,
  Unreadable,    // missing, not permitted, a folder, a pipe or device, larger than any permanence
  BadColumn,     // the requested column is not in the file (a usage error)
  NotImportable, // read, but no permanence in it: empty, not text, a value of enormous length,
                 // an open quote, no column of results, no coup
};

struct ImportAnalysis {
  QString source; // the path as given
  TextEncoding encoding = TextEncoding::Windows1252;
  ImportParse parse;
  ImportFailure failure = ImportFailure::None;
  QString error; // German message naming the file, when failure is not None
  bool cancelled = false;

  bool ok() const { return failure == ImportFailure::None && !cancelled; }
};

// Reads and analyses one file. A table without a column of results still lists its columns
// (parse.columns), so that one can be chosen.
ImportAnalysis AnalysePermanenceImport(const QString& path, const ImportRequest& request,
                                       const ImportProgress& progress = {});

struct ImportWriteOptions {
  QString folder;       // an existing folder
  int coupsPerFile = 0; // 0: NAME.prm per source; N: NAME_0001.prm, ... of N coups each
  bool replaceExisting = false;
};

// The files an import writes, in order; nothing is touched. NAME is the source's file name
// without its last extension; part numbers have four digits, more when there are more parts.
QStringList ImportOutputPaths(const ImportAnalysis& analysis, const ImportWriteOptions& options);

// Those of the output files that exist already.
QStringList ExistingImportOutputs(std::span<const ImportAnalysis> analyses,
                                  const ImportWriteOptions& options);

struct ImportWriteResult {
  std::vector<QStringList> outputs; // per analysis, the files written (when ok)
  QString error;                    // German message; nothing was written then
  bool cancelled = false;           // nothing was written then either

  bool ok() const { return error.isEmpty() && !cancelled; }
};

// Writes the permanences of the analyses (all of them ok) into the folder. Every file is written
// into a hidden staging folder inside the target folder first and moved into place only when all
// are written, so that a cancel, a full disk or an unencodable marker writes nothing. Without
// replaceExisting an existing output file is refused before anything is written; with it, the
// old files are kept aside until every new one is in place, and restored on a failure.
ImportWriteResult WritePermanenceImports(std::span<const ImportAnalysis> analyses,
                                         const ImportWriteOptions& options,
                                         const ImportProgress& progress = {});

// Texts of the import report, shared by the window and the command line.
// "Zahlenliste", or e.g. "Tabelle mit Kopfzeile (Trennzeichen Komma), Spalte 6 "outcome"".
QString ImportFormatText(const ImportParse& parse);
// "Doppelnull: 7 — diese Permanenz stammt von einem Kessel mit Doppelnull".
QString DoubleZeroNote(int count);

} // namespace kw
