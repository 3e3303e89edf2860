#include "systems/SystemHost.h"

#include "core/RouletteTables.h"
#include "systems/LuaSandbox.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace kw {
namespace {

// Stack slots of a host's Lua state; slot 1 is the sandbox's message handler.
enum Slot : int {
  ChunkSlot = 2,
  FieldsSlot, // the table behind the context: c.coup, c.kapital, ..., c.seit, c.zahl
  ContextSlot,
  KeyCoup,
  KeyKapital,
  KeyGewinn,
  KeyHandwechsel,
  KeyParam,
  KeySetze,
  KeyName,
  KeyParameter,
  KeyZeroRegel,
  EnvSlot,   // the globals of the permanence being played
  SetzeSlot, // its setze
};
constexpr std::array<const char*, 9> SlotKeys = {"coup",        "kapital",   "gewinn",
                                                 "handwechsel", "param",     "setze",
                                                 "name",        "parameter", "zero_regel"};
constexpr int SetupResults = SetzeSlot - ChunkSlot; // what setupContext leaves on the stack

// Far below the 64-bit limit even after a coup that wins 35-fold on everything.
constexpr Cents MaxMoney = 1'000'000'000'000'000;
constexpr int64_t ProgressStep = 65'536;

constexpr std::string_view ScriptErrorText = "Fehler im Skript";
constexpr std::string_view NoStateText =
    "Die Skriptumgebung kann nicht starten (zu wenig Arbeitsspeicher).";
constexpr std::string_view NoSetzeText = "es fehlt die Funktion setze(c)";

struct Bet {
  BetKind kind = BetKind::Plein;
  int target = 0;
  int64_t stuecke = 0;
  Cents stake = 0;
};

// Everything the host keeps about the permanence being played; the context's C functions
// read it through the runtime's owner pointer.
struct HostData {
  sandbox::Runtime rt;
  SystemSettings settings;
  std::string error;
  bool ok = false;

  size_t index = NoPermanence;
  int64_t coup = 0;
  std::array<int64_t, ChanceCount> lastHit{}; // coup (1-based) of each chance's last hit
  std::vector<uint8_t> history;               // the numbers played so far
  std::vector<Bet> bets;
  // The kinds' names as Lua keeps them: Lua interns short strings, so a script's "rouge" is
  // this very string and is found by its address.
  std::array<const char*, BetKindCount> kindNames{};

  std::optional<BetKind> kindOf(const char* name) const {
    for (size_t k = 0; k < kindNames.size(); ++k)
      if (kindNames[k] == name)
        return static_cast<BetKind>(k);
    return std::nullopt;
  }

  std::vector<PrintLine> printed;
  size_t printedInPermanence = 0;
  int64_t printsLeftOut = 0;
  std::function<void(int64_t)> progress;

