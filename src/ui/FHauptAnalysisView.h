#pragma once

// What the main window keeps of its chance-analysis controls and results; only the main
// window's sources include this.
#include "analysis/ChanceAnalysis.h"
#include "ui/FHaupt.h"

#include <array>

class QLabel;

namespace kw {

class ResultGridModel;

struct FHaupt::AnalysisView {
  // The two panels of each number, indexed by the number: its label and its count.
  std::array<QLabel*, NumberCount> labels{};
  std::array<QLabel*, NumberCount> counts{};
  // False: number x stands in slot x (table order); true: sorted by frequency.
  bool frequencyOrder = false;

  // The counters of the last analysis; they outlive a refused run, which leaves only the
  // display blank, so the chart still reads them.
  NumberCounts numberCounts{};
  ChanceCounts chanceCounts{};

  // The eight count grids in display order (GFarbe, GPair, GManque, GDutzend, GKolonne,
  // GSerien, GTrans, GTrans2) and the two series grids.
  std::array<ResultGridModel*, 8> countGrids{};
  ResultGridModel* ecSerien = nullptr;
  ResultGridModel* drittelSerien = nullptr;

  // Writes the counters of an analysis into the number panels and the result grids.
  void ShowChanceResults(const ChanceAnalysis& result);
  // Puts the two panels of a number at a slot (0..36).
  void PlaceNumber(int number, int slot);
};

} // namespace kw
