#include "ui/FDelta.h"

#include "ui/Help.h"
#include "ui/WindowParts.h"

#include <QVBoxLayout>

namespace kw {

FDelta::FDelta(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("FDelta"));
  FormCreate();
}

void FDelta::FormCreate() {
  setWindowTitle(QStringLiteral("Kesselwerk"));
  setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint);
  InstallHelpKey(this, 1140);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(HeadingStrip(QStringLiteral("Delta-Rechner"), this, QStringLiteral("PTitel")));
  layout->addStretch(1);
  resize(384, 346);
}

} // namespace kw