  // The permanence being played: set before its coups, read back after them.
  std::span<const uint8_t> entries;
  SystemPermanenceResult* result = nullptr;
  Cents capital = 0;
  bool gewinnShown = false; // c.gewinn holds a result that is not 0
  int64_t reported = 0;     // entries reported to `progress`
  std::string invalid;      // an invalid bet as its message shows it
};

HostData& hostOf(lua_State* L) { return *static_cast<HostData*>(sandbox::RuntimeOf(L).owner); }

void collectPrint(void* owner, const char* text, size_t length) noexcept {
  auto& h = *static_cast<HostData*>(owner);
  if (h.printedInPermanence >= PrintLinesPerPermanence) {
    ++h.printsLeftOut;
    return;
  }
  try {
    h.printed.push_back({h.index, h.coup + 1, std::string(text, length)});
    ++h.printedInPermanence;
  } catch (...) {
    ++h.printsLeftOut;
  }
}

// ---- The context c ----------------------------------------------------------------------

// c.seit(art, ziel): coups since the chance last came; c.coup when it has not come.
int contextSeit(lua_State* L) {
  HostData& h = hostOf(L);
  if (lua_type(L, 1) != LUA_TSTRING) {
    if (lua_type(L, 1) == LUA_TUSERDATA)
      return luaL_error(L, "c.seit wird mit Punkt aufgerufen: c.seit(\"dutzend\", 1)");
    return luaL_error(L, "c.seit: die Chance muss ein Text sein, etwa c.seit(\"dutzend\", 1)");
  }
  const char* art = lua_tolstring(L, 1, nullptr);
  const std::optional<BetKind> kind = h.kindOf(art);
  if (!kind)
    return luaL_error(L, "c.seit: unbekannte Chance \"%s\"", art);
  const BetKindRules& rules = RulesOf(*kind);
  int target = 0;
  if (rules.simple) {
    if (!lua_isnoneornil(L, 2))
      return luaL_error(L, "c.seit: \"%s\" hat kein Ziel", art);
  } else {
    int isInteger = 0;
    const lua_Integer t = lua_type(L, 2) == LUA_TNUMBER ? lua_tointegerx(L, 2, &isInteger) : 0;
    if (isInteger == 0 || !IsValidTarget(*kind, t))
      return luaL_error(L, "c.seit: ungültiges Ziel %s für \"%s\" (%d bis %d)",
                        luaL_tolstring(L, 2, nullptr), art, rules.firstTarget, rules.lastTarget);
    target = static_cast<int>(t);
  }
  lua_pushinteger(L, h.coup - h.lastHit[static_cast<size_t>(ChanceIndex(*kind, target))]);
  return 1;
}

// c.zahl(k): the k-th last number, nil when fewer coups were played.
int contextZahl(lua_State* L) {
  HostData& h = hostOf(L);
  if (lua_type(L, 1) == LUA_TUSERDATA)
    return luaL_error(L, "c.zahl wird mit Punkt aufgerufen: c.zahl(1)");
  int isInteger = 0;
  const lua_Integer k = lua_type(L, 1) == LUA_TNUMBER ? lua_tointegerx(L, 1, &isInteger) : 0;
  if (isInteger == 0 || k < 1)
    return luaL_error(L, "c.zahl: k muss eine ganze Zahl ab 1 sein");
  if (k > h.coup)
    lua_pushnil(L);
  else
    lua_pushinteger(L, h.history[static_cast<size_t>(h.coup - k)]);
  return 1;
}

int contextWrite(lua_State* L) {
  return luaL_error(L, "c ist schreibgeschützt (c.%s)", luaL_tolstring(L, 2, nullptr));
}

// Creates the context and the keys of the stack slots; runs protected, its results become
// the slots FieldsSlot..SetzeSlot.
int setupContext(lua_State* L) {
  lua_createtable(L, 0, 8);
  const int fields = lua_gettop(L);
  lua_pushcfunction(L, contextSeit);
  lua_setfield(L, fields, "seit");
  lua_pushcfunction(L, contextZahl);
  lua_setfield(L, fields, "zahl");
  for (const char* name : {"coup", "kapital", "gewinn", "handwechsel"}) {
    lua_pushinteger(L, 0);
    lua_setfield(L, fields, name);
  }
  lua_newtable(L);
  lua_setfield(L, fields, "param");

  // c is a userdata: rawset and setmetatable cannot change it, getmetatable cannot reach
  // the fields behind it.
  lua_newuserdatauv(L, 0, 0);
  lua_createtable(L, 0, 3);
  lua_pushvalue(L, fields);
  lua_setfield(L, -2, "__index");
  lua_pushcfunction(L, contextWrite);
  lua_setfield(L, -2, "__newindex");
  lua_pushboolean(L, 0);
  lua_setfield(L, -2, "__metatable");
  lua_setmetatable(L, -2);

  HostData& h = hostOf(L);
  lua_createtable(L, BetKindCount, 0);
  for (int k = 0; k < BetKindCount; ++k) {
    const std::string_view name = RulesOf(static_cast<BetKind>(k)).name;
    h.kindNames[static_cast<size_t>(k)] = lua_pushlstring(L, name.data(), name.size());
    lua_rawseti(L, -2, k + 1);
  }
  lua_setfield(L, LUA_REGISTRYINDEX, "kesselwerk.kinds"); // keeps them alive

  for (const char* key : SlotKeys)
    lua_pushstring(L, key);
  lua_pushnil(L); // EnvSlot
  lua_pushnil(L); // SetzeSlot
  return SetupResults;
}

void pushParameter(lua_State* L, const ScriptParameter& p) {
  if (p.isInteger)
    lua_pushinteger(L, p.integer);
  else
    lua_pushnumber(L, p.number);
}

void pushEuros(lua_State* L, Cents cents) {
  if (cents % 100 == 0)
    lua_pushinteger(L, cents / 100);
  else
    lua_pushnumber(L, static_cast<double>(cents) / 100.0);
}

// Starts a permanence from a fresh script state: reseeds math.random, gives the chunk new
// globals, resets the context and runs the chunk. Arguments: the chunk and the fields
// table. Returns the new globals.
int startPermanence(lua_State* L) {
  HostData& h = hostOf(L);
  sandbox::SeedRandom(L);
  sandbox::PushFreshEnvironment(L);
  const int env = lua_gettop(L);
  lua_pushvalue(L, env);
  lua_setupvalue(L, 1, 1); // a main chunk's only upvalue is its _ENV

  lua_createtable(L, 0, static_cast<int>(h.settings.parameters.size()));
  for (const ScriptParameter& p : h.settings.parameters) {
    pushParameter(L, p);
    lua_setfield(L, -2, p.name.c_str());
  }
  lua_setfield(L, 2, "param");
  lua_pushinteger(L, 0);
  lua_setfield(L, 2, "coup");
  pushEuros(L, h.settings.money.startkapital);
  lua_setfield(L, 2, "kapital");
  lua_pushinteger(L, 0);
  lua_setfield(L, 2, "gewinn");
  lua_pushinteger(L, 0);
  lua_setfield(L, 2, "handwechsel");

  lua_pushvalue(L, 1);
  lua_call(L, 0, 0);
  lua_pushvalue(L, env);
  return 1;
}

// ---- Messages ----------------------------------------------------------------------------

// Where a failure happened: a permanence and the coup about to be played, or loading.
struct Place {
  std::string_view permanence;
  int64_t coup = 0;
};

std::string permanenceLine(std::string_view permanence) {
  return permanence.empty() ? std::string() : "\rPermanenz " + std::string(permanence);
}

std::string failureMessage(const sandbox::Failure& f, const std::optional<Place>& place) {
  const std::string coup = place ? std::to_string(place->coup) : std::string();
  const std::string lineText = std::to_string(f.line);
  switch (f.kind) {
  case sandbox::Failure::Kind::TooLong: {
    std::string text = place ? "Das Skript rechnet in Coup " + coup + " zu lange (Endlosschleife?)"
                             : "Das Skript rechnet beim Laden zu lange (Endlosschleife?)";
    if (place && !place->permanence.empty())
      text += permanenceLine(place->permanence) + (f.line > 0 ? ", Zeile " + lineText : "");
    else if (f.line > 0)
      text += "\rZeile " + lineText;
    return text;
  }
  case sandbox::Failure::Kind::TooMuchMemory:
    return (place ? "Das Skript braucht in Coup " + coup
                  : std::string("Das Skript braucht beim Laden")) +
           " zu viel Speicher (mehr als 256 MB)" + (place ? permanenceLine(place->permanence) : "");
  case sandbox::Failure::Kind::Cancelled:
    return "Abgebrochen";
  case sandbox::Failure::Kind::Error:
    break;
  }
  std::string text(ScriptErrorText);
  if (f.line > 0)
    text += " Zeile " + lineText;
  if (place) {
    text += " (";
    if (!place->permanence.empty())
      text += std::string(place->permanence) + ", ";
    text += "Coup " + coup + ")";
  }
  return text + ": " + f.text;
}

std::string scriptError(std::string_view what) {
  return std::string(ScriptErrorText) + ": " + std::string(what);
}

// A value as it appears in a message about an invalid bet.
std::string valueText(lua_State* L, int index) {
  char buffer[64];
  switch (lua_type(L, index)) {
  case LUA_TNIL:
    return "nil";
  case LUA_TBOOLEAN:
    return lua_toboolean(L, index) ? "true" : "false";
  case LUA_TNUMBER:
    if (lua_isinteger(L, index)) {
      std::snprintf(buffer, sizeof buffer, "%lld", static_cast<long long>(lua_tointeger(L, index)));
    } else {
      std::snprintf(buffer, sizeof buffer, "%.14g", static_cast<double>(lua_tonumber(L, index)));
      if (std::string_view(buffer).find_first_not_of("-0123456789") == std::string_view::npos)
        std::strcat(buffer, ".0");
    }
    return buffer;
  case LUA_TSTRING: {
    size_t length = 0;
    const char* text = lua_tolstring(L, index, &length);
    constexpr size_t Shown = 40;
    return "\"" + std::string(text, std::min(length, Shown)) + (length > Shown ? "…\"" : "\"");
  }
  case LUA_TTABLE:
    return "{…}";
  default:
    return luaL_typename(L, index);
  }
}

std::string betsText(const std::vector<Bet>& bets) {
  std::string text;
  for (const Bet& bet : bets) {
    if (!text.empty())
      text += ", ";
    text += RulesOf(bet.kind).name;
    if (!RulesOf(bet.kind).simple)
      text += " " + std::to_string(bet.target);
    text += " \u00d7 " + std::to_string(bet.stuecke);
  }
  return text;
}

Cents saturatedProduct(int64_t a, int64_t b) {
  Cents product = 0;
  return __builtin_mul_overflow(a, b, &product) ? INT64_MAX : product;
}

Cents saturatedSum(Cents a, Cents b) {
  Cents sum = 0;
  return __builtin_add_overflow(a, b, &sum) ? INT64_MAX : sum;
}

// ---- The coups of a permanence --------------------------------------------------------
//
// They run inside one protected call (a Lua error jumps out of it with longjmp), so that
// each coup costs a plain call of setze. Locals of these functions never own memory while
// Lua is called; whatever allocates is done by noexcept helpers that finish first.

// The arguments of playCoups.
enum Arg : int {
  ArgSetze = 1,
  ArgContext,
  ArgFields,
  ArgCoup,
  ArgKapital,
  ArgGewinn,
  ArgHandwechsel
};

enum class CoupsEnd { Done, InvalidBet, Cancelled, NoMemory };

void setInteger(lua_State* L, int key, int64_t value) {
  lua_pushvalue(L, key);
  lua_pushinteger(L, value);
  lua_rawset(L, ArgFields); // the key exists: nothing is allocated
}

void setEuros(lua_State* L, int key, Cents value) {
  lua_pushvalue(L, key);
  pushEuros(L, value);
  lua_rawset(L, ArgFields);
}

// Shows an invalid bet up to its faulty element (the slots given), with a hint.
void describeInvalid(HostData& h, lua_State* L, std::initializer_list<int> shown,
                     std::string_view hint) noexcept {
  try {
    h.invalid.clear();
    for (int slot : shown)
      h.invalid += (h.invalid.empty() ? "" : " ") + valueText(L, slot);
    if (!hint.empty())
      h.invalid += h.invalid.empty() ? std::string(hint) : " (" + std::string(hint) + ")";
  } catch (...) {
    h.invalid = "?";
  }
}

// One bet {art, ziel, stuecke} at the top of the stack; false (and h.invalid) on a fault.
bool readBet(HostData& h, lua_State* L, Bet& bet) {
  const int table = lua_gettop(L);
  std::array<int, 5> type{}; // type[i]: the type of element i (LUA_TNIL when not read)
  for (int i = 1; i <= 3; ++i)
    type[static_cast<size_t>(i)] = lua_rawgeti(L, table, i);
  if (type[3] != LUA_TNIL) // a fourth element only matters after a third
    type[4] = lua_rawgeti(L, table, 4);
  const int e1 = table + 1, e2 = table + 2, e3 = table + 3, e4 = table + 4;
  auto fail = [&](std::initializer_list<int> shown, std::string_view hint = {}) {
    describeInvalid(h, L, shown, hint);
    lua_settop(L, table);
    return false;
  };

  const std::optional<BetKind> kind =
      type[1] == LUA_TSTRING ? h.kindOf(lua_tolstring(L, e1, nullptr)) : std::nullopt;
  if (!kind)
    return fail({e1});
  const bool simple = RulesOf(*kind).simple;
  bet.kind = *kind;
  bet.target = 0;
  int stueckeSlot = e3;
  if (simple) {
    if (type[2] != LUA_TNIL && type[3] != LUA_TNIL)
      return fail({e1, e2, e3}, "einfache Chancen haben kein Ziel");
    stueckeSlot = type[2] == LUA_TNIL ? e3 : e2;
  } else {
    int isInteger = 0;
    const lua_Integer target = type[2] == LUA_TNUMBER ? lua_tointegerx(L, e2, &isInteger) : 0;
    if (isInteger == 0 || !IsValidTarget(*kind, target))
      return fail({e1, e2});
    bet.target = static_cast<int>(target);
  }
  int isInteger = 0;
  const lua_Integer stuecke = type[static_cast<size_t>(stueckeSlot - table)] == LUA_TNUMBER
                                  ? lua_tointegerx(L, stueckeSlot, &isInteger)
                                  : 0;
  if (isInteger == 0 || stuecke < 1)
    return simple ? fail({e1, stueckeSlot}) : fail({e1, e2, e3});
  if (type[4] != LUA_TNIL)
    return fail({e1, e2, e3, e4});
  bet.stuecke = stuecke;
  bet.stake = saturatedProduct(stuecke, h.settings.money.stueck);
  lua_settop(L, table);
  return true;
}

bool appendBet(HostData& h, const Bet& bet) noexcept {
  try {
    h.bets.push_back(bet);
    return true;
  } catch (...) {
    return false;
  }
}

// What setze returned (at the top of the stack) into h.bets.
CoupsEnd readBets(HostData& h, lua_State* L) {
  h.bets.clear();
  const int list = lua_gettop(L);
  const int type = lua_type(L, list);
  if (type == LUA_TNIL)
    return CoupsEnd::Done;
  if (type != LUA_TTABLE) {
    describeInvalid(h, L, {list}, "setze gibt nil oder eine Liste von Sätzen zurück");
    return CoupsEnd::InvalidBet;
  }
  const lua_Unsigned n = lua_rawlen(L, list);
  if (n == 0) {
    lua_pushnil(L);
    if (lua_next(L, list) != 0) {
      lua_settop(L, list);
      describeInvalid(h, L, {}, "{…} (ein Satz ist eine Liste {art, ziel, stuecke})");
      return CoupsEnd::InvalidBet;
    }
    return CoupsEnd::Done;
  }
  for (lua_Unsigned i = 1; i <= n; ++i) {
    const int elementType = lua_rawgeti(L, list, static_cast<lua_Integer>(i));
    if (elementType != LUA_TTABLE) {
      describeInvalid(h, L, {lua_gettop(L)},
                      elementType == LUA_TSTRING && i == 1
                          ? "setze gibt eine Liste von Sätzen zurück, etwa { {\"rouge\", 1} }"
                          : "");
      lua_settop(L, list);
      return CoupsEnd::InvalidBet;
    }
    Bet bet;
    if (!readBet(h, L, bet)) {
      lua_settop(L, list);
      return CoupsEnd::InvalidBet;
    }
    lua_pop(L, 1);
    if (!appendBet(h, bet))
      return CoupsEnd::NoMemory;
  }
  return CoupsEnd::Done;
}

bool appendRow(HostData& h, uint8_t entry, int64_t nr, bool bet, Cents einsatz, Cents gewinn,
               std::optional<SystemEnd> end) noexcept {
  try {
    h.result->protocol.push_back({entry, nr, bet || end ? betsText(h.bets) : std::string(), bet,
                                  einsatz, gewinn, h.capital, end});
    return true;
  } catch (...) {
    return false;
  }
}

void reportProgress(HostData& h, size_t position) noexcept {
  const int64_t passed = static_cast<int64_t>(position) - h.reported;
  if (!h.progress || passed < ProgressStep)
    return;
  try {
    h.progress(passed);
  } catch (...) {
  }
  h.reported = static_cast<int64_t>(position);
}

bool cancelled(const HostData& h) {
  return h.rt.cancel != nullptr && h.rt.cancel->load(std::memory_order_relaxed);
}

// Settles the coup `entry` with the bets read; the stop it makes, if any.
std::optional<SystemEnd> settle(HostData& h, lua_State* L, uint8_t entry, Cents total) {
  SystemPermanenceResult& r = *h.result;
  const SystemMoney& money = h.settings.money;
  const bool hadBet = !h.bets.empty();
  Cents gewinn = 0;
  Cents simple = 0;
  for (const Bet& bet : h.bets) {
    gewinn += BetResult(bet.kind, bet.target, bet.stake, entry, h.settings.zeroRule);
    if (RulesOf(bet.kind).simple)
      simple += bet.stake;
  }
  h.capital += gewinn;
  h.history.push_back(entry); // reserved for every coup of the permanence
  ++h.coup;
  for (uint8_t chance : ChancesHitBy(entry))
    h.lastHit[chance] = h.coup;
  setInteger(L, ArgCoup, h.coup);
  if (hadBet) {
    ++r.einsaetze;
    r.umsatz += total;
    r.umsatzEinfach += simple;
    setEuros(L, ArgGewinn, gewinn);
    setEuros(L, ArgKapital, h.capital);
    h.gewinnShown = gewinn != 0;
  } else if (h.gewinnShown) {
    setInteger(L, ArgGewinn, 0);
    h.gewinnShown = false;
  }
  r.minimum = std::min(r.minimum, h.capital);
  r.maximum = std::max(r.maximum, h.capital);
  if (hadBet && h.capital <= money.verlustgrenze)
    return SystemEnd::Verlustgrenze;
  if (hadBet && h.capital >= money.gewinnziel)
    return SystemEnd::Gewinnziel;
  return std::nullopt;
}

CoupsEnd playEntries(HostData& h, lua_State* L) {
  SystemPermanenceResult& r = *h.result;
  const bool protocol = h.settings.protocol;
  for (size_t i = 0; i < h.entries.size(); ++i) {
    reportProgress(h, i);
    const uint8_t entry = h.entries[i];
    if (entry > 36) {
      if (entry == HandChangeCode) {
        setInteger(L, ArgHandwechsel, ++r.handwechsel);
        if (protocol && !appendRow(h, HandChangeCode, 0, false, 0, 0, std::nullopt))
          return CoupsEnd::NoMemory;
      }
      continue;
    }
    if (cancelled(h))
      return CoupsEnd::Cancelled;

    // Before the coup the script places its bets, within a fresh instruction budget.
    lua_pushvalue(L, ArgSetze);
    lua_pushvalue(L, ArgContext);
    h.rt.instructions = 0;
    h.rt.memoryRefused = false;
    lua_call(L, 1, 1);
    const CoupsEnd read = readBets(h, L);
    lua_pop(L, 1);
    if (read != CoupsEnd::Done)
      return read;

    Cents total = 0;
    for (const Bet& bet : h.bets)
      total = saturatedSum(total, bet.stake);
    if (total > h.capital) {
      r.ende = SystemEnd::KapitalReichtNicht;
      if (protocol && !appendRow(h, entry, h.coup + 1, false, total, 0, r.ende))
        return CoupsEnd::NoMemory;
      return CoupsEnd::Done;
    }
    const Cents before = h.capital;
    const std::optional<SystemEnd> stop = settle(h, L, entry, total);
    if (protocol && !appendRow(h, entry, h.coup, !h.bets.empty(), total, h.capital - before, stop))
      return CoupsEnd::NoMemory;
    if (stop) {
      r.ende = *stop;
      return CoupsEnd::Done;
    }
  }
  return CoupsEnd::Done;
}

// The protected call around the coups: setze, c, the fields and the keys of c.coup,
// c.kapital, c.gewinn and c.handwechsel as arguments; returns how the coups ended.
int playCoups(lua_State* L) {
  HostData& h = hostOf(L);
  lua_pushinteger(L, static_cast<lua_Integer>(playEntries(h, L)));
  return 1;
}

} // namespace

