// kesselwerk-cli serien: where a series of the chosen length first began, per file and
// chance, as the series-length window shows it.
#include "CliArgs.h"
#include "Commands.h"
#include "Json.h"
#include "MainWindowTable.h"

#include "analysis/SeriesLengthSearch.h"
#include "core/RouletteTables.h"
#include "files/HandChangeMarkers.h"
#include "files/PermanenceFiles.h"
#include "files/Settings.h"

#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace kw::cli {
namespace {

constexpr int MinLength = 2;
constexpr int MaxLength = 12;

// "--laengen E,D,S,P": four lengths 2..12.
bool parseLengths(const std::string& text, SeriesLengths& lengths) {
  std::stringstream in(text);
  std::string part;
  size_t i = 0;
  while (std::getline(in, part, ',')) {
    if (i >= lengths.size() || part.empty() ||
        part.find_first_not_of("0123456789") != std::string::npos || part.size() > 2)
      return false;
    const int length = std::stoi(part);
    if (length < MinLength || length > MaxLength)
      return false;
    lengths[i++] = length;
  }
  return i == lengths.size();
}

// The stored slider positions, brought into 2..12 as the window does.
SeriesLengths storedLengths() {
  const std::array<int, 4> stored = ReadSeriesLengthSliders();
  SeriesLengths lengths{};
  for (size_t i = 0; i < lengths.size(); ++i)
    lengths[i] = std::clamp(stored[i], MinLength, MaxLength);
  return lengths;
}

void printJson(const SeriesLengths& lengths, const FilePermanences& read,
               const std::vector<SeriesLengthRow>& rows) {
  Json json;
  json.beginObject().key("laengen").beginArray();
  for (int length : lengths)
    json.value(static_cast<long long>(length));
  json.endArray().key("titel").beginArray();
  for (std::string_view title : SeriesLengthTitles)
    json.value(title);
  json.endArray().key("permanenzen").beginArray();
  for (size_t p = 0; p < rows.size(); ++p) {
    json.beginObject().key("name").value(read.PermanenceNames[p]).key("ergebnisse").beginArray();
    for (const FirstSeries& cell : rows[p]) {
      if (cell.kind == FirstSeries::Kind::Found)
        json.value(static_cast<long long>(cell.coup));
      else
        json.value(cell.Text());
    }
    json.endArray().endObject();
  }
  json.endArray().endObject();
  std::printf("%s\n", json.text().c_str());
}

void printTable(const SeriesLengths& lengths, const FilePermanences& read,
                const std::vector<SeriesLengthRow>& rows) {
  std::printf("Serienlängen: Einfache Chancen %d, Drittel-Chancen %d, Transversale Simple %d, "
              "Transversale Plein %d\n\n",
              lengths[0], lengths[1], lengths[2], lengths[3]);
  std::printf("%-20s", "Permanenz");
  for (std::string_view title : SeriesLengthTitles)
    std::printf(" %9.*s", static_cast<int>(title.size()), title.data());
  std::printf("\n");
  for (size_t p = 0; p < rows.size(); ++p) {
    std::printf("%-20s", read.PermanenceNames[p].c_str());
    for (const FirstSeries& cell : rows[p])
      std::printf(" %9s", cell.Text().c_str());
    std::printf("\n");
  }
}

} // namespace

int RunSerien(int argc, char** argv) {
  CliArgs args = ParseArgs(argc, argv, {"--laengen"}, {});
  if (!args.error.empty())
    return Fail(ExitUsage, "kesselwerk-cli serien: " + args.error);
  if (args.files.empty())
    return Fail(ExitUsage, "kesselwerk-cli serien: keine Datei angegeben");

  SeriesLengths lengths = storedLengths();
  if (const auto text = args.value("--laengen"); text && !parseLengths(*text, lengths))
    return Fail(ExitUsage, "kesselwerk-cli serien: --laengen erwartet vier Zahlen von 2 bis 12, "
                           "durch Kommas getrennt (z. B. 6,5,4,3)");

  if (const std::string error = LoadHandChangeListOrError(); !error.empty())
    return Fail(ExitUsage, error);
  const FilePermanences read = ReadPermanenceFiles(ToPaths(args.files), {.threads = args.jobs});
  if (!read.ok())
    return Fail(ExitUsage, read.error.toStdString());

  const std::vector<SeriesLengthRow> rows =
      RunSeriesLengthSearch(read.PermanenceData, lengths, {.threads = args.jobs}).rows;

  if (args.json)
    printJson(lengths, read, rows);
  else
    printTable(lengths, read, rows);
  return ExitOk;
}

} // namespace kw::cli
