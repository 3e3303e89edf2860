#include "systems/SystemScript.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <initializer_list>

namespace kw {
namespace {

bool isIdentifierStart(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool isIdentifierChar(char c) { return isIdentifierStart(c) || (c >= '0' && c <= '9'); }
bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

// Just enough of Lua's lexical rules to find the names of one table constructor: strings,
// long brackets and comments are skipped, so that a "=" or "{" inside them counts for nothing.
class Lexer {
public:
  enum class Kind { Identifier, Symbol, Other, End };
  struct Token {
    Kind kind = Kind::End;
    std::string_view text;
  };

  explicit Lexer(std::string_view source) : s_(source) {}

  Token next() {
    for (;;) {
      while (i_ < s_.size() && isSpace(s_[i_]))
        ++i_;
      if (i_ >= s_.size())
        return {};
      if (s_.compare(i_, 2, "--") == 0) {
        i_ += 2;
        if (!skipLongBracket())
          while (i_ < s_.size() && s_[i_] != '\n')
            ++i_;
        continue;
      }
      break;
    }
    const size_t start = i_;
    const char c = s_[i_];
    if (c == '"' || c == '\'') {
      skipQuoted(c);
      return {Kind::Other, s_.substr(start, i_ - start)};
    }
    if (c == '[' && skipLongBracket())
      return {Kind::Other, s_.substr(start, i_ - start)};
    if (isIdentifierStart(c)) {
      while (i_ < s_.size() && isIdentifierChar(s_[i_]))
        ++i_;
      return {Kind::Identifier, s_.substr(start, i_ - start)};
    }
    if (c >= '0' && c <= '9') {
      while (i_ < s_.size() && (isIdentifierChar(s_[i_]) || s_[i_] == '.'))
        ++i_;
      return {Kind::Other, s_.substr(start, i_ - start)};
    }
    i_ += (c == '=' && s_.compare(i_, 2, "==") == 0) ? 2 : 1;
    return {Kind::Symbol, s_.substr(start, i_ - start)};
  }

private:
  void skipQuoted(char quote) {
    ++i_;
    while (i_ < s_.size() && s_[i_] != quote && s_[i_] != '\n') {
      if (s_[i_] == '\\')
        ++i_;
      ++i_;
    }
    if (i_ < s_.size())
      ++i_;
  }

  // At "[", "[=", "[==" ...: skips the long bracket up to its matching close and returns
  // true; returns false (nothing skipped) when no long bracket opens here.
  bool skipLongBracket() {
    if (i_ >= s_.size() || s_[i_] != '[')
      return false;
    size_t j = i_ + 1;
    while (j < s_.size() && s_[j] == '=')
      ++j;
    if (j >= s_.size() || s_[j] != '[')
      return false;
    const std::string close = "]" + std::string(j - i_ - 1, '=') + "]";
    const size_t end = s_.find(close, j + 1);
    i_ = end == std::string_view::npos ? s_.size() : end + close.size();
    return true;
  }

  std::string_view s_;
  size_t i_ = 0;
};

} // namespace

std::string DefaultSystemName(std::string_view fileName) {
  const size_t slash = fileName.find_last_of("/\\");
  if (slash != std::string_view::npos)
    fileName.remove_prefix(slash + 1);
  constexpr std::string_view Suffix = ".lua";
  if (fileName.size() > Suffix.size()) {
    std::string tail(fileName.substr(fileName.size() - Suffix.size()));
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    if (tail == Suffix)
      fileName.remove_suffix(Suffix.size());
  }
  return std::string(fileName);
}

std::optional<ScriptParameter> ParseParameterValue(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.remove_suffix(1);
  if (!text.empty() && text.front() == '+')
    text.remove_prefix(1);
  if (text.empty())
    return std::nullopt;
  ScriptParameter value;
  const char* end = text.data() + text.size();
  if (auto [p, ec] = std::from_chars(text.data(), end, value.integer);
      ec == std::errc() && p == end)
    return value;
  std::string decimal(text);
  std::replace(decimal.begin(), decimal.end(), ',', '.');
  // Only plain decimals: no "inf", "nan" or hexadecimal forms.
  if (decimal.find_first_not_of("+-0123456789.eE") != std::string::npos)
    return std::nullopt;
  const char* first = decimal.data();
  const char* last = decimal.data() + decimal.size();
  auto [p, ec] = std::from_chars(first, last, value.number);
  if (ec != std::errc() || p != last || !std::isfinite(value.number))
    return std::nullopt;
  value.isInteger = false;
  return value;
}

std::optional<std::string>
OverrideParameters(std::vector<ScriptParameter>& parameters,
                   const std::vector<std::pair<std::string, ScriptParameter>>& values) {
  for (const auto& [name, value] : values) {
    auto it = std::find_if(parameters.begin(), parameters.end(),
                           [&](const ScriptParameter& p) { return p.name == name; });
    if (it == parameters.end())
      return name;
    it->isInteger = value.isInteger;
    it->integer = value.integer;
    it->number = value.number;
  }
  return std::nullopt;
}

std::vector<std::string> ParameterNamesInSourceOrder(std::string_view source) {
  using Kind = Lexer::Kind;
  Lexer lexer(source);
  std::vector<Lexer::Token> tokens;
  for (Lexer::Token t = lexer.next(); t.kind != Kind::End; t = lexer.next())
    tokens.push_back(t);

  auto isSymbol = [&](size_t i, std::string_view s) {
    return i < tokens.size() && tokens[i].kind == Kind::Symbol && tokens[i].text == s;
  };
  auto isKeyword = [&](size_t i, std::initializer_list<std::string_view> words) {
    return tokens[i].kind == Kind::Identifier &&
           std::find(words.begin(), words.end(), tokens[i].text) != words.end();
  };
  std::vector<std::string> names;
  int depth = 0; // brackets and blocks: only an assignment outside both declares parameters
  for (size_t i = 0; i < tokens.size(); ++i) {
    if (isSymbol(i, "{") || isSymbol(i, "(") || isSymbol(i, "[") ||
        isKeyword(i, {"function", "if", "do", "repeat"})) {
      ++depth;
      continue;
    }
    if (isSymbol(i, "}") || isSymbol(i, ")") || isSymbol(i, "]") ||
        isKeyword(i, {"end", "until"})) {
      --depth;
      continue;
    }
    if (depth != 0 || tokens[i].kind != Kind::Identifier || tokens[i].text != "parameter" ||
        !isSymbol(i + 1, "=") || !isSymbol(i + 2, "{"))
      continue;
    // Inside the constructor: every `name =` at its own level is a field.
    int level = 0;
    for (size_t j = i + 2; j < tokens.size(); ++j) {
      if (isSymbol(j, "{") || isSymbol(j, "(") || isSymbol(j, "[")) {
        ++level;
      } else if (isSymbol(j, "}") || isSymbol(j, ")") || isSymbol(j, "]")) {
        if (--level == 0)
          break;
      } else if (level == 1 && tokens[j].kind == Kind::Identifier && isSymbol(j + 1, "=") &&
                 (isSymbol(j - 1, "{") || isSymbol(j - 1, ",") || isSymbol(j - 1, ";"))) {
        names.emplace_back(tokens[j].text);
      }
    }
    break;
  }
  return names;
}

void SortParametersAsWritten(std::vector<ScriptParameter>& parameters, std::string_view source) {
  const std::vector<std::string> order = ParameterNamesInSourceOrder(source);
  auto rank = [&](const ScriptParameter& p) {
    const auto it = std::find(order.begin(), order.end(), p.name);
    return static_cast<size_t>(it - order.begin());
  };
  std::sort(parameters.begin(), parameters.end(),
            [&](const ScriptParameter& a, const ScriptParameter& b) {
              const size_t ra = rank(a);
              const size_t rb = rank(b);
              return ra != rb ? ra < rb : a.name < b.name;
            });
}

} // namespace kw