// ---- Money ------------------------------------------------------------------------------

SystemMoney SystemMoneyFromEuros(int64_t stueckgroesse, int64_t startkapital, int64_t plus,
                                 int64_t minus) {
  SystemMoney money;
  money.stueck = stueckgroesse * 100;
  money.startkapital = startkapital * 100;
  money.gewinnziel = (startkapital + plus) * 100;
  money.verlustgrenze = (startkapital - minus) * 100;
  return money;
}

std::string_view SystemEndText(SystemEnd end) {
  switch (end) {
  case SystemEnd::Gewinnziel:
    return "Gewinnziel erreicht";
  case SystemEnd::Verlustgrenze:
    return "Verlustgrenze erreicht";
  case SystemEnd::KapitalReichtNicht:
    return "Kapital reicht nicht";
  case SystemEnd::Permanenzende:
    break;
  }
  return "Permanenzende";
}

uint64_t PermanenceSeed(uint64_t seed, uint64_t index) {
  // SplitMix64 over the pair, so that neighbouring seeds and indices give unrelated streams.
  auto mix = [](uint64_t z) {
    z += 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  };
  return mix(mix(seed) ^ index);
}

// ---- The host ---------------------------------------------------------------------------

struct SystemHost::State : HostData {
  explicit State(const SystemSettings& s) { settings = s; }
  ~State() { sandbox::Close(rt); }
  State(const State&) = delete;
  State& operator=(const State&) = delete;

