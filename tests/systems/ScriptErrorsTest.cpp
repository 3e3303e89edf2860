// Every way a script can fail stops the run with a German message that names the script
// line, the permanence and the coup.
#include "ScriptRunner.h"

#include <gtest/gtest.h>

namespace kw {
namespace {

using test::Play;

struct ErrorCase {
  const char* what;
  const char* script;
  const char* message; // the whole message, or its beginning when `prefixOnly`
  bool prefixOnly = false;
};

// Each script fails in the permanence "Tisch03" before the coup it names.
TEST(SystemScriptErrors, MessagesNameLinePermanenceAndCoup) {
  const ErrorCase cases[] = {
      {"a runtime error",
       "function setze(c)\n  if c.coup == 111 then\n    return nil + 1\n  end\nend",
       "Fehler im Skript Zeile 3 (Tisch03, Coup 112): attempt to perform arithmetic on a nil "
       "value"},
      {"error() with a text", "function setze(c)\n  error(\"kaputt\")\nend",
       "Fehler im Skript Zeile 2 (Tisch03, Coup 1): kaputt"},
      {"error() without a position", "function setze(c)\n\n  error(\"kaputt\", 0)\nend",
       "Fehler im Skript Zeile 3 (Tisch03, Coup 1): kaputt"},
      {"error() with a table", "function setze(c)\n  error({})\nend",
       "Fehler im Skript Zeile 2 (Tisch03, Coup 1): Fehlerwert vom Typ table"},
      {"an error in a function the script calls",
       "local function f() local x = nil; return x.y end\n"
       "function setze(c) return f() end",
       "Fehler im Skript Zeile 1 (Tisch03, Coup 1): attempt to index a nil value (local 'x')"},
      {"an endless loop",
       "function setze(c)\n  if c.coup == 11 then\n    while true do end\n  end\nend",
       "Das Skript rechnet in Coup 12 zu lange (Endlosschleife?)\rPermanenz Tisch03, Zeile 3"},
      {"an endless loop that catches its own errors",
       "function setze(c)\n  while true do pcall(function() while true do end end) end\nend",
       "Das Skript rechnet in Coup 1 zu lange (Endlosschleife?)", true},
      {"an endless loop in a coroutine",
       "function setze(c)\n  coroutine.wrap(function() while true do end end)()\nend",
       "Das Skript rechnet in Coup 1 zu lange (Endlosschleife?)", true},
      {"an endless recursion", "local function f() return 1 + f() end\nfunction setze(c) f() end",
       "Fehler im Skript Zeile 1 (Tisch03, Coup 1): stack overflow", true},
      {"too much memory",
       "local block = (\"x\"):rep(65536)\nt = {}\n"
       "function setze(c)\n  for i = 1, 100000 do t[i] = block .. i end\nend",
       "Das Skript braucht in Coup 1 zu viel Speicher (mehr als 256 MB)\rPermanenz Tisch03"},
      {"writing into c", "function setze(c)\n  c.kapital = 1000000\nend",
       "Fehler im Skript Zeile 2 (Tisch03, Coup 1): c ist schreibgeschützt (c.kapital)"},
      {"an unknown chance in c.seit", "function setze(c)\n  return c.seit(\"dreier\")\nend",
       "Fehler im Skript Zeile 2 (Tisch03, Coup 1): c.seit: unbekannte Chance \"dreier\""},
      {"a target out of range in c.seit", "function setze(c) c.seit(\"dutzend\", 4) end",
       "Fehler im Skript Zeile 1 (Tisch03, Coup 1): c.seit: ungültiges Ziel 4 für \"dutzend\" (1 "
       "bis 3)"},
      {"c.seit with a colon", "function setze(c) c:seit(\"rouge\") end",
       "Fehler im Skript Zeile 1 (Tisch03, Coup 1): c.seit wird mit Punkt aufgerufen: "
       "c.seit(\"dutzend\", 1)"},
      {"c.zahl(0)", "function setze(c) c.zahl(0) end",
       "Fehler im Skript Zeile 1 (Tisch03, Coup 1): c.zahl: k muss eine ganze Zahl ab 1 sein"},
  };
  const std::vector<uint8_t> permanence(200, 7);
  for (const ErrorCase& c : cases) {
    SCOPED_TRACE(c.what);
    const test::Played played = Play(c.script, permanence);
    EXPECT_EQ(played.status, SystemHost::Status::Failed);
    if (c.prefixOnly)
      EXPECT_EQ(played.error.substr(0, std::string(c.message).size()), c.message) << played.error;
    else
      EXPECT_EQ(played.error, c.message);
  }
}

TEST(SystemScriptErrors, InvalidBetsAreShownUpToTheirFault) {
  const ErrorCase cases[] = {
      {"a dozen 4", R"({{"dutzend", 4, 1}})", "\"dutzend\" 4"},
      {"a dozen 4 without pieces", R"({{"dutzend", 4}})", "\"dutzend\" 4"},
      {"an unknown kind", R"({{"dreier", 1, 1}})", "\"dreier\""},
      {"a kind in capitals", R"({{"Rouge", 1}})", "\"Rouge\""},
      {"no pieces", R"({{"plein", 17}})", "\"plein\" 17 nil"},
      {"zero pieces", R"({{"plein", 17, 0}})", "\"plein\" 17 0"},
      {"half a piece", R"({{"rouge", 2.5}})", "\"rouge\" 2.5"},
      {"pieces as text", R"({{"rouge", "2"}})", "\"rouge\" \"2\""},
      {"a target as a fraction", R"({{"plein", 1.5, 1}})", "\"plein\" 1.5"},
      {"a simple chance with a target", R"({{"rouge", 1, 2}})",
       "\"rouge\" 1 2 (einfache Chancen haben kein Ziel)"},
      {"a fourth element", R"({{"plein", 1, 2, 3}})", "\"plein\" 1 2 3"},
      {"one bet instead of a list", R"({"rouge", 1})",
       "\"rouge\" (setze gibt eine Liste von Sätzen zurück, etwa { {\"rouge\", 1} })"},
      {"a bet with names", R"({art = "rouge", stuecke = 1})",
       "{…} (ein Satz ist eine Liste {art, ziel, stuecke})"},
      {"a number", "5", "5 (setze gibt nil oder eine Liste von Sätzen zurück)"},
      {"a bet that is no list", R"({{"rouge", 1}, 7})", "7"},
  };
  for (const ErrorCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string script =
        std::string("function setze(c)\n  if c.coup == 4 then return ") + c.script + " end\nend";
    const test::Played played = Play(script, {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(played.status, SystemHost::Status::Failed);
    EXPECT_EQ(played.error,
              std::string("Ungültiger Satz in Coup 5: ") + c.message + "\rPermanenz Tisch03");
  }
}

TEST(SystemScriptErrors, ScriptsThatCannotBeLoaded) {
  const ErrorCase cases[] = {
      {"a syntax error", "function setze(c)\n  return {\nend", "Fehler im Skript Zeile 3: ", true},
      {"an error while loading", "local x\nx.y = 1\nfunction setze(c) end",
       "Fehler im Skript Zeile 2: attempt to index a nil value (local 'x')"},
      {"an endless loop while loading", "while true do\nend\nfunction setze(c) end",
       "Das Skript rechnet beim Laden zu lange (Endlosschleife?)\rZeile ", true},
      {"no setze", "function setzen(c) end", "Fehler im Skript: es fehlt die Funktion setze(c)"},
      {"a setze that is no function", "setze = 5",
       "Fehler im Skript: es fehlt die Funktion setze(c)"},
      {"another zero rule", "zero_regel = \"ganz\"\nfunction setze(c) end",
       "Fehler im Skript: zero_regel muss \"halb\" oder \"keine\" sein"},
      {"a name that is no text", "name = 5\nfunction setze(c) end",
       "Fehler im Skript: name muss ein Text sein"},
      {"parameters that are no table", "parameter = 8\nfunction setze(c) end",
       "Fehler im Skript: parameter muss eine Tabelle sein, etwa parameter = { seit = 8 }"},
      {"a parameter that is no number", "parameter = { seit = \"acht\" }\nfunction setze(c) end",
       "Fehler im Skript: parameter.seit muss eine Zahl sein"},
      {"an infinite parameter", "parameter = { seit = 1/0 }\nfunction setze(c) end",
       "Fehler im Skript: parameter.seit muss eine endliche Zahl sein"},
      {"a parameter without a name", "parameter = { 8 }\nfunction setze(c) end",
       "Fehler im Skript: die Namen in parameter müssen Namen sein, etwa parameter = { seit = 8 }"},
      {"a precompiled chunk", "\x1bLua\x54\x00", "Fehler im Skript: ", true},
  };
  for (const ErrorCase& c : cases) {
    SCOPED_TRACE(c.what);
    const ScriptLoad load = LoadSystemScript({c.script, "x.lua"}, 1);
    EXPECT_FALSE(load.info);
    if (c.prefixOnly)
      EXPECT_EQ(load.error.substr(0, std::string(c.message).size()), c.message) << load.error;
    else
      EXPECT_EQ(load.error, c.message);
  }
}

TEST(SystemScriptErrors, NameAndZeroRuleAreRead) {
  const ScriptLoad named = LoadSystemScript(
      {"\xEF\xBB\xBFname = \"Mein System\"\nzero_regel = \"keine\"\nfunction setze(c) end",
       "egal.lua"},
      1);
  ASSERT_TRUE(named.info) << named.error;
  EXPECT_EQ(named.info->name, "Mein System");
  EXPECT_EQ(named.info->zeroRule, ZeroRule::Keine);
  const ScriptLoad unnamed =
      LoadSystemScript({"function setze(c) end", "/pfad/Mein System.LUA"}, 1);
  ASSERT_TRUE(unnamed.info) << unnamed.error;
  EXPECT_EQ(unnamed.info->name, "Mein System");
  EXPECT_EQ(unnamed.info->zeroRule, ZeroRule::Halb);
}

} // namespace
} // namespace kw
