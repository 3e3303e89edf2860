#pragma once

#include "systems/SystemBets.h"
#include "systems/SystemScript.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kw {

// The limits every script runs under.
inline constexpr int64_t ScriptInstructionLimit = 10'000'000;  // Lua instructions per call
inline constexpr size_t ScriptMemoryLimit = size_t{256} << 20; // bytes per Lua state

// What a run says when the machine has no memory left for it (not the script's limit).
inline constexpr std::string_view SystemOutOfMemoryText =
    "Nicht genug Arbeitsspeicher für den Lauf.";

// Money settings of a run, in cents.
struct SystemMoney {
  Cents stueck = 500;           // one piece ("Stückgröße")
  Cents startkapital = 100'000; // capital at the start of every permanence
  Cents gewinnziel = 150'000;   // stop when the capital reaches it after a coup with bets
  Cents verlustgrenze = 20'000; // stop when the capital falls to it after a coup with bets
};
// From whole euros as the window's fields and the command line give them: Stückgröße,
// Startkapital and the plus and minus thresholds.
SystemMoney SystemMoneyFromEuros(int64_t stueckgroesse, int64_t startkapital, int64_t plus,
                                 int64_t minus);

// Why a permanence ended.
enum class SystemEnd : uint8_t { Permanenzende, Gewinnziel, Verlustgrenze, KapitalReichtNicht };
std::string_view SystemEndText(SystemEnd end);

// One row of a permanence's protocol: a coup or a hand change.
struct SystemProtocolRow {
  uint8_t entry = 0;  // the number 0..36, or HandChangeCode
  int64_t nr = 0;     // running number of the coup; 0 on a hand change
  std::string saetze; // the bets in words; empty without bets
  bool bet = false;   // bets were placed on this coup
  Cents einsatz = 0;
  Cents gewinn = 0; // net result of the coup's bets
  Cents kapital = 0;
  std::optional<SystemEnd> end; // on the row where play ended
};

struct SystemPermanenceResult {
  int64_t coups = 0;       // coups of the permanence, played or not
  int64_t gespielt = 0;    // coups played before it ended
  int64_t handwechsel = 0; // hand changes passed before it ended
  int64_t einsaetze = 0;   // coups with bets
  Cents umsatz = 0;        // all money bet
  Cents umsatzEinfach = 0; // the part of it bet on simple chances (zero takes only half there)
  Cents saldo = 0;         // the final capital
  Cents minimum = 0;       // lowest capital after any coup, Startkapital included
  Cents maximum = 0;       // highest capital after any coup, Startkapital included
  SystemEnd ende = SystemEnd::Permanenzende;
  std::vector<SystemProtocolRow> protocol; // only when the settings ask for it
};

// A line the script printed: in which permanence (NoPermanence while the script loads) and
// before which coup.
inline constexpr size_t NoPermanence = static_cast<size_t>(-1);
struct PrintLine {
  size_t permanence = NoPermanence;
  int64_t coup = 0;
  std::string text;
};
// A permanence keeps at most this many printed lines, then one line says how many more there
// were.
inline constexpr size_t PrintLinesPerPermanence = 100'000;

struct SystemSettings {
  SystemMoney money;
  std::vector<ScriptParameter> parameters; // what c.param holds
  ZeroRule zeroRule = ZeroRule::Halb;
  bool protocol = false;
};

// The seed of math.random at the start of the permanence at `index` of a run with `seed`:
// the same for every thread count.
uint64_t PermanenceSeed(uint64_t seed, uint64_t index);

struct ScriptLoad {
  std::optional<ScriptInfo> info; // empty when the script cannot be used
  std::string error;              // then the German message why
  std::vector<PrintLine> printed; // what the script printed while loading
};

// Loads the script once, as the run will, and reads its name, parameters and zero rule.
ScriptLoad LoadSystemScript(const SystemScript& script, uint64_t seed);

// One Lua state with the script compiled in it, for one worker thread. Every permanence
// starts from a fresh script state: the script's chunk runs again in new globals, so that
// what a script keeps between coups cannot leak into the next permanence (which would make
// results depend on which permanences a worker happened to play before).
class SystemHost {
public:
  SystemHost(const SystemScript& script, const SystemSettings& settings,
             const std::atomic<bool>* cancel = nullptr);
  ~SystemHost();
  SystemHost(const SystemHost&) = delete;
  SystemHost& operator=(const SystemHost&) = delete;

  // False when the script cannot even be compiled; errorMessage() says why.
  bool ok() const;

  enum class Status { Done, Failed, Cancelled };
  // Plays one permanence: entries 0..36 are coups, HandChangeCode a hand change, other
  // values are passed over. `index` and `name` only label printed lines and messages.
  Status play(std::span<const uint8_t> entries, size_t index, std::string_view name,
              uint64_t randomSeed, SystemPermanenceResult& result);
  const std::string& errorMessage() const;

  // The lines printed since the last call, in order.
  std::vector<PrintLine> takePrinted();
  // Called with the number of entries passed, now and then during long permanences.
  void setProgress(std::function<void(int64_t entries)> progress);

private:
  friend ScriptLoad LoadSystemScript(const SystemScript&, uint64_t);
  struct State;
  std::unique_ptr<State> state_;
};

} // namespace kw
