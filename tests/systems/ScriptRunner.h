#pragma once

#include "core/RouletteTables.h"
#include "systems/SystemHost.h"
#include "systems/SystemRun.h"

#include <string>
#include <vector>

namespace kw::test {

inline constexpr uint8_t HW = HandChangeCode;

// One permanence played by a script as the run plays it: loaded, then played by a host.
struct Played {
  SystemHost::Status status = SystemHost::Status::Failed;
  SystemPermanenceResult result;
  std::string error;                // the load's or the play's message
  std::vector<std::string> printed; // the texts printed while playing
};

inline SystemSettings Settings(int stueck = 5, int start = 1000, int plus = 500, int minus = 800) {
  SystemSettings settings;
  settings.money = SystemMoneyFromEuros(stueck, start, plus, minus);
  settings.protocol = true;
  return settings;
}

inline Played Play(const std::string& source, const std::vector<uint8_t>& entries,
                   SystemSettings settings = Settings(), const std::string& name = "Tisch03") {
  Played played;
  const SystemScript script{source, "test.lua"};
  const ScriptLoad load = LoadSystemScript(script, 1);
  if (!load.info) {
    played.error = load.error;
    return played;
  }
  settings.zeroRule = load.info->zeroRule;
  if (settings.parameters.empty())
    settings.parameters = load.info->parameters;
  SystemHost host(script, settings);
  played.status = host.play(entries, 0, name, PermanenceSeed(1, 0), played.result);
  played.error = host.errorMessage();
  for (const PrintLine& line : host.takePrinted())
    played.printed.push_back(line.text);
  return played;
}

// The capital after every coup of the protocol, hand changes left out, in cents.
inline std::vector<Cents> Capitals(const SystemPermanenceResult& result) {
  std::vector<Cents> capitals;
  for (const SystemProtocolRow& row : result.protocol)
    if (row.entry != HW && row.end != SystemEnd::KapitalReichtNicht)
      capitals.push_back(row.kapital);
  return capitals;
}

} // namespace kw::test
