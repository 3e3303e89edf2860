// The main window's chance analysis: the number panels, the result grids and their
// handlers.
#include "ui/FHaupt.h"
#include "ui/FHauptAnalysisView.h"

#include <QGroupBox>

namespace kw {

FHaupt::~FHaupt() = default;

void FHaupt::CreateNumberPanels(QWidget*) { analysis_ = std::make_unique<AnalysisView>(); }

void FHaupt::CreateResultGrids(QGroupBox*) {}

void FHaupt::BAnalyseClick() {}

void FHaupt::ResetChanceResults() {}

void FHaupt::BWechselClick() {}

void FHaupt::BChart1Click() {}

} // namespace kw
