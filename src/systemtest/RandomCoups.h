#pragma once

#include <array>
#include <cstdint>
#include <random>
#include <span>

namespace kw {

// Random coups 0..36 for the random comparison, each exactly uniform and independent of
// the others, from std::mt19937_64. One 64-bit output gives eleven coups: read as a
// fraction of 2^64 and multiplied out digit by digit in base 37, its first eleven digits
// are those of floor(u * 37^11 / 2^64), which is exactly uniform on [0, 37^11) once the
// few outputs that would favour some values are rejected (Lemire's test, 0.7 % of them).
// The generator is seeded through std::seed_seq from (seed, stream), so every stream (a
// replica of a run) gives the same coups wherever and on whichever thread it is drawn.
class RandomCoups {
public:
  RandomCoups(uint64_t seed, uint64_t stream);

  // The next out.size() coups of the stream.
  void fill(std::span<uint8_t> out);

  static constexpr int CoupsPerDraw = 11;

private:
  // Writes the eleven coups of one accepted output to `to`.
  void drawInto(uint8_t* to);

  std::mt19937_64 engine_;
  std::array<uint8_t, CoupsPerDraw> spare_{}; // coups of the last output not yet handed out
  int spareLeft_ = 0;
};

} // namespace kw