  lua_State* L() const { return rt.L; }

  bool open(const SystemScript& script) {
    rt.owner = static_cast<HostData*>(this);
    rt.print = collectPrint;
    if (!sandbox::Open(rt)) {
      error = NoStateText;
      return false;
    }
    const int status = sandbox::Compile(rt, script.source);
    if (status != LUA_OK) {
      error = failureMessage(sandbox::TakeFailure(rt, status), std::nullopt);
      return false;
    }
    lua_pushcfunction(L(), setupContext);
    if (sandbox::Call(rt, 0, SetupResults) != LUA_OK) {
      error = NoStateText;
      return false;
    }
    ok = true;
    return true;
  }

  // Fresh script state for a permanence; leaves its setze in SetzeSlot.
  bool start(const std::optional<Place>& place) {
    lua_pushcfunction(L(), startPermanence);
    lua_pushvalue(L(), ChunkSlot);
    lua_pushvalue(L(), FieldsSlot);
    const int status = sandbox::Call(rt, 2, 1);
    if (status != LUA_OK) {
      error = failureMessage(sandbox::TakeFailure(rt, status), place);
      return false;
    }
    lua_replace(L(), EnvSlot);
    lua_pushvalue(L(), KeySetze);
    const bool isFunction = lua_rawget(L(), EnvSlot) == LUA_TFUNCTION;
    lua_replace(L(), SetzeSlot);
    if (!isFunction) {
      error = scriptError(NoSetzeText);
      return false;
    }
    return true;
  }

