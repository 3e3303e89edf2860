#include "Json.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace kw::cli {

void Json::separate() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (!first_.empty()) {
    if (!first_.back())
      out_ += ", ";
    first_.back() = false;
  }
}

Json& Json::beginObject() {
  separate();
  out_ += '{';
  first_.push_back(true);
  return *this;
}

Json& Json::endObject() {
  out_ += '}';
  first_.pop_back();
  return *this;
}

Json& Json::beginArray() {
  separate();
  out_ += '[';
  first_.push_back(true);
  return *this;
}

Json& Json::endArray() {
  out_ += ']';
  first_.pop_back();
  return *this;
}

Json& Json::key(std::string_view name) {
  separate();
  out_ += '"' + JsonEscape(name) + "\": ";
  afterKey_ = true;
  return *this;
}

Json& Json::value(long long number) {
  separate();
  out_ += std::to_string(number);
  return *this;
}

Json& Json::value(double number, int decimals) {
  separate();
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, number);
  out_ += buffer;
  return *this;
}

Json& Json::value(double number) {
  if (!std::isfinite(number))
    return null();
  separate();
  char buffer[64];
  const auto written = std::to_chars(buffer, buffer + sizeof buffer, number);
  const std::string text(buffer, written.ptr);
  out_ += text;
  // 10.0 stays a double for readers that tell integers from doubles.
  if (text.find_first_of(".e") == std::string::npos)
    out_ += ".0";
  return *this;
}

Json& Json::value(std::optional<double> number) { return number ? value(*number) : null(); }

Json& Json::euros(long long cents) {
  separate();
  const unsigned long long magnitude = cents < 0 ? 0ull - static_cast<unsigned long long>(cents)
                                                 : static_cast<unsigned long long>(cents);
  char buffer[48];
  if (magnitude % 100 == 0)
    std::snprintf(buffer, sizeof buffer, "%s%llu", cents < 0 ? "-" : "", magnitude / 100);
  else if (magnitude % 10 == 0)
    std::snprintf(buffer, sizeof buffer, "%s%llu.%llu", cents < 0 ? "-" : "", magnitude / 100,
                  magnitude % 100 / 10);
  else
    std::snprintf(buffer, sizeof buffer, "%s%llu.%02llu", cents < 0 ? "-" : "", magnitude / 100,
                  magnitude % 100);
  out_ += buffer;
  return *this;
}

Json& Json::null() {
  separate();
  out_ += "null";
  return *this;
}

Json& Json::value(std::string_view text) {
  separate();
  out_ += '"' + JsonEscape(text) + '"';
  return *this;
}

Json& Json::value(bool flag) {
  separate();
  out_ += flag ? "true" : "false";
  return *this;
}

std::string JsonEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (u < 0x20) {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\u%04x", u);
      out += buffer;
    } else {
      out += c;
    }
  }
  return out;
}

} // namespace kw::cli
