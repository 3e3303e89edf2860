#pragma once

// The Lua state under a user's system: a limited allocator, an instruction budget per call,
// and a standard library without any way out to files, processes or other code.
//
// Lua reports errors with longjmp. Every C function that Lua calls, and every host step that
// may raise a Lua error, keeps no C++ object with a destructor alive across Lua calls: such
// steps run inside protected calls and hand their results over through the stack or through
// the Runtime below.

#include <lua.hpp>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kw::sandbox {

inline constexpr int64_t InstructionLimit = 10'000'000;  // per call into the script
inline constexpr size_t MemoryLimit = size_t{256} << 20; // per state
inline constexpr int HookInterval = 100'000;             // instructions between budget checks

// The stack index of the message handler: the first slot of every state.
inline constexpr int MessageHandlerSlot = 1;

// One key of a deterministic table traversal (see the sandbox's pairs).
struct SortKey {
  int rank = 0; // numbers, strings, booleans, other values
  double number = 0.0;
  const char* text = nullptr;
  size_t length = 0;
  int position = 0; // in the order lua_next gave
};

using PrintSink = void (*)(void* owner, const char* text, size_t length) noexcept;

// What the sandbox's C functions share with the host; reached from any Lua thread of the
// state through its extra space.
struct Runtime {
  lua_State* L = nullptr;

  size_t memoryUsed = 0;
  bool memoryRefused = false; // an allocation was refused during the current call

  int64_t instructions = 0;
  bool limitHit = false;
  int loopLine = 0; // the script line running when the budget ran out
  const std::atomic<bool>* cancel = nullptr;
  bool cancelled = false;

  int errorLine = 0; // the innermost script line when the last error was raised

  bool printing = true;
  PrintSink print = nullptr;
  void* owner = nullptr; // the host that owns this runtime

  lua_Integer seedHigh = 0; // math.randomseed() without arguments starts over from these
  lua_Integer seedLow = 0;

  std::vector<SortKey> sortKeys; // scratch space of pairs
};

Runtime& RuntimeOf(lua_State* L);

// Creates the state with the sandboxed library and the message handler in slot 1; false
// when Lua cannot even start.
bool Open(Runtime& rt);
void Close(Runtime& rt);

// Compiles the script (text only, never precompiled chunks) onto the stack; a Lua status.
int Compile(Runtime& rt, std::string_view source);

// Runs inside a protected call: pushes a new global table with the sandboxed library, so
// that nothing a script stores survives into the next permanence (the library tables in it
// are read-only).
void PushFreshEnvironment(lua_State* L);

// Reseeds math.random as the script's math.randomseed() would; inside a protected call.
void SeedRandom(lua_State* L);

// Calls the function below its `nargs` arguments, protected, with a fresh instruction budget.
int Call(Runtime& rt, int nargs, int nresults);

struct Failure {
  enum class Kind { Error, TooLong, TooMuchMemory, Cancelled };
  Kind kind = Kind::Error;
  int line = 0;     // 0 when unknown
  std::string text; // Lua's message without its position
};

// What went wrong in the call that returned `status`; pops the error value.
Failure TakeFailure(Runtime& rt, int status);

} // namespace kw::sandbox
