#include "systems/SystemBets.h"

#include "core/RouletteTables.h"

namespace kw {
namespace {

constexpr std::array<BetKindRules, BetKindCount> KindRules = {{
    {"plein", 0, 36, 35, false},
    {"transversale", 1, 12, 11, false},
    {"sixain", 1, 11, 5, false},
    {"dutzend", 1, 3, 2, false},
    {"kolonne", 1, 3, 2, false},
    {"rouge", 0, 0, 1, true},
    {"noir", 0, 0, 1, true},
    {"pair", 0, 0, 1, true},
    {"impair", 0, 0, 1, true},
    {"manque", 0, 0, 1, true},
    {"passe", 0, 0, 1, true},
}};

// Where each kind's chances start in the numbering of ChanceIndex.
constexpr std::array<int, BetKindCount> FirstChance = {0, 37, 49, 60, 63, 66, 67, 68, 69, 70, 71};

bool hitsNonZero(BetKind kind, int target, int n) {
  switch (kind) {
  case BetKind::Plein:
    return n == target;
  case BetKind::Transversale:
    return (n - 1) / 3 + 1 == target;
  case BetKind::Sixain:
    return n >= 3 * target - 2 && n <= 3 * target + 3;
  case BetKind::Dutzend:
    return (n - 1) / 12 + 1 == target;
  case BetKind::Kolonne:
    return (n - 1) % 3 + 1 == target;
  case BetKind::Rouge:
    return IsRed(static_cast<unsigned>(n));
  case BetKind::Noir:
    return !IsRed(static_cast<unsigned>(n));
  case BetKind::Pair:
    return n % 2 == 0;
  case BetKind::Impair:
    return n % 2 == 1;
  case BetKind::Manque:
    return n <= 18;
  case BetKind::Passe:
    return n >= 19;
  }
  return false;
}

// For every number the chances it hits: at most plein, street, two six-lines, dozen,
// column and three simple chances.
struct HitTable {
  std::array<std::array<uint8_t, 9>, 37> chances{};
  std::array<uint8_t, 37> counts{};
};

HitTable makeHitTable() {
  HitTable table;
  for (int n = 0; n <= 36; ++n) {
    for (int k = 0; k < BetKindCount; ++k) {
      const auto kind = static_cast<BetKind>(k);
      for (int t = KindRules[k].firstTarget; t <= KindRules[k].lastTarget; ++t)
        if (Hits(kind, t, n))
          table.chances[n][table.counts[n]++] = static_cast<uint8_t>(ChanceIndex(kind, t));
    }
  }
  return table;
}

} // namespace

const BetKindRules& RulesOf(BetKind kind) { return KindRules[static_cast<size_t>(kind)]; }

std::optional<BetKind> BetKindByName(std::string_view name) {
  for (size_t k = 0; k < KindRules.size(); ++k)
    if (KindRules[k].name == name)
      return static_cast<BetKind>(k);
  return std::nullopt;
}

bool IsValidTarget(BetKind kind, int64_t target) {
  const BetKindRules& rules = RulesOf(kind);
  return target >= rules.firstTarget && target <= rules.lastTarget;
}

std::string_view ZeroRuleName(ZeroRule rule) { return rule == ZeroRule::Halb ? "halb" : "keine"; }

bool Hits(BetKind kind, int target, int number) {
  if (number == 0)
    return kind == BetKind::Plein && target == 0;
  return hitsNonZero(kind, target, number);
}

Cents BetResult(BetKind kind, int target, Cents stake, int number, ZeroRule rule) {
  const BetKindRules& rules = RulesOf(kind);
  if (Hits(kind, target, number))
    return stake * rules.payout;
  if (number == 0 && rules.simple && rule == ZeroRule::Halb)
    return -(stake / 2);
  return -stake;
}

int ChanceIndex(BetKind kind, int target) {
  const size_t k = static_cast<size_t>(kind);
  return FirstChance[k] + target - KindRules[k].firstTarget;
}

std::span<const uint8_t> ChancesHitBy(int number) {
  static const HitTable table = makeHitTable();
  return std::span<const uint8_t>(table.chances[number].data(), table.counts[number]);
}

} // namespace kw
