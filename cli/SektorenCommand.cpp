// kesselwerk-cli sektoren
#include "CliArgs.h"
#include "Commands.h"
#include "Json.h"
#include "MainWindowTable.h"
#include "SectorOption.h"
#include "core/PermanenceTable.h"
#include "files/HandChangeMarkers.h"
#include "files/PermanenceLines.h"
#include "files/SectorFileReader.h"
#include "sectors/SectorAssignment.h"
#include "sectors/ThrowDistance.h"
#include "workspace/Workspace.h"

#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace kw::cli {
namespace {

void writeTable(Json& json, const SectorTransitionTable& table) {
  json.beginArray();
  for (const auto& row : table)
    json.array(std::vector<int64_t>(row.begin(), row.end()));
  json.endArray();
}

std::string jsonResult(const ThrowDistanceResult& r) {
  Json json;
  json.beginObject();
  json.key("coups").value(static_cast<long long>(r.coups));
  json.key("a");
  writeTable(json, r.counts.a);
  json.key("b");
  writeTable(json, r.counts.b);
  json.endObject();
  return json.text() + "\n";
}

std::string trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : text.substr(first);
}

// The result grid as the window shows it, in right-aligned columns.
std::string textResult(const ThrowDistanceResult& r) {
  const SectorGridTexts grid = SectorGridTextsOf(r.counts);
  std::vector<size_t> widths(SectorGridColumns, 0);
  for (const auto& row : grid)
    for (size_t c = 0; c < row.size(); ++c)
      widths[c] = std::max(widths[c], CharacterCount(trimmed(row[c])));
  std::string out = "Coups: " + std::to_string(r.coups) + "\n\n";
  for (const auto& row : grid) {
    std::string line;
    for (size_t c = 0; c < row.size(); ++c) {
      const std::string cell = trimmed(row[c]);
      line += (c == 0 ? "" : "  ") + std::string(widths[c] - CharacterCount(cell), ' ') + cell;
    }
    out += "  " + line + "\n";
  }
  return out;
}

} // namespace

int RunSektoren(int argc, char** argv) {
  const CliArgs args = ParseArgs(argc, argv, {"--datei", "--muster"}, {});
  auto usage = [](const std::string& what) {
    return Fail(ExitUsage, "kesselwerk-cli sektoren: " + what);
  };
  if (!args.error.empty())
    return usage(args.error);
  if (args.has("--datei") == args.has("--muster"))
    return usage("sektoren erwartet entweder --datei DATEI.sekt oder --muster serien|7x6|5x4");
  if (args.files.empty())
    return usage("sektoren erwartet mindestens eine Permanenz-Datei");

  SectorAssignment assignment;
  if (const auto pattern = args.value("--muster")) {
    const std::optional<SectorPreset> preset = PresetNamed(*pattern);
    if (!preset)
      return usage("--muster erwartet serien, 7x6 oder 5x4 (angegeben: \"" + *pattern + "\")");
    assignment = BuildSectorAssignment(PresetSectorLists(*preset));
  } else {
    const AssignmentLoad load = ReadSectorFile(*args.value("--datei"));
    if (!load.error.empty())
      return Fail(ExitUsage, load.error);
    assignment = load.assignment;
  }

  Workspace workspace;
  if (const std::string error = OpenAndTransfer(workspace, args.files); !error.empty())
    return Fail(ExitUsage, error);
  const PermanenceTable& table = workspace.table();

  const ThrowDistanceResult result = EvaluateThrowDistances(table.RowValues(), assignment);
  if (result.status != ThrowDistanceStatus::Counted)
    return Fail(ExitRefused, std::string(result.message));

  const std::string out = args.json ? jsonResult(result) : textResult(result);
  std::fputs(out.c_str(), stdout);
  return ExitOk;
}

} // namespace kw::cli
