#include "files/SectorFileReader.h"

#include "files/TextFile.h"
#include "sectors/SectorFile.h"

#include <optional>
#include <span>

namespace kw {

SectorFileLoad ReadSectorFile(const QString& path) {
  const FileBytes file = ReadFileHead(path, static_cast<qint64>(SectorFileSize));
  if (!file.ok())
    return {{}, file.error};
  const auto bytes = std::span(reinterpret_cast<const uint8_t*>(file.bytes.constData()),
                               static_cast<size_t>(file.bytes.size()));
  const std::optional<SectorAssignment> assignment = DecodeSectorFile(bytes);
  if (!assignment)
    return {{},
            ReadErrorMessage(
                path, QString::fromUtf8(SectorFileTooShortMessage.data(),
                                        static_cast<qsizetype>(SectorFileTooShortMessage.size())))};
  return {*assignment, {}};
}

} // namespace kw
