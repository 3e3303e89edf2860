#pragma once

#include "sectors/SectorAssignment.h"

#include <QString>

namespace kw {

struct SectorFileLoad {
  SectorAssignment assignment;
  QString error; // the German message when the file gives no assignment; empty when read

  bool ok() const { return error.isEmpty(); }
};

// A .sekt file as the sector window and the command line open it: only its first record is
// read (bytes after it are ignored, and a device or FIFO is refused before reading). A file
// that cannot be read, or that is shorter than a record, gives its message.
SectorFileLoad ReadSectorFile(const QString& path);

} // namespace kw
