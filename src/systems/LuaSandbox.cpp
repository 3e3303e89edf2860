#include "systems/LuaSandbox.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <utility>

namespace kw::sandbox {
namespace {

// The chunk name: Lua's messages then begin with "Skript:<line>:".
constexpr const char* ChunkName = "=Skript";
constexpr std::string_view MessagePrefix = "Skript:";
constexpr const char* RandomSeedKey = "kesselwerk.randomseed";
constexpr const char* NextKey = "kesselwerk.next";

// ---- Memory ----------------------------------------------------------------------------

void* limitedAlloc(void* ud, void* block, size_t oldSize, size_t newSize) {
  auto* rt = static_cast<Runtime*>(ud);
  const size_t old = block != nullptr ? oldSize : 0; // without a block, oldSize names a type
  if (newSize == 0) {
    std::free(block);
    rt->memoryUsed -= old;
    return nullptr;
  }
  if (newSize > old && newSize - old > MemoryLimit - rt->memoryUsed) {
    rt->memoryRefused = true;
    return nullptr;
  }
  void* moved = std::realloc(block, newSize);
  if (moved == nullptr) {
    if (newSize <= old)
      return block; // Lua relies on shrinking never failing
    rt->memoryRefused = true;
    return nullptr;
  }
  rt->memoryUsed = rt->memoryUsed - old + newSize;
  return moved;
}

void ignoreWarning(void*, const char*, int) {}

// ---- Instruction budget and cancel -------------------------------------------------------

// Every HookInterval instructions: once the budget is spent or the run is cancelled, every
// further instruction raises an error, so a script cannot catch it with pcall and go on.
void countHook(lua_State* L, lua_Debug* ar) {
  Runtime& rt = RuntimeOf(L);
  rt.instructions += HookInterval;
  if (!rt.limitHit && !rt.cancelled) {
    if (rt.cancel != nullptr && rt.cancel->load(std::memory_order_relaxed)) {
      rt.cancelled = true;
    } else if (rt.instructions >= InstructionLimit) {
      rt.limitHit = true;
      if (lua_getinfo(L, "l", ar) != 0)
        rt.loopLine = ar->currentline;
    } else {
      return;
    }
  }
  lua_sethook(L, countHook, LUA_MASKCOUNT, 1);
  lua_pushlightuserdata(L, &rt);
  lua_error(L);
}

// Remembers the innermost script line of an error for messages that carry no position.
int messageHandler(lua_State* L) {
  Runtime& rt = RuntimeOf(L);
  rt.errorLine = 0;
  lua_Debug ar;
  for (int level = 1; lua_getstack(L, level, &ar) != 0; ++level) {
    if (lua_getinfo(L, "l", &ar) != 0 && ar.currentline > 0) {
      rt.errorLine = ar.currentline;
      break;
    }
  }
  return 1;
}

// ---- The sandboxed library -----------------------------------------------------------

// print: the arguments as Lua's print writes them, to the host instead of standard output.
int sandboxPrint(lua_State* L) {
  Runtime& rt = RuntimeOf(L);
  if (!rt.printing || rt.print == nullptr)
    return 0;
  const int n = lua_gettop(L);
  luaL_Buffer line;
  luaL_buffinit(L, &line);
  for (int i = 1; i <= n; ++i) {
    if (i > 1)
      luaL_addchar(&line, '\t');
    luaL_tolstring(L, i, nullptr);
    luaL_addvalue(&line);
  }
  luaL_pushresult(&line);
  size_t length = 0;
  const char* text = lua_tolstring(L, -1, &length);
  rt.print(rt.owner, text, length);
  return 0;
}

// collectgarbage: only what cannot change how the collector runs, because the moment of a
// collection must not influence a script's results.
int limitedCollectgarbage(lua_State* L) {
  const char* option = luaL_optstring(L, 1, "collect");
  if (std::strcmp(option, "count") == 0) {
    lua_pushnumber(L, lua_gc(L, LUA_GCCOUNT) + lua_gc(L, LUA_GCCOUNTB) / 1024.0);
    return 1;
  }
  if (std::strcmp(option, "collect") == 0) {
    lua_gc(L, LUA_GCCOLLECT);
    lua_pushinteger(L, 0);
    return 1;
  }
  return luaL_error(L,
                    "collectgarbage(\"%s\") ist in Systemen nicht erlaubt, nur \"collect\" "
                    "und \"count\"",
                    option);
}

// setmetatable without finalizers and weak tables: both act when the collector runs, which
// differs from one worker thread to another.
int guardedSetmetatable(lua_State* L) {
  luaL_checktype(L, 1, LUA_TTABLE);
  if (lua_type(L, 2) == LUA_TTABLE) {
    for (const char* field : {"__gc", "__mode"}) {
      lua_pushstring(L, field);
      const bool present = lua_rawget(L, 2) != LUA_TNIL;
      lua_pop(L, 1);
      if (present)
        return luaL_error(L, "setmetatable: %s ist in Systemen nicht erlaubt", field);
    }
  }
  const int n = lua_gettop(L);
  lua_pushvalue(L, lua_upvalueindex(1));
  lua_insert(L, 1);
  lua_call(L, n, 1);
  return 1;
}

// math.randomseed(): without arguments it starts over from the run's seed instead of the
// clock, so that a run repeats exactly.
int seededRandomseed(lua_State* L) {
  Runtime& rt = RuntimeOf(L);
  const int n = lua_gettop(L);
  lua_pushvalue(L, lua_upvalueindex(1));
  if (n == 0) {
    lua_pushinteger(L, rt.seedHigh);
    lua_pushinteger(L, rt.seedLow);
    lua_call(L, 2, LUA_MULTRET);
  } else {
    lua_insert(L, 1);
    lua_call(L, n, LUA_MULTRET);
  }
  return lua_gettop(L);
}

// The iterator of a sorted traversal: upvalues are the table, the sorted keys and the
// position reached.
int sortedNext(lua_State* L) {
  lua_Integer position = lua_tointeger(L, lua_upvalueindex(3));
  for (;;) {
    ++position;
    if (lua_rawgeti(L, lua_upvalueindex(2), position) == LUA_TNIL)
      return 1;
    lua_pushvalue(L, -1);
    if (lua_rawget(L, lua_upvalueindex(1)) != LUA_TNIL) {
      lua_pushinteger(L, position);
      lua_replace(L, lua_upvalueindex(3));
      return 2;
    }
    lua_pop(L, 2); // a key removed during the traversal
  }
}

int keyRank(int type) {
  switch (type) {
  case LUA_TNUMBER:
    return 0;
  case LUA_TSTRING:
    return 1;
  case LUA_TBOOLEAN:
    return 2;
  default:
    return 3;
  }
}

bool sortKeyLess(const SortKey& a, const SortKey& b) {
  if (a.rank != b.rank)
    return a.rank < b.rank;
  if (a.rank == 0 && a.number != b.number)
    return a.number < b.number;
  if (a.rank == 1) {
    const int c = std::memcmp(a.text, b.text, std::min(a.length, b.length));
    if (c != 0)
      return c < 0;
    if (a.length != b.length)
      return a.length < b.length;
  }
  if (a.rank == 2 && a.number != b.number)
    return a.number < b.number;
  return a.position < b.position;
}

void sortKeys(Runtime& rt) noexcept {
  std::sort(rt.sortKeys.begin(), rt.sortKeys.end(), sortKeyLess);
}

bool reserveSortKeys(Runtime& rt, size_t count) noexcept {
  try {
    rt.sortKeys.clear();
    rt.sortKeys.reserve(count);
    return true;
  } catch (...) {
    return false;
  }
}

// Whether lua_next may give the keys of the table at index 1 in an order that differs
// between Lua states: strings and objects are placed by hashes that each state seeds
// afresh; numbers and booleans are not.
int countKeys(lua_State* L, bool& ordered) {
  int count = 0;
  ordered = true;
  lua_pushnil(L);
  while (lua_next(L, 1) != 0) {
    lua_pop(L, 1);
    const int type = lua_type(L, -1);
    if (type != LUA_TNUMBER && type != LUA_TBOOLEAN)
      ordered = false;
    ++count;
  }
  return count;
}

// pairs that visits the keys of a table in the same order in every Lua state: numbers
// ascending, then strings in byte order, then booleans, then other keys as found.
int pairsOfTable(lua_State* L) {
  lua_settop(L, 1);
  bool ordered = true;
  const int count = countKeys(L, ordered);
  if (ordered) {
    lua_getfield(L, LUA_REGISTRYINDEX, NextKey);
    lua_pushvalue(L, 1);
    lua_pushnil(L);
    return 3;
  }
  Runtime& rt = RuntimeOf(L);
  lua_createtable(L, count, 0); // 2: the keys as lua_next gives them
  int position = 0;
  lua_pushnil(L);
  while (lua_next(L, 1) != 0) {
    lua_pop(L, 1);
    lua_pushvalue(L, -1);
    lua_rawseti(L, 2, ++position);
  }
  if (!reserveSortKeys(rt, static_cast<size_t>(count)))
    return luaL_error(L, "nicht genug Speicher");
  for (int i = 1; i <= count; ++i) {
    const int type = lua_rawgeti(L, 2, i);
    SortKey key;
    key.rank = keyRank(type);
    key.position = i;
    if (type == LUA_TNUMBER)
      key.number = lua_tonumber(L, -1);
    else if (type == LUA_TBOOLEAN)
      key.number = lua_toboolean(L, -1);
    else if (type == LUA_TSTRING)
      key.text = lua_tolstring(L, -1, &key.length); // kept alive by the table at index 2
    lua_pop(L, 1);
    rt.sortKeys.push_back(key); // reserved above: cannot allocate
  }
  sortKeys(rt);
  lua_createtable(L, count, 0); // 3: the keys in their sorted order
  for (int i = 0; i < count; ++i) {
    lua_rawgeti(L, 2, rt.sortKeys[static_cast<size_t>(i)].position);
    lua_rawseti(L, 3, i + 1);
  }
  lua_pushvalue(L, 1);
  lua_pushvalue(L, 3);
  lua_pushinteger(L, 0);
  lua_pushcclosure(L, sortedNext, 3);
  lua_pushvalue(L, 1);
  lua_pushnil(L);
  return 3;
}

int deterministicPairs(lua_State* L) {
  if (luaL_getmetafield(L, 1, "__pairs") != LUA_TNIL) {
    lua_pushvalue(L, 1);
    lua_call(L, 1, 3);
    return 3;
  }
  luaL_checktype(L, 1, LUA_TTABLE);
  return pairsOfTable(L);
}

// ---- Read-only libraries ------------------------------------------------------------------
//
// The library tables (math, string, ...) are shared by every permanence a Lua state plays.
// Scripts see them through read-only proxies, so that nothing stored in them can carry over
// from one permanence into another; the proxies' metatables carry a mark that rawset knows.

int marker = 0; // its address marks the metatables of the library proxies

bool isLibraryProxy(lua_State* L, int index) {
  if (lua_getmetatable(L, index) == 0)
    return false;
  lua_pushlightuserdata(L, &marker);
  const bool marked = lua_rawget(L, -2) != LUA_TNIL;
  lua_pop(L, 2);
  return marked;
}

// __newindex of a library proxy; upvalue: the library's name.
int writeLibrary(lua_State* L) {
  return luaL_error(L, "%s ist schreibgeschützt (%s.%s)", lua_tostring(L, lua_upvalueindex(1)),
                    lua_tostring(L, lua_upvalueindex(1)), luaL_tolstring(L, 2, nullptr));
}

// __pairs of a library proxy; upvalue: the library.
int pairsOfLibrary(lua_State* L) {
  lua_settop(L, 0);
  lua_pushvalue(L, lua_upvalueindex(1));
  return pairsOfTable(L);
}

// rawset that leaves the library proxies alone.
int guardedRawset(lua_State* L) {
  luaL_checktype(L, 1, LUA_TTABLE);
  luaL_checkany(L, 2);
  luaL_checkany(L, 3);
  if (isLibraryProxy(L, 1))
    return luaL_error(L, "rawset: die Bibliotheken sind schreibgeschützt");
  lua_settop(L, 3);
  lua_rawset(L, 1);
  return 1;
}

// Replaces the library g[name] by its read-only proxy.
void protectLibrary(lua_State* L, int g, const char* name) {
  lua_getfield(L, g, name);
  const int library = lua_gettop(L);
  lua_newtable(L); // the proxy
  lua_createtable(L, 0, 5);
  lua_pushvalue(L, library);
  lua_setfield(L, -2, "__index");
  lua_pushstring(L, name);
  lua_pushcclosure(L, writeLibrary, 1);
  lua_setfield(L, -2, "__newindex");
  lua_pushvalue(L, library);
  lua_pushcclosure(L, pairsOfLibrary, 1);
  lua_setfield(L, -2, "__pairs");
  lua_pushboolean(L, 0);
  lua_setfield(L, -2, "__metatable");
  lua_pushlightuserdata(L, &marker);
  lua_pushboolean(L, 1);
  lua_rawset(L, -3);
  lua_setmetatable(L, -2);
  lua_setfield(L, g, name);
  lua_pop(L, 1);
}

void setFunction(lua_State* L, int table, const char* name, lua_CFunction f, int upvalues) {
  lua_pushcclosure(L, f, upvalues);
  lua_setfield(L, table, name);
}

void removeFields(lua_State* L, int table, std::initializer_list<const char*> names) {
  for (const char* name : names) {
    lua_pushnil(L);
    lua_setfield(L, table, name);
  }
}

// Builds the library every script sees; runs inside a protected call.
int buildSandbox(lua_State* L) {
  const std::pair<const char*, lua_CFunction> libraries[] = {
      {LUA_GNAME, luaopen_base},        {LUA_TABLIBNAME, luaopen_table},
      {LUA_STRLIBNAME, luaopen_string}, {LUA_MATHLIBNAME, luaopen_math},
      {LUA_UTF8LIBNAME, luaopen_utf8},  {LUA_COLIBNAME, luaopen_coroutine},
  };
  for (const auto& [name, open] : libraries) {
    luaL_requiref(L, name, open, 1);
    lua_pop(L, 1);
  }
  lua_pushglobaltable(L);
  const int g = lua_gettop(L);
  // No way to other code or files; no output except through print; _G is set per
  // environment.
  removeFields(L, g, {"dofile", "loadfile", "load", "require", "warn", "_G"});
  setFunction(L, g, "print", sandboxPrint, 0);
  setFunction(L, g, "collectgarbage", limitedCollectgarbage, 0);
  lua_getfield(L, g, "setmetatable");
  setFunction(L, g, "setmetatable", guardedSetmetatable, 1);
  lua_getfield(L, g, "next");
  lua_setfield(L, LUA_REGISTRYINDEX, NextKey);
  setFunction(L, g, "pairs", deterministicPairs, 0);
  setFunction(L, g, "rawset", guardedRawset, 0);

  // string.dump would hand out bytecode; the pattern functions can backtrack for hours
  // inside C, where neither the instruction budget nor cancel reaches them. The string
  // table also serves the methods of strings ("abc"):upper(), so they are removed there.
  lua_getfield(L, g, LUA_STRLIBNAME);
  removeFields(L, lua_gettop(L), {"dump", "find", "match", "gmatch", "gsub"});
  lua_pop(L, 1);
  // Nobody may reach the string metatable (and through it the shared string table).
  lua_pushliteral(L, "");
  lua_getmetatable(L, -1);
  lua_pushboolean(L, 0);
  lua_setfield(L, -2, "__metatable");
  lua_pop(L, 2);

  lua_getfield(L, g, LUA_MATHLIBNAME);
  const int math = lua_gettop(L);
  lua_getfield(L, math, "randomseed");
  lua_pushvalue(L, -1);
  lua_setfield(L, LUA_REGISTRYINDEX, RandomSeedKey);
  setFunction(L, math, "randomseed", seededRandomseed, 1);
  lua_pop(L, 1);

  for (const char* name :
       {LUA_STRLIBNAME, LUA_TABLIBNAME, LUA_MATHLIBNAME, LUA_UTF8LIBNAME, LUA_COLIBNAME})
    protectLibrary(L, g, name);
  return 0;
}

void pushShallowCopy(lua_State* L, int index) {
  index = lua_absindex(L, index);
  lua_createtable(L, 0, 40);
  lua_pushnil(L);
  while (lua_next(L, index) != 0) {
    lua_pushvalue(L, -2);
    lua_insert(L, -2);
    lua_rawset(L, -4);
  }
}

// "Skript:12: text" -> 12 and "text"; 0 and the whole message for other texts.
int splitPosition(std::string_view& message) {
  if (message.substr(0, MessagePrefix.size()) != MessagePrefix)
    return 0;
  size_t i = MessagePrefix.size();
  int line = 0;
  while (i < message.size() && message[i] >= '0' && message[i] <= '9' && line < 100'000'000)
    line = line * 10 + (message[i++] - '0');
  if (i == MessagePrefix.size() || message.substr(i, 2) != ": ")
    return 0;
  message.remove_prefix(i + 2);
  return line;
}

std::string valueText(lua_State* L, int index) {
  switch (lua_type(L, index)) {
  case LUA_TSTRING: {
    size_t length = 0;
    const char* text = lua_tolstring(L, index, &length);
    return std::string(text, length);
  }
  case LUA_TNUMBER: {
    char buffer[64];
    if (lua_isinteger(L, index))
      std::snprintf(buffer, sizeof buffer, "%lld", static_cast<long long>(lua_tointeger(L, index)));
    else
      std::snprintf(buffer, sizeof buffer, "%.14g", static_cast<double>(lua_tonumber(L, index)));
    return buffer;
  }
  default:
    return std::string("Fehlerwert vom Typ ") + luaL_typename(L, index);
  }
}

} // namespace

Runtime& RuntimeOf(lua_State* L) { return **static_cast<Runtime**>(lua_getextraspace(L)); }

bool Open(Runtime& rt) {
  rt.L = lua_newstate(limitedAlloc, &rt);
  if (rt.L == nullptr)
    return false;
  *static_cast<Runtime**>(lua_getextraspace(rt.L)) = &rt;
  lua_setwarnf(rt.L, ignoreWarning, nullptr);
  lua_pushcfunction(rt.L, buildSandbox);
  if (lua_pcall(rt.L, 0, 0, 0) != LUA_OK || lua_checkstack(rt.L, 64) == 0) {
    Close(rt);
    return false;
  }
  lua_pushcfunction(rt.L, messageHandler); // MessageHandlerSlot
  lua_sethook(rt.L, countHook, LUA_MASKCOUNT, HookInterval);
  return true;
}

void Close(Runtime& rt) {
  if (rt.L != nullptr)
    lua_close(rt.L);
  rt.L = nullptr;
}

int Compile(Runtime& rt, std::string_view source) {
  constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
  if (source.substr(0, ByteOrderMark.size()) == ByteOrderMark)
    source.remove_prefix(ByteOrderMark.size());
  rt.memoryRefused = false;
  return luaL_loadbufferx(rt.L, source.data(), source.size(), ChunkName, "t");
}

void PushFreshEnvironment(lua_State* L) {
  lua_pushglobaltable(L);
  pushShallowCopy(L, -1); // the libraries in it are read-only proxies, shared
  lua_pushvalue(L, -1);
  lua_setfield(L, -2, "_G");
  lua_remove(L, -2);
}

void SeedRandom(lua_State* L) {
  Runtime& rt = RuntimeOf(L);
  lua_getfield(L, LUA_REGISTRYINDEX, RandomSeedKey);
  lua_pushinteger(L, rt.seedHigh);
  lua_pushinteger(L, rt.seedLow);
  lua_call(L, 2, 0);
}

int Call(Runtime& rt, int nargs, int nresults) {
  // The hook keeps counting across calls, so a call may be charged for up to one interval
  // that it did not run: it stops a little before the limit, never after it.
  rt.instructions = 0;
  rt.memoryRefused = false;
  rt.errorLine = 0;
  return lua_pcall(rt.L, nargs, nresults, MessageHandlerSlot);
}

Failure TakeFailure(Runtime& rt, int status) {
  Failure failure;
  if (rt.cancelled) {
    failure.kind = Failure::Kind::Cancelled;
  } else if (rt.limitHit) {
    failure.kind = Failure::Kind::TooLong;
    failure.line = rt.loopLine;
  } else if (status == LUA_ERRMEM || rt.memoryRefused) {
    failure.kind = Failure::Kind::TooMuchMemory;
  } else {
    const std::string text = valueText(rt.L, -1);
    std::string_view message = text;
    failure.line = splitPosition(message);
    if (failure.line == 0)
      failure.line = rt.errorLine;
    failure.text = std::string(message);
  }
  lua_pop(rt.L, 1);
  return failure;
}

} // namespace kw::sandbox
