#pragma once

// What the main window keeps of its chance-analysis controls and results; only the main
// window's sources include this.
#include "ui/FHaupt.h"

namespace kw {

struct FHaupt::AnalysisView {};

} // namespace kw
