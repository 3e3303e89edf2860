// The main window's file page: permanence files opened into the memo M1 and transferred
// into the table.
#include "ui/FHaupt.h"

#include <QPlainTextEdit>

namespace kw {

void FHaupt::BOpenClick() {}

void FHaupt::BDelClick() { m1_->clear(); }

void FHaupt::BTransferClick() {}

void FHaupt::LoadStartPermanence() {}

} // namespace kw
