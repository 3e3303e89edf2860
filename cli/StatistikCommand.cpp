// kesselwerk-cli statistik
#include "CliArgs.h"
#include "Commands.h"
#include "Json.h"
#include "MainWindowTable.h"
#include "SectorOption.h"
#include "files/PermanenceLines.h"
#include "sectors/SectorAssignment.h"
#include "sectors/ThrowDistance.h"
#include "statistics/Significance.h"
#include "statistics/Verdict.h"
#include "workspace/Workspace.h"

#include <QLocale>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace kw::cli {
namespace {

// ---- JSON ----------------------------------------------------------------------------

template <class T, size_t N> void writeDoubles(Json& json, const std::array<T, N>& values) {
  json.beginArray();
  for (const T& v : values)
    json.value(static_cast<double>(v));
  json.endArray();
}

template <class T, size_t N> void writeIntegers(Json& json, const std::array<T, N>& values) {
  json.beginArray();
  for (const T& v : values)
    json.value(static_cast<long long>(v));
  json.endArray();
}

template <class T> void writeSectorTable(Json& json, const SectorTable<T>& table, bool integers) {
  json.beginArray();
  for (const auto& row : table) {
    if (integers)
      writeIntegers(json, row);
    else
      writeDoubles(json, row);
  }
  json.endArray();
}

// chi2, fg, p and gueltig of a chi-square test.
void writeChiSquare(Json& json, const ChiSquareTest& test) {
  json.key("chi2").value(test.chi2);
  json.key("fg").value(static_cast<long long>(test.degreesOfFreedom));
  json.key("p").value(test.p);
  json.key("gueltig").value(test.valid);
}

void writeNumbers(Json& json, const NumbersTest& t) {
  json.key("nummern").beginObject();
  json.key("beobachtet");
  writeIntegers(json, t.observed);
  json.key("erwartet").value(t.expected);
  json.key("residuen");
  writeDoubles(json, t.residuals);
  writeChiSquare(json, t.test);
  json.endObject();
}

void writeSimpleChances(Json& json, const std::array<SimpleChanceTest, 6>& tests) {
  json.key("einfache_chancen").beginArray();
  for (const SimpleChanceTest& t : tests) {
    json.beginObject();
    json.key("name").value(t.name);
    json.key("anzahl").value(static_cast<long long>(t.count));
    json.key("erwartet").value(t.expected);
    json.key("z").value(t.z);
    json.key("p").value(t.p);
    json.key("gueltig").value(t.valid);
    json.endObject();
  }
  json.endArray();
}

void writeThirdChances(Json& json, const std::array<ThirdChanceTest, 2>& tests) {
  json.key("drittel").beginArray();
  for (const ThirdChanceTest& t : tests) {
    json.beginObject();
    json.key("name").value(t.name);
    writeChiSquare(json, t.test);
    json.endObject();
  }
  json.endArray();
}

void writeRuns(Json& json, const std::array<RunsTest, 3>& tests) {
  json.key("serien").beginArray();
  for (const RunsTest& t : tests) {
    json.beginObject();
    json.key("name").value(t.name);
    json.key("runs").value(static_cast<long long>(t.runs));
    json.key("erwartet").value(t.expected);
    json.key("z").value(t.z);
    json.key("p").value(t.p);
    json.key("gueltig").value(t.valid);
    json.endObject();
  }
  json.endArray();
}

void writeDistances(Json& json, const DistanceTest& t) {
  json.beginObject();
  json.key("verteilung");
  writeIntegers(json, t.distribution);
  writeChiSquare(json, t.test);
  json.endObject();
}

void writeThrowDistances(Json& json, const ThrowDistanceTests& t) {
  json.key("wurfweiten").beginObject();
  json.key("alle");
  writeDistances(json, t.all);
  json.key("A");
  writeDistances(json, t.a);
  json.key("B");
  writeDistances(json, t.b);
  json.key("abschnitte").beginArray();
  for (const SectionDistanceTest& s : t.sections) {
    json.beginObject();
    json.key("erster_coup").value(static_cast<long long>(s.firstCoup));
    json.key("paare").value(static_cast<long long>(s.pairs));
    json.key("chi2").value(s.test.chi2);
    json.key("p").value(s.test.p);
    json.key("fg").value(static_cast<long long>(s.test.degreesOfFreedom));
    json.key("gueltig").value(s.test.valid);
    json.endObject();
  }
  json.endArray();
  json.endObject();
}

// chi2, fg and p are null where the sectors allow no overall test.
void writeSectorDirection(Json& json, const SectorDirectionTest& t) {
  json.beginObject();
  json.key("erwartet");
  writeSectorTable(json, t.expected, false);
  json.key("residuen");
  writeSectorTable(json, t.residuals, false);
  json.key("chi2").value(t.test.chi2);
  json.key("fg");
  if (t.test.chi2)
    json.value(static_cast<long long>(t.test.degreesOfFreedom));
  else
    json.null();
  json.key("p").value(t.test.p);
  json.key("gueltig").value(t.test.valid);
  json.key("beobachtet");
  writeSectorTable(json, t.observed, true);
  json.endObject();
}

std::string jsonResult(const SignificanceReport& r) {
  Json json;
  json.beginObject();
  json.key("coups").value(static_cast<long long>(r.coups));
  writeNumbers(json, r.numbers);
  writeSimpleChances(json, r.simpleChances);
  writeThirdChances(json, r.thirdChances);
  writeRuns(json, r.runs);
  writeThrowDistances(json, r.throwDistances);
  if (r.sectors) {
    json.key("sektoren").beginObject();
    json.key("A");
    writeSectorDirection(json, r.sectors->a);
    json.key("B");
    writeSectorDirection(json, r.sectors->b);
    json.endObject();
  }
  json.endObject();
  return json.text() + "\n";
}

// ---- German text ---------------------------------------------------------------------

// A figure with two decimals and a decimal comma, without a thousands point, as the counts
// beside it; "-0,00" is written "0,00".
std::string decimal(double value) {
  static const QLocale german = [] {
    QLocale locale(QLocale::German, QLocale::Germany);
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
  }();
  double rounded = std::round(value * 100) / 100;
  if (rounded == 0)
    rounded = 0;
  return german.toString(rounded, 'f', 2).toStdString();
}

std::string decimal(std::optional<double> value) { return value ? decimal(*value) : "-"; }

std::string integer(int64_t value) { return std::to_string(value); }

// Rows of cells in columns as wide as their widest cell: numbers right-aligned, the columns
// from `leftFrom` on (verdicts) left-aligned.
std::string table(const std::vector<std::vector<std::string>>& rows, size_t leftFrom = 99) {
  std::vector<size_t> widths;
  for (const auto& row : rows) {
    widths.resize(std::max(widths.size(), row.size()));
    for (size_t c = 0; c < row.size(); ++c)
      widths[c] = std::max(widths[c], CharacterCount(row[c]));
  }
  std::string out;
  for (const auto& row : rows) {
    std::string line;
    for (size_t c = 0; c < row.size(); ++c) {
      const std::string padding(widths[c] - CharacterCount(row[c]), ' ');
      const bool last = c + 1 == row.size();
      line += "  " + (c >= leftFrom ? row[c] + (last ? "" : padding) : padding + row[c]);
    }
    out += line + "\n";
  }
  return out;
}

// "[label: ]Chi² = 33,55 (36 Freiheitsgrade): unauffällig (...)", with the note on small
// expected counts when the test has one.
std::string chiSquareLine(const ChiSquareTest& t, const std::string& label = {}) {
  std::string line = "  " + (label.empty() ? "" : label + ": ");
  if (t.chi2)
    line += "Chi² = " + decimal(*t.chi2) + " (" + std::to_string(t.degreesOfFreedom) +
            " Freiheitsgrade): ";
  line += VerdictText(t.p) + "\n";
  if (t.chi2 && !t.valid)
    line += "    Hinweis: " + std::string(SmallExpectedCountNote) + "\n";
  return line;
}

// Verdicts in a table: a test with an expected count below 5 is marked with "*".
struct VerdictColumn {
  bool marked = false;
  std::string cell(std::optional<double> p, bool valid) {
    const bool mark = p && !valid;
    marked = marked || mark;
    return VerdictText(p) + (mark ? " *" : "");
  }
  std::string footnote() const {
    return marked ? "  * " + std::string(SmallExpectedCountNote) + "\n" : "";
  }
};

std::string numbersText(const NumbersTest& t) {
  std::string out = "\nNummern (Chi-Quadrat-Anpassungstest)\n";
  std::vector<std::vector<std::string>> rows{{"Nummer", "beobachtet", "erwartet", "Residuum"}};
  for (int n = 0; n < NumberCount; ++n)
    rows.push_back(
        {std::to_string(n), integer(t.observed[n]), decimal(t.expected), decimal(t.residuals[n])});
  return out + table(rows) + chiSquareLine(t.test);
}

std::string simpleChancesText(const std::array<SimpleChanceTest, 6>& tests) {
  std::vector<std::vector<std::string>> rows{{"Chance", "Anzahl", "erwartet", "z", "Urteil"}};
  VerdictColumn verdicts;
  for (const SimpleChanceTest& t : tests)
    rows.push_back({std::string(t.name), integer(t.count), decimal(t.expected), decimal(t.z),
                    verdicts.cell(t.p, t.valid)});
  return "\nEinfache Chancen (z-Test, zweiseitig)\n" + table(rows, 4) + verdicts.footnote();
}

std::string thirdChancesText(const std::array<ThirdChanceTest, 2>& tests) {
  std::string out = "\nDutzende und Kolonnen (Chi-Quadrat, Zero als vierte Gruppe)\n";
  for (const ThirdChanceTest& t : tests)
    out += chiSquareLine(t.test, std::string(t.name));
  return out;
}

std::string runsText(const std::array<RunsTest, 3>& tests) {
  std::vector<std::vector<std::string>> rows{{"Chancen", "Serien", "erwartet", "z", "Urteil"}};
  VerdictColumn verdicts;
  for (const RunsTest& t : tests)
    rows.push_back({std::string(t.name), integer(t.runs), decimal(t.expected), decimal(t.z),
                    verdicts.cell(t.p, t.valid)});
  return "\nSerien (Wald-Wolfowitz-Test, ohne Zero)\n" + table(rows, 4) + verdicts.footnote();
}

std::string throwDistancesText(const ThrowDistanceTests& t) {
  std::string out = "\nWurfweiten (Abstand im Kessel: Position des Folgecoups minus Position "
                    "des Vorcoups, modulo 37)\n";
  std::vector<std::vector<std::string>> rows{{"Weite", "alle", "A", "B"}};
  for (int d = 0; d < NumberCount; ++d)
    rows.push_back({std::to_string(d), integer(t.all.distribution[d]), integer(t.a.distribution[d]),
                    integer(t.b.distribution[d])});
  out += table(rows);
  const std::pair<const char*, const DistanceTest*> tests[] = {
      {"alle", &t.all}, {"Richtung A", &t.a}, {"Richtung B", &t.b}};
  for (auto [name, test] : tests)
    out += chiSquareLine(test->test, std::string(name) + " (" + integer(test->pairs) + " Paare)");

  out += "\nCroupier-Abschnitte (zwischen Handwechseln, ab 37 Paaren)\n";
  if (t.sections.empty())
    return out + "  keiner\n";
  std::vector<std::vector<std::string>> sections{{"erster Coup", "Paare", "Chi²", "Urteil"}};
  VerdictColumn verdicts;
  for (const SectionDistanceTest& s : t.sections)
    sections.push_back({integer(s.firstCoup), integer(s.pairs), decimal(s.test.chi2),
                        verdicts.cell(s.test.p, s.test.valid)});
  return out + table(sections, 3) + verdicts.footnote();
}

std::string sectorDirectionText(const char* direction, const SectorDirectionTest& t,
                                const SectorTransitionTests& tests, const SectorSets& sectors) {
  std::string out = std::string("\nSektorenübergänge Richtung ") + direction +
                    ": Residuum (beobachtet - erwartet) / Wurzel(erwartet)\n";
  std::vector<std::vector<std::string>> rows{{"Vor-Sektor"}};
  for (int s = 1; s <= SectorCount; ++s)
    rows[0].push_back(std::to_string(s));
  for (int s = 0; s < SectorCount; ++s) {
    std::vector<std::string> row{std::to_string(s + 1)};
    for (int to = 0; to < SectorCount; ++to)
      row.push_back(sectors[s].empty() || sectors[to].empty() ? "-" : decimal(t.residuals[s][to]));
    rows.push_back(std::move(row));
  }
  out += table(rows);
  if (t.test.chi2)
    return out + chiSquareLine(t.test);
  return out + "  kein Gesamttest: " +
         (tests.partition ? "zu wenige Übergänge oder nur ein belegter Sektor\n"
                          : "Sektoren, die sich überschneiden\n");
}

std::string textResult(const SignificanceReport& r, const std::optional<SectorSets>& sectors) {
  std::string out = "Coups: " + integer(r.coups) + "\n";
  out += numbersText(r.numbers);
  out += simpleChancesText(r.simpleChances);
  out += thirdChancesText(r.thirdChances);
  out += runsText(r.runs);
  out += throwDistancesText(r.throwDistances);
  if (r.sectors && sectors) {
    out += sectorDirectionText("A", r.sectors->a, *r.sectors, *sectors);
    out += sectorDirectionText("B", r.sectors->b, *r.sectors, *sectors);
    out += "\n" + std::string(ManyCellsNote) + "\n";
  }
  out += "\n" + std::string(ManyTestsNote) + "\n";
  return out;
}

} // namespace