  void beginPermanence(size_t permanence, uint64_t randomSeed) {
    index = permanence;
    coup = 0;
    lastHit.fill(0);
    history.clear();
    printedInPermanence = 0;
    printsLeftOut = 0;
    rt.seedHigh = static_cast<lua_Integer>(randomSeed);
    rt.seedLow = static_cast<lua_Integer>(permanence);
  }

  void endPrinting() {
    if (printsLeftOut == 0)
      return;
    printed.push_back(
        {index, coup + 1,
         "(" + std::to_string(printsLeftOut) + " weitere Zeilen von print ausgelassen)"});
    printsLeftOut = 0;
  }

  // Plays the coups of `entries` into `r` inside one protected call.
  SystemHost::Status playCoupsOf(std::span<const uint8_t> played, SystemPermanenceResult& r,
                                 std::string_view name) {
    entries = played;
    result = &r;
    capital = settings.money.startkapital;
    gewinnShown = false;
    reported = 0;
    r.minimum = r.maximum = capital;
    lua_pushcfunction(L(), playCoups);
    for (int slot :
         {SetzeSlot, ContextSlot, FieldsSlot, KeyCoup, KeyKapital, KeyGewinn, KeyHandwechsel})
      lua_pushvalue(L(), slot);
    const int status = sandbox::Call(rt, ArgHandwechsel, 1);
    if (status != LUA_OK) {
      const sandbox::Failure failure = sandbox::TakeFailure(rt, status);
      if (failure.kind == sandbox::Failure::Kind::Cancelled)
        return Status::Cancelled;
      error = failureMessage(failure, Place{name, coup + 1});
      return Status::Failed;
    }
    const auto end = static_cast<CoupsEnd>(lua_tointeger(L(), -1));
    lua_pop(L(), 1);
    switch (end) {
    case CoupsEnd::Done:
      break;
    case CoupsEnd::Cancelled:
      return Status::Cancelled;
    case CoupsEnd::InvalidBet:
      error = "Ungültiger Satz in Coup " + std::to_string(coup + 1) + ": " + invalid +
              permanenceLine(name);
      return Status::Failed;
    case CoupsEnd::NoMemory:
      error = SystemOutOfMemoryText;
      return Status::Failed;
    }
    r.gespielt = coup;
    r.saldo = capital;
    if (r.ende == SystemEnd::Permanenzende) {
      auto lastCoup = std::find_if(r.protocol.rbegin(), r.protocol.rend(),
                                   [](const SystemProtocolRow& row) { return row.nr > 0; });
      if (lastCoup != r.protocol.rend())
        lastCoup->end = SystemEnd::Permanenzende;
    }
    if (progress)
      progress(static_cast<int64_t>(played.size()) - reported);
    return Status::Done;
  }
};

