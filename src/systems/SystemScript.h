#pragma once

#include "systems/SystemBets.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kw {

// A user's system: a Lua script as its file holds it.
struct SystemScript {
  std::string source;   // UTF-8 text; a byte-order mark is left out when the script loads
  std::string fileName; // the file's name, e.g. "Martingale.lua": the system's name by default
};

// A numeric parameter of the script: an integer or a floating-point number, as Lua keeps it.
struct ScriptParameter {
  std::string name;
  bool isInteger = true;
  int64_t integer = 0;
  double number = 0.0;

  double asDouble() const { return isInteger ? static_cast<double>(integer) : number; }
};

// What a script declares: its name, its parameters with their defaults (in the order the
// script lists them) and its zero rule.
struct ScriptInfo {
  std::string name;
  std::vector<ScriptParameter> parameters;
  ZeroRule zeroRule = ZeroRule::Halb;
};

// The system's name when the script gives none: the file name without ".lua".
std::string DefaultSystemName(std::string_view fileName);

// A parameter value as a user types it: an integer ("8", "-3") or a decimal number with a
// point or a comma ("2.5", "2,5"); nothing for anything else or a value out of range.
std::optional<ScriptParameter> ParseParameterValue(std::string_view text);

// Sets parameters by name; returns the first name the script does not declare, if any.
std::optional<std::string>
OverrideParameters(std::vector<ScriptParameter>& parameters,
                   const std::vector<std::pair<std::string, ScriptParameter>>& values);

// The names in the script's table constructor `parameter = { a = 1, b = 2 }`, in the order
// written; empty when the script writes no such constructor.
std::vector<std::string> ParameterNamesInSourceOrder(std::string_view source);

// The names first in source order, the others after them in alphabetical order.
void SortParametersAsWritten(std::vector<ScriptParameter>& parameters, std::string_view source);

} // namespace kw
