// kesselwerk-cli systemtest: the system test after the two-thirds law over permanence files,
// with the figures the system test window shows per permanence and for the run.
#include "CliArgs.h"
#include "Commands.h"
#include "Json.h"
#include "MainWindowTable.h"

#include "files/HandChangeMarkers.h"
#include "files/PermanenceFiles.h"
#include "files/TextFile.h"
#include "report/SystemTestFormat.h"
#include "report/WorkbookExport.h"
#include "systemtest/StakeProgression.h"
#include "systemtest/SystemTest.h"
#include "systemtest/TestParameters.h"

#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <sstream>

namespace kw::cli {
namespace {

constexpr long long Hundred = 100;
const std::string Prefix = "kesselwerk-cli systemtest: ";

struct Options {
  SliderPositions sliders;
  std::vector<std::string> stakeCells = DefaultStakeCells();
  bool protocol = false;
  std::string stakeFile; // the stake file's name, as the window shows it
};

// A money option in steps of 100 within [min, max], as its slider position.
std::optional<int> hundredsPosition(CliArgs& args, const std::string& option, long long min,
                                    long long max, int defaultPosition) {
  if (!args.has(option))
    return defaultPosition;
  const auto amount = args.integer(option, min, max);
  if (!amount)
    return std::nullopt;
  if (*amount % Hundred != 0) {
    args.error =
        option + " erwartet ein Vielfaches von 100 (angegeben: \"" + *args.value(option) + "\")";
    return std::nullopt;
  }
  return static_cast<int>(*amount / Hundred);
}

std::optional<int> plainPosition(CliArgs& args, const std::string& option, long long min,
                                 long long max, int defaultPosition) {
  if (!args.has(option))
    return defaultPosition;
  const auto value = args.integer(option, min, max);
  if (!value)
    return std::nullopt;
  return static_cast<int>(*value);
}

std::vector<std::string> splitList(const std::string& text) {
  std::vector<std::string> cells;
  std::stringstream in(text);
  std::string part;
  while (std::getline(in, part, ','))
    cells.push_back(part);
  return cells;
}

// The options as the window's sliders and stake table; returns the usage error, if any.
std::string readOptions(CliArgs& args, Options& options) {
  const std::pair<const char*, std::optional<int>> positions[] = {
      {"--vorlauf", plainPosition(args, "--vorlauf", 2, 24, SystemTestSliders[0].defaultPosition)},
      {"--angriffe",
       plainPosition(args, "--angriffe", 1, 100, SystemTestSliders[1].defaultPosition)},
      {"--plus",
       hundredsPosition(args, "--plus", 100, 20000, SystemTestSliders[2].defaultPosition)},
      {"--minus",
       hundredsPosition(args, "--minus", 500, 20000, SystemTestSliders[3].defaultPosition)},
      {"--stueckgroesse",
       plainPosition(args, "--stueckgroesse", 1, 100, SystemTestSliders[4].defaultPosition)},
      {"--startkapital",
       hundredsPosition(args, "--startkapital", 500, 20000, SystemTestSliders[5].defaultPosition)},
  };
  for (const auto& [name, position] : positions)
    if (!position)
      return args.error;
  options.sliders = {*positions[0].second, *positions[1].second, *positions[2].second,
                     *positions[3].second, *positions[4].second, *positions[5].second};

  if (args.has("--stuecke") && args.has("--staffelung"))
    return "--stuecke und --staffelung schließen einander aus";
  if (const auto list = args.value("--stuecke"))
    options.stakeCells = StakeCellsFromLines(splitList(*list));
  if (const auto file = args.value("--staffelung")) {
    const FileBytes bytes = ReadFileBytes(QString::fromLocal8Bit(file->c_str()));
    if (!bytes.ok())
      return bytes.error.toStdString();
    options.stakeCells = StakeCellsFromLines(SplitStakeFileText(DecodeText(bytes.bytes).text));
    options.stakeFile = QFileInfo(QString::fromLocal8Bit(file->c_str())).fileName().toStdString();
  }
  options.protocol = args.has("--protokoll");
  return {};
}

struct Line {
  size_t position;
  std::string name;
  const PermanenceResult* result;
  int64_t gesamtsaldo;
};

void printJson(const SystemTestParams& params, const std::vector<Line>& lines,
               const SystemTestTotals& totals, bool protocol) {
  Json json;
  json.beginObject().key("parameter").beginObject();
  json.key("vorlauf").value(static_cast<long long>(params.vorlauf));
  json.key("angriffe").value(static_cast<long long>(params.angriffe));
  json.key("stuecke").beginArray();
  for (int64_t stake : params.stakes)
    json.value(static_cast<long long>(stake / params.stueckgroesse));
  json.endArray();
  json.key("stueckgroesse").value(static_cast<long long>(params.stueckgroesse));
  json.key("startkapital").value(static_cast<long long>(params.startkapital));
  json.key("gewinnziel").value(static_cast<long long>(params.gewinnziel));
  json.key("verlustgrenze").value(static_cast<long long>(params.verlustgrenze));
  json.endObject().key("permanenzen").beginArray();
  for (const Line& line : lines) {
    const PermanenceOutcome& o = line.result->outcome;
    json.beginObject();
    json.key("nr").value(static_cast<long long>(line.position + 1));
    json.key("name").value(line.name);
    json.key("minimum").value(static_cast<long long>(o.minimum));
    json.key("maximum").value(static_cast<long long>(o.maximum));
    json.key("umsatz").value(static_cast<long long>(o.umsatz));
    json.key("saldo").value(static_cast<long long>(o.finalCapital));
    json.key("gesamtsaldo").value(static_cast<long long>(line.gesamtsaldo));
    json.key("einsaetze").value(static_cast<long long>(o.einsaetze));
    json.key("satzsignale").value(static_cast<long long>(o.satzsignale));
    if (protocol) {
      json.key("protokoll").beginArray();
      for (const ProtocolRow& row : line.result->protocol) {
        json.beginArray();
        for (const std::string& cell : row)
          json.value(cell);
        json.endArray();
      }
      json.endArray();
    }
    json.endObject();
  }
  json.endArray().key("summe").beginObject();
  json.key("permanenzen").value(static_cast<long long>(totals.tested));
  json.key("satzsignale").value(static_cast<long long>(totals.satzsignale));
  json.key("einsaetze").value(static_cast<long long>(totals.einsaetze));
  json.key("umsatz").value(static_cast<long long>(totals.umsatz));
  json.key("gesamtsaldo").value(static_cast<long long>(totals.gesamtsaldo));
  json.key("netto").value(static_cast<long long>(NetResult(totals, params)));
  json.key("abbruch_minus").value(static_cast<long long>(totals.abbruchMinus));
  json.key("abbruch_plus").value(static_cast<long long>(totals.abbruchPlus));
  json.key("abbruch_e").value(static_cast<long long>(totals.abbruchE));
  json.endObject().endObject();
  std::printf("%s\n", json.text().c_str());
}

std::string renditeText(std::optional<double> rendite) {
  if (!rendite)
    return std::string(NoRenditeText);
  char text[64];
  std::snprintf(text, sizeof text, "%.2f %%", *rendite);
  return text;
}

void printTable(const SystemTestParams& params, const std::vector<Line>& lines,
                const SystemTestTotals& totals, bool protocol) {
  std::printf("Systemtest nach 2/3-Gesetz\n");
  std::printf("Vorlaufcoups %d, Angriffe %d, Stückgröße %d, Startkapital %lld, Gewinnziel %lld, "
              "Verlustgrenze %lld\n\n",
              params.vorlauf, params.angriffe, params.stueckgroesse,
              static_cast<long long>(params.startkapital),
              static_cast<long long>(params.gewinnziel),
              static_cast<long long>(params.verlustgrenze));
  std::printf("%6s %-20s %10s %10s %10s %10s %12s %12s\n", "Nr.", "Permanenz", "Minimum", "Maximum",
              "Umsatz", "Saldo", "Rendite", "Gesamtsaldo");
  for (const Line& line : lines) {
    const PermanenceOutcome& o = line.result->outcome;
    std::printf("%6zu %-20s %10lld %10lld %10lld %10lld %12s %12lld\n", line.position + 1,
                line.name.c_str(), static_cast<long long>(o.minimum),
                static_cast<long long>(o.maximum), static_cast<long long>(o.umsatz),
                static_cast<long long>(o.finalCapital),
                renditeText(Rendite(o.finalCapital - params.startkapital, o.umsatz)).c_str(),
                static_cast<long long>(line.gesamtsaldo));
  }
  const int64_t net = NetResult(totals, params);
  std::printf("\nPermanenzen %lld, Satzsignale %lld, Einsätze %lld, Umsatz %lld, "
              "Netto-Ergebnis %lld, Umsatzrendite %s\n",
              static_cast<long long>(totals.tested), static_cast<long long>(totals.satzsignale),
              static_cast<long long>(totals.einsaetze), static_cast<long long>(totals.umsatz),
              static_cast<long long>(net), renditeText(Rendite(net, totals.umsatz)).c_str());
  std::printf("Abbruch + %lld, Abbruch - %lld, Abbruch E %lld\n",
              static_cast<long long>(totals.abbruchPlus),
              static_cast<long long>(totals.abbruchMinus), static_cast<long long>(totals.abbruchE));
  if (!protocol)
    return;
  for (const Line& line : lines) {
    std::printf("\nProtokoll %zu %s\n", line.position + 1, line.name.c_str());
    for (const ProtocolRow& row : line.result->protocol)
      std::printf("%s\t%s\t%s\t%s\t%s\n", row[0].c_str(), row[1].c_str(), row[2].c_str(),
                  row[3].c_str(), row[4].c_str());
  }
}

// The summary workbook exactly as the window exports it: the total fields, the slider
// panels and the stake file down column A, the summary grid (at least its 200 rows) from C1.
std::string writeSummaryWorkbook(const std::string& path, const SliderPositions& sliders,
                                 const SystemTestParams& params, const std::vector<Line>& lines,
                                 const SystemTestTotals& totals, const std::string& stakeFile) {
  std::array<std::string, 16> values;
  const auto totalTexts = TotalsTexts(totals, params);
  const auto panelTexts = ParameterPanelTexts(sliders);
  for (size_t i = 0; i < totalTexts.size(); ++i)
    values[i] = totalTexts[i].toStdString();
  for (size_t i = 0; i < panelTexts.size(); ++i)
    values[9 + i] = panelTexts[i].toStdString();
  values[15] = stakeFile;

  std::vector<std::vector<std::string>> grid;
  std::vector<std::string> heading(SummaryGridHeadings.begin(), SummaryGridHeadings.end());
  grid.push_back(heading);
  size_t rows = SummaryGridDataRows;
  if (!lines.empty())
    rows = std::max(rows, lines.back().position + 1);
  grid.resize(rows + 1, std::vector<std::string>(heading.size()));
  for (const Line& line : lines) {
    const auto texts = SummaryRowTexts(line.position, QString::fromStdString(line.name),
                                       line.result->outcome, params.startkapital, line.gesamtsaldo);
    for (size_t c = 0; c < texts.size(); ++c)
      grid[line.position + 1][c] = texts[c].toStdString();
  }
  return WriteWorkbook(SummaryWorkbook(values, std::move(grid)), path);
}

} // namespace

int RunSystemtest(int argc, char** argv) {
  CliArgs args = ParseArgs(argc, argv,
                           {"--vorlauf", "--angriffe", "--stuecke", "--staffelung",
                            "--stueckgroesse", "--startkapital", "--plus", "--minus", "--xlsx"},
                           {"--protokoll"});
  if (!args.error.empty())
    return Fail(ExitUsage, Prefix + args.error);
  Options options;
  if (const std::string error = readOptions(args, options); !error.empty())
    return Fail(ExitUsage, Prefix + error);
  if (args.files.empty())
    return Fail(ExitUsage, Prefix + "keine Datei angegeben");

  // The same checks and the same minus correction as the window's run.
  const TestParametersReading reading = ReadTestParameters(options.sliders, options.stakeCells);
  if (!reading.params)
    return Fail(ExitRefused, reading.errorMessage);
  if (!reading.informationMessage.empty())
    Fail(ExitOk, reading.informationMessage);
  const SystemTestParams& params = *reading.params;

  if (const std::string error = LoadHandChangeListOrError(); !error.empty())
    return Fail(ExitUsage, error);
  const FilePermanences read = ReadPermanenceFiles(ToPaths(args.files), {.threads = args.jobs});
  if (!read.ok())
    return Fail(ExitUsage, read.error.toStdString());

  const SystemTestRun run =
      RunSystemTest(read.PermanenceData, params,
                    {.protocol = options.protocol ? ProtocolMode::Write : ProtocolMode::Skip,
                     .run = {.threads = args.jobs}});
  std::vector<Line> lines;
  for (const TestedPermanence& tested : run.tested)
    lines.push_back({tested.position, read.PermanenceNames[tested.position], &tested.result,
                     tested.gesamtsaldoAfter});
  const SystemTestTotals& totals = run.totals;
  if (const auto workbook = args.value("--xlsx")) {
    SliderPositions shown = options.sliders;
    if (reading.track4Position)
      shown.track4 = *reading.track4Position;
    if (const std::string error =
            writeSummaryWorkbook(*workbook, shown, params, lines, totals, options.stakeFile);
        !error.empty())
      return Fail(ExitUsage, error);
  }
  if (args.json)
    printJson(params, lines, totals, options.protocol);
  else
    printTable(params, lines, totals, options.protocol);
  return ExitOk;
}

} // namespace kw::cli
