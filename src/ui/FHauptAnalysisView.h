#pragma once

// What the main window keeps of its chance-analysis controls and results; only the main
// window's sources include this, and the chart window for the shared cell drawing.
#include "analysis/ChanceAnalysis.h"
#include "ui/FHaupt.h"

#include <QBrush>
#include <QString>

#include <array>

class QLabel;
class QPainter;
class QRect;

namespace kw {

class ResultGridModel;

// Draws a cell's text the way every result grid does: left (2 pixels in), centred or right
// (3 pixels from the right edge), 2 pixels below the top, opaque on `background` and clipped
// to the cell. `alignment` is the toolkit's horizontal alignment (left, right or centre).
void DrawCellText(QPainter& painter, const QRect& cell, const QString& text,
                  Qt::Alignment alignment, const QBrush& background);

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
