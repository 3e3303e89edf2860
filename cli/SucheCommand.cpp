// kesselwerk-cli suche: the parameter search of the built-in system test or a user's own
// system over permanence files, with the reality check of its best result.
#include "CliArgs.h"
#include "Commands.h"
#include "GermanNumbers.h"
#include "Json.h"
#include "MainWindowTable.h"
#include "SystemtestOptions.h"

#include "files/HandChangeMarkers.h"
#include "files/PermanenceFiles.h"
#include "files/TextFile.h"
#include "report/SystemTestFormat.h"
#include "search/ParameterSearch.h"
#include "systems/SystemTexts.h"

#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace kw::cli {
namespace {

const std::string Prefix = "kesselwerk-cli suche: ";
constexpr uint64_t DefaultScriptSeed = 1;
constexpr std::string_view BuiltInName = "Systemtest nach Zwei-Drittel-Gesetz";

// The options that only one of the two systems takes.
const std::vector<std::string> BuiltInOnly = {"--vorlauf", "--angriffe", "--stuecke",
                                              "--staffelung"};

struct Search {
  std::string system;
  SearchResult result;
};

// A failure of the command: its exit status and message.
struct Refusal {
  int status = ExitOk;
  std::string message;
};

Refusal usage(const std::string& message) { return {ExitUsage, Prefix + message}; }

// Reads the files once every option has been checked; nothing, with the refusal set, when
// one cannot be read.
using FileReader = std::function<const FilePermanences*(Refusal&)>;

std::vector<RangeBounds> readBounds(const CliArgs& args, Refusal& refusal) {
  std::vector<RangeBounds> all;
  for (const std::string& text : args.values("--bereich")) {
    RangeReading reading = ParseRangeText(text);
    if (!reading.bounds) {
      refusal = usage(reading.error);
      return {};
    }
    all.push_back(std::move(*reading.bounds));
  }
  if (all.empty())
    refusal = usage("--bereich NAME=VON..BIS fehlt");
  return all;
}

// "--param NAME=WERT", each as a name and its value.
std::vector<std::pair<std::string, ScriptParameter>> readParameterValues(const CliArgs& args,
                                                                         Refusal& refusal) {
  std::vector<std::pair<std::string, ScriptParameter>> values;
  for (const std::string& given : args.values("--param")) {
    const size_t equals = given.find('=');
    const auto value = equals == std::string::npos || equals == 0
                           ? std::nullopt
                           : ParseParameterValue(given.substr(equals + 1));
    if (!value) {
      refusal = usage("--param erwartet NAME=WERT mit einer Zahl (angegeben: \"" + given + "\")");
      return {};
    }
    values.emplace_back(given.substr(0, equals), *value);
  }
  return values;
}

std::optional<uint64_t> readSeed(CliArgs& args, uint64_t fallback) {
  if (!args.has("--seed"))
    return fallback;
  const auto seed = args.integer("--seed", 0, static_cast<long long>(LargestSeed));
  if (!seed)
    return std::nullopt;
  return static_cast<uint64_t>(*seed);
}

// The built-in system: ranges over its sliders, the others fixed as the options give them.
Refusal searchSystemTest(CliArgs& args, const std::vector<RangeBounds>& bounds,
                         const FileReader& readFiles, Search& search) {
  if (args.has("--param"))
    return usage("--param gilt nur mit --skript");
  SystemtestOptions options;
  if (std::string error = ReadSliderOptions(args, options.sliders); !error.empty())
    return usage(error);
  if (std::string error = ReadStakeOptions(args, options); !error.empty())
    return usage(error);
  if (args.has("--seed") && !args.has("--zufallsvergleich"))
    return usage("--seed gilt nur mit --zufallsvergleich");
  std::optional<RandomComparisonRequest> comparison;
  if (std::string error = ReadComparisonOptions(args, comparison); !error.empty())
    return usage(error);

  std::vector<SearchRange> ranges;
  for (const RangeBounds& b : bounds) {
    if (args.has("--" + b.name))
      return usage("--" + b.name + " und --bereich " + b.name + " schließen einander aus");
    RangeExpansion expansion = ExpandSystemTestRange(b);
    if (!expansion.range)
      return usage(expansion.error);
    ranges.push_back(std::move(*expansion.range));
  }
  if (std::string error = CheckSearchRanges(ranges); !error.empty())
    return usage(error);
  if (std::string error = CheckMinusRange(ranges, options.sliders.track6 * 100); !error.empty())
    return usage(error);
  const TestParametersReading reading = ReadSearchBase(options.sliders, options.stakeCells, ranges);
  if (!reading.params)
    return {ExitRefused, reading.errorMessage};
  if (!reading.informationMessage.empty())
    Fail(ExitOk, reading.informationMessage);
  Refusal refusal;
  const FilePermanences* read = readFiles(refusal);
  if (!read)
    return refusal;
  search.system = BuiltInName;
  search.result = SearchSystemTest(read->PermanenceData, *reading.params, ranges,
                                   {.run = {.threads = args.jobs}, .realityCheck = comparison});
  return {};
}

// A script: ranges over its parameters, the others as --param gives them.
Refusal searchScript(CliArgs& args, const std::string& scriptPath,
                     const std::vector<RangeBounds>& bounds, const FileReader& readFiles,
                     Search& search) {
  for (const std::string& option : BuiltInOnly)
    if (args.has(option))
      return usage(option + " gilt nicht mit --skript");
  SliderPositions sliders;
  if (std::string error = ReadSliderOptions(args, sliders); !error.empty())
    return usage(error);
  const std::optional<uint64_t> seed = readSeed(args, DefaultScriptSeed);
  if (!seed)
    return usage(args.error);
  std::optional<RandomComparisonRequest> comparison;
  if (std::string error = ReadComparisonOptions(args, comparison); !error.empty())
    return usage(error);
  Refusal refusal;
  const auto values = readParameterValues(args, refusal);
  if (refusal.status != ExitOk)
    return refusal;

  const QString path = QString::fromLocal8Bit(scriptPath.c_str());
  const FileBytes bytes = ReadFileBytes(path);
  if (!bytes.ok())
    return {ExitUsage, bytes.error.toStdString()};
  const SystemScript script{bytes.bytes.toStdString(), QFileInfo(path).fileName().toStdString()};
  const ScriptLoad load = LoadSystemScript(script, *seed);
  if (!load.info)
    return {ExitRefused, load.error};

  SystemSettings settings;
  settings.parameters = load.info->parameters;
  settings.zeroRule = load.info->zeroRule;
  if (const auto unknown = OverrideParameters(settings.parameters, values)) {
    std::string names;
    for (const ScriptParameter& p : load.info->parameters)
      names += (names.empty() ? "" : ", ") + p.name;
    return usage("das Skript hat keinen Parameter \"" + *unknown + "\"" +
                 (names.empty() ? " (es hat keine)" : " (es hat: " + names + ")"));
  }
  std::vector<SearchRange> ranges;
  for (const RangeBounds& b : bounds) {
    for (const auto& [name, value] : values)
      if (name == b.name)
        return usage("--param " + name + " und --bereich " + name + " schließen einander aus");
    RangeExpansion expansion = ExpandScriptRange(b, settings.parameters);
    if (!expansion.range)
      return usage(expansion.error);
    ranges.push_back(std::move(*expansion.range));
  }
  if (std::string error = CheckSearchRanges(ranges); !error.empty())
    return usage(error);
  // The same correction as the system test: the loss limit never lies below zero.
  if (sliders.track4 > sliders.track6) {
    Fail(ExitOk, std::string(MinusCorrectionMessage()));
    sliders.track4 = sliders.track6;
  }
  settings.money = SystemMoneyFromEuros(sliders.track5, sliders.track6 * 100, sliders.track3 * 100,
                                        sliders.track4 * 100);
  const FilePermanences* read = readFiles(refusal);
  if (!read)
    return refusal;
  search.system = load.info->name;
  search.result = SearchSystem(script, settings, read->PermanenceData, read->PermanenceNames, *seed,
                               ranges, {.run = {.threads = args.jobs}, .realityCheck = comparison});
  if (!search.result.error.empty())
    return {ExitRefused, search.result.error};
  return {};
}

// ---- Output ----

void money(Json& json, const Search& s, int64_t amount) {
  if (s.result.inCents)
    json.euros(amount);
  else
    json.value(static_cast<long long>(amount));
}

double moneyValue(const Search& s, double amount) {
  return s.result.inCents ? amount / 100.0 : amount;
}

void parameters(Json& json, const Search& s, const SearchCombination& c) {
  json.key("parameter").beginObject();
  for (size_t r = 0; r < c.values.size(); ++r) {
    json.key(s.result.ranges[r].name);
    if (c.values[r].isInteger)
      json.value(static_cast<long long>(c.values[r].integer));
    else
      json.value(c.values[r].number);
  }
  json.endObject();
}

std::string_view thirdStopKey(const Search& s) {
  return s.result.inCents ? "abbruch_kapital" : "abbruch_e";
}

void printJson(const Search& s) {
  const SearchResult& r = s.result;
  Json json;
  json.beginObject().key("system").value(s.system);
  json.key("kombinationen").beginArray();
  for (const SearchCombination& c : r.combinations) {
    json.beginObject();
    parameters(json, s, c);
    json.key("netto");
    money(json, s, c.netto);
    json.key("umsatz");
    money(json, s, c.umsatz);
    json.key("rendite").value(c.rendite());
    json.key("permanenzen").value(static_cast<long long>(c.permanenzen));
    json.key("abbruch_plus").value(static_cast<long long>(c.abbruchPlus));
    json.key("abbruch_minus").value(static_cast<long long>(c.abbruchMinus));
    json.key(thirdStopKey(s)).value(static_cast<long long>(c.abbruchE));
    json.endObject();
  }
  json.endArray();
  for (const auto& [key, index] :
       {std::pair{"beste", r.best}, std::pair{"schlechteste", r.worst}}) {
    json.key(key).beginObject();
    parameters(json, s, r.combinations[index]);
    json.key("netto");
    money(json, s, r.combinations[index].netto);
    json.endObject();
  }
  if (r.realityCheck) {
    const SearchRealityCheck& check = *r.realityCheck;
    json.key("zufallsvergleich").beginObject();
    json.key("replikate").value(static_cast<long long>(check.replicas));
    json.key("seed").value(static_cast<long long>(check.seed));
    json.key("beste_netto").beginObject();
    json.key("mittel").value(moneyValue(s, check.mittel));
    json.key("quantile").beginObject();
    for (size_t q = 0; q < RealityCheckQuantiles.size(); ++q)
      json.key(std::to_string(RealityCheckQuantiles[q])).value(moneyValue(s, check.quantile[q]));
    json.endObject().endObject();
    json.key("p").value(check.p);
    const GermanTexts german;
    json.key("urteil").value(SearchVerdict(check.p).toStdString());
    json.endObject();
  }
  json.endObject();
  std::printf("%s\n", json.text().c_str());
}

std::string moneyText(const Search& s, int64_t amount) {
  return s.result.inCents ? EuroText(amount) : std::to_string(amount);
}

std::string decimalText(const Search& s, double amount) {
  return GermanDecimal(moneyValue(s, amount));
}

std::string settingText(const Search& s, const SearchCombination& c) {
  std::string text;
  for (size_t r = 0; r < c.values.size(); ++r)
    text += (r == 0 ? "" : ", ") + s.result.ranges[r].name + " " + ParameterText(c.values[r]);
  return text;
}

void printTable(const Search& s) {
  const SearchResult& r = s.result;
  std::printf("Parameter-Suche: %s, %zu Kombinationen\n\n", s.system.c_str(),
              r.combinations.size());
  std::string heading;
  for (const SearchRange& range : r.ranges) {
    char cell[64];
    std::snprintf(cell, sizeof cell, "%10s ", range.name.c_str());
    heading += cell;
  }
  std::printf("%s%12s %14s %14s %12s %10s %10s %10s\n", heading.c_str(), "Permanenzen", "Netto",
              "Umsatz", "Rendite", "Abbruch +", "Abbruch -", r.inCents ? "Kapital" : "Abbruch E");
  for (const SearchCombination& c : r.combinations) {
    std::string values;
    for (const ScriptParameter& v : c.values) {
      char cell[64];
      std::snprintf(cell, sizeof cell, "%10s ", ParameterText(v).c_str());
      values += cell;
    }
    std::printf("%s%12lld %14s %14s %12s %10lld %10lld %10lld\n", values.c_str(),
                static_cast<long long>(c.permanenzen), moneyText(s, c.netto).c_str(),
                moneyText(s, c.umsatz).c_str(), GermanRendite(c.rendite()).c_str(),
                static_cast<long long>(c.abbruchPlus), static_cast<long long>(c.abbruchMinus),
                static_cast<long long>(c.abbruchE));
  }
  std::printf("\nBeste Einstellung: %s, Netto-Ergebnis %s\n",
              settingText(s, r.combinations[r.best]).c_str(),
              moneyText(s, r.combinations[r.best].netto).c_str());
  std::printf("Schlechteste Einstellung: %s, Netto-Ergebnis %s\n",
              settingText(s, r.combinations[r.worst]).c_str(),
              moneyText(s, r.combinations[r.worst].netto).c_str());
  if (!r.realityCheck)
    return;
  const SearchRealityCheck& check = *r.realityCheck;
  std::printf("\nZufallsvergleich der Suche: %d Replikate, Startwert %llu\n", check.replicas,
              static_cast<unsigned long long>(check.seed));
  std::printf("Bestes Netto-Ergebnis je Replikat: Mittel %s", decimalText(s, check.mittel).c_str());
  for (size_t q = 0; q < RealityCheckQuantiles.size(); ++q)
    std::printf(", Quantil %d %%: %s", RealityCheckQuantiles[q],
                decimalText(s, check.quantile[q]).c_str());
  const GermanTexts german;
  std::printf("\n%s\n", SearchVerdict(check.p).toStdString().c_str());
}

} // namespace

