#include "search/ParameterSearch.h"

#include "systemtest/RandomCoups.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>

namespace kw {
namespace {

// The built-in search hands its threads pieces of this size: a block of permanences (a few
// hundred kilobytes, so that it stays in the cache while a chunk of combinations plays over
// it) times a chunk of combinations.
constexpr size_t PermanencesPerBlock = 256;
constexpr size_t CombinationsPerChunk = 32;

// The sums of one combination over some permanences.
struct Sums {
  int64_t tested = 0;
  int64_t gesamtsaldo = 0;
  int64_t umsatz = 0;
  int64_t plus = 0;
  int64_t minus = 0;
  int64_t nearEnd = 0;

  void add(const PermanenceOutcome& o) {
    ++tested;
    gesamtsaldo += o.finalCapital;
    umsatz += o.umsatz;
    plus += o.stop == StopReason::ProfitTarget;
    minus += o.stop == StopReason::LossLimit;
    nearEnd += o.stop == StopReason::NearEnd;
  }
  void add(const Sums& s) {
    tested += s.tested;
    gesamtsaldo += s.gesamtsaldo;
    umsatz += s.umsatz;
    plus += s.plus;
    minus += s.minus;
    nearEnd += s.nearEnd;
  }
};

// What one pass of a search plays: the coups played in place of each permanence and the
// length (entries, hand changes included) by which the system test decides whether it is
// tested, which for a replica is its original's.
struct Pass {
  std::vector<std::span<const uint8_t>> plays;
  std::vector<size_t> lengths;
};

// Progress over the passes of a search (the real one, then the replicas), each of as many
// items as the others.
class PassProgress {
public:
  PassProgress(const RunControl& run, size_t passes) : run_(run), passes_(passes) {}

