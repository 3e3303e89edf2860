#pragma once

class QTableView;

namespace kw {

// Keeps the first `columns` columns of a grid in view while the rest scrolls sideways, drawn
// as fixed cells (button colour, the model's alignment). A second view over the same model
// and selection lies over the grid's left edge and shows only those columns; it follows the
// grid's vertical scrolling, its row heights, its column widths and its heading. The grid
// scrolls sideways by pixels, so its other columns slide under the fixed ones, and a current
// cell that would hide under them is scrolled into sight. Returns the second view (a child
// of the grid named after it with "Fest").
QTableView* FreezeLeadingColumns(QTableView* grid, int columns);

// Widens a column to its longest text (file names, the protocol's notes), never below
// `minimumWidth`: a grid that scrolls sideways behind its fixed columns shows every text
// whole instead of cutting it off.
void FitColumnToTexts(QTableView* grid, int column, int minimumWidth);

} // namespace kw
