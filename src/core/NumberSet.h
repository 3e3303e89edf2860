#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <initializer_list>

namespace kw {

// A set of byte values 0..255: bit n is set when n is a member. Chance sets, sector
// sets and the system test's fallen numbers are all number sets.
class NumberSet {
public:
  constexpr NumberSet() = default;
  constexpr NumberSet(std::initializer_list<uint8_t> members) {
    for (uint8_t m : members)
      insert(m);
  }

  constexpr bool contains(unsigned value) const {
    return value < 256 && ((words_[value >> 6] >> (value & 63)) & 1u) != 0;
  }
  constexpr void insert(uint8_t value) { words_[value >> 6] |= uint64_t{1} << (value & 63); }
  constexpr void erase(uint8_t value) { words_[value >> 6] &= ~(uint64_t{1} << (value & 63)); }
  constexpr void clear() { words_ = {}; }
  constexpr bool empty() const { return (words_[0] | words_[1] | words_[2] | words_[3]) == 0; }

  // The number of members (set bits).
  constexpr int count() const {
    int n = 0;
    for (uint64_t w : words_)
      n += std::popcount(w);
    return n;
  }

  // The 32 bytes of the set, bit n of the whole in byte n / 8, bit n % 8: the layout in
  // which sets are stored in files.
  constexpr std::array<uint8_t, 32> bytes() const {
    std::array<uint8_t, 32> out{};
    for (int i = 0; i < 32; ++i)
      out[i] = static_cast<uint8_t>(words_[i / 8] >> ((i % 8) * 8));
    return out;
  }
  static constexpr NumberSet fromBytes(const std::array<uint8_t, 32>& bytes) {
    NumberSet s;
    for (int i = 0; i < 32; ++i)
      s.words_[i / 8] |= uint64_t{bytes[i]} << ((i % 8) * 8);
    return s;
  }

  constexpr bool operator==(const NumberSet&) const = default;

private:
  std::array<uint64_t, 4> words_{};
};

} // namespace kw