  // The control of pass `pass`, reporting after every item.
  RunControl control(size_t pass) const {
    RunControl control{.threads = run_.threads, .reportEvery = 1, .progress = {}};
    if (run_.progress)
      control.progress = [progress = run_.progress, pass, passes = passes_](size_t done,
                                                                            size_t units) {
        return progress(pass * units + done, passes * units);
      };
    return control;
  }

private:
  const RunControl& run_;
  size_t passes_;
};

std::vector<std::vector<ScriptParameter>> combinationValues(std::span<const SearchRange> ranges) {
  const size_t count = CombinationCount(ranges);
  std::vector<std::vector<ScriptParameter>> all(count);
  for (size_t c = 0; c < count; ++c) {
    const std::vector<size_t> indices = CombinationIndices(ranges, c);
    all[c].reserve(ranges.size());
    for (size_t r = 0; r < ranges.size(); ++r)
      all[c].push_back(ranges[r].values[indices[r]]);
  }
  return all;
}

void findBestAndWorst(SearchResult& result) {
  for (size_t c = 1; c < result.combinations.size(); ++c) {
    if (result.combinations[c].netto > result.combinations[result.best].netto)
      result.best = c;
    if (result.combinations[c].netto < result.combinations[result.worst].netto)
      result.worst = c;
  }
}

int64_t bestNetto(std::span<const int64_t> netto) {
  return netto.empty() ? 0 : *std::max_element(netto.begin(), netto.end());
}

// ---- The built-in system ----

// Plays every combination over the permanences of a pass; the sums per combination, or
// nothing when the progress callback cancelled.
std::optional<std::vector<Sums>>
playPass(const Pass& pass, const std::vector<SystemTestParams>& params, const RunControl& control) {
  const size_t blocks = (pass.plays.size() + PermanencesPerBlock - 1) / PermanencesPerBlock;
  const size_t chunks = (params.size() + CombinationsPerChunk - 1) / CombinationsPerChunk;
  std::vector<Sums> partial(blocks * chunks * CombinationsPerChunk);
  const bool completed = RunEach(blocks * chunks, control, [&](size_t item) {
    const size_t chunk = item / blocks;
    const size_t block = item % blocks;
    const size_t firstCombination = chunk * CombinationsPerChunk;
    const size_t endCombination = std::min(params.size(), firstCombination + CombinationsPerChunk);
    const size_t firstPermanence = block * PermanencesPerBlock;
    const size_t endPermanence = std::min(pass.plays.size(), firstPermanence + PermanencesPerBlock);
    Sums* sums = &partial[item * CombinationsPerChunk];
    for (size_t k = firstPermanence; k < endPermanence; ++k)
      for (size_t c = firstCombination; c < endCombination; ++c)
        if (IsLongEnoughToTest(pass.lengths[k], params[c]))
          sums[c - firstCombination].add(PlaySummary(pass.plays[k], params[c]));
  });
  if (!completed)
    return std::nullopt;
  std::vector<Sums> sums(params.size());
  for (size_t item = 0; item < blocks * chunks; ++item) {
    const size_t first = (item / blocks) * CombinationsPerChunk;
    for (size_t c = first; c < std::min(params.size(), first + CombinationsPerChunk); ++c)
      sums[c].add(partial[item * CombinationsPerChunk + c - first]);
  }
  return sums;
}

int64_t netOf(const Sums& s, const SystemTestParams& params) {
  return s.gesamtsaldo - s.tested * params.startkapital;
}

// The permanences some combination tests: the length rule tests a permanence for every
// number of attack coups up to some largest one, so those the fewest attack coups test.
std::vector<size_t> testedBySome(std::span<const std::vector<uint8_t>> permanences,
                                 const std::vector<SystemTestParams>& params) {
  const auto fewest = std::min_element(
      params.begin(), params.end(),
      [](const SystemTestParams& a, const SystemTestParams& b) { return a.angriffe < b.angriffe; });
  std::vector<size_t> tested;
  for (size_t k = 0; k < permanences.size(); ++k)
    if (fewest != params.end() && IsLongEnoughToTest(permanences[k].size(), *fewest))
      tested.push_back(k);
  return tested;
}

// Draws replica `replica`: each permanence's coups in selection order from one stream, as
// the system test's random comparison draws the replicas of a run.
void drawReplica(const RandomComparisonRequest& request, size_t replica,
                 std::span<const size_t> coups, std::vector<uint8_t>& buffer, Pass& pass) {
  RandomCoups random(request.seed, replica);
  random.fill(buffer);
  size_t at = 0;
  for (size_t k = 0; k < coups.size(); ++k) {
    pass.plays[k] = std::span<const uint8_t>(buffer.data() + at, coups[k]);
    at += coups[k];
  }
}

} // namespace

TestParametersReading ReadSearchBase(SliderPositions sliders,
                                     std::span<const std::string> stakeCells,
                                     std::span<const SearchRange> ranges) {
  constexpr int64_t Hundreds = 100;
  for (const SearchRange& range : ranges) {
    if (range.values.empty())
      continue;
    if (range.name == "angriffe")
      sliders.track2 = static_cast<int>(range.values.back().integer);
    else if (range.name == "minus")
      sliders.track4 = static_cast<int>(range.values.front().integer / Hundreds);
  }
  return ReadTestParameters(sliders, stakeCells);
}

std::string CheckMinusRange(std::span<const SearchRange> ranges, int64_t startkapital) {
  for (const SearchRange& range : ranges)
    if (range.name == "minus" && !range.values.empty() &&
        range.values.back().integer > startkapital)
      return "Bereich minus: BIS (" + std::to_string(range.values.back().integer) +
             ") liegt über dem Startkapital (" + std::to_string(startkapital) + ")";
  return {};
}

SystemTestParams SystemTestParamsFor(const SystemTestParams& base,
                                     std::span<const ScriptParameter> values) {
  SystemTestParams params = base;
  for (const ScriptParameter& value : values) {
    const auto v = value.integer;
    if (value.name == "vorlauf")
      params.vorlauf = static_cast<int>(v);
    else if (value.name == "angriffe")
      params.angriffe = static_cast<int>(v);
    else if (value.name == "plus")
      params.gewinnziel = base.startkapital + v;
    else if (value.name == "minus")
      params.verlustgrenze = base.startkapital - v;
    else
      throw std::invalid_argument("system test search: unknown parameter " + value.name);
  }
  return params;
}

SystemSettings SystemSettingsFor(const SystemSettings& base,
                                 std::span<const ScriptParameter> values) {
  SystemSettings settings = base;
  for (const ScriptParameter& value : values) {
    auto it = std::find_if(settings.parameters.begin(), settings.parameters.end(),
                           [&](const ScriptParameter& p) { return p.name == value.name; });
    if (it == settings.parameters.end())
      throw std::invalid_argument("system search: unknown parameter " + value.name);
    *it = value;
  }
  return settings;
}

SearchRealityCheck SummariseRealityCheck(const RandomComparisonRequest& request,
                                         std::vector<int64_t> bestNetto, int64_t realBest) {
  if (bestNetto.empty())
    throw std::invalid_argument("reality check: no replicas");
  SearchRealityCheck check;
  check.replicas = request.replicas;
  check.seed = request.seed;
  check.mittel = Mean(bestNetto);
  std::vector<int64_t> sorted = bestNetto;
  std::sort(sorted.begin(), sorted.end());
  for (size_t q = 0; q < RealityCheckQuantiles.size(); ++q)
    check.quantile[q] = Quantile(sorted, RealityCheckQuantiles[q] / 100.0);
  const auto atLeast = sorted.end() - std::lower_bound(sorted.begin(), sorted.end(), realBest);
  check.p = static_cast<double>(atLeast) / static_cast<double>(sorted.size());
  check.bestNetto = std::move(bestNetto);
  return check;
}

SearchResult SearchSystemTest(std::span<const std::vector<uint8_t>> permanences,
                              const SystemTestParams& base, std::span<const SearchRange> ranges,
                              const SearchOptions& options) {
  if (const std::string error = CheckSearchRanges(ranges); !error.empty())
    throw std::invalid_argument(error);
  if (options.realityCheck && options.realityCheck->replicas < 1)
    throw std::invalid_argument("reality check: no replicas");
  SearchResult result;
  result.ranges.assign(ranges.begin(), ranges.end());
  std::vector<SystemTestParams> params;
  for (std::vector<ScriptParameter>& values : combinationValues(ranges)) {
    params.push_back(SystemTestParamsFor(base, values));
    // Refuses stakes too few for the attack coups before anything is played.
    PlaySummary({}, params.back());
    result.combinations.push_back({.values = std::move(values)});
  }

  const std::vector<size_t> tested = testedBySome(permanences, params);
  Pass real;
  for (size_t k : tested) {
    real.plays.emplace_back(permanences[k]);
    real.lengths.push_back(permanences[k].size());
  }
  const size_t passes = 1 + (options.realityCheck ? options.realityCheck->replicas : 0);
  const PassProgress progress(options.run, passes);
  const std::optional<std::vector<Sums>> sums = playPass(real, params, progress.control(0));
  if (!sums)
    return {.cancelled = true};
  for (size_t c = 0; c < params.size(); ++c) {
    const Sums& s = (*sums)[c];
    SearchCombination& combination = result.combinations[c];
    combination.permanenzen = s.tested;
    combination.netto = netOf(s, params[c]);
    combination.umsatz = s.umsatz;
    combination.abbruchPlus = s.plus;
    combination.abbruchMinus = s.minus;
    combination.abbruchE = s.nearEnd;
  }
  findBestAndWorst(result);
  if (!options.realityCheck)
    return result;

  const RandomComparisonRequest& request = *options.realityCheck;
  std::vector<size_t> coups;
  for (size_t k : tested)
    coups.push_back(CoupCount(permanences[k]));
  std::vector<uint8_t> buffer(std::accumulate(coups.begin(), coups.end(), size_t{0}));
  Pass replica = real;
  std::vector<int64_t> best(static_cast<size_t>(request.replicas));
  std::vector<int64_t> netto(params.size());
  for (size_t r = 0; r < best.size(); ++r) {
    drawReplica(request, r, coups, buffer, replica);
    const std::optional<std::vector<Sums>> replicaSums =
        playPass(replica, params, progress.control(r + 1));
    if (!replicaSums)
      return {.cancelled = true};
    for (size_t c = 0; c < params.size(); ++c)
      netto[c] = netOf((*replicaSums)[c], params[c]);
    best[r] = bestNetto(netto);
  }
  result.realityCheck =
      SummariseRealityCheck(request, std::move(best), result.combinations[result.best].netto);
  return result;
}

SearchResult SearchSystem(const SystemScript& script, const SystemSettings& base,
                          std::span<const std::vector<uint8_t>> permanences,
                          std::span<const std::string> names, uint64_t seed,
                          std::span<const SearchRange> ranges, const SearchOptions& options) {
  if (const std::string error = CheckSearchRanges(ranges); !error.empty())
    throw std::invalid_argument(error);
  if (options.realityCheck && options.realityCheck->replicas < 1)
    throw std::invalid_argument("reality check: no replicas");
  SearchResult result;
  result.inCents = true;
  result.ranges.assign(ranges.begin(), ranges.end());
  std::vector<SystemSettings> settings;
  for (std::vector<ScriptParameter>& values : combinationValues(ranges)) {
    settings.push_back(SystemSettingsFor(base, values));
    settings.back().protocol = false;
    result.combinations.push_back({.values = std::move(values)});
  }
  const size_t passes = 1 + (options.realityCheck ? options.realityCheck->replicas : 0);
  const size_t combinations = settings.size();
  const PassProgress progress(options.run, passes * combinations);

  // Plays combination c over the permanences by the script's run path on every thread;
  // false on a cancel or an error, which then is the result.
  const auto play = [&](size_t c, std::span<const std::vector<uint8_t>> played, size_t pass,
                        SystemRunResult& run) {
    RunControl control = progress.control(pass * combinations + c);
    control.reportEvery = options.run.reportEvery;
    run = RunSystem(script, settings[c], played, names, seed, {.run = control});
    if (run.cancelled)
      result = {.cancelled = true};
    else if (!run.error.empty())
      result = {.error = run.error};
    return run.ok();
  };

  SystemRunResult run;
  for (size_t c = 0; c < combinations; ++c) {
    if (!play(c, permanences, 0, run))
      return result;
    SearchCombination& combination = result.combinations[c];
    combination.permanenzen = run.totals.permanenzen;
    combination.netto = run.totals.netto;
    combination.umsatz = run.totals.umsatz;
    for (const SystemPermanenceResult& p : run.permanences) {
      combination.abbruchPlus += p.ende == SystemEnd::Gewinnziel;
      combination.abbruchMinus += p.ende == SystemEnd::Verlustgrenze;
      combination.abbruchE += p.ende == SystemEnd::KapitalReichtNicht;
    }
  }
  findBestAndWorst(result);
  if (!options.realityCheck)
    return result;

  const RandomComparisonRequest& request = *options.realityCheck;
  std::vector<std::vector<uint8_t>> replica(permanences.size());
  for (size_t k = 0; k < permanences.size(); ++k)
    replica[k].resize(CoupCount(permanences[k]));
  std::vector<int64_t> best(static_cast<size_t>(request.replicas));
  std::vector<int64_t> netto(combinations);
  for (size_t r = 0; r < best.size(); ++r) {
    RandomCoups random(request.seed, r);
    for (std::vector<uint8_t>& coups : replica)
      random.fill(coups);
    for (size_t c = 0; c < combinations; ++c) {
      if (!play(c, replica, r + 1, run))
        return result;
      netto[c] = run.totals.netto;
    }
    best[r] = bestNetto(netto);
  }
  result.realityCheck =
      SummariseRealityCheck(request, std::move(best), result.combinations[result.best].netto);
  return result;
}

std::vector<std::optional<int64_t>> BestNettoOfFirstTwoRanges(const SearchResult& result) {
  if (result.ranges.size() < 2)
    return {};
  const size_t width = result.ranges[1].values.size();
  std::vector<std::optional<int64_t>> best(result.ranges[0].values.size() * width);
  for (size_t c = 0; c < result.combinations.size(); ++c) {
    const std::vector<size_t> at = CombinationIndices(result.ranges, c);
    const int64_t netto = result.combinations[c].netto;
    std::optional<int64_t>& cell = best[at[0] * width + at[1]];
    cell = std::max(cell.value_or(netto), netto);
  }
  return best;
}

} // namespace kw