SystemHost::SystemHost(const SystemScript& script, const SystemSettings& settings,
                       const std::atomic<bool>* cancel)
    : state_(std::make_unique<State>(settings)) {
  SystemMoney& money = state_->settings.money;
  money.gewinnziel = std::min(money.gewinnziel, MaxMoney);
  money.startkapital = std::clamp<Cents>(money.startkapital, 0, MaxMoney);
  state_->rt.cancel = cancel;
  state_->open(script);
}

SystemHost::~SystemHost() = default;

bool SystemHost::ok() const { return state_->ok; }

const std::string& SystemHost::errorMessage() const { return state_->error; }

std::vector<PrintLine> SystemHost::takePrinted() {
  std::vector<PrintLine> lines;
  lines.swap(state_->printed);
  return lines;
}

void SystemHost::setProgress(std::function<void(int64_t)> progress) {
  state_->progress = std::move(progress);
}

SystemHost::Status SystemHost::play(std::span<const uint8_t> entries, size_t index,
                                    std::string_view name, uint64_t randomSeed,
                                    SystemPermanenceResult& result) {
  State& s = *state_;
  result = SystemPermanenceResult{};
  if (!s.ok)
    return Status::Failed;
  for (uint8_t e : entries)
    result.coups += e <= 36 ? 1 : 0;
  s.beginPermanence(index, randomSeed);
  s.history.reserve(static_cast<size_t>(result.coups));
  s.rt.printing = false; // the chunk printed its lines when the script was loaded
  const bool started = s.start(Place{name, 1});
  s.rt.printing = true;
  if (!started)
    return s.rt.cancelled ? Status::Cancelled : Status::Failed;
  const Status status = s.playCoupsOf(entries, result, name);
  s.endPrinting();
  return status;
}

