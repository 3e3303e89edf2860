// kesselwerk-cli system: a user's own system, a Lua script, played over permanence files
// with the money of the system test.
#include "CliArgs.h"
#include "Commands.h"
#include "GermanNumbers.h"
#include "Json.h"
#include "MainWindowTable.h"

#include "files/HandChangeMarkers.h"
#include "files/PermanenceFiles.h"
#include "files/TextFile.h"
#include "report/SystemTestFormat.h"
#include "systems/SystemRun.h"
#include "systems/SystemTexts.h"
#include "systemtest/SystemTest.h"
#include "systemtest/TestParameters.h"

#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <optional>

namespace kw::cli {
namespace {

const std::string Prefix = "kesselwerk-cli system: ";
constexpr uint64_t DefaultSeed = 1;

struct MoneyOptions {
  long long stueckgroesse = 5;
  long long startkapital = 1000;
  long long plus = 500;
  long long minus = 800;
};

// A money option within [min, max], in steps of `step`.
bool readAmount(CliArgs& args, const std::string& option, long long min, long long max,
                long long step, long long& amount) {
  if (!args.has(option))
    return true;
  const auto value = args.integer(option, min, max);
  if (!value)
    return false;
  if (*value % step != 0) {
    args.error = option + " erwartet ein Vielfaches von " + std::to_string(step) +
                 " (angegeben: \"" + *args.value(option) + "\")";
    return false;
  }
  amount = *value;
  return true;
}

bool readMoney(CliArgs& args, MoneyOptions& money) {
  return readAmount(args, "--stueckgroesse", 1, 100, 1, money.stueckgroesse) &&
         readAmount(args, "--startkapital", 500, 20000, 100, money.startkapital) &&
         readAmount(args, "--plus", 100, 20000, 100, money.plus) &&
         readAmount(args, "--minus", 500, 20000, 100, money.minus);
}

std::optional<uint64_t> readSeed(CliArgs& args) {
  if (!args.has("--seed"))
    return DefaultSeed;
  const auto seed = args.integer("--seed", 0, std::numeric_limits<long long>::max());
  if (!seed)
    return std::nullopt;
  return static_cast<uint64_t>(*seed);
}

// "--param NAME=WERT", each as a name and its value; the usage error otherwise.
std::string readParameterValues(const CliArgs& args,
                                std::vector<std::pair<std::string, ScriptParameter>>& values) {
  for (const std::string& given : args.values("--param")) {
    const size_t equals = given.find('=');
    if (equals == std::string::npos || equals == 0)
      return "--param erwartet NAME=WERT (angegeben: \"" + given + "\")";
    const std::string name = given.substr(0, equals);
    const auto value = ParseParameterValue(given.substr(equals + 1));
    if (!value)
      return "--param " + name + ": \"" + given.substr(equals + 1) + "\" ist keine Zahl";
    values.emplace_back(name, *value);
  }
  return {};
}

std::string parameterNames(const std::vector<ScriptParameter>& parameters) {
  std::string names;
  for (const ScriptParameter& p : parameters)
    names += (names.empty() ? "" : ", ") + p.name;
  return names;
}

void printParameterValue(Json& json, const ScriptParameter& p) {
  if (p.isInteger)
    json.value(static_cast<long long>(p.integer));
  else
    json.value(p.number);
}

// "--zufallsvergleich K": K replicas of the run from the run's seed.
bool readComparison(CliArgs& args, uint64_t seed, std::optional<RandomComparisonRequest>& request) {
  if (!args.has("--zufallsvergleich"))
    return true;
  const auto replicas = args.integer("--zufallsvergleich", FewestReplicas, MostReplicas);
  if (!replicas)
    return false;
  request = RandomComparisonRequest{.replicas = static_cast<int>(*replicas), .seed = seed};
  return true;
}

struct Report {
  std::string fileName;
  ScriptInfo info;
  SystemSettings settings;
  uint64_t seed = DefaultSeed;
  const FilePermanences* read = nullptr;
  const SystemRunResult* run = nullptr;
};

// Cents as euros in a JSON number with decimals (means, quantiles, the expectation).
double euros(double cents) { return cents / 100.0; }

std::string worstName(const Report& r) {
  const RiskFigures& risk = r.run->risk;
  return risk.schlechteste ? r.read->PermanenceNames[*risk.schlechteste] : std::string();
}

// The risk figures and the random comparison, keys as for the system test, money in euros.
void riskJson(Json& json, const Report& r) {
  const RiskFigures& risk = r.run->risk;
  json.key("risiko").beginObject();
  json.key("groesster_rueckgang").euros(risk.groessterRueckgang);
  json.key("laengste_verlustserie").value(static_cast<long long>(risk.laengsteVerlustserie));
  json.key("schlechteste_permanenz");
  if (risk.schlechteste) {
    json.beginObject();
    json.key("name").value(worstName(r));
    json.key("ergebnis").euros(risk.schlechtestesErgebnis);
    json.endObject();
  } else {
    json.null();
  }
  json.key("tiefster_kapitalstand").euros(risk.tiefsterKapitalstand);
  json.key("erwartung").value(euros(risk.erwartung));
  json.endObject();
  if (!r.run->comparison)
    return;
  const RandomComparison& c = *r.run->comparison;
  json.key("zufallsvergleich").beginObject();
  json.key("replikate").value(static_cast<long long>(c.replicas));
  json.key("seed").value(static_cast<long long>(c.seed));
  json.key("netto").beginObject();
  json.key("mittel").value(euros(c.nettoMittel));
  json.key("std").value(euros(c.nettoStd));
  json.key("min").euros(c.nettoMin);
  json.key("max").euros(c.nettoMax);
  json.key("quantile").beginObject();
  for (size_t q = 0; q < ComparisonQuantiles.size(); ++q)
    json.key(std::to_string(ComparisonQuantiles[q])).value(euros(c.quantile[q]));
  json.endObject().endObject();
  json.key("umsatz").beginObject().key("mittel").value(euros(c.umsatzMittel)).endObject();
  json.key("perzentil").value(c.perzentil);
  json.endObject();
}

void printJson(const Report& r) {
  const SystemMoney& money = r.settings.money;
  Json json;
  json.beginObject().key("system").value(r.info.name);
  json.key("skript").value(r.fileName);
  json.key("parameter").beginObject();
  for (const ScriptParameter& p : r.settings.parameters) {
    json.key(p.name);
    printParameterValue(json, p);
  }
  json.endObject().key("einstellungen").beginObject();
  json.key("stueckgroesse").euros(money.stueck);
  json.key("startkapital").euros(money.startkapital);
  json.key("gewinnziel").euros(money.gewinnziel);
  json.key("verlustgrenze").euros(money.verlustgrenze);
  json.key("zero_regel").value(ZeroRuleName(r.settings.zeroRule));
  json.key("seed").value(static_cast<long long>(r.seed));
  json.endObject().key("permanenzen").beginArray();
  for (size_t i = 0; i < r.run->permanences.size(); ++i) {
    const SystemPermanenceResult& p = r.run->permanences[i];
    json.beginObject();
    json.key("nr").value(static_cast<long long>(i + 1));
    json.key("name").value(r.read->PermanenceNames[i]);
    json.key("coups").value(static_cast<long long>(p.coups));
    json.key("einsaetze").value(static_cast<long long>(p.einsaetze));
    json.key("umsatz").euros(p.umsatz);
    json.key("saldo").euros(p.saldo);
    json.key("minimum").euros(p.minimum);
    json.key("maximum").euros(p.maximum);
    json.key("ende").value(SystemEndText(p.ende));
    json.key("gespielt").value(static_cast<long long>(p.gespielt));
    json.key("handwechsel").value(static_cast<long long>(p.handwechsel));
    if (r.settings.protocol) {
      json.key("protokoll").beginArray();
      for (const SystemProtocolRow& row : p.protocol) {
        json.beginArray();
        for (const std::string& cell : ProtocolRowTexts(row))
          json.value(cell);
        json.endArray();
      }
      json.endArray();
    }
    json.endObject();
  }
  const SystemTotals& totals = r.run->totals;
  json.endArray().key("summe").beginObject();
  json.key("permanenzen").value(static_cast<long long>(totals.permanenzen));
  json.key("einsaetze").value(static_cast<long long>(totals.einsaetze));
  json.key("umsatz").euros(totals.umsatz);
  json.key("netto").euros(totals.netto);
  json.endObject();
  riskJson(json, r);
  json.endObject();
  std::printf("%s\n", json.text().c_str());
}

std::string renditeText(Cents net, Cents umsatz) { return GermanRendite(Rendite(net, umsatz)); }

// An amount in cents with two decimals: "-6,49".
std::string decimalEuros(double cents) { return GermanDecimal(cents / 100.0); }

void printRiskTable(const Report& r) {
  const RiskFigures& risk = r.run->risk;
  std::printf("Größter Rückgang %s, längste Verlustserie %lld, ",
              EuroText(risk.groessterRueckgang).c_str(),
              static_cast<long long>(risk.laengsteVerlustserie));
  if (risk.schlechteste)
    std::printf("schlechteste Permanenz %s (%s), ", worstName(r).c_str(),
                EuroText(risk.schlechtestesErgebnis).c_str());
  std::printf("tiefster Kapitalstand %s, Erwartung %s\n",
              EuroText(risk.tiefsterKapitalstand).c_str(), decimalEuros(risk.erwartung).c_str());
  if (!r.run->comparison)
    return;
  const RandomComparison& c = *r.run->comparison;
  std::printf("\nZufallsvergleich: %d Replikate, Startwert %llu\n", c.replicas,
              static_cast<unsigned long long>(c.seed));
  std::printf("Netto Mittel %s, Standardabweichung %s, Minimum %s, Maximum %s\n",
              decimalEuros(c.nettoMittel).c_str(), decimalEuros(c.nettoStd).c_str(),
              EuroText(c.nettoMin).c_str(), EuroText(c.nettoMax).c_str());
  std::printf("Quantile");
  for (size_t q = 0; q < ComparisonQuantiles.size(); ++q)
    std::printf("%s %d %%: %s", q == 0 ? "" : ",", ComparisonQuantiles[q],
                decimalEuros(c.quantile[q]).c_str());
  const GermanTexts german;
  std::printf("\nUmsatz Mittel %s, Perzentil %s\n", decimalEuros(c.umsatzMittel).c_str(),
              PerzentilText(c.perzentil).toStdString().c_str());
  std::printf("%s\n", ComparisonVerdict(c.perzentil).toStdString().c_str());
}

void printTable(const Report& r) {
  const SystemMoney& money = r.settings.money;
  std::printf("Eigenes System: %s (%s)\n", r.info.name.c_str(), r.fileName.c_str());
  if (!r.settings.parameters.empty()) {
    std::string line;
    for (const ScriptParameter& p : r.settings.parameters)
      line += (line.empty() ? "" : ", ") + p.name + " " + ParameterText(p);
    std::printf("Parameter: %s\n", line.c_str());
  }
  std::printf("Stückgröße %s, Startkapital %s, Gewinnziel %s, Verlustgrenze %s, Zero-Regel %s, "
              "Seed %llu\n\n",
              EuroText(money.stueck).c_str(), EuroText(money.startkapital).c_str(),
              EuroText(money.gewinnziel).c_str(), EuroText(money.verlustgrenze).c_str(),
              std::string(ZeroRuleName(r.settings.zeroRule)).c_str(),
              static_cast<unsigned long long>(r.seed));
  std::printf("%6s %-20s %7s %9s %12s %12s %12s %12s  %s\n", "Nr.", "Permanenz", "Coups",
              "Einsätze", "Umsatz", "Saldo", "Minimum", "Maximum", "Ende");
  for (size_t i = 0; i < r.run->permanences.size(); ++i) {
    const SystemPermanenceResult& p = r.run->permanences[i];
    std::printf("%6zu %-20s %7lld %9lld %12s %12s %12s %12s  %s\n", i + 1,
                r.read->PermanenceNames[i].c_str(), static_cast<long long>(p.coups),
                static_cast<long long>(p.einsaetze), EuroText(p.umsatz).c_str(),
                EuroText(p.saldo).c_str(), EuroText(p.minimum).c_str(), EuroText(p.maximum).c_str(),
                std::string(SystemEndText(p.ende)).c_str());
  }
  const SystemTotals& totals = r.run->totals;
  std::printf("\nPermanenzen %lld, Einsätze %lld, Umsatz %s, Netto-Ergebnis %s, "
              "Umsatzrendite %s\n",
              static_cast<long long>(totals.permanenzen), static_cast<long long>(totals.einsaetze),
              EuroText(totals.umsatz).c_str(), EuroText(totals.netto).c_str(),
              renditeText(totals.netto, totals.umsatz).c_str());
  printRiskTable(r);
  if (!r.settings.protocol)
    return;
  for (size_t i = 0; i < r.run->permanences.size(); ++i) {
    std::printf("\nProtokoll %zu %s\n", i + 1, r.read->PermanenceNames[i].c_str());
    std::string heading;
    for (std::string_view h : SystemProtocolHeadings)
      heading += (heading.empty() ? "" : "\t") + std::string(h);
    std::printf("%s\n", heading.c_str());
    for (const SystemProtocolRow& row : r.run->permanences[i].protocol) {
      const SystemProtocolTexts cells = ProtocolRowTexts(row);
      std::string line = cells[0];
      for (size_t c = 1; c < cells.size(); ++c)
        line += "\t" + cells[c];
      std::printf("%s\n", line.c_str());
    }
  }
}

// What the script prints goes to standard error, each line with its permanence and coup.
void printScriptLine(const PrintLine& line, const std::vector<std::string>& names) {
  if (line.permanence == NoPermanence || line.permanence >= names.size())
    std::fprintf(stderr, "%s\n", line.text.c_str());
  else
    std::fprintf(stderr, "%s, Coup %lld: %s\n", names[line.permanence].c_str(),
                 static_cast<long long>(line.coup), line.text.c_str());
}

} // namespace

int RunSystemCommand(int argc, char** argv) {
  CliArgs args = ParseArgs(argc, argv,
                           {"--skript", "--param", "--stueckgroesse", "--startkapital", "--plus",
                            "--minus", "--seed", "--zufallsvergleich"},
                           {"--protokoll"});
  if (!args.error.empty())
    return Fail(ExitUsage, Prefix + args.error);
  MoneyOptions amounts;
  if (!readMoney(args, amounts))
    return Fail(ExitUsage, Prefix + args.error);
  const std::optional<uint64_t> seed = readSeed(args);
  if (!seed)
    return Fail(ExitUsage, Prefix + args.error);
  std::optional<RandomComparisonRequest> comparison;
  if (!readComparison(args, *seed, comparison))
    return Fail(ExitUsage, Prefix + args.error);
  std::vector<std::pair<std::string, ScriptParameter>> values;
  if (const std::string error = readParameterValues(args, values); !error.empty())
    return Fail(ExitUsage, Prefix + error);
  const auto scriptPath = args.value("--skript");
  if (!scriptPath)
    return Fail(ExitUsage, Prefix + "--skript DATEI.lua fehlt");
  if (args.files.empty())
    return Fail(ExitUsage, Prefix + "keine Datei angegeben");

  const QString path = QString::fromLocal8Bit(scriptPath->c_str());
  const FileBytes bytes = ReadFileBytes(path);
  if (!bytes.ok())
    return Fail(ExitUsage, bytes.error.toStdString());
  const SystemScript script{bytes.bytes.toStdString(), QFileInfo(path).fileName().toStdString()};

  const ScriptLoad load = LoadSystemScript(script, *seed);
  for (const PrintLine& line : load.printed)
    printScriptLine(line, {});
  if (!load.info)
    return Fail(ExitRefused, load.error);

  Report report;
  report.fileName = script.fileName;
  report.info = *load.info;
  report.seed = *seed;
  report.settings.parameters = load.info->parameters;
  if (const auto unknown = OverrideParameters(report.settings.parameters, values)) {
    const std::string known = parameterNames(load.info->parameters);
    return Fail(ExitUsage, Prefix + "das Skript hat keinen Parameter \"" + *unknown + "\"" +
                               (known.empty() ? " (es hat keine)" : " (es hat: " + known + ")"));
  }
  // The same correction as the system test: the loss limit never lies below zero.
  if (amounts.minus > amounts.startkapital) {
    Fail(ExitOk, std::string(MinusCorrectionMessage()));
    amounts.minus = amounts.startkapital;
  }
  report.settings.money = SystemMoneyFromEuros(amounts.stueckgroesse, amounts.startkapital,
                                               amounts.plus, amounts.minus);
  report.settings.zeroRule = load.info->zeroRule;
  report.settings.protocol = args.has("--protokoll");

  LoadHandChangeList();
  const FilePermanences read = ReadPermanenceFiles(ToPaths(args.files), {.threads = args.jobs});
  if (!read.ok())
    return Fail(ExitUsage, read.error.toStdString());

  const SystemRunResult run = kw::RunSystem(
      script, report.settings, read.PermanenceData, read.PermanenceNames, *seed,
      {.run = {.threads = args.jobs},
       .print = [&](const PrintLine& line) { printScriptLine(line, read.PermanenceNames); },
       .comparison = comparison});
  if (!run.ok())
    return Fail(ExitRefused, run.error);
  report.read = &read;
  report.run = &run;
  if (args.json)
    printJson(report);
  else
    printTable(report);
  return ExitOk;
}

} // namespace kw::cli
