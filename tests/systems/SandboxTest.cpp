// A script cannot reach files, processes or other code, cannot change its context, and
// cannot make its results depend on when the garbage collector runs.
#include "ScriptRunner.h"

#include <gtest/gtest.h>

namespace kw {
namespace {

using test::Play;

TEST(SystemSandbox, NoWayOutOfTheScript) {
  const test::Played played = Play(R"(
function setze(c)
  print(io, os, package, debug, require, load, loadfile, dofile, warn, loadstring)
  print(string.dump, string.find, string.match, string.gmatch, string.gsub, ("").find)
  print(getmetatable(c), getmetatable(""))
end)",
                                   {1});
  ASSERT_EQ(played.status, SystemHost::Status::Done) << played.error;
  const std::vector<std::string> expected = {
      "nil\tnil\tnil\tnil\tnil\tnil\tnil\tnil\tnil\tnil",
      "nil\tnil\tnil\tnil\tnil\tnil",
      "false\tfalse",
  };
  EXPECT_EQ(played.printed, expected);
}

TEST(SystemSandbox, WhatScriptsNeedIsThere) {
  const test::Played played = Play(R"(
function setze(c)
  local t = {3, 1, 2}
  table.sort(t)
  print(string.format("%d-%s", 5, ("x"):rep(3)), table.concat(t, ","), math.floor(2.5),
        utf8.char(228), select("#", 1, 2), tostring(nil), tonumber("7"), type(c), collectgarbage("count") > 0)
  local ok, message = pcall(error, "abgefangen", 0)
  local names = {}
  for name in pairs(utf8) do names[#names + 1] = name end
  local t = {}
  rawset(t, "x", 1)
  print(ok, message, table.concat(names, " "), t.x)
end)",
                                   {1});
  ASSERT_EQ(played.status, SystemHost::Status::Done) << played.error;
  const std::vector<std::string> expected = {"5-xxx\t1,2,3\t2\t\xC3\xA4\t2\tnil\t7\tuserdata\ttrue",
                                             "false\tabgefangen\tchar charpattern codepoint "
                                             "codes len offset\t1"};
  EXPECT_EQ(played.printed, expected);
}

TEST(SystemSandbox, ForbiddenUses) {
  struct Case {
    const char* what;
    const char* statement;
    const char* message; // after "Fehler im Skript Zeile 2 (Tisch03, Coup 1): "
  };
  const Case cases[] = {
      {"setmetatable on c", "setmetatable(c, {})",
       "bad argument #1 to 'setmetatable' (table expected, got userdata)"},
      {"rawset on c", "rawset(c, \"kapital\", 1)",
       "bad argument #1 to 'rawset' (table expected, got userdata)"},
      {"assigning to c", "c.coup = 5", "c ist schreibgeschützt (c.coup)"},
      {"reaching the string table through a string", "getmetatable(\"\").__index.x = 1",
       "attempt to index a boolean value"},
      {"stopping the collector", "collectgarbage(\"stop\")",
       "collectgarbage(\"stop\") ist in Systemen nicht erlaubt, nur \"collect\" und \"count\""},
      {"a finalizer", "setmetatable({}, {__gc = function() end})",
       "setmetatable: __gc ist in Systemen nicht erlaubt"},
      {"a weak table", "setmetatable({}, {__mode = \"k\"})",
       "setmetatable: __mode ist in Systemen nicht erlaubt"},
      {"loading code", "load(\"return 1\")", "attempt to call a nil value (global 'load')"},
      {"opening a file", "io.open(\"/etc/passwd\")", "attempt to index a nil value (global 'io')"},
      {"running a program", "os.execute(\"true\")", "attempt to index a nil value (global 'os')"},
      {"dumping bytecode", "string.dump(setze)", "attempt to call a nil value (field 'dump')"},
      {"storing in a library", "math.zaehler = 1", "math ist schreibgeschützt (math.zaehler)"},
      {"replacing a library function", "table.insert = nil",
       "table ist schreibgeschützt (table.insert)"},
      {"rawset on a library", "rawset(string, \"x\", 1)",
       "rawset: die Bibliotheken sind schreibgeschützt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const test::Played played =
        Play(std::string("function setze(c)\n  ") + c.statement + "\nend", {1});
    EXPECT_EQ(played.status, SystemHost::Status::Failed);
    EXPECT_EQ(played.error,
              std::string("Fehler im Skript Zeile 2 (Tisch03, Coup 1): ") + c.message);
  }
}

TEST(SystemSandbox, TheBudgetIsPerCall) {
  // About 6,000,000 instructions in every call: below the limit each time, far above it
  // over the three calls together.
  const test::Played played = Play(R"(
function setze(c)
  local s = 0
  for i = 1, 3000000 do s = s + i end
end)",
                                   {1, 2, 3});
  EXPECT_EQ(played.status, SystemHost::Status::Done) << played.error;
}

TEST(SystemSandbox, CancelReachesIntoRunningScriptCode) {
  // The chunk loops before the first coup; cancel ends it long before the budget would.
  std::atomic<bool> cancel{true};
  SystemHost host({"while true do end\nfunction setze(c) end", "x.lua"}, test::Settings(), &cancel);
  SystemPermanenceResult result;
  EXPECT_EQ(host.play(std::vector<uint8_t>{1, 2}, 0, "t", 1, result),
            SystemHost::Status::Cancelled);
}

} // namespace
} // namespace kw