// ---- Loading ----------------------------------------------------------------------------

namespace {

bool isIdentifier(std::string_view name) {
  if (name.empty() || (name[0] >= '0' && name[0] <= '9'))
    return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
  });
}

// The script's `parameter` table (at the top of the stack) as parameters; an error text
// when it is not a table of names and numbers.
std::string readParameters(lua_State* L, std::vector<ScriptParameter>& parameters) {
  const int table = lua_gettop(L);
  if (lua_type(L, table) != LUA_TTABLE)
    return "parameter muss eine Tabelle sein, etwa parameter = { seit = 8 }";
  lua_pushnil(L);
  while (lua_next(L, table) != 0) {
    if (lua_type(L, -2) != LUA_TSTRING) {
      lua_settop(L, table);
      return "die Namen in parameter müssen Namen sein, etwa parameter = { seit = 8 }";
    }
    size_t length = 0;
    const char* key = lua_tolstring(L, -2, &length);
    const std::string name(key, length);
    if (!isIdentifier(name)) {
      lua_settop(L, table);
      return "\"" + name + "\" taugt nicht als Name eines Parameters (Buchstaben, Ziffern, _)";
    }
    ScriptParameter p;
    p.name = name;
    if (lua_type(L, -1) != LUA_TNUMBER) {
      lua_settop(L, table);
      return "parameter." + name + " muss eine Zahl sein";
    }
    p.isInteger = lua_isinteger(L, -1) != 0;
    if (p.isInteger)
      p.integer = lua_tointeger(L, -1);
    else
      p.number = lua_tonumber(L, -1);
    if (!p.isInteger && !std::isfinite(p.number)) {
      lua_settop(L, table);
      return "parameter." + name + " muss eine endliche Zahl sein";
    }
    parameters.push_back(std::move(p));
    lua_pop(L, 1);
  }
  return {};
}

