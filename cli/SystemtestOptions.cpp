#include "SystemtestOptions.h"

#include "files/TextFile.h"
#include "systemtest/StakeProgression.h"

#include <QFileInfo>

#include <random>
#include <sstream>

namespace kw::cli {
namespace {

constexpr long long Hundred = 100;

// A seed for a comparison asked for without one; the output names it, so the run can be
// repeated.
uint64_t freshSeed() { return std::random_device{}(); }

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

} // namespace

std::string ReadSliderOptions(CliArgs& args, SliderPositions& sliders) {
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
  sliders = {*positions[0].second, *positions[1].second, *positions[2].second,
             *positions[3].second, *positions[4].second, *positions[5].second};
  return {};
}

std::string ReadStakeOptions(CliArgs& args, SystemtestOptions& options) {
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
  return {};
}

std::string ReadComparisonOptions(CliArgs& args,
                                  std::optional<RandomComparisonRequest>& comparison) {
  if (!args.has("--zufallsvergleich"))
    return {};
  const auto replicas = args.integer("--zufallsvergleich", FewestReplicas, MostReplicas);
  if (!replicas)
    return args.error;
  RandomComparisonRequest request{.replicas = static_cast<int>(*replicas), .seed = 0};
  if (args.has("--seed")) {
    const auto seed = args.integer("--seed", 0, static_cast<long long>(LargestSeed));
    if (!seed)
      return args.error;
    request.seed = static_cast<uint64_t>(*seed);
  } else {
    request.seed = freshSeed();
  }
  comparison = request;
  return {};
}

std::string ReadSystemtestOptions(CliArgs& args, SystemtestOptions& options) {
  if (std::string error = ReadSliderOptions(args, options.sliders); !error.empty())
    return error;
  if (std::string error = ReadStakeOptions(args, options); !error.empty())
    return error;
  options.protocol = args.has("--protokoll");
  if (args.has("--seed") && !args.has("--zufallsvergleich"))
    return "--seed gilt nur mit --zufallsvergleich";
  return ReadComparisonOptions(args, options.comparison);
}

} // namespace kw::cli