int RunStatistik(int argc, char** argv) {
  const CliArgs args = ParseArgs(argc, argv, {"--sektoren", "--muster"}, {});
  auto usage = [](const std::string& what) {
    return Fail(ExitUsage, "kesselwerk-cli statistik: " + what);
  };
  if (!args.error.empty())
    return usage(args.error);
  if (args.has("--sektoren") && args.has("--muster"))
    return usage("statistik erwartet höchstens eine von --sektoren DATEI.sekt und --muster "
                 "serien|7x6|5x4");
  if (args.files.empty())
    return usage("statistik erwartet mindestens eine Permanenz-Datei");

  std::optional<SectorAssignment> assignment;
  if (const auto pattern = args.value("--muster")) {
    const std::optional<SectorPreset> preset = PresetNamed(*pattern);
    if (!preset)
      return usage("--muster erwartet serien, 7x6 oder 5x4 (angegeben: \"" + *pattern + "\")");
    assignment = BuildSectorAssignment(PresetSectorLists(*preset));
  } else if (const auto file = args.value("--sektoren")) {
    const AssignmentLoad load = ReadSectorFile(*file);
    if (!load.error.empty())
      return Fail(ExitUsage, load.error);
    assignment = load.assignment;
  }
  // As the sector window, no sector figures for numbers that stand in no sector.
  if (assignment && !assignment->IsComplete())
    return Fail(ExitRefused, std::string(IncompleteAssignmentMessage));

  Workspace workspace;
  if (const std::string error = OpenAndTransfer(workspace, args.files); !error.empty())
    return Fail(ExitUsage, error);
  const std::vector<uint8_t> rows = workspace.table().RowValues();

  std::optional<SectorSets> sectors;
  if (assignment)
    sectors = assignment->sectors;
  const SignificanceReport report =
      sectors ? AnalyseSignificance(rows, *sectors) : AnalyseSignificance(rows);
  const std::string out = args.json ? jsonResult(report) : textResult(report, sectors);
  std::fputs(out.c_str(), stdout);
  return ExitOk;
}

} // namespace kw::cli
