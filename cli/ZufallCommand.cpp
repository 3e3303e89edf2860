// kesselwerk-cli zufall
#include "CliArgs.h"
#include "Commands.h"
#include "Json.h"
#include "files/TextFile.h"
#include "tools/RandomBlockTime.h"
#include "tools/RandomGenerator.h"

#include <QDateTime>
#include <QLocale>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace kw::cli {
namespace {

// The count field of the generator window holds at most five characters.
constexpr size_t MaxCountLength = 5;
// The lines after the block's three heading lines are its numbers.
constexpr size_t HeadingLines = 3;

std::string jsonBlock(const std::vector<std::string>& lines, const std::string& file) {
  Json json;
  json.beginObject();
  if (!file.empty())
    json.key("datei").value(file);
  json.key("zeilen").beginArray();
  for (const std::string& line : lines)
    json.value(line);
  json.endArray();
  json.key("zahlen").beginArray();
  for (size_t i = HeadingLines; i < lines.size(); ++i)
    json.value(static_cast<long long>(std::stoi(lines[i])));
  json.endArray();
  json.endObject();
  return json.text() + "\n";
}

std::string textBlock(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines)
    out += line + "\n";
  return out;
}

} // namespace

int RunZufall(int argc, char** argv) {
  CliArgs args = ParseArgs(argc, argv, {"--anzahl", "--seed", "--ausgabe"}, {});
  auto usage = [](const std::string& what) {
    return Fail(ExitUsage, "kesselwerk-cli zufall: " + what);
  };
  if (!args.error.empty())
    return usage(args.error);
  if (!args.files.empty())
    return usage("zufall erwartet keine Dateien");
  const std::optional<std::string> count = args.value("--anzahl");
  if (!count)
    return usage("zufall erwartet --anzahl N");
  if (count->size() > MaxCountLength)
    return usage("--anzahl hat höchstens fünf Stellen (angegeben: \"" + *count + "\")");
  std::optional<long long> seed;
  if (args.has("--seed")) {
    seed = args.integer("--seed", 0, UINT32_MAX);
    if (!seed)
      return usage(args.error);
  }

  // A seed fixes the generator's state, so the same seed always gives the same numbers;
  // without one the generator is reseeded from the clock as in the window.
  RandomGenerator generator(static_cast<uint32_t>(seed.value_or(0)));
  const std::vector<std::string> lines = GenerateRandomBlock(
      generator, *count, RandomBlockDateTime(QDateTime::currentDateTime(), QLocale::system()),
      seed ? RandomSeeding::KeepState : RandomSeeding::FromClock);
  if (lines.empty())
    return Fail(ExitRefused, std::string(RandomCountMessage));

  const std::string file = args.value("--ausgabe").value_or("");
  if (!file.empty()) {
    const QString error = WriteTextLines(QString::fromLocal8Bit(file), lines);
    if (!error.isEmpty())
      return Fail(ExitUsage, error.toStdString());
  }
  // With --ausgabe the block goes into the file; the JSON result is written in any case.
  if (args.json)
    std::fputs(jsonBlock(lines, file).c_str(), stdout);
  else if (file.empty())
    std::fputs(textBlock(lines).c_str(), stdout);
  return ExitOk;
}

} // namespace kw::cli
