// Parameters of a script: values as users type them, and the order the script lists them in.
#include "systems/SystemScript.h"

#include <gtest/gtest.h>

namespace kw {
namespace {

TEST(SystemScriptParameters, ValuesAsUsersTypeThem) {
  struct Case {
    const char* text;
    bool valid;
    bool isInteger;
    double value;
  };
  const Case cases[] = {
      {"8", true, true, 8},          {" -3 ", true, true, -3},
      {"+5", true, true, 5},         {"2.5", true, false, 2.5},
      {"2,5", true, false, 2.5},     {"1e3", true, false, 1000},
      {"-0,25", true, false, -0.25}, {"", false, false, 0},
      {"acht", false, false, 0},     {"1,2,3", false, false, 0},
      {"inf", false, false, 0},      {"nan", false, false, 0},
      {"0x10", false, false, 0},     {"1e999", false, false, 0},
      {"5 Stück", false, false, 0},  {"99999999999999999999", true, false, 1e20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const auto value = ParseParameterValue(c.text);
    ASSERT_EQ(value.has_value(), c.valid);
    if (!value)
      continue;
    EXPECT_EQ(value->isInteger, c.isInteger);
    EXPECT_DOUBLE_EQ(value->asDouble(), c.value);
  }
}

TEST(SystemScriptParameters, OrderAsTheScriptWritesThem) {
  struct Case {
    const char* what;
    const char* source;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {"one line", "parameter = { seit = 8, stufen = 4 }", {"seit", "stufen"}},
      {"over lines with comments and strings",
       "-- parameter = { falsch = 1 }\nname = \"parameter = { auch = 1 }\"\n"
       "parameter = {\n  zuerst = 1, -- ein = 2\n  notiz = [[ lang = 3 ]],\n  dann = 2;\n"
       "  tabelle = { innen = 1 },\n  zuletzt = (1 == 1) and 3 or 4,\n}\n",
       {"zuerst", "notiz", "dann", "tabelle", "zuletzt"}},
      {"none", "function setze(c) end", {}},
      {"only at the top level", "function f()\n  parameter = { innen = 1 }\nend\n", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ParameterNamesInSourceOrder(c.source), c.names);
  }

  std::vector<ScriptParameter> parameters = {{"a"}, {"stufen"}, {"b"}, {"seit"}};
  SortParametersAsWritten(parameters, "parameter = { seit = 8, stufen = 4 }\n");
  std::vector<std::string> sorted;
  for (const ScriptParameter& p : parameters)
    sorted.push_back(p.name);
  EXPECT_EQ(sorted, (std::vector<std::string>{"seit", "stufen", "a", "b"}));
}

TEST(SystemScriptParameters, OverridesNameDeclaredParameters) {
  std::vector<ScriptParameter> parameters = {{"seit", true, 8, 0.0}};
  EXPECT_EQ(OverrideParameters(parameters, {{"seit", *ParseParameterValue("2,5")}}), std::nullopt);
  EXPECT_FALSE(parameters[0].isInteger);
  EXPECT_DOUBLE_EQ(parameters[0].number, 2.5);
  EXPECT_EQ(OverrideParameters(parameters, {{"stufen", *ParseParameterValue("3")}}),
            std::optional<std::string>("stufen"));
}

} // namespace
} // namespace kw
