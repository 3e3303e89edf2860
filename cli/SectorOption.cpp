#include "SectorOption.h"

#include "files/SectorFileReader.h"

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
  // Read as the sector window opens it: only the file's record, never more.
  const SectorFileLoad load = kw::ReadSectorFile(QString::fromLocal8Bit(file.c_str()));
  return {load.assignment, load.error.toStdString()};
}

} // namespace kw::cli
