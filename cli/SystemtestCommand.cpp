// kesselwerk-cli systemtest: the system test after the two-thirds law over permanence files,
// with the figures the system test window shows per permanence and for the run.
#include "CliArgs.h"
#include "Commands.h"
#include "GermanNumbers.h"
#include "Json.h"
#include "MainWindowTable.h"
#include "SystemtestOptions.h"

#include "files/HandChangeMarkers.h"
#include "files/PermanenceFiles.h"
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

namespace kw::cli {
namespace {

const std::string Prefix = "kesselwerk-cli systemtest: ";

struct Line {
  size_t position;
  std::string name;
  const PermanenceResult* result;
  int64_t gesamtsaldo;
};

// The name of the worst permanence of the risk figures.
std::string worstName(const SystemTestRun& run, const std::vector<std::string>& names) {
  return run.risk.schlechteste ? names[run.tested[*run.risk.schlechteste].position] : std::string();
}

void riskJson(Json& json, const SystemTestRun& run, const std::vector<std::string>& names) {
  const RiskFigures& risk = run.risk;
  json.key("risiko").beginObject();
  json.key("groesster_rueckgang").value(static_cast<long long>(risk.groessterRueckgang));
  json.key("laengste_verlustserie").value(static_cast<long long>(risk.laengsteVerlustserie));
  json.key("schlechteste_permanenz");
  if (risk.schlechteste) {
    json.beginObject();
    json.key("name").value(worstName(run, names));
    json.key("ergebnis").value(static_cast<long long>(risk.schlechtestesErgebnis));
    json.endObject();
  } else {
    json.null();
  }
  json.key("tiefster_kapitalstand").value(static_cast<long long>(risk.tiefsterKapitalstand));
  json.key("erwartung").value(risk.erwartung);
  json.endObject();
}

void comparisonJson(Json& json, const RandomComparison& c) {
  json.key("zufallsvergleich").beginObject();
  json.key("replikate").value(static_cast<long long>(c.replicas));
  json.key("seed").value(static_cast<long long>(c.seed));
  json.key("netto").beginObject();
  json.key("mittel").value(c.nettoMittel);
  json.key("std").value(c.nettoStd);
  json.key("min").value(static_cast<long long>(c.nettoMin));
  json.key("max").value(static_cast<long long>(c.nettoMax));
  json.key("quantile").beginObject();
  for (size_t q = 0; q < ComparisonQuantiles.size(); ++q)
    json.key(std::to_string(ComparisonQuantiles[q])).value(c.quantile[q]);
  json.endObject().endObject();
  json.key("umsatz").beginObject().key("mittel").value(c.umsatzMittel).endObject();
  json.key("perzentil").value(c.perzentil);
  json.endObject();
}

void printJson(const SystemTestParams& params, const std::vector<Line>& lines,
               const SystemTestRun& run, const std::vector<std::string>& names, bool protocol) {
  const SystemTestTotals& totals = run.totals;
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
  json.endObject();
  riskJson(json, run, names);
  if (run.comparison)
    comparisonJson(json, *run.comparison);
  json.endObject();
  std::printf("%s\n", json.text().c_str());
}

void printRiskTable(const SystemTestRun& run, const std::vector<std::string>& names) {
  const RiskFigures& r = run.risk;
  std::printf("Größter Rückgang %lld, längste Verlustserie %lld, ",
              static_cast<long long>(r.groessterRueckgang),
              static_cast<long long>(r.laengsteVerlustserie));
  if (r.schlechteste)
    std::printf("schlechteste Permanenz %s (%lld), ", worstName(run, names).c_str(),
                static_cast<long long>(r.schlechtestesErgebnis));
  std::printf("tiefster Kapitalstand %lld, Erwartung %s\n",
              static_cast<long long>(r.tiefsterKapitalstand), GermanDecimal(r.erwartung).c_str());
  if (!run.comparison)
    return;
  const RandomComparison& c = *run.comparison;
  std::printf("\nZufallsvergleich: %d Replikate, Startwert %llu\n", c.replicas,
              static_cast<unsigned long long>(c.seed));
  std::printf("Netto Mittel %s, Standardabweichung %s, Minimum %lld, Maximum %lld\n",
              GermanDecimal(c.nettoMittel).c_str(), GermanDecimal(c.nettoStd).c_str(),
              static_cast<long long>(c.nettoMin), static_cast<long long>(c.nettoMax));
  std::printf("Quantile");
  for (size_t q = 0; q < ComparisonQuantiles.size(); ++q)
    std::printf("%s %d %%: %s", q == 0 ? "" : ",", ComparisonQuantiles[q],
                GermanDecimal(c.quantile[q]).c_str());
  const GermanTexts german;
  std::printf("\nUmsatz Mittel %s, Perzentil %s\n", GermanDecimal(c.umsatzMittel).c_str(),
              PerzentilText(c.perzentil).toStdString().c_str());
  std::printf("%s\n", ComparisonVerdict(c.perzentil).toStdString().c_str());
}

void printTable(const SystemTestParams& params, const std::vector<Line>& lines,
                const SystemTestRun& run, const std::vector<std::string>& names, bool protocol) {
  const SystemTestTotals& totals = run.totals;
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
                GermanRendite(Rendite(o.finalCapital - params.startkapital, o.umsatz)).c_str(),
                static_cast<long long>(line.gesamtsaldo));
  }
  const int64_t net = NetResult(totals, params);
  std::printf("\nPermanenzen %lld, Satzsignale %lld, Einsätze %lld, Umsatz %lld, "
              "Netto-Ergebnis %lld, Umsatzrendite %s\n",
              static_cast<long long>(totals.tested), static_cast<long long>(totals.satzsignale),
              static_cast<long long>(totals.einsaetze), static_cast<long long>(totals.umsatz),
              static_cast<long long>(net), GermanRendite(Rendite(net, totals.umsatz)).c_str());
  std::printf("Abbruch + %lld, Abbruch - %lld, Abbruch E %lld\n",
              static_cast<long long>(totals.abbruchPlus),
              static_cast<long long>(totals.abbruchMinus), static_cast<long long>(totals.abbruchE));
  printRiskTable(run, names);
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
                                 const SystemTestRun& run, const std::vector<std::string>& names,
                                 const std::string& stakeFile) {
  const SystemTestTotals& totals = run.totals;
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
  WorkbookSheet sheet = SummaryWorkbook(values, std::move(grid));
  const auto riskTexts = RiskTexts(run.risk, QString::fromStdString(worstName(run, names)));
  std::array<std::string, 5> risk;
  for (size_t i = 0; i < risk.size(); ++i)
    risk[i] = riskTexts[i].toStdString();
  AddRiskFigures(sheet, risk);
  if (run.comparison) {
    const auto comparisonTexts = ComparisonTexts(*run.comparison);
    std::array<std::string, 13> comparison;
    for (size_t i = 0; i < comparison.size(); ++i)
      comparison[i] = comparisonTexts[i].toStdString();
    AddComparisonSheet(sheet, comparison,
                       ComparisonVerdict(run.comparison->perzentil).toStdString(), *run.comparison);
  }
  return WriteWorkbook(sheet, path);
}

} // namespace

