// kesselwerk-cli chancen
#include "CliArgs.h"
#include "Commands.h"
#include "Json.h"
#include "MainWindowTable.h"
#include "analysis/ChanceAnalysis.h"
#include "core/PermanenceTable.h"
#include "core/RouletteTables.h"
#include "files/HandChangeMarkers.h"
#include "files/PermanenceLines.h"
#include "files/TextFile.h"
#include "workspace/Workspace.h"

#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

namespace kw::cli {
namespace {

// One count group as the result grids show it: caption, column headings, counts.
struct CountGroup {
  const char* key;     // JSON key
  const char* caption; // the grid's group caption
  std::vector<std::string> headings;
  std::vector<uint32_t> counts;
};

std::vector<std::string> Labels(int first, int last) {
  std::vector<std::string> labels;
  for (int i = first; i <= last; ++i)
    labels.emplace_back(ChanceLabel(i));
  return labels;
}

template <size_t N> std::vector<uint32_t> Counts(const std::array<uint32_t, N>& counts) {
  return {counts.begin(), counts.end()};
}

std::vector<CountGroup> CountGroups(const ChanceCounts& c) {
  return {
      {"farben", "Farben", {"Noir", "Zero", "Rouge"}, Counts(c.colours)},
      {"impair_pair", "Impair / Pair", Labels(2, 3), Counts(c.impairPair)},
      {"manque_passe", "1 - 18 / 19 - 36", Labels(4, 5), Counts(c.manquePasse)},
      {"dutzende", "Dutzende", {"1", "2", "3"}, Counts(c.dozens)},
      {"kolonnen", "Kolonnen", {"1", "2", "3"}, Counts(c.columns)},
      {"serien", "Serien", Labels(38, 40), Counts(c.wheelSeries)},
      {"transversalen_simple", "Transversalen simple", Labels(24, 34), Counts(c.sixLines)},
      {"transversalen_plein", "Transversalen plein", Labels(12, 23), Counts(c.streets)},
  };
}

struct SeriesGroup {
  const char* key;
  const char* caption;
  std::vector<std::string> headings; // the six chances
  const SeriesTable* table;
};

std::vector<SeriesGroup> SeriesGroups(const ChanceAnalysis& a) {
  return {{"serien_einfache_chancen", "Serien Einfache Chancen", Labels(0, 5), &a.evenChanceSeries},
          {"serien_drittelchancen", "Serien Drittelchancen", Labels(6, 11), &a.thirdChanceSeries}};
}

std::string JsonResult(const ChanceAnalysis& a) {
  Json json;
  json.beginObject();
  json.key("coups").value(static_cast<long long>(a.coups));
  json.key("handwechsel").value(static_cast<long long>(a.handChanges));
  json.key("nummern").array(std::vector<uint32_t>(a.numberCounts.begin(), a.numberCounts.end()));
  for (const CountGroup& group : CountGroups(a.chanceCounts))
    json.key(group.key).array(group.counts);
  for (const SeriesGroup& group : SeriesGroups(a)) {
    const int lengths = ShownSeriesLengths(*group.table);
    json.key(group.key).beginArray();
    for (int chance = 1; chance <= SeriesChanceCount; ++chance) {
      json.beginArray();
      for (int length = 1; length <= lengths; ++length)
        json.value(static_cast<long long>(group.table->at(chance, length)));
      json.endArray();
    }
    json.endArray();
  }
  json.endObject();
  return json.text() + "\n";
}

// Character count of a UTF-8 text, so columns line up with umlauts.
size_t Width(const std::string& text) { return CharacterCount(text); }

std::string PadLeft(const std::string& text, size_t width) {
  const size_t w = Width(text);
  return std::string(width > w ? width - w : 0, ' ') + text;
}

// Rows of cells as right-aligned columns, each as wide as its widest cell.
std::string Table(const std::vector<std::vector<std::string>>& rows) {
  std::vector<size_t> widths;
  for (const auto& row : rows)
    for (size_t c = 0; c < row.size(); ++c) {
      widths.resize(std::max(widths.size(), row.size()));
      widths[c] = std::max(widths[c], Width(row[c]));
    }
  std::string out;
  for (const auto& row : rows) {
    std::string line;
    for (size_t c = 0; c < row.size(); ++c)
      line += (c == 0 ? "" : "  ") + PadLeft(row[c], widths[c]);
    out += "  " + line + "\n";
  }
  return out;
}

std::vector<std::string> Texts(const std::vector<uint32_t>& counts) {
  std::vector<std::string> texts;
  for (uint32_t n : counts)
    texts.push_back(std::to_string(n));
  return texts;
}

std::string TextResult(const ChanceAnalysis& a) {
  std::string out;
  out += "Coups:       " + std::to_string(a.coups) + "\n";
  out += "Handwechsel: " + std::to_string(a.handChanges) + "\n";

  out += "\nHäufigkeit der Nummern\n";
  std::vector<std::vector<std::string>> numbers{{"Nummer", "Anzahl"}};
  for (int x = 0; x < NumberCount; ++x)
    numbers.push_back({std::to_string(x), std::to_string(a.numberCounts[size_t(x)])});
  out += Table(numbers);

  for (const CountGroup& group : CountGroups(a.chanceCounts))
    out += "\n" + std::string(group.caption) + "\n" + Table({group.headings, Texts(group.counts)});

  for (const SeriesGroup& group : SeriesGroups(a)) {
    std::vector<std::vector<std::string>> rows;
    rows.push_back({"Serie"});
    rows[0].insert(rows[0].end(), group.headings.begin(), group.headings.end());
    const int lengths = ShownSeriesLengths(*group.table);
    for (int length = 1; length <= lengths; ++length) {
      std::vector<std::string> row{std::to_string(length)};
      for (int chance = 1; chance <= SeriesChanceCount; ++chance)
        row.push_back(std::to_string(group.table->at(chance, length)));
      rows.push_back(std::move(row));
    }
    out += "\n" + std::string(group.caption) + "\n" + Table(rows);
  }
  return out;
}

} // namespace

int RunChancen(int argc, char** argv) {
  const CliArgs args = ParseArgs(argc, argv, {}, {});
  auto usage = [](const std::string& what) {
    return Fail(ExitUsage, "kesselwerk-cli chancen: " + what);
  };
  if (!args.error.empty())
    return usage(args.error);
  if (args.files.empty())
    return usage("chancen erwartet mindestens eine Permanenz-Datei");

  Workspace workspace;
  if (const std::string error = OpenAndTransfer(workspace, args.files); !error.empty())
    return Fail(ExitUsage, error);
  const PermanenceTable& table = workspace.table();

  const ChanceAnalysis result = AnalyseChances(table.RowValues());
  if (result.refusal)
    return Fail(ExitRefused, *result.refusal);

  const std::string out = args.json ? JsonResult(result) : TextResult(result);
  std::fputs(out.c_str(), stdout);
  return ExitOk;
}

} // namespace kw::cli
