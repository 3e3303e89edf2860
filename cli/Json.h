#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kw::cli {

// A small JSON writer that keeps keys in the order they are written, as the documented
// output shows them.
class Json {
public:
  Json& beginObject();
  Json& endObject();
  Json& beginArray();
  Json& endArray();
  Json& key(std::string_view name);
  Json& value(long long number);
  Json& value(double number, int decimals);
  // A double at full precision: the shortest text that reads back as the same double,
  // always with a point or an exponent; null when it is not finite.
  Json& value(double number);
  Json& value(std::optional<double> number); // null when absent
  // An amount in cents as euros, exactly: 1000, 2.5, -0.05.
  Json& euros(long long cents);
  Json& null();
  Json& value(std::string_view text);
  Json& value(bool flag);
  template <class T> Json& array(const std::vector<T>& numbers) {
    beginArray();
    for (const T& n : numbers)
      value(static_cast<long long>(n));
    return endArray();
  }

  const std::string& text() const { return out_; }

private:
  void separate();
  std::string out_;
  std::vector<bool> first_; // per open container: nothing written yet
  bool afterKey_ = false;
};

std::string JsonEscape(std::string_view text);

} // namespace kw::cli