int RunSuche(int argc, char** argv) {
  CliArgs args = ParseArgs(argc, argv,
                           {"--skript", "--bereich", "--param", "--vorlauf", "--angriffe",
                            "--stuecke", "--staffelung", "--stueckgroesse", "--startkapital",
                            "--plus", "--minus", "--zufallsvergleich", "--seed"},
                           {});
  if (!args.error.empty())
    return Fail(ExitUsage, Prefix + args.error);
  Refusal refusal;
  const std::vector<RangeBounds> bounds = readBounds(args, refusal);
  if (refusal.status != ExitOk)
    return Fail(refusal.status, refusal.message);
  if (args.files.empty())
    return Fail(ExitUsage, Prefix + "keine Datei angegeben");

  FilePermanences read;
  const FileReader readFiles = [&](Refusal& failure) -> const FilePermanences* {
    if (const std::string error = LoadHandChangeListOrError(); !error.empty()) {
      failure = {ExitUsage, error};
      return nullptr;
    }
    read = ReadPermanenceFiles(ToPaths(args.files), {.threads = args.jobs});
    if (!read.ok()) {
      failure = {ExitUsage, read.error.toStdString()};
      return nullptr;
    }
    return &read;
  };
  Search search;
  const auto script = args.value("--skript");
  refusal = script ? searchScript(args, *script, bounds, readFiles, search)
                   : searchSystemTest(args, bounds, readFiles, search);
  if (refusal.status != ExitOk)
    return Fail(refusal.status, refusal.message);
  if (args.json)
    printJson(search);
  else
    printTable(search);
  return ExitOk;
}

} // namespace kw::cli