int RunSystemtest(int argc, char** argv) {
  CliArgs args =
      ParseArgs(argc, argv,
                {"--vorlauf", "--angriffe", "--stuecke", "--staffelung", "--stueckgroesse",
                 "--startkapital", "--plus", "--minus", "--xlsx", "--zufallsvergleich", "--seed"},
                {"--protokoll"});
  if (!args.error.empty())
    return Fail(ExitUsage, Prefix + args.error);
  SystemtestOptions options;
  if (const std::string error = ReadSystemtestOptions(args, options); !error.empty())
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
                     .run = {.threads = args.jobs},
                     .comparison = options.comparison});
  std::vector<Line> lines;
  for (const TestedPermanence& tested : run.tested)
    lines.push_back({tested.position, read.PermanenceNames[tested.position], &tested.result,
                     tested.gesamtsaldoAfter});
  if (const auto workbook = args.value("--xlsx")) {
    SliderPositions shown = options.sliders;
    if (reading.track4Position)
      shown.track4 = *reading.track4Position;
    if (const std::string error = writeSummaryWorkbook(*workbook, shown, params, lines, run,
                                                       read.PermanenceNames, options.stakeFile);
        !error.empty())
      return Fail(ExitUsage, error);
  }
  if (args.json)
    printJson(params, lines, run, read.PermanenceNames, options.protocol);
  else
    printTable(params, lines, run, read.PermanenceNames, options.protocol);
  return ExitOk;
}

} // namespace kw::cli