// The declarations the chunk left in the globals: name, parameter, zero_regel, setze.
std::string readDeclarations(lua_State* L, ScriptInfo& info) {
  lua_pushvalue(L, KeyName);
  const int nameType = lua_rawget(L, EnvSlot);
  if (nameType == LUA_TSTRING) {
    size_t length = 0;
    const char* name = lua_tolstring(L, -1, &length);
    if (length > 0)
      info.name.assign(name, length);
  } else if (nameType != LUA_TNIL) {
    lua_pop(L, 1);
    return "name muss ein Text sein";
  }
  lua_pop(L, 1);

  lua_pushvalue(L, KeyParameter);
  if (lua_rawget(L, EnvSlot) != LUA_TNIL) {
    if (std::string error = readParameters(L, info.parameters); !error.empty()) {
      lua_pop(L, 1);
      return error;
    }
  }
  lua_pop(L, 1);

  lua_pushvalue(L, KeyZeroRegel);
  const int ruleType = lua_rawget(L, EnvSlot);
  std::string rule;
  if (ruleType == LUA_TSTRING) {
    size_t length = 0;
    const char* text = lua_tolstring(L, -1, &length);
    rule.assign(text, length);
  }
  lua_pop(L, 1);
  if (ruleType == LUA_TNIL || rule == "halb")
    info.zeroRule = ZeroRule::Halb;
  else if (rule == "keine")
    info.zeroRule = ZeroRule::Keine;
  else
    return "zero_regel muss \"halb\" oder \"keine\" sein";

  lua_pushvalue(L, KeySetze);
  const bool hasSetze = lua_rawget(L, EnvSlot) == LUA_TFUNCTION;
  lua_pop(L, 1);
  return hasSetze ? std::string() : std::string(NoSetzeText);
}

} // namespace

ScriptLoad LoadSystemScript(const SystemScript& script, uint64_t seed) {
  ScriptLoad load;
  SystemHost host(script, SystemSettings{});
  SystemHost::State& s = *host.state_;
  if (!s.ok) {
    load.error = s.error;
    return load;
  }
  s.beginPermanence(NoPermanence, PermanenceSeed(seed, NoPermanence));
  const bool started = s.start(std::nullopt);
  load.printed = host.takePrinted();
  for (PrintLine& line : load.printed)
    line.coup = 0;
  if (!started && s.error != scriptError(NoSetzeText)) {
    load.error = s.error;
    return load;
  }
  ScriptInfo info;
  info.name = DefaultSystemName(script.fileName);
  if (const std::string error = readDeclarations(s.L(), info); !error.empty()) {
    load.error = scriptError(error);
    return load;
  }
  SortParametersAsWritten(info.parameters, script.source);
  load.info = std::move(info);
  return load;
}

} // namespace kw
