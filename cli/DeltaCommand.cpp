// kesselwerk-cli delta
#include "CliArgs.h"
#include "Commands.h"
#include "Json.h"
#include "tools/DeltaCalculator.h"

#include <QLocale>

#include <array>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>

namespace kw::cli {
namespace {

// A value as the window shows it, to two decimals, written with as few of them as keep
// it exact (18.0, 14.96, 14.9).
void writeTwoDecimals(Json& json, double value) {
  const long long cents = std::llround(value * 100);
  const double rounded = cents == 0 ? 0.0 : static_cast<double>(cents) / 100;
  json.value(rounded, cents % 10 == 0 ? 1 : 2);
}

// The seven panels in the window's order, each under its panel name.
std::array<std::pair<const char*, const std::string*>, 7> namedPanels(const DeltaPanelTexts& t) {
  return {{{"Panel3", &t.expected},
           {"Panel4", &t.lower1},
           {"Panel8", &t.deviation1},
           {"Panel2", &t.upper1},
           {"Panel5", &t.lower3},
           {"Panel9", &t.deviation3},
           {"Panel7", &t.upper3}}};
}

std::string jsonResult(const DeltaResult& r, const DeltaPanelTexts& texts) {
  Json json;
  json.beginObject();
  const std::pair<const char*, double> values[] = {{"erwartung", r.expected}, {"sigma", r.sigma},
                                                   {"unten1", r.lower1},      {"oben1", r.upper1},
                                                   {"unten3", r.lower3},      {"oben3", r.upper3}};
  for (auto [name, value] : values) {
    json.key(name);
    writeTwoDecimals(json, value);
  }
  json.key("texte").beginObject();
  for (auto [name, text] : namedPanels(texts))
    json.key(name).value(*text);
  json.endObject();
  json.endObject();
  return json.text();
}

std::string textResult(int chance, uint32_t coups, const DeltaPanelTexts& t) {
  const std::string_view caption = DeltaChances[static_cast<size_t>(chance)].caption;
  std::string out;
  out += "Chance:              " + std::string(caption) + "\n";
  out += "Anzahl der Coups:    " + std::to_string(coups) + "\n";
  out += "Erwartungswert:      " + t.expected + "\n";
  out += "1 - Delta - Bereich: unten " + t.lower1 + "   Abweichung " + t.deviation1 + "   oben " +
         t.upper1 + "\n";
  out += "3 - Delta - Bereich: unten " + t.lower3 + "   Abweichung " + t.deviation3 + "   oben " +
         t.upper3 + "\n";
  return out;
}

} // namespace

int RunDelta(int argc, char** argv) {
  CliArgs args = ParseArgs(argc, argv, {"--chance", "--coups"}, {});
  auto usage = [](const std::string& what) {
    return Fail(ExitUsage, "kesselwerk-cli delta: " + what);
  };
  if (!args.error.empty())
    return usage(args.error);
  if (!args.files.empty())
    return usage("delta erwartet keine Dateien");
  if (!args.has("--chance") || !args.has("--coups"))
    return usage("delta erwartet --chance INDEX (0 bis 9) und --coups N");
  const std::optional<long long> chanceOption = args.integer("--chance", 0, DeltaChanceCount - 1);
  if (!chanceOption)
    return usage(args.error);
  const std::optional<long long> coupsOption = args.integer("--coups", 0, MaxDeltaCoups);
  if (!coupsOption)
    return usage(args.error);
  const int chance = static_cast<int>(*chanceOption);
  const auto coups = static_cast<uint32_t>(*coupsOption);

  const DeltaResult result = CalculateDelta(chance, coups);
  // The panels use the user's decimal separator, as the window does.
  const DeltaPanelTexts texts =
      FormatDeltaPanels(result, QLocale::system().decimalPoint().toStdString());
  const std::string out =
      args.json ? jsonResult(result, texts) + "\n" : textResult(chance, coups, texts);
  std::fputs(out.c_str(), stdout);
  return ExitOk;
}

} // namespace kw::cli
