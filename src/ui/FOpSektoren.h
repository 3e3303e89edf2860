#pragma once

#include "sectors/SectorAssignment.h"
#include "sectors/ThrowDistance.h"
#include "statistics/Significance.h"

#include <QMainWindow>

#include <array>
#include <optional>

class QCheckBox;
class QLabel;
class QListView;
class QMimeData;
class QTableWidget;

namespace kw {

class SectorListsModel;
class WindowChrome;
class Workspace;

// The sector (throw-distance) analysis: the wheel-shaped number palette, the nine sector
// lists filled by drag and drop or from a preset, sector files, and the evaluation of the
// main window's permanence against the lists. The lists are a model (`SectorListsModel`)
// that the nine list views `lb1` … `lb9` show.
class FOpSektoren : public QMainWindow {
  Q_OBJECT
public:
  // What a drag from the palette or from a sector list carries (see SectorDragData).
  static constexpr const char* DragMimeType = "application/x-kesselwerk-sector-entry";

  explicit FOpSektoren(Workspace& workspace, QWidget* parent = nullptr);

  WindowChrome* chrome() const { return chrome_; }

  // The drag payload of a palette panel ("p17", row -1) or of a list entry ("lb4", its
  // row): the source's name, the row and the entry's text.
  static QMimeData* SectorDragData(const QString& source, int row, const QString& text);

  // The drop handlers of every sector list; `target` counts the lists from 0 (`lb1`).
  bool LMusterDragOver(const QMimeData* mime) const;
  void LMusterDragDrop(int target, const QMimeData* mime);

  void cbAusblendenClick(); // "Gewählte Nummer ausblenden"
  void BListClearClick();   // "Alle Felder löschen"
  void ToolButton1Click();  // "Roulette-Serien"
  void ToolButton2Click();  // "1 x 7 u. 5 x 6 Sektoren"
  void ToolButton3Click();  // "1 x 5 u. 8 x 4 Sektoren"
  void BSaveClick();
  void BOpenClick();
  // "Auswertung starten": the main window's permanence against the lists.
  void BitBtn1Click(); // "Auswertung starten"
  // The grid's cells coloured by their residuals, the chi-square test of each direction
  // beside the grid.
  void cbAbweichungClick(); // "Erwartung und Abweichung zeigen"

  // The assignment the nine lists hold now.
  SectorAssignment CurrentAssignment() const;

signals:
  // The window is being shown for the first time (the application places it then).
  void firstShown();

protected:
  void showEvent(QShowEvent* event) override;

private:
  void FormCreate();
  QWidget* buildQuotation();
  QWidget* buildPresetBar();
  QWidget* buildMitte();
  QWidget* buildRechts();
  void CreatePalette(QWidget* pMitte);
  void CreateSectorLists(QWidget* pSektoren);
  void InitSectorGrid();
  void ShowGridTexts(const SectorGridTexts& texts);
  QWidget* buildDeviationArea(QWidget* parent);
  // Colours the data cells by the residuals of the last evaluation, or takes the colours off.
  void ShowDeviations();
  void clearDeviationColours();

  // Fills the nine lists (a preset, an opened file, or nothing) and shows the panels of the
  // numbers they leave unassigned.
  void ShowSectorLists(const SectorListNumbers& lists);
  void ShowUnassignedPanels();
  QLabel* PanelOf(int number) const;
  int PanelNumber(const QString& name) const;
  int ListNumber(const QString& name) const;

  Workspace& workspace_;
  WindowChrome* chrome_ = nullptr;
  SectorListsModel* lists_ = nullptr;
  std::array<QLabel*, 37> panels_{};                // indexed by number
  std::array<QListView*, SectorCount> listViews_{}; // lb1..lb9
  QCheckBox* cbAusblenden_ = nullptr;
  QTableWidget* gSek_ = nullptr;
  QCheckBox* cbAbweichung_ = nullptr;
  QWidget* pAbweichung_ = nullptr;
  QLabel* lRichtungA_ = nullptr;
  QLabel* lRichtungB_ = nullptr;
  // The tests of the counts the grid shows; none before the first evaluation and after a
  // refused one that emptied the grid.
  std::optional<SectorTransitionTests> deviations_;
  bool placed_ = false;
};

} // namespace kw
