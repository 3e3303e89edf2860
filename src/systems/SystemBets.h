#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace kw {

// Money of users' own systems is kept exactly, in cents: a simple-chance stake halved on
// zero is a whole number of cents because stakes are whole euros.
using Cents = int64_t;

// The kinds of bets a system script may place ("art" in the script).
enum class BetKind : uint8_t {
  Plein,        // one number 0..36
  Transversale, // street k = numbers 3k-2..3k, k 1..12
  Sixain,       // six-line k = numbers 3k-2..3k+3, k 1..11
  Dutzend,      // dozen 1..3
  Kolonne,      // column 1..3 = numbers = 1, 2, 0 mod 3
  Rouge,
  Noir,
  Pair,
  Impair,
  Manque,
  Passe,
};
inline constexpr int BetKindCount = 11;

struct BetKindRules {
  std::string_view name; // as the script writes it
  int firstTarget;       // range of "ziel"; 0..0 for the simple chances, which have none
  int lastTarget;
  int payout; // a hit wins stake x payout
  bool simple;
};

const BetKindRules& RulesOf(BetKind kind);
std::optional<BetKind> BetKindByName(std::string_view name);
bool IsValidTarget(BetKind kind, int64_t target);

// What happens on zero to a simple-chance bet: half of it is lost, or all of it.
enum class ZeroRule : uint8_t { Halb, Keine };
std::string_view ZeroRuleName(ZeroRule rule);

// Whether a bet on (kind, target) hits the number 0..36; zero hits only plein 0.
bool Hits(BetKind kind, int target, int number);

// The net result of one bet when `number` falls: stake x payout on a hit, half the stake
// lost for a simple chance on zero under ZeroRule::Halb, the whole stake lost otherwise.
Cents BetResult(BetKind kind, int target, Cents stake, int number, ZeroRule rule);

// Every chance that c.seit can ask about, numbered 0..ChanceCount-1.
inline constexpr int ChanceCount = 37 + 12 + 11 + 3 + 3 + 6;
int ChanceIndex(BetKind kind, int target);
// The chances that the number 0..36 hits.
std::span<const uint8_t> ChancesHitBy(int number);

} // namespace kw
