#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kw {

// The linear congruential generator behind the synthetic permanences:
// state := state * 134775813 + 1 (mod 2^32); a draw below m takes the upper 32 bits of
// the 64-bit product of the advanced state and m.
class RandomGenerator {
public:
  static constexpr uint32_t Multiplier = 134775813u;

  constexpr explicit RandomGenerator(uint32_t state = 0) : state_(state) {}

  constexpr uint32_t State() const { return state_; }
  constexpr void SetState(uint32_t state) { state_ = state; }

  constexpr void Step() { state_ = state_ * Multiplier + 1u; }

  // A number in 0 .. m - 1.
  constexpr uint32_t Draw(uint32_t m) {
    Step();
    return static_cast<uint32_t>((uint64_t{state_} * m) >> 32);
  }

  // A roulette number 0..36.
  constexpr uint8_t DrawNumber() { return static_cast<uint8_t>(Draw(37)); }

  // Mixes a 64-bit counter reading into the state: the low half XOR (the high half XOR a
  // draw in 0 .. 2^31 - 2 from the current state).
  constexpr void Reseed(uint64_t counter) {
    const uint32_t low = static_cast<uint32_t>(counter);
    const uint32_t high = static_cast<uint32_t>(counter >> 32);
    const uint32_t d = Draw(0x7FFFFFFFu);
    state_ = low ^ (high ^ d);
  }

  // Reseeds from the high-resolution clock.
  void ReseedFromClock();

private:
  uint32_t state_;
};

// The one generator the whole application shares, so successive runs continue its state.
RandomGenerator& ApplicationRandomGenerator();

// The count of numbers to generate, or nothing when the text is empty, zero or not a
// whole number (a pasted text) - then the run is refused with RandomCountMessage.
std::optional<uint32_t> RandomCountOf(std::string_view countText);

enum class RandomSeeding { FromClock, KeepState };

// One block as the list receives it: "Zufallszahlen", the date and time text, "Anzahl: "
// with the count exactly as typed, then one number 0..36 per line. An empty vector means
// the count was refused (nothing is drawn and the state is untouched).
std::vector<std::string> GenerateRandomBlock(RandomGenerator& generator, std::string_view countText,
                                             std::string_view dateTimeText,
                                             RandomSeeding seeding = RandomSeeding::FromClock);

// The text of a saved list: every line followed by CR LF, the last one included.
std::string RandomListText(const std::vector<std::string>& lines);

inline constexpr std::string_view RandomCountMessage =
    "Bitte geben Sie für die Anzahl der zu generierenden Zahlen einen Wert größer Null an."
    "\r\rIch breche ab.";
inline constexpr std::string_view RandomListEmptySaveMessage =
    "Die Liste ist leer, so dass es nicht zu speichern gibt.\r\rIch breche ab.";
inline constexpr std::string_view RandomListEmptyTransferMessage =
    "Die Liste ist leer, so dass es nicht zu übertragen gibt.\r\rIch breche ab.";
inline constexpr std::string_view RandomTransferOverwriteQuestion =
    "Das Textfeld im Hauptfenster ist nicht leer. Wenn dessen Inhalt mit der Liste "
    "überschrieben werden soll, antworten Sie mit \"Ja\".\r\rAndernfalls breche ich ab.";

} // namespace kw
