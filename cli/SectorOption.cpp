#include "SectorOption.h"

#include "files/TextFile.h"
#include "sectors/SectorFile.h"

#include <span>

namespace kw::cli {

std::optional<SectorPreset> PresetNamed(const std::string& name) {
  if (name == "serien")
    return SectorPreset::RouletteSeries;
  if (name == "7x6")
    return SectorPreset::SevenAndFiveSixes;
  if (name == "5x4")
    return SectorPreset::FiveAndEightFours;
  return std::nullopt;
}

AssignmentLoad ReadSectorFile(const std::string& file) {
  const QString path = QString::fromLocal8Bit(file.c_str());
  const FileBytes read = ReadFileBytes(path);
  if (!read.ok())
    return {{}, read.error.toStdString()};
  const auto bytes = std::span(reinterpret_cast<const uint8_t*>(read.bytes.constData()),
                               static_cast<size_t>(read.bytes.size()));
  const std::optional<SectorAssignment> assignment = DecodeSectorFile(bytes);
  if (!assignment)
    return {{},
            ReadErrorMessage(path, QString::fromUtf8(SectorFileTooShortMessage.data(),
                                                     SectorFileTooShortMessage.size()))
                .toStdString()};
  return {*assignment, {}};
}

} // namespace kw::cli
