#pragma once

#include "CliArgs.h"

#include "systemtest/RiskFigures.h"
#include "systemtest/StakeProgression.h"
#include "systemtest/TestParameters.h"

#include <optional>
#include <string>
#include <vector>

namespace kw::cli {

// The options of the system test as the window's sliders and stake table, shared by the
// commands that play the built-in system.
struct SystemtestOptions {
  SliderPositions sliders;
  std::vector<std::string> stakeCells = DefaultStakeCells();
  bool protocol = false;
  std::string stakeFile; // the stake file's name, as the window shows it
  std::optional<RandomComparisonRequest> comparison;
};

// --vorlauf, --angriffe, --plus, --minus, --stueckgroesse, --startkapital as slider
// positions (the defaults where not given); the usage error, if any.
std::string ReadSliderOptions(CliArgs& args, SliderPositions& sliders);

// --stuecke LISTE or --staffelung DATEI.set as the stake table's cells.
std::string ReadStakeOptions(CliArgs& args, SystemtestOptions& options);

// --zufallsvergleich K with --seed S; without --seed a fresh seed, which the output names.
std::string ReadComparisonOptions(CliArgs& args,
                                  std::optional<RandomComparisonRequest>& comparison);

// Everything the systemtest command takes.
std::string ReadSystemtestOptions(CliArgs& args, SystemtestOptions& options);

} // namespace kw::cli
